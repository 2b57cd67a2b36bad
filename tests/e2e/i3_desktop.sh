#!/usr/bin/env bash
# i3 with two outputs: displays, numbering, current spaces, the owners of windows, a switch
# that moves one output and leaves the other alone, and a switch that fails once i3 is gone.
source "$(dirname "$0")/session.sh"

start_xvfb
start_i3
msg() { i3-msg -s "$I3SOCK" -q "$@"; }

msg workspace 1; start_client xterm; xterm_pid=$LAST_PID
msg workspace 2; start_client xlogo; xlogo_pid=$LAST_PID
msg workspace 3; start_client xclock; xclock_pid=$LAST_PID
msg workspace 4; start_client xlogo; xlogo2_pid=$LAST_PID
msg workspace 5; start_client xterm; xterm2_pid=$LAST_PID
# A terminal kept on the scratchpad: on no shown space, but still a window of its app.
msg workspace 3; start_client xterm -name tidemark-scratch; scratch_pid=$LAST_PID
msg '[instance="tidemark-scratch"] move scratchpad'
msg workspace 4
msg workspace 2

ws1=$(workspace_id 1); ws2=$(workspace_id 2); ws3=$(workspace_id 3)
ws4=$(workspace_id 4); ws5=$(workspace_id 5)
scratch=$(i3-msg -s "$I3SOCK" -t get_tree | python3 -c '
import json, sys
def find(node):
    if node.get("type") == "workspace" and node.get("name") == "__i3_scratch":
        return node["id"]
    return next(filter(None, map(find, node.get("nodes", []) + node.get("floating_nodes", []))), None)
print(find(json.load(sys.stdin)))')

"$TIDEMARK" defaults write displayStyle 4 >/dev/null
take_snapshot "$E2E_TMP/before.json"
check_json "$E2E_TMP/before.json" "
spaces = s['spaces']
assert [x['displayID'] for x in spaces] == ['fake-0']*3 + ['fake-1']*2, spaces
assert [x['spaceID'] for x in spaces] == ['$ws1', '$ws2', '$ws3', '$ws4', '$ws5'], spaces
assert [x['spaceNumber'] for x in spaces] == [1, 2, 3, 4, 5]
assert [x['desktopNumber'] for x in spaces] == [1, 2, 3, 1, 2]
assert [x['isCurrentSpace'] for x in spaces] == [False, True, False, True, False]
assert not any(x['isFullScreen'] for x in spaces)
assert s['published'] is True
"
# The apps of each space: the clients with their real pids.
check_json "$E2E_TMP/before.json" "
apps = [[a['pid'] for a in x['apps']] for x in s['spaces']]
assert apps == [[$xterm_pid], [$xlogo_pid], [$xclock_pid], [$xlogo2_pid], [$xterm2_pid]], apps
names = [[a['appName'] for a in x['apps']] for x in s['spaces']]
assert all(n and all(n) for n in names), names
"

probe 'LiveFixture.WindowListNamesRealOwnersAndTheirSpaces:LiveFixture.RunningApplicationsAreTheClientsWithSaneText' \
    E2E_WINDOWS="$xterm_pid:$ws1;$xlogo_pid:$ws2;$xclock_pid:$ws3;$xlogo2_pid:$ws4;$xterm2_pid:$ws5" \
    E2E_SCRATCHPAD="$scratch_pid:$scratch"

# One step forward on the second output; the first keeps its workspace.
"$TIDEMARK" switch "$ws5" >"$E2E_TMP/out" || fail "switch to workspace 5 exited $?"
grep -qx '{"display":"fake-1","steps":1,"direction":"forward","method":"direct"}' "$E2E_TMP/out" ||
    fail "switch printed: $(cat "$E2E_TMP/out")"
expect_output 5 visible_workspace fake-1
[ "$(visible_workspace fake-0)" = 2 ] || fail "fake-0 moved"

# Two steps on the first output, from 3 back to 1; the second output stays on 5.
msg workspace 3
"$TIDEMARK" switch "$ws1" || fail "switch to workspace 1 exited $?"
expect_output 1 visible_workspace fake-0
[ "$(visible_workspace fake-1)" = 5 ] || fail "fake-1 moved"

take_snapshot "$E2E_TMP/after.json"
check_json "$E2E_TMP/after.json" "
assert [x['isCurrentSpace'] for x in s['spaces']] == [True, False, False, False, True]
"

# The current space: nothing to do. An unknown id: a usage error.
"$TIDEMARK" switch "$ws1" || fail "switch to the current space exited $?"
status=0
"$TIDEMARK" switch 424242 2>"$E2E_TMP/err" || status=$?
[ "$status" = 2 ] || fail "unknown space exited $status"
grep -q "no space with id '424242'" "$E2E_TMP/err" || fail "unclear message: $(cat "$E2E_TMP/err")"

# With the window manager gone nothing follows a request: the switch says so and fails. The
# desktops i3 left on the root window are all that is read then.
kill "$WM_PID"
wait "$WM_PID" 2>/dev/null || true
status=0
"$TIDEMARK" switch 2 >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] || fail "switch without a window manager exited $status: $(cat "$E2E_TMP/err")"
grep -q "^tidemark switch: the desktop did not change: space '2' is not current" "$E2E_TMP/err" ||
    fail "unclear message: $(cat "$E2E_TMP/err")"
[ "$(wc -l <"$E2E_TMP/err")" = 1 ] || fail "more than one line: $(cat "$E2E_TMP/err")"
grep -q '"steps":1' "$E2E_TMP/out" || fail "the plan is not printed: $(cat "$E2E_TMP/out")"
echo "i3 desktop: ok"
