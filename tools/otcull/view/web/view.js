// otcull view: the page's script. Every fact shown comes from the data that
// otcull embedded (the pass observer and the script runner); this file only
// replays the change lists and draws.
(function () {
  'use strict';

  const data = JSON.parse(document.getElementById('otcull-data').textContent);
  const $ = (id) => document.getElementById(id);

  // Node records: [id, name, kind, role, parent, ax, ay, az, bx, by, bz, radius, line, attachments]
  const N = { id: 0, name: 1, kind: 2, role: 3, parent: 4, a: 5, b: 8, radius: 11, line: 12, attachments: 13 };
  // Portal records: [id, name, zoneA, zoneB, opening, line]
  const P = { id: 0, name: 1, zoneA: 2, zoneB: 3, opening: 4, line: 5 };
  const BOX = 1, SPHERE = 2, POINT = 3, ZONE = 2;
  const VISIBLE = 1, REACHED = 2, OPENING = 4;
  const FOLLOWED = 5, LEADS_OUT = 3;
  const CHANNELS = ['nodeRecords', 'nodeStates', 'nodeWhy', 'portalRecords', 'portalStates', 'portalWhy'];
  const COLOUR = {
    zoneShown: '#c4dcf6', zoneHidden: '#ebebe8', zoneLine: '#4a5a6e', cameraZoneLine: '#1f5fa8',
    nodeShown: '#2f8f5b', nodeShownLine: '#1d6640', nodeHiddenLine: '#a3acb6',
    passed: '#17a34a', open: '#f0a020', disabled: '#d0342c',
    wedge: 'rgba(255, 198, 41, 0.08)', wedgeLine: '#d99a00', camera: '#1c2228', pick: '#b0228c',
  };

  const nodeCount = data.nodes.reduce((n, r) => Math.max(n, r[N.id] + 1), 0);
  const portalCount = data.portals.reduce((n, r) => Math.max(n, r[P.id] + 1), 0);
  // The current value of each channel, by page id; -1 before a first value.
  const now = {
    nodeRecords: new Int32Array(nodeCount).fill(-1),
    nodeStates: new Int32Array(nodeCount).fill(-1),
    nodeWhy: new Int32Array(nodeCount).fill(-1),
    portalRecords: new Int32Array(portalCount).fill(-1),
    portalStates: new Int32Array(portalCount).fill(-1),
    portalWhy: new Int32Array(portalCount).fill(-1),
  };

  // The value each change replaced, so that stepping back costs what
  // stepping forward did.
  const before = data.passes.map((pass) => {
    const replaced = {};
    for (const channel of CHANNELS) {
      const list = pass[channel];
      const old = new Int32Array(list.length / 2);
      for (let i = 0; i < list.length; i += 2) {
        old[i / 2] = now[channel][list[i]];
        now[channel][list[i]] = list[i + 1];
      }
      replaced[channel] = old;
    }
    return replaced;
  });
  for (const channel of CHANNELS) now[channel].fill(-1);
  let current = -1;

  function stepForward() {
    current += 1;
    const pass = data.passes[current];
    for (const channel of CHANNELS) {
      const list = pass[channel];
      for (let i = 0; i < list.length; i += 2) now[channel][list[i]] = list[i + 1];
    }
  }

  function stepBack() {
    const pass = data.passes[current];
    for (const channel of CHANNELS) {
      const list = pass[channel];
      const old = before[current][channel];
      for (let i = list.length - 2; i >= 0; i -= 2) now[channel][list[i]] = old[i / 2];
    }
    current -= 1;
  }

  // Extents of every node record: min x, y, z, max x, y, z.
  const extents = new Float64Array(data.nodes.length * 6);
  data.nodes.forEach((r, i) => {
    const a = [r[N.a], r[N.a + 1], r[N.a + 2]];
    const b = r[N.kind] === BOX ? [r[N.b], r[N.b + 1], r[N.b + 2]] : a;
    const radius = r[N.kind] === SPHERE ? Math.max(r[N.radius] || 0, 0) : 0;
    for (let k = 0; k < 3; k += 1) {
      const lo = Math.min(a[k], b[k]) - radius;
      const hi = Math.max(a[k], b[k]) + radius;
      const finite = Number.isFinite(lo) && Number.isFinite(hi);
      extents[i * 6 + k] = finite ? lo : NaN;
      extents[i * 6 + 3 + k] = finite ? hi : NaN;
    }
  });
  const drawable = (rec) => !Number.isNaN(extents[rec * 6]) && !Number.isNaN(extents[rec * 6 + 1]) &&
    !Number.isNaN(extents[rec * 6 + 2]);

  const nodeRecord = (id) => (id >= 0 ? now.nodeRecords[id] : -1);
  const nodeName = (id) => {
    const rec = nodeRecord(id);
    if (rec >= 0) return data.nodes[rec][N.name];
    return id < 0 ? 'none' : '(deleted)';
  };

  // ---- floors: height bands from the zones' vertical extents -------------
  const bands = (function () {
    let lo = Infinity, hi = -Infinity;
    const zones = [];
    data.nodes.forEach((r, i) => {
      if (r[N.role] !== ZONE || !drawable(i)) return;
      zones.push(i);
      lo = Math.min(lo, extents[i * 6 + 1]);
      hi = Math.max(hi, extents[i * 6 + 4]);
    });
    // Zones that span most of the height (a building, a yard) say nothing
    // about floors; the floors of the others start new bands.
    const floors = [];
    for (const i of zones) {
      if (extents[i * 6 + 4] - extents[i * 6 + 1] > 0.75 * (hi - lo)) continue;
      floors.push(extents[i * 6 + 1]);
    }
    floors.sort((x, y) => x - y);
    const starts = [];
    for (const y of floors) {
      if (starts.length === 0 || y - starts[starts.length - 1] > 0.25) starts.push(y);
    }
    if (starts.length < 2) return [];
    return starts.map((y, k) => ({
      title: 'floor ' + (k + 1) + ' (from y ' + (k === 0 ? '-inf' : y) + ')',
      min: k === 0 ? -Infinity : y,
      max: k + 1 < starts.length ? starts[k + 1] : Infinity,
    }));
  }());
  const ALL = { title: 'all heights', min: -Infinity, max: Infinity };
  let floorChoice = 'auto';

  function band() {
    if (floorChoice === 'all' || bands.length === 0) return ALL;
    if (floorChoice !== 'auto') return bands[Number(floorChoice)];
    const camera = data.passes[current] && data.passes[current].camera;
    if (!camera) return ALL;
    return bands.find((b) => camera[1] >= b.min && camera[1] < b.max) || ALL;
  }
  const onBand = (rec, b) => extents[rec * 6 + 4] >= b.min && extents[rec * 6 + 1] < b.max;

  // ---- the plan: world x runs right, world z runs up the page -----------
  const plan = $('plan');
  const ctx = plan.getContext('2d');
  const view = { x: 0, z: 0, scale: 1 };  // the world point at the centre, pixels per metre
  let selected = null;                    // { kind: 'node' | 'portal', id }

  const toScreenX = (x) => plan.width / 2 + (x - view.x) * view.scale;
  const toScreenY = (z) => plan.height / 2 - (z - view.z) * view.scale;
  const toWorldX = (px) => view.x + (px - plan.width / 2) / view.scale;
  const toWorldZ = (py) => view.z - (py - plan.height / 2) / view.scale;

  function fit() {
    let x0 = Infinity, z0 = Infinity, x1 = -Infinity, z1 = -Infinity;
    for (let id = 0; id < nodeCount; id += 1) {
      const rec = now.nodeRecords[id];
      if (rec < 0 || !drawable(rec)) continue;
      x0 = Math.min(x0, extents[rec * 6]);
      z0 = Math.min(z0, extents[rec * 6 + 2]);
      x1 = Math.max(x1, extents[rec * 6 + 3]);
      z1 = Math.max(z1, extents[rec * 6 + 5]);
    }
    if (x0 > x1) { x0 = -10; z0 = -10; x1 = 10; z1 = 10; }
    view.x = (x0 + x1) / 2;
    view.z = (z0 + z1) / 2;
    view.scale = 0.92 * Math.min(plan.width / Math.max(x1 - x0, 1e-3), plan.height / Math.max(z1 - z0, 1e-3));
  }

  // The chart first: its height moves the plan's box.
  function resize() {
    const ratio = window.devicePixelRatio || 1;
    const chart = $('chart');
    chart.width = Math.round(chart.getBoundingClientRect().width * ratio);
    chart.height = Math.round(96 * ratio);
    const box = $('plan-box').getBoundingClientRect();
    const width = Math.max(Math.round(box.width * ratio), 50);
    const height = Math.max(Math.round(box.height * ratio), 50);
    if (plan.width !== width || plan.height !== height) {
      const keep = plan.width > 0 ? view.scale / plan.width : 0;
      plan.width = width;
      plan.height = height;
      if (keep > 0) view.scale = keep * width;
    }
  }

  function rectOf(rec) {
    const x = toScreenX(extents[rec * 6]);
    const y = toScreenY(extents[rec * 6 + 5]);
    return [x, y, toScreenX(extents[rec * 6 + 3]) - x, toScreenY(extents[rec * 6 + 2]) - y];
  }

  // Adds the node's outline to path; false when it lies off the canvas.
  function shape(path, rec, minimum) {
    const kind = data.nodes[rec][N.kind];
    const [x, y, w, h] = rectOf(rec);
    const slack = Math.max(minimum, 3);
    if (x > plan.width + slack || y > plan.height + slack || x + w < -slack || y + h < -slack) return false;
    if (kind === BOX) {
      path.rect(x, y, Math.max(w, minimum), Math.max(h, minimum));
    } else {
      const r = kind === POINT ? 3 : Math.max(w / 2, minimum / 2);
      path.moveTo(x + w / 2 + r, y + h / 2);
      path.arc(x + w / 2, y + h / 2, r, 0, 2 * Math.PI);
    }
    return true;
  }

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

  // The frustum's slice at the camera's height: the visible world clipped
  // by each plane (a x + c z + (b y + d) > 0 keeps a point).
  function wedge(camera) {
    let polygon = [[toWorldX(0), toWorldZ(plan.height)], [toWorldX(plan.width), toWorldZ(plan.height)],
      [toWorldX(plan.width), toWorldZ(0)], [toWorldX(0), toWorldZ(0)]];
    const y = camera[1];
    for (let k = 0; k < 6; k += 1) {
      const [a, b, c, d] = camera.slice(3 + 4 * k, 7 + 4 * k);
      if ([a, b, c, d].some((v) => v === null)) return [];
      const distance = (q) => a * q[0] + c * q[1] + (b * y + d);
      const kept = [];
      polygon.forEach((from, i) => {
        const to = polygon[(i + 1) % polygon.length];
        const df = distance(from), dt = distance(to);
        if (df > 0) kept.push(from);
        if ((df > 0) !== (dt > 0) && Number.isFinite(df) && Number.isFinite(dt)) {
          const t = df / (df - dt);
          kept.push([from[0] + t * (to[0] - from[0]), from[1] + t * (to[1] - from[1])]);
        }
      });
      polygon = kept;
      if (polygon.length === 0) break;
    }
    return polygon.length >= 3 ? polygon : [];
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

  function portalColour(state) {
    if (state & 1) return COLOUR.disabled;
    const decision = (state >> 1) - 1;
    return decision === FOLLOWED || decision === LEADS_OUT ? COLOUR.passed : COLOUR.open;
  }

  // Where a portal is drawn: a bar along a door's or window's long side, or
  // a rectangle for an opening in a floor; null when it has no opening of
  // its own or it is not on the band.
  function portalShape(id, b) {
    const rec = now.portalRecords[id];
    if (rec < 0) return null;
    const r = data.portals[rec];
    const opening = nodeRecord(r[P.opening]);
    if (opening < 0 || r[P.opening] === r[P.zoneA] || r[P.opening] === r[P.zoneB]) return null;
    if (!drawable(opening) || !onBand(opening, b)) return null;
    const e = extents.subarray(opening * 6, opening * 6 + 6);
    const dx = e[3] - e[0], dy = e[4] - e[1], dz = e[5] - e[2];
    const outside = r[P.zoneA] < 0 || r[P.zoneB] < 0;
    if (dy < Math.min(dx, dz)) return { floor: true, rect: rectOf(opening), outside };
    const cx = (e[0] + e[3]) / 2, cz = (e[2] + e[5]) / 2;
    const along = dx >= dz;
    return {
      floor: false, outside,
      from: [toScreenX(along ? e[0] : cx), toScreenY(along ? cz : e[2])],
      to: [toScreenX(along ? e[3] : cx), toScreenY(along ? cz : e[5])],
    };
  }

  function drawPortals(b) {
    for (let id = 0; id < portalCount; id += 1) {
      const s = portalShape(id, b);
      if (!s) continue;
      const colour = portalColour(now.portalStates[id]);
      ctx.strokeStyle = colour;
      if (s.floor) {
        ctx.setLineDash([4, 2]);
        ctx.globalAlpha = 0.25;
        ctx.fillStyle = colour;
        ctx.fillRect(...s.rect);
        ctx.globalAlpha = 1;
        ctx.lineWidth = 2;
        ctx.strokeRect(...s.rect);
        ctx.setLineDash([]);
        continue;
      }
      ctx.lineCap = 'round';
      ctx.lineWidth = 5;
      ctx.beginPath();
      ctx.moveTo(...s.from);
      ctx.lineTo(...s.to);
      ctx.stroke();
      if (s.outside) {
        ctx.lineWidth = 1.4;
        ctx.strokeStyle = '#ffffff';
        ctx.stroke();
      }
      ctx.lineCap = 'butt';
    }
  }

  function drawSelection(b) {
    if (!selected) return;
    ctx.strokeStyle = COLOUR.pick;
    ctx.lineWidth = 3;
    ctx.setLineDash([6, 3]);
    if (selected.kind === 'node') {
      const rec = nodeRecord(selected.id);
      const path = new Path2D();
      if (rec >= 0 && drawable(rec) && onBand(rec, b) && shape(path, rec, 6)) ctx.stroke(path);
    } else {
      const s = portalShape(selected.id, b);
      if (s && s.floor) ctx.strokeRect(...s.rect);
      if (s && !s.floor) {
        ctx.beginPath();
        ctx.arc((s.from[0] + s.to[0]) / 2, (s.from[1] + s.to[1]) / 2, 9, 0, 2 * Math.PI);
        ctx.stroke();
      }
    }
    ctx.setLineDash([]);
  }

  // The live nodes on the band, zones apart from the rest; openings are
  // drawn as their portals.
  function nodesOnBand(b) {
    const zones = [], others = [];
    for (let id = 0; id < nodeCount; id += 1) {
      const rec = now.nodeRecords[id];
      if (rec < 0 || !drawable(rec) || !onBand(rec, b)) continue;
      if (data.nodes[rec][N.role] === ZONE) zones.push([id, rec]);
      else if (!(now.nodeStates[id] & OPENING)) others.push([id, rec]);
    }
    return { zones, others };
  }

  function drawPlan() {
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

  // ---- picking ------------------------------------------------------------
  function distanceToSegment(p, a, b) {
    const dx = b[0] - a[0], dy = b[1] - a[1];
    const length = dx * dx + dy * dy;
    const t = length > 0 ? Math.max(0, Math.min(1, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length)) : 0;
    return Math.hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
  }

  // A portal under the point first, then the smallest node holding it
  // (nodes before zones).
  function pick(px, py) {
    const b = band();
    for (let id = 0; id < portalCount; id += 1) {
      const s = portalShape(id, b);
      if (!s) continue;
      if (s.floor) {
        const [x, y, w, h] = s.rect;
        if (px >= x && px <= x + w && py >= y && py <= y + h) return { kind: 'portal', id };
      } else if (distanceToSegment([px, py], s.from, s.to) <= 5) {
        return { kind: 'portal', id };
      }
    }
    const { zones, others } = nodesOnBand(b);
    for (const list of [others, zones]) {
      let best = null, bestArea = Infinity;
      for (const [id, rec] of list) {
        const [x, y, w, h] = rectOf(rec);
        const slack = Math.max(0, 4 - Math.min(w, h) / 2);
        if (px < x - slack || px > x + w + slack || py < y - slack || py > y + h + slack) continue;
        if (w * h < bestArea) { best = id; bestArea = w * h; }
      }
      if (best !== null) return { kind: 'node', id: best };
    }
    return null;
  }

  // ---- inspect ------------------------------------------------------------
  const KIND_NAMES = { 1: 'box', 2: 'sphere', 3: 'point' };
  const ROLE_NAMES = { 1: 'normal', 2: 'zone' };
  const num = (v) => (v === null ? 'inf or nan' : String(v));

  function volumeText(r) {
    const a = r.slice(N.a, N.a + 3).map(num).join(', ');
    if (r[N.kind] === BOX) return 'corner A (' + a + '), corner B (' + r.slice(N.b, N.b + 3).map(num).join(', ') + ')';
    if (r[N.kind] === SPHERE) return 'centre (' + a + '), radius ' + num(r[N.radius]);
    return 'at (' + a + ')';
  }

  function attachmentText(list) {
    const parts = [];
    for (let i = 0; i < list.length; i += 2) {
      parts.push(list[i + 1] < 0 ? 'object ' + list[i] : 'object ' + list[i] + ' limb ' + list[i + 1]);
    }
    return parts.length ? parts.join(', ') : 'none';
  }

  function showFacts(title, facts, explanation) {
    $('inspect-title').textContent = title;
    const list = $('inspect-facts');
    list.replaceChildren();
    for (const [label, value] of facts) {
      const dt = document.createElement('dt');
      dt.textContent = label;
      const dd = document.createElement('dd');
      dd.textContent = value;
      list.append(dt, dd);
    }
    $('explain').textContent = explanation;
  }

  const lineText = (line) => (line > 0 ? 'line ' + line : 'not made by the script');

  function inspectNode(id) {
    const rec = nodeRecord(id);
    if (rec < 0) {
      showFacts('node ' + nodeName(id), [['state', 'not live at this pass']], '');
      return;
    }
    const r = data.nodes[rec];
    const state = now.nodeStates[id];
    showFacts('node ' + r[N.name], [
      ['kind', KIND_NAMES[r[N.kind]] || String(r[N.kind])],
      ['role', ROLE_NAMES[r[N.role]] || 'other (' + r[N.role] + ')'],
      ['volume', volumeText(r)],
      ['parent', r[N.parent] < 0 ? 'top level' : nodeName(r[N.parent])],
      ['made', lineText(r[N.line])],
      ['attached', attachmentText(r[N.attachments])],
      ['this pass', (state & VISIBLE ? 'shown' : 'hidden') + (state & REACHED ? '' : ', not reached')],
    ], now.nodeWhy[id] >= 0 ? r[N.name] + ': ' + data.texts[now.nodeWhy[id]] : '');
  }

  function inspectPortal(id) {
    const rec = now.portalRecords[id];
    if (rec < 0) {
      showFacts('portal', [['state', 'not live at this pass']], '');
      return;
    }
    const r = data.portals[rec];
    const zone = (z) => (z < 0 ? 'none (leads out to the top level)' : nodeName(z));
    showFacts('portal ' + r[P.name], [
      ['zone A', zone(r[P.zoneA])],
      ['zone B', zone(r[P.zoneB])],
      ['opening', r[P.opening] < 0 ? 'none' : nodeName(r[P.opening])],
      ['made', lineText(r[P.line])],
    ], now.portalWhy[id] >= 0 ? data.texts[now.portalWhy[id]] : '');
  }

  function inspect() {
    if (!selected) {
      showFacts('Nothing chosen', [], '');
    } else if (selected.kind === 'node') {
      inspectNode(selected.id);
    } else {
      inspectPortal(selected.id);
    }
  }

  function select(choice) {
    selected = choice;
    inspect();
    drawPlan();
  }

  // ---- the timeline and its chart --------------------------------------------
  const FIGURES = ['shown-count', 'hidden-count', 'host-calls', 'nodes-tested', 'zones-tested',
    'box-corners', 'portals-followed'];
  const SERIES = [
    { label: 'objects shown', index: 0, colour: '#2f8f5b' },
    { label: 'objects hidden', index: 1, colour: '#8a96a3' },
    { label: 'host calls', index: 2, colour: '#1f5fa8' },
    { label: 'nodes tested', index: 3, colour: '#d99a00' },
  ];
  const seriesMax = SERIES.map((s) => data.passes.reduce((m, p) => Math.max(m, p.figures[s.index]), 1));

  function drawChart() {
    const chart = $('chart');
    const c = chart.getContext('2d');
    const ratio = window.devicePixelRatio || 1;
    c.setTransform(ratio, 0, 0, ratio, 0, 0);
    const width = chart.width / ratio, height = chart.height / ratio;
    c.clearRect(0, 0, width, height);
    const count = data.passes.length;
    if (count === 0) return;
    const left = 110, row = height / SERIES.length;
    const xOf = (i) => left + (count === 1 ? 0.5 : i / (count - 1)) * (width - left - 8);
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
    chart.dataset.left = left;
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

  function goTo(target) {
    const k = Math.max(0, Math.min(data.passes.length - 1, Math.round(target)));
    while (current < k) stepForward();
    while (current > k) stepBack();
    showPass();
  }

  // ---- search and lint ------------------------------------------------------
  const byName = new Map();  // name -> [{ kind, id }], from every record
  data.nodes.forEach((r) => byName.set(r[N.name], (byName.get(r[N.name]) || []).concat([{ kind: 'node', id: r[N.id] }])));
  data.portals.forEach((r) => byName.set(r[P.name], (byName.get(r[P.name]) || []).concat([{ kind: 'portal', id: r[P.id] }])));

  // The live one of that name at this pass, else the last one.
  function findByName(name) {
    const found = byName.get(name);
    if (!found) return null;
    const live = found.find((f) => (f.kind === 'node' ? now.nodeRecords : now.portalRecords)[f.id] >= 0);
    return live || found[found.length - 1];
  }

  function search() {
    const text = $('search').value.trim();
    const results = $('search-results');
    results.replaceChildren();
    if (!text) return;
    const exact = findByName(text);
    if (exact) { select(exact); return; }
    let shown = 0;
    for (const name of byName.keys()) {
      if (!name.toLowerCase().includes(text.toLowerCase())) continue;
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = name;
      button.addEventListener('click', () => select(findByName(name)));
      results.append(button);
      shown += 1;
      if (shown === 24) break;
    }
    if (shown === 0) results.textContent = 'no node or portal of that name';
  }

  function listLint() {
    const list = $('lint');
    $('lint-count').textContent = '(' + data.lint.length + ')';
    for (const [line, kind, text, node, portal] of data.lint) {
      const item = document.createElement('li');
      const link = document.createElement('a');
      link.textContent = (line > 0 ? 'line ' + line : data.source) + ': ' + kind;
      link.title = 'show what the warning is about';
      link.addEventListener('click', () => {
        if (node >= 0) select({ kind: 'node', id: node });
        else if (portal >= 0) select({ kind: 'portal', id: portal });
      });
      item.append(link, document.createTextNode(' - ' + text));
      list.append(item);
    }
    if (data.lint.length === 0) list.textContent = 'no warnings';
  }

  // ---- wiring -------------------------------------------------------------
  function wire() {
    const slider = $('pass-slider');
    slider.max = String(Math.max(data.passes.length - 1, 0));
    slider.addEventListener('input', () => goTo(Number(slider.value)));
    $('previous').addEventListener('click', () => goTo(current - 1));
    $('next').addEventListener('click', () => goTo(current + 1));
    document.addEventListener('keydown', (e) => {
      if (e.target instanceof HTMLInputElement || e.target instanceof HTMLSelectElement) return;
      if (e.key === 'ArrowLeft') goTo(current - 1);
      if (e.key === 'ArrowRight') goTo(current + 1);
    });
    $('chart').addEventListener('click', (e) => {
      const box = e.currentTarget.getBoundingClientRect();
      const left = Number(e.currentTarget.dataset.left || 0);
      const fraction = (e.clientX - box.left - left) / (box.width - left - 8);
      goTo(fraction * (data.passes.length - 1));
    });
    const floor = $('floor');
    floor.add(new Option('the camera\'s floor', 'auto'));
    bands.forEach((b, k) => floor.add(new Option(b.title, String(k))));
    floor.add(new Option('all heights', 'all'));
    floor.disabled = bands.length === 0;
    floor.addEventListener('change', () => { floorChoice = floor.value; drawPlan(); });
    $('fit').addEventListener('click', () => { fit(); drawPlan(); });
    const zoom = (factor, px, py) => {
      const wx = toWorldX(px), wz = toWorldZ(py);
      view.scale *= factor;
      view.x = wx - (px - plan.width / 2) / view.scale;
      view.z = wz + (py - plan.height / 2) / view.scale;
      drawPlan();
    };
    $('zoom-in').addEventListener('click', () => zoom(1.25, plan.width / 2, plan.height / 2));
    $('zoom-out').addEventListener('click', () => zoom(0.8, plan.width / 2, plan.height / 2));
    const ratio = () => window.devicePixelRatio || 1;
    plan.addEventListener('wheel', (e) => {
      e.preventDefault();
      const box = plan.getBoundingClientRect();
      zoom(e.deltaY < 0 ? 1.15 : 1 / 1.15, (e.clientX - box.left) * ratio(), (e.clientY - box.top) * ratio());
    }, { passive: false });
    let drag = null;
    plan.addEventListener('mousedown', (e) => { drag = { x: e.clientX, y: e.clientY, moved: false }; });
    window.addEventListener('mousemove', (e) => {
      if (!drag) return;
      const dx = e.clientX - drag.x, dy = e.clientY - drag.y;
      if (!drag.moved && Math.hypot(dx, dy) < 4) return;
      drag.moved = true;
      view.x -= dx * ratio() / view.scale;
      view.z += dy * ratio() / view.scale;
      drag.x = e.clientX;
      drag.y = e.clientY;
      drawPlan();
    });
    window.addEventListener('mouseup', (e) => {
      if (drag && !drag.moved && e.target === plan) {
        const box = plan.getBoundingClientRect();
        select(pick((e.clientX - box.left) * ratio(), (e.clientY - box.top) * ratio()));
      }
      drag = null;
    });
    $('search').addEventListener('change', search);
    $('search').addEventListener('keydown', (e) => { if (e.key === 'Enter') search(); });
    new ResizeObserver(() => { resize(); drawPlan(); drawChart(); }).observe($('plan-box'));
  }

  // For tests and the curious: where a named node is drawn, in CSS pixels
  // from the plan's top left corner.
  function screenPointOf(name) {
    const found = findByName(name);
    if (!found || found.kind !== 'node' || nodeRecord(found.id) < 0) return null;
    const [x, y, w, h] = rectOf(nodeRecord(found.id));
    return { x: (x + w / 2) / ratioNow(), y: (y + h / 2) / ratioNow() };
  }
  const ratioNow = () => window.devicePixelRatio || 1;

  $('source').textContent = data.source;
  listLint();
  wire();
  resize();
  window.otcullView = { goTo, screenPointOf, current: () => current };
  if (data.passes.length === 0) {
    $('pass-number').textContent = 'the script ran no pass';
    return;
  }
  goTo(0);
  fit();
  drawPlan();
}());
