#!/usr/bin/env bash
# A running `tidemark watch` under Openbox follows a desktop switch and a setting written by
# another process, and ends cleanly on SIGINT.
source "$(dirname "$0")/session.sh"

start_xvfb
start_openbox
start_client xterm
current="[x['spaceID'] for x in s['spaces'] if x['isCurrentSpace']]"

start_watch
expect_watch_line 0 "$current == ['1']"

seen=$(watch_line_count)
wmctrl -s 2
expect_watch_line "$seen" "$current == ['3']"

seen=$(watch_line_count)
"$TIDEMARK" defaults write useHighContrastBorders true >/dev/null
expect_watch_line "$seen" "s['signature'].startswith('4:true:')"

stop_watch INT 0
grep -q . "$WATCH_ERR" && fail "watch wrote errors: $(cat "$WATCH_ERR")"
echo "watch under openbox: ok"
