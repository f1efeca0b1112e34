#!/usr/bin/env bash
# Runs the quick start (scripts/start.sh) on an Xvfb display of its own, with settings and
# thumbnails in a temporary home, and waits until the viewer's window is shown and still there a
# few seconds later. Fails when the build fails, when the viewer ends early, or when no window
# shows within a minute. scripts/test.sh runs it first, so the quick start cannot break unseen.
set -euo pipefail
cd "$(dirname "$0")/.."

home="$(mktemp -d)"
display=":${START_CHECK_DISPLAY:-89}"
viewer=""
server=""
cleanup() {
  [ -z "$viewer" ] || kill "$viewer" 2>/dev/null || true
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT

scripts/setup.sh release # builds in the foreground, so the minute below is the start's alone

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$home/xvfb.log" 2>&1 &
server=$!
for _ in $(seq 50); do
  xdpyinfo -display "$display" >/dev/null 2>&1 && break
  sleep 0.1
done

export DISPLAY="$display" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache"
unset windir winbootdir
scripts/start.sh >"$home/viewer.log" 2>&1 &
viewer=$! # start.sh execs the viewer, so this is the viewer's process

if ! timeout 60 xdotool search --sync --onlyvisible --pid "$viewer" >/dev/null; then
  echo "start-check: the viewer showed no window within a minute" >&2
  cat "$home/viewer.log" >&2
  exit 1
fi
sleep 3
if ! kill -0 "$viewer" 2>/dev/null; then
  echo "start-check: the viewer ended after showing its window" >&2
  cat "$home/viewer.log" >&2
  exit 1
fi
echo "start-check: the quick start's viewer shows its window"
