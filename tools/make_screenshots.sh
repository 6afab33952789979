#!/usr/bin/env bash
# Takes the pictures of the user guides from the real program under Xvfb, in each guide's language:
# the main window, the options menu with its copy submenu, a set of diacritics on the special bar,
# and the assignment editing mode.
# Writes docs/images/{main,copyas,diacritics,editing}_{g,e}.png; run tools/make_docs.sh afterwards.
#   tools/make_screenshots.sh [build folder]     (default: build)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
grab=$build/tools/screenshots/screen_grab
[ -x "$grab" ] || { echo "make_screenshots: $grab is missing; build first" >&2; exit 1; }

if [ -z "${SPRELIO_SHOTS_INNER:-}" ]; then
    export SPRELIO_SHOTS_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/usr" >/dev/null
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Sprelio" "$XDG_RUNTIME_DIR" "$repo/docs/images"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

# Positions within the window at its design width, on the tool bar.
edit_button=(66 35)
options_menu=(30 10)
composition_field=(250 75)
diacritics1_button=(263 35)

for language in g e; do
    offset=0
    [ "$language" = e ] && offset=10000
    printf '[Settings]\r\nLanguage=%s\r\nLeft=0\r\nTop=0\r\nWidth=500\r\n' "$offset" \
        >"$XDG_CONFIG_HOME/Sprelio/sprelio.ini"
    "$work/usr/bin/sprelio" &
    pid=$!
    window=
    for _ in $(seq 200); do
        for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            width=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
            [ "${width:-0}" -gt 400 ] && window=$id
        done
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "make_screenshots: the main window did not show" >&2; exit 1; }
    sleep 1
    "$grab" "$repo/docs/images/main_$language.png" "$window"
    # The options menu, then its second item, the copy submenu, from the keyboard. The window's
    # corner is the screen's: no window manager frames it.
    xdotool mousemove --window "$window" "${options_menu[@]}" click 1
    sleep 0.5
    xdotool key Down Down Right
    sleep 0.8
    "$grab" "$repo/docs/images/copyas_$language.png" 0 0 0 500 210
    xdotool key Escape Escape
    # The composition field takes the focus back from the menu bar, as it has it in the other pictures.
    xdotool mousemove --window "$window" "${composition_field[@]}" click 1 mousemove 0 0
    sleep 0.3
    xdotool mousemove --window "$window" "${diacritics1_button[@]}" click 1 mousemove 0 0
    sleep 1
    "$grab" "$repo/docs/images/diacritics_$language.png" "$window"
    xdotool mousemove --window "$window" "${edit_button[@]}" click 1 mousemove 0 0
    sleep 1.5
    "$grab" "$repo/docs/images/editing_$language.png" "$window"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "docs/images/{main,copyas,diacritics,editing}_$language.png"
done
