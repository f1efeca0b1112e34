#!/usr/bin/env bash
# Sets everything up and runs every test:
#   1. the quick start: the release build of scripts/start.sh, started until its window shows;
#   2. the GCC debug build: unit tests and the install and package check, then the end-to-end
#      suite on real windows;
#   3. everything built again with clang, warnings as errors, and its unit tests;
#   4. the unit tests built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   5. a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/start-check.sh

scripts/setup.sh debug
ctest --preset debug -j"$(nproc)" -LE e2e
ctest --preset debug -L e2e

scripts/setup.sh clang
ctest --preset clang -j"$(nproc)" -LE 'e2e|package'

scripts/setup.sh sanitize
ctest --preset sanitize -j"$(nproc)" -LE 'e2e|package'

scripts/fuzz.sh
