// The current pass's flood: from the camera's zone through the portals the
// pass followed to the zones it reached, in the order of a breadth-first
// walk (the order the pass floods in).
import { portalPassed } from './codes.js';
import { data, P, portalCount } from './session.js';
import { now, currentPass } from './replay.js';

// { zones: [page id, ...] in the order reached, steps: [{ portal, from, to }] }
// where to is -1 for a portal that leads out to the top level.
export function floodPath() {
  const pass = data.passes[currentPass()];
  if (!pass || pass.zone < 0) return { zones: [], steps: [] };
  const byZone = new Map();
  const touch = (zone, id) => byZone.set(zone, (byZone.get(zone) || []).concat([id]));
  for (let id = 0; id < portalCount; id += 1) {
    const rec = now.portalRecords[id];
    if (rec < 0 || !portalPassed(now.portalStates[id])) continue;
    touch(data.portals[rec][P.zoneA], id);
    touch(data.portals[rec][P.zoneB], id);
  }
  const zones = [pass.zone], steps = [], reached = new Set(zones), used = new Set();
  for (let k = 0; k < zones.length; k += 1) {
    const from = zones[k];
    for (const id of byZone.get(from) || []) {
      if (used.has(id)) continue;
      used.add(id);
      const r = data.portals[now.portalRecords[id]];
      const to = r[P.zoneA] === from ? r[P.zoneB] : r[P.zoneA];
      steps.push({ portal: id, from, to });
      if (to >= 0 && !reached.has(to)) {
        reached.add(to);
        zones.push(to);
      }
    }
  }
  return { zones, steps };
}
