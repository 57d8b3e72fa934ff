// The numbers the data is written in, by name, from the table otcull
// writes out of its own enums: the page keeps no copy of them.
import { data } from './session.js';

const { kind, role, nodeState, portalDecision, portalState, packing, event, lineFlag } = data.codes;
export const BOX = kind.BOX;
export const SPHERE = kind.SPHERE;
export const POINT = kind.POINT;
export const ZONE = role.ZONE;
export const VISIBLE = nodeState.VISIBLE;
export const REACHED = nodeState.REACHED;
export const OPENING = nodeState.OPENING;
export const NODE_STATE_BITS = packing.NODE_STATE_BITS;
export const PORTAL_STATE_BITS = packing.PORTAL_STATE_BITS;
export const EVENT = event;
export const LINE_CHANGES = lineFlag.CHANGES;

// A portal's state: whether it is disabled, and the pass's decision.
export const portalDisabled = (state) => (state & portalState.DISABLED) !== 0;
const decisionOf = (state) => (state >> portalState.DECISION_SHIFT) - 1;
// Whether the pass went through the portal: to its far side, or out.
export const portalPassed = (state) => decisionOf(state) === portalDecision.FOLLOWED ||
  decisionOf(state) === portalDecision.LEADS_OUT;

// A kind's or role's name in lower case ('box', 'zone'), or null.
const nameIn = (group, value) => {
  const found = Object.entries(group).find(([, v]) => v === value);
  return found ? found[0].toLowerCase() : null;
};
export const kindName = (value) => nameIn(kind, value);
export const roleName = (value) => nameIn(role, value);
