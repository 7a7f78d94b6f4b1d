#!/usr/bin/env bash
# Starts a real program under valgrind's leak check in an X server of its own, waits for its
# window, closes it the way a window manager does and checks that the program ends with code 0.
# Valgrind turns a leak of ours (definitely or indirectly lost) or a memory error into exit code
# 99; what the system libraries keep until exit is in the suppression file.
#
# usage: startend.sh PROGRAM XPROBE TITLE SUPPRESSIONS
# Exits 77 (skip) only when Xvfb itself is not installed.
set -euo pipefail

# Under valgrind a start takes many times as long; these bound each wait.
map_timeout_ms=240000
exit_timeout_ms=120000
source "$(dirname "$0")/../e2e/xsession.sh"

[ $# -eq 4 ] || fail "usage: startend.sh PROGRAM XPROBE TITLE SUPPRESSIONS"
program=$1 xprobe=$2 title=$3 suppressions=$4
[ -x "$program" ] || fail "program $program is not an executable file"
[ -x "$xprobe" ] || fail "xprobe $xprobe is not an executable file"
[ -r "$suppressions" ] || fail "no suppression file $suppressions"
# The program runs in a directory of its own.
program=$(realpath "$program") xprobe=$(realpath "$xprobe") suppressions=$(realpath "$suppressions")

require_tools valgrind
start_x_server
# Tappit reports a missing SYC.ini in a modal box a second after start; an empty one keeps it
# away, so the program ends the way it does for a user who just closes it.
mkdir "$work/cwd"
: >"$work/cwd/SYC.ini"
cd "$work/cwd"

readonly leak_exit_code=99
launch "$title" valgrind --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --error-exitcode=$leak_exit_code \
    --child-silent-after-fork=yes \
    --suppressions="$suppressions" --num-callers=40 "$program"
"$xprobe" close "$window"
ending=''
read -r -t $((exit_timeout_ms / 1000 + 5)) ending <&$probe_out || true
if [ "$ending" != exit_code=0 ]; then
    # valgrind reports on the program's standard error, which xprobe keeps.
    cat "$work/xprobe.log" >&2
    [ "$ending" = exit_code=$leak_exit_code ] && fail "valgrind found leaks or memory errors (above)"
    fail "the program ended with '${ending:-nothing}', expected exit_code=0"
fi
sed -n '/HEAP SUMMARY/,$p' "$work/xprobe.log"
echo "ok: ended with code 0, no leak of ours"
