// Portals on the plan: a bar along a door's or window's long side, or a
// rectangle for an opening in a floor. A bar is as wide as a quarter metre
// at the zoom, one pixel at least and five at most, so that at overview
// the doors thin out and leave the rooms and the frustum to be seen; bars
// two pixels wide or less go into the pixel layer.
import { portalDisabled, portalPassed } from '../data/codes.js';
import { data, P, portalCount } from '../data/session.js';
import { extents, drawable, onBand } from '../data/records.js';
import { now, nodeRecord } from '../data/replay.js';
import { ctx, view, toScreenX, toScreenY, rectOf, worldShown, meets } from './frame.js';
import { COLOUR, packed } from './colours.js';
import { barPixels } from './raster.js';

export const barWidth = () => Math.max(1, Math.min(5, 0.25 * view.scale));
const THIN = 2;

const DISABLED = 1, PASSED = 2, OPEN = 3;
const COLOURS = { [DISABLED]: COLOUR.disabled, [PASSED]: COLOUR.passed, [OPEN]: COLOUR.open };
const PACKED = { [DISABLED]: packed(COLOUR.disabled), [PASSED]: packed(COLOUR.passed), [OPEN]: packed(COLOUR.open) };

function portalLook(state) {
  if (portalDisabled(state)) return DISABLED;
  return portalPassed(state) ? PASSED : OPEN;
}

// The record of the portal's own opening at this pass, or -1 when it has
// none (a portal whose opening is one of its zones) or is not live.
export function openingRecord(id) {
  const rec = now.portalRecords[id];
  if (rec < 0) return -1;
  const r = data.portals[rec];
  if (r[P.opening] === r[P.zoneA] || r[P.opening] === r[P.zoneB]) return -1;
  const opening = nodeRecord(r[P.opening]);
  return opening >= 0 && drawable(opening) ? opening : -1;
}

// Where a portal is drawn; null when it has no opening of its own or it is
// not on the band. The world box w, when given, culls what is off the canvas.
export function portalShape(id, b, w) {
  const opening = openingRecord(id);
  if (opening < 0 || !onBand(opening, b) || (w && !meets(opening, w))) return null;
  const r = data.portals[now.portalRecords[id]];
  const e = opening * 6;
  const dx = extents[e + 3] - extents[e], dy = extents[e + 4] - extents[e + 1], dz = extents[e + 5] - extents[e + 2];
  const outside = r[P.zoneA] < 0 || r[P.zoneB] < 0;
  if (dy < Math.min(dx, dz)) return { floor: true, rect: rectOf(opening), outside };
  const cx = (extents[e] + extents[e + 3]) / 2, cz = (extents[e + 2] + extents[e + 5]) / 2;
  const along = dx >= dz;
  return {
    floor: false, outside,
    from: [toScreenX(along ? extents[e] : cx), toScreenY(along ? cz : extents[e + 2])],
    to: [toScreenX(along ? extents[e + 3] : cx), toScreenY(along ? cz : extents[e + 5])],
  };
}

let shapes = [];  // [look, shape] left for drawing as shapes

// Thin bars into the pixel layer; the rest kept for drawPortalShapes.
export function rasterPortals(b) {
  const w = worldShown(8), width = barWidth();
  shapes = [];
  for (let id = 0; id < portalCount; id += 1) {
    const s = portalShape(id, b, w);
    if (!s) continue;
    const look = portalLook(now.portalStates[id]);
    if (s.floor || width > THIN) shapes.push([look, s]);
    else barPixels(s.from[0], s.from[1], s.to[0], s.to[1], width, PACKED[look]);
  }
}

// One path per colour: bars, floor openings, and the white line that marks
// a window.
export function drawPortalShapes() {
  const bars = new Map(), floors = new Map(), windows = new Path2D();
  const pathIn = (map, look) => map.get(look) || map.set(look, new Path2D()).get(look);
  for (const [look, s] of shapes) {
    if (s.floor) {
      pathIn(floors, look).rect(...s.rect);
      continue;
    }
    const bar = pathIn(bars, look);
    bar.moveTo(...s.from);
    bar.lineTo(...s.to);
    if (s.outside) {
      windows.moveTo(...s.from);
      windows.lineTo(...s.to);
    }
  }
  for (const [look, path] of floors) {
    ctx.globalAlpha = 0.25;
    ctx.fillStyle = COLOURS[look];
    ctx.fill(path);
    ctx.globalAlpha = 1;
    ctx.setLineDash([4, 2]);
    ctx.lineWidth = 2;
    ctx.strokeStyle = COLOURS[look];
    ctx.stroke(path);
    ctx.setLineDash([]);
  }
  const width = barWidth();
  ctx.lineCap = 'round';
  ctx.lineWidth = width;
  for (const [look, path] of bars) {
    ctx.strokeStyle = COLOURS[look];
    ctx.stroke(path);
  }
  if (width >= 3) {
    ctx.lineWidth = width * 0.3;
    ctx.strokeStyle = '#ffffff';
    ctx.stroke(windows);
  }
  ctx.lineCap = 'butt';
}
