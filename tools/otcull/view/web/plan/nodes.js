// The nodes that are not zones or openings. A node a few pixels across
// goes into the pixel layer; bigger ones are drawn as shapes over it.
import { BOX, POINT, VISIBLE, OPENING } from '../data/codes.js';
import { nodeCount } from '../data/session.js';
import { extents, recKind, recIsZone, drawable, onBand } from '../data/records.js';
import { now } from '../data/replay.js';
import { plan, ctx, view, worldShown, meets } from './frame.js';
import { COLOUR, packed } from './colours.js';
import { rectPixels } from './raster.js';

const PIXEL_BOX = 12;    // a box under this many pixels each way goes to the pixel layer
const PIXEL_ROUND = 4;   // a sphere under this many pixels across does too
const LEAST = 2;         // the least a node is drawn across

const SHOWN_FILL = packed(COLOUR.nodeShown);
const SHOWN_LINE = packed(COLOUR.nodeShownLine);
const HIDDEN_LINE = packed(COLOUR.nodeHiddenLine);

let shownRecs = new Int32Array(0);
let shapes = { shown: [], hidden: [] };  // records too big for the pixel layer

// Writes the node into the pixel layer, or keeps it for drawing as a shape.
function rasterOne(rec, shown) {
  const s = view.scale;
  const x = plan.width / 2 + (extents[rec * 6] - view.x) * s;
  const y = plan.height / 2 - (extents[rec * 6 + 5] - view.z) * s;
  const w = (extents[rec * 6 + 3] - extents[rec * 6]) * s, h = (extents[rec * 6 + 5] - extents[rec * 6 + 2]) * s;
  const kind = recKind[rec];
  if (kind === BOX ? w < PIXEL_BOX && h < PIXEL_BOX : kind !== POINT && w < PIXEL_ROUND) {
    rectPixels(x, y, w, h, shown ? SHOWN_FILL : 0, shown ? SHOWN_LINE : HIDDEN_LINE, LEAST);
  } else {
    (shown ? shapes.shown : shapes.hidden).push(rec);
  }
}

// Hidden nodes first, so that a shown one is never covered by a hidden one.
export function rasterNodes(b) {
  if (shownRecs.length < nodeCount) shownRecs = new Int32Array(nodeCount);
  shapes = { shown: [], hidden: [] };
  const w = worldShown(LEAST + 2);
  let shownCount = 0;
  for (let id = 0; id < nodeCount; id += 1) {
    const rec = now.nodeRecords[id];
    if (rec < 0 || recIsZone[rec] || (now.nodeStates[id] & OPENING) || !meets(rec, w)) continue;
    if (!drawable(rec) || !onBand(rec, b)) continue;
    if (now.nodeStates[id] & VISIBLE) shownRecs[shownCount++] = rec;
    else rasterOne(rec, false);
  }
  for (let k = 0; k < shownCount; k += 1) rasterOne(shownRecs[k], true);
}

function shapePath(recs) {
  const path = new Path2D(), s = view.scale;
  for (const rec of recs) {
    const x = plan.width / 2 + (extents[rec * 6] - view.x) * s;
    const y = plan.height / 2 - (extents[rec * 6 + 5] - view.z) * s;
    const w = (extents[rec * 6 + 3] - extents[rec * 6]) * s, h = (extents[rec * 6 + 5] - extents[rec * 6 + 2]) * s;
    if (recKind[rec] === BOX) {
      path.rect(x, y, w, h);
    } else {
      const r = recKind[rec] === POINT ? 3 : w / 2;
      path.moveTo(x + w / 2 + r, y + h / 2);
      path.arc(x + w / 2, y + h / 2, r, 0, 2 * Math.PI);
    }
  }
  return path;
}

// The nodes the pixel layer left, as shapes over it.
export function drawNodeShapes() {
  const hidden = shapePath(shapes.hidden), shown = shapePath(shapes.shown);
  ctx.lineWidth = 1.2;
  ctx.strokeStyle = COLOUR.nodeHiddenLine;
  ctx.stroke(hidden);
  ctx.fillStyle = COLOUR.nodeShown;
  ctx.fill(shown);
  ctx.strokeStyle = COLOUR.nodeShownLine;
  ctx.stroke(shown);
}
