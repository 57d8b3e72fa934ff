#!/usr/bin/env bash
# The Windows release: cross-builds TarvoCulling.dll, its recording flavour
# and otcull.exe, and the archive that holds them. Checks the files themselves
# (PE32 for i386, exactly the 61 exports, only Windows system DLLs imported,
# the command table and the version resources) and the archive (its files,
# CRLF text, checksums, the manual). Then starts Wine once, for one batch
# file that runs
#   - the stand-in engine: its link checks, and every example script through
#     the DLL and through its recording flavour, each journalling its
#     commands; output, errors and status must equal otcull's;
#   - in the same process, otcull's code as otcull.exe has it, for every
#     example and every verb, a CRLF script at a path with a space and a
#     non-ASCII letter, the manual's examples and each journal the recording
#     DLL wrote;
#   - otcull.exe from the archive, once (each process start costs the better
#     part of a minute): a journal dropped on it as Explorer drops one, by its
#     full path, in a folder with a space and a non-ASCII letter in its name.
# Outputs, errors, statuses and pages must equal the Linux otcull's, line
# endings set aside.
set -euo pipefail
root=$(pwd)
prefix=${TARVO_WINE_PREFIX:-$root/build/wine-prefix}
native=${TARVO_NATIVE_BUILD:-build/release}
work=build/win32/e2e
source tests/windows/otcull_runs.sh
stage_start=$(date +%s)

scripts/setup-wine "$prefix"
scripts/install-deps native

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target all package
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON >/dev/null
fi
cmake --build "$native" -j2 --target pe_check otcull
built=$(date +%s)
python=$(sed -n 's/^TARVO_MANUAL_PYTHON:FILEPATH=//p' build/win32/CMakeCache.txt)
"$python" tests/windows/manual_html_test.py

