#!/usr/bin/env bash
# Installs the phonetic fonts for the current user, so that word processors
# show the text that Sprelio pastes. Running it again changes nothing unless
# the fonts in data/fonts have changed.
#   tools/install_fonts.sh [font folder]    (default: data/fonts of this tree)
set -euo pipefail

source_dir="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../data/fonts" && pwd)}"
target_dir="${XDG_DATA_HOME:-$HOME/.local/share}/fonts/sprelio"

files=(LautbildSerif.ttf LautbildSansSerif.ttf OFL.txt DejaVu-LICENSE.txt FONTLOG.txt)

for file in "${files[@]:0:2}"; do
    if [ ! -f "$source_dir/$file" ]; then
        echo "install_fonts: $source_dir/$file not found" >&2
        exit 1
    fi
done

mkdir -p "$target_dir"
changed=0
for file in "${files[@]}"; do
    [ -f "$source_dir/$file" ] || continue
    if ! cmp -s "$source_dir/$file" "$target_dir/$file"; then
        install -m 644 "$source_dir/$file" "$target_dir/$file"
        changed=1
    fi
done

if [ "$changed" = 1 ] || ! fc-list : family | grep -qx 'Lautbild Serif'; then
    if command -v fc-cache >/dev/null 2>&1; then
        fc-cache -f "$target_dir"
    else
        echo "install_fonts: fc-cache not found; the fonts show after the next font cache update" >&2
    fi
fi
echo "phonetic fonts installed in $target_dir"
