# lane: builds
# Short libFuzzer runs of the fuzz targets of the display engine, the virtual display and the
# settings file reader (clang), 15 s each, two at a time (one a core), starting from the corpus
# in fuzz/corpus; new inputs and crashes go to a temporary folder, so the repository stays
# unchanged.
set -euo pipefail
source scripts/lib/steps.sh
build fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
targets=(read_id3 expand_placeholders vfd_parser read_settings)
status=0
printf '%s\n' "${targets[@]}" | WORK=$work xargs -P 2 -I '{}' sh -c \
    'mkdir -p "$WORK/{}" && exec build/fuzz/bin/{}_fuzzer -max_total_time=15 \
        -print_final_stats=1 -artifact_prefix="$WORK/{}-" "$WORK/{}" fuzz/corpus/{} \
        >"$WORK/{}.log" 2>&1' || status=$?
for target in "${targets[@]}"; do
    echo "== ${target}_fuzzer"
    cat "$work/$target.log"
done
exit "$status"
