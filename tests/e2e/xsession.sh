# Sourced by the end-to-end scripts: an X server of the script's own, a work directory removed
# on exit, and the real program started under xprobe, which reports its windows and its end.
#
#   require_tools TOOL...        skip (77) without Xvfb; fail without any other TOOL
#   start_x_server               Xvfb on a free display; exports DISPLAY and a private runtime
#   launch MATCH PROGRAM [ARG...]
#                                starts PROGRAM and waits until a window whose title contains
#                                MATCH ('' = any) is mapped; sets $window, $ready, $probe_out.
#                                xprobe ends the program if it still runs $supervise_ms after
#                                that (default $exit_timeout_ms) and prints exit_code=N on its end

# Bounded waits: generous enough for a first start with cold font caches on a busy CI machine.
readonly map_timeout_ms=${map_timeout_ms:-20000}
readonly exit_timeout_ms=${exit_timeout_ms:-10000}
readonly xvfb_timeout_s=15
readonly skip=77

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

require_tools() {
    if ! command -v Xvfb >/dev/null; then
        echo "SKIP: Xvfb is not installed (scripts/setup installs it)"
        exit $skip
    fi
    # Beyond Xvfb, a missing tool is a broken setup, not a reason to skip.
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
    done
}

work=$(mktemp -d)
# In a sanitizer build the programs' reports go to files of their own: a case that does not
# look at how the program ends, or one that kills it, still fails on them below.
mkdir "$work/sanitizer"
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}log_path=$work/sanitizer/asan
export UBSAN_OPTIONS=${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}log_path=$work/sanitizer/ubsan
xvfb_pid='' probe_pid=''
cleanup() {
    local status=$? pid report
    # xprobe takes the program down with it.
    for pid in $probe_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || continue
        wait "$pid" 2>/dev/null || true
    done
    for report in "$work"/sanitizer/*; do
        [ -e "$report" ] || continue
        echo "FAIL: sanitizer report $(basename "$report"):" >&2
        cat "$report" >&2
        status=1
    done
    rm -rf "$work"
    exit $status
}
trap cleanup EXIT

start_x_server() {
    # -displayfd lets the server pick a free display and tells us once it accepts connections,
    # so parallel tests neither collide nor poll.
    exec {xvfb_out}< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp \
        2>"$work/xvfb.log")
    xvfb_pid=$!
    local display_number
    if ! read -r -t $xvfb_timeout_s display_number <&$xvfb_out; then
        cat "$work/xvfb.log" >&2
        fail "Xvfb did not become ready within ${xvfb_timeout_s}s"
    fi
    mkdir -m 700 "$work/runtime"
    export DISPLAY=:$display_number QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
}

launch() {
    local match=$1
    shift
    exec {probe_out}< <(exec "$xprobe" launch-and-wait "$match" $map_timeout_ms \
        --supervise "${supervise_ms:-$exit_timeout_ms}" -- "$@" 2>"$work/xprobe.log")
    probe_pid=$!
    ready=''
    if ! read -r -t $((map_timeout_ms / 1000 + 5)) ready <&$probe_out || [ -z "$ready" ]; then
        cat "$work/xprobe.log" >&2
        fail "no window${match:+ '$match'} from $1"
    fi
    window=''
    local field
    for field in $ready; do
        case $field in window=*) window=${field#window=} ;; esac
    done
    [ -n "$window" ] || fail "xprobe printed no window id: $ready"
    echo "window mapped: $ready"
}
