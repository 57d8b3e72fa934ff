// The plan's frame: world x runs right, world z runs up the page; the view
// is the world point at the canvas's centre and the pixels per metre.
import { $, nodeCount } from '../data/session.js';
import { extents, drawable } from '../data/records.js';
import { now } from '../data/replay.js';

export const plan = $('plan');
export const ctx = plan.getContext('2d');
export const view = { x: 0, z: 0, scale: 1 };

export const toScreenX = (x) => plan.width / 2 + (x - view.x) * view.scale;
export const toScreenY = (z) => plan.height / 2 - (z - view.z) * view.scale;
export const toWorldX = (px) => view.x + (px - plan.width / 2) / view.scale;
export const toWorldZ = (py) => view.z - (py - plan.height / 2) / view.scale;
export const pixelRatio = () => window.devicePixelRatio || 1;

export function fit() {
  let x0 = Infinity, z0 = Infinity, x1 = -Infinity, z1 = -Infinity;
  for (let id = 0; id < nodeCount; id += 1) {
    const rec = now.nodeRecords[id];
    if (rec < 0 || !drawable(rec)) continue;
    x0 = Math.min(x0, extents[rec * 6]);
    z0 = Math.min(z0, extents[rec * 6 + 2]);
    x1 = Math.max(x1, extents[rec * 6 + 3]);
    z1 = Math.max(z1, extents[rec * 6 + 5]);
  }
  if (x0 > x1) { x0 = -10; z0 = -10; x1 = 10; z1 = 10; }
  view.x = (x0 + x1) / 2;
  view.z = (z0 + z1) / 2;
  view.scale = 0.92 * Math.min(plan.width / Math.max(x1 - x0, 1e-3), plan.height / Math.max(z1 - z0, 1e-3));
}

// Keeps the metres across the canvas when its box changes size.
export function resizePlan() {
  const box = $('plan-box').getBoundingClientRect();
  const width = Math.max(Math.round(box.width * pixelRatio()), 50);
  const height = Math.max(Math.round(box.height * pixelRatio()), 50);
  if (plan.width !== width || plan.height !== height) {
    const keep = plan.width > 0 ? view.scale / plan.width : 0;
    plan.width = width;
    plan.height = height;
    if (keep > 0) view.scale = keep * width;
  }
}

// Zooms by factor about the canvas point (px, py), which stays put.
export function zoomAbout(factor, px, py) {
  const wx = toWorldX(px), wz = toWorldZ(py);
  view.scale *= factor;
  view.x = wx - (px - plan.width / 2) / view.scale;
  view.z = wz + (py - plan.height / 2) / view.scale;
}

export function rectOf(rec) {
  const x = toScreenX(extents[rec * 6]);
  const y = toScreenY(extents[rec * 6 + 5]);
  return [x, y, toScreenX(extents[rec * 6 + 3]) - x, toScreenY(extents[rec * 6 + 2]) - y];
}

// The world the canvas shows, widened by slack pixels: [x0, z0, x1, z1].
export function worldShown(slack) {
  return [toWorldX(-slack), toWorldZ(plan.height + slack), toWorldX(plan.width + slack), toWorldZ(-slack)];
}

// Whether the record's extents meet the world box w.
export const meets = (rec, w) => extents[rec * 6 + 3] >= w[0] && extents[rec * 6] <= w[2] &&
  extents[rec * 6 + 5] >= w[1] && extents[rec * 6 + 2] <= w[3];
