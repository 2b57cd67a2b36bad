#!/usr/bin/env bash
# The window manager's own numbers and names, workspaces filled by their only window, and
# workspaces whose window asks for attention, under i3 (two outputs) and then Openbox on the
# same server.
source "$(dirname "$0")/session.sh"
last_client() { xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*' | tail -n 1; }

# The window $1 asks for attention through the urgency hint, then through the
# demands-attention state, and stops each time: a watch republishes each change, and the
# snapshot marks its workspace, the space $2, alone.
expect_urgency_followed() {
    local window=$1 marked="['$2']" seen
    local urgent="[x['spaceID'] for x in s['spaces'] if x['isUrgent']]"
    start_watch --format json
    expect_watch_line 0 "$urgent == []"
    for mark in "xdotool set_window --urgency 1 $window" "wmctrl -i -r $window -b add,demands_attention"; do
        seen=$(watch_line_count)
        $mark
        expect_watch_line "$seen" "$urgent == $marked"
        take_snapshot "$E2E_TMP/urgent.json"
        check_json "$E2E_TMP/urgent.json" "assert $urgent == $marked, s['spaces']"
        seen=$(watch_line_count)
        xdotool set_window --urgency 0 "$window"
        wmctrl -i -r "$window" -b remove,demands_attention
        expect_watch_line "$seen" "$urgent == []"
    done
    stop_watch TERM 0
}

start_xvfb
start_i3
msg() { i3-msg -s "$I3SOCK" -q "$@"; }

msg workspace 1; start_client xterm
msg workspace 2; start_client xlogo; start_client xlogo
msg 'workspace "3:web"'; start_client xclock; web_window=$(last_client)
msg workspace 4; start_client xterm
msg workspace 9; start_client xlogo; xlogo_pid=$LAST_PID
msg workspace mail; start_client xclock
msg workspace 2; msg fullscreen enable
msg workspace 9; msg fullscreen enable
msg workspace 1

"$TIDEMARK" defaults write displayStyle 4 >/dev/null
take_snapshot "$E2E_TMP/i3.json"
check_json "$E2E_TMP/i3.json" "
spaces = s['spaces']
assert [x['displayID'] for x in spaces] == ['fake-0'] * 3 + ['fake-1'] * 3, spaces
assert [x['wmNumber'] for x in spaces] == [1, 2, 3, 4, 9, None], spaces
assert [x['wmName'] for x in spaces] == [None, None, 'web', None, None, 'mail'], spaces
# Workspace 2 holds a second window beside its full-screen one.
assert [x['isFullScreen'] for x in spaces] == [False, False, False, False, True, False], spaces
assert [x['desktopNumber'] for x in spaces] == [1, 2, 3, 1, None, 2], spaces
assert spaces[4]['spaceName'] not in ('N/A', 'FUL'), spaces[4]
assert [a['pid'] for a in spaces[4]['apps']] == [$xlogo_pid], spaces[4]
"
msg workspace 9; msg fullscreen disable
take_snapshot "$E2E_TMP/i3-after.json"
check_json "$E2E_TMP/i3-after.json" "
assert not any(x['isFullScreen'] for x in s['spaces']), s['spaces']
"
expect_urgency_followed "$web_window" "$(workspace_id 3:web)"

kill "$WM_PID"
wait "$WM_PID" 2>/dev/null || true
for pid in "${E2E_PIDS[@]:1}"; do ! is_ours "$pid" || kill "$pid" 2>/dev/null || true; done
# Gone before Openbox starts, so that it manages none of i3's clients (the root's client list
# is i3's last word until Openbox writes its own, so it cannot tell).
for pid in "${E2E_PIDS[@]:1}"; do wait "$pid" 2>/dev/null || true; done
# The server keeps its root properties without a reset: Openbox would take i3's desktops.
xprop -root -remove _NET_NUMBER_OF_DESKTOPS -remove _NET_DESKTOP_NAMES \
    -remove _NET_CURRENT_DESKTOP -remove _NET_CLIENT_LIST -remove _NET_CLIENT_LIST_STACKING
start_openbox
start_client xterm
start_client xlogo; xlogo_pid=$LAST_PID
xlogo_window=$(wmctrl -l | awk 'END { print $1 }')
wmctrl -i -r "$xlogo_window" -t 2
wait_for 50 sh -c "xprop -id $xlogo_window _NET_WM_DESKTOP | grep -q '= 2$'" || fail "xlogo not moved"
wmctrl -i -r "$xlogo_window" -b add,fullscreen
wait_for 50 sh -c "xprop -id $xlogo_window _NET_WM_STATE | grep -q FULLSCREEN" ||
    fail "xlogo not full screen"
take_snapshot "$E2E_TMP/openbox.json"
names=$(xprop -root _NET_DESKTOP_NAMES)
check_json "$E2E_TMP/openbox.json" "
import re
spaces = s['spaces']
assert [x['wmNumber'] for x in spaces] == [1, 2, 3, 4], spaces
assert [x['wmName'] for x in spaces] == re.findall(r'\"([^\"]*)\"', '''$names''')[:4], spaces
assert [x['isFullScreen'] for x in spaces] == [False, False, True, False], spaces
assert [a['pid'] for a in spaces[2]['apps']] == [$xlogo_pid], spaces[2]
assert spaces[2]['spaceName'] not in ('N/A', 'FUL'), spaces[2]
"
expect_urgency_followed "$xlogo_window" 3
echo "window manager labels: ok"
