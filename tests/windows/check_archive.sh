#!/usr/bin/env bash
# Checks the Windows archive as a script author gets it: exactly the files it
# should hold, every text file with CRLF line endings, SHA256SUMS.txt true for
# every other file, a licence with the copyright line the DLLs carry, a
# command reference and a manual with a section for every command of the
# table, the manual a page that fetches nothing. Unpacks it into an empty
# FOLDER and prints the folder of the unpacked files.
#
# Usage: tests/windows/check_archive.sh ARCHIVE FOLDER EXPORTS.def
set -euo pipefail
archive=$(realpath "$1")
folder=$2
def=$(realpath "$3")
top=$(basename "$archive" .zip)
fail() { echo "$(basename "$archive"): $*" >&2; exit 1; }

expected=$(
  { printf '%s\n' CHANGELOG.txt COMMANDS.txt LICENSE.txt SHA256SUMS.txt TarvoCulling.dll \
      manual.html otcull.exe recording/TarvoCulling.dll
    for f in examples/*.otc examples/*.out; do echo "$f"; done; } | sed "s|^|$top/|" | sort)
listed=$(cmake -E tar tf "$archive" | grep -v '/$' | sort)
if [ "$listed" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$listed") >&2 || true
  fail "holds other files than the ones above"
fi
rm -rf "$folder" && mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$archive")
cd "$folder/$top"

# Every line of every text file ends in CRLF, the last one included.
while IFS= read -r text; do
  lines=$(tr -cd '\n' <"$text" | wc -c)
  crlf=$(LC_ALL=C grep -c $'\r$' "$text" || true)
  last=$(tail -c 1 "$text" | od -An -c | tr -d ' ')
  [ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ] && [ "$last" = '\n' ] ||
    fail "$text: $crlf of $lines lines end in CRLF"
done < <(find . -type f ! -name '*.dll' ! -name '*.exe' | sort)

sha256sum --quiet -c SHA256SUMS.txt || fail "SHA256SUMS.txt does not hold"
summed=$(tr -d '\r' <SHA256SUMS.txt | sed 's/^[0-9a-f]*  //' | sort)
present=$(find . -type f ! -name SHA256SUMS.txt | sed 's|^\./||' | sort)
[ "$summed" = "$present" ] || fail "SHA256SUMS.txt does not list exactly the other files"

grep -qx $'Copyright (c) 2026 The TarvoCulling developers\r' LICENSE.txt ||
  fail "LICENSE.txt lacks the copyright line of the DLLs' version resources"

exports=$(sed -n '/^EXPORTS/,$p' "$def" | tail -n +2 | tr -d ' \r')
count=$(echo "$exports" | wc -l)
described=$(grep -c '^OT_' COMMANDS.txt)
[ "$described" -eq "$count" ] || fail "COMMANDS.txt describes $described commands, not $count"
for name in $exports; do
  grep -q "<h2 id=\"$name\"" manual.html || fail "manual.html has no section for $name"
done
if LC_ALL=C grep -Eio 'https?:[^"<> ]*|(src|href)="//[^"]*|url\([^)]*\)|<link[^>]*>' manual.html; then
  fail "manual.html names a web address or fetches a file"
fi
echo "$(basename "$archive"): $(wc -c <"$archive") bytes;" \
  "$(echo "$listed" | wc -l) files; manual with $count command sections" >&2
pwd
