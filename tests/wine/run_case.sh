#!/bin/bash
# Runs sprelio-send.exe against the fake server for one case file and compares what it printed,
# its exit code and the server's log with the case. Sections of a case file:
#   [server]  lines of fakeoffice.conf, and running=APP to start APP before the send, or
#             unregister=PROGID to send while PROGID is not registered
#   [run]     the arguments of sprelio-send, one a line
#   [output]  what sprelio-send prints (exit code 1 when it ends with an error line)
#   [log]     the server's log
#   run_case.sh WRAPPER SPRELIO_SEND FAKEOFFICE CASE
set -uo pipefail
wrapper=$1
send=$2
server=$3
case_file=$4
if [ "${SPRELIO_SKIP_WINE:-0}" = 1 ]; then
    exit 77
fi
dir=$(dirname "$server")
section() { awk -v s="[$1]" '$0 == s { on = 1; next } /^\[/ { on = 0 } on && NF' "$case_file"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -f "$dir"/fakeoffice.log "$dir"/fakeoffice.ready "$dir"/fakeoffice.stop "$dir"/send.out
section server | grep -v -e '^running=' -e '^unregister=' >"$dir/fakeoffice.conf" || true
running=$(section server | sed -n 's/^running=//p')
unregister=$(section server | sed -n 's/^unregister=//p')

if [ -n "$unregister" ]; then
    "$wrapper" "$server" --unregister "$unregister" </dev/null >/dev/null || fail "could not unregister"
fi
pid=
if [ -n "$running" ]; then
    "$wrapper" "$server" --running "$running" </dev/null >/dev/null &
    pid=$!
    for _ in $(seq 1200); do
        [ -e "$dir/fakeoffice.ready" ] && break
        sleep 0.1
    done
    [ -e "$dir/fakeoffice.ready" ] || fail "the running server did not come up"
fi

args=()
while IFS= read -r line; do
    args+=("$line")
done < <(section run)
start=$(date +%s%N)
"$wrapper" "$send" "${args[@]}" </dev/null >"$dir/send.out"
code=$?
echo "sprelio-send took $((($(date +%s%N) - start) / 1000000)) ms"

if [ -n "$pid" ]; then
    touch "$dir/fakeoffice.stop"
    for _ in $(seq 600); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
fi
if [ -n "$unregister" ]; then
    "$wrapper" "$server" --register </dev/null >/dev/null || fail "could not register again"
fi

echo "--- output"
tr -d '\r' <"$dir/send.out"
echo "--- server log"
cat "$dir/fakeoffice.log" 2>/dev/null
expected_code=0
section output | tail -n 1 | grep -q '^error ' && expected_code=1
[ "$code" = "$expected_code" ] || fail "exit code $code, expected $expected_code"
diff -u <(section output) <(tr -d '\r' <"$dir/send.out") || fail "output differs"
diff -u <(section log) <(cat "$dir/fakeoffice.log" 2>/dev/null) || fail "server log differs"
