#!/usr/bin/env bash
# The window manager's own numbers and names, and workspaces filled by their only window,
# under i3 (two outputs) and then Openbox on the same server.
source "$(dirname "$0")/session.sh"

start_xvfb
start_i3
msg() { i3-msg -s "$I3SOCK" -q "$@"; }

msg workspace 1; start_client xterm
msg workspace 2; start_client xlogo; start_client xlogo
msg 'workspace "3:web"'; start_client xclock
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

kill "$WM_PID"
wait "$WM_PID" 2>/dev/null || true
for pid in "${E2E_PIDS[@]:1}"; do kill "$pid" 2>/dev/null || true; done
wait_for 50 sh -c '! xprop -root _NET_CLIENT_LIST | grep -q 0x' || true
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
echo "window manager labels: ok"
