// The flood path on the plan, on demand: the zones reached outlined, and
// from each zone a line through each portal it was left by to the zone
// beyond, arrowed at its end; only from the zones on the floor shown.
import { P, data } from '../data/session.js';
import { nodeRecord, now } from '../data/replay.js';
import { extents, onBand } from '../data/records.js';
import { floodPath } from '../data/flood.js';
import { ctx, toScreenX, toScreenY, rectOf } from './frame.js';
import { COLOUR } from './colours.js';
import { openingRecord } from './portals.js';

let shown = false;
export const floodShown = () => shown;
export function showFlood(on) {
  shown = on;
}

const centre = (rec) => [toScreenX((extents[rec * 6] + extents[rec * 6 + 3]) / 2),
  toScreenY((extents[rec * 6 + 2] + extents[rec * 6 + 5]) / 2)];

// Where the path crosses a portal: its opening's centre, else halfway
// between its zones.
function crossing(step) {
  const opening = openingRecord(step.portal);
  if (opening >= 0) return centre(opening);
  const r = data.portals[now.portalRecords[step.portal]];
  const a = nodeRecord(r[P.zoneA]), b = nodeRecord(r[P.zoneB]);
  if (a < 0 || b < 0) return null;
  const [ax, ay] = centre(a), [bx, by] = centre(b);
  return [(ax + bx) / 2, (ay + by) / 2];
}

function arrow(from, to) {
  const angle = Math.atan2(to[1] - from[1], to[0] - from[0]);
  ctx.moveTo(...to);
  ctx.lineTo(to[0] - 9 * Math.cos(angle - 0.4), to[1] - 9 * Math.sin(angle - 0.4));
  ctx.moveTo(...to);
  ctx.lineTo(to[0] - 9 * Math.cos(angle + 0.4), to[1] - 9 * Math.sin(angle + 0.4));
}

export function drawFlood(b) {
  if (!shown) return;
  const { zones, steps } = floodPath();
  ctx.strokeStyle = COLOUR.flood;
  ctx.lineWidth = 2.5;
  ctx.setLineDash([5, 3]);
  for (const id of zones) {
    const rec = nodeRecord(id);
    if (rec >= 0 && onBand(rec, b)) ctx.strokeRect(...rectOf(rec));
  }
  ctx.setLineDash([]);
  ctx.beginPath();
  for (const step of steps) {
    const from = nodeRecord(step.from), to = nodeRecord(step.to), via = crossing(step);
    if (from < 0 || !via || !onBand(from, b)) continue;
    ctx.moveTo(...centre(from));
    ctx.lineTo(...via);
    if (to >= 0) {
      ctx.lineTo(...centre(to));
      arrow(via, centre(to));
    } else {
      arrow(centre(from), via);
    }
  }
  ctx.stroke();
}
