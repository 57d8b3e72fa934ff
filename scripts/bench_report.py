"""Turns a Google Benchmark JSON run into docs/benchmarks.md: every figure, the
ratios the project tracks, and the machine it ran on."""
import json
import os
import platform
import subprocess
import sys


def medians(run):
    out = {}
    for b in run["benchmarks"]:
        if b.get("aggregate_name") not in (None, "median"):
            continue
        name = b["run_name"] if "run_name" in b else b["name"]
        out[name] = b
    return out


def ns_per_node(b):
    return b.get("ns_per_node")


def cpu_model():
    try:
        for line in open("/proc/cpuinfo"):
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def tool_sections(t, counts):
    """The otcull figures: each verb at two sizes with their ratio, and the
    replayed session per frame beside the library called straight."""
    def ms(name):
        return t[name]["cpu_time"]

    scaling = [("otcull run, churn script", "BM_Otcull_Churn/20000", "BM_Otcull_Churn/200000",
                "20,000 / 200,000 creates")]
    # Each layout's benchmark, its scripts' file stem (for the instruction
    # counts) and its label.
    layouts = (("ZoneRow", "zone-row", "zone row"), ("ZoneRowAlongZ", "zone-row-z", "zone row along z"),
               ("ZoneTower", "zone-tower", "zone tower"))
    stems = {script: stem for _, stem, script in layouts}
    for layout, _, script in layouts:
        for verb, label in ((0, "run"), (1, "lint"), (2, "explain")):
            scaling.append((f"otcull {label}, {script}", f"BM_Otcull_{layout}/{verb}/2000",
                            f"BM_Otcull_{layout}/{verb}/20000", "2,000 / 20,000 zones"))
    session = ("otcull run, recorded session", "BM_Journal_Otcull/10000/1",
               "BM_Journal_Otcull/100000/1", "10,000 / 100,000 nodes, 1,000 frames")
    lines = ["\n## otcull at two sizes\n\n"
             "Generated scripts (`bench/otcull_scripts.cpp`), each verb run once per repetition "
             "with its output written to a file; CPU time. Instructions: callgrind's count for "
             "the same run, whose ratio the machine's load does not move (a CPU time ratio "
             "above the instruction ratio is the larger run's data falling out of the caches)."
             "\n\n| verb and script | sizes | small (ms) | large (ms) | ratio | instructions "
             "ratio | goal | met |\n|---|---|---|---|---|---|---|---|\n"]
    for label, small, large, sizes in scaling + [session]:
        r = ms(large) / ms(small)
        verb, _, script = label.partition(", ")
        stem = stems.get(script, "")
        small_count = counts.get((verb.split()[-1], stem + small.rsplit("/", 1)[-1]))
        large_count = counts.get((verb.split()[-1], stem + large.rsplit("/", 1)[-1]))
        instructions = f"{large_count / small_count:.2f}" if small_count and large_count else ""
        timed = label != session[0]
        met = r <= 12 and (not timed or ms(large) <= 5000)
        goal = "ratio <= 12, large <= 5 s" if timed else "ratio <= 12"
        lines.append(f"| {label} | {sizes} | {ms(small):.0f} | {ms(large):.0f} | {r:.2f} | "
                     f"{instructions} | {goal} | {'yes' if met else 'no'} |\n")
    lines.append("\n## A recorded session, replayed\n\n"
                 "A level of rooms in a row (each a zone with 98 items, every tenth with a host "
                 "object, and a doorway), built once, then 1,000 frames of a moving camera, each an "
                 "update and a pass. `otcull run` replays the session's journal (written by the "
                 "recording flavour) with the trace written to a file; its time per frame is that "
                 "of the whole replay less that of the building alone. The library is the same "
                 "commands called straight, with a host that prints nothing.\n\n"
                 "| nodes | library per frame (ms) | otcull run per frame (ms) | otcull / library |"
                 "\n|---|---|---|---|\n")
    for nodes in (10000, 100000):
        frames = t[f"BM_Journal_Otcull/{nodes}/1"].get("frames", 1000)
        direct = ms(f"BM_Journal_Direct/{nodes}") / frames
        replay = (ms(f"BM_Journal_Otcull/{nodes}/1") - ms(f"BM_Journal_Otcull/{nodes}/0")) / frames
        lines.append(f"| {nodes:,} | {direct:.2f} | {replay:.2f} | {replay / direct:.2f} |\n")
    lines.append(page_section(t, ms))
    return "".join(lines)


