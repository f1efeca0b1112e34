#!/usr/bin/env bash
# Mutation testing: applies, one at a time, the small faults listed in scripts/mutants.txt to the
# sources, rebuilds incrementally, runs the tests the rebuild touched, and reports which faults
# the tests caught ("killed") and which they let through ("survived").
#
#   scripts/mutants.sh [--list FILE] [--only N[,N...]] [--report FILE]
#
# Each entry of the list is three lines (a file, "- " and the text to find on one of its lines,
# "+ " and what replaces its first occurrence), entries apart by a blank line, '#' lines are
# comments. A test is affected when the rebuild relinked its program or a program it starts (a
# path built into it). The affected tests stop at the first failure, and a test still running
# after a minute (ten times the slowest) counts as failed: a mutant that makes a loop endless
# is killed without waiting. A mutant that does not compile, or whose text is no longer found, is
# reported as such and counted apart. The sources are put back after each mutant, and on any
# exit; to stop a run started in the background send TERM (a background shell ignores INT).
# Builds in build/mutants (a debug build of its own); not part of CI: a mutant takes 15 to 40
# seconds on two cores, the whole list about an hour.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

list="$root/scripts/mutants.txt"
only=""
report="$root/build/mutants/report.txt"
while [ $# -gt 0 ]; do
  case "$1" in
    --list) list="$2"; shift 2 ;;
    --only) only="$2"; shift 2 ;;
    --report) report="$2"; shift 2 ;;
    *) echo "mutants.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

build="$root/build/mutants"
work="$build/run"
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen

# The entries as numbered files: work/N.file, work/N.find, work/N.replace.
python3 - "$list" "$work" <<'EOF'
import sys, pathlib
lines = pathlib.Path(sys.argv[1]).read_text().split("\n")
out = pathlib.Path(sys.argv[2])
for old in out.glob("*.entry"):
    old.unlink()
entries, block = [], []
for line in lines + [""]:
    if line.startswith("#"):
        continue
    if line.strip() == "":
        if block:
            entries.append(block)
        block = []
    else:
        block.append(line)
for n, block in enumerate(entries, 1):
    if len(block) != 3 or not block[1].startswith("- ") or not block[2].startswith("+ "):
        sys.exit(f"mutants.sh: entry {n} is not a file, a '- ' line and a '+ ' line: {block}")
    (out / f"{n}.entry").write_text("\n".join([block[0], block[1][2:], block[2][2:]]))
EOF
count=$(find "$work" -name '*.entry' | wc -l)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DLUMIVART_BENCH=OFF >/dev/null
echo "mutants.sh: building the unmutated tree in $build"
cmake --build "$build" -j"$(nproc)" >"$work/build.log" 2>&1 ||
  { tail -30 "$work/build.log"; echo "mutants.sh: the unmutated tree does not build" >&2; exit 1; }
ctest --test-dir "$build" --show-only=json-v1 >"$work/tests.json"

# The file being mutated, put back with a new time so that the next build compiles it again.
saved=""
restore() {
  if [ -n "$saved" ]; then
    cp "$work/original" "$saved"
    saved=""
  fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

# Applies entry $1 to its file; fails when the text to find is not there.
apply() {
  python3 - "$work/$1.entry" <<'EOF'
import sys, pathlib
path, find, replace = pathlib.Path(sys.argv[1]).read_text().split("\n")
source = pathlib.Path(path)
text = source.read_text()
if find not in text:
    sys.exit(1)
source.write_text(text.replace(find, replace, 1))
EOF
}

# The tests whose program, or a program they start, is newer than the stamp, as a ctest regex.
affected_tests() {
  python3 - "$work/tests.json" "$work/stamp" "$build" <<'EOF'
import json, os, sys
tests = json.load(open(sys.argv[1]))["tests"]
stamp = os.path.getmtime(sys.argv[2])
build = sys.argv[3]
newer = lambda path: os.path.exists(path) and os.path.getmtime(path) > stamp
programs = [os.path.join(dirpath, name) for dirpath, _, names in os.walk(os.path.join(build, "src"))
            for name in names if os.access(os.path.join(dirpath, name), os.X_OK)
            and not name.endswith((".a", ".so", ".o"))]
rebuilt_programs = [p for p in programs if newer(p)]
names = []
for test in tests:
    labels = [p["value"] for p in test.get("properties", []) if p["name"] == "LABELS"]
    if any(l for l in labels if set(l) & {"e2e", "package"}):
        continue
    executables = [a for a in test.get("command", []) if a.startswith(build) and os.path.isfile(a)]
    hit = any(newer(e) for e in executables)
    if not hit and rebuilt_programs: # a program it starts, by the path built into it
        for e in executables:
            data = open(e, "rb").read()
            if any(p.encode() in data for p in rebuilt_programs):
                hit = True
    if hit:
        names.append(test["name"])
print("^(" + "|".join(names) + ")$" if names else "")
EOF
}

: >"$report"
killed=0 survived=0 unusable=0
for n in $(seq "$count"); do
  if [ -n "$only" ] && ! [[ ",$only," == *",$n,"* ]]; then
    continue
  fi
  file=$(sed -n 1p "$work/$n.entry")
  label="$n $file: $(sed -n 2p "$work/$n.entry" | sed 's/^ *//') -> $(sed -n 3p "$work/$n.entry" | sed 's/^ *//')"
  cp "$file" "$work/original"
  if ! apply "$n"; then
    echo "not found  $label" | tee -a "$report"
    unusable=$((unusable + 1))
    continue
  fi
  saved="$file"
  touch "$work/stamp"
  sleep 1 # make times taken by the build differ from the stamp
  if ! cmake --build "$build" -j"$(nproc)" >"$work/$n.build.log" 2>&1; then
    restore
    echo "no build   $label" | tee -a "$report"
    unusable=$((unusable + 1))
    continue
  fi
  tests=$(affected_tests)
  if [ -n "$tests" ] &&
    ! ctest --test-dir "$build" -R "$tests" -j"$(nproc)" --timeout 60 --stop-on-failure \
      >"$work/$n.test.log" 2>&1; then
    echo "killed     $label" | tee -a "$report"
    killed=$((killed + 1))
  else
    echo "survived   $label (tests run: ${tests:-none})" | tee -a "$report"
    survived=$((survived + 1))
  fi
  restore
done
# The mutated files go back to their unmutated builds for the next run.
cmake --build "$build" -j"$(nproc)" >"$work/build.log" 2>&1 || true
total=$((killed + survived))
echo "mutants.sh: killed $killed / $total ($unusable unusable); report in $report" | tee -a "$report"
