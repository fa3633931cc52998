#!/bin/sh
# Runs a Windows program under Wine with the screen at the given resolution, and exits with the
# program's status:
#     run_under_wine.sh PREFIXES DPI PROGRAM [ARGUMENT...]
# The program's own header says whether it is 32-bit or 64-bit, and it runs in the Wine prefix of
# that bitness in the folder PREFIXES (win32 or win64), made on its first use: a fresh one takes
# Wine half a minute or so to boot, and one left half-made is made again. Runs that share a prefix
# must take turns. A 32-bit prefix is a 32-bit Windows, as the library's home platform is.
#
# It draws on the screen that wine_screen.sh names, or starts one such screen for itself. The
# program finds the resolution asked for in LORVAXEN_SCREEN_DPI. Where the kernel cannot start
# 32-bit programs, a 32-bit program is not run and the exit status is 77, a skip to ctest.
set -eu
here=$(dirname "$0")
if [ -z "${LORVAXEN_WINE_DISPLAY:-}" ]; then
    exec "$here/wine_screen.sh" "$0" "$@"
fi
mkdir -p "$1"
prefixes=$(cd "$1" && pwd) # Wine takes none but a full path
dpi=$2
program=$3
shift 2

# The machine field of the PE header, which starts where the DOS header's e_lfanew points.
header=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
machine=$(od -An -tx2 -j$((header + 4)) -N2 "$program" | tr -d ' ')
case $machine in
014c)
    "$here/kernel_runs_32bit.sh" >&2 || exit $?
    bits=32
    # Debian keeps the loaders out of PATH, in /usr/lib/wine.
    wine=/usr/lib/wine/wine
    ;;
8664)
    bits=64
    wine=$(command -v wine64 || true)
    [ -n "$wine" ] || wine=/usr/lib/wine/wine64
    ;;
*)
    echo "run_under_wine: $program is not a 32-bit or 64-bit Windows program" >&2
    exit 1
    ;;
esac
[ -x "$wine" ] || { echo "run_under_wine: no $wine (Debian package wine$bits)" >&2; exit 1; }
prefix=$prefixes/win$bits

export DISPLAY="$LORVAXEN_WINE_DISPLAY" XAUTHORITY="${LORVAXEN_WINE_XAUTHORITY:-}"
export WINEPREFIX="$prefix" WINEARCH=win$bits WINELOADER="$wine" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or HTML engine to offer installing
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

ready="$prefix/.booted"
boot() {
    rm -rf "$prefix"
    mkdir -p "$prefix"
    # wineboot returns before the programs it starts have finished; the server ends after them.
    # Mendova's form asks for the Japanese user-interface font of Windows; Wine puts a CJK font of
    # the system's in its place, so the captions render. With LORVAXEN_WINE_PLAIN=1 the prefix
    # stays as Wine makes it, a Windows without that font.
    timeout 300 "$wine" wineboot --init && timeout 300 "$wineserver" -w &&
        if [ "${LORVAXEN_WINE_PLAIN:-0}" != 1 ]; then
            timeout 60 "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
                /v 'MS UI Gothic' /t REG_SZ /d 'Noto Sans CJK JP' /f >/dev/null
        fi && touch "$ready"
}
if [ ! -f "$ready" ]; then
    started=$(date +%s)
    if ! boot; then
        echo "run_under_wine: wineboot failed; once more" >&2
        "$wineserver" -k || true
        boot
    fi
    echo "run_under_wine: $bits-bit prefix made in $(($(date +%s) - started)) s"
fi

timeout 60 "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null
status=0
LORVAXEN_SCREEN_DPI=$dpi timeout 600 "$wine" "$@" || status=$?
"$wineserver" -w || true
exit "$status"
