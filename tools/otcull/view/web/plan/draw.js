// The plan at the current pass. The pixel layer first (zone fills and
// outlines, the frustum's hatching, small nodes, thin doors), then the
// shapes over it: the camera zone's outline, the wedge's, bigger nodes,
// wider doors, the camera, the flood path, names and what is chosen. Only what lies on the
// canvas is drawn.
import { data } from '../data/session.js';
import { currentPass } from '../data/replay.js';
import { band } from '../data/floors.js';
import { ctx } from './frame.js';
import { beginRaster, endRaster } from './raster.js';
import { zonesShown, rasterZones, outlineCameraZone } from './zones.js';
import { rasterNodes, drawNodeShapes } from './nodes.js';
import { rasterPortals, drawPortalShapes } from './portals.js';
import { rasterWedge, outlineWedge, drawCamera } from './wedge.js';
import { drawLabels } from './labels.js';
import { drawSelection } from './selection.js';
import { drawFlood } from './flood.js';

export function drawPlan() {
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  beginRaster();
  const pass = data.passes[currentPass()];
  if (!pass) {
    endRaster();
    return;
  }
  const b = band();
  const zones = zonesShown(b);
  const camera = pass.camera;
  const cameraHere = camera && camera[1] !== null && camera[1] >= b.min && camera[1] < b.max;
  rasterZones(zones, pass);
  if (cameraHere) rasterWedge(camera);
  rasterNodes(b);
  rasterPortals(b);
  endRaster();
  outlineCameraZone(zones, pass);
  if (cameraHere) outlineWedge(camera);
  drawNodeShapes();
  drawPortalShapes();
  if (cameraHere) drawCamera(camera);
  drawFlood(b);
  drawLabels(zones, b);
  drawSelection(b);
}
