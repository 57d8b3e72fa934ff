// The session at the current pass, replayed from each pass's runs of
// changes (data/runs.js).
import { NODE_STATE_BITS, PORTAL_STATE_BITS } from './codes.js';
import { data, N, nodeCount, portalCount } from './session.js';
import { forEachRun, forEachRunIn } from './runs.js';

// The current value of each, by page id; -1 before a first value. A node's
// and a portal's state and explanation (an index into texts) arrive packed
// in one value.
export const now = {
  nodeRecords: new Int32Array(nodeCount).fill(-1),
  nodeStates: new Int32Array(nodeCount).fill(-1),
  nodeWhy: new Int32Array(nodeCount).fill(-1),
  portalRecords: new Int32Array(portalCount).fill(-1),
  portalStates: new Int32Array(portalCount).fill(-1),
  portalWhy: new Int32Array(portalCount).fill(-1),
};
const packedNodes = new Int32Array(nodeCount).fill(-1);
const packedPortals = new Int32Array(portalCount).fill(-1);

function unpacker(packed, states, why, bits) {
  const mask = (1 << bits) - 1;
  return (id, value) => {
    packed[id] = value;
    states[id] = value < 0 ? -1 : value & mask;
    why[id] = value < 0 ? -1 : value >> bits;
  };
}

// Each list of runs in a pass: how its values go along a run, where they
// are read from and how they are written.
const CHANNELS = [
  { field: 'nodeRecords', step: 1, read: now.nodeRecords, write: (id, v) => { now.nodeRecords[id] = v; } },
  { field: 'nodes', step: 0, read: packedNodes, write: unpacker(packedNodes, now.nodeStates, now.nodeWhy, NODE_STATE_BITS) },
  { field: 'portalRecords', step: 1, read: now.portalRecords, write: (id, v) => { now.portalRecords[id] = v; } },
  { field: 'portals', step: 0, read: packedPortals, write: unpacker(packedPortals, now.portalStates, now.portalWhy, PORTAL_STATE_BITS) },
];

export const runsOf = (pass, field) => data.passes[pass][field];

// The values each pass's runs replaced, in run order, kept the first time
// the pass is stepped into (every pass is, before it can be stepped back
// out of), so that stepping back costs what stepping forward did and
// loading costs nothing.
const before = new Array(data.passes.length);

// The pass the page shows; -1 before the first.
let current = -1;
export const currentPass = () => current;

function stepForward() {
  current += 1;
  const keep = before[current] === undefined;
  if (keep) before[current] = {};
  for (const c of CHANNELS) {
    const old = [];
    forEachRun(runsOf(current, c.field), c.step, (id, value) => {
      if (keep) old.push(c.read[id]);
      c.write(id, value);
    });
    if (keep) before[current][c.field] = Int32Array.from(old);
  }
}

function stepBack() {
  for (const c of CHANNELS) {
    const old = before[current][c.field];
    let k = 0;
    forEachRun(runsOf(current, c.field), c.step, (id) => { c.write(id, old[k++]); });
  }
  current -= 1;
}

// Replays to pass k, which must be one of the session's.
export function replayTo(k) {
  while (current < k) stepForward();
  while (current > k) stepBack();
}

// The nodes whose state bits the current pass changed, with their state
// before: [{ id, was }] (was -1 for a node new at this pass).
export function changedNodes() {
  const old = before[current].nodes, mask = (1 << NODE_STATE_BITS) - 1;
  const changed = [];
  let k = 0;
  forEachRun(runsOf(current, 'nodes'), 0, (id, value) => {
    const was = old[k++];
    if (was < 0 || ((was ^ value) & mask) !== 0) changed.push({ id, was: was < 0 ? -1 : was & mask });
  });
  return changed;
}

// The name node id had at pass p, from its record then: the records'
// runs of the passes up to p, skipping the runs that miss the id.
export function nodeNameAt(id, p) {
  let rec = -1;
  for (let k = 0; k <= p; k += 1) {
    forEachRunIn(runsOf(k, 'nodeRecords'), 1, id, id, (found, value) => { rec = value; });
  }
  return rec >= 0 ? data.nodes[rec][N.name] : '(not live)';
}

export const nodeRecord = (id) => (id >= 0 ? now.nodeRecords[id] : -1);
export const nodeName = (id) => {
  const rec = nodeRecord(id);
  if (rec >= 0) return data.nodes[rec][N.name];
  return id < 0 ? 'none' : '(deleted)';
};
