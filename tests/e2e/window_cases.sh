#!/usr/bin/env bash
# Drives a real program's main window through an X server of its own, the way a user and a
# window manager would, and checks how the program ends.
#
# usage: window_cases.sh CASE --program PATH --xprobe PATH --title TEXT --class NAME
#                        --geometry WxH+X+Y [--exit-button X,Y] [--sizeable]
#                        [--mapped-after TITLE]
# --sizeable: the window may be resized, so it carries no fixed minimum and maximum size.
# --mapped-after: the program maps the window TITLE first; this one must come up above it.
# Exits 77 (skip) only when Xvfb itself is not installed.
set -euo pipefail

source "$(dirname "$0")/xsession.sh"

# case         what is done to the mapped window     how the program must end
readonly cases='
exit-button    click_exit_button                     exit_code=0
close          send_wm_delete_window                 exit_code=0
properties     check_window_properties               -
'

case_name=${1:-}
[ $# -gt 0 ] && shift
program='' xprobe='' title='' class='' geometry='' exit_button='' sizeable='' mapped_after=''
while [ $# -gt 0 ]; do
    if [ "$1" = --sizeable ]; then
        sizeable=1
        shift
        continue
    fi
    [ $# -ge 2 ] || fail "option $1 needs a value"
    case $1 in
        --program) program=$2 ;;
        --xprobe) xprobe=$2 ;;
        --title) title=$2 ;;
        --class) class=$2 ;;
        --geometry) geometry=$2 ;;
        --exit-button) exit_button=$2 ;;
        --mapped-after) mapped_after=$2 ;;
        *) fail "unknown option $1" ;;
    esac
    shift 2
done

row=$(awk -v c="$case_name" '$1 == c' <<<"$cases")
[ -n "$row" ] || fail "unknown case '$case_name'; known: $(awk 'NF {printf "%s ", $1}' <<<"$cases")"
read -r _ action expected_end <<<"$row"
for option in program xprobe title class geometry; do
    [ -n "${!option}" ] || fail "--$option is required"
done
[ -x "$program" ] || fail "program $program is not an executable file"
[ -x "$xprobe" ] || fail "xprobe $xprobe is not an executable file"
# The program runs in a directory of its own.
program=$(realpath "$program") xprobe=$(realpath "$xprobe")

require_tools xdotool xprop xwininfo
start_x_server

# Tappit loads SYC.ini from its current directory a second after start and reports a missing
# one in a modal box, which would swallow a later click. An empty one keeps the box away.
mkdir "$work/cwd"
: >"$work/cwd/SYC.ini"
cd "$work/cwd"

# The properties case takes whatever window the program maps first, so that a wrong caption or
# class is reported as such instead of as a window that never appeared.
match=$title
[ "$case_name" = properties ] && [ -z "$mapped_after" ] && match=''
launch "$match" "$program"

click_exit_button() {
    [ -n "$exit_button" ] || fail "case exit-button needs --exit-button X,Y"
    # Through XTest the server routes the click by screen position, as a user's would, so a
    # covered or misplaced button fails here; an XSendEvent to the window would bypass that.
    xdotool mousemove --window "$window" "${exit_button%,*}" "${exit_button#*,}" click 1
}

send_wm_delete_window() {
    "$xprobe" close "$window"
}

errors=0
check() { # WHAT ACTUAL EXPECTED
    if [ "$2" == "$3" ]; then
        echo "ok: $1: $2"
    else
        echo "FAIL: $1: got '$2', expected '$3'" >&2
        errors=$((errors + 1))
    fi
}

# xprop prints strings quoted, with " and \ escaped.
xprop_string() {
    local escaped=${1//\\/\\\\}
    printf '"%s"' "${escaped//\"/\\\"}"
}

check_window_properties() {
    local info props hints size=${geometry%%+*} position=${geometry#*+}
    info=$(xwininfo -id "$window")
    props=$(xprop -id "$window" -notype _NET_WM_NAME WM_NAME WM_CLASS)
    hints=$(xprop -id "$window" WM_NORMAL_HINTS)
    field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
    hint() { sed -n "s/^.*program specified $1 size: \([0-9]*\) by \([0-9]*\)$/\1x\2/p" <<<"$hints"; }
    local class_line
    class_line=$(grep '^WM_CLASS' <<<"$props" || true)

    check "caption (_NET_WM_NAME)" "$(grep '^_NET_WM_NAME' <<<"$props")" \
        "_NET_WM_NAME = $(xprop_string "$title")"
    check "caption (WM_NAME)" "$(grep '^WM_NAME' <<<"$props")" "WM_NAME = $(xprop_string "$title")"
    check "WM_CLASS names $class" \
        "$(grep -qF "$(xprop_string "$class")" <<<"$class_line" && echo yes || echo "no: $class_line")" \
        yes
    check "size" "$(field Width)x$(field Height)" "$size"
    check "position" "$(field 'Absolute upper-left X')+$(field 'Absolute upper-left Y')" \
        "$position"
    local fixed_size=$size
    [ -n "$sizeable" ] && fixed_size=''
    check "minimum size (WM_NORMAL_HINTS)" "$(hint minimum)" "$fixed_size"
    check "maximum size (WM_NORMAL_HINTS)" "$(hint maximum)" "$fixed_size"
    if [ -n "$mapped_after" ]; then
        # xwininfo lists the root's children from the top of the stack down.
        local tree above below
        tree=$(xwininfo -root -children)
        above=$(grep -n -F "\"$title\"" <<<"$tree" | head -1 | cut -d: -f1)
        below=$(grep -n -F "\"$mapped_after\"" <<<"$tree" | head -1 | cut -d: -f1)
        check "'$mapped_after' is mapped" "$([ -n "$below" ] && echo yes || echo no)" yes
        check "'$title' lies above '$mapped_after'" \
            "$([ -n "$below" ] && [ "${above:-999999}" -lt "$below" ] && echo yes || echo no)" yes
    fi
    [ $errors -eq 0 ] || fail "$errors window propert$([ $errors -eq 1 ] && echo y || echo ies) wrong"
}

$action

if [ "$expected_end" != - ]; then
    ending=''
    read -r -t $((exit_timeout_ms / 1000 + 5)) ending <&$probe_out || true
    status=0
    wait "$probe_pid" || status=$?
    probe_pid=''
    if [ "$ending" != "$expected_end" ]; then
        cat "$work/xprobe.log" >&2
        fail "program ended with '${ending:-nothing}' (xprobe status $status), expected '$expected_end'"
    fi
    echo "ok: program ended with $ending"
fi
