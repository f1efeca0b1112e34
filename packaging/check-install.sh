#!/usr/bin/env bash
# Installs a build into a folder of its own and checks what a desktop finds there: every file in
# its place, the saver's link on the PATH, the icons at their sizes, valid menu entries and
# metainfo. Then builds the Debian package and checks that it holds the same files under the
# build's prefix and that its dependencies were computed.
#   check-install.sh BUILD_FOLDER WORK_FOLDER
# Exits 77 when a tool it needs is missing (scripts/setup.sh installs them).
set -euo pipefail
build="$1"
work="$2"

for tool in cpack desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps od; do
  command -v "$tool" >/dev/null || { echo "check-install: $tool is missing"; exit 77; }
done
fail() {
  echo "check-install: $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
stage="$work/stage"
cmake --install "$build" --prefix "$stage" >/dev/null

icon_sizes=(16 22 24 32 48 64 128 256)
files=(
  bin/lumivart
  libexec/xscreensaver/lumivart-saver
  bin/lumivart-saver
  share/applications/org.lumivart.Lumivart.desktop
  share/applications/screensavers/lumivart-saver.desktop
  share/metainfo/org.lumivart.Lumivart.metainfo.xml
  share/xscreensaver/config/lumivart-saver.xml
)
for size in "${icon_sizes[@]}"; do
  files+=("share/icons/hicolor/${size}x${size}/apps/lumivart.png")
done
for file in "${files[@]}"; do
  [ -e "$stage/$file" ] || fail "not installed: $file"
done
[ "$(find "$stage" -type f -o -type l | wc -l)" -eq "${#files[@]}" ] ||
  fail "installed files besides the expected ones: $(cd "$stage" && find . -type f -o -type l)"
[ -L "$stage/bin/lumivart-saver" ] &&
  [ "$(readlink -f "$stage/bin/lumivart-saver")" = "$stage/libexec/xscreensaver/lumivart-saver" ] ||
  fail "bin/lumivart-saver does not lead to the saver"
[ -x "$stage/bin/lumivart" ] && [ -x "$stage/libexec/xscreensaver/lumivart-saver" ] ||
  fail "a program is not executable"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in "${icon_sizes[@]}"; do
  png="$stage/share/icons/hicolor/${size}x${size}/apps/lumivart.png"
  read -r -a header <<<"$(od -An -tu1 -w24 -N24 "$png")"
  [ "${header[1]}${header[2]}${header[3]}" = "807871" ] || fail "$png is not a PNG"
  width=$(((header[16] << 24) + (header[17] << 16) + (header[18] << 8) + header[19]))
  height=$(((header[20] << 24) + (header[21] << 16) + (header[22] << 8) + header[23]))
  [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] || fail "$png is ${width}x$height"
done

desktop-file-validate "$stage/share/applications/org.lumivart.Lumivart.desktop" \
  "$stage/share/applications/screensavers/lumivart-saver.desktop"
appstreamcli validate --no-net --pedantic "$stage/share/metainfo/org.lumivart.Lumivart.metainfo.xml" \
  >"$work/appstream.log" || { cat "$work/appstream.log"; fail "the metainfo is not valid"; }

# The package holds the same files under the build's prefix.
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log") ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(find "$work/package" -maxdepth 1 -name 'lumivart_*.deb')
[ -n "$deb" ] || fail "cpack made no lumivart_*.deb"
listing=$(dpkg-deb -c "$deb")
for file in "${files[@]}"; do
  grep -q " \.$prefix/$file\( -> .*\)\?$" <<<"$listing" || fail "the package lacks $prefix/$file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libxcb1 libc6; do
  grep -q "\b$library\b" <<<"$depends" || fail "no computed dependency on $library: $depends"
done
echo "check-install: ${#files[@]} files installed and packaged; Depends: $depends"
