#!/usr/bin/env bash
# An i3 restart: the workspace's subscription comes back by itself and the window server
# answers again.
source "$(dirname "$0")/session.sh"

start_xvfb
start_i3
i3-msg -s "$I3SOCK" -q workspace 4
start_client xlogo
probe 'LiveFixture.I3RestartIsPickedUpAgain'
take_snapshot "$E2E_TMP/after.json"
check_json "$E2E_TMP/after.json" "assert len(s['spaces']) >= 2, s"
echo "i3 restart: ok"
