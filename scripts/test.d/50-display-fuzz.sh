# Short libFuzzer runs of the fuzz targets of the display engine, the virtual display and the
# settings file reader (clang), starting from the corpus in fuzz/corpus; new inputs go to a
# temporary folder, so the repository stays unchanged.
set -euo pipefail
cmake --preset fuzz
cmake --build --preset fuzz -j2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in read_id3 expand_placeholders vfd_parser read_settings; do
    mkdir -p "$work/$target"
    build/fuzz/bin/${target}_fuzzer -max_total_time=15 -print_final_stats=1 \
        -artifact_prefix="$work/" "$work/$target" "fuzz/corpus/$target"
done
