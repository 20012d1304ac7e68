# Shared by the tools: package installation and a private X server.

# Debian packages the build, the tests and the demo need.
VERSELUME_PACKAGES=(
    cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    wine64 xvfb xauth x11-apps xdotool imagemagick
    nsis fp-utils zip unzip locales python3
)

# Installs whatever of the list is missing, and the locale Wine runs in; does nothing when all is
# there.
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

# Starts an Xvfb on a free display when none is set, and exports DISPLAY. The caller stops it
# with stop_private_display (only the process started here is stopped).
VERSELUME_XVFB_PID=
start_private_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local numberfile
    numberfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberfile" \
        </dev/null >/dev/null 2>&1 &
    VERSELUME_XVFB_PID=$!
    local tries=0
    while [ ! -s "$numberfile" ] && [ $tries -lt 100 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    export DISPLAY=":$(head -n 1 "$numberfile")"
    rm -f "$numberfile"
}

stop_private_display() {
    if [ -n "$VERSELUME_XVFB_PID" ]; then
        kill "$VERSELUME_XVFB_PID" 2>/dev/null || true
        wait "$VERSELUME_XVFB_PID" 2>/dev/null || true
        VERSELUME_XVFB_PID=
    fi
}
