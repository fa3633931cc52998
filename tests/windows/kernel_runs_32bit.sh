#!/usr/bin/env bash
# Whether this machine runs 32-bit programs at all, learnt by starting one: the loader of 32-bit
# Wine. A kernel built without 32-bit emulation, or with it switched off, refuses to start it.
#     kernel_runs_32bit.sh
# Exits 0 when it starts; 77 when the kernel refuses it, saying so in one line; 1 when there is no
# 32-bit Wine to try or it fails for another reason, which is a fault of the machine's set-up.
set -u
loader=/usr/lib/wine/wine # Debian keeps the 32-bit loader here (package wine32:i386)

if [ ! -x "$loader" ]; then
    echo "no 32-bit Wine: $loader is missing (Debian package wine32:i386)" >&2
    exit 1
fi
status=0
output=$(LC_ALL=C "$loader" --version 2>&1) || status=$?
if [ "$status" -eq 0 ]; then
    exit 0
fi
if [ "$status" -eq 126 ] && [[ $output == *"Exec format error"* ]]; then
    echo "32-bit Windows programs NOT RUN: this kernel cannot start 32-bit programs" \
        "($loader: Exec format error)"
    exit 77
fi
echo "32-bit Wine does not start (exit $status): $output" >&2
exit 1
