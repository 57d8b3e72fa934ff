#!/usr/bin/env bash
# The whole test suite built with clang (the native stage builds with GCC),
# AddressSanitizer and UndefinedBehaviorSanitizer (asan preset); any warning or
# sanitizer report, leaks included, fails the run.
set -euo pipefail
scripts/install-deps reliability
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --preset asan >/dev/null
cmake --build --preset asan -j2
ctest --preset asan -j2
