# shellcheck shell=bash
# Shared by the tools: package installation, the builds, a private X server and Wine prefixes.

VERSELUME_TOOLS=$(dirname "${BASH_SOURCE[0]}")

# Debian packages the build, the tests and the demo need. wine32:i386 runs the 32-bit program;
# osslsigncode and openssl sign a release and make the test's certificate, faketime moves the
# clock of the second packaging, python3-jsonschema and python3-yaml check the winget manifest.
VERSELUME_PACKAGES=(
    cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    wine64 wine32:i386 xvfb xauth x11-apps xdotool imagemagick
    nsis fp-utils zip unzip locales python3 shellcheck python3-fonttools fonts-dejavu-core
    osslsigncode openssl faketime python3-jsonschema python3-yaml
)

# Installs whatever of the list is missing (adding the i386 architecture first when needed), and
# the locale Wine runs in; does nothing when all is there.
install_packages() {
    local missing=() package
    for package in "${VERSELUME_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
            missing+=("$package")
        fi
    done
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    if [ ${#missing[@]} -ne 0 ]; then
        echo "Installing: ${missing[*]}"
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            "${sudo[@]}" dpkg --add-architecture i386
        fi
        "${sudo[@]}" apt-get update -q
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
            "${missing[@]}"
    fi
    # tools/wine-run gives Wine the Romanian locale; without it compiled, Wine still takes code
    # page 1250 from the name but cannot name any file outside ASCII ("ş" in a user's path). The
    # tests of the list letters also run under the English one, whose code page is 1252.
    local name
    for name in ro_RO en_US; do
        if ! locale -a 2>/dev/null | grep -qix "$name.utf8"; then
            echo "Generating the locale $name.UTF-8"
            "${sudo[@]}" localedef -i "$name" -f UTF-8 "$name.UTF-8"
        fi
    done
}

# can_run_32bit_programs: true when this machine runs 32-bit x86 programs. The i386 Wine loader is
# itself one, so it starts exactly when the kernel runs such code (some kernels are built or
# booted without it).
can_run_32bit_programs() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Fails with one clear line when this machine cannot run 32-bit x86 programs.
require_32bit_programs() {
    if ! can_run_32bit_programs; then
        echo "This machine cannot run 32-bit x86 programs (the i386 Wine loader does not start)," \
            "so the 32-bit program cannot run here." >&2
        exit 1
    fi
}

# configure_and_build PRESET [TARGET...]: configures the preset (quietly) and builds the targets
# named, or everything when none is.
configure_and_build() {
    local preset=$1
    shift
    local targets=()
    [ $# -eq 0 ] || targets=(--target "$@")
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" "${targets[@]}"
}

# start_private_display [XVFB ARGUMENTS...]: starts an Xvfb on a free display when none is set
# (one 1280x1024 screen unless told otherwise), and exports DISPLAY. The caller stops it with
# stop_private_display (only the process started here is stopped). An X server that does not
# come up within 10 s stops the script.
VERSELUME_XVFB_PID=
start_private_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local screens=("$@") numberfile tries=0
    [ ${#screens[@]} -ne 0 ] || screens=(-screen 0 1280x1024x24)
    numberfile=$(mktemp)
    Xvfb -displayfd 3 "${screens[@]}" -nolisten tcp 3>"$numberfile" </dev/null >/dev/null 2>&1 &
    VERSELUME_XVFB_PID=$!
    while [ ! -s "$numberfile" ] && [ $tries -lt 100 ] && kill -0 "$VERSELUME_XVFB_PID" 2>/dev/null; do
        sleep 0.1
        tries=$((tries + 1))
    done
    local number
    number=$(head -n 1 "$numberfile")
    rm -f "$numberfile"
    if [ -z "$number" ]; then
        echo "The private X server (Xvfb ${screens[*]}) did not start." >&2
        stop_private_display
        exit 1
    fi
    export DISPLAY=":$number"
}

stop_private_display() {
    if [ -n "$VERSELUME_XVFB_PID" ]; then
        kill "$VERSELUME_XVFB_PID" 2>/dev/null || true
        wait "$VERSELUME_XVFB_PID" 2>/dev/null || true
        VERSELUME_XVFB_PID=
    fi
}

# stop_prefixes_and_display PREFIX...: the clean-up of a script that ran Wine on its own display:
# stops each prefix's wineserver, then the private X server (if this script started one).
stop_prefixes_and_display() {
    local prefix
    for prefix in "$@"; do
        "$VERSELUME_TOOLS/wine-prefix" stop "$prefix"
    done
    stop_private_display
}

# no_arguments SCRIPT ARGUMENTS...: for the scripts that take none; prints the usage otherwise.
no_arguments() {
    local script=$1
    shift
    if [ $# -ne 0 ]; then
        echo "usage: $script (takes no arguments)" >&2
        exit 2
    fi
}
