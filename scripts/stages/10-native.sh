#!/usr/bin/env bash
# Release build of the library, tools and tests; the whole native test suite.
set -euo pipefail
scripts/install-deps native
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"
ctest --preset default -j"$(nproc)"
