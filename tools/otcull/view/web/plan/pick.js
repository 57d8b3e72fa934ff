// What a click on the plan chooses: a portal under the point first, then
// the smallest node holding it (nodes before zones).
import { OPENING } from '../data/codes.js';
import { nodeCount } from '../data/session.js';
import { recIsZone, drawable, onBand } from '../data/records.js';
import { now } from '../data/replay.js';
import { band } from '../data/floors.js';
import { nameOf } from '../data/names.js';
import { rectOf, worldShown, meets } from './frame.js';
import { portalShape, barWidth } from './portals.js';

function distanceToSegment(p, a, b) {
  const dx = b[0] - a[0], dy = b[1] - a[1];
  const length = dx * dx + dy * dy;
  const t = length > 0 ? Math.max(0, Math.min(1, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length)) : 0;
  return Math.hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
}

function pickPortal(px, py, b) {
  const w = worldShown(0);
  const reach = barWidth() / 2 + 2;
  for (let id = 0; id < now.portalRecords.length; id += 1) {
    const s = portalShape(id, b, w);
    if (!s) continue;
    if (s.floor) {
      const [x, y, sw, sh] = s.rect;
      if (px >= x && px <= x + sw && py >= y && py <= y + sh) return id;
    } else if (distanceToSegment([px, py], s.from, s.to) <= reach) {
      return id;
    }
  }
  return -1;
}

// The smallest node of the kind (zones or not) under the point, or -1.
function pickNode(px, py, b, zones) {
  const w = worldShown(4);
  let best = -1, bestArea = Infinity;
  for (let id = 0; id < nodeCount; id += 1) {
    const rec = now.nodeRecords[id];
    if (rec < 0 || (recIsZone[rec] === 1) !== zones || (now.nodeStates[id] & OPENING)) continue;
    if (!meets(rec, w) || !drawable(rec) || !onBand(rec, b)) continue;
    const [x, y, sw, sh] = rectOf(rec);
    const slack = Math.max(0, 4 - Math.min(sw, sh) / 2);
    if (px < x - slack || px > x + sw + slack || py < y - slack || py > y + sh + slack) continue;
    if (sw * sh < bestArea) { best = id; bestArea = sw * sh; }
  }
  return best;
}

// { kind, name } of what is under the canvas point, or null.
export function pick(px, py) {
  const b = band();
  const portal = pickPortal(px, py, b);
  if (portal >= 0) return { kind: 'portal', name: nameOf('portal', portal) };
  for (const zones of [false, true]) {
    const node = pickNode(px, py, b, zones);
    if (node >= 0) return { kind: 'node', name: nameOf('node', node) };
  }
  return null;
}
