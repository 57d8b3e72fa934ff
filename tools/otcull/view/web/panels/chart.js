// The chart of every pass's figures, each pass a step as wide as its share
// of the chart (so that one pass still shows), with the events marked
// under it and the current pass marked across it. The figures and marks
// are drawn once into a cache; a step redraws only the cursor.
import { $, data } from '../data/session.js';
import { currentPass } from '../data/replay.js';

const SERIES = [
  { label: 'objects shown', index: 0, colour: '#2f8f5b' },
  { label: 'objects hidden', index: 1, colour: '#8a96a3' },
  { label: 'host calls', index: 2, colour: '#1f5fa8' },
  { label: 'nodes tested', index: 3, colour: '#d99a00' },
];
const seriesMax = SERIES.map((s) => data.passes.reduce((m, p) => Math.max(m, p.figures[s.index]), 1));
const LEFT = 110, RIGHT = 8, HEIGHT = 96, MARKS = 8;
const chart = $('chart');
const cache = document.createElement('canvas');
let marks = [];  // { pass, colour }
let cached = false;

export function markEvents(list) {
  marks = list;
  cached = false;
}

export function resizeChart() {
  const ratio = window.devicePixelRatio || 1;
  chart.width = Math.round(chart.getBoundingClientRect().width * ratio);
  chart.height = Math.round(HEIGHT * ratio);
  cached = false;
}

const span = (width) => width - LEFT - RIGHT;
const xOf = (i, width) => LEFT + (i / data.passes.length) * span(width);

function drawFigures(c, width) {
  const count = data.passes.length;
  const row = (HEIGHT - MARKS) / SERIES.length;
  c.font = '11px Helvetica, Arial, sans-serif';
  SERIES.forEach((s, k) => {
    const top = k * row;
    c.fillStyle = s.colour;
    c.fillText(s.label + ' (' + seriesMax[k] + ')', 4, top + row / 2 + 4);
    c.beginPath();
    for (let i = 0; i < count; i += 1) {
      const y = top + row - 2 - (data.passes[i].figures[s.index] / seriesMax[k]) * (row - 4);
      if (i === 0) c.moveTo(xOf(i, width), y); else c.lineTo(xOf(i, width), y);
      c.lineTo(xOf(i + 1, width), y);
    }
    c.strokeStyle = s.colour;
    c.lineWidth = 1.2;
    c.stroke();
  });
  // A tick in the middle of the pass's share, so that events at
  // neighbouring passes stay apart.
  const tick = Math.min(Math.max(span(width) / count, 2), 4);
  for (const m of marks) {
    c.fillStyle = m.colour;
    c.fillRect(xOf(m.pass + 0.5, width) - tick / 2, HEIGHT - MARKS, tick, MARKS);
  }
}

export function drawChart() {
  const ratio = window.devicePixelRatio || 1;
  const width = chart.width / ratio;
  if (!cached) {
    cache.width = chart.width;
    cache.height = chart.height;
    const c = cache.getContext('2d');
    c.setTransform(ratio, 0, 0, ratio, 0, 0);
    if (data.passes.length > 0) drawFigures(c, width);
    cached = true;
  }
  const c = chart.getContext('2d');
  c.setTransform(1, 0, 0, 1, 0, 0);
  c.clearRect(0, 0, chart.width, chart.height);
  c.drawImage(cache, 0, 0);
  if (data.passes.length === 0) return;
  c.setTransform(ratio, 0, 0, ratio, 0, 0);
  const x = xOf(currentPass() + 0.5, width);
  c.strokeStyle = '#b0228c';
  c.lineWidth = 2;
  c.beginPath();
  c.moveTo(x, 0);
  c.lineTo(x, HEIGHT);
  c.stroke();
}

// The pass under a click at clientX.
export function passAt(clientX) {
  const box = chart.getBoundingClientRect();
  return Math.floor(((clientX - box.left - LEFT) / span(box.width)) * data.passes.length);
}