def page_section(t, ms):
    """The page of the recorded session: its write beside `otcull run` of the
    same journal, its size, and both at two sizes."""
    lines = ["\n## The page of a recorded session\n\n"
             "`otcull view` of the same session's journal, the page written to a file: CPU time "
             "beside `otcull run`'s, and the page's size.\n\n"
             "| nodes | otcull run (ms) | otcull view (ms) | view / run | page (MB) | goal | met |"
             "\n|---|---|---|---|---|---|---|\n"]
    for nodes in (10000, 100000):
        run = ms(f"BM_Journal_Otcull/{nodes}/1")
        page = t[f"BM_Otcull_ViewPage/{nodes}"]
        view = page["cpu_time"]
        megabytes = page.get("bytes", 0) / 1e6
        met = view <= 3 * run and megabytes <= 15
        lines.append(f"| {nodes:,} | {run:.0f} | {view:.0f} | {view / run:.2f} | {megabytes:.1f} | "
                     f"view <= 3 x run, page <= 15 MB | {'yes' if met else 'no'} |\n")
    small, large = t["BM_Otcull_ViewPage/10000"], t["BM_Otcull_ViewPage/100000"]
    lines.append(f"\n10,000 to 100,000 nodes: write time x{large['cpu_time'] / small['cpu_time']:.2f}, "
                 f"size x{large.get('bytes', 0) / max(small.get('bytes', 1), 1):.2f}.\n")
    return "".join(lines)


def read_counts(path):
    counts = {}
    for line in open(path):
        parts = line.split()
        if len(parts) == 3:
            counts[(parts[0], parts[1])] = int(parts[2])
    return counts


