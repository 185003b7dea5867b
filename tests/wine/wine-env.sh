# Sourced by the Wine tests at their start: the 64-bit build's private Wine prefix, no debug
# output, no Mono/Gecko installers, and the test's programs in one Wine session
# (scripts/lib/winehost.py: a virtual X server with a window manager, and the prefix's
# wineserver kept up for all of them). A test started outside a session runs itself again
# inside one, which ends with it.
WIN64_BUILD=$(cd "${WIN64_BUILD:-$(dirname "${BASH_SOURCE[0]}")/../../build/win64}" && pwd)
prefix=$(realpath -m "${LUM_WINEPREFIX:-$WIN64_BUILD/wineprefix}")
if [[ ${LUM_WINESESSION:-} != "$prefix" ]]; then
    export WIN64_BUILD
    exec python3 "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/winehost.py" bash "$0" "$@"
fi
export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE64=/usr/lib/wine/wine64

# Runs a Windows program under Wine; standard input and output pass through.
run_windows() {
    "$WINE64" "$@" 2> >(grep -a -v -e '^wine: ' >&2)
}
