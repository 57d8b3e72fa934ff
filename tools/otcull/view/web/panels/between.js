// Since the pass before: the nodes whose state this pass changed, each a
// link that chooses it; and, with the flood path on, the flood in words.
import { $, data, P } from '../data/session.js';
import { flippedNodes, nodeName, now } from '../data/replay.js';
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

function listFlipped() {
  const box = $('between-nodes');
  box.replaceChildren();
  const flipped = flippedNodes();
  for (const [shown, words] of [[true, 'now shown: '], [false, 'now hidden: ']]) {
    const some = flipped.filter((f) => f.shown === shown);
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
  if (flipped.length === 0) box.textContent = 'no node was shown or hidden anew';
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
  listFlipped();
  describeFlood();
}
