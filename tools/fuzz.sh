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
status=0
count=0
while IFS=$'\t' read -r name binary seeds; do
    [[ -n $name ]] || continue
    count=$((count + 1))
    # New inputs go to the first directory, so the seed corpus in the repository stays as committed.
    corpus=$build/fuzz-corpus/$name
    artifacts=$build/fuzz-artifacts/$name
    mkdir -p "$corpus" "$artifacts"
    dirs=("$corpus")
    [[ -z $seeds ]] || dirs+=("$seeds")
    echo "== $name: ${seconds}s"
    if ! "$binary" -max_total_time="$seconds" -artifact_prefix="$artifacts/" -print_final_stats=1 \
        "${dirs[@]}" </dev/null; then
        echo "== $name FAILED; the input is in $artifacts/" >&2
        status=1
    fi
done <"$list"

if ((count == 0)); then
    echo "fuzz.sh: no fuzz targets listed in $list" >&2
    exit 2
fi
exit $status
