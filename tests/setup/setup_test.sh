#!/usr/bin/env bash
# scripts/setup on a machine whose package mirror misbehaves, with stand-ins for apt-get,
# dpkg-query, dpkg and sudo first on PATH: nothing is installed or fetched, no root is needed, and
# every package of the lists looks missing, so the install path is taken on any machine.
#     setup_test.sh SOURCE_DIR
set -u
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# The stand-ins keep what they were asked in $work/calls and what they installed in
# $work/installed; SCENARIO says how the mirror fails.
cat >"$work/bin/apt-get" <<'END'
#!/usr/bin/env bash
echo "apt-get $*" >>"$WORK/calls"
case $1 in
update)
    if [ "$SCENARIO" = update-always ] ||
        { [ "$SCENARIO" = update-once ] && ! [ -e "$WORK/updated-once" ]; }; then
        touch "$WORK/updated-once"
        echo "E: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (4123 != 4096). Mirror sync in progress?" >&2
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
        exit 100
    fi
    exit 0
    ;;
install)
    packages=()
    for word in "${@:2}"; do
        [[ $word == -* ]] || packages+=("$word")
    done
    # One package that cannot be installed fails the whole transaction, as apt-get's does.
    for package in "${packages[@]}"; do
        if [ "$package" = "$BROKEN" ]; then
            echo "E: Unable to correct problems, you have held broken packages." >&2
            exit 100
        fi
    done
    printf '%s\n' "${packages[@]}" >>"$WORK/installed"
    exit 0
    ;;
esac
exit 1
END
cat >"$work/bin/dpkg-query" <<'END'
#!/bin/sh
for package; do :; done
grep -qxF -- "$package" "$WORK/installed" 2>/dev/null && printf 'install ok installed' && exit 0
exit 1
END
cat >"$work/bin/dpkg" <<'END'
#!/bin/sh
case $1 in
--print-architecture) echo amd64 ;;
--print-foreign-architectures) ;;
--add-architecture) echo "dpkg $*" >>"$WORK/calls" ;;
*) exit 1 ;;
esac
END
cat >"$work/bin/sudo" <<'END'
#!/bin/sh
exec "$@"
END
chmod +x "$work/bin"/*

failures=0
# SCENARIO BROKEN REQUIRE_WIN32 EXPECTED_STATUS, then lines that must be in the output (+) or not (-)
check() {
    local name=$1 scenario=$2 broken=$3 require=$4 expected=$5
    shift 5
    rm -f "$work/calls" "$work/installed" "$work/updated-once"
    local output status=0
    output=$(WORK=$work SCENARIO=$scenario BROKEN=$broken LORVAXEN_REQUIRE_WIN32=$require \
        PATH="$work/bin:$PATH" bash "$source_dir/scripts/setup" 2>&1) || status=$?
    local fault=""
    if [ "$expected" = nonzero ]; then
        [ "$status" != 0 ] || fault+=" exit 0, not a failure;"
    elif [ "$status" != "$expected" ]; then
        fault+=" exit $status, not $expected;"
    fi
    local want
    for want in "$@"; do
        case $want in
        +*) grep -qxF -- "${want:1}" <<<"$output" || fault+=" no line '${want:1}';" ;;
        -*) grep -qF -- "${want:1}" <<<"$output" && fault+=" a line with '${want:1}';" ;;
        =*) grep -qxF -- "${want:1}" "$work/installed" || fault+=" ${want:1} not installed;" ;;
        esac
    done
    if [ -n "$fault" ]; then
        echo "FAILED $name:$fault"
        echo "$output" | sed 's/^/    /'
        failures=$((failures + 1))
    else
        echo "passed $name"
    fi
}

index="http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz"
check "an index that fails once is fetched again" update-once "" 0 0 \
    "-PACKAGE INDEX NOT UPDATED" "-NOT INSTALLED" "=cmake" "=wine32:i386"
check "an index that keeps failing is named, and the rest installed" update-always "" 0 0 \
    "+PACKAGE INDEX NOT UPDATED: $index (going on with the lists this machine has)" \
    "-NOT INSTALLED" "=cmake" "=wine32:i386"
check "32-bit Wine that cannot be installed is named, and the rest installed" update-always \
    wine32:i386 0 0 "+NOT INSTALLED: wine32:i386 (the 32-bit Windows runs will be left out)" \
    "=cmake" "=lintian"
check "a required package that cannot be installed fails the setup, naming it" update-once \
    cmake 0 nonzero "-NOT INSTALLED" \
    "+scripts/setup: cannot install required packages: cmake (apt-get's message is above); ./test cannot go on without them" \
    "=lintian"
check "32-bit Wine required and not to be had fails the setup" update-once wine32:i386 1 nonzero \
    "-NOT INSTALLED" \
    "+scripts/setup: cannot install required packages: wine32:i386 (apt-get's message is above); ./test cannot go on without them"

[ "$failures" -eq 0 ]
