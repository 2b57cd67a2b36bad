#!/usr/bin/env bash
# A running `tidemark watch` under i3: a line per refresh, a new snapshot after a workspace
# switch, after another process changes a setting, after a window moves between
# workspaces in the opened-apps style, after a window's own size or opacity changes, a window
# closes or fills the screen, a clean end on SIGTERM, and one line
# and a failure status when the X server goes.
source "$(dirname "$0")/session.sh"

start_xvfb
# Floating windows as small as asked, for the shrunk window below.
E2E_I3_EXTRA="floating_minimum_size -1 x -1" start_i3
msg() { i3-msg -s "$I3SOCK" -q "$@"; }
msg workspace 1; start_client xterm; xterm=$LAST_PID
msg workspace 2; start_client xlogo; xlogo=$LAST_PID
msg workspace 1
ws1=$(workspace_id 1); ws2=$(workspace_id 2)
current="[x['spaceID'] for x in s['spaces'] if x['isCurrentSpace'] and x['displayID'] == 'fake-0']"

start_watch
expect_watch_line 0 "$current == ['$ws1']"
python3 -c "
import json, sys
for line in open('$WATCH_OUT'):
    s = json.loads(line)
    assert set(s) in ({'published'}, {'published', 'signature', 'spaces', 'storedSpaceNames'}), s
" || fail "a watch line is not a snapshot"

seen=$(watch_line_count)
msg workspace 2
expect_watch_line "$seen" "$current == ['$ws2']"

seen=$(watch_line_count)
"$TIDEMARK" defaults write displayStyle 1 >/dev/null
expect_watch_line "$seen" "s['signature'].startswith('1:')"

# In the opened-apps style a window moved to another workspace shows on its new space: the
# list of which window is where is kept from the desktop's events, never left stale.
seen=$(watch_line_count)
"$TIDEMARK" defaults write displayStyle 4 >/dev/null
apps="[[a['pid'] for a in x['apps']] for x in s['spaces'] if x['spaceID'] in ('$ws1', '$ws2')]"
expect_watch_line "$seen" "s['signature'].startswith('4:') and $apps == [[$xterm], [$xlogo]]"
seen=$(watch_line_count)
msg '[class="XTerm"] move container to workspace 2'
on2="[a['pid'] for x in s['spaces'] if x['spaceID'] == '$ws2' for a in x['apps']]"
expect_watch_line "$seen" "sorted($on2) == sorted([$xterm, $xlogo])"

# Between events the window facts are kept; a client's own change reaches them all the same:
# a see-through window and one shrunk below a real window's size leave their space.
seen=$(watch_line_count)
xlogo_window=$(xdotool search --class xlogo | head -1)
xprop -id "$xlogo_window" -f _NET_WM_WINDOW_OPACITY 32c -set _NET_WM_WINDOW_OPACITY 0
expect_watch_line "$seen" "$on2 == [$xterm]"
seen=$(watch_line_count)
msg '[class="XTerm"] floating enable, resize set 30 30'
expect_watch_line "$seen" "$on2 == []"
seen=$(watch_line_count)
msg '[class="XTerm"] resize set 400 300'
xprop -id "$xlogo_window" -remove _NET_WM_WINDOW_OPACITY
expect_watch_line "$seen" "sorted($on2) == sorted([$xterm, $xlogo])"

# A window closing and a full-screen mode are followed from i3's events without its tree:
# workspace 2 fills the screen once its full-screen window is left alone on it, and no
# longer when that window leaves full screen.
filled="[x['isFullScreen'] for x in s['spaces'] if x['spaceID'] == '$ws2']"
seen=$(watch_line_count)
msg '[class="XLogo"] fullscreen enable'
expect_watch_line "$seen" "sorted($on2) == sorted([$xterm, $xlogo]) and $filled == [False]"
seen=$(watch_line_count)
kill "$xterm"
expect_watch_line "$seen" "$on2 == [$xlogo] and $filled == [True]"
seen=$(watch_line_count)
msg '[class="XLogo"] fullscreen disable'
expect_watch_line "$seen" "$on2 == [$xlogo] and $filled == [False]"

stop_watch TERM 0
grep -q . "$WATCH_ERR" && fail "watch wrote errors: $(cat "$WATCH_ERR")"

# The X server goes: one line, a failure status.
start_watch
expect_watch_line 0 "True"
kill "${E2E_PIDS[0]}"
status=0
for _ in $(seq 50); do kill -0 "$WATCH_PID" 2>/dev/null || break; sleep 0.1; done
wait "$WATCH_PID" || status=$?
[ "$status" != 0 ] || fail "watch exited 0 without its X server"
[ "$(wc -l <"$WATCH_ERR")" = 1 ] || fail "not one line: $(cat "$WATCH_ERR")"
grep -q "lost the connection to the X server" "$WATCH_ERR" || fail "unclear: $(cat "$WATCH_ERR")"
echo "watch under i3: ok"
