// Nodes and portals by name. The page follows a name the way `explain
// --node` does: at each pass, the live node or portal of that name.
import { data, N, P } from './session.js';
import { now } from './replay.js';

const byName = new Map();  // name -> [{ kind, id }], from every record
function add(name, kind, id) {
  const list = byName.get(name);
  if (!list) byName.set(name, [{ kind, id }]);
  else if (!list.some((f) => f.kind === kind && f.id === id)) list.push({ kind, id });
}
data.nodes.forEach((r) => add(r[N.name], 'node', r[N.id]));
data.portals.forEach((r) => add(r[P.name], 'portal', r[P.id]));

export const allNames = () => byName.keys();

// The live node or portal that bears the name at this pass, or null.
export function liveByName(name) {
  for (const f of byName.get(name) || []) {
    const rec = (f.kind === 'node' ? now.nodeRecords : now.portalRecords)[f.id];
    if (rec >= 0 && (f.kind === 'node' ? data.nodes[rec][N.name] : data.portals[rec][P.name]) === name) return f;
  }
  return null;
}

// Every page id of the kind that bore the name at some pass.
export const idsOf = (name, kind) => (byName.get(name) || []).filter((f) => f.kind === kind).map((f) => f.id);

// What bore the name last in the session, for a name not live now.
export function lastByName(name) {
  const found = byName.get(name);
  return found ? found[found.length - 1] : null;
}

export const nameOf = (kind, id) => {
  const rec = (kind === 'node' ? now.nodeRecords : now.portalRecords)[id];
  if (rec >= 0) return kind === 'node' ? data.nodes[rec][N.name] : data.portals[rec][P.name];
  return null;
};
