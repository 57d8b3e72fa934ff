#!/usr/bin/env bash
# The Windows plug-in: cross-builds TarvoCulling.dll and its recording flavour,
# checks the files themselves (PE32 for i386, exactly the 61 exports, only
# Windows system DLLs imported, the command table and version resources) and
# the release archive, then runs the stand-in engine under Wine: its
# link checks, and every example script, whose output, errors and exit status
# must equal otcull's. The recording flavour of the DLL runs them once more in
# the same Wine process, with the same results, and its journals, replayed by
# otcull on Linux, make the same host calls.
set -euo pipefail
root=$(pwd)
prefix=${TARVO_WINE_PREFIX:-$root/build/wine-prefix}
native=${TARVO_NATIVE_BUILD:-build/release}
work=build/win32/e2e

scripts/setup-wine "$prefix"
scripts/install-deps native

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target all package
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON >/dev/null
fi
cmake --build "$native" -j2 --target pe_check otcull

dll=build/win32/bin/TarvoCulling.dll
recording=build/win32/bin/recording/TarvoCulling.dll
for checked in "$dll" "$recording"; do
  echo "--- $checked"
  "$native/tests/windows/pe_check" "$checked"
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
# The checker must be able to say no: an engine module is no plug-in.
if "$native/tests/windows/pe_check" build/win32/bin/host/TarvoCore.dll >/dev/null 2>&1; then
  echo "pe_check accepted a DLL without the command table" >&2
  exit 1
fi

# The release archive: exactly the files a script author gets, the DLLs the
# same bytes as the ones checked above, a reference entry per declaration.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
archive=build/win32/TarvoCulling-$version-win32.zip
top=TarvoCulling-$version-win32
expected_files=$(
  { printf '%s\n' COMMANDS.txt README.txt TarvoCulling.dll recording/TarvoCulling.dll
    for f in examples/*.otc examples/*.out; do echo "$f"; done; } | sed "s|^|$top/|" | sort)
listed=$(cmake -E tar tf "$archive" | grep -v '/$' | sort)
if [ "$listed" != "$expected_files" ]; then
  echo "$archive holds:" >&2
  diff <(echo "$expected_files") <(echo "$listed") >&2
  exit 1
fi
rm -rf "$work/archive" && mkdir -p "$work/archive"
(cd "$work/archive" && cmake -E tar xf "$root/$archive")
cmp "$work/archive/$top/TarvoCulling.dll" "$dll"
cmp "$work/archive/$top/recording/TarvoCulling.dll" "$recording"
commands=$(grep -c '^OT_' "$work/archive/$top/COMMANDS.txt")
[ "$commands" -eq 61 ] || { echo "COMMANDS.txt describes $commands commands" >&2; exit 1; }
echo "$archive: $(wc -c <"$archive") bytes, $(echo "$listed" | wc -l) files"

# The same scripts through otcull on Linux and through the DLL under Wine,
# each leaving NAME.out, NAME.err and NAME.status.
mapfile -t scripts < <(ls examples/*.otc examples/*/*.otc tests/windows/scripts/*.otc 2>/dev/null | sort)
[ ${#scripts[@]} -gt 0 ] || { echo "no scripts to run" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work/linux" "$work/wine" "$work/recorded"
# Thousands of commands with the camera moving every frame.
awk -f tests/windows/long_session.awk >"$work/long-session.otc"
scripts+=("$work/long-session.otc")
for script in "${scripts[@]}"; do
  name=${script//\//_}
  code=0
  "$native/tools/otcull" run "$script" >"$work/linux/$name.out" 2>"$work/linux/$name.err" || code=$?
  echo "$code" >"$work/linux/$name.status"
done

echo "--- Wine: link checks and ${#scripts[@]} scripts"
export QEMU_RESERVED_VA=0xf7000000 WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
run_wine() {
  rm -rf "$work/wine" "$work/recorded" && mkdir -p "$work/wine" "$work/recorded"
  timeout 900 wine build/win32/bin/winhost.exe --recording-plugin "$recording" \
    --journals "$work/recorded" suite "$work/wine" "${scripts[@]}"
}
start=$(date +%s)
status=0
run_wine || status=$?
if [ "$status" -ne 0 ]; then
  # Wine under qemu now and then loses its server while it boots: one more
  # run, from a stopped server, tells that from a real failure.
  echo "Wine run failed (status $status) after $(( $(date +%s) - start ))s; once more"
  wineserver -k 2>/dev/null || true
  start=$(date +%s)
  status=0
  run_wine || status=$?
fi
echo "Wine run: $(( $(date +%s) - start ))s, exit status $status"
for script in "${scripts[@]}"; do echo "  ran $script"; done
[ "$status" -eq 0 ] || { echo "the stand-in engine's checks failed" >&2; exit 1; }
if ! diff -r "$work/linux" "$work/wine" >"$work/diff.txt"; then
  echo "Wine results differ from otcull's:" >&2
  head -60 "$work/diff.txt" >&2
  exit 1
fi
echo "Wine results equal otcull's for every script ($(cat "$work"/linux/*.out | wc -l) lines of output)"

# The recording flavour behaves as the shipped one; its journals replay on
# Linux to the same host calls and results. Handle results print under the
# scripts' names in the one run and the journal's in the other, so they are
# compared as none or some.
handles_as_some() {
  sed -E 's/^(OT_Create[A-Za-z]+[12]|OT_AddPortal|OT_GetParent|OT_GetPortal(Portal|A|B)) -> [^0].*$/\1 -> handle/' "$1"
}
for script in "${scripts[@]}"; do
  name=${script//\//_}
  for kind in out err status; do
    cmp -s "$work/linux/$name.$kind" "$work/recorded/$name.$kind" ||
      { echo "$script: the recording DLL's $kind differs from otcull's" >&2; exit 1; }
  done
  journal=$work/recorded/$name
  [ -s "$journal" ] || { echo "$script: no journal" >&2; exit 1; }
  "$native/tools/otcull" run "$journal" >"$work/recorded/$name.replay" ||
    { echo "$script: the journal does not replay" >&2; exit 1; }
  if ! diff <(handles_as_some "$work/linux/$name.out") <(handles_as_some "$work/recorded/$name.replay") \
    >"$work/replay-diff.txt"; then
    echo "$script: the journal's replay differs from the original run:" >&2
    head -40 "$work/replay-diff.txt" >&2
    exit 1
  fi
done
echo "Journals of the recording DLL replay to the same host calls for every script" \
  "($(cat "$work"/recorded/*.otc | wc -l) journal lines)"
