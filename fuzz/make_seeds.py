#!/usr/bin/env python3
"""Writes the hand-made seed programs of the differential fuzzer into
fuzz/corpus/. Each seed is a small culling scene in the fuzzer's byte
encoding (see runProgram in testing/differential/differential.cpp): scenes
with zones, portals, attachments and cameras that see them, so the fuzzer
starts from deep states instead of empty trees. The otcull scripts in
examples/ are translated too.

Run it again after changing the decoding; the files are named after the scene.
"""
import glob
import math
import os
import re
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

ROLE = {1: 0, 2: 1, 0: 5, 3: 6, -1: 7}
IDS = {
    "UpdateFrustum1": 1, "UpdateFrustum2": 2, "CullAll": 3, "Cull": 4,
    "CreateBox1": 5, "CreateSphere1": 6, "CreatePoint1": 7, "CreateBox2": 8,
    "CreateSphere2": 9, "CreatePoint2": 10, "Delete": 11, "DeleteAll": 12,
    "AddObject": 13, "AddLimb": 14, "RemoveObject": 15, "RemoveLimb": 16,
    "Visible": 17, "Hide": 18, "Show": 19, "HideAll1": 20, "ShowAll1": 21,
    "HideAll2": 22, "ShowAll2": 23, "AddPortal": 24, "RemovePortal": 25,
    "CreateObjectBox1": 26, "CreateObjectSphere1": 27, "CreateObjectBox2": 28,
    "CreateObjectSphere2": 29, "CreateLimbBox1": 30, "CreateLimbSphere1": 31,
    "CreateLimbBox2": 32, "CreateLimbSphere2": 33, "TestBox": 34,
    "TestSphere": 35, "TestPoint": 36, "SetParent": 37, "SetPosition": 38,
    "SetBox": 39, "SetBoxSize": 40, "SetRadius": 41, "GetPositionX": 42,
    "GetPositionY": 43, "GetPositionZ": 44, "GetRadius": 45, "GetBoxWidth": 46,
    "GetBoxHeight": 47, "GetBoxDepth": 48, "GetBoxXA": 49, "GetBoxYA": 50, "GetBoxZA": 51,
    "GetBoxXB": 52, "GetBoxYB": 53, "GetBoxZB": 54, "GetParent": 55,
    "EnablePortal": 56, "DisablePortal": 57, "PortalEnabled": 58,
    "GetPortalPortal": 59, "GetPortalA": 60, "GetPortalB": 61,
}
KINDS = {  # argument kinds, as in the harness
    1: "", 2: "C", 3: "", 4: "N", 5: "NFFFFFFR", 6: "NFFFFR", 7: "NFFFR",
    8: "NFFFFFF", 9: "NFFFF", 10: "NFFF", 11: "N", 12: "", 13: "NO", 14: "NOM",
    15: "NO", 16: "NOM", 17: "N", 18: "N", 19: "N", 20: "N", 21: "N", 22: "",
    23: "", 24: "NNN", 25: "P", 26: "NOR", 27: "NOR", 28: "NO", 29: "NO",
    30: "NOMR", 31: "NOMR", 32: "NOM", 33: "NOM", 34: "FFFFFF", 35: "FFFF",
    36: "FFF", 37: "NN", 38: "NFFF", 39: "NFFFFFF", 40: "NFFF", 41: "NF",
    **{i: "N" for i in range(42, 56)}, 56: "P", 57: "P", 58: "P",
    59: "P", 60: "P", 61: "P",
}
SPECIAL = ["nan", "-nan", "nanp", "snan", "inf", "-inf", "-0", "0"]


def f(v):
    """A float argument: small integers and quarters take two bytes."""
    if isinstance(v, str):
        return bytes([150, SPECIAL.index(v)])
    if float(v).is_integer() and -20 <= v <= 20:
        return bytes([0, int(v) + 20])
    if float(v * 4).is_integer() and -128 <= v * 4 <= 127:
        return bytes([100, int(v * 4) & 0xFF])
    return bytes([200]) + struct.pack("<f", v)


