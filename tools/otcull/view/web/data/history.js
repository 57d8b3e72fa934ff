// A node's state at every pass, following its name as `explain --node`
// does: at each pass, the live node of that name, shown or hidden, or none.
import { VISIBLE } from './codes.js';
import { data, N, nodeCount } from './session.js';
import { changesOf } from './replay.js';
import { idsOf } from './names.js';

export const NOT_LIVE = 0;
const HIDDEN = 1;
export const SHOWN = 2;

// One scan of the session's record and state changes for the ids that
// ever bore the name: a Uint8Array of NOT_LIVE, HIDDEN or SHOWN by pass.
export function historyOf(name) {
  const ids = idsOf(name, 'node');
  const slot = new Int32Array(nodeCount).fill(-1);
  ids.forEach((id, k) => { slot[id] = k; });
  const recs = new Int32Array(ids.length).fill(-1), states = new Int32Array(ids.length).fill(-1);
  const follow = (list, into) => {
    for (let i = 0; i < list.length; i += 2) {
      const k = slot[list[i]];
      if (k >= 0) into[k] = list[i + 1];
    }
  };
  const history = new Uint8Array(data.passes.length);
  for (let p = 0; p < data.passes.length; p += 1) {
    follow(changesOf(p, 'nodeRecords'), recs);
    follow(changesOf(p, 'nodeStates'), states);
    for (let k = 0; k < ids.length; k += 1) {
      if (recs[k] >= 0 && data.nodes[recs[k]][N.name] === name) {
        history[p] = states[k] & VISIBLE ? SHOWN : HIDDEN;
        break;
      }
    }
  }
  return history;
}
