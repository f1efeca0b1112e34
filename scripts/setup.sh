#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (as root, or through sudo), then
# configures and builds one CMake preset: scripts/setup.sh [release|debug|clang|sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libglx-dev libopengl-dev
  libqt6opengl6-dev
  libjpeg-turbo-progs libjpeg-dev liblcms2-dev xvfb xauth libxcb1-dev dbus-daemon
  colord-data libgs-common
  clang libclang-rt-14-dev
  fonts-dejavu-core fonts-urw-base35
  dpkg-dev file desktop-file-utils appstream
  python3 openbox xdotool x11-utils imagemagick
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

preset="${1:-release}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
