#!/usr/bin/env bash
# Sets everything up and runs every test: the plain debug build, then the same tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short fuzzing run of the picture loader
# and the metafile player.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh debug
ctest --preset debug -j"$(nproc)"

scripts/setup.sh sanitize
ctest --preset sanitize -j"$(nproc)"

scripts/fuzz.sh
