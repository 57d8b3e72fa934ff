// Search by name, and the lint warnings: each chooses what it names and
// brings it into sight.
import { $, data, N, P } from '../data/session.js';
import { allNames, liveByName, lastByName } from '../data/names.js';
import { select } from './control.js';

function chooseName(name) {
  const found = liveByName(name) || lastByName(name);
  if (found) select({ kind: found.kind, name }, true);
}

export function search() {
  const text = $('search').value.trim();
  const results = $('search-results');
  results.replaceChildren();
  if (!text) return;
  if (lastByName(text)) { chooseName(text); return; }
  let shown = 0;
  for (const name of allNames()) {
    if (!name.toLowerCase().includes(text.toLowerCase())) continue;
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = name;
    button.addEventListener('click', () => chooseName(name));
    results.append(button);
    shown += 1;
    if (shown === 24) break;
  }
  if (shown === 0) results.textContent = 'no node or portal of that name';
}

// A warning names the node or portal made on its line, by page id: its
// first record gives the name.
const firstName = (records, field, id) => {
  const r = records.find((record) => record[field.id] === id);
  return r ? r[field.name] : null;
};

export function listLint() {
  const list = $('lint');
  $('lint-count').textContent = '(' + data.lint.length + ')';
  for (const [line, kind, text, node, portal] of data.lint) {
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.textContent = (line > 0 ? 'line ' + line : data.source) + ': ' + kind;
    link.title = 'show what the warning is about';
    link.addEventListener('click', () => {
      if (node >= 0) select({ kind: 'node', name: firstName(data.nodes, N, node) }, true);
      else if (portal >= 0) select({ kind: 'portal', name: firstName(data.portals, P, portal) }, true);
    });
    item.append(link, document.createTextNode(' - ' + text));
    list.append(item);
  }
  if (data.lint.length === 0) list.textContent = 'no warnings';
}
