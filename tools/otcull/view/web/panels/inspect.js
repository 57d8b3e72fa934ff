// The inspector: the facts and the explanation of what is chosen, at the
// current pass.
import { BOX, SPHERE, VISIBLE, REACHED, kindName, roleName } from '../data/codes.js';
import { $, data, N, P } from '../data/session.js';
import { now, nodeRecord, nodeName } from '../data/replay.js';
import { selection, selectedId } from '../plan/selection.js';

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
  const r = data.nodes[rec];
  const state = now.nodeStates[id];
  showFacts('node ' + r[N.name], [
    ['kind', kindName(r[N.kind]) || String(r[N.kind])],
    ['role', roleName(r[N.role]) || 'other (' + r[N.role] + ')'],
    ['volume', volumeText(r)],
    ['parent', r[N.parent] < 0 ? 'top level' : nodeName(r[N.parent])],
    ['made', lineText(r[N.line])],
    ['attached', attachmentText(r[N.attachments])],
    ['this pass', (state & VISIBLE ? 'shown' : 'hidden') + (state & REACHED ? '' : ', not reached')],
  ], now.nodeWhy[id] >= 0 ? r[N.name] + ': ' + data.texts[now.nodeWhy[id]] : '');
}

function inspectPortal(id) {
  const rec = now.portalRecords[id];
  const r = data.portals[rec];
  const zone = (z) => (z < 0 ? 'none (leads out to the top level)' : nodeName(z));
  showFacts('portal ' + r[P.name], [
    ['zone A', zone(r[P.zoneA])],
    ['zone B', zone(r[P.zoneB])],
    ['opening', r[P.opening] < 0 ? 'none' : nodeName(r[P.opening])],
    ['made', lineText(r[P.line])],
  ], now.portalWhy[id] >= 0 ? data.texts[now.portalWhy[id]] : '');
}

export function inspect() {
  const id = selectedId(), selected = selection();
  if (!selected) {
    showFacts('Nothing chosen', [], '');
  } else if (id < 0) {
    showFacts(selected.kind + ' ' + selected.name, [['this pass', 'no ' + selected.kind + ' of that name is live']], '');
  } else if (selected.kind === 'node') {
    inspectNode(id);
  } else {
    inspectPortal(id);
  }
}
