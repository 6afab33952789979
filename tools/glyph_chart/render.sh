#!/usr/bin/env bash
# Builds the chart tool and draws both phonetic fonts, codes 32 to 255, each
# mark over a base of the class its variant serves.
#   tools/glyph_chart/render.sh [output folder]   (default: /tmp)
# Writes glyph_chart-serif.png and glyph_chart-sans.png; keep them out of git.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
fonts="$(cd "$here/../../data/fonts" && pwd)"
out="${1:-/tmp}"
build="${GLYPH_CHART_BUILD:-/tmp/sprelio-glyph-chart-build}"

cmake -S "$here" -B "$build" -G Ninja >/dev/null
cmake --build "$build" >/dev/null
mkdir -p "$out"
"$build/glyph_chart" "$fonts/LautbildSerif.ttf" "$out/glyph_chart-serif.png"
"$build/glyph_chart" "$fonts/LautbildSansSerif.ttf" "$out/glyph_chart-sans.png"
echo "$out/glyph_chart-serif.png"
echo "$out/glyph_chart-sans.png"
