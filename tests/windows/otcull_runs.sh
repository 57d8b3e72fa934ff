# shellcheck shell=bash
# The runs of otcull the Windows stage makes twice: with the Linux otcull, and
# under Wine, where each process start costs the better part of a minute. So
# there the runs of otcull's code share the stand-in engine's process
# (winhost --otcull-runs); otcull.exe itself starts once, for a dropped
# journal (see scripts/stages/40-windows.sh). Each side runs in a folder of
# its own at the same depth, so that the paths in the arguments, and so in
# the output and the pages, are the same on both.
# Sourced by scripts/stages/40-windows.sh.

# A space and a non-ASCII letter. The batch file names it only through a
# wildcard, so that no code page stands between the name and otcull.exe.
odd_folder='Zoë levels'
odd_pattern='Zo*'

# One run a line: its name, then otcull's arguments, separated by tabs. REL
# leads from the run folder to the source tree; the journals' names follow.
otcull_runs() {
  local rel=$1 script id journal
  for script in examples/*.otc examples/*/*.otc; do
    id=${script//\//_}
    id=${id%.otc}
    printf '%s.run\trun\t%s\n' "$id" "$rel/$script"
    printf '%s.explain\texplain\t%s\n' "$id" "$rel/$script"
    printf '%s.lint\tlint\t%s\n' "$id" "$rel/$script"
    printf '%s.view\tview\t%s\t-o\t%s.html\n' "$id" "$rel/$script" "$id"
  done
  for script in examples/*.otc; do
    id=${script//\//_}
    printf '%s.stats\trun\t--stats\t%s\n' "${id%.otc}" "$rel/$script"
  done
  printf 'demo\tdemo\t--frames\t120\t--svg\tdemo.svg\t--html\tdemo.html\n'
  printf 'manual-examples\trun\tmanual-examples.otc\n'
  printf 'odd.run\trun\t%s/level 1.otc\n' "$odd_folder"
  printf 'odd.explain\texplain\t%s/level 1.otc\t--node\td\n' "$odd_folder"
  printf 'odd.view\tview\t%s/level 1.otc\t-o\t%s/view of level 1.html\n' "$odd_folder" "$odd_folder"
  shift
  for journal in "$@"; do printf 'replay.%s\trun\t../recorded/%s\n' "$journal" "$journal"; done
}

# Files both sides read: the manual's examples, and a script at a path with a
# space and a non-ASCII letter, saved with CRLF line endings when ENDINGS is
# crlf (under Wine), so that LF on Linux is held against CRLF on Windows.
lay_out_inputs() {
  local folder=$1 manual_gen=$2 endings=$3
  mkdir -p "$folder/$odd_folder"
  "$manual_gen" --examples >"$folder/manual-examples.otc"
  if [ "$endings" = crlf ]; then
    sed 's/$/\r/' examples/doorway.otc >"$folder/$odd_folder/level 1.otc"
  else
    cp examples/doorway.otc "$folder/$odd_folder/level 1.otc"
  fi
}

# Runs OTCULL for every line on standard input, in FOLDER: NAME.out, NAME.err
# and NAME.status.
run_each() {
  local otcull=$1 folder=$2 fields code
  while IFS=$'\t' read -r -a fields; do
    code=0
    (cd "$folder" && "$otcull" "${fields[@]:1}" </dev/null >"${fields[0]}.out" 2>"${fields[0]}.err") ||
      code=$?
    echo "$code" >"$folder/${fields[0]}.status"
  done
}

without_times() { sed -E 's/ *[0-9]+(\.[0-9]+)? us/ _ us/g' "$1"; }

# Output compared as text: CRs and the microseconds of timed passes set aside.
as_text() { tr -d '\r' <"$1" | without_times /dev/stdin; }

# Every run's output, error and status the same on both sides, and every
# page and picture the same bytes but for the microseconds a demo's picture
# shows.
compare_sides() {
  local linux=$1 windows=$2 file name differ=0
  for file in "$linux"/*.out "$linux"/*.err "$linux"/*.status; do
    name=${file##*/}
    if [ ! -f "$windows/$name" ]; then
      echo "otcull under Wine left no $name" >&2
      differ=1
    elif ! diff <(as_text "$file") <(as_text "$windows/$name") >"$windows/$name.diff"; then
      echo "otcull under Wine: $name differs from otcull's:" >&2
      head -20 "$windows/$name.diff" >&2
      differ=1
    fi
  done
  while IFS= read -r -d '' file; do
    name=${file#"$linux"/}
    cmp <(without_times "$file") <(without_times "$windows/$name") || differ=1
  done < <(find "$linux" \( -name '*.html' -o -name '*.svg' \) -print0)
  return "$differ"
}
