// Bringing what is chosen into sight: its floor, then a zoom at which it
// is at least a few dozen pixels across, then a pan when it lies outside
// the middle of the canvas. A view that already shows it well stays put.
import { $ } from '../data/session.js';
import { extents } from '../data/records.js';
import { nodeRecord } from '../data/replay.js';
import { liveByName } from '../data/names.js';
import { chosenFloor, chooseFloor, floorShowing } from '../data/floors.js';
import { plan, view, toScreenX, toScreenY } from './frame.js';
import { openingRecord } from './portals.js';

const LEAST = 40;  // pixels across

// The record that stands for a choice on the plan: a node's own, a
// portal's opening.
function recordOf(choice) {
  const found = choice && liveByName(choice.name);
  if (!found || found.kind !== choice.kind) return -1;
  return found.kind === 'node' ? nodeRecord(found.id) : openingRecord(found.id);
}

export function reveal(choice) {
  const rec = recordOf(choice);
  if (rec < 0 || Number.isNaN(extents[rec * 6])) return;
  const floor = floorShowing(rec);
  if (floor !== chosenFloor()) {
    chooseFloor(floor);
    $('floor').value = floor;
  }
  const x0 = extents[rec * 6], z0 = extents[rec * 6 + 2], x1 = extents[rec * 6 + 3], z1 = extents[rec * 6 + 5];
  const size = Math.max(x1 - x0, z1 - z0, 1e-3);
  const least = LEAST / size, most = Math.max(0.9 * Math.min(plan.width, plan.height) / size, least);
  view.scale = Math.min(Math.max(view.scale, least), most);
  const margin = 0.15;
  const inside = toScreenX(x0) >= margin * plan.width && toScreenX(x1) <= (1 - margin) * plan.width &&
    toScreenY(z1) >= margin * plan.height && toScreenY(z0) <= (1 - margin) * plan.height;
  if (!inside) {
    view.x = (x0 + x1) / 2;
    view.z = (z0 + z1) / 2;
  }
}
