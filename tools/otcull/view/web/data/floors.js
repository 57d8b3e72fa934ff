// Floors: height bands from the zones' vertical extents.
import { ZONE } from './codes.js';
import { data, N, extents, drawable } from './session.js';
import { current } from './replay.js';

export const bands = (function () {
  let lo = Infinity, hi = -Infinity;
  const zones = [];
  data.nodes.forEach((r, i) => {
    if (r[N.role] !== ZONE || !drawable(i)) return;
    zones.push(i);
    lo = Math.min(lo, extents[i * 6 + 1]);
    hi = Math.max(hi, extents[i * 6 + 4]);
  });
  // Zones that span most of the height (a building, a yard) say nothing
  // about floors; the floors of the others start new bands.
  const floors = [];
  for (const i of zones) {
    if (extents[i * 6 + 4] - extents[i * 6 + 1] > 0.75 * (hi - lo)) continue;
    floors.push(extents[i * 6 + 1]);
  }
  floors.sort((x, y) => x - y);
  const starts = [];
  for (const y of floors) {
    if (starts.length === 0 || y - starts[starts.length - 1] > 0.25) starts.push(y);
  }
  if (starts.length < 2) return [];
  return starts.map((y, k) => ({
    title: 'floor ' + (k + 1) + ' (from y ' + (k === 0 ? '-inf' : y) + ')',
    min: k === 0 ? -Infinity : y,
    max: k + 1 < starts.length ? starts[k + 1] : Infinity,
  }));
}());
const ALL = { title: 'all heights', min: -Infinity, max: Infinity };

// 'auto' (the camera's floor), 'all', or a band's index as text.
let floorChoice = 'auto';
export function chooseFloor(choice) {
  floorChoice = choice;
}

export function band() {
  if (floorChoice === 'all' || bands.length === 0) return ALL;
  if (floorChoice !== 'auto') return bands[Number(floorChoice)];
  const camera = data.passes[current] && data.passes[current].camera;
  if (!camera) return ALL;
  return bands.find((b) => camera[1] >= b.min && camera[1] < b.max) || ALL;
}
export const onBand = (rec, b) => extents[rec * 6 + 4] >= b.min && extents[rec * 6 + 1] < b.max;
