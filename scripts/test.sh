#!/usr/bin/env bash
# Sets everything up and runs every test: the plain debug build with its install and package
# check, then the end-to-end suite on real windows, then the same unit tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh debug
ctest --preset debug -j"$(nproc)" -LE e2e
ctest --preset debug -L e2e

scripts/setup.sh sanitize
ctest --preset sanitize -j"$(nproc)" -LE 'e2e|package'

scripts/fuzz.sh
