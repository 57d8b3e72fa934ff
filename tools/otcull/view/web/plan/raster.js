// The plan's pixel layer: everything that is a filled or outlined
// rectangle a few pixels thick (zones, small nodes, doors at overview) and
// the frustum's hatching are written straight into one image, which then
// replaces the canvas in a single call. Written in drawing order, it costs
// the same for 100,000 rectangles as a path does for a few hundred.
import { plan, ctx } from './frame.js';

let image = null;
let pixels = null;
let width = 0, height = 0;

// Clears the layer, sized to the canvas.
export function beginRaster() {
  if (!image || image.width !== plan.width || image.height !== plan.height) {
    image = ctx.createImageData(plan.width, plan.height);
    pixels = new Uint32Array(image.data.buffer);
    width = plan.width;
    height = plan.height;
  } else {
    pixels.fill(0);
  }
}

export function endRaster() {
  ctx.putImageData(image, 0, 0);
}

// A rectangle of pixels [x0, x1) x [y0, y1), clipped, in integer pixels.
// Short rows are written one pixel at a time: a call to fill costs more
// than the few pixels of a small node.
function fillPixels(x0, y0, x1, y1, colour) {
  x0 = Math.max(x0, 0);
  x1 = Math.min(x1, width);
  y0 = Math.max(y0, 0);
  y1 = Math.min(y1, height);
  if (x0 >= x1) return;
  const short = x1 - x0 < 24;
  for (let y = y0; y < y1; y += 1) {
    const end = y * width + x1;
    if (short) {
      for (let i = y * width + x0; i < end; i += 1) pixels[i] = colour;
    } else {
      pixels.fill(colour, y * width + x0, end);
    }
  }
}

// A rectangle's one-pixel outline, filled inside unless fill is 0, from
// screen coordinates; at least `least` pixels each way.
export function rectPixels(x, y, w, h, fill, line, least) {
  const x0 = Math.round(x), y0 = Math.round(y);
  const x1 = Math.max(Math.round(x + w), x0 + least), y1 = Math.max(Math.round(y + h), y0 + least);
  if (x1 <= 0 || y1 <= 0 || x0 >= width || y0 >= height) return;
  if (x1 - x0 <= 2 || y1 - y0 <= 2) {
    fillPixels(x0, y0, x1, y1, line);
    return;
  }
  if (fill !== 0) fillPixels(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill);
  fillPixels(x0, y0, x1, y0 + 1, line);
  fillPixels(x0, y1 - 1, x1, y1, line);
  fillPixels(x0, y0 + 1, x0 + 1, y1 - 1, line);
  fillPixels(x1 - 1, y0 + 1, x1, y1 - 1, line);
}

// A line along x or y, `thick` pixels across, from screen coordinates.
export function barPixels(x0, y0, x1, y1, thick, colour) {
  const half = thick / 2;
  fillPixels(Math.round(Math.min(x0, x1) - half), Math.round(Math.min(y0, y1) - half),
    Math.round(Math.max(x0, x1) + half), Math.round(Math.max(y0, y1) + half), colour);
}

// Hatching over a convex polygon (screen points): every `every`-th
// diagonal, one pixel wide.
export function hatchPixels(polygon, every, colour) {
  let top = Infinity, bottom = -Infinity;
  for (const [, y] of polygon) {
    top = Math.min(top, y);
    bottom = Math.max(bottom, y);
  }
  const y0 = Math.max(Math.ceil(top), 0), y1 = Math.min(Math.floor(bottom), height - 1);
  for (let y = y0; y <= y1; y += 1) {
    let left = Infinity, right = -Infinity;
    for (let i = 0; i < polygon.length; i += 1) {
      const [ax, ay] = polygon[i], [bx, by] = polygon[(i + 1) % polygon.length];
      if ((ay <= y && by >= y) || (by <= y && ay >= y)) {
        const x = ay === by ? Math.min(ax, bx) : ax + ((y - ay) / (by - ay)) * (bx - ax);
        const x2 = ay === by ? Math.max(ax, bx) : x;
        left = Math.min(left, x);
        right = Math.max(right, x2);
      }
    }
    const from = Math.max(Math.ceil(left), 0), to = Math.min(Math.floor(right), width - 1);
    const row = y * width;
    // Pixels where (x + y) is a multiple of every: lines rising to the right.
    for (let x = from + ((every - ((from + y) % every)) % every); x <= to; x += every) pixels[row + x] = colour;
  }
}
