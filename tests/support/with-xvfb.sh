#!/bin/sh
# Runs a command on an X server of its own. Xvfb picks a free display number itself and names it
# once it accepts connections, so tests started side by side never race for one number, as
# "xvfb-run -a" does when two of them look for a free one at the same moment.
#
# Usage: with-xvfb.sh COMMAND [ARGUMENT...]
set -u

folder=$(mktemp -d) || exit 1
xvfb=
stop() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null
        wait "$xvfb" 2>/dev/null
    fi
    rm -rf "$folder"
}
trap stop EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$folder/display" 2>"$folder/log" &
xvfb=$!
# The number is written, with a line end, when the server is ready; a busy machine may take long.
waited=0
while ! grep -q '^[0-9][0-9]*$' "$folder/display" 2>/dev/null; do
    if ! kill -0 "$xvfb" 2>/dev/null || [ "$waited" -ge 1200 ]; then
        echo "with-xvfb.sh: Xvfb did not start" >&2
        cat "$folder/log" >&2
        exit 1
    fi
    sleep 0.05
    waited=$((waited + 1))
done
DISPLAY=":$(head -n 1 "$folder/display")"
export DISPLAY
"$@"
