// The session as otcull embedded it: the records every node and portal has
// had, the sentences, and per pass only what changed. Every fact the page
// shows comes from here (the pass observer and the script runner); the
// other modules only replay the change lists and draw.
import { BOX, SPHERE } from './codes.js';

export const data = JSON.parse(document.getElementById('otcull-data').textContent);
export const $ = (id) => document.getElementById(id);

// Node records: [id, name, kind, role, parent, ax, ay, az, bx, by, bz, radius, line, attachments]
export const N = { id: 0, name: 1, kind: 2, role: 3, parent: 4, a: 5, b: 8, radius: 11, line: 12, attachments: 13 };
// Portal records: [id, name, zoneA, zoneB, opening, line]
export const P = { id: 0, name: 1, zoneA: 2, zoneB: 3, opening: 4, line: 5 };

export const nodeCount = data.nodes.reduce((n, r) => Math.max(n, r[N.id] + 1), 0);
export const portalCount = data.portals.reduce((n, r) => Math.max(n, r[P.id] + 1), 0);

// Extents of every node record: min x, y, z, max x, y, z; NaN where a
// figure is not finite.
export const extents = new Float64Array(data.nodes.length * 6);
data.nodes.forEach((r, i) => {
  const a = [r[N.a], r[N.a + 1], r[N.a + 2]];
  const b = r[N.kind] === BOX ? [r[N.b], r[N.b + 1], r[N.b + 2]] : a;
  const radius = r[N.kind] === SPHERE ? Math.max(r[N.radius] || 0, 0) : 0;
  for (let k = 0; k < 3; k += 1) {
    const lo = Math.min(a[k], b[k]) - radius;
    const hi = Math.max(a[k], b[k]) + radius;
    const finite = Number.isFinite(lo) && Number.isFinite(hi);
    extents[i * 6 + k] = finite ? lo : NaN;
    extents[i * 6 + 3 + k] = finite ? hi : NaN;
  }
});
