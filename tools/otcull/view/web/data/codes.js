// The codes the page reads in its data.
export const BOX = 1, SPHERE = 2, POINT = 3, ZONE = 2;
export const VISIBLE = 1, REACHED = 2, OPENING = 4;
export const FOLLOWED = 5, LEADS_OUT = 3;
