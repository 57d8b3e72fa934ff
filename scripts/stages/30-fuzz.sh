#!/usr/bin/env bash
# The differential fuzzer (core against the reference model) for a bounded
# time, starting from the checked-in corpus; a divergence, a sanitizer report
# or a leak fails the run. FUZZ_SECONDS overrides the 120 s budget.
set -euo pipefail
scripts/install-deps reliability
seconds=${FUZZ_SECONDS:-120}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target differential_fuzzer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
# New finds go to the scratch corpus; the checked-in one is only read.
build/fuzz/fuzz/differential_fuzzer -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" fuzz/corpus \
  2>"$work/log" || {
  tail -n 80 "$work/log"
  mkdir -p build/fuzz/artifacts
  cp "$work"/artifacts/* build/fuzz/artifacts/ 2>/dev/null || true
  echo "fuzzer failed; failing inputs kept in build/fuzz/artifacts:"
  for f in "$work"/artifacts/*; do echo "$(basename "$f")"; od -An -tx1 "$f" | head -20; done
  exit 1
}
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/log"
