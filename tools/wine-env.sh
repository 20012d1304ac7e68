# shellcheck shell=bash
# The environment every Wine process of the build runs in, shared by tools/wine-run and
# tools/wine-prefix so that a prefix's own services and the programs run in it agree.

# wine_environment PREFIX: exports the private prefix, the locale and the overrides.
wine_environment() {
    WINEPREFIX=$(realpath -m "$1")
    export WINEPREFIX
    export WINEDEBUG="${VERSELUME_WINEDEBUG:--all}"
    # The program's users run Windows in Romanian, with the ANSI code page 1250; Wine takes the
    # code page from the Unix locale.
    export LC_ALL="${VERSELUME_WINE_LOCALE:-ro_RO.UTF-8}"
    # Never offer to download Mono or Gecko when a prefix is created, and never let Wine turn
    # Start-menu shortcuts into menu entries of the Linux desktop.
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
}

# Read by the scripts that source this file.
# shellcheck disable=SC2034
VERSELUME_WINE64=/usr/lib/wine/wine64
VERSELUME_WINE32=/usr/lib/wine/wine
# shellcheck disable=SC2034
VERSELUME_WINESERVER=/usr/lib/wine/wineserver

# wine_loader PROGRAM: the loader for the program's width. Debian's loaders are per width (there
# is no wine64 on PATH); a 32-bit Windows program needs the i386 one. Anything that is not a
# 32-bit PE file (a built-in command such as reg, a 64-bit program) goes to the 64-bit loader.
# A program named by its path on the prefix's drive C (as the registry names an installed saver)
# is looked at there. Call after wine_environment.
wine_loader() {
    local program=$1 offset machine
    if [[ "$program" =~ ^[Cc]:\\ ]]; then
        program="$WINEPREFIX/drive_c/${program:3}"
        program=${program//\\//}
    fi
    if [ -f "$program" ] && [ "$(head -c 2 "$program")" = MZ ]; then
        offset=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
        machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$program" | tr -d ' ')
        if [ "$machine" = 014c ]; then
            echo "$VERSELUME_WINE32"
            return
        fi
    fi
    echo "$VERSELUME_WINE64"
}