dll=build/win32/bin/TarvoCulling.dll
recording=build/win32/bin/recording/TarvoCulling.dll
otcull_exe=build/win32/bin/otcull.exe
for flavour in "$dll" "--recording $recording"; do
  # shellcheck disable=SC2086
  "$native/tests/windows/pe_check" $flavour
  checked=${flavour##* }
  # A second reader's view: four string blocks and one version resource, all
  # in language 2057, and nothing else.
  resources=$(llvm-readobj --coff-resources "$checked" | awk -f tests/windows/resource_list.awk)
  expected=$'STRINGTABLE 1 2057\nSTRINGTABLE 2 2057\nSTRINGTABLE 3 2057\nSTRINGTABLE 4 2057\nVERSIONINFO 1 2057'
  if [ "$resources" != "$expected" ]; then
    echo "resources (type, name, language):" >&2
    echo "$resources" >&2
    exit 1
  fi
done
"$native/tests/windows/pe_check" --program "$otcull_exe"
# The checker must be able to say no: an engine module is no plug-in, and the
# shipped flavour is not the recording one.
for wrong in build/win32/bin/host/TarvoCore.dll "--recording $dll" "$recording"; do
  # shellcheck disable=SC2086
  if "$native/tests/windows/pe_check" $wrong >/dev/null 2>&1; then
    echo "pe_check accepted $wrong" >&2
    exit 1
  fi
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
rm -rf "$work" && mkdir -p "$work"
unpacked=$(tests/windows/check_archive.sh "build/win32/TarvoCulling-$version-win32.zip" \
  "$work/archive" build/win32/src/generated/TarvoCulling.def)
cmp "$unpacked/TarvoCulling.dll" "$dll"
cmp "$unpacked/recording/TarvoCulling.dll" "$recording"
cmp "$unpacked/otcull.exe" "$otcull_exe"

# The engine's scripts: otcull on Linux leaves NAME.out, NAME.err and
# NAME.status in reference/, as the DLL under Wine will in engine/.
mapfile -t scripts < <(ls examples/*.otc examples/*/*.otc tests/windows/scripts/*.otc 2>/dev/null | sort)
[ ${#scripts[@]} -gt 0 ] || { echo "no scripts to run" >&2; exit 1; }
mkdir -p "$work/reference" "$work/engine" "$work/recorded" "$work/linux" "$work/windows"
# Thousands of commands with the camera moving every frame.
awk -f tests/windows/long_session.awk >"$work/long-session.otc"
scripts+=("$work/long-session.otc")
for script in "${scripts[@]}"; do
  name=${script//\//_}
  code=0
  "$native/tools/otcull" run "$script" >"$work/reference/$name.out" 2>"$work/reference/$name.err" ||
    code=$?
  echo "$code" >"$work/reference/$name.status"
done

# otcull's runs, from two folders of the same depth; the script at the odd
# path has CRLF line endings on the Windows side.
rel=$(realpath --relative-to "$work/linux" "$root")
manual_gen=build/win32/src/generated/manual_gen
lay_out_inputs "$work/linux" "$manual_gen" lf
lay_out_inputs "$work/windows" "$manual_gen" crlf
journals=()
for script in "${scripts[@]}"; do journals+=("${script//\//_}"); done
otcull_runs "$rel" "${journals[@]}" >"$work/windows/runs.txt"
# A journal of the recording DLL, dropped on otcull.exe from the odd folder.
dropped="$odd_folder/recorded journal"

# One batch file, one Wine start: the engine's process, which also runs
# otcull's verbs, then otcull.exe once. The marks' times are the timings.
windows_path() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }
batch=$work/windows/all.bat
{
  printf '@echo off\r\nsetlocal EnableDelayedExpansion\r\n'
  printf 'cd /d "%s"\r\n' "$(windows_path "$root")"
  printf '>build\\win32\\e2e\\mark-started.txt echo.\r\n'
  printf 'build\\win32\\bin\\winhost.exe --recording-plugin %s --journals %s --otcull-runs %s' \
    "$recording" "$work/recorded" "$work/windows/runs.txt"
  printf ' suite %s' "$work/engine"
  printf ' %s' "${scripts[@]}"
  printf ' <nul >build\\win32\\e2e\\winhost.log 2>&1\r\n'
  printf '>build\\win32\\e2e\\winhost.status echo !errorlevel!\r\n'
  printf '>build\\win32\\e2e\\mark-engine.txt echo.\r\n'
  printf 'cd /d "%s"\r\n' "$(windows_path "$work/windows")"
  # Explorer gives a dropped file's full path and nothing else.
  printf 'for /d %%%%d in (%s) do (copy /y ..\\recorded\\%s "%%%%d\\%s.otc" >nul & "%s" "%%%%~fd\\%s.otc" <nul >drop.out 2>drop.err & >drop.status echo !errorlevel!)\r\n' \
    "$odd_pattern" "${journals[0]}" "${dropped#*/}" "$(windows_path "$unpacked/otcull.exe")" "${dropped#*/}"
  printf '>..\\mark-done.txt echo.\r\nexit /b 0\r\n'
} >"$batch"

echo "--- Wine: the engine's checks and ${#scripts[@]} scripts; otcull's code for" \
  "$(wc -l <"$work/windows/runs.txt") runs in the same process; otcull.exe once"
# UTF-8 file names: the odd folder reaches Windows as "Zoë".
export LC_ALL=C.UTF-8 QEMU_RESERVED_VA=0xf7000000 WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win32
# No browser: the dropped journal's page is written, and opening it must fail
# with a message instead of a window.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winebrowser.exe=d"
run_wine() {
  rm -f "$work"/mark-*.txt
  (cd "$work/windows" && timeout 1200 wine cmd /c all.bat) && [ -f "$work/mark-done.txt" ]
}
start=$(date +%s)
status=0
run_wine || status=$?
if [ "$status" -ne 0 ]; then
  # Wine under qemu now and then loses its server while it boots: one more
  # run, from a stopped server, tells that from a real failure.
  echo "Wine run failed (status $status) after $(($(date +%s) - start))s; once more"
  wineserver -k 2>/dev/null || true
  start=$(date +%s)
  status=0
  run_wine || status=$?
fi
finished=$(date +%s)
since_start() { [ -f "$1" ] && echo "$(($(stat -c %Y "$1") - start))s" || echo never; }
echo "Wine run: $((finished - start))s, exit status $status: the batch began at" \
  "$(since_start "$work/mark-started.txt"), the engine's process ended at" \
  "$(since_start "$work/mark-engine.txt"), otcull.exe's at $(since_start "$work/mark-done.txt")"
[ "$status" -eq 0 ] || { echo "the Wine run did not finish" >&2; exit 1; }
[ "$(tr -d '\r' <"$work/winhost.status")" = 0 ] ||
  { echo "the stand-in engine's checks failed:" >&2; tail -40 "$work/winhost.log" >&2; exit 1; }
if ! diff -r "$work/reference" "$work/engine" >"$work/diff.txt"; then
  echo "the DLL's results under Wine differ from otcull's:" >&2
  head -60 "$work/diff.txt" >&2
  exit 1
fi
echo "the DLL's results equal otcull's for every script ($(cat "$work"/reference/*.out | wc -l) lines of output)"

# The recording flavour behaves as the shipped one; its journals replay, on
# Linux and in otcull.exe, to the same host calls and results. Handle results
# print under the scripts' names in the one run and the journal's in the
# other, so they are compared as none or some.
handles_as_some() {
  tr -d '\r' <"$1" |
    sed -E 's/^(OT_Create[A-Za-z]+[12]|OT_AddPortal|OT_GetParent|OT_GetPortal(Portal|A|B)) -> [^0].*$/\1 -> handle/'
}
run_each "$root/$native/tools/otcull" "$work/linux" <"$work/windows/runs.txt"
for script in "${scripts[@]}"; do
  name=${script//\//_}
  for kind in out err status; do
    cmp -s "$work/reference/$name.$kind" "$work/recorded/$name.$kind" ||
      { echo "$script: the recording DLL's $kind differs from otcull's" >&2; exit 1; }
  done
  [ -s "$work/recorded/$name" ] || { echo "$script: no journal" >&2; exit 1; }
  [ "$(cat "$work/linux/replay.$name.status")" = 0 ] ||
    { echo "$script: the journal does not replay" >&2; exit 1; }
  if ! diff <(handles_as_some "$work/reference/$name.out") <(handles_as_some "$work/linux/replay.$name.out") \
    >"$work/replay-diff.txt"; then
    echo "$script: the journal's replay differs from the original run:" >&2
    head -40 "$work/replay-diff.txt" >&2
    exit 1
  fi
done
echo "the recording DLL's journals replay to the same host calls for every script" \
  "($(cat "$work"/recorded/*.otc | wc -l) journal lines)"

compare_sides "$work/linux" "$work/windows" ||
  { echo "otcull under Wine differs from otcull on Linux" >&2; exit 1; }
echo "otcull's code under Wine equals otcull on Linux for $(wc -l <"$work/windows/runs.txt") runs:" \
  "every example and verb, the manual's examples, the journals, the CRLF script at '$odd_folder'"

# The dropped journal: its page beside it, and what otcull.exe says, the same
# as `otcull view` on Linux but for the file names, the full paths Explorer
# gives; with no browser to open the page, the message says so and the
# window does not wait for a key.
page="$work/windows/$dropped.html"
[ -f "$page" ] || { echo "dropping a journal on otcull.exe wrote no page" >&2; cat "$work/windows/drop.err" >&2; exit 1; }
cp "$work/recorded/${journals[0]}" "$work/linux/$dropped.otc"
(cd "$work/linux" && "$root/$native/tools/otcull" view "$dropped.otc" -o "$dropped.html" >drop.out)
# A page's data is packed: it is compared inflated, where the names are.
named_files() {
  case $1 in
    *.html) /usr/bin/python3 "$root/tests/windows/page_text.py" "$1" ;;
    *) cat "$1" ;;
  esac | tr -d '\r' | sed -E 's#[^"<>]*recorded journal\.(otc|html)#FILE#g'
}
for made in "$dropped.html" drop.out; do
  cmp <(named_files "$work/linux/$made") <(named_files "$work/windows/$made") ||
    { echo "otcull.exe's $made for the dropped journal differs from otcull view's" >&2; exit 1; }
done
if ! grep -q 'cannot open .*recorded journal.html in the browser' "$work/windows/drop.err" ||
  [ "$(tr -d '\r' <"$work/windows/drop.status")" != 1 ]; then
  echo "otcull.exe did not report the browser it could not start:" >&2
  cat "$work/windows/drop.err" >&2
  exit 1
fi
echo "a journal dropped on otcull.exe: its page beside it, equal to otcull view's; no browser, reported"
echo "Windows stage: build $((built - stage_start))s, Wine $((finished - start))s," \
  "all $(($(date +%s) - stage_start))s"
