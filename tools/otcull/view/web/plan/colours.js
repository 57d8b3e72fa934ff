// The plan's colours, as the legend (view.css) shows them.
export const COLOUR = {
  zoneShown: '#c4dcf6', zoneHidden: '#ebebe8', zoneLine: '#4a5a6e', cameraZoneLine: '#1f5fa8',
  nodeShown: '#2f8f5b', nodeShownLine: '#1d6640', nodeHiddenLine: '#a3acb6',
  passed: '#17a34a', open: '#f0a020', disabled: '#d0342c',
  wedge: 'rgba(255, 198, 41, 0.08)', wedgeLine: '#d99a00', camera: '#1c2228', pick: '#b0228c',
};
