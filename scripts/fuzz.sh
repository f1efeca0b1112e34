#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each in turn:
#   fuzz_pictures  the picture loader with every format it reads, seeded with every file of the
#                  shared corpus when it is there and with the project's samples (45 s);
#   fuzz_metafile  the metafile player, seeded with the WMF and EMF files among them (45 s);
#   fuzz_colour    colour profiles in each place they come from, seeded with the installed
#                  profiles under /usr/share/color/icc (30 s);
#   fuzz_record    the settings record's decoder, seeded with fuzz/seeds/record (30 s);
#   fuzz_exchange  the exchange-file reader, seeded with fuzz/seeds/exchange (30 s).
# scripts/fuzz.sh [TARGET...] runs only the targets named; FUZZ_SECONDS gives every target run the
# same time instead (for a long run by hand). Exits non-zero when a fuzzer finds a crash, a
# sanitizer report, a broken promise, a hang or a giant allocation; the input is left in
# build/fuzz/run/<target>/artifacts/.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
jobs="${JOBS:-2}"
clang_cc="$(command -v clang || command -v clang-14)"
clang_cxx="$(command -v clang++ || command -v clang++-14)"

declare -A default_seconds=([fuzz_pictures]=45 [fuzz_metafile]=45 [fuzz_colour]=30 [fuzz_record]=30
  [fuzz_exchange]=30)
# Pictures come large; a settings record or an exchange file of a few kilobytes reaches every path.
declare -A max_len=([fuzz_pictures]=1048576 [fuzz_metafile]=1048576 [fuzz_colour]=262144
  [fuzz_record]=4096 [fuzz_exchange]=4096)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_pictures fuzz_metafile fuzz_colour fuzz_record fuzz_exchange)
fi
for target in "${targets[@]}"; do
  if [ -z "${default_seconds[$target]:-}" ]; then
    echo "fuzz.sh: no fuzz target named $target" >&2
    exit 2
  fi
done

cmake -S "$root" -B "$build" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER="$clang_cc" -DCMAKE_CXX_COMPILER="$clang_cxx" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  -DLUMIVART_FUZZ=ON -DBUILD_TESTING=OFF -DLUMIVART_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" -j"$jobs"

corpus="$root/../shared/corpus"

# Fills a target's seed folder with copies (named by content) of the files found in the given
# folders (those that exist) that pass the find tests after "--". The copies stay in the build
# folder; the corpus never enters the project.
seed() {
  local seeds="$build/run/$1/seeds"
  shift
  local sources=()
  while [ "$1" != "--" ]; do
    if [ -d "$1" ]; then
      sources+=("$1")
    fi
    shift
  done
  shift
  mkdir -p "$seeds"
  while IFS= read -r -d '' file; do
    cp "$file" "$seeds/$(sha1sum "$file" | cut -c1-16)"
  done < <(find "${sources[@]}" -type f "$@" -print0)
}

export ASAN_OPTIONS="detect_leaks=0:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

# Seeds the colour fuzzer with each installed profile of at most 256 KiB behind each of the four
# first bytes that choose where it is put (the second byte: JPEG chunks of 4,097 bytes).
seed_profiles() {
  local seeds="$build/run/fuzz_colour/seeds"
  mkdir -p "$seeds"
  while IFS= read -r -d '' file; do
    for place in 0 1 2 3; do
      { printf "\\x0$place\\x10"; cat "$file"; } >"$seeds/$place-$(sha1sum "$file" | cut -c1-16)"
    done
  done < <(find /usr/share/color/icc -type f -size -256k -print0)
}

# Runs one target on its own found inputs and seeds; the status is the fuzzer's.
run() {
  local target="$1"
  local dir="$build/run/$target"
  mkdir -p "$dir/found" "$dir/artifacts"
  "$build/fuzz/$target" "$dir/found" "$dir/seeds" \
    -max_total_time="${FUZZ_SECONDS:-${default_seconds[$target]}}" -max_len="${max_len[$target]}" -timeout=20 \
    -rss_limit_mb=3072 -artifact_prefix="$dir/artifacts/" -print_final_stats=1
}

status=0
for target in "${targets[@]}"; do
  case "$target" in
    fuzz_pictures) seed "$target" "$root/samples" "$corpus" -- ;;
    fuzz_metafile) seed "$target" "$root/samples" "$corpus" -- \( -iname '*.wmf' -o -iname '*.emf' \) ;;
    fuzz_colour) seed_profiles ;;
    fuzz_record) seed "$target" "$root/fuzz/seeds/record" -- ;;
    fuzz_exchange) seed "$target" "$root/fuzz/seeds/exchange" -- ;;
  esac
  if ! run "$target"; then
    echo "fuzz.sh: $target found a fault; see $build/run/$target/artifacts/" >&2
    status=1
  fi
done
exit "$status"
