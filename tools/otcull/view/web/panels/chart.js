// The chart of every pass's figures, with the current pass marked; a
// click goes to a pass.
import { $, data } from '../data/session.js';
import { current } from '../data/replay.js';

const SERIES = [
  { label: 'objects shown', index: 0, colour: '#2f8f5b' },
  { label: 'objects hidden', index: 1, colour: '#8a96a3' },
  { label: 'host calls', index: 2, colour: '#1f5fa8' },
  { label: 'nodes tested', index: 3, colour: '#d99a00' },
];
const seriesMax = SERIES.map((s) => data.passes.reduce((m, p) => Math.max(m, p.figures[s.index]), 1));
const LEFT = 110;

export function resizeChart() {
  const ratio = window.devicePixelRatio || 1;
  const chart = $('chart');
  chart.width = Math.round(chart.getBoundingClientRect().width * ratio);
  chart.height = Math.round(96 * ratio);
}

export function drawChart() {
  const chart = $('chart');
  const c = chart.getContext('2d');
  const ratio = window.devicePixelRatio || 1;
  c.setTransform(ratio, 0, 0, ratio, 0, 0);
  const width = chart.width / ratio, height = chart.height / ratio;
  c.clearRect(0, 0, width, height);
  const count = data.passes.length;
  if (count === 0) return;
  const row = height / SERIES.length;
  const xOf = (i) => LEFT + (count === 1 ? 0.5 : i / (count - 1)) * (width - LEFT - 8);
  c.font = '11px Helvetica, Arial, sans-serif';
  SERIES.forEach((s, k) => {
    const top = k * row;
    c.fillStyle = s.colour;
    c.fillText(s.label + ' (' + seriesMax[k] + ')', 4, top + row / 2 + 4);
    c.beginPath();
    // One point per pixel column at most: the column's highest figure.
    let lastX = -1;
    data.passes.forEach((p, i) => {
      const x = Math.round(xOf(i));
      const y = top + row - 2 - (p.figures[s.index] / seriesMax[k]) * (row - 4);
      if (x === lastX) { c.lineTo(x, y); return; }
      if (lastX < 0) c.moveTo(x, y); else c.lineTo(x, y);
      lastX = x;
    });
    c.strokeStyle = s.colour;
    c.lineWidth = 1.2;
    c.stroke();
  });
  c.strokeStyle = '#b0228c';
  c.lineWidth = 2;
  c.beginPath();
  c.moveTo(xOf(current), 0);
  c.lineTo(xOf(current), height);
  c.stroke();
}

// The pass under a click at clientX, as a fraction of the session.
export function chartFraction(clientX) {
  const box = $('chart').getBoundingClientRect();
  return (clientX - box.left - LEFT) / (box.width - LEFT - 8);
}
