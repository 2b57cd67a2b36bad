#!/usr/bin/env bash
# `tidemark watch --scenario`: the scenario's desktop in real time, no X server needed,
# under the real settings file, which another process changes.
source "$(dirname "$0")/session.sh"
unset DISPLAY
scenario="$(dirname "$0")/../../examples/demo.json"

"$TIDEMARK" defaults write hoverPopupEnabled false >/dev/null
start_watch --scenario "$scenario"
expect_watch_line 0 "len(s['spaces']) == 6 and s['spaces'][3]['spaceName'] == 'BRO'"
expect_watch_line 0 "s['signature'].startswith('4:')"

seen=$(watch_line_count)
"$TIDEMARK" defaults write displayStyle 1 >/dev/null
expect_watch_line "$seen" "s['signature'].startswith('1:')"
seen=$(watch_line_count)
"$TIDEMARK" defaults delete displayStyle >/dev/null
expect_watch_line "$seen" "s['signature'].startswith('4:')"

stop_watch TERM 0
grep -q . "$WATCH_ERR" && fail "watch wrote errors: $(cat "$WATCH_ERR")"

# A bar format prints what its bar shows, of one output when asked; and a line only when
# that changed: the opened-apps style's half-second check refreshes without a change (it has
# the time to run twice here), a new style is one.
start_watch --scenario "$scenario" --format i3blocks --output "Studio Display"
wait_for 50 test -s "$WATCH_OUT" || fail "no i3blocks line: $(cat "$WATCH_ERR")"
[ "$(cat "$WATCH_OUT")" = '<span weight="bold" underline="single"> 5 </span> 6 ' ] ||
    fail "i3blocks line: $(cat "$WATCH_OUT")"
stop_watch TERM 0
start_watch --scenario "$scenario" --format json
expect_watch_line 0 "s['signature'].startswith('4:')"
sleep 1
"$TIDEMARK" defaults write displayStyle 1 >/dev/null
expect_watch_line 1 "s['signature'].startswith('1:')"
[ "$(watch_line_count)" = 2 ] || fail "lines that show nothing new: $(cat "$WATCH_OUT")"
stop_watch TERM 0
"$TIDEMARK" defaults delete displayStyle >/dev/null
grep -q . "$WATCH_ERR" && fail "watch wrote errors: $(cat "$WATCH_ERR")"

# The scenario's own writes (its space names) never reach the settings file.
"$TIDEMARK" defaults read >"$E2E_TMP/after.json"
check_json "$E2E_TMP/after.json" "assert 'spaceNames' not in s, s"
echo "watch over a scenario: ok"
