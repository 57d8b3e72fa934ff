#!/usr/bin/env bash
# The page `otcull view` writes, opened in headless Chromium: every example,
# the demo, the slider, a clicked node. Screenshots land in
# build/release/view-page/. Uses the native stage's release build.
set -euo pipefail
scripts/install-deps native browser
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON >/dev/null
cmake --build build/release -j"$(nproc)" --target otcull
# Debian's Selenium belongs to Debian's Python, whatever else is on the PATH.
/usr/bin/python3 tests/browser/view_page_test.py build/release/tools/otcull . build/release/view-page
# The page's script is linted where Debian's eslint is installed (not
# installed here: it would cost CI a minute). Its modules live outside the
# paths of a Node.js that did not come from Debian.
# The page's script is linted twice: its files as ES modules, and the one
# script they are joined into (where a name two files declare would clash).
if command -v eslint >/dev/null; then
  export NODE_PATH=/usr/share/nodejs:/usr/lib/nodejs
  eslint --no-eslintrc -c tools/otcull/view/web/.eslintrc.json tools/otcull/view/web/
  eslint --no-eslintrc -c tools/otcull/view/web/.eslintrc.json --parser-options=sourceType:script \
    build/release/tools/view.js
  # The loader that inflates the page's data (newer than Debian's eslint's
  # list of browser globals).
  eslint --no-eslintrc -c tools/otcull/view/web/.eslintrc.json --parser-options=sourceType:script \
    --global DecompressionStream tools/otcull/view/page_loader.js
fi
