# A quick run of the display engine's refresh-tick benchmark (optimised build): prints the
# timings and fails when memory grows across ticks.
set -euo pipefail
cmake --preset bench
cmake --build --preset bench -j2
out=$(build/bench/bin/display_bench --benchmark_min_time=0.05)
echo "$out"
growth=$(grep -E '_(mean|median) ' <<<"$out" | grep -o 'heap_growth_bytes=[^ ]*' | sort -u)
if [[ "$growth" != "heap_growth_bytes=0" ]]; then
    echo "memory grows across refresh ticks: $growth"
    exit 1
fi
