#!/bin/sh
# Runs a 64-bit Windows program under Wine, in a Wine prefix of its own and with the screen at the
# given resolution, and exits with the program's status:
#     run_under_wine.sh PREFIX DPI PROGRAM [ARGUMENT...]
# Run it inside an X server (xvfb-run): Wine's graphics need a display. The prefix is made on first
# use; a fresh one takes Wine a minute or so to boot, and one left half-made is made again. The
# program finds the resolution asked for in LORVAXEN_SCREEN_DPI.
set -eu
prefix=$1
dpi=$2
shift 2

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or HTML engine to offer installing
# Debian keeps the 64-bit loader out of PATH, in /usr/lib/wine.
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "run_under_wine: no wine64 (Debian package wine64)" >&2; exit 1; }
export WINELOADER="$wine"
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

ready="$prefix/.booted"
boot() {
    rm -rf "$prefix"
    mkdir -p "$prefix"
    # wineboot returns before the programs it starts have finished; the server ends after them.
    timeout 300 "$wine" wineboot --init && timeout 300 "$wineserver" -w && touch "$ready"
}
if [ ! -f "$ready" ]; then
    started=$(date +%s)
    if ! boot; then
        echo "run_under_wine: wineboot failed; once more" >&2
        "$wineserver" -k || true
        boot
    fi
    echo "run_under_wine: prefix made in $(($(date +%s) - started)) s"
fi

timeout 60 "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null
status=0
LORVAXEN_SCREEN_DPI=$dpi timeout 600 "$wine" "$@" || status=$?
"$wineserver" -w || true
exit "$status"
