#!/usr/bin/env bash
# The live app under i3 (two outputs) meets bad input while it runs: its settings file turned
# to nonsense (it carries on with the defaults and sets the damaged file aside, with one
# line), and the output it sits on unplugged while the preferences window is open (it
# carries on and the strip moves to the output that remains). Screenshots go to
# $TIDEMARK_E2E_SHOTS.
source "$(dirname "$0")/session.sh"

shots=${TIDEMARK_E2E_SHOTS:-$(dirname "$TIDEMARK")/../e2e-shots}/bad-input
mkdir -p "$shots"
rm -f "$shots"/*.png
shot() { xwd -root -silent | convert xwd:- "$shots/$1.png"; }
band_sum() { area_sum 300 24 $((1024 - 300)) 0; }

start_xvfb
start_i3
msg() { i3-msg -s "$I3SOCK" -q "$@"; }
msg workspace 2; start_client xlogo
msg workspace 4; start_client xclock
msg workspace 1; start_client xterm
"$TIDEMARK" defaults write displayStyle 1 >/dev/null
settings="$XDG_CONFIG_HOME/tidemark/defaults.plist"

TIDEMARK_REPORT_STRIP=1 "$TIDEMARK" >"$E2E_TMP/app.log" 2>&1 &
app_pid=$!
track "$app_pid"
strip_window() { xdotool search --onlyvisible --name '^Tidemark$' | head -1; }
wait_for 100 strip_painted "$E2E_TMP/app.log" || fail "the strip was not painted: $(cat "$E2E_TMP/app.log")"
shot 1-numbers
numbers=$(band_sum)

# Nonsense written over the settings file while the app runs.
printf 'not a property list \x01\x02' >"$settings"
wait_for 50 sh -c "ls '$XDG_CONFIG_HOME/tidemark/' | grep -q '^defaults.plist.damaged-'" ||
    fail "the damaged file was not set aside: $(ls "$XDG_CONFIG_HOME/tidemark/")"
damaged=$(ls "$XDG_CONFIG_HOME/tidemark/" | grep '^defaults.plist.damaged-')
[ "$(cat "$XDG_CONFIG_HOME/tidemark/$damaged")" = "$(printf 'not a property list \x01\x02')" ] ||
    fail "the damaged file changed on its way aside"
lines=$(grep -c 'damaged' "$E2E_TMP/app.log" || true)
[ "$lines" -eq 1 ] || fail "$lines lines about the damaged file: $(cat "$E2E_TMP/app.log")"
# The defaults apply: the opened-apps style, not the numbers stored before.
wait_for 30 sh -c "[ \"\$(xwd -root -silent | convert xwd:- -crop 300x24+724+0 +repage rgba:- | md5sum)\" != '$numbers' ]" ||
    fail "the strip kept the damaged file's style"
shot 2-defaults
kill -0 "$app_pid" || fail "the app died: $(cat "$E2E_TMP/app.log")"
# And the settings work again.
"$TIDEMARK" defaults write displayStyle 1 >/dev/null
wait_for 30 sh -c "[ \"\$(xwd -root -silent | convert xwd:- -crop 300x24+724+0 +repage rgba:- | md5sum)\" = '$numbers' ]" ||
    fail "a new setting did not reach the app"

# The preferences window open, then the output the strip is on goes away: i3 comes back
# with the second output only. (A new i3, not an in-place restart, which keeps the old
# outputs' containers from its saved layout.)
window=$(strip_window)
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" -eq 0 ] && [ "$WIDTH" -eq 1024 ] || fail "strip at $X width $WIDTH before"
open_window mousemove 1000 12 click 3
eval "$(xdotool getwindowgeometry --shell "$OPENED")"
open_window mousemove $((X + 40)) $((Y + HEIGHT - 32)) click 1
prefs() { xdotool search --onlyvisible --name '^Tidemark Preferences$' | head -1; }
[ "$OPENED" = "$(prefs)" ] || fail "the menu opened $(xdotool getwindowname "$OPENED"), not the preferences"
shot 3-two-outputs

sed -i 's/^fake-outputs .*/fake-outputs 1024x768+1024+0/' "$E2E_TMP/i3.conf"
i3_pid=${E2E_PIDS[1]}
kill "$i3_pid"
wait "$i3_pid" 2>/dev/null || true
i3 -c "$E2E_TMP/i3.conf" >"$E2E_TMP/i3-again.log" 2>&1 &
track $!
wait_for 100 sh -c "i3-msg -s '$I3SOCK' -t get_outputs | grep -q '\"x\":1024'" || fail "i3 did not come back"
moved() {
    eval "$(xdotool getwindowgeometry --shell "$(strip_window)")"
    [ "$X" -eq 1024 ] && [ "$Y" -eq 0 ] && [ "$WIDTH" -eq 1024 ]
}
wait_for 100 moved || fail "the strip did not move to the remaining output: $(xdotool getwindowgeometry "$(strip_window)")"
wait_for 50 strip_painted "$E2E_TMP/app.log" "1024 0 1024 24" ||
    fail "the moved strip was not painted: $(grep 'strip painted' "$E2E_TMP/app.log" | tail -n 3)"
shot 4-one-output
kill -0 "$app_pid" || fail "the app died when the output went: $(cat "$E2E_TMP/app.log")"
prefs >/dev/null || fail "the preferences window went away"
# Still working: a style change from another process shows on the moved strip.
before=$(xwd -root -silent | convert xwd:- -crop 300x24+1748+0 +repage rgba:- | md5sum)
"$TIDEMARK" defaults write displayStyle 0 >/dev/null
wait_for 30 sh -c "[ \"\$(xwd -root -silent | convert xwd:- -crop 300x24+1748+0 +repage rgba:- | md5sum)\" != '$before' ]" ||
    fail "the moved strip no longer follows the settings"
shot 5-one-output-rectangles
if grep -v -e '^tidemark: .*damaged' -e '^tidemark: strip painted at ' "$E2E_TMP/app.log" | grep -q .; then
    echo "app said: $(cat "$E2E_TMP/app.log")"
fi
echo "PASS bad input while running (screenshots in $shots)"