def main(source, tools_source, counts_source, target):
    run = json.load(open(source))
    b = medians(run)
    ctx = run["context"]
    tool_runs = medians(json.load(open(tools_source)))
    tools = tool_sections({k.replace("/iterations:1", ""): v for k, v in tool_runs.items()},
                          read_counts(counts_source))

    def ratio(num, den, field="cpu_time"):
        return b[num][field] / b[den][field]

    rows = []
    for name, bench in b.items():
        per = ns_per_node(bench)
        extra = ""
        if "bytes_per_node" in bench:
            extra = f"{bench['bytes_per_node']:.1f} bytes/node"
        rows.append((name, bench["real_time"], bench["cpu_time"], bench["time_unit"],
                     f"{per:.2f}" if per is not None else "", extra))

    goals = []
    limit = ratio("BM_S1_OpenField", "BM_S1_Floor")
    goals.append(("limit ratio: S1 pass / SoA floor", f"{limit:.2f}", "<= 3", limit <= 3))
    for scene in ("BM_S1_OpenField", "BM_S2_Building", "BM_S3_Deep"):
        r = ratio(scene + "_Literal", scene)
        goals.append((f"literal ratio: {scene[3:]} literal / core", f"{r:.2f}x", ">= 5x", r >= 5))
    scale = ratio("BM_S4_CreateDeleteAll/1000000", "BM_S4_CreateDeleteAll/100000")
    goals.append(("scaling: create+delete-all 1,000,000 / 100,000", f"{scale:.2f}", "<= 12",
                  scale <= 12))
    for order, label in ((0, "creation order"), (1, "reverse order")):
        small = b[f"BM_S4_DeleteSiblings/{order}/10000"]["ns_per_node"]
        large = b[f"BM_S4_DeleteSiblings/{order}/100000"]["ns_per_node"]
        goals.append((f"deleting siblings one by one, {label}: ns each at 10k / 100k",
                      f"{small:.1f} / {large:.1f}", "flat (linear total)", large <= small * 2))
    memory = b["BM_MemoryPerNode/nodes:1000000/objects:0/iterations:1"]["bytes_per_node"]
    memory_small = b["BM_MemoryPerNode/nodes:100000/objects:0/iterations:1"]["bytes_per_node"]
    goals.append(("memory: bytes per node at 1,000,000 (100,000)",
                  f"{memory:.1f} ({memory_small:.1f})", "<= 96", memory <= 96))

    floor_scenes = (("S1 open field", "BM_CallFloor/scene:0/manual_time"),
                    ("S2 building", "BM_CallFloor/scene:1/manual_time"),
                    ("S3 deep tree", "BM_CallFloor/scene:2/manual_time"),
                    ("demo building, 16 points of the walk", "BM_CallFloor_Demo/manual_time"))
    floors = []
    for label, name in floor_scenes:
        if name in b:
            r = b[name]["pass_over_floor"]
            floors.append((label, b[name]["host_calls"], b[name]["real_time"],
                           b[name]["floor_us"], r))
            goals.append((f"call floor: {label} pass / floor", f"{r:.2f}", "<= 2", r <= 2))
    edits = []
    for label, name in (("16 OT_SetPosition on items", "BM_S2_MovesPerPass/manual_time"),
                        ("one node created, one deleted", "BM_S2_CreateDeletePerPass/manual_time")):
        if name in b:
            r = b[name]["edited_over_plain"]
            edits.append((label, b[name]["real_time"], b[name]["plain_us"], r))
            goals.append((f"S2 with {label} before each pass / without", f"{r:.2f}", "<= 1.5",
                          r <= 1.5))
    goals.append(("memory: bytes per bare node at 100,000", f"{memory_small:.1f}", "<= 96",
                  memory_small <= 96))

    observed = []
    for scene in ("BM_S1_OpenField", "BM_S2_Building", "BM_S3_Deep"):
        if scene + "_Observed" in b:
            plain, seen = b[scene], b[scene + "_Observed"]
            observed.append((scene[3:], plain["cpu_time"], seen["cpu_time"], plain["time_unit"],
                             ratio(scene + "_Observed", scene)))

    with open(target, "w") as f:
        f.write("# Benchmarks\n\n")
        f.write("Written by `scripts/bench` from a release build (`cmake --preset bench`); "
                "medians of three repetitions, CPU time.\n\n")
        f.write(f"- Machine: {cpu_model()}, {ctx.get('num_cpus')} CPUs at "
                f"{ctx.get('mhz_per_cpu')} MHz, {platform.system()} {platform.release()}\n")
        f.write(f"- Compiler: {subprocess.run(['c++', '--version'], capture_output=True, text=True).stdout.splitlines()[0]}\n")
        f.write(f"- Run: {ctx.get('date')}; load average when written: "
                f"{' '.join(f'{x:.2f}' for x in os.getloadavg())} "
                "(other work on the machine slows every figure)\n\n")
        f.write("## Goals\n\n| figure | measured | goal | met |\n|---|---|---|---|\n")
        for label, value, goal, met in goals:
            f.write(f"| {label} | {value} | {goal} | {'yes' if met else 'no'} |\n")
        if floors:
            f.write("\n## The call floor\n\n"
                    "One pass's host calls recorded into an array and replayed through the same "
                    "host table with the same counting switches, timed beside the pass in the same "
                    "run: what any pass making those calls must spend. Thread CPU time, "
                    "microseconds per pass (the demo: per 16 passes).\n\n"
                    "| scene | host calls | pass | floor | pass / floor |\n|---|---|---|---|---|\n")
            for label, calls, pass_us, floor_us, r in floors:
                f.write(f"| {label} | {calls:,.0f} | {pass_us:.1f} | {floor_us:.1f} | {r:.2f} |\n")
        if edits:
            f.write("\n## S2 with the tree changed every frame\n\n"
                    "Each iteration: the change and a pass, then a pass with no change, both "
                    "timed (thread CPU time, microseconds).\n\n"
                    "| change before each pass | change + pass | pass alone | ratio |\n"
                    "|---|---|---|---|\n")
            for label, edited, plain, r in edits:
                f.write(f"| {label} | {edited:.1f} | {plain:.1f} | {r:.2f} |\n")
        if observed:
            f.write("\n## With a pass observer attached\n\n"
                    "The pass benchmarks again with an observer that does nothing; without one "
                    "the pass pays one untaken branch per event.\n\n"
                    "| scene | without | with | unit | with / without |\n|---|---|---|---|---|\n")
            for scene, plain, seen, unit, r in observed:
                f.write(f"| {scene} | {plain:.1f} | {seen:.1f} | {unit} | {r:.2f} |\n")
        f.write(tools)
        f.write("\n## Every benchmark\n\n| benchmark | real | cpu | unit | ns per node | other |\n"
                "|---|---|---|---|---|---|\n")
        for name, real, cpu, unit, per, extra in rows:
            f.write(f"| {name} | {real:.1f} | {cpu:.1f} | {unit} | {per} | {extra} |\n")
        f.write("\nScenes: S1 100,000 top-level boxes, a third in view, no zones; S2 32 x 32 rooms "
                "with 16 items each, doors (every fifth closed) and windows; S3 1,000,000 nodes as "
                "an 8-ary tree of nested boxes; S4 tree churn; T 1,000,000 script tests each. "
                "`_Literal` runs the same scene on the plain reference implementation.\n")
        notes = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench", "notes.md")
        if os.path.exists(notes):
            f.write("\n" + open(notes).read())


if __name__ == "__main__":
    main(*sys.argv[1:5])
