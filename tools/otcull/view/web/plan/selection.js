// What is chosen, by name: at each pass the page shows the live node or
// portal of that name, as `explain --node` does.
import { BOX } from '../data/codes.js';
import { recKind, onBand } from '../data/records.js';
import { liveByName } from '../data/names.js';
import { nodeRecord } from '../data/replay.js';
import { ctx, rectOf } from './frame.js';
import { COLOUR } from './colours.js';
import { portalShape } from './portals.js';

// { kind: 'node' | 'portal', name }, or null.
let selected = null;
export const selection = () => selected;
export function setSelected(choice) {
  selected = choice;
}

// The page id of what is chosen at this pass, or -1 when nothing of that
// name and kind is live.
export function selectedId() {
  const found = selected && liveByName(selected.name);
  return found && found.kind === selected.kind ? found.id : -1;
}

export function drawSelection(b) {
  const id = selectedId();
  if (id < 0) return;
  ctx.strokeStyle = COLOUR.pick;
  ctx.lineWidth = 3;
  ctx.setLineDash([6, 3]);
  ctx.beginPath();
  if (selected.kind === 'node') {
    const rec = nodeRecord(id);
    if (rec >= 0 && onBand(rec, b)) {
      const [x, y, w, h] = rectOf(rec);
      if (recKind[rec] === BOX) ctx.rect(x - 2, y - 2, Math.max(w, 2) + 4, Math.max(h, 2) + 4);
      else ctx.arc(x + w / 2, y + h / 2, Math.max(w / 2, 3) + 3, 0, 2 * Math.PI);
    }
  } else {
    const s = portalShape(id, b);
    if (s && s.floor) ctx.rect(...s.rect);
    if (s && !s.floor) ctx.arc((s.from[0] + s.to[0]) / 2, (s.from[1] + s.to[1]) / 2, 9, 0, 2 * Math.PI);
  }
  ctx.stroke();
  ctx.setLineDash([]);
}
