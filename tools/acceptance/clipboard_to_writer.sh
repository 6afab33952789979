#!/usr/bin/env bash
# Hand check of the clipboard target: types n̥t͡ʃ with the real buttons, sends it to the clipboard
# at 14 pt bold, pastes it into LibreOffice Writer and leaves writer.pdf and writer.png to look at.
# It also prints the code points that a plain-text reader (xclip) gets, which must be the Unicode IPA
# U+006E U+0325 U+0074 U+0361 U+0283.
# Needs: a built program (argument 1, default build/src/sprelio), Xvfb, xdotool, xclip,
# libreoffice-writer, python3-uno, poppler-utils; ImageMagick's import for the picture of the window.
# The click positions assume the default width 500.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=${1:-$repo/build/src/sprelio}
out=${2:-/tmp/sprelio-writer-check}
display=:${SPRELIO_CHECK_DISPLAY:-79}
port=${SPRELIO_CHECK_PORT:-2079}

rm -rf "$out" && mkdir -p "$out"
cp "$program" "$out/sprelio"
printf '[Settings]\r\nLanguage=0\r\nLeft=0\r\nTop=0\r\nWidth=500\r\nClipboardFontSize=14\r\n[Options]\r\nTarget=5\r\nBold=1\r\n' \
    >"$out/sprelio.ini"
# With the package installed the fonts are there for every user already.
if [ "${SPRELIO_FONTS_INSTALLED:-0}" != 1 ]; then
    "$repo/tools/install_fonts.sh" >/dev/null
fi
# ImageMagick's import where it is installed, else the build's own grab tool.
grab_screen() {
    if command -v import >/dev/null; then
        import -window root "$1"
    else
        "${SPRELIO_SCREEN_GRAB:-$repo/build/tools/screenshots/screen_grab}" "$1"
    fi
}

Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sprelio=
soffice=
# Only what this script started ends with it: an office or a program of somebody else stays.
stop() {
    [ -n "$soffice" ] && kill -- "-$soffice" 2>/dev/null
    [ -n "$sprelio" ] && kill "$sprelio" 2>/dev/null
    kill "$xvfb" 2>/dev/null || true
}
trap stop EXIT
sleep 1
"$out/sprelio" >"$out/sprelio.log" 2>&1 &
sprelio=$!
sleep 4 # the splash shows for 2.5 s

click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
click 263 34   # Diacritics 1
click 185 115  # Voiceless, pending
click 225 264  # n
click 264 147  # t
click 112 112  # tie, pending
click 343 186  # ʃ
grab_screen "$out/sprelio.png"
click 445 302  # send
sleep 0.5
printf 'plain text: '
xclip -o -selection clipboard -t UTF8_STRING | python3 -c \
    'import sys; print(" ".join("U+%04X" % ord(c) for c in sys.stdin.buffer.read().decode("utf-8")))' \
    | tee "$out/plaintext.txt"

# A profile of its own, so that the paste never goes to an office that is already running.
setsid soffice -env:UserInstallation="file://$out/office-profile" --writer --norestore --nologo \
    --accept="socket,host=127.0.0.1,port=$port;urp;" >"$out/soffice.log" 2>&1 &
soffice=$!
timeout 180 /usr/bin/python3 "$repo/tools/acceptance/lo_paste.py" "$out/writer.pdf" "$port" | tee "$out/report.txt"
pdftoppm -r 150 -png -f 1 -l 1 "$out/writer.pdf" "$out/writer"
echo "look at $out/writer-1.png and $out/sprelio.png"
