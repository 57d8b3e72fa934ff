// The plan's colours, as the legend (view.css) shows them.
export const COLOUR = {
  zoneShown: '#c4dcf6', zoneHidden: '#ebebe8', zoneLine: '#4a5a6e', cameraZoneLine: '#1f5fa8',
  nodeShown: '#2f8f5b', nodeShownLine: '#1d6640', nodeHiddenLine: '#a3acb6',
  passed: '#17a34a', open: '#f0a020', disabled: '#d0342c',
  wedgeLine: '#d99a00', camera: '#1c2228', pick: '#b0228c',
  flood: '#7b2fbf', label: '#26303b', portalLabel: '#6b7785',
};

// A colour as one pixel of ImageData read through a Uint32Array (bytes
// r, g, b, a in memory: little-endian, as every browser the page runs in).
export function packed(hex, alpha = 1) {
  const v = parseInt(hex.slice(1), 16);
  return ((Math.round(alpha * 255) << 24) | ((v & 0xff) << 16) | (v & 0xff00) | (v >> 16)) >>> 0;
}
