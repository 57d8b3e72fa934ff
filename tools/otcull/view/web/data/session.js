// The session as otcull embedded it: the records every node and portal has
// had, the sentences, and per pass only what changed. Every fact the page
// shows comes from here (the pass observer and the script runner); the
// other modules only replay the change lists and draw.
export const data = JSON.parse(document.getElementById('otcull-data').textContent);
export const $ = (id) => document.getElementById(id);

// Node records: [id, name, kind, role, parent, ax, ay, az, bx, by, bz, radius, line, attachments]
export const N = { id: 0, name: 1, kind: 2, role: 3, parent: 4, a: 5, b: 8, radius: 11, line: 12, attachments: 13 };
// Portal records: [id, name, zoneA, zoneB, opening, line]
export const P = { id: 0, name: 1, zoneA: 2, zoneB: 3, opening: 4, line: 5 };

export const nodeCount = data.nodes.reduce((n, r) => Math.max(n, r[N.id] + 1), 0);
export const portalCount = data.portals.reduce((n, r) => Math.max(n, r[P.id] + 1), 0);
