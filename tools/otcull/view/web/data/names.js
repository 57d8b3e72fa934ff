// Nodes and portals by name. The page follows a name the way `explain
// --node` does: at each pass, the node the script's name names then (the
// data's names table), or the live portal of that name.
import { data, N, P } from './session.js';
import { now, currentPass } from './replay.js';

// name -> [{ kind, id }], from every record; made the first time a name
// is looked up, which loading the page need not wait for.
let byName = null;
function names() {
  if (byName) return byName;
  byName = new Map();
  const add = (name, kind, id) => {
    const list = byName.get(name);
    if (!list) byName.set(name, [{ kind, id }]);
    else if (!list.some((f) => f.kind === kind && f.id === id)) list.push({ kind, id });
  };
  data.nodes.forEach((r) => add(r[N.name], 'node', r[N.id]));
  data.portals.forEach((r) => add(r[P.name], 'portal', r[P.id]));
  return byName;
}

// name -> [name, pass, id, pass, id, ...]: from each pass on, the id the
// name names (-1: no live node).
const named = new Map((data.names || []).map((entry) => [entry[0], entry]));

export const allNames = () => names().keys();

// The node id the name names at the pass, or -1.
export function nodeNamedAt(name, pass) {
  const entry = named.get(name);
  let id = -1;
  for (let i = 1; entry && i < entry.length && entry[i] <= pass; i += 2) id = entry[i + 1];
  return id;
}

export const inNamesTable = (name) => named.has(name);

// Every node id the name names at some pass: from the names table, else
// from the records that bore it.
export const idsNamed = (name) => (named.has(name) ?
  named.get(name).filter((v, i) => i % 2 === 0 && i > 0 && v >= 0) :
  (names().get(name) || []).filter((f) => f.kind === 'node').map((f) => f.id));

// The name a live node or portal bears at this pass, or null.
export const nameOf = (kind, id) => {
  const rec = (kind === 'node' ? now.nodeRecords : now.portalRecords)[id];
  if (rec >= 0) return kind === 'node' ? data.nodes[rec][N.name] : data.portals[rec][P.name];
  return null;
};

// The live node or portal that bears the name at this pass, or null: the
// node the names table gives, else (a name the script never bound, such
// as "#12") the live node or portal whose record bears it.
export function liveByName(name) {
  if (named.has(name)) {
    const node = nodeNamedAt(name, currentPass());
    if (node >= 0) return { kind: 'node', id: node };
  }
  for (const f of names().get(name) || []) {
    if ((f.kind === 'portal' || !named.has(name)) && nameOf(f.kind, f.id) === name) return f;
  }
  return null;
}

// What bore the name last in the session, for a name not live now.
export function lastByName(name) {
  const found = names().get(name);
  return found ? found[found.length - 1] : null;
}
