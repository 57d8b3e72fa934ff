// The events otcull found in the session (the list `otcull explain
// --events` prints), each a link to its pass that chooses its node there,
// and each marked under the chart.
import { EVENT } from '../data/codes.js';
import { $, data } from '../data/session.js';
import { currentPass, nodeNameAt } from '../data/replay.js';
import { markEvents } from './chart.js';
import { goToAndSelect } from './control.js';

// Event records: [kind, first pass, last pass, node id, object, limb,
// others (more nodes of the same parent that flickered alike), lines].
const E = { kind: 0, first: 1, last: 2, node: 3, object: 4, limb: 5, others: 6, lines: 7 };
const events = data.events || [];
const LOOKS = [
  [EVENT.NO_ZONE, 'no camera zone', '#1f5fa8'],
  [EVENT.FLICKER_SHOWN, 'flicker', '#d0342c'],
  [EVENT.FLICKER_HIDDEN, 'flicker', '#d0342c'],
  [EVENT.JUMP, 'jump', '#d99a00'],
];
const lookOf = (kind) => LOOKS.find((l) => l[0] === kind) || [kind, 'event', '#6b7785'];
const items = [];
const LISTED = 400;  // a long list costs the page's load; the chart marks them all

function subject(e) {
  const more = e[E.others] > 0 ? ' and ' + e[E.others] + ' more of its parent' : '';
  if (e[E.node] >= 0) return nodeNameAt(e[E.node], e[E.first]) + more;
  return 'object ' + e[E.object] + (e[E.limb] >= 0 ? ' limb ' + e[E.limb] : '');
}

function describe(e) {
  const passes = e[E.last] - e[E.first] + 1;
  switch (e[E.kind]) {
    case EVENT.NO_ZONE:
      return 'no zone holds the camera' + (passes > 1 ? ' for ' + passes + ' passes' : '') +
        (e[E.node] >= 0 ? ', just out of ' + nodeNameAt(e[E.node], e[E.first] - 1) : '');
    case EVENT.FLICKER_SHOWN:
      return subject(e) + ' shown for one pass between hidden ones';
    case EVENT.FLICKER_HIDDEN:
      return subject(e) + ' hidden for one pass between shown ones';
    case EVENT.JUMP: {
      const shown = (p) => data.passes[p].figures[0];
      return 'objects shown went from ' + shown(Math.max(e[E.first] - 1, 0)) + ' to ' + shown(e[E.first]);
    }
    default:
      return subject(e);
  }
}

function eventItem(e) {
  const [, word, colour] = lookOf(e[E.kind]);
  const item = document.createElement('li');
  const link = document.createElement('a');
  link.textContent = 'pass ' + (e[E.first] + 1) + ': ' + word;
  link.style.borderLeft = '4px solid ' + colour;
  link.style.paddingLeft = '4px';
  const isNode = e[E.node] >= 0 && e[E.kind] !== EVENT.NO_ZONE;
  link.addEventListener('click', () => {
    goToAndSelect(e[E.first], isNode ? { kind: 'node', name: nodeNameAt(e[E.node], e[E.first]) } : null);
  });
  item.append(link, ' - ' + describe(e));
  for (const [line, text] of e[E.lines]) {
    const code = document.createElement('div');
    code.className = 'event-line';
    code.textContent = 'line ' + line + ': ' + text;
    item.append(code);
  }
  return item;
}

export function listEvents() {
  const list = $('events');
  $('event-count').textContent = '(' + events.length + ')';
  for (const e of events.slice(0, LISTED)) {
    const item = eventItem(e);
    items.push(item);
    list.append(item);
  }
  if (events.length > LISTED) list.append('and ' + (events.length - LISTED) + ' more, marked under the chart');
  if (events.length === 0) list.textContent = 'none';
  markEvents(events.map((e) => ({ pass: e[E.first], colour: lookOf(e[E.kind])[2] })));
}

// The events of the current pass stand out.
export function markCurrentEvents() {
  const pass = currentPass();
  items.forEach((item, k) => item.classList.toggle('current', events[k][E.first] <= pass && pass <= events[k][E.last]));
}
