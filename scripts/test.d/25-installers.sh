# lane: builds
# The plug-in's installers as scripts/package makes them (after the 32-bit build), and the
# static checks of the shipped one: PE32, and exactly the shipped DLL in its archive. The
# x86-64 twin is run under Wine by the Wine lane's tests/wine/installer_test.py.
set -euo pipefail
scripts/package --installers-only
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
tests/static/check-installer.sh "build/package/gen_lum-$version-setup.exe"
