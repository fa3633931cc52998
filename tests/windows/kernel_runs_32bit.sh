#!/usr/bin/env bash
# Whether this machine runs 32-bit Windows programs at all, learnt by starting one: the loader of
# 32-bit Wine. A kernel built without 32-bit emulation, or with it switched off, refuses to start
# it; a package mirror out of step can keep 32-bit Wine from being installed.
#     kernel_runs_32bit.sh
# Exits 0 when it starts; 77 when the kernel refuses it or 32-bit Wine is not installed, saying so
# in one line; 1 when it fails for another reason, which is a fault of the machine's set-up. With
# LORVAXEN_REQUIRE_WIN32=1 the 32-bit runs are not to be left out, and 77 becomes 1.
set -u
loader=/usr/lib/wine/wine # Debian keeps the 32-bit loader here (package wine32:i386)

not_run() {
    if [ "${LORVAXEN_REQUIRE_WIN32:-0}" = 1 ]; then
        echo "32-bit Windows programs cannot be run, and LORVAXEN_REQUIRE_WIN32=1 requires them: $1" >&2
        exit 1
    fi
    echo "32-bit Windows programs NOT RUN: $1"
    exit 77
}
if [ ! -x "$loader" ]; then
    not_run "32-bit Wine is not installed ($loader is missing; Debian package wine32:i386)"
fi
status=0
output=$(LC_ALL=C "$loader" --version 2>&1) || status=$?
if [ "$status" -eq 0 ]; then
    exit 0
fi
if [ "$status" -eq 126 ] && [[ $output == *"Exec format error"* ]]; then
    not_run "this kernel cannot start 32-bit programs ($loader: Exec format error)"
fi
echo "32-bit Wine does not start (exit $status): $output" >&2
exit 1
