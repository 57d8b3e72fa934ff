#!/usr/bin/env bash
# The differential fuzzer (core against the reference model) for a bounded
# time, starting from the checked-in corpus; a divergence, a sanitizer report
# or a leak fails the run. FUZZ_SECONDS overrides the 90 s budget. Then the
# script fuzzer (the script reader and runner on the core, and view's page of
# each input) from the examples and a journal, for SCRIPT_FUZZ_SECONDS (30 s),
# in 512 MB: no line may take gigabytes.
set -euo pipefail
scripts/install-deps reliability
seconds=${FUZZ_SECONDS:-90}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target differential_fuzzer script_fuzzer
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

mkdir -p "$work/scripts"
build/fuzz/fuzz/script_fuzzer -max_total_time="${SCRIPT_FUZZ_SECONDS:-30}" -timeout=10 \
  -rss_limit_mb=512 -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/scripts" \
  examples examples/errors fuzz/script_seeds 2>"$work/script-log" || {
  tail -n 60 "$work/script-log"
  mkdir -p build/fuzz/artifacts
  cp "$work"/artifacts/* build/fuzz/artifacts/ 2>/dev/null || true
  echo "script fuzzer failed; failing inputs kept in build/fuzz/artifacts"
  exit 1
}
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/script-log"
