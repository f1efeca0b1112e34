#!/usr/bin/env bash
# Sets everything up, builds the viewer and starts it in the bundled sample pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh release
cd samples
exec ../build/release/src/viewer/lumivart
