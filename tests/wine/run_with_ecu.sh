#!/bin/sh
# Runs a Windows test program under wine against velarin-ecusim (built for this
# Linux host) on a pseudo-terminal that wine serves as COM42, with the shim that
# gives the pty what wine asks of a serial driver preloaded.
# Usage: run_with_ecu.sh ECUSIM SHIM.so WINE PROGRAM.exe [ARGS...]
set -eu
ecusim=$1
shim=$2
wine=$3
shift 3
: "${WINEPREFIX:?set WINEPREFIX to the prefix the tests run in}"

link="$WINEPREFIX/dosdevices/com42"
log=$(mktemp)
# The burst 3 s after the start: the program opens the port well before.
"$ecusim" --ecu 15m --link "$link" --ignition-delay 3000 --seconds 120 >"$log" 2>&1 &
ecu=$!
stop_ecu() {
  kill "$ecu" 2>/dev/null || true
  wait "$ecu" 2>/dev/null || true
  rm -f "$log"
}
trap stop_ecu EXIT

tries=0
until [ -L "$link" ]; do
  tries=$((tries + 1))
  if [ "$tries" -gt 200 ] || ! kill -0 "$ecu" 2>/dev/null; then
    cat "$log" >&2
    echo "run_with_ecu.sh: velarin-ecusim did not come up" >&2
    exit 1
  fi
  sleep 0.05
done

status=0
VELARIN_WINE_COM=COM42 LD_PRELOAD="$shim" "$wine" "$@" || status=$?
exit "$status"
