// The frustum's slice at the camera's height, and the camera.
import { plan, ctx, toScreenX, toScreenY, toWorldX, toWorldZ } from './frame.js';
import { COLOUR, packed } from './colours.js';
import { hatchPixels } from './raster.js';

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
// legend's colours. The hatching goes into the pixel layer, under the
// nodes; the outline is drawn over it.
const HATCH = packed(COLOUR.wedgeLine);
const screenPolygon = (camera) => wedge(camera).map(([x, z]) => [toScreenX(x), toScreenY(z)]);

export function rasterWedge(camera) {
  const polygon = screenPolygon(camera);
  if (polygon.length > 0) hatchPixels(polygon, 8, HATCH);
}

export function outlineWedge(camera) {
  const polygon = screenPolygon(camera);
  if (polygon.length === 0) return;
  ctx.beginPath();
  polygon.forEach(([x, y], i) => (i === 0 ? ctx.moveTo(x, y) : ctx.lineTo(x, y)));
  ctx.closePath();
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
