// What the plan asks of every node record, kept in typed arrays so that a
// pass over 100,000 nodes costs a millisecond: its page id, its kind, its
// role, and the zones in the order they are drawn.
import { BOX, SPHERE, ZONE } from './codes.js';
import { data, N } from './session.js';

// Extents of every node record: min x, y, z, max x, y, z; NaN where a
// figure is not finite (null in the data).
const figure = (v) => (v === null ? NaN : v);
export const extents = new Float64Array(data.nodes.length * 6);
for (let i = 0; i < data.nodes.length; i += 1) {
  const r = data.nodes[i];
  const b = r[N.kind] === BOX ? N.b : N.a;
  const radius = r[N.kind] === SPHERE ? Math.max(r[N.radius] || 0, 0) : 0;
  for (let k = 0; k < 3; k += 1) {
    const lo = Math.min(figure(r[N.a + k]), figure(r[b + k])) - radius;
    const hi = Math.max(figure(r[N.a + k]), figure(r[b + k])) + radius;
    const finite = Number.isFinite(lo) && Number.isFinite(hi);
    extents[i * 6 + k] = finite ? lo : NaN;
    extents[i * 6 + 3 + k] = finite ? hi : NaN;
  }
}

const count = data.nodes.length;
export const recId = new Int32Array(count);
export const recKind = new Int8Array(count);
export const recIsZone = new Uint8Array(count);
data.nodes.forEach((r, rec) => {
  recId[rec] = r[N.id];
  recKind[rec] = r[N.kind];
  recIsZone[rec] = r[N.role] === ZONE ? 1 : 0;
});

// A record is drawable when none of its extents is NaN.
export const drawable = (rec) => extents[rec * 6] === extents[rec * 6] &&
  extents[rec * 6 + 1] === extents[rec * 6 + 1] && extents[rec * 6 + 2] === extents[rec * 6 + 2];

const area = (rec) => (extents[rec * 6 + 3] - extents[rec * 6]) * (extents[rec * 6 + 5] - extents[rec * 6 + 2]);
// The zone records, largest first: a zone inside another is drawn over it.
export const zoneOrder = Int32Array.from(
  data.nodes.map((r, rec) => rec).filter((rec) => recIsZone[rec] && drawable(rec)),
).sort((p, q) => area(q) - area(p));

// Floors are half-open height bands [min, max): a record is on a band when
// its height range overlaps the band's, a flat one when its height is in
// the band. A room from y 0 to 3.5 is not on the floor that starts at 3.5.
export function onBand(rec, b) {
  const lo = extents[rec * 6 + 1], hi = extents[rec * 6 + 4];
  return hi > lo ? lo < b.max && hi > b.min : lo >= b.min && lo < b.max;
}
