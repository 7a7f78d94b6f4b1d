#!/usr/bin/env bash
# Sondrel's own end-to-end cases, under an X server of their own.
#
# usage: sondrel_cases.sh CASE PROGRAM XPROBE [ARG...]
#   second-window   closing "Form2" only hides it; closing "T Tonmira" then ends the program
#                   with code 0
#   no-window       started with ARG..., the program ends with code 0 without mapping a window
#   no-display      started with ARG... and no display at all (as an installer runs it), the
#                   program ends with code 0 and writes nothing, neither files nor output
#   picture         the stored object's picture fills the 32 x 32 pixels at the top-left of the
#                   client area, inside the container's edge, and the window colour is all around
#   damaged         PROGRAM holds a damaged stored object: it ends with code 3 before mapping a
#                   window, and reports "Abnormal program termination" and ARG... (the reason)
#                   on standard error
# Exits 77 (skip) only when Xvfb itself is not installed (no-display needs no X server).
set -euo pipefail

source "$(dirname "$0")/xsession.sh"

[ $# -ge 3 ] || fail "usage: sondrel_cases.sh CASE PROGRAM XPROBE [ARG...]"
case_name=$1 program=$2 xprobe=$3
shift 3
[ -x "$program" ] || fail "program $program is not an executable file"
[ -x "$xprobe" ] || fail "xprobe $xprobe is not an executable file"
# The program runs in a directory of its own.
program=$(realpath "$program") xprobe=$(realpath "$xprobe")
no_display() {
    local home=$work/home runtime=$work/runtime-nodisplay cwd=$work/cwd status=0
    mkdir -p "$home" "$cwd"
    mkdir -m 700 "$runtime"
    # Bounded: a program that waited for a display would be ended by timeout (code 124).
    (cd "$cwd" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" \
        XDG_RUNTIME_DIR="$runtime" XDG_CONFIG_HOME="$home/.config" \
        XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share" \
        timeout $((exit_timeout_ms / 1000)) "$program" "$@") >"$work/out" 2>"$work/err" ||
        status=$?
    [ "$status" -eq 0 ] || fail "$* without a display ended with code $status: $(cat "$work/err")"
    local written
    written=$(find "$home" "$runtime" "$cwd" -mindepth 1)
    [ -z "$written" ] || fail "$* without a display wrote: $written"
    [ ! -s "$work/out" ] && [ ! -s "$work/err" ] ||
        fail "$* without a display printed: $(cat "$work/out" "$work/err")"
    echo "ok: $* without a display ended with code 0 and wrote nothing"
}

# Needs no X server, and must not find one.
if [ "$case_name" = no-display ]; then
    no_display "$@"
    exit 0
fi

require_tools xwininfo
start_x_server

# The window id of a mapped top-level window with this caption, or nothing.
window_titled() {
    xwininfo -root -children | awk -v t="\"$1\"" 'index($0, t) { print $1; exit }'
}

second_window() {
    launch "T Tonmira" "$program" "$@"
    local main=$window form2 state=''
    form2=$(window_titled Form2)
    [ -n "$form2" ] || fail "'Form2' is not mapped when 'T Tonmira' is"
    "$xprobe" close "$form2"
    # Bounded: the program unmaps the window as soon as it takes the request.
    for _ in $(seq 100); do
        state=$(xwininfo -id "$form2" | sed -n 's/^ *Map State: *//p')
        [ "$state" = IsUnMapped ] && break
        sleep 0.05
    done
    [ "$state" = IsUnMapped ] || fail "'Form2' is still $state after it was closed"
    echo "ok: 'Form2' hidden"
    kill -0 "$probe_pid" 2>/dev/null || fail "the program ended when 'Form2' was closed"
    "$xprobe" close "$main"
    local ending=''
    read -r -t $((exit_timeout_ms / 1000 + 5)) ending <&$probe_out || true
    [ "$ending" = exit_code=0 ] || fail "closing 'T Tonmira' ended the program with '$ending'"
    echo "ok: closing 'T Tonmira' ended the program with code 0"
}

no_window() {
    local status=0
    "$xprobe" launch-and-wait "" $map_timeout_ms --supervise $exit_timeout_ms -- \
        "$program" "$@" >"$work/xprobe.out" 2>"$work/xprobe.log" || status=$?
    if grep -q 'window=' "$work/xprobe.out"; then
        fail "a window was mapped: $(cat "$work/xprobe.out")"
    fi
    grep -q "ended (exit_code=0) before mapping" "$work/xprobe.log" || {
        cat "$work/xprobe.log" >&2
        fail "the program did not end with code 0 before mapping a window (xprobe status $status)"
    }
    echo "ok: $* ended with code 0 and mapped no window"
}

damaged() {
    local status=0 reason="$*"
    "$xprobe" launch-and-wait "" $map_timeout_ms --supervise $exit_timeout_ms -- \
        "$program" >"$work/xprobe.out" 2>"$work/xprobe.log" || status=$?
    if grep -q 'window=' "$work/xprobe.out"; then
        fail "a window was mapped: $(cat "$work/xprobe.out")"
    fi
    grep -q "ended (exit_code=3) before mapping" "$work/xprobe.log" || {
        cat "$work/xprobe.log" >&2
        fail "the program did not end with code 3 before mapping a window (xprobe status $status)"
    }
    grep -qxF "Abnormal program termination" "$work/xprobe.log" ||
        fail "no report of the abnormal termination: $(cat "$work/xprobe.log")"
    grep -qF "$reason" "$work/xprobe.log" ||
        fail "the reason '$reason' is not on standard error: $(cat "$work/xprobe.log")"
    echo "ok: ended with code 3 before mapping a window, saying why: $reason"
}

picture() {
    launch "T Tonmira" "$program" "$@"
    # The picture lies inside the container's 2-pixel sunken edge: pixels 2 to 33.
    local inside=() outside=() x y
    for y in 3 7 11 15 19 23 27 31; do
        for x in 3 7 11 15 19 23 27 31; do inside+=("$x" "$y"); done
    done
    # Off the outline at x, y = 2, where the focus rectangle dots the client area.
    outside=(35 3 3 35 40 40 34 33 33 34 300 100 100 150 500 180)
    local coloured white
    coloured=$("$xprobe" pixels "$window" "${inside[@]}" | grep -cvx '#ffffff' || true)
    [ "$coloured" -ge 32 ] ||
        fail "only $coloured of 64 points in the picture's square differ from the window colour"
    white=$("$xprobe" pixels "$window" "${outside[@]}" | grep -cx '#ffffff' || true)
    [ "$white" -eq 8 ] ||
        fail "only $white of 8 points around the picture show the window colour"
    echo "ok: the picture at the top-left, $coloured of 64 sampled points coloured, window colour around it"
}

case $case_name in
    second-window) second_window "$@" ;;
    picture) picture "$@" ;;
    damaged) damaged "$@" ;;
    no-window) no_window "$@" ;;
    *) fail "unknown case '$case_name'" ;;
esac
