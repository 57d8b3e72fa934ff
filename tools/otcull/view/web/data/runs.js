// The change lists of a pass are runs, [gap, count, value, ...]: each run
// gives ids start .. start + count - 1 the value, where start is gap past
// the end of the run before (the first run's end is 0). A value that
// starts a sequence (records) goes up by one per id.

// Calls visit(id, value) for every id the runs give a value; step is 1
// when the value goes up along the run, else 0.
export function forEachRun(runs, step, visit) {
  let end = 0;
  for (let i = 0; i < runs.length; i += 3) {
    const start = end + runs[i], count = runs[i + 1], value = runs[i + 2];
    for (let k = 0; k < count; k += 1) visit(start + k, value < 0 ? value : value + step * k);
    end = start + count;
  }
}

// The same for the ids in [lo, hi] only, skipping whole runs outside it.
export function forEachRunIn(runs, step, lo, hi, visit) {
  let end = 0;
  for (let i = 0; i < runs.length; i += 3) {
    const start = end + runs[i], count = runs[i + 1], value = runs[i + 2];
    end = start + count;
    if (end <= lo) continue;
    if (start > hi) return;
    for (let id = Math.max(start, lo); id <= Math.min(end - 1, hi); id += 1) {
      visit(id, value < 0 ? value : value + step * (id - start));
    }
  }
}
