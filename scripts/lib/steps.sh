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

# cpu_seconds VAR: sets VAR to the CPU time (user and system) of this shell's children that
# have ended, in whole seconds. (It must run in this shell, not in a command substitution,
# whose subshell has children of its own.)
cpu_seconds() {
    local file
    file=$(mktemp)
    times >"$file"
    printf -v "$1" '%s' "$(awk 'NR == 2 { split($0, t, /[ms ]+/)
        print int(t[1] * 60 + t[2] + t[3] * 60 + t[4]) }' "$file")"
    rm -f "$file"
}

# step NAME LOG COMMAND...: runs COMMAND with its output in LOG and prints one line: the result,
# NAME, the seconds it took and the CPU seconds it used (on a busy machine the first grows, the
# second hardly); after a failure the log's telling parts follow. With STEP_EARLY=1 NAME is
# printed before the command starts (for a user waiting on a terminal). Returns COMMAND's
# status.
step() {
    local name=$1 log=$2 start=$SECONDS cpu_before cpu_after status=0 line
    shift 2
    mkdir -p "$(dirname "$log")"
    cpu_seconds cpu_before
    if [[ ${STEP_EARLY:-} == 1 ]]; then
        printf '%-22s ' "$name"
    fi
    "$@" >"$log" 2>&1 || status=$?
    cpu_seconds cpu_after
    printf -v line '%4ds  (cpu %4ds)' $((SECONDS - start)) $((cpu_after - cpu_before))
    if [[ ${STEP_EARLY:-} == 1 ]]; then
        line="$( ((status == 0)) && echo ok || echo FAIL) $line"
    else
        line="$(printf '%-5s %-20s' "$( ((status == 0)) && echo ok || echo FAIL)" "$name") $line"
    fi
    if ((status != 0)); then
        line+="   (whole output: $log)"$'\n'$(show_failure "$log" | sed 's/^/      /')
    fi
    printf '%s\n' "$line"
    return "$status"
}

# build PRESET [TARGET...]: configures and builds a preset (only the TARGETs when given). One
# build of a folder at a time: scripts/test builds in two lanes at once, and a demo may start
# during a test run, and two builds of one folder would break each other.
build() {
    local preset=$1
    shift
    holding_build_lock "$preset" bash -c \
        'cmake --preset "$0" && cmake --build --preset "$0" ${1:+--target} "${@}"' "$preset" "$@"
}

# holding_build_lock PRESET COMMAND...: runs COMMAND while no build of PRESET's folder runs, and
# keeps builds out until it ends. ctest needs this too: a configure rewrites the folder's test
# discovery files, and a ctest reading one half written ends in an endless include.
holding_build_lock() {
    local preset=$1
    shift
    mkdir -p build
    flock "build/.$preset.lock" "$@"
}
