#!/usr/bin/env bash
# Acceptance check of the Debian package on this machine, the way a new user meets it: installs the
# package with apt, finds the program in the application list as a launcher does (by parsing the
# desktop entries), starts it from that entry as a newly made user under Xvfb with a window manager,
# answers the first start's language question, checks the main window and the settings file, pastes a
# transcription into LibreOffice Writer as that user, then removes the package and the user and shows
# that no file of the package is left behind (purged, as dpkg keeps a removed package's scripts).
#   tools/acceptance/package_as_new_user.sh [PACKAGE.deb]   (default: build-package/sprelio_*.deb)
# Needs root, Xvfb, openbox, wmctrl, xdotool, xclip, LibreOffice Writer, python3-uno, poppler-utils
# and a build folder with the screen grab tool (build/tools/screenshots/screen_grab).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
deb=$(realpath "${1:-$(ls "$repo"/build-package/sprelio_*_amd64.deb | head -n1)}")
user=sprelio-check
out=/tmp/sprelio-package-check
display=:${SPRELIO_CHECK_DISPLAY:-78}
id=org.example.sprelio.Sprelio
[ "$(id -u)" = 0 ] || { echo "run as root" >&2; exit 1; }
! id "$user" >/dev/null 2>&1 || { echo "user $user exists already; remove it first" >&2; exit 1; }

# The scripts and the grab tool where the new user can run them.
rm -rf "$out" && mkdir -p "$out/repo/tools/acceptance"
cp "$repo/build/tools/screenshots/screen_grab" "$repo/tools/acceptance/"*.{sh,py} "$out/repo/tools/acceptance/"
chmod -R a+rX "$out"
tools=$out/repo/tools/acceptance
failures=0
check() { # check DESCRIPTION COMMAND...
    if "${@:2}" >"$out/check.log" 2>&1; then echo "ok: $1"; else echo "FAIL: $1"; sed 's/^/    /' "$out/check.log"; failures=$((failures + 1)); fi
}
# Every file outside the places that change by themselves (caches, logs, the package database).
snapshot() {
    find /usr /etc /opt /var -xdev \( -path /var/cache -o -path /var/log -o -path /var/lib/dpkg \
        -o -path /var/lib/apt -o -path /var/tmp -o -path /var/mail -o -path /var/spool \) -prune -o -print | sort
}
snapshot >"$out/before"

echo "installing $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$out/apt-install.log" 2>&1 ||
    { cat "$out/apt-install.log"; exit 1; }

# The application list: the desktop entries in the data folders, as launchers read them.
entry=
IFS=: read -ra folders <<<"${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
for folder in "${folders[@]}"; do
    [ -f "$folder/applications/$id.desktop" ] && entry=$folder/applications/$id.desktop && break
done
check "the program is in the application list" test -n "$entry"
exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -n1)
command_line=$(sed 's/ %[fFuUick]//g' <<<"$exec_line")
check "its entry is an application, under Utility and Education" \
    bash -c 'grep -qx "Type=Application" "$1" && grep -q "^Categories=.*Utility;.*Education;" "$1" && ! grep -qx "NoDisplay=true" "$1"' _ "$entry"
check "its command is found on the user's path" su - nobody -s /bin/sh -c "command -v ${command_line%% *}"

useradd -m -s /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
as_user() { su - "$user" -c "export DISPLAY=$display; $1"; }
as_user "setsid openbox >/dev/null 2>&1 &"
for _ in $(seq 100); do DISPLAY=$display wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done

set +o pipefail # polling: a search that finds nothing yet is no failure
echo "starting it from its entry as $user: $command_line"
as_user "cd ~ && setsid $command_line >program.log 2>&1 &"
pid=
for _ in $(seq 100); do pid=$(pgrep -u "$user" -x "${command_line%% *}" | head -n1); [ -n "$pid" ] && break; sleep 0.1; done
export DISPLAY=$display
# The first start asks for the language; Alt+E picks English.
for _ in $(seq 200); do [ -n "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null)" ] && break; sleep 0.1; done
question=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1 || true)
check "the first start asks for the language" test -n "$question"
"$tools/screen_grab" "$out/first-start.png" || true
[ -n "$question" ] && xdotool windowactivate --sync "$question" key alt+e
for _ in $(seq 100); do xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -qx "$question" || break; sleep 0.1; done
# The main window comes after the splash: the one window left, wider than the splash.
main=
for _ in $(seq 600); do
    windows=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null)
    if [ "$(wc -w <<<"$windows")" = 1 ] &&
       [ "$(xdotool getwindowgeometry "$windows" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')" -gt 320 ]; then
        main=$windows
        break
    fi
    sleep 0.1
done
check "the main window follows" test -n "$main"
sleep 1
"$tools/screen_grab" "$out/main-window.png" "$main" || true
check "it draws with the installed phonetic font" \
    grep -q "/usr/share/fonts/truetype/sprelio/LautbildSerif.ttf" "/proc/$pid/maps"
[ -n "$main" ] && wmctrl -i -c "$main"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
check "it ends when its window is closed" bash -c '! kill -0 "$1" 2>/dev/null' _ "$pid"
check "it keeps its settings in the user's configuration folder" grep -q '^Language=' "$home/.config/Sprelio/sprelio.ini"
cp "$home/program.log" "$out/" 2>/dev/null || true
kill $xvfb 2>/dev/null || true
trap - EXIT

echo "pasting into LibreOffice Writer as $user"
as_user "SPRELIO_FONTS_INSTALLED=1 SPRELIO_SCREEN_GRAB=$tools/screen_grab $tools/clipboard_to_writer.sh /usr/bin/sprelio ~/writer" \
    >"$out/writer.log" 2>&1 || true
cat "$out/writer.log"
check "the plain text on the clipboard is the Unicode IPA" grep -q "U+006E U+0325 U+0074 U+0361 U+0283" "$out/writer.log"
check "Writer shows the pasted glyphs in the phonetic face" grep -qi "font.*Lautbild" "$out/writer.log"
cp "$home"/writer/*.png "$home"/writer/*.pdf "$out/" 2>/dev/null || true

echo "removing the package and the user"
# The office may leave a helper behind.
pkill -KILL -u "$user" 2>/dev/null || true
for _ in $(seq 50); do pgrep -u "$user" >/dev/null || break; sleep 0.1; done
userdel -r "$user" >/dev/null 2>&1 || echo "could not remove the user $user"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq sprelio >"$out/apt-remove.log" 2>&1 ||
    { cat "$out/apt-remove.log"; exit 1; }
snapshot >"$out/after"
check "removing leaves no file behind" diff "$out/before" "$out/after"
check "fc-list no longer sees the phonetic fonts" bash -c '! runuser -u nobody -- fc-list | grep -q Lautbild'

[ "$failures" = 0 ] || { echo "$failures checks failed; see $out"; exit 1; }
echo "all acceptance checks passed; pictures in $out"
