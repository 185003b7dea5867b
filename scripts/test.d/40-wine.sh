# lane: wine
# End-to-end tests of the 64-bit build under Wine. All but the scripts' test share one Wine
# session (a virtual X server with openbox, and the prefix's wineserver kept up), so every
# program starts on a warm Wine; the scripts' test runs scripts/lumhost and scripts/demo, which
# start sessions of their own. The demo's and the scripts' tests come last: they run the
# scripts' build commands, which wait while the other lane builds the same folder.
set -uo pipefail
last=(tests/wine/demo_test.py tests/wine/scripts_test.py)
tests=()
for test in tests/wine/*_test.sh tests/wine/*_test.py; do
    [[ " ${last[*]} " == *" $test "* ]] || tests+=("$test")
done
# Runs the tests given, each with its time, and exits with the number that failed.
run_tests='
    failed=0
    for test; do
        start=$SECONDS
        if [[ $test == *.py ]]; then python3 "$test"; else bash "$test"; fi ||
            failed=$((failed + 1))
        echo "== $test: $((SECONDS - start)) s"
    done
    exit $failed'
python3 scripts/lib/winehost.py bash -c "$run_tests" run-tests "${tests[@]}" "${last[0]}"
failed=$?
bash -c "$run_tests" run-tests "${last[1]}" || failed=$((failed + $?))
exit "$failed"
