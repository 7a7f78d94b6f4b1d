#!/usr/bin/env bash
# The start-up load of SYC.ini in the real program under an X server of its own.
#
# usage: startup_load.sh CASE --program PATH --xprobe PATH
#   with-syc     SYC.ini in the current directory: no error box appears.
#   without-syc  one error box captioned "Tappit" about a second after start, never a second
#                one on top of it while it is open, a new one after it is answered, and none
#                once SYC.ini exists.
# Exits 77 (skip) only when Xvfb itself is not installed.
set -euo pipefail

source "$(dirname "$0")/xsession.sh"

readonly box_timeout_s=10
# How long a state must last to count as stable: three retries of the one-second timer.
readonly settle_s=3.5
# The cases take a while; the program ends when told to, long before this.
readonly supervise_ms=120000

case_name=${1:-}
[ $# -gt 0 ] && shift
program='' xprobe=''
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || fail "option $1 needs a value"
    case $1 in
        --program) program=$2 ;;
        --xprobe) xprobe=$2 ;;
        *) fail "unknown option $1" ;;
    esac
    shift 2
done
case $case_name in with-syc | without-syc) ;; *) fail "unknown case '$case_name'" ;; esac
[ -x "$program" ] || fail "program $program is not an executable file"
[ -x "$xprobe" ] || fail "xprobe $xprobe is not an executable file"
# The program runs in a directory of its own.
program=$(realpath "$program") xprobe=$(realpath "$xprobe")
require_tools xdotool
start_x_server
mkdir "$work/cwd"

# The program looks for SYC.ini in its current directory.
cd "$work/cwd"
[ "$case_name" = with-syc ] && printf 'one two three\r\nfour\r\n' >SYC.ini

launch "#-Package" "$program"
main=$window

# The error boxes: visible top-level windows captioned with the application title.
boxes() { xdotool search --onlyvisible --name '^Tappit$' 2>/dev/null || true; }
box_count() { boxes | grep -c . || true; }

wait_for_boxes() { # COUNT WHAT
    local deadline=$((SECONDS + box_timeout_s))
    while [ "$(box_count)" != "$1" ]; do
        [ $SECONDS -lt $deadline ] || fail "$2: $(box_count) box(es) after ${box_timeout_s}s, expected $1"
        sleep 0.1
    done
    echo "ok: $2"
}

stays() { # COUNT WHAT
    sleep $settle_s
    [ "$(box_count)" = "$1" ] || fail "$2: $(box_count) box(es), expected $1"
    echo "ok: $2"
}

answer_box() {
    local box
    box=$(boxes | head -n 1)
    "$xprobe" close "$box"
}

if [ "$case_name" = with-syc ]; then
    stays 0 "SYC.ini loaded without an error box"
else
    wait_for_boxes 1 "an error box after start"
    stays 1 "retries while the box is open do not stack another one"
    answer_box
    wait_for_boxes 1 "a new box after the first was answered"
    printf 'now here\r\n' >SYC.ini
    answer_box
    stays 0 "no more boxes once SYC.ini exists"
fi

# The program is still running and ends normally.
"$xprobe" close "$main"
ending=''
read -r -t 15 ending <&$probe_out || true
[ "$ending" = exit_code=0 ] || fail "program ended with '${ending:-nothing}', expected exit_code=0"
echo "ok: program ended with $ending"
