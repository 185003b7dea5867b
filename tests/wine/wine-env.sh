# Sourced by the Wine tests: a private Wine prefix inside the 64-bit build tree, no debug output,
# no Mono/Gecko installers, and windows on a virtual X server.
WIN64_BUILD=${WIN64_BUILD:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/win64}
export WINEPREFIX="$WIN64_BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE64=/usr/lib/wine/wine64

# Runs a Windows program under Wine on a virtual X server; standard input and output pass through.
run_windows() {
    xvfb-run -a "$WINE64" "$@" 2> >(grep -a -v -e '^X connection to' -e '^wine: ' -e '^XIO: ' -e '^ *after [0-9]* requests' >&2)
}

# Stops this prefix's wineserver (and only this prefix's).
stop_wine() {
    wineserver -k 2>/dev/null || true
}
