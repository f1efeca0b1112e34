#!/usr/bin/env bash
# Builds the metafile player's libFuzzer target with clang in build/fuzz and runs it for about a
# minute (FUZZ_SECONDS), seeded with every WMF and EMF of the shared corpus when it is there and
# with the project's own samples. Exits non-zero when the fuzzer finds a crash, a sanitizer
# report, a hang or a giant allocation; the input is left in build/fuzz/artifacts/.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
seconds="${FUZZ_SECONDS:-60}"
jobs="${JOBS:-2}"
clang_cc="$(command -v clang || command -v clang-14)"
clang_cxx="$(command -v clang++ || command -v clang++-14)"

cmake -S "$root" -B "$build" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER="$clang_cc" -DCMAKE_CXX_COMPILER="$clang_cxx" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  -DLUMIVART_FUZZ=ON -DBUILD_TESTING=OFF -DLUMIVART_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_metafile -j"$jobs"

seeds="$build/seeds"
found="$build/found"
artifacts="$build/artifacts"
mkdir -p "$seeds" "$found" "$artifacts"
corpus="$root/../shared/corpus"
if [ -d "$corpus" ]; then
  # Copies (named by content) in the build folder only; the corpus never enters the project.
  while IFS= read -r -d '' file; do
    cp "$file" "$seeds/$(sha1sum "$file" | cut -c1-16)"
  done < <(find "$corpus" -type f \( -iname '*.wmf' -o -iname '*.emf' \) -print0)
fi
for sample in "$root"/samples/*.wmf "$root"/samples/*.emf; do
  [ -f "$sample" ] && cp "$sample" "$seeds/"
done

export ASAN_OPTIONS="detect_leaks=0:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
"$build/fuzz/fuzz_metafile" "$found" "$seeds" \
  -max_total_time="$seconds" -max_len=1048576 -timeout=20 -rss_limit_mb=3072 \
  -artifact_prefix="$artifacts/" -print_final_stats=1
