// Node outlines on the plan, and the wedge the frustum cuts at the
// camera's height.
import { BOX, POINT } from '../data/codes.js';
import { data, N } from '../data/session.js';
import { plan, toWorldX, toWorldZ, rectOf } from './frame.js';

// Adds the node's outline to path; false when it lies off the canvas.
export function shape(path, rec, minimum) {
  const kind = data.nodes[rec][N.kind];
  const [x, y, w, h] = rectOf(rec);
  const slack = Math.max(minimum, 3);
  if (x > plan.width + slack || y > plan.height + slack || x + w < -slack || y + h < -slack) return false;
  if (kind === BOX) {
    path.rect(x, y, Math.max(w, minimum), Math.max(h, minimum));
  } else {
    const r = kind === POINT ? 3 : Math.max(w / 2, minimum / 2);
    path.moveTo(x + w / 2 + r, y + h / 2);
    path.arc(x + w / 2, y + h / 2, r, 0, 2 * Math.PI);
  }
  return true;
}

// The frustum's slice at the camera's height: the visible world clipped
// by each plane (a x + c z + (b y + d) > 0 keeps a point).
export function wedge(camera) {
  let polygon = [[toWorldX(0), toWorldZ(plan.height)], [toWorldX(plan.width), toWorldZ(plan.height)],
    [toWorldX(plan.width), toWorldZ(0)], [toWorldX(0), toWorldZ(0)]];
  const y = camera[1];
  for (let k = 0; k < 6; k += 1) {
    const [a, b, c, d] = camera.slice(3 + 4 * k, 7 + 4 * k);
    if ([a, b, c, d].some((v) => v === null)) return [];
    const distance = (q) => a * q[0] + c * q[1] + (b * y + d);
    const kept = [];
    polygon.forEach((from, i) => {
      const to = polygon[(i + 1) % polygon.length];
      const df = distance(from), dt = distance(to);
      if (df > 0) kept.push(from);
      if ((df > 0) !== (dt > 0) && Number.isFinite(df) && Number.isFinite(dt)) {
        const t = df / (df - dt);
        kept.push([from[0] + t * (to[0] - from[0]), from[1] + t * (to[1] - from[1])]);
      }
    });
    polygon = kept;
    if (polygon.length === 0) break;
  }
  return polygon.length >= 3 ? polygon : [];
}
