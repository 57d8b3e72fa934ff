// Search by name, and the lint warnings: each chooses what it names.
import { $, data, N, P } from '../data/session.js';
import { now, nodeRecord } from '../data/replay.js';
import { select } from './control.js';

const byName = new Map();  // name -> [{ kind, id }], from every record
data.nodes.forEach((r) => byName.set(r[N.name], (byName.get(r[N.name]) || []).concat([{ kind: 'node', id: r[N.id] }])));
data.portals.forEach((r) => byName.set(r[P.name], (byName.get(r[P.name]) || []).concat([{ kind: 'portal', id: r[P.id] }])));

// The live one of that name at this pass, else the last one.
export function findByName(name) {
  const found = byName.get(name);
  if (!found) return null;
  const live = found.find((f) => (f.kind === 'node' ? now.nodeRecords : now.portalRecords)[f.id] >= 0);
  return live || found[found.length - 1];
}

// The record a named node is drawn from at this pass, or -1.
export function liveNodeRecord(name) {
  const found = findByName(name);
  return found && found.kind === 'node' ? nodeRecord(found.id) : -1;
}

export function search() {
  const text = $('search').value.trim();
  const results = $('search-results');
  results.replaceChildren();
  if (!text) return;
  const exact = findByName(text);
  if (exact) { select(exact); return; }
  let shown = 0;
  for (const name of byName.keys()) {
    if (!name.toLowerCase().includes(text.toLowerCase())) continue;
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = name;
    button.addEventListener('click', () => select(findByName(name)));
    results.append(button);
    shown += 1;
    if (shown === 24) break;
  }
  if (shown === 0) results.textContent = 'no node or portal of that name';
}

export function listLint() {
  const list = $('lint');
  $('lint-count').textContent = '(' + data.lint.length + ')';
  for (const [line, kind, text, node, portal] of data.lint) {
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.textContent = (line > 0 ? 'line ' + line : data.source) + ': ' + kind;
    link.title = 'show what the warning is about';
    link.addEventListener('click', () => {
      if (node >= 0) select({ kind: 'node', id: node });
      else if (portal >= 0) select({ kind: 'portal', id: portal });
    });
    item.append(link, document.createTextNode(' - ' + text));
    list.append(item);
  }
  if (data.lint.length === 0) list.textContent = 'no warnings';
}
