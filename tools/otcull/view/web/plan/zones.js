// Zones: filled by whether the pass showed them, largest first, so that a
// zone inside another is drawn over it; outlined, the camera's zone boldly.
import { VISIBLE, REACHED } from '../data/codes.js';
import { extents } from '../data/session.js';
import { recId, zoneOrder, zoneTier, onBand } from '../data/records.js';
import { now } from '../data/replay.js';
import { ctx, toScreenX, toScreenY, worldShown, meets } from './frame.js';
import { COLOUR } from './colours.js';

export const zoneShown = (id, pass) => id === pass.zone ||
  ((now.nodeStates[id] & VISIBLE) !== 0 && (now.nodeStates[id] & REACHED) !== 0);

function addRect(path, rec) {
  const x = toScreenX(extents[rec * 6]), y = toScreenY(extents[rec * 6 + 5]);
  path.rect(x, y, toScreenX(extents[rec * 6 + 3]) - x, toScreenY(extents[rec * 6 + 2]) - y);
}

// The zones live at this pass on the band and on the canvas, in drawing
// order, as records.
export function zonesShown(b) {
  const w = worldShown(4);
  const list = [];
  for (const rec of zoneOrder) {
    if (now.nodeRecords[recId[rec]] === rec && meets(rec, w) && onBand(rec, b)) list.push(rec);
  }
  return list;
}

// One fill per colour and tier, and one stroke for every outline.
export function drawZones(zones, pass) {
  const outlines = new Path2D();
  let shown = new Path2D(), hidden = new Path2D(), tier = null, cameraRec = -1;
  // Opaque, so that each zone shows the legend's colour whatever lies under it.
  const flush = () => {
    ctx.fillStyle = COLOUR.zoneHidden;
    ctx.fill(hidden);
    ctx.fillStyle = COLOUR.zoneShown;
    ctx.fill(shown);
    shown = new Path2D();
    hidden = new Path2D();
  };
  for (const rec of zones) {
    if (tier !== null && zoneTier[rec] !== tier) flush();
    tier = zoneTier[rec];
    const id = recId[rec];
    addRect(zoneShown(id, pass) ? shown : hidden, rec);
    if (id === pass.zone) cameraRec = rec;
    else addRect(outlines, rec);
  }
  flush();
  ctx.lineWidth = 1.2;
  ctx.strokeStyle = COLOUR.zoneLine;
  ctx.stroke(outlines);
  if (cameraRec >= 0) {
    const camera = new Path2D();
    addRect(camera, cameraRec);
    ctx.lineWidth = 3;
    ctx.strokeStyle = COLOUR.cameraZoneLine;
    ctx.stroke(camera);
  }
}
