# lane: cpu
# The display engine's refresh-tick benchmark (optimised build), run just long enough to show
# that memory does not grow across ticks (a few seconds): fails when it does. Its timings mean
# little here, beside the other lane; the full run is
#   cmake --preset bench && cmake --build --preset bench && build/bench/bin/display_bench
set -euo pipefail
source scripts/lib/steps.sh
build bench display_bench
out=$(build/bench/bin/display_bench --benchmark_min_time=0.05)
echo "$out"
growth=$(grep -E '_(mean|median) ' <<<"$out" | grep -o 'heap_growth_bytes=[^ ]*' | sort -u)
if [[ "$growth" != "heap_growth_bytes=0" ]]; then
    echo "memory grows across refresh ticks: $growth"
    exit 1
fi
