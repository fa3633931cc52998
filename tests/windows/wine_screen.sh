#!/bin/sh
# Runs a command with one headless X screen, 1024 x 768 at 24 bits, for every Wine run within it:
#     wine_screen.sh COMMAND [ARGUMENT...]
# run_under_wine.sh draws on the screen named in LORVAXEN_WINE_DISPLAY (and its key in
# LORVAXEN_WINE_XAUTHORITY), and starts a screen of its own this way when none is named.
set -eu
# shellcheck disable=SC2016 # the inner shell reads the DISPLAY that xvfb-run gives it
exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" sh -c '
    LORVAXEN_WINE_DISPLAY=$DISPLAY LORVAXEN_WINE_XAUTHORITY=${XAUTHORITY:-}
    export LORVAXEN_WINE_DISPLAY LORVAXEN_WINE_XAUTHORITY
    exec "$@"' wine_screen "$@"
