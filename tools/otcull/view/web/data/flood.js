// The current pass's flood as otcull recorded it: the camera's zone, the
// portals followed in the order the pass followed them, the zones reached
// in the order reached.
import { data, P } from './session.js';
import { now, currentPass } from './replay.js';

// { zones: [page id, ...], steps: [{ portal, from, to }] }: each step goes
// from the portal's zone reached first to the other (-1: the top level).
export function floodPath() {
  const pass = data.passes[currentPass()];
  if (!pass || !pass.flood) return { zones: [], steps: [] };
  const [portals, zones] = pass.flood;
  const order = new Map(zones.map((id, k) => [id, k]));
  const rank = (zone) => (order.has(zone) ? order.get(zone) : Infinity);
  const steps = [];
  for (const portal of portals) {
    const rec = now.portalRecords[portal];
    if (rec < 0) continue;
    const a = data.portals[rec][P.zoneA], b = data.portals[rec][P.zoneB];
    steps.push(rank(a) <= rank(b) ? { portal, from: a, to: b } : { portal, from: b, to: a });
  }
  return { zones, steps };
}
