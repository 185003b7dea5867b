# Sourced by scripts/test, scripts/demo and scripts/lumhost: runs their steps (package checks,
# builds, test steps) with each step's whole output in a log file and one line on the terminal.

# show_failure LOG: what a reader needs of a failed step's log: the places that report a failure
# (a failed test with its output, a compiler error, a failed check), then the log's last lines.
show_failure() {
    grep -a -n -B3 -A25 -E '\[  FAILED  \]|: Failure$|: error:|^FAIL|FAIL: |Traceback|ERROR: ' "$1" |
        head -n 100
    echo "..."
    tail -n 15 "$1"
}

# step NAME LOG COMMAND...: prints NAME, runs COMMAND with its output in LOG, then completes the
# line with the result and the seconds it took; after a failure the log's telling parts follow.
# Returns COMMAND's status.
step() {
    local name=$1 log=$2 start=$SECONDS status=0
    shift 2
    mkdir -p "$(dirname "$log")"
    printf '%-22s ' "$name"
    "$@" >"$log" 2>&1 || status=$?
    if ((status == 0)); then
        printf 'ok   %4ds\n' $((SECONDS - start))
    else
        printf 'FAIL %4ds   (whole output: %s)\n' $((SECONDS - start)) "$log"
        show_failure "$log" | sed 's/^/      /'
    fi
    return "$status"
}
