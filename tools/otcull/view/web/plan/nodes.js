// The nodes that are not zones or openings. A node a few pixels across is
// written straight into a pixel layer, which costs the same for 100,000 of
// them as one path does for a hundred; bigger ones are drawn as shapes.
import { BOX, POINT, VISIBLE, OPENING } from '../data/codes.js';
import { nodeCount, extents } from '../data/session.js';
import { recKind, recIsZone, drawable, onBand } from '../data/records.js';
import { now } from '../data/replay.js';
import { plan, ctx, view, worldShown, meets } from './frame.js';
import { COLOUR, packed } from './colours.js';

const PIXEL_BOX = 12;    // a box under this many pixels each way goes to the pixel layer
const PIXEL_ROUND = 4;   // a sphere under this many pixels across does too
const MINIMUM = 2;       // the least a node is drawn across

const layer = document.createElement('canvas');
const layerCtx = layer.getContext('2d');
let image = null, pixels = null;
let shownIds = new Int32Array(0);

const SHOWN_FILL = packed(COLOUR.nodeShown, 0.85);
const SHOWN_LINE = packed(COLOUR.nodeShownLine, 1);
const HIDDEN_LINE = packed(COLOUR.nodeHiddenLine, 1);

function fitLayer() {
  if (image && image.width === plan.width && image.height === plan.height) return;
  layer.width = plan.width;
  layer.height = plan.height;
  image = layerCtx.createImageData(plan.width, plan.height);
  pixels = new Uint32Array(image.data.buffer);
}

// An outlined rectangle of pixels, filled when fill is not 0; clipped.
function pixelRect(x0, y0, x1, y1, fill, line) {
  const width = image.width, height = image.height;
  if (x1 - x0 < MINIMUM) x1 = x0 + MINIMUM;
  if (y1 - y0 < MINIMUM) y1 = y0 + MINIMUM;
  const cx0 = Math.max(x0, 0), cx1 = Math.min(x1, width);
  const cy0 = Math.max(y0, 0), cy1 = Math.min(y1, height);
  if (cx0 >= cx1 || cy0 >= cy1) return;
  for (let y = cy0; y < cy1; y += 1) {
    const row = y * width;
    if (y === y0 || y === y1 - 1) {
      pixels.fill(line, row + cx0, row + cx1);
      continue;
    }
    if (x0 >= 0) pixels[row + x0] = line;
    if (x1 - 1 < width) pixels[row + x1 - 1] = line;
    if (fill !== 0) pixels.fill(fill, row + Math.max(x0 + 1, 0), row + Math.min(x1 - 1, width));
  }
}

// Draws the node into the pixel layer or adds it to path.
function drawOne(rec, shown, path) {
  const s = view.scale, left = plan.width / 2 - view.x * s, top = plan.height / 2 + view.z * s;
  const x = left + extents[rec * 6] * s, y = top - extents[rec * 6 + 5] * s;
  const w = (extents[rec * 6 + 3] - extents[rec * 6]) * s, h = (extents[rec * 6 + 5] - extents[rec * 6 + 2]) * s;
  const kind = recKind[rec];
  if (kind === BOX ? w < PIXEL_BOX && h < PIXEL_BOX : kind !== POINT && w < PIXEL_ROUND) {
    const x0 = Math.round(x), y0 = Math.round(y);
    pixelRect(x0, y0, Math.round(x + w), Math.round(y + h), shown ? SHOWN_FILL : 0, shown ? SHOWN_LINE : HIDDEN_LINE);
    return true;
  }
  if (kind === BOX) {
    path.rect(x, y, Math.max(w, MINIMUM), Math.max(h, MINIMUM));
  } else {
    const r = kind === POINT ? 3 : Math.max(w / 2, MINIMUM / 2);
    path.moveTo(x + w / 2 + r, y + h / 2);
    path.arc(x + w / 2, y + h / 2, r, 0, 2 * Math.PI);
  }
  return false;
}

// Hidden nodes first, so that a shown one is never covered by a hidden one.
export function drawNodes(b) {
  fitLayer();
  pixels.fill(0);
  if (shownIds.length < nodeCount) shownIds = new Int32Array(nodeCount);
  const w = worldShown(MINIMUM + 2);
  const shownPath = new Path2D(), hiddenPath = new Path2D();
  let shownCount = 0, anyPixels = false;
  for (let id = 0; id < nodeCount; id += 1) {
    const rec = now.nodeRecords[id];
    if (rec < 0 || recIsZone[rec] || (now.nodeStates[id] & OPENING) || !meets(rec, w)) continue;
    if (!drawable(rec) || !onBand(rec, b)) continue;
    if (now.nodeStates[id] & VISIBLE) shownIds[shownCount++] = rec;
    else anyPixels = drawOne(rec, false, hiddenPath) || anyPixels;
  }
  for (let k = 0; k < shownCount; k += 1) anyPixels = drawOne(shownIds[k], true, shownPath) || anyPixels;
  if (anyPixels) {
    layerCtx.putImageData(image, 0, 0);
    ctx.drawImage(layer, 0, 0);
  }
  ctx.lineWidth = 1.2;
  ctx.strokeStyle = COLOUR.nodeHiddenLine;
  ctx.stroke(hiddenPath);
  ctx.globalAlpha = 0.85;
  ctx.fillStyle = COLOUR.nodeShown;
  ctx.fill(shownPath);
  ctx.globalAlpha = 1;
  ctx.strokeStyle = COLOUR.nodeShownLine;
  ctx.stroke(shownPath);
}
