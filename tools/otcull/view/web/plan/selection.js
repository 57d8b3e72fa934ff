// What is chosen (a node or a portal by page id), and its mark on the plan.
import { drawable } from '../data/session.js';
import { nodeRecord } from '../data/replay.js';
import { onBand } from '../data/floors.js';
import { ctx } from './frame.js';
import { COLOUR } from './colours.js';
import { shape } from './shapes.js';
import { portalShape } from './portals.js';

// { kind: 'node' | 'portal', id }, or null.
export let selected = null;
export function setSelected(choice) {
  selected = choice;
}

export function drawSelection(b) {
  if (!selected) return;
  ctx.strokeStyle = COLOUR.pick;
  ctx.lineWidth = 3;
  ctx.setLineDash([6, 3]);
  if (selected.kind === 'node') {
    const rec = nodeRecord(selected.id);
    const path = new Path2D();
    if (rec >= 0 && drawable(rec) && onBand(rec, b) && shape(path, rec, 6)) ctx.stroke(path);
  } else {
    const s = portalShape(selected.id, b);
    if (s && s.floor) ctx.strokeRect(...s.rect);
    if (s && !s.floor) {
      ctx.beginPath();
      ctx.arc((s.from[0] + s.to[0]) / 2, (s.from[1] + s.to[1]) / 2, 9, 0, 2 * Math.PI);
      ctx.stroke();
    }
  }
  ctx.setLineDash([]);
}