class Program:
    def __init__(self):
        self.out = bytearray()
        self.nodes = []    # live node names, in creation order
        self.portals = []

    def handle(self, value, portal):
        if value == 0:
            return bytes([160])
        if isinstance(value, tuple):  # ("stale", k) / ("never", v) / ("wrong", name)
            tag = value[0]
            if tag == "never":
                return bytes([220]) + struct.pack("<I", value[1])
            if tag == "stale":
                return bytes([200, value[1]])
            if tag == "wrong":
                pool = self.nodes if portal else self.portals
                return bytes([180, pool.index(value[1])])
        pool = self.portals if portal else self.nodes
        return bytes([10, pool.index(value)])

    def cmd(self, name, *args, result=None):
        cid = IDS[name]
        self.out.append(cid - 1)
        for kind, a in zip(KINDS[cid], args):
            if kind in "NP":
                self.out += self.handle(a, kind == "P")
            elif kind == "F":
                self.out += f(a)
            elif kind == "R":
                self.out.append(ROLE[a])
            elif kind == "M":
                self.out.append(a + 1)
            else:
                self.out.append(a)
        if result is not None:
            (self.portals if name == "AddPortal" else self.nodes).append(result)
        return self

    def delete(self, name):
        """Deletes a node and forgets it and, roughly, what goes with it."""
        self.cmd("Delete", name)
        self.nodes.remove(name)
        return self

    def camera(self, number, which, position=None):
        self.out += bytes([183, number, which])
        if position is None:
            self.out.append(0)
        else:
            self.out.append(200)
            for v in position:
                self.out += f(v)
        return self

    def move(self, number, position):
        self.out += bytes([184, number])
        for v in position:
            self.out += f(v)
        return self

    def current(self, number):
        self.out += bytes([185, number])
        return self

    def body(self, op, head, position, lo, hi, radius):
        self.out += bytes([op] + head)
        for v in list(position) + list(lo) + list(hi) + [radius]:
            self.out += f(v)
        return self

    def save(self, name):
        with open(os.path.join(HERE, "corpus", "seed-" + name), "wb") as fh:
            fh.write(bytes(self.out))


def worked_example():
    p = Program()
    p.camera(0, 0, (2, 1, 2))
    p.cmd("CreateBox1", 0, 0, -5, 0, 10, 5, 10, 2, result="Z1")
    p.cmd("CreateBox1", 0, 0, -5, 10, 10, 5, 20, 2, result="Z2")
    p.cmd("CreateBox2", 0, 30, 30, -30, 32, 32, -28, result="O")
    p.cmd("CreateBox2", "Z1", 4, -1, 9, 6, 3, 11, result="D")
    p.cmd("CreateBox2", "Z1", 1, 0, 5, 3, 2, 7, result="T")
    p.cmd("CreateBox2", "Z2", 1, 0, 14, 3, 2, 16, result="W")
    for i, n in enumerate(["Z1", "Z2", "O", "D", "T", "W"]):
        p.cmd("AddObject", n, i)
    p.cmd("AddLimb", "T", 6, 2)
    p.cmd("AddPortal", "Z1", "Z2", "D", result="P")
    p.cmd("UpdateFrustum1").cmd("CullAll")
    p.cmd("Visible", "W").cmd("Visible", "O")
    p.cmd("DisablePortal", "P").cmd("CullAll")
    p.cmd("EnablePortal", "P").move(0, (2, 1, 15)).cmd("CullAll")
    p.cmd("UpdateFrustum2", 0).cmd("Cull", "Z2")
    return p


def nested_zones():
    p = Program()
    p.camera(1, 2)
    p.current(1)
    p.cmd("CreateBox1", 0, -20, -20, -20, 20, 20, 20, 2, result="Outer")
    p.cmd("CreateBox1", "Outer", 0, -4, 0, 10, 4, 10, 2, result="Inner")
    p.cmd("CreateSphere1", "Inner", 5, 1, 5, 3, 2, result="Ball")
    p.cmd("CreatePoint2", "Ball", 1, 1, 1, result="Pt")
    p.cmd("CreateBox1", "Outer", -10, -2, -10, -5, 2, -5, 1, result="Side")
    p.cmd("CreateSphere1", 0, 0, 0, 0, 4, 3, result="Inert")
    for i, n in enumerate(["Outer", "Inner", "Ball", "Pt", "Side", "Inert"]):
        p.cmd("AddLimb", n, i, -1 if i % 2 else i)
    p.cmd("AddPortal", "Inner", 0, "Side", result="ToTop")
    p.cmd("AddPortal", "Inner", "Inert", 0, result="ToInert")
    p.cmd("AddPortal", "Ball", "Ball", "Pt", result="Self")
    p.cmd("UpdateFrustum1").cmd("CullAll")
    p.cmd("SetParent", "Inner", 0).cmd("CullAll")
    p.cmd("SetParent", "Outer", "Ball").cmd("GetParent", "Outer")
    p.cmd("SetBoxSize", "Inner", 30, 30, 30).cmd("CullAll")
    p.cmd("HideAll2").cmd("ShowAll1", "Inner")
    return p


