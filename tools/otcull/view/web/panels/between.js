// Since the pass before: the script lines run, the nodes whose state this
// pass changed, each a link that chooses it; and, with the flood path on,
// the flood in words.
import { VISIBLE, LINE_CHANGES } from '../data/codes.js';
import { $, data, P } from '../data/session.js';
import { changedNodes, nodeName, now, currentPass } from '../data/replay.js';
import { floodPath } from '../data/flood.js';
import { floodShown } from '../plan/flood.js';
import { select } from './control.js';

const MOST = 40;

function nameLink(kind, name) {
  const link = document.createElement('a');
  link.textContent = name;
  link.addEventListener('click', () => select({ kind, name }, true));
  return link;
}

// The lines run since the pass before (the last of them as said), those
// that changed something marked.
function listLines() {
  const list = $('between-lines');
  list.replaceChildren();
  const { ran, said } = data.passes[currentPass()];
  const [first, last] = ran;
  const count = last - first + 1;
  $('between-ran').textContent = count === 1 ? 'line ' + last + ' ran' :
    'lines ' + first + ' to ' + last + ' ran' + (count > said.length ? '; the last ' + said.length + ':' : ':');
  for (const [line, flags, text] of said) {
    const item = document.createElement('li');
    if (flags & LINE_CHANGES) item.className = 'changes';
    const number = document.createElement('span');
    number.className = 'number';
    number.textContent = String(line);
    item.append(number, text);
    list.append(item);
  }
}

// The nodes the pass showed or hid anew, and those new at it.
function listChanged() {
  const box = $('between-nodes');
  box.replaceChildren();
  if (currentPass() === 0) {
    box.textContent = 'the first pass: every node is new';
    return;
  }
  const changed = changedNodes();
  const kinds = [
    ['now shown: ', (c) => c.was >= 0 && !(c.was & VISIBLE) && (now.nodeStates[c.id] & VISIBLE)],
    ['now hidden: ', (c) => c.was >= 0 && (c.was & VISIBLE) && !(now.nodeStates[c.id] & VISIBLE)],
    ['new: ', (c) => c.was < 0],
  ];
  let listed = 0;
  for (const [words, wanted] of kinds) {
    const some = changed.filter(wanted);
    listed += some.length;
    if (some.length === 0) continue;
    const line = document.createElement('div');
    line.append(words + some.length + ' - ');
    some.slice(0, MOST).forEach((f, k) => {
      if (k > 0) line.append(', ');
      line.append(nameLink('node', nodeName(f.id)));
    });
    if (some.length > MOST) line.append(' and ' + (some.length - MOST) + ' more');
    box.append(line);
  }
  if (listed === 0) box.textContent = 'no node was shown or hidden anew';
}

function describeFlood() {
  const box = $('flood-text');
  box.hidden = !floodShown();
  if (box.hidden) return;
  box.replaceChildren();
  const { zones, steps } = floodPath();
  if (zones.length === 0) {
    box.textContent = 'The camera is in no zone: nothing was flooded.';
    return;
  }
  box.append('Flooded from ', nameLink('node', nodeName(zones[0])));
  for (const step of steps.slice(0, MOST)) {
    const portal = data.portals[now.portalRecords[step.portal]][P.name];
    box.append('; ', nameLink('node', nodeName(step.from)), ' through ', nameLink('portal', portal), ' to ');
    box.append(step.to < 0 ? 'the top level' : nameLink('node', nodeName(step.to)));
  }
  if (steps.length > MOST) box.append('; and ' + (steps.length - MOST) + ' more portals');
  box.append('. Zones reached: ' + zones.length + '.');
}

export function showBetween() {
  if (data.passes.length === 0) return;
  listLines();
  listChanged();
  describeFlood();
}
