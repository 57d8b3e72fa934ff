// Zones: filled by whether the pass showed them, largest first, so that a
// zone inside another is drawn over it, and outlined; the camera's zone is
// outlined boldly over everything else.
import { VISIBLE, REACHED } from '../data/codes.js';
import { recId, zoneOrder, onBand } from '../data/records.js';
import { now } from '../data/replay.js';
import { ctx, rectOf, worldShown, meets } from './frame.js';
import { COLOUR, packed } from './colours.js';
import { rectPixels } from './raster.js';

const SHOWN = packed(COLOUR.zoneShown), HIDDEN = packed(COLOUR.zoneHidden), LINE = packed(COLOUR.zoneLine);

const zoneShown = (id, pass) => id === pass.zone ||
  ((now.nodeStates[id] & VISIBLE) !== 0 && (now.nodeStates[id] & REACHED) !== 0);

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

// Into the pixel layer.
export function rasterZones(zones, pass) {
  for (const rec of zones) {
    const [x, y, w, h] = rectOf(rec);
    rectPixels(x, y, w, h, zoneShown(recId[rec], pass) ? SHOWN : HIDDEN, LINE, 1);
  }
}

export function outlineCameraZone(zones, pass) {
  const rec = zones.find((r) => recId[r] === pass.zone);
  if (rec === undefined) return;
  ctx.lineWidth = 3;
  ctx.strokeStyle = COLOUR.cameraZoneLine;
  ctx.strokeRect(...rectOf(rec));
}
