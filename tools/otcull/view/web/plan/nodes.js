// The nodes that are not zones or openings. Boxes, whatever their size,
// and spheres a few pixels across go into the pixel layer (an axis-aligned
// rectangle of pixels is exact); bigger spheres and points are drawn as
// shapes over it.
import { BOX, POINT, VISIBLE, OPENING } from '../data/codes.js';
import { nodeCount } from '../data/session.js';
import { extents, recKind, recIsZone } from '../data/records.js';
import { now } from '../data/replay.js';
import { plan, ctx, view } from './frame.js';
import { COLOUR, packed } from './colours.js';
import { rectPixels } from './raster.js';

const PIXEL_ROUND = 4;   // a sphere under this many pixels across goes to the pixel layer
const LEAST = 2;         // the least a node is drawn across
const FAINT = 3;         // a hidden node under this many pixels each way is left out

const SHOWN_FILL = packed(COLOUR.nodeShown);
const SHOWN_LINE = packed(COLOUR.nodeShownLine);
const HIDDEN_LINE = packed(COLOUR.nodeHiddenLine);

let shownRecs = new Int32Array(0);
let shapes = { shown: [], hidden: [] };  // records drawn as shapes

// Writes the node into the pixel layer, or keeps it for drawing as a shape.
// At overview the hidden nodes thin out: their zone's colour tells as much,
// and their outlines would cover the plan.
function rasterOne(rec, x, y, w, h, shown) {
  const kind = recKind[rec];
  if (!shown && w < FAINT && h < FAINT) return;
  if (kind === BOX || (kind !== POINT && w < PIXEL_ROUND)) {
    rectPixels(x, y, w, h, shown ? SHOWN_FILL : 0, shown ? SHOWN_LINE : HIDDEN_LINE, LEAST);
  } else {
    (shown ? shapes.shown : shapes.hidden).push(rec);
  }
}

// Hidden nodes first, so that a shown one is never covered by a hidden
// one. The loop reads the extents straight: it runs over every live node.
export function rasterNodes(b) {
  if (shownRecs.length < nodeCount) shownRecs = new Int32Array(nodeCount);
  shapes = { shown: [], hidden: [] };
  const s = view.scale, left = plan.width / 2 - view.x * s, top = plan.height / 2 + view.z * s;
  const right = plan.width + LEAST, bottom = plan.height + LEAST;
  let shownCount = 0;
  for (let pass = 0; pass < 2; pass += 1) {
    const count = pass === 0 ? nodeCount : shownCount;
    for (let k = 0; k < count; k += 1) {
      const id = pass === 0 ? k : shownRecs[k];
      const rec = now.nodeRecords[id];
      if (rec < 0 || recIsZone[rec] || (now.nodeStates[id] & OPENING)) continue;
      const e = rec * 6;
      const lo = extents[e + 1], hi = extents[e + 4];
      if (hi > lo ? !(lo < b.max && hi > b.min) : !(lo >= b.min && lo < b.max)) continue;
      const x = left + extents[e] * s, y = top - extents[e + 5] * s;
      const x1 = left + extents[e + 3] * s, y1 = top - extents[e + 2] * s;
      // Written so that a NaN extent fails too.
      if (!(x < right && x1 > -LEAST && y < bottom && y1 > -LEAST)) continue;
      const shown = (now.nodeStates[id] & VISIBLE) !== 0;
      if (pass === 0 && shown) shownRecs[shownCount++] = id;
      else rasterOne(rec, x, y, x1 - x, y1 - y, shown);
    }
  }
}

function shapePath(recs) {
  const path = new Path2D(), s = view.scale;
  for (const rec of recs) {
    const x = plan.width / 2 + (extents[rec * 6] - view.x) * s;
    const y = plan.height / 2 - (extents[rec * 6 + 5] - view.z) * s;
    const w = (extents[rec * 6 + 3] - extents[rec * 6]) * s, h = (extents[rec * 6 + 5] - extents[rec * 6 + 2]) * s;
    const r = recKind[rec] === POINT ? 3 : w / 2;
    path.moveTo(x + w / 2 + r, y + h / 2);
    path.arc(x + w / 2, y + h / 2, r, 0, 2 * Math.PI);
  }
  return path;
}

// The spheres and points the pixel layer left, as shapes over it.
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
