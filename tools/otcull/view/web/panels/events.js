// The events otcull found in the session (the list `otcull explain
// --events` prints), each a link to its pass that chooses its node there,
// and each marked under the chart.
import { $, data } from '../data/session.js';
import { currentPass } from '../data/replay.js';
import { markEvents } from './chart.js';
import { goToAndSelect } from './control.js';

// Event records: [pass, kind, node name or null, text, lines]; lines are
// [line number, text] pairs: what the script ran between the passes the
// event spans that changed something.
const E = { pass: 0, kind: 1, node: 2, text: 3, lines: 4 };
const events = data.events || [];
const COLOURS = { flicker: '#d0342c', 'no camera zone': '#1f5fa8', jump: '#d99a00' };
const colourOf = (kind) => COLOURS[kind] || '#6b7785';
const items = [];

function eventItem(e) {
  const item = document.createElement('li');
  const link = document.createElement('a');
  link.textContent = 'pass ' + (e[E.pass] + 1) + ': ' + e[E.kind];
  link.style.borderLeft = '4px solid ' + colourOf(e[E.kind]);
  link.style.paddingLeft = '4px';
  link.addEventListener('click', () => {
    goToAndSelect(e[E.pass], e[E.node] === null ? null : { kind: 'node', name: e[E.node] });
  });
  item.append(link, ' - ' + e[E.text]);
  for (const [line, text] of e[E.lines] || []) {
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
  for (const e of events) {
    const item = eventItem(e);
    items.push(item);
    list.append(item);
  }
  if (events.length === 0) list.textContent = 'none';
  markEvents(events.map((e) => ({ pass: e[E.pass], colour: colourOf(e[E.kind]) })));
}

// The events of the current pass stand out.
export function markCurrentEvents() {
  const pass = currentPass();
  events.forEach((e, k) => items[k].classList.toggle('current', e[E.pass] === pass));
}
