// The strip under the inspector: the chosen node's state at every pass
// (shown, hidden, not live), with its flips marked above and the current
// pass marked across; a click goes to that pass.
import { $, data } from '../data/session.js';
import { currentPass } from '../data/replay.js';
import { historyOf, NOT_LIVE, SHOWN } from '../data/history.js';
import { selection } from '../plan/selection.js';

const strip = $('history');
const HEIGHT = 30, FLIPS = 7;
const COLOURS = ['#ffffff', '#c3c9d0', '#2f8f5b'];  // not live, hidden, shown
let name = null, history = null;

// The passes at which the node went from shown to hidden or back.
function flips(h) {
  const at = [];
  for (let p = 1; p < h.length; p += 1) {
    if (h[p] !== NOT_LIVE && h[p - 1] !== NOT_LIVE && h[p] !== h[p - 1]) at.push(p);
  }
  return at;
}

function describe(h, flipped) {
  let shown = 0, live = 0;
  for (const v of h) {
    if (v !== NOT_LIVE) live += 1;
    if (v === SHOWN) shown += 1;
  }
  return 'shown at ' + shown + ' of ' + h.length + ' passes, live at ' + live + ', ' +
    flipped.length + (flipped.length === 1 ? ' flip' : ' flips');
}

export function showHistory() {
  const chosen = selection();
  const wanted = chosen && chosen.kind === 'node' ? chosen.name : null;
  $('history-box').hidden = wanted === null || data.passes.length === 0;
  if (wanted === null) {
    name = null;
    return;
  }
  if (wanted !== name) {
    name = wanted;
    history = historyOf(name);
    $('history-caption').textContent = describe(history, flips(history));
  }
  drawStrip();
}

function drawStrip() {
  const ratio = window.devicePixelRatio || 1;
  strip.width = Math.round(strip.getBoundingClientRect().width * ratio);
  strip.height = Math.round(HEIGHT * ratio);
  const c = strip.getContext('2d');
  c.setTransform(ratio, 0, 0, ratio, 0, 0);
  const width = strip.width / ratio, count = history.length;
  const xOf = (p) => (p / count) * width;
  // Whole pixels, so that neighbouring passes meet without a seam.
  for (let p = 0; p < count; p += 1) {
    const x0 = Math.round(xOf(p)), x1 = Math.max(Math.round(xOf(p + 1)), x0 + 1);
    c.fillStyle = COLOURS[history[p]];
    c.fillRect(x0, FLIPS, x1 - x0, HEIGHT - FLIPS);
  }
  c.fillStyle = '#26303b';
  for (const p of flips(history)) c.fillRect(xOf(p) - 0.5, 0, 1, FLIPS - 1);
  c.strokeStyle = '#b0228c';
  c.lineWidth = 2;
  c.beginPath();
  c.moveTo(xOf(currentPass() + 0.5), 0);
  c.lineTo(xOf(currentPass() + 0.5), HEIGHT);
  c.stroke();
}

// The pass under a click at clientX.
export function historyPassAt(clientX) {
  const box = strip.getBoundingClientRect();
  return Math.floor(((clientX - box.left) / box.width) * data.passes.length);
}
