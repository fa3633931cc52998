#!/usr/bin/env bash
# Runs the tests of the Windows build trees, their Wine runs all on one headless screen:
#     ctest_under_wine.sh BUILD_DIR...
# Where the kernel cannot start 32-bit programs, or 32-bit Wine is not installed, it says so in one
# line and leaves the 32-bit Wine runs out (label wine32), running the rest; the reason is added to
# the file LORVAXEN_NOT_RUN names, when it names one, for ./test's closing summary. Any other
# failure fails the whole, after every tree has had its run.
set -euo pipefail
here=$(dirname "$0")
if [ -z "${LORVAXEN_WINE_DISPLAY:-}" ]; then
    exec "$here/wine_screen.sh" "$0" "$@"
fi

leave_out=()
status=0
why=$("$here/kernel_runs_32bit.sh") || status=$?
case $status in
0) ;;
77)
    echo "$why"
    leave_out=(-LE wine32)
    if [ -n "${LORVAXEN_NOT_RUN:-}" ]; then
        echo "the 32-bit Windows runs (${why#*NOT RUN: })" >>"$LORVAXEN_NOT_RUN"
    fi
    ;;
*) exit "$status" ;;
esac

failed=0
for dir in "$@"; do
    ctest --test-dir "$dir" --output-on-failure "${leave_out[@]}" || failed=1
done
exit "$failed"
