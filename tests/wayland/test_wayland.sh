#!/usr/bin/env bash
# The real program on Wayland desktops, as a user meets it: headless sway, once with Xwayland beside
# it and once natively, and headless weston. The compositors and the program run as an unprivileged
# user (uid 65534 when the test runs as root), each compositor with a runtime folder of its own.
#
#   test_wayland.sh PROGRAM
#
# SPRELIO_SHOTS_DIR, when set, receives screenshots of the native window under sway.
# Exit 77: no compositor could start on this machine, so nothing was tested.
set -u

program=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wlclient=$here/wlclient.py
shots=${SPRELIO_SHOTS_DIR:-}
# Every wait is bounded by this many seconds.
wait_seconds=60

failures=0
ran=0
pass() { echo "PASS: $*"; }
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
skip() { echo "SKIP: $*"; }

work=$(mktemp -d /tmp/sprelio-wayland.XXXXXX)
chmod 755 "$work"
if [ "$(id -u)" = 0 ]; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    owner=65534:65534
else
    as_user=()
    owner=$(id -u):$(id -g)
fi
started=()
cleanup() {
    local pid
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${started[@]}"; do
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

# A folder of the test user's own.
user_folder() {
    mkdir -p "$1"
    chown "$owner" "$1"
    chmod 700 "$1"
}

# The program in a folder of its own, so that its settings file lies beside it.
user_folder "$work/prog"
cp "$program" "$work/prog/sprelio"
chown "$owner" "$work/prog/sprelio"
ini=$work/prog/sprelio.ini

write_ini() {
    printf '[Settings]\r\nLanguage=10000\r\nLeft=321\r\nTop=99\r\nWidth=600\r\nStayOnTop=1\r\n[Options]\r\nTarget=5\r\n' >"$ini"
    chown "$owner" "$ini"
}

# as_session RUNTIME [VAR=VALUE...] COMMAND...: runs a command as the test user with a clean environment.
as_session() {
    local runtime=$1
    shift
    "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$work/prog" LANG=C.UTF-8 XDG_RUNTIME_DIR="$runtime" "$@"
}

# spawn RUNTIME [VAR=VALUE...] COMMAND... &: the same in the background, where $! is then the command.
spawn() {
    local runtime=$1
    shift
    exec "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$work/prog" LANG=C.UTF-8 XDG_RUNTIME_DIR="$runtime" "$@"
}

wait_until() {
    local deadline=$((SECONDS + wait_seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

wait_for_exit() {
    wait_until bash -c "! kill -0 $1 2>/dev/null"
}

# ---------------------------------------------------------------------------------------------- sway

sway_run=$work/sway-run
user_folder "$sway_run"
cat >"$work/sway.conf" <<EOF
output HEADLESS-1 resolution 1280x800 position 0 0
default_border none
default_floating_border none
for_window [app_id=".*"] floating enable
for_window [class=".*"] floating enable
# A launcher's activation token is the user's request to bring a window forward.
focus_on_window_activation focus
exec env > $sway_run/session
EOF
chmod 644 "$work/sway.conf"

sway_session() {
    as_session "$sway_run" WAYLAND_DISPLAY="$wayland" SWAYSOCK="$swaysock" "$@"
}

# tree QUERY [PID]: what sway's tree says: "shell" of the main window of PID ("Sprelio" and the
# file, not the splash), "origin" of its client area, or the pid of the "focused" window.
tree() {
    sway_session swaymsg -t get_tree | python3 -c '
import json, sys
query, pid = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 0
def walk(node):
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from walk(child)
    yield node
for node in walk(json.load(sys.stdin)):
    if query == "focused" and node.get("focused"):
        print(node.get("pid", 0))
    elif node.get("pid") == pid and node.get("visible") and (node.get("name") or "").startswith("Sprelio "):
        if query == "shell":
            print(node["shell"])
        elif query == "origin":
            print(node["rect"]["x"] + node["window_rect"]["x"], node["rect"]["y"] + node["window_rect"]["y"])
' "$@"
}

has_window() { [ -n "$(tree shell "$1")" ]; }
focused_is() { [ "$(tree focused)" = "$1" ]; }

# click X Y ...: left clicks at points of the client area whose corner is at origin, by a pointer
# that lives as long as the compositor.
click() {
    local answer
    while [ $# -ge 2 ]; do
        printf 'move %d %d\npress\nrelease\n' $((origin_x + $1)) $((origin_y + $2)) >&"${pointer[1]}"
        for _ in 1 2 3; do
            read -r -t "$wait_seconds" answer <&"${pointer[0]}" || fail "the pointer does not answer"
        done
        shift 2
    done
}

move_to() {
    local answer
    printf 'move %d %d\n' $((origin_x + $1)) $((origin_y + $2)) >&"${pointer[1]}"
    read -r -t "$wait_seconds" answer <&"${pointer[0]}" || fail "the pointer does not answer"
}

shoot() {
    [ -n "$shots" ] || return 0
    mkdir -p "$shots"
    # Only for the picture: the window's last clicks are drawn by then. Nothing is checked on it.
    sleep 2
    sway_session grim "$sway_run/shot.png" && cp "$sway_run/shot.png" "$shots/$1.png" && echo "screenshot: $shots/$1.png"
}

close_window() {
    sway_session swaymsg "[pid=$1] kill" >/dev/null
    wait_for_exit "$1" || fail "the program does not end when its window is closed"
}

offers_rtf() { sway_session timeout 20 wl-paste -l 2>/dev/null | grep -qx text/rtf; }

stored() { grep -a "^$1=" "$ini" | tr -d '\r'; }

run_sway_native() {
    # Native: composing by clicks, the clipboard, a second start, and the stored place.
    write_ini
    spawn "$sway_run" WAYLAND_DISPLAY="$wayland" QT_QPA_PLATFORM=wayland "$work/prog/sprelio" &
    local first=$!
    started+=("$first")
    if ! wait_until has_window "$first"; then
        fail "native: no window appeared"
        return
    fi
    local shell
    shell=$(tree shell "$first")
    [ "$shell" = xdg_shell ] && pass "native: the window is a Wayland window" ||
        fail "native: the window is a $shell window"
    wait_until focused_is "$first" || fail "native: the new window does not get the focus"
    read -r origin_x origin_y <<<"$(tree origin "$first")"

    # The first set of diacritics, the ring below, n, then the send button with the clipboard as
    # the target: n̥ as Unicode, and the RTF in the phonetic font.
    click 263 34 215 126 410 258
    shoot sway-native-composed
    click 533 352
    # The compositor has passed the click on; the program answers it in its own time. The clipboard
    # was empty before, so the send has arrived once it offers something.
    wait_until offers_rtf || fail "native: nothing arrives on the clipboard"
    local text
    text=$(sway_session timeout 20 wl-paste -n -t 'text/plain;charset=utf-8')
    [ "$text" = $'n\u0325' ] && pass "native: the clipboard gives n̥ as Unicode to wl-paste" ||
        fail "native: the clipboard gives '$text' ($(printf '%s' "$text" | od -An -tx1)) instead of n̥"
    local types rtf
    types=$(sway_session timeout 20 wl-paste -l)
    rtf=$(sway_session timeout 20 wl-paste -n -t text/rtf)
    if grep -qx text/rtf <<<"$types" && [[ "$rtf" == '{\rtf1'*'Lautbild Serif'* ]]; then
        pass "native: the clipboard gives the RTF to wl-paste"
    else
        fail "native: the clipboard offers [$types] and the RTF '$rtf'"
    fi

    # The Options menu, with the stay-on-top item disabled.
    if [ -n "$shots" ]; then
        click 33 8
        sleep 1
        move_to 70 96
        move_to 71 97
        shoot sway-native-options
        click 33 8
    fi

    # Here the last-active-window target is to show its "X11 only" message on native Wayland.

    # A second start, handed an activation token as a launcher hands one, brings the first forward
    # from another workspace.
    sway_session swaymsg workspace 2 >/dev/null
    if focused_is "$first"; then
        fail "native: the window keeps the focus on another workspace"
    else
        local token
        token=$(sway_session python3 "$wlclient" token)
        if [ -z "$token" ]; then
            fail "native: sway gave no activation token"
        else
            sway_session XDG_ACTIVATION_TOKEN="$token" QT_QPA_PLATFORM=wayland timeout 60 "$work/prog/sprelio"
            local second=$?
            [ "$second" = 0 ] || fail "native: the second start ended with $second"
            wait_until focused_is "$first" && pass "native: a second start brings the first window forward" ||
                fail "native: after a second start the focus is on pid $(tree focused), not on $first"
        fi
    fi
    shoot sway-native-raised

    close_window "$first"
    local place
    place="$(stored Left) $(stored Top) $(stored StayOnTop) $(stored ShowHints)"
    [ "$place" = "Left=321 Top=99 StayOnTop=1 ShowHints=1" ] &&
        pass "native: the stored place and stay-on-top stay, the other settings are written" ||
        fail "native: the settings file holds '$place' after the run"
}

run_sway_xwayland() {
    # Xwayland beside the Wayland display: the program takes X11, and asks for the stored place.
    if [ -z "$xdisplay" ]; then
        skip "sway started no Xwayland (is xwayland installed?)"
    else
        write_ini
        spawn "$sway_run" WAYLAND_DISPLAY="$wayland" DISPLAY="$xdisplay" "$work/prog/sprelio" &
        local pid=$!
        started+=("$pid")
        if ! wait_until has_window "$pid"; then
            fail "with Xwayland: no window appeared"
        else
            local shell
            shell=$(tree shell "$pid")
            [ "$shell" = xwayland ] && pass "with Xwayland the program runs on X11" ||
                fail "with Xwayland the program's window is a $shell window"
            # sway centres floating windows by its own rule, so the request is what can be checked.
            asks_for_place() {
                local window
                for window in $(as_session "$sway_run" DISPLAY="$xdisplay" xdotool search --onlyvisible --pid "$pid"); do
                    as_session "$sway_run" DISPLAY="$xdisplay" xprop -id "$window" WM_NORMAL_HINTS |
                        grep -q "location: 321, 99" && return 0
                done
                return 1
            }
            wait_until asks_for_place && pass "with Xwayland the window asks for the stored place" ||
                fail "with Xwayland no window asks for the stored place"
            close_window "$pid"
        fi
    fi

}

if ! command -v sway >/dev/null; then
    skip "sway is not installed"
else
    spawn "$sway_run" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
    sway_pid=$!
    started+=("$sway_pid")
    if ! wait_until test -s "$sway_run/session" || ! kill -0 "$sway_pid" 2>/dev/null; then
        skip "sway cannot start here: $(tail -n 3 "$work/sway.log")"
    else
        wayland=$(sed -n 's/^WAYLAND_DISPLAY=//p' "$sway_run/session")
        xdisplay=$(sed -n 's/^DISPLAY=//p' "$sway_run/session")
        swaysock=$(ls "$sway_run"/sway-ipc.*.sock)
        ran=$((ran + 1))
        coproc pointer { spawn "$sway_run" WAYLAND_DISPLAY="$wayland" OUTPUT_SIZE=1280x800 python3 "$wlclient" pointer; }
        started+=("$pointer_PID")
        read -r -t "$wait_seconds" _ <&"${pointer[0]}" || fail "no pointer could be added to the seat"
        run_sway_native
        run_sway_xwayland
        [ "$failures" = 0 ] || cp "$work/sway.log" "${TMPDIR:-/tmp}/sprelio-wayland-sway.log"
    fi
fi

# -------------------------------------------------------------------------------------------- weston

weston_run=$work/weston-run
user_folder "$weston_run"
if ! command -v weston >/dev/null; then
    skip "weston is not installed"
else
    spawn "$weston_run" weston --backend=headless-backend.so --socket=sprelio-test --idle-time=0 \
        --width=1024 --height=700 >"$work/weston.log" 2>&1 &
    weston_pid=$!
    started+=("$weston_pid")
    if ! wait_until test -S "$weston_run/sprelio-test" || ! kill -0 "$weston_pid" 2>/dev/null; then
        skip "weston cannot start here: $(tail -n 3 "$work/weston.log")"
    else
        ran=$((ran + 1))
        # Only a Wayland display: the program runs natively without being told. Its protocol trace
        # shows the main window drawing: a buffer attached after the window's first configure.
        write_ini
        spawn "$weston_run" WAYLAND_DISPLAY=sprelio-test WAYLAND_DEBUG=1 "$work/prog/sprelio" \
            2>"$work/weston-client.log" &
        pid=$!
        started+=("$pid")
        drew() {
            awk '/set_title\("Sprelio [^"]+"\)/ { titled = 1 }
                 titled && /xdg_surface@[0-9]+\.configure/ { configured = 1 }
                 configured && /-> wl_surface@[0-9]+\.attach\(wl_buffer/ { found = 1 }
                 END { exit !found }' "$work/weston-client.log"
        }
        wait_until drew && pass "weston: the program starts natively and its main window draws" ||
            fail "weston: the main window did not draw ($(grep -c . "$work/weston-client.log") protocol lines)"
        kill "$pid" 2>/dev/null
        wait_for_exit "$pid"
    fi
fi

if [ "$ran" = 0 ]; then
    echo "no Wayland compositor could start: nothing tested"
    exit 77
fi
[ "$failures" = 0 ]
