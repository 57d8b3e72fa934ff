// Portals on the plan: a bar along a door's or window's long side, or a
// rectangle for an opening in a floor. A bar is as wide as a quarter metre
// at the zoom, one pixel at least and five at most, so that at overview
// the doors thin out and leave the rooms and the frustum to be seen.
import { FOLLOWED, LEADS_OUT } from '../data/codes.js';
import { data, P, portalCount, extents } from '../data/session.js';
import { drawable, onBand } from '../data/records.js';
import { now, nodeRecord } from '../data/replay.js';
import { ctx, view, toScreenX, toScreenY, rectOf, worldShown, meets } from './frame.js';
import { COLOUR } from './colours.js';

export const barWidth = () => Math.max(1, Math.min(5, 0.25 * view.scale));

function portalColour(state) {
  if (state & 1) return COLOUR.disabled;
  const decision = (state >> 1) - 1;
  return decision === FOLLOWED || decision === LEADS_OUT ? COLOUR.passed : COLOUR.open;
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
  const e = extents.subarray(opening * 6, opening * 6 + 6);
  const dx = e[3] - e[0], dy = e[4] - e[1], dz = e[5] - e[2];
  const outside = r[P.zoneA] < 0 || r[P.zoneB] < 0;
  if (dy < Math.min(dx, dz)) return { floor: true, rect: rectOf(opening), outside };
  const cx = (e[0] + e[3]) / 2, cz = (e[2] + e[5]) / 2;
  const along = dx >= dz;
  return {
    floor: false, outside,
    from: [toScreenX(along ? e[0] : cx), toScreenY(along ? cz : e[2])],
    to: [toScreenX(along ? e[3] : cx), toScreenY(along ? cz : e[5])],
  };
}

// One path per colour: bars, floor openings, and the white line that marks
// a window.
export function drawPortals(b) {
  const w = worldShown(8);
  const bars = new Map(), floors = new Map(), windows = new Path2D();
  const pathIn = (map, colour) => map.get(colour) || map.set(colour, new Path2D()).get(colour);
  for (let id = 0; id < portalCount; id += 1) {
    const s = portalShape(id, b, w);
    if (!s) continue;
    const colour = portalColour(now.portalStates[id]);
    if (s.floor) {
      pathIn(floors, colour).rect(...s.rect);
      continue;
    }
    const bar = pathIn(bars, colour);
    bar.moveTo(...s.from);
    bar.lineTo(...s.to);
    if (s.outside) {
      windows.moveTo(...s.from);
      windows.lineTo(...s.to);
    }
  }
  for (const [colour, path] of floors) {
    ctx.globalAlpha = 0.25;
    ctx.fillStyle = colour;
    ctx.fill(path);
    ctx.globalAlpha = 1;
    ctx.setLineDash([4, 2]);
    ctx.lineWidth = 2;
    ctx.strokeStyle = colour;
    ctx.stroke(path);
    ctx.setLineDash([]);
  }
  const width = barWidth();
  ctx.lineCap = 'round';
  ctx.lineWidth = width;
  for (const [colour, path] of bars) {
    ctx.strokeStyle = colour;
    ctx.stroke(path);
  }
  if (width >= 3) {
    ctx.lineWidth = width * 0.3;
    ctx.strokeStyle = '#ffffff';
    ctx.stroke(windows);
  }
  ctx.lineCap = 'butt';
}