def fitted_and_volumes():
    p = Program()
    p.body(186, [1], (1, 2, 3), (-1, -1, -1), (1, 1, 1), 2)
    p.body(186, [2], (0, 0, 8), (-2, -0.5, -2), (2, 0.5, 2), 3)
    p.body(187, [2, 1], (0, 1, 8), (-0.25, -0.25, -0.25), (0.25, 0.25, 0.25), 0.5)
    p.cmd("CreateObjectBox1", 0, 1, 2, result="A")
    p.cmd("CreateObjectSphere2", "A", 2, result="B")
    p.cmd("CreateLimbBox1", "B", 2, 1, 1, result="C")
    p.cmd("CreateLimbSphere2", 0, 2, 1, result="D")
    p.cmd("CreateLimbBox2", 0, 2, 3)
    p.cmd("CreateObjectBox2", 0, 5)
    p.camera(0, 0, (1, 2, 3))
    p.cmd("UpdateFrustum2", 0).cmd("CullAll")
    p.cmd("SetPosition", "A", 10, 10, 10).cmd("GetPositionX", "A")
    p.cmd("SetBox", "B", 1, 2, 3, -1, -2, -3).cmd("GetBoxWidth", "B")
    p.cmd("SetRadius", "C", "nan").cmd("GetRadius", "C")
    p.cmd("SetBoxSize", "D", "inf", "-0", -4).cmd("GetBoxXB", "D")
    p.cmd("TestBox", -1, -1, 1, 1, 1, 3).cmd("TestSphere", 0, 0, 5, 1)
    p.cmd("TestPoint", 0, 0, "nan").cmd("CullAll")
    p.cmd("RemoveObject", "A", 1).cmd("RemoveLimb", "C", 2, 1).cmd("CullAll")
    return p


def bad_handles():
    p = Program()
    p.camera(0, 3)
    p.cmd("CreateBox1", 0, -15, -5, -5, 15, 5, 10, 2, result="Z")
    p.cmd("CreateBox2", "Z", 0, -1, 0, 2, 1, 2, result="K")
    p.cmd("CreateBox2", "K", 0, 0, 0, 1, 1, 1, result="L")
    p.cmd("AddObject", "K", 3).cmd("AddObject", "L", 4)
    p.cmd("AddPortal", "Z", "K", "L", result="P")
    p.cmd("DisablePortal", "P")
    p.delete("L")  # ends P while disabled
    p.cmd("Cull", ("stale", 0)).cmd("HideAll1", ("stale", 1))
    p.cmd("SetParent", "K", ("never", 0x12345678))
    p.cmd("SetParent", "Z", "K")  # a cycle: refused
    p.cmd("AddPortal", "Z", ("never", 99), "K")
    p.cmd("UpdateFrustum1").cmd("CullAll").cmd("GetParent", "K")
    p.cmd("CreateBox2", ("stale", 0), 0, 0, 0, 1, 1, 1)
    p.cmd("AddPortal", "Z", "Z", "Z", result="Q")
    p.delete("Z")
    p.cmd("PortalEnabled", ("stale", 2)).cmd("GetPortalA", ("stale", 2))
    return p


def portal_ring():
    p = Program()
    p.camera(2, 0, (0, 0, -1))
    p.current(2)
    names = []
    for i in range(4):
        n = "R%d" % i
        p.cmd("CreateBox1", 0, i * 5, -3, 0, i * 5 + 5, 3, 40, 2, result=n)
        names.append(n)
        p.cmd("AddObject", n, i)
    for i in range(4):
        d = "D%d" % i
        p.cmd("CreatePoint1", names[i], i * 5 + 5, 0, 10, 1, result=d)
        p.cmd("AddLimb", d, 7, i)
        p.cmd("AddPortal", names[i], names[(i + 1) % 4], d, result="P%d" % i)
    p.move(2, (1, 0, 1))
    p.cmd("UpdateFrustum1").cmd("CullAll")
    p.cmd("DisablePortal", "P1").cmd("CullAll")
    p.cmd("Hide", "D0").cmd("Cull", "R2")
    p.cmd("RemovePortal", "P0").cmd("CullAll")
    p.cmd("DeleteAll").cmd("CullAll")
    return p


