// otcull view: the page's controls, wired to the modules that replay the
// session and draw it.
import { $, data } from './data/session.js';
import { currentPass, replayTo, nodeRecord } from './data/replay.js';
import { liveByName } from './data/names.js';
import { historyOf, NOT_LIVE, SHOWN } from './data/history.js';
import { bands, band, chooseFloor } from './data/floors.js';
import { onBand } from './data/records.js';
import { plan, view, fit, resizePlan, zoomAbout, pixelRatio, rectOf } from './plan/frame.js';
import { drawPlan } from './plan/draw.js';
import { pick } from './plan/pick.js';
import { resizeChart, drawChart, passAt } from './panels/chart.js';
import { select, goTo, goToAndSelect, follow, readAddress } from './panels/control.js';
import { showHistory, historyPassAt } from './panels/history.js';
import { showBetween } from './panels/between.js';
import { listEvents, markCurrentEvents } from './panels/events.js';
import { showFlood } from './plan/flood.js';
import { search, listLint } from './panels/lists.js';

// An address edited by hand, or a link followed within the page.
function followAddress() {
  const { pass, choice } = readAddress();
  if (choice) goToAndSelect(pass, choice); else goTo(pass);
}

function wireTimeline() {
  const slider = $('pass-slider');
  slider.max = String(Math.max(data.passes.length - 1, 0));
  slider.addEventListener('input', () => goTo(Number(slider.value)));
  $('previous').addEventListener('click', () => goTo(currentPass() - 1));
  $('next').addEventListener('click', () => goTo(currentPass() + 1));
  document.addEventListener('keydown', (e) => {
    if (e.target instanceof HTMLInputElement || e.target instanceof HTMLSelectElement) return;
    if (e.key === 'ArrowLeft') goTo(currentPass() - 1);
    if (e.key === 'ArrowRight') goTo(currentPass() + 1);
  });
  $('chart').addEventListener('click', (e) => goTo(passAt(e.clientX)));
  $('history').addEventListener('click', (e) => goTo(historyPassAt(e.clientX)));
  window.addEventListener('hashchange', followAddress);
  const box = $('pass-box');
  box.max = String(data.passes.length);
  box.addEventListener('change', () => goTo(Number(box.value) - 1));
}

function wireFloors() {
  const floor = $('floor');
  floor.add(new Option('the camera\'s floor', 'auto'));
  bands.forEach((b, k) => floor.add(new Option(b.title, String(k))));
  floor.add(new Option('all heights', 'all'));
  floor.disabled = bands.length === 0;
  floor.addEventListener('change', () => { chooseFloor(floor.value); drawPlan(); });
}

function wirePlan() {
  $('fit').addEventListener('click', () => { fit(); drawPlan(); });
  $('flood').addEventListener('change', (e) => { showFlood(e.target.checked); drawPlan(); showBetween(); });
  const zoom = (factor, px, py) => { zoomAbout(factor, px, py); drawPlan(); };
  $('zoom-in').addEventListener('click', () => zoom(1.25, plan.width / 2, plan.height / 2));
  $('zoom-out').addEventListener('click', () => zoom(0.8, plan.width / 2, plan.height / 2));
  plan.addEventListener('wheel', (e) => {
    e.preventDefault();
    const box = plan.getBoundingClientRect();
    zoom(e.deltaY < 0 ? 1.15 : 1 / 1.15, (e.clientX - box.left) * pixelRatio(), (e.clientY - box.top) * pixelRatio());
  }, { passive: false });
  let drag = null;
  plan.addEventListener('mousedown', (e) => { drag = { x: e.clientX, y: e.clientY, moved: false }; });
  window.addEventListener('mousemove', (e) => {
    if (!drag) return;
    const dx = e.clientX - drag.x, dy = e.clientY - drag.y;
    if (!drag.moved && Math.hypot(dx, dy) < 4) return;
    drag.moved = true;
    view.x -= dx * pixelRatio() / view.scale;
    view.z += dy * pixelRatio() / view.scale;
    drag.x = e.clientX;
    drag.y = e.clientY;
    drawPlan();
  });
  window.addEventListener('mouseup', (e) => {
    if (drag && !drag.moved && e.target === plan) {
      const box = plan.getBoundingClientRect();
      select(pick((e.clientX - box.left) * pixelRatio(), (e.clientY - box.top) * pixelRatio()));
    }
    drag = null;
  });
  new ResizeObserver(() => { resizeChart(); resizePlan(); drawPlan(); drawChart(); }).observe($('plan-box'));
}

// For tests and the curious: where a named node is drawn, in CSS pixels
// from the plan's top left corner; null when it is not on the floor shown.
function screenPointOf(name) {
  const found = liveByName(name);
  const rec = found && found.kind === 'node' ? nodeRecord(found.id) : -1;
  if (rec < 0 || !onBand(rec, band())) return null;
  const [x, y, w, h] = rectOf(rec);
  return { x: (x + w / 2) / pixelRatio(), y: (y + h / 2) / pixelRatio() };
}

$('source').textContent = data.source;
if (data.error) {
  const banner = $('banner');
  banner.hidden = false;
  banner.textContent = 'The script stopped at ' + data.error.file + ' line ' + data.error.line + ': ' +
    data.error.message + '. The page shows the ' + data.passes.length + ' passes before it.';
}
follow(showHistory);
follow(showBetween);
follow(markCurrentEvents);
listEvents();
listLint();
wireTimeline();
wireFloors();
wirePlan();
$('search').addEventListener('change', search);
$('search').addEventListener('keydown', (e) => { if (e.key === 'Enter') search(); });
resizeChart();
resizePlan();
// The chosen name's history strip in words, one a pass.
const historyWords = (name) => Array.from(historyOf(name), (v) => {
  if (v === NOT_LIVE) return 'not live';
  return v === SHOWN ? 'shown' : 'hidden';
});

window.otcullView = { goTo, screenPointOf, historyWords, current: currentPass };
if (data.passes.length === 0) {
  $('pass-number').textContent = 'the script ran no pass';
} else {
  const { pass, choice } = readAddress();
  replayTo(Math.min(pass, data.passes.length - 1));
  fit();
  if (choice) goToAndSelect(pass, choice); else goTo(pass);
}
