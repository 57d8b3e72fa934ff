#!/usr/bin/env bash
# The Windows plug-in: cross-builds TarvoCulling.dll, checks the file itself
# (PE32 for i386, exactly the 61 exports, only Windows system DLLs imported,
# the command table resource), then runs the stand-in engine under Wine: its
# link checks, and every example script, whose output must equal otcull's.
set -euo pipefail
root=$(pwd)
prefix=${TARVO_WINE_PREFIX:-$root/build/wine-prefix}
native=${TARVO_NATIVE_BUILD:-build/default}
work=build/win32/e2e

scripts/setup-wine "$prefix"
scripts/install-deps native

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$native" -j2 --target pe_check otcull

dll=build/win32/bin/TarvoCulling.dll
echo "--- $dll"
"$native/tests/windows/pe_check" "$dll"
# The checker must be able to say no: an engine module is no plug-in.
if "$native/tests/windows/pe_check" build/win32/bin/host/TarvoCore.dll >/dev/null 2>&1; then
  echo "pe_check accepted a DLL without the command table" >&2
  exit 1
fi
# A second reader's view of the resource languages.
languages=$(llvm-readobj --coff-resources "$dll" | grep -o 'Language: (ID [0-9]*)' | sort | uniq -c)
if [ "$(echo "$languages" | tr -s ' ')" != " 4 Language: (ID 2057)" ]; then
  echo "string table languages: $languages" >&2
  exit 1
fi

# The same scripts through otcull on Linux and through the DLL under Wine.
mapfile -t cull < <(ls examples/*.cull tests/windows/scripts/*.cull 2>/dev/null | sort)
[ ${#cull[@]} -gt 0 ] || { echo "no scripts to run" >&2; exit 1; }
mkdir -p "$work"
: >"$work/linux.out"
for script in "${cull[@]}"; do
  "$native/tools/otcull" run "$script" >>"$work/linux.out"
done

echo "--- Wine: link checks and ${#cull[@]} scripts"
start=$(date +%s)
status=0
QEMU_RESERVED_VA=0xf7000000 WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win32 \
  timeout 540 wine build/win32/bin/winhost.exe suite "${cull[@]}" \
  >"$work/wine.out" 2>"$work/wine.err" || status=$?
echo "Wine run: $(( $(date +%s) - start ))s, exit status $status"
cat "$work/wine.err"
for script in "${cull[@]}"; do echo "  ran $script"; done
if ! diff -u "$work/linux.out" "$work/wine.out" >"$work/diff.txt"; then
  echo "Wine output differs from otcull's:" >&2
  head -40 "$work/diff.txt" >&2
  exit 1
fi
[ "$status" -eq 0 ]
echo "Wine output equals otcull's: $(wc -l <"$work/linux.out") lines"
