#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for FUZZ_SECONDS (45 by
# default): fuzz_pictures, the picture loader with every format it reads, seeded with every file
# of the shared corpus when it is there and with the project's samples; fuzz_metafile, the
# metafile player, seeded with the WMF and EMF files among them. Exits non-zero when a fuzzer
# finds a crash, a sanitizer report, a hang or a giant allocation; the input is left in
# build/fuzz/run/<target>/artifacts/.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
seconds="${FUZZ_SECONDS:-45}"
jobs="${JOBS:-2}"
clang_cc="$(command -v clang || command -v clang-14)"
clang_cxx="$(command -v clang++ || command -v clang++-14)"

cmake -S "$root" -B "$build" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER="$clang_cc" -DCMAKE_CXX_COMPILER="$clang_cxx" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  -DLUMIVART_FUZZ=ON -DBUILD_TESTING=OFF -DLUMIVART_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_pictures fuzz_metafile -j"$jobs"

corpus="$root/../shared/corpus"

# Fills a target's seed folder with copies (named by content) of the samples and corpus files
# that pass the find tests given. The copies stay in the build folder; the corpus never enters
# the project.
seed() {
  local seeds="$build/run/$1/seeds"
  shift
  local sources=("$root/samples")
  if [ -d "$corpus" ]; then
    sources+=("$corpus")
  fi
  mkdir -p "$seeds"
  while IFS= read -r -d '' file; do
    cp "$file" "$seeds/$(sha1sum "$file" | cut -c1-16)"
  done < <(find "${sources[@]}" -type f "$@" -print0)
}

export ASAN_OPTIONS="detect_leaks=0:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

# Runs one target on its own found inputs and seeds; the status is the fuzzer's.
run() {
  local target="$1"
  local dir="$build/run/$target"
  mkdir -p "$dir/found" "$dir/artifacts"
  "$build/fuzz/$target" "$dir/found" "$dir/seeds" \
    -max_total_time="$seconds" -max_len=1048576 -timeout=20 -rss_limit_mb=3072 \
    -artifact_prefix="$dir/artifacts/" -print_final_stats=1
}

seed fuzz_pictures
seed fuzz_metafile \( -iname '*.wmf' -o -iname '*.emf' \)

status=0
for target in fuzz_pictures fuzz_metafile; do
  if ! run "$target"; then
    echo "fuzz.sh: $target found a fault; see $build/run/$target/artifacts/" >&2
    status=1
  fi
done
exit "$status"
