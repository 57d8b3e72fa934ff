// Names on the plan: a zone's in its top left corner, a portal's beside
// its bar, each only where it fits whole and clear of the names already
// written.
import { data, N, P, portalCount } from '../data/session.js';
import { now } from '../data/replay.js';
import { plan, ctx, rectOf, worldShown } from './frame.js';
import { COLOUR } from './colours.js';
import { portalShape, barWidth } from './portals.js';

const FONT = 11, PAD = 3;

// Over a white halo, so that a name stays legible over nodes and doors.
function write(text, x, y) {
  ctx.strokeText(text, x, y);
  ctx.fillText(text, x, y);
}
const widths = new Map();
function textWidth(text) {
  let w = widths.get(text);
  if (w === undefined) {
    w = ctx.measureText(text).width;
    widths.set(text, w);
  }
  return w;
}

// Boxes already taken by a name, to keep names from overlapping.
function clearOf(taken, box) {
  for (const t of taken) {
    if (box[0] < t[2] && t[0] < box[2] && box[1] < t[3] && t[1] < box[3]) return false;
  }
  taken.push(box);
  return true;
}

// A name is not worth a look when even the narrowest letters would not
// fit (which skips measuring thousands of names at overview), nor when the
// script gave none ("#" and the handle).
const mayFit = (text, room) => text[0] !== '#' && text.length * FONT * 0.45 <= room;

export function drawLabels(zones, b) {
  const right = plan.width;
  ctx.font = FONT + 'px Helvetica, Arial, sans-serif';
  ctx.textBaseline = 'top';
  ctx.lineWidth = 3;
  ctx.lineJoin = 'round';
  ctx.strokeStyle = 'rgba(255, 255, 255, 0.85)';
  ctx.fillStyle = COLOUR.label;
  const taken = [];
  for (let k = zones.length - 1; k >= 0; k -= 1) {
    const rec = zones[k];
    const name = data.nodes[rec][N.name];
    // In the part of the zone on the canvas.
    const [zx, zy, zw, h] = rectOf(rec);
    const x = Math.max(zx, 0), y = Math.max(zy, 0), w = Math.min(zx + zw, right) - x;
    if (zy + h - y < FONT + 2 * PAD || !mayFit(name, w - 2 * PAD) || textWidth(name) > w - 2 * PAD) continue;
    if (clearOf(taken, [x + PAD, y + PAD, x + PAD + textWidth(name), y + PAD + FONT])) {
      write(name, x + PAD, y + PAD);
    }
  }
  if (barWidth() < 3) return;
  const w = worldShown(0);
  ctx.fillStyle = COLOUR.portalLabel;
  for (let id = 0; id < portalCount; id += 1) {
    const s = portalShape(id, b, w);
    if (!s || s.floor) continue;
    const name = data.portals[now.portalRecords[id]][P.name];
    const length = Math.hypot(s.to[0] - s.from[0], s.to[1] - s.from[1]);
    if (!mayFit(name, length + 40) || textWidth(name) > length + 40) continue;
    const x = (s.from[0] + s.to[0]) / 2 - textWidth(name) / 2, y = (s.from[1] + s.to[1]) / 2 + barWidth() / 2 + 2;
    if (clearOf(taken, [x, y, x + textWidth(name), y + FONT])) write(name, x, y);
  }
}
