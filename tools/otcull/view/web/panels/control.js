// Going to a pass and choosing a node or portal: each redraws what it
// changes, and the address keeps both (#pass=48&node=kitchen), so that a
// link opens the page where it was.
import { $, data } from '../data/session.js';
import { currentPass, replayTo, nodeName } from '../data/replay.js';
import { drawPlan } from '../plan/draw.js';
import { selection, setSelected } from '../plan/selection.js';
import { reveal } from '../plan/reveal.js';
import { inspect } from './inspect.js';
import { drawChart } from './chart.js';

const FIGURES = ['shown-count', 'hidden-count', 'host-calls', 'nodes-tested', 'zones-tested',
  'box-corners', 'portals-followed'];

// Panels that show something of the current pass or choice register here.
const followers = [];
export const follow = (update) => followers.push(update);

// Written once the stepping pauses: the browser limits how often a page
// may change its address.
let addressTimer = 0;
function writeAddress() {
  clearTimeout(addressTimer);
  addressTimer = setTimeout(() => {
    let hash = 'pass=' + (currentPass() + 1);
    const selected = selection();
    if (selected) hash += '&' + selected.kind + '=' + encodeURIComponent(selected.name);
    history.replaceState(null, '', '#' + hash);
  }, 250);
}

function showChoice() {
  inspect();
  for (const update of followers) update();
  writeAddress();
}

// choice: { kind, name } or null; brought into sight when asked.
export function select(choice, bringIntoSight) {
  setSelected(choice);
  if (bringIntoSight) reveal(choice);
  drawPlan();
  showChoice();
}

function showPass() {
  const pass = data.passes[currentPass()];
  $('pass-slider').value = String(currentPass());
  $('pass-number').textContent = 'pass ' + (currentPass() + 1) + ' of ' + data.passes.length;
  $('pass-box').value = String(currentPass() + 1);
  $('pass-line').textContent = String(pass.line);
  $('pass-text').textContent = pass.text || pass.command;
  $('pass-summary').textContent = data.texts[pass.summary];
  $('camera-zone').textContent = pass.zone < 0 ? 'none' : nodeName(pass.zone);
  const f = pass.figures;
  const values = [f[0], f[1], f[2], f[3], f[4], f[5], f[7] + ' of ' + f[6]];
  FIGURES.forEach((id, k) => { $(id).textContent = String(values[k]); });
  drawPlan();
  drawChart();
  showChoice();
}

export function goTo(target) {
  replayTo(Math.max(0, Math.min(data.passes.length - 1, Math.round(target))));
  showPass();
}

// Goes to a pass and chooses there, bringing the choice into sight.
export function goToAndSelect(pass, choice) {
  replayTo(Math.max(0, Math.min(data.passes.length - 1, pass)));
  setSelected(choice);
  reveal(choice);
  showPass();
}

// The pass and choice the address names, if any.
export function readAddress() {
  const fields = new URLSearchParams(location.hash.slice(1));
  const pass = Number(fields.get('pass'));
  const kind = fields.has('node') ? 'node' : fields.has('portal') ? 'portal' : null;
  return {
    pass: Number.isInteger(pass) && pass >= 1 ? pass - 1 : 0,
    choice: kind ? { kind, name: fields.get(kind) } : null,
  };
}
