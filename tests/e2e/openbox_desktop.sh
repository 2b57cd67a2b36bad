#!/usr/bin/env bash
# Openbox with four global desktops: one display, desktop ids 1-4, sticky windows on all of
# them, and switching through _NET_CURRENT_DESKTOP requests.
source "$(dirname "$0")/session.sh"

start_xvfb
start_openbox

window_of() { # the client window owned by pid $1, by its _NET_WM_PID or by listing order
    wmctrl -lp | awk -v pid="$1" '$3 == pid { print $1; exit }'
}
start_client xterm; xterm_pid=$LAST_PID
start_client xlogo; xlogo_pid=$LAST_PID
xlogo_window=$(wmctrl -l | awk 'END { print $1 }')
wmctrl -i -r "$xlogo_window" -t 2
start_client xclock; xclock_pid=$LAST_PID
xdotool set_desktop_for_window "$(window_of "$xclock_pid")" -1

"$TIDEMARK" defaults write displayStyle 4 >/dev/null
take_snapshot "$E2E_TMP/before.json"
check_json "$E2E_TMP/before.json" "
spaces = s['spaces']
assert [x['displayID'] for x in spaces] == ['screen'] * 4, spaces
assert [x['spaceID'] for x in spaces] == ['1', '2', '3', '4']
assert [x['desktopNumber'] for x in spaces] == [1, 2, 3, 4]
assert [x['isCurrentSpace'] for x in spaces] == [True, False, False, False]
apps = [sorted(a['pid'] for a in x['apps']) for x in spaces]
assert apps == [sorted([$xterm_pid, $xclock_pid]), [$xclock_pid], sorted([$xlogo_pid, $xclock_pid]), [$xclock_pid]], apps
"
probe 'LiveFixture.WindowListNamesRealOwnersAndTheirSpaces:LiveFixture.RunningApplicationsAreTheClientsWithSaneText' \
    E2E_WINDOWS="$xterm_pid:1;$xlogo_pid:3;$xclock_pid:1+2+3+4"

current_desktop() { wmctrl -d | awk '$2 == "*" { print $1 }'; }
"$TIDEMARK" switch 3 >"$E2E_TMP/out" || fail "switch to desktop 3 exited $?"
grep -qx '{"display":"screen","steps":2,"direction":"forward","method":"direct"}' "$E2E_TMP/out" ||
    fail "switch printed: $(cat "$E2E_TMP/out")"
expect_output 2 current_desktop
"$TIDEMARK" switch 2 || fail "switch to desktop 2 exited $?"
expect_output 1 current_desktop
take_snapshot "$E2E_TMP/after.json"
check_json "$E2E_TMP/after.json" "
assert [x['isCurrentSpace'] for x in s['spaces']] == [False, True, False, False]
"
probe 'LiveFixture.AppNotificationsFollowTheClients' E2E_APP_EVENTS=1
probe 'LiveFixture.AppTableFollowsClientsWithoutRereadingThem' E2E_APP_TABLE=1
probe 'LiveFixture.ABogusClientListIsReadOnlyInPart' E2E_BOGUS_CLIENTS=1
echo "openbox desktop: ok"
