// A node's state at every pass, following its name as `explain --node`
// does: at each pass, the node the name names then, shown or hidden, or
// none.
import { VISIBLE, NODE_STATE_BITS } from './codes.js';
import { data, N } from './session.js';
import { runsOf } from './replay.js';
import { forEachRunIn } from './runs.js';
import { nodeNamedAt, idsNamed, inNamesTable } from './names.js';

export const NOT_LIVE = 0;
const HIDDEN = 1;
export const SHOWN = 2;

// One scan of the session's runs, skipping those that miss the ids the
// name ever names: a Uint8Array of NOT_LIVE, HIDDEN or SHOWN by pass. A
// name the script never bound ("#12") goes by the records that bear it.
export function historyOf(name) {
  const ids = idsNamed(name), table = inNamesTable(name);
  const history = new Uint8Array(data.passes.length);
  if (ids.length === 0) return history;
  const lo = Math.min(...ids), hi = Math.max(...ids), mask = (1 << NODE_STATE_BITS) - 1;
  const states = new Map(ids.map((id) => [id, 0])), records = new Map(ids.map((id) => [id, -1]));
  const bearer = () => ids.find((id) => records.get(id) >= 0 && data.nodes[records.get(id)][N.name] === name);
  for (let p = 0; p < data.passes.length; p += 1) {
    forEachRunIn(runsOf(p, 'nodes'), 0, lo, hi, (id, value) => {
      if (states.has(id)) states.set(id, value & mask);
    });
    if (!table) {
      forEachRunIn(runsOf(p, 'nodeRecords'), 1, lo, hi, (id, value) => {
        if (records.has(id)) records.set(id, value);
      });
    }
    const id = table ? nodeNamedAt(name, p) : bearer();
    if (id !== undefined && id >= 0) history[p] = states.get(id) & VISIBLE ? SHOWN : HIDDEN;
  }
  return history;
}
