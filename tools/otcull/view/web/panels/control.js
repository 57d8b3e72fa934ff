// Going to a pass and choosing a node or portal: each redraws what it
// changes.
import { $, data } from '../data/session.js';
import { current, replayTo, nodeName } from '../data/replay.js';
import { drawPlan } from '../plan/draw.js';
import { setSelected } from '../plan/selection.js';
import { inspect } from './inspect.js';
import { drawChart } from './chart.js';

const FIGURES = ['shown-count', 'hidden-count', 'host-calls', 'nodes-tested', 'zones-tested',
  'box-corners', 'portals-followed'];

export function select(choice) {
  setSelected(choice);
  inspect();
  drawPlan();
}

function showPass() {
  const pass = data.passes[current];
  $('pass-slider').value = String(current);
  $('pass-number').textContent = 'pass ' + (current + 1) + ' of ' + data.passes.length;
  $('pass-line').textContent = String(pass.line);
  $('pass-text').textContent = pass.text || pass.command;
  $('pass-summary').textContent = data.texts[pass.summary];
  $('camera-zone').textContent = pass.zone < 0 ? 'none' : nodeName(pass.zone);
  const f = pass.figures;
  const values = [f[0], f[1], f[2], f[3], f[4], f[5], f[7] + ' of ' + f[6]];
  FIGURES.forEach((id, k) => { $(id).textContent = String(values[k]); });
  inspect();
  drawPlan();
  drawChart();
}

export function goTo(target) {
  replayTo(Math.max(0, Math.min(data.passes.length - 1, Math.round(target))));
  showPass();
}
