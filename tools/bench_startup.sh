#!/usr/bin/env bash
# Start-up cost of Sprelio beside a bare Qt main window, measured in the same run under Xvfb:
# wall time and CPU time from exec until the first window is mapped (for Sprelio its splash), and
# resident memory one second after exec. Rounds alternate between the two programs; medians are shown.
#   tools/bench_startup.sh [build folder] [rounds] [program]
# Defaults: build, 11, and the build installed into a temporary folder; give /usr/bin/sprelio to measure
# the installed package.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
rounds=${2:-11}
program=${3:-}
probe=$build/tools/startup_bench/startup_probe
bare=$build/tools/startup_bench/bench_bare_window
for tool in "$probe" "$bare"; do
    [ -x "$tool" ] || { echo "bench_startup: $tool is missing; build first" >&2; exit 1; }
done

if [ -z "${SPRELIO_BENCH_INNER:-}" ]; then
    export SPRELIO_BENCH_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$rounds" "$program"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The installed program, as a user starts it: its files come from the installed tree and its settings
# from the user's configuration folder, where the language is already chosen.
if [ -z "$program" ]; then
    cmake --install "$build" --prefix "$work/usr" >/dev/null
    program=$work/usr/bin/sprelio
fi
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Sprelio" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nLanguage=0\n' >"$XDG_CONFIG_HOME/Sprelio/sprelio.ini"
unset QT_QPA_PLATFORM
cd "$work"

# "bare+text" is the bare window with one label: the share of the font system, for comparison.
programs=(bare sprelio bare+text)
declare -A command=([bare]="$bare" [sprelio]="$program" [bare+text]="$bare text")
results=$work/results
: >"$results"
# One unrecorded round fills the caches of both.
for name in "${programs[@]}"; do $probe ${command[$name]} >/dev/null; done
for ((round = 1; round <= rounds; round++)); do
    order=("${programs[@]}")
    if ((round % 2 == 0)); then order=(bare+text sprelio bare); fi
    for name in "${order[@]}"; do
        # A failed start is reported by the probe and leaves the round out.
        if measured=$($probe ${command[$name]}); then
            echo "$name $measured" >>"$results"
        fi
    done
done

python3 - "$results" "$rounds" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, *values = line.split()
    rows.setdefault(name, []).append([float(v) for v in values])
median = {name: [statistics.median(column) for column in zip(*values)] for name, values in rows.items()}
print(f"median of {sys.argv[2]} rounds    until first window mapped      resident after 1 s")
print(f"{'':20}{'wall ms':>10}{'CPU ms':>10}{'RSS MB':>16}")
for name in ("bare", "bare+text", "sprelio"):
    wall, cpu, rss = median[name]
    print(f"{name:20}{wall:10.1f}{cpu:10.1f}{rss / 1024:16.1f}")
(bw, bc, br), (sw, sc, sr) = median["bare"], median["sprelio"]
print(f"{'sprelio / bare':20}{sw / bw:10.2f}{sc / bc:10.2f}{sr / br:16.2f}")
(tw, tc, tr) = median["bare+text"]
print(f"{'sprelio / bare+text':20}{sw / tw:10.2f}{sc / tc:10.2f}{sr / tr:16.2f}")
PY
