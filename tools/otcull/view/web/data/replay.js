// The session at the current pass, replayed from the change lists.
import { data, N, nodeCount, portalCount } from './session.js';

const CHANNELS = ['nodeRecords', 'nodeStates', 'nodeWhy', 'portalRecords', 'portalStates', 'portalWhy'];

// The current value of each channel, by page id; -1 before a first value.
export const now = {
  nodeRecords: new Int32Array(nodeCount).fill(-1),
  nodeStates: new Int32Array(nodeCount).fill(-1),
  nodeWhy: new Int32Array(nodeCount).fill(-1),
  portalRecords: new Int32Array(portalCount).fill(-1),
  portalStates: new Int32Array(portalCount).fill(-1),
  portalWhy: new Int32Array(portalCount).fill(-1),
};

// The value each change replaced, so that stepping back costs what
// stepping forward did.
const before = data.passes.map((pass) => {
  const replaced = {};
  for (const channel of CHANNELS) {
    const list = pass[channel];
    const old = new Int32Array(list.length / 2);
    for (let i = 0; i < list.length; i += 2) {
      old[i / 2] = now[channel][list[i]];
      now[channel][list[i]] = list[i + 1];
    }
    replaced[channel] = old;
  }
  return replaced;
});
for (const channel of CHANNELS) now[channel].fill(-1);

// The pass the page shows; -1 before the first.
export let current = -1;

function stepForward() {
  current += 1;
  const pass = data.passes[current];
  for (const channel of CHANNELS) {
    const list = pass[channel];
    for (let i = 0; i < list.length; i += 2) now[channel][list[i]] = list[i + 1];
  }
}

function stepBack() {
  const pass = data.passes[current];
  for (const channel of CHANNELS) {
    const list = pass[channel];
    const old = before[current][channel];
    for (let i = list.length - 2; i >= 0; i -= 2) now[channel][list[i]] = old[i / 2];
  }
  current -= 1;
}

// Replays to pass k, which must be one of the session's.
export function replayTo(k) {
  while (current < k) stepForward();
  while (current > k) stepBack();
}

export const nodeRecord = (id) => (id >= 0 ? now.nodeRecords[id] : -1);
export const nodeName = (id) => {
  const rec = nodeRecord(id);
  if (rec >= 0) return data.nodes[rec][N.name];
  return id < 0 ? 'none' : '(deleted)';
};
