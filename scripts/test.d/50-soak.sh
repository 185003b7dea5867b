# lane: wine
# Two minutes of the plug-in under lumhost and Wine, with title changes, set rotation, the
# dialog's preview and one unplug of the display's device: nothing may grow after the first
# minute (scripts/soak --minutes 60 gives the long figure).
set -euo pipefail
python3 scripts/soak --minutes 2 --unplug-every 70
