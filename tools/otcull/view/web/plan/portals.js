// Portals on the plan: a bar along a door's or window's long side, or a
// rectangle for an opening in a floor.
import { FOLLOWED, LEADS_OUT } from '../data/codes.js';
import { data, P, portalCount, extents, drawable } from '../data/session.js';
import { now, nodeRecord } from '../data/replay.js';
import { onBand } from '../data/floors.js';
import { ctx, toScreenX, toScreenY, rectOf } from './frame.js';
import { COLOUR } from './colours.js';

function portalColour(state) {
  if (state & 1) return COLOUR.disabled;
  const decision = (state >> 1) - 1;
  return decision === FOLLOWED || decision === LEADS_OUT ? COLOUR.passed : COLOUR.open;
}

// Where a portal is drawn; null when it has no opening of its own or it is
// not on the band.
export function portalShape(id, b) {
  const rec = now.portalRecords[id];
  if (rec < 0) return null;
  const r = data.portals[rec];
  const opening = nodeRecord(r[P.opening]);
  if (opening < 0 || r[P.opening] === r[P.zoneA] || r[P.opening] === r[P.zoneB]) return null;
  if (!drawable(opening) || !onBand(opening, b)) return null;
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

export function drawPortals(b) {
  for (let id = 0; id < portalCount; id += 1) {
    const s = portalShape(id, b);
    if (!s) continue;
    const colour = portalColour(now.portalStates[id]);
    ctx.strokeStyle = colour;
    if (s.floor) {
      ctx.setLineDash([4, 2]);
      ctx.globalAlpha = 0.25;
      ctx.fillStyle = colour;
      ctx.fillRect(...s.rect);
      ctx.globalAlpha = 1;
      ctx.lineWidth = 2;
      ctx.strokeRect(...s.rect);
      ctx.setLineDash([]);
      continue;
    }
    ctx.lineCap = 'round';
    ctx.lineWidth = 5;
    ctx.beginPath();
    ctx.moveTo(...s.from);
    ctx.lineTo(...s.to);
    ctx.stroke();
    if (s.outside) {
      ctx.lineWidth = 1.4;
      ctx.strokeStyle = '#ffffff';
      ctx.stroke();
    }
    ctx.lineCap = 'butt';
  }
}
