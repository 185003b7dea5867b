# Sourced by the command-line tests of one tool, after `tool` is set to the tool's path: a work
# folder removed at exit (write-protected entries too), `fail` counting a failed expectation,
# `run` and `run_with_input` running the tool, and `finish` ending with the summary.
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0

# fail MESSAGE...: reports a failed expectation on standard error and counts it.
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# run ARGS...: runs the tool (at most 20 s) with standard input from /dev/null; sets rc, out, err.
run() {
    rc=0
    timeout 20 "$tool" "$@" </dev/null >"$work/stdout" 2>"$work/stderr" || rc=$?
    out=$(cat "$work/stdout")
    err=$(cat "$work/stderr")
}

# run_with_input TEXT ARGS...: the same with TEXT on standard input.
run_with_input() {
    local text=$1
    shift
    rc=0
    printf '%s' "$text" | timeout 20 "$tool" "$@" >"$work/stdout" 2>"$work/stderr" || rc=$?
    out=$(cat "$work/stdout")
    err=$(cat "$work/stderr")
}

# finish: exits 1 with the count of failed checks, else says that all passed.
finish() {
    if ((failures > 0)); then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "$(basename "$tool"): all checks passed"
}
