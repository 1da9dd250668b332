#!/usr/bin/env bash
# Runs the Windows tests of build-windows under Wine, offscreen, in a Wine prefix of
# their own under the cache folder $1. A socat null modem joins COM5 and COM6 of that
# prefix, two pseudo-terminals; the tests open only those, never COM1 to COM4, which
# Wine maps to the machine's real serial ports by itself.
set -euo pipefail
shopt -s inherit_errexit

cd "$(dirname "$0")/../.."
cache=$1
export WINEPREFIX=$cache/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1

dos=$WINEPREFIX/dosdevices
rm -f "$dos/com5" "$dos/com6"
socat pty,raw,echo=0,link="$dos/com5" pty,raw,echo=0,link="$dos/com6" &
socat_pid=$!
trap 'kill "$socat_pid" 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "$dos/com5" ] && [ -e "$dos/com6" ] && break
    sleep 0.1
done
export LORVANE_WINE_PORTS="5 6"
# Now and then a Wine process does not end after its test has finished, or a pop-up's
# loop inside another loop is left waiting; such a test runs again after its timeout.
ctest --test-dir build-windows --output-on-failure --no-tests=error -j "$(nproc)" --repeat after-timeout:3
