#!/usr/bin/env bash
# The page `otcull view` writes, opened in headless Chromium: every example,
# the demo, the slider, a clicked node. Screenshots land in
# build/default/view-page/.
set -euo pipefail
scripts/install-deps native browser
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target otcull
# Debian's Selenium belongs to Debian's Python, whatever else is on the PATH.
/usr/bin/python3 tests/browser/view_page_test.py build/default/tools/otcull . build/default/view-page
