#!/usr/bin/env bash
# Builds the Debian package, installs it into a fresh root, checks what it installs, starts the
# installed program under Xvfb as a user would, and removes the package again.
#   test_package.sh BUILD-FOLDER SCREEN-GRAB-TOOL
set -euo pipefail
self=$(realpath "$0")

if [ "${1:-}" = --run-program ]; then
    # Second stage, inside Xvfb: program, grab tool, folder for the results.
    program=$2 grab=$3 out=$4
    set +e +o pipefail # polling: a search that finds nothing yet is no failure
    openbox >/dev/null 2>&1 &
    for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
    "$program" >"$out/program.log" 2>&1 &
    pid=$!
    echo "$pid" >"$out/pid"
    # Which windows of the program are shown, as "width" per window, widest last.
    shown() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null |
              while read -r id; do xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1 '"$id"'/p'; done |
              sort -n; }
    splash=0 main=
    for _ in $(seq 600); do
        windows=$(shown)
        if [ -n "$windows" ]; then
            widest=$(tail -n1 <<<"$windows")
            if [ "${widest%% *}" -le 320 ]; then
                splash=1
            elif [ "$(wc -l <<<"$windows")" -eq 1 ]; then
                main=${widest#* }
                break
            fi
        fi
        sleep 0.1
    done
    [ "$splash" = 1 ] || { echo "the splash was not shown alone first"; exit 1; }
    [ -n "$main" ] || { echo "the main window did not follow the splash"; exit 1; }
    sleep 1
    "$grab" "$out/main-window.png" "$main"
    grep -o '/[^ ]*fonts/truetype/sprelio/Lautbild[A-Za-z]*\.ttf' "/proc/$pid/maps" | sort -u >"$out/fonts-in-use"
    wmctrl -i -c "$main"
    for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        echo "the program did not end when its window was closed"
        exit 1
    fi
    exit 0
fi

build=$(cd "$1" && pwd)
grab=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -z "${SPRELIO_KEEP_TEST_ROOT:-}" ] || trap 'echo "kept $work"' EXIT
failures=0
check() { # check DESCRIPTION COMMAND...
    if "${@:2}" >"$work/check.log" 2>&1; then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        sed 's/^/    /' "$work/check.log"
        failures=$((failures + 1))
    fi
}

echo "building the package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/pkg/sprelio_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in qt6-translations-l10n fontconfig libqt6widgets6 libqt6gui6 libc6; do
    check "the package depends on $needed" grep -qE "(^|, )$needed( |,|$)" <<<"$depends"
done
check "the package recommends xdg-utils, which opens the help and the homepage" \
    bash -c '[[ "$(dpkg-deb -f "$1" Recommends)" =~ (^|, )xdg-utils( |,|$) ]]' _ "$deb"
check "the only maintainer scripts are postinst and postrm, for the font cache" \
    bash -c '[ "$(dpkg-deb --ctrl-tarfile "$1" | tar -t | grep -vE "^\./(control|md5sums)?$" | sort | xargs)" = "./postinst ./postrm" ] &&
             dpkg-deb -I "$1" postinst | grep -q fc-cache && dpkg-deb -I "$1" postrm | grep -q fc-cache' _ "$deb"

echo "installing it into a fresh root"
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
: >"$root/var/lib/dpkg/status"
snapshot() { (cd "$root" && find . -mindepth 1 -not -path './var/lib/dpkg' -not -path './var/lib/dpkg/*' \
                  -not -path ./var/lib -not -path ./var | sort); }
snapshot >"$work/before"
# Files in a package belong to root; an ordinary user installs them under fakeroot.
as_root=()
[ "$(id -u)" = 0 ] || as_root=(fakeroot)
dpkg_root() { "${as_root[@]}" dpkg --root="$root" --force-not-root --force-script-chrootless --force-depends \
                   --log=/dev/null "$@"; }
dpkg_root -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }

id=org.example.sprelio.Sprelio
while read -r path; do
    check "installs $path" test -s "$root$path"
