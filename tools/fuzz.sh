#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in a build tree of their own and runs each one for a while.
# Usage: tools/fuzz.sh [seconds per target]   (default: $FUZZ_SECONDS, else 10)
# FUZZ_BUILD_DIR overrides the build tree (default: <repo>/build-fuzz). Exits non-zero when a target
# crashes; the input that did it is kept under <build tree>/fuzz-artifacts/<target>/.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-${FUZZ_SECONDS:-10}}
build=${FUZZ_BUILD_DIR:-$repo/build-fuzz}
# libFuzzer exists only for clang; a CXX naming another compiler is not used here.
cxx=${CXX:-clang++}
[[ $(basename "$cxx") == clang++* ]] || cxx=clang++

if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds < 1)); then
    echo "fuzz.sh: seconds must be a positive whole number, not '$seconds'" >&2
    exit 2
fi

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSPRELIO_FUZZ=ON >/dev/null
cmake --build "$build" --target sprelio_fuzzers

list=$build/fuzz/fuzzers.txt
logs=$build/fuzz-logs
mkdir -p "$logs"
status=0
count=0
failed=()
while IFS=$'\t' read -r name binary seeds; do
    [[ -n $name ]] || continue
    count=$((count + 1))
    # New inputs go to the first directory, so the seed corpus in the repository stays as committed.
    corpus=$build/fuzz-corpus/$name
    artifacts=$build/fuzz-artifacts/$name
    log=$logs/$name.log
    mkdir -p "$corpus" "$artifacts"
    dirs=("$corpus")
    [[ -z $seeds ]] || dirs+=("$seeds")
    # The progress lines go to the log; the console gets the outcome, which a cut-short CI log keeps.
    echo "== $name: ${seconds}s (log: $log)"
    if "$binary" -max_total_time="$seconds" -artifact_prefix="$artifacts/" -print_final_stats=1 \
        "${dirs[@]}" </dev/null >"$log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
    else
        echo "== $name FAILED; the input is in $artifacts/. The report:" >&2
        # The report starts with the broken check or the sanitizer's first line.
        sed -n '/^fuzz check failed\|^==[0-9]*==\|^[A-Za-z]*Sanitizer\|^SUMMARY/,$p' "$log" | head -n 80 >&2
        failed+=("$name")
        status=1
    fi
done <"$list"

if ((count == 0)); then
    echo "fuzz.sh: no fuzz targets listed in $list" >&2
    exit 2
fi
if ((status != 0)); then
    echo "fuzz.sh: faults found by: ${failed[*]}" >&2
fi
exit $status
