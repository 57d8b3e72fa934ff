// The session at the current pass, replayed from the change lists.
import { VISIBLE } from './codes.js';
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

// A pass's changes to a channel: id, value, id, value, ...
export const changesOf = (pass, channel) => data.passes[pass][channel];

// The values each pass's changes replaced, kept the first time the pass is
// stepped into (every pass is, before it can be stepped back out of), so
// that stepping back costs what stepping forward did and loading costs
// nothing.
const before = new Array(data.passes.length);

// The pass the page shows; -1 before the first.
let current = -1;
export const currentPass = () => current;

function stepForward() {
  current += 1;
  const keep = before[current] === undefined;
  if (keep) before[current] = {};
  for (const channel of CHANNELS) {
    const list = changesOf(current, channel), values = now[channel];
    if (keep) {
      const old = new Int32Array(list.length / 2);
      for (let i = 0; i < list.length; i += 2) old[i / 2] = values[list[i]];
      before[current][channel] = old;
    }
    for (let i = 0; i < list.length; i += 2) values[list[i]] = list[i + 1];
  }
}

function stepBack() {
  for (const channel of CHANNELS) {
    const list = changesOf(current, channel), old = before[current][channel], values = now[channel];
    for (let i = list.length - 2; i >= 0; i -= 2) values[list[i]] = old[i / 2];
  }
  current -= 1;
}

// Replays to pass k, which must be one of the session's.
export function replayTo(k) {
  while (current < k) stepForward();
  while (current > k) stepBack();
}

// The nodes the current pass showed that the one before hid, and the
// reverse: [{ id, shown }].
export function flippedNodes() {
  const list = changesOf(current, 'nodeStates'), old = before[current].nodeStates;
  const flipped = [];
  for (let i = 0; i < list.length; i += 2) {
    if (old[i / 2] >= 0 && ((old[i / 2] ^ list[i + 1]) & VISIBLE)) {
      flipped.push({ id: list[i], shown: (list[i + 1] & VISIBLE) !== 0 });
    }
  }
  return flipped;
}

export const nodeRecord = (id) => (id >= 0 ? now.nodeRecords[id] : -1);
export const nodeName = (id) => {
  const rec = nodeRecord(id);
  if (rec >= 0) return data.nodes[rec][N.name];
  return id < 0 ? 'none' : '(deleted)';
};