done <<EOF_LIST
/usr/bin/sprelio
/usr/share/sprelio/deutsch.vkc
/usr/share/sprelio/english.vkc
/usr/share/sprelio/sprelio_g.pdf
/usr/share/sprelio/sprelio_e.pdf
/usr/share/sprelio/sprelio-lautbild.map
/usr/share/fonts/truetype/sprelio/LautbildSerif.ttf
/usr/share/fonts/truetype/sprelio/LautbildSansSerif.ttf
/usr/share/applications/$id.desktop
/usr/share/metainfo/$id.metainfo.xml
/usr/share/icons/hicolor/scalable/apps/$id.svg
/usr/share/icons/hicolor/16x16/apps/$id.png
/usr/share/icons/hicolor/48x48/apps/$id.png
/usr/share/icons/hicolor/256x256/apps/$id.png
EOF_LIST
if [ -n "$(find "$build/lib/sprelio" -name sprelio-uno.so 2>/dev/null)" ]; then
    check "installs the office bridge's module" \
        bash -c 'ls "$1"/usr/lib/*/sprelio/sprelio-uno.so "$1"/usr/lib/sprelio/sprelio-uno.so 2>/dev/null | grep -q .' _ "$root"
fi
check "installs nothing outside /usr" \
    bash -c '! dpkg-deb -c "$1" | awk "{print \$6}" | grep -vE "^\./(usr(/.*)?)?$"' _ "$deb"
check "the program is executable" test -x "$root/usr/bin/sprelio"
check "the package recommends Charis SIL, the face of converted documents" \
    bash -c 'dpkg-deb -f "$1" Recommends | grep -q "fonts-sil-charis"' _ "$deb"
check "the desktop entry is valid" desktop-file-validate "$root/usr/share/applications/$id.desktop"
check "the desktop entry starts the program, listed under Utility and Education" \
    bash -c 'grep -qx "Exec=sprelio" "$1" && grep -qx "Categories=Utility;Education;" "$1" &&
             grep -q "^Keywords=.*IPA" "$1" && grep -q "^Keywords\[de\]=.*Lautschrift" "$1"' _ \
    "$root/usr/share/applications/$id.desktop"
check "the metadata are valid" appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"

# fontconfig as it reads the installed tree, with a cache of its own.
cat >"$work/fonts.conf" <<EOF_CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig><dir>$root/usr/share/fonts</dir><cachedir>$work/fontcache</cachedir></fontconfig>
EOF_CONF
families=$(FONTCONFIG_FILE=$work/fonts.conf fc-list : family)
for family in "Lautbild Serif" "Lautbild Sans Serif"; do
    check "fc-list sees $family" grep -qx "$family" <<<"$families"
done

echo "starting the installed program from another folder"
status=0
out=$work/run
mkdir -p "$out" "$work/elsewhere" "$work/home" "$work/config/Sprelio" "$work/runtime"
chmod 700 "$work/runtime"
# The language is chosen already, so that the splash is the first window.
printf '[Settings]\r\nLanguage=10000\r\n' >"$work/config/Sprelio/sprelio.ini"
(
    cd "$work/elsewhere"
    export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime \
           XDG_DATA_HOME=$work/home/.local/share XDG_CACHE_HOME=$work/home/.cache
    unset QT_QPA_PLATFORM
    "$(dirname "$self")/../support/with-xvfb.sh" "$self" --run-program "$root/usr/bin/sprelio" "$grab" "$out"
) >"$out/stage.log" 2>&1 || status=$?
check "the splash shows, then the main window, which closes" test "$status" = 0 -a -s "$out/main-window.png"
[ "$status" = 0 ] || sed 's/^/    /' "$out/stage.log" "$out/program.log" 2>/dev/null || true
cp "$out/main-window.png" "$build/package-test-main-window.png" 2>/dev/null || true
# The face in use is the serif one; its glyphs come from the bundled file, not from a stand-in face.
check "the window draws with the bundled phonetic font" grep -q "/fonts/truetype/sprelio/LautbildSerif.ttf$" "$out/fonts-in-use"
check "the settings are written to the user's configuration folder" \
    grep -q '^Width=' "$work/config/Sprelio/sprelio.ini"
check "no settings file beside the program or in the current folder" \
    bash -c '! ls "$1/usr/bin/sprelio.ini" "$2/sprelio.ini" 2>/dev/null' _ "$root" "$work/elsewhere"

echo "removing the package"
dpkg_root -P sprelio >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
snapshot >"$work/after"
check "removing leaves the root as it was" diff "$work/before" "$work/after"

[ "$failures" = 0 ] || { echo "$failures checks failed"; exit 1; }
echo "all package checks passed"
