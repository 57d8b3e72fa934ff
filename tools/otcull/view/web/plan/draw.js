// The plan at the current pass: zones, the frustum's wedge, nodes,
// portals, the camera and what is chosen.
import { VISIBLE, REACHED, OPENING, ZONE } from '../data/codes.js';
import { data, N, nodeCount, extents, drawable } from '../data/session.js';
import { now, current } from '../data/replay.js';
import { band, onBand } from '../data/floors.js';
import { plan, ctx, toScreenX, toScreenY } from './frame.js';
import { COLOUR } from './colours.js';
import { shape, wedge } from './shapes.js';
import { drawPortals } from './portals.js';
import { drawSelection } from './selection.js';

function drawZones(zones, pass) {
  const area = (rec) => (extents[rec * 6 + 3] - extents[rec * 6]) * (extents[rec * 6 + 5] - extents[rec * 6 + 2]);
  zones.sort((p, q) => area(q[1]) - area(p[1]));
  for (const [id, rec] of zones) {
    const state = now.nodeStates[id];
    const cameraZone = id === pass.zone;
    const shown = (state & VISIBLE) && (state & REACHED);
    const path = new Path2D();
    if (!shape(path, rec, 0)) continue;
    ctx.globalAlpha = 0.72;
    ctx.fillStyle = cameraZone || shown ? COLOUR.zoneShown : COLOUR.zoneHidden;
    ctx.fill(path);
    ctx.globalAlpha = 1;
    ctx.lineWidth = cameraZone ? 3 : 1.2;
    ctx.strokeStyle = cameraZone ? COLOUR.cameraZoneLine : COLOUR.zoneLine;
    ctx.stroke(path);
  }
}

// Two paths for all the nodes, shown and hidden: one drawing call each,
// however many nodes there are.
function drawNodes(nodes) {
  const shown = new Path2D(), hidden = new Path2D();
  for (const [id, rec] of nodes) shape(now.nodeStates[id] & VISIBLE ? shown : hidden, rec, 2);
  ctx.lineWidth = 1.2;
  ctx.strokeStyle = COLOUR.nodeHiddenLine;
  ctx.stroke(hidden);
  ctx.globalAlpha = 0.85;
  ctx.fillStyle = COLOUR.nodeShown;
  ctx.fill(shown);
  ctx.globalAlpha = 1;
  ctx.strokeStyle = COLOUR.nodeShownLine;
  ctx.stroke(shown);
}

// Hatched, so that the zones' colours stay readable under the wedge.
const hatch = (function () {
  const tile = document.createElement('canvas');
  tile.width = 8;
  tile.height = 8;
  const g = tile.getContext('2d');
  g.strokeStyle = 'rgba(217, 154, 0, 0.6)';
  g.lineWidth = 1.2;
  g.beginPath();
  g.moveTo(0, 8);
  g.lineTo(8, 0);
  g.stroke();
  return ctx.createPattern(tile, 'repeat');
}());

function drawWedge(camera) {
  const polygon = wedge(camera);
  if (polygon.length === 0) return;
  ctx.beginPath();
  polygon.forEach(([x, z], i) => (i === 0 ? ctx.moveTo(toScreenX(x), toScreenY(z)) : ctx.lineTo(toScreenX(x), toScreenY(z))));
  ctx.closePath();
  ctx.fillStyle = COLOUR.wedge;
  ctx.fill();
  ctx.fillStyle = hatch;
  ctx.fill();
  ctx.lineWidth = 1.4;
  ctx.strokeStyle = COLOUR.wedgeLine;
  ctx.stroke();
}

// The live nodes on the band, zones apart from the rest; openings are
// drawn as their portals.
export function nodesOnBand(b) {
  const zones = [], others = [];
  for (let id = 0; id < nodeCount; id += 1) {
    const rec = now.nodeRecords[id];
    if (rec < 0 || !drawable(rec) || !onBand(rec, b)) continue;
    if (data.nodes[rec][N.role] === ZONE) zones.push([id, rec]);
    else if (!(now.nodeStates[id] & OPENING)) others.push([id, rec]);
  }
  return { zones, others };
}

export function drawPlan() {
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  ctx.clearRect(0, 0, plan.width, plan.height);
  const pass = data.passes[current];
  if (!pass) return;
  const b = band();
  const { zones, others } = nodesOnBand(b);
  const camera = pass.camera;
  const cameraHere = camera && camera[1] !== null && camera[1] >= b.min && camera[1] < b.max;
  drawZones(zones, pass);
  if (cameraHere) drawWedge(camera);
  drawNodes(others);
  drawPortals(b);
  if (cameraHere && camera[0] !== null && camera[2] !== null) {
    ctx.beginPath();
    ctx.arc(toScreenX(camera[0]), toScreenY(camera[2]), 5.5, 0, 2 * Math.PI);
    ctx.fillStyle = COLOUR.camera;
    ctx.fill();
    ctx.lineWidth = 1.8;
    ctx.strokeStyle = '#ffffff';
    ctx.stroke();
  }
  drawSelection(b);
}
