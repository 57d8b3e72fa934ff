// Floors: height bands from the zones' vertical extents.
import { data } from './session.js';
import { extents, zoneOrder, onBand } from './records.js';
import { currentPass } from './replay.js';

export const bands = (function () {
  let lo = Infinity, hi = -Infinity;
  for (const rec of zoneOrder) {
    lo = Math.min(lo, extents[rec * 6 + 1]);
    hi = Math.max(hi, extents[rec * 6 + 4]);
  }
  // Zones that span most of the height (a building, a yard) say nothing
  // about floors; the floors of the others start new bands.
  const floors = [];
  for (const rec of zoneOrder) {
    if (extents[rec * 6 + 4] - extents[rec * 6 + 1] > 0.75 * (hi - lo)) continue;
    floors.push(extents[rec * 6 + 1]);
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
export const chosenFloor = () => floorChoice;
export function chooseFloor(choice) {
  floorChoice = choice;
}

const cameraBand = (camera) => bands.find((b) => camera[1] >= b.min && camera[1] < b.max) || ALL;

function bandFor(choice) {
  if (choice === 'all' || bands.length === 0) return ALL;
  if (choice !== 'auto') return bands[Number(choice)];
  const camera = data.passes[currentPass()] && data.passes[currentPass()].camera;
  return camera && camera[1] !== null ? cameraBand(camera) : ALL;
}
export const band = () => bandFor(floorChoice);

// The choice that shows the record: the one made if it does, else the
// camera's floor if that does, else the lowest band it is on.
export function floorShowing(rec) {
  for (const choice of [floorChoice, 'auto']) {
    if (onBand(rec, bandFor(choice))) return choice;
  }
  const k = bands.findIndex((b) => onBand(rec, b));
  return k < 0 ? 'all' : String(k);
}