def no_camera_zone():
    p = Program()
    p.camera(0, 4)
    p.cmd("CreateSphere1", 0, 0, 0, 0, 5, 1, result="S")
    p.cmd("CreateBox1", "S", -1, -1, -1, 1, 1, 1, 2, result="Z")
    p.cmd("CreatePoint1", "Z", 0, 0, 0, 3, result="I")
    p.cmd("CreateBox2", 0, 100, 100, 100, 101, 101, 101, result="Far")
    for i, n in enumerate(["S", "Z", "I", "Far"]):
        p.cmd("AddObject", n, i)
    p.cmd("AddPortal", "Z", 0, "I", result="Out")
    p.cmd("CullAll")  # before any frustum
    p.cmd("UpdateFrustum2", 0).cmd("CullAll").cmd("Cull", "Far").cmd("Cull", "Z")
    p.cmd("UpdateFrustum2", 3).cmd("CullAll")  # a camera the host lacks
    return p


def command_table():
    """(script name, parameter count) -> id, read from the command list."""
    table = {}
    path = os.path.join(HERE, "..", "src", "commands", "command_list.h")
    # X(ID, EXPORT, SCRIPT NAME, LINK, READS, (RESULT), (PARAMETERS), ...
    row = re.compile(r"X\((\d+), \w+, (\w+), \w+, \w+, \(\w+, \w*\),[\s\\]*"
                     r"\(((?:[^()]|\([^()]*\))*)\)")
    for cid, name, parameters in row.findall(open(path).read()):
        table[(name, len(re.findall(r"\(\w+, \w+\)", parameters)))] = int(cid)
    return table


def raw_camera(p, number, eye, at, fov, aspect, near, far):
    def norm(v):
        length = math.sqrt(sum(c * c for c in v))
        return [c / length for c in v]

    def cross(a, b):
        return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]

    def dot(a, b):
        return sum(x * y for x, y in zip(a, b))

    z = norm([a - e for a, e in zip(at, eye)])
    x = norm(cross([0, 1, 0], z))
    y = cross(z, x)
    view = [x[0], y[0], z[0], 0, x[1], y[1], z[1], 0, x[2], y[2], z[2], 0,
            -dot(x, eye), -dot(y, eye), -dot(z, eye), 1]
    ys = 1 / math.tan(math.radians(fov) / 2)
    q = far / (far - near)
    proj = [ys / aspect, 0, 0, 0, 0, ys, 0, 0, 0, 0, q, 1, 0, 0, -q * near, 0]
    p.out += bytes([188, number])
    for v in proj + view + list(eye):
        p.out += bytes([200]) + struct.pack("<f", v)


def translate(path, table):
    """An otcull script as a fuzzer program (statements it does not know are skipped)."""
    p = Program()
    names = {}
    for line in open(path):
        line = line.split("#")[0].strip()
        if not line:
            continue
        words = line.split()
        nums = [float(w) for w in words[2:] if re.match(r"^-?[0-9.]+$", w)]
        if words[0] == "camera" and words[2] == "lookat":
            raw_camera(p, int(words[1]), nums[0:3], nums[3:6], *nums[6:10])
        elif words[0] == "camera" and words[2] == "position":
            p.move(int(words[1]), nums[0:3])
        elif words[0] == "current-camera":
            p.current(int(words[1]))
        elif words[0] in ("object", "limb"):
            head = [int(words[1])] + ([int(words[2])] if words[0] == "limb" else [])
            nums = [float(w) for w in words if re.match(r"^-?[0-9.]+$", w)][len(head):]
            p.body(186 if words[0] == "object" else 187, head, nums[0:3], nums[3:6], nums[6:9],
                   nums[9])
        else:
            m = re.match(r"^(?:(\w+)\s*=\s*)?(OT_\w+)\((.*)\)$", line)
            if not m:
                continue
            target, command, args = m.groups()
            args = [a.strip() for a in args.split(",") if a.strip()]
            cid = table.get((command, len(args)))
            if cid is None:
                continue
            values = [names.get(a, a) for a in args]
            values = [v if isinstance(v, str) and not re.match(r"^-?[0-9.]+$", v) else
                      float(v) if KINDS[cid][i] == "F" else int(float(v))
                      for i, v in enumerate(values)]
            makes = cid in range(5, 11) or cid in range(26, 34) or cid == 24
            result = target if target and makes else None
            inverse = {v: k for k, v in IDS.items()}
            p.cmd(inverse[cid], *values, result=result)
            if result:
                names[target] = target
    return p


if __name__ == "__main__":
    os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
    for make in (worked_example, nested_zones, fitted_and_volumes, bad_handles, portal_ring,
                 no_camera_zone):
        make().save(make.__name__.replace("_", "-"))
    table = command_table()
    for script in sorted(glob.glob(os.path.join(HERE, "..", "examples", "*.otc"))):
        name = os.path.splitext(os.path.basename(script))[0]
        translate(script, table).save("example-" + name)
