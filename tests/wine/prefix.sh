#!/bin/bash
# The Wine prefix of the tests: "setup" creates it afresh, starts a persistent wineserver and
# registers the fake server; "cleanup" ends the wineserver.
#   prefix.sh setup|cleanup WRAPPER FAKEOFFICE
set -euo pipefail
mode=$1
wrapper=$2
server=$3
if [ "${SPRELIO_SKIP_WINE:-0}" = 1 ]; then
    exit 77
fi
prefix=$(sed -n "s/^export WINEPREFIX='\(.*\)'$/\1/p" "$wrapper")
case "$mode" in
setup)
    start=$(date +%s)
    "$wrapper" --tool wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    "$wrapper" --tool wineboot -i
    "$wrapper" --tool wineserver -w
    "$wrapper" --tool wineserver -p
    "$wrapper" "$server" --register </dev/null
    echo "prefix ready in $(($(date +%s) - start)) s"
    ;;
cleanup)
    "$wrapper" --tool wineserver -k || true
    ;;
esac
