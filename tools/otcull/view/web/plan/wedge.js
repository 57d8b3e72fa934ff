// The frustum's slice at the camera's height, and the camera.
import { plan, ctx, toScreenX, toScreenY, toWorldX, toWorldZ } from './frame.js';
import { COLOUR } from './colours.js';

// The visible world clipped by each plane (a x + c z + (b y + d) > 0 keeps
// a point), in world x and z.
function wedge(camera) {
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

// Thin hatching and no tint, so that the zones under the wedge keep the
// legend's colours.
const hatch = (function () {
  const tile = document.createElement('canvas');
  tile.width = 8;
  tile.height = 8;
  const g = tile.getContext('2d');
  g.strokeStyle = COLOUR.hatch;
  g.lineWidth = 1;
  g.beginPath();
  g.moveTo(0, 8);
  g.lineTo(8, 0);
  g.stroke();
  return ctx.createPattern(tile, 'repeat');
}());

export function drawWedge(camera) {
  const polygon = wedge(camera);
  if (polygon.length === 0) return;
  ctx.beginPath();
  polygon.forEach(([x, z], i) => (i === 0 ? ctx.moveTo(toScreenX(x), toScreenY(z)) : ctx.lineTo(toScreenX(x), toScreenY(z))));
  ctx.closePath();
  ctx.fillStyle = hatch;
  ctx.fill();
  ctx.lineWidth = 1.4;
  ctx.strokeStyle = COLOUR.wedgeLine;
  ctx.stroke();
}

export function drawCamera(camera) {
  if (camera[0] === null || camera[2] === null) return;
  ctx.beginPath();
  ctx.arc(toScreenX(camera[0]), toScreenY(camera[2]), 5.5, 0, 2 * Math.PI);
  ctx.fillStyle = COLOUR.camera;
  ctx.fill();
  ctx.lineWidth = 1.8;
  ctx.strokeStyle = '#ffffff';
  ctx.stroke();
}
