// What a click on the plan chooses.
import { portalCount } from '../data/session.js';
import { band } from '../data/floors.js';
import { rectOf } from './frame.js';
import { portalShape } from './portals.js';
import { nodesOnBand } from './draw.js';

function distanceToSegment(p, a, b) {
  const dx = b[0] - a[0], dy = b[1] - a[1];
  const length = dx * dx + dy * dy;
  const t = length > 0 ? Math.max(0, Math.min(1, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length)) : 0;
  return Math.hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
}

// A portal under the point first, then the smallest node holding it
// (nodes before zones).
export function pick(px, py) {
  const b = band();
  for (let id = 0; id < portalCount; id += 1) {
    const s = portalShape(id, b);
    if (!s) continue;
    if (s.floor) {
      const [x, y, w, h] = s.rect;
      if (px >= x && px <= x + w && py >= y && py <= y + h) return { kind: 'portal', id };
    } else if (distanceToSegment([px, py], s.from, s.to) <= 5) {
      return { kind: 'portal', id };
    }
  }
  const { zones, others } = nodesOnBand(b);
  for (const list of [others, zones]) {
    let best = null, bestArea = Infinity;
    for (const [id, rec] of list) {
      const [x, y, w, h] = rectOf(rec);
      const slack = Math.max(0, 4 - Math.min(w, h) / 2);
      if (px < x - slack || px > x + w + slack || py < y - slack || py > y + h + slack) continue;
      if (w * h < bestArea) { best = id; bestArea = w * h; }
    }
    if (best !== null) return { kind: 'node', id: best };
  }
  return null;
}
