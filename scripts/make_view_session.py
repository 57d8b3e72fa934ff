#!/usr/bin/env python3
"""A long session for measuring `otcull view` (and explain, lint, run).

A square grid of SIDE x SIDE rooms (zones) joined by doors (portals), each
room holding ITEMS boxes with an object hung on each, built once; then
FRAMES frames, each moving the camera a step along the middle row and
swaying its gaze, taking the frustum (OT_UpdateFrustum) and culling
(OT_CullAll). SIDE 50 and ITEMS 38 make about 100,000 nodes.

usage: scripts/make_view_session.py SIDE ITEMS FRAMES [FIRST] > session.otc
(FIRST: write only the first FIRST frames of the walk, at its pace)
"""
import math
import sys

ROOM = 10.0


def build(side, items, write):
    write("camera 0 lookat 1 1.6 1  2 1.6 1  70 1.7778 0.1 150")
    for r in range(side):
        for c in range(side):
            x, z = c * ROOM, r * ROOM
            room = f"r{r}_{c}"
            write(f"{room} = OT_CreateBox(0, {x:g}, 0, {z:g}, {x + ROOM:g}, 3, {z + ROOM:g}, 2)")
            for k in range(items):
                ix, iz = x + 0.5 + (k % 6) * 1.5, z + 0.5 + (k // 6) * 1.4
                write(f"i = OT_CreateBox({room}, {ix:.2f}, 0, {iz:.2f}, {ix + 1:.2f}, 1, {iz + 1:.2f})")
                write(f"OT_AddObject(i, {(r * side + c) * items + k + 1})")
    for r in range(side):
        for c in range(side):
            x, z = c * ROOM, r * ROOM
            if c + 1 < side:
                write(f"d = OT_CreateBox(r{r}_{c}, {x + ROOM - 0.1:g}, 0, {z + 4.4:g}, "
                      f"{x + ROOM + 0.1:g}, 2.2, {z + 5.6:g})")
                write(f"OT_AddPortal(r{r}_{c}, r{r}_{c + 1}, d)")
            if r + 1 < side:
                write(f"d = OT_CreateBox(r{r}_{c}, {x + 4.4:g}, 0, {z + ROOM - 0.1:g}, "
                      f"{x + 5.6:g}, 2.2, {z + ROOM + 0.1:g})")
                write(f"OT_AddPortal(r{r}_{c}, r{r + 1}_{c}, d)")


def walk(side, frames, first, write):
    z = (side // 2 + 0.5) * ROOM
    for f in range(min(frames, first)):
        x = 1 + (side * ROOM - 2) * f / max(frames - 1, 1)
        sway = 6 * math.sin(f / 9)
        write(f"camera 0 lookat {x:.3f} 1.6 {z:g}  {x + 10:.3f} 1.6 {z + sway:.3f}  "
              "70 1.7778 0.1 150")
        write("OT_UpdateFrustum()")
        write("OT_CullAll()")


def main():
    side, items, frames = (int(a) for a in sys.argv[1:4])
    first = int(sys.argv[4]) if len(sys.argv) > 4 else frames
    lines = []
    build(side, items, lines.append)
    walk(side, frames, first, lines.append)
    sys.stdout.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
