#!/usr/bin/env bash
# The plain release build a user types (warnings made errors, as CI wants),
# then the whole native test suite, which also installs the build into a
# scratch prefix and builds a program against it by find_package and by
# pkg-config.
set -euo pipefail
scripts/install-deps native
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON >/dev/null
cmake --build build/release -j"$(nproc)"
ctest --test-dir build/release --output-on-failure -j"$(nproc)"
