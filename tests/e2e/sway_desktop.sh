#!/usr/bin/env bash
# Headless sway with two outputs, run by an unprivileged user as a real session is: the
# snapshot names both outputs' workspaces and the foot terminals' pids, a switch changes
# sway's shown workspace, a watch follows `swaymsg workspace`, the panel, scan and memory
# commands answer, and the commands say so in one line once sway is gone.
source "$(dirname "$0")/sway_session.sh"

TIDEMARK=$(runnable_path "$TIDEMARK" "$(dirname "$TIDEMARK")/tidemark-draw")
start_sway <<CONF
workspace 1 output HEADLESS-1
workspace 2 output HEADLESS-1
workspace 4 output HEADLESS-2
CONF

# The commands run as that user in the session's environment.
TIDEMARK=$(session_command "$TIDEMARK")

start_foot 1; foot1=$LAST_PID
start_foot 2; foot2=$LAST_PID
start_foot 4; foot4=$LAST_PID
msg workspace 1

ws1=$(sway_id 1); ws2=$(sway_id 2); ws4=$(sway_id 4)

"$TIDEMARK" defaults write displayStyle 4 >/dev/null
take_snapshot "$E2E_TMP/before.json"
check_json "$E2E_TMP/before.json" "
spaces = s['spaces']
assert s['published'] is True
assert [x['displayID'] for x in spaces] == ['HEADLESS-1', 'HEADLESS-1', 'HEADLESS-2'], spaces
assert [x['spaceID'] for x in spaces] == ['$ws1', '$ws2', '$ws4'], spaces
assert [x['wmNumber'] for x in spaces] == [1, 2, 4], spaces
assert [x['desktopNumber'] for x in spaces] == [1, 2, 1], spaces
assert [x['isCurrentSpace'] for x in spaces] == [True, False, True], spaces
apps = [[a['pid'] for a in x['apps']] for x in spaces]
assert apps == [[$foot1], [$foot2], [$foot4]], apps
assert all(a['appName'] and a['bundleID'] for x in spaces for a in x['apps']), spaces
"

# A switch on the first output leaves the second alone.
"$TIDEMARK" switch "$ws2" >"$E2E_TMP/out" || fail "switch exited $?: $(cat "$E2E_TMP/out")"
grep -qx '{"display":"HEADLESS-1","steps":1,"direction":"forward","method":"direct"}' "$E2E_TMP/out" ||
    fail "switch printed: $(cat "$E2E_TMP/out")"
[ "$(sway_visible HEADLESS-1)" = 2 ] || fail "sway shows $(sway_visible HEADLESS-1) on HEADLESS-1"
[ "$(sway_visible HEADLESS-2)" = 4 ] || fail "HEADLESS-2 moved"

# The panel of a space lists its terminal; scan and memory read this machine.
"$TIDEMARK" panel "$ws4" --json >"$E2E_TMP/panel.json" || fail "panel exited $?"
check_json "$E2E_TMP/panel.json" "assert '$foot4' in s['names'], s['names']"
"$TIDEMARK" scan --json >"$E2E_TMP/scan.json" || fail "scan exited $?"
check_json "$E2E_TMP/scan.json" "assert isinstance(s, list), s"
"$TIDEMARK" memory --json >"$E2E_TMP/memory.json" || fail "memory exited $?"
check_json "$E2E_TMP/memory.json" "assert s['total'] > 0, s"

# The watch follows sway's own switches and a window closing.
current="[x['spaceID'] for x in s['spaces'] if x['isCurrentSpace']]"
start_watch
expect_watch_line 0 "$current == ['$ws2', '$ws4']"
seen=$(watch_line_count)
msg workspace 1
expect_watch_line "$seen" "$current == ['$ws1', '$ws4']"
seen=$(watch_line_count)
kill "$foot2"
expect_watch_line "$seen" "'$ws2' not in [x['spaceID'] for x in s['spaces']]"
stop_watch TERM 0
grep -q . "$WATCH_ERR" && fail "watch wrote errors: $(cat "$WATCH_ERR")"

# sway goes: a running watch ends with one line, and a command says it cannot connect.
start_watch
expect_watch_line 0 "True"
kill "$SWAY_PID"
status=0
for _ in $(seq 50); do kill -0 "$WATCH_PID" 2>/dev/null || break; sleep 0.1; done
wait "$WATCH_PID" || status=$?
[ "$status" = 1 ] || fail "watch exited $status without sway"
[ "$(cat "$WATCH_ERR")" = "tidemark: lost the connection to sway" ] ||
    fail "watch said: $(cat "$WATCH_ERR")"
status=0
"$TIDEMARK" snapshot >/dev/null 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] || fail "snapshot without sway exited $status"
[ "$(cat "$E2E_TMP/err")" = "tidemark snapshot: cannot connect to sway on $SWAYSOCK" ] ||
    fail "snapshot said: $(cat "$E2E_TMP/err")"
echo "sway desktop: ok"
