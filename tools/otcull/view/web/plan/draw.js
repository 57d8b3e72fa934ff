// The plan at the current pass: zones, the frustum's wedge, nodes,
// portals, the camera, names and what is chosen. Only what lies on the
// canvas is drawn.
import { data } from '../data/session.js';
import { current } from '../data/replay.js';
import { band } from '../data/floors.js';
import { plan, ctx } from './frame.js';
import { zonesShown, drawZones } from './zones.js';
import { drawNodes } from './nodes.js';
import { drawPortals } from './portals.js';
import { drawWedge, drawCamera } from './wedge.js';
import { drawLabels } from './labels.js';
import { drawSelection } from './selection.js';

export function drawPlan() {
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  ctx.clearRect(0, 0, plan.width, plan.height);
  const pass = data.passes[current];
  if (!pass) return;
  const b = band();
  const zones = zonesShown(b);
  const camera = pass.camera;
  const cameraHere = camera && camera[1] !== null && camera[1] >= b.min && camera[1] < b.max;
  drawZones(zones, pass);
  if (cameraHere) drawWedge(camera);
  drawNodes(b);
  drawPortals(b);
  if (cameraHere) drawCamera(camera);
  drawLabels(zones, b);
  drawSelection(b);
}
