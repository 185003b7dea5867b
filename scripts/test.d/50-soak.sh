# lane: soak
# Two minutes of the plug-in under lumhost and Wine, with title changes, set rotation, the
# dialog's preview and one unplug of the display's device: nothing may grow after the first
# minute (scripts/soak --minutes 60 gives the long figure). It has a Wine prefix of its own, so
# it runs beside the Wine tests.
set -euo pipefail
LUM_WINEPREFIX=build/win64/soak-wineprefix python3 scripts/soak --minutes 2 --unplug-every 70
