#!/usr/bin/env bash
# A client that forges its pid, carries a megabyte title, a class that is not UTF-8 and
# properties of the wrong type: the snapshot stays right and its pid is the real one.
source "$(dirname "$0")/session.sh"

start_xvfb
start_i3
i3-msg -s "$I3SOCK" -q workspace 1
start_client xterm; xterm_pid=$LAST_PID
i3-msg -s "$I3SOCK" -q workspace 4
start_client "$TIDEMARK_HOSTILE_CLIENT" 1; hostile_pid=$LAST_PID
ws1=$(workspace_id 1); ws4=$(workspace_id 4)

"$TIDEMARK" defaults write displayStyle 4 >/dev/null
take_snapshot "$E2E_TMP/snapshot.json"
check_json "$E2E_TMP/snapshot.json" "
spaces = s['spaces']
assert [x['spaceID'] for x in spaces] == ['$ws1', '$ws4'], spaces
assert [x['isCurrentSpace'] for x in spaces] == [True, True]
assert [[a['pid'] for a in x['apps']] for x in spaces] == [[$xterm_pid], [$hostile_pid]], spaces
for space in spaces:
    for app in space['apps']:
        assert app['pid'] in ($xterm_pid, $hostile_pid), app
        assert len(app['bundleID'].encode()) <= 256 and len(app['appName'].encode()) <= 256
"
probe 'LiveFixture.WindowListNamesRealOwnersAndTheirSpaces:LiveFixture.RunningApplicationsAreTheClientsWithSaneText' \
    E2E_WINDOWS="$xterm_pid:$ws1;$hostile_pid:$ws4" E2E_FORGED_PID=1

# A polite quit follows the manager's supported list (the probe takes _NET_CLOSE_WINDOW off
# it and puts it back): the xterm takes WM_DELETE_WINDOW, the hostile client does not.
probe 'LiveFixture.PoliteCloseFollowsTheManagersSupportedList' \
    E2E_CLOSE_TAKER="$xterm_pid" E2E_CLOSE_REFUSER="$hostile_pid"
echo "hostile client: ok"
