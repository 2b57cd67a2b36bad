#!/usr/bin/env bash
# The live app on a real X server, under the window manager named by $1 (i3 with two
# outputs, or openbox): where the strip appears, a click on a glyph switches that output's
# desktop in one change (never through the desktops in between), a right click opens the menu, the preferences change the strip's pixels and the
# launch-at-login switch writes and removes the autostart entry. Screenshots are kept in
# $TIDEMARK_E2E_SHOTS (default: the build's e2e-shots folder) for people to look at.
source "$(dirname "$0")/session.sh"

wm=${1:?usage: live_app.sh i3|openbox}
shots=${TIDEMARK_E2E_SHOTS:-$(dirname "$TIDEMARK")/../e2e-shots}/$wm
mkdir -p "$shots"
rm -f "$shots"/*.png

# Read from the screen as a whole: xwd walks the windows and shows shaped ones and popups
# with their own colour map (the style list) as black boxes.
shot() { import -window root "$shots/$1.png"; }
# Pixels of the bar band of the screen, as a checksum.
band_sum() { area_sum "$1" 24 "$2" 0; }

# A plain window manager, which runs no autostart entries, with Tidemark on PATH as an
# installed copy would be: the preferences show one line under the launch-at-login switch
# ("exec tidemark" for i3), which moves the controls below it down by `hint`.
unset XDG_CURRENT_DESKTOP
export PATH="$(dirname "$TIDEMARK"):$PATH"
hint=24

start_xvfb
"$TIDEMARK" defaults write displayStyle 1 >/dev/null
if [ "$wm" = i3 ]; then
    start_i3
    msg() { i3-msg -s "$I3SOCK" -q "$@"; }
    msg workspace 1; start_client xterm
    msg workspace 2; start_client xlogo
    msg workspace 3; start_client xlogo
    msg workspace 4; start_client xclock
    msg workspace 5; start_client xlogo
    msg workspace 4
    msg workspace 1
else
    start_openbox
    start_client xterm
fi

TIDEMARK_REPORT_REFRESHES=1 TIDEMARK_REPORT_STRIP=1 "$TIDEMARK" >"$E2E_TMP/app.log" 2>&1 &
app_pid=$!
track "$app_pid"
wait_for 100 strip_painted "$E2E_TMP/app.log" || fail "the strip was not painted: $(cat "$E2E_TMP/app.log")"
window=$(xdotool search --onlyvisible --name '^Tidemark$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "strip window at $X,$Y size ${WIDTH}x$HEIGHT"
shot 1-started

# A second instance refuses with one line.
second=$("$TIDEMARK" 2>&1) && fail "a second instance started"
[ "$second" = "tidemark: Tidemark is already running on this display" ] || fail "second: $second"

# Where: the top of the first output; under i3 a dock across it, elsewhere at the right
# end with the band kept free of maximised windows.
[ "$Y" -eq 0 ] || fail "strip at y $Y"
[ "$HEIGHT" -eq 24 ] || fail "strip $HEIGHT high"
if [ "$wm" = i3 ]; then
    [ "$X" -eq 0 ] && [ "$WIDTH" -eq 1024 ] || fail "i3 dock at $X width $WIDTH"
    output_right=1024
else
    [ $((X + WIDTH)) -eq 2048 ] || fail "strip ends at $((X + WIDTH))"
    xprop -root _NET_WORKAREA | grep -q '= 0, 24, 2048, 744' || fail "no strut: $(xprop -root _NET_WORKAREA)"
    output_right=2048
fi

lay_out_glyphs "$output_right" 1

# A left click on a glyph switches that output's desktop with one change, seen by the window
# manager's own account: i3's workspace focus events, or the root's _NET_CURRENT_DESKTOP.
changes="$E2E_TMP/changes"
if [ "$wm" = i3 ]; then
    # i3-msg -m prints no reply to its subscription, so nothing would say when events start
    # to count: this subscriber prints the reply, then one event a line.
    python3 -u - "$I3SOCK" >"$changes" <<'PY' &
import json, socket, struct, sys
i3 = socket.socket(socket.AF_UNIX)
i3.connect(sys.argv[1])
payload = b'["workspace"]'
i3.sendall(b"i3-ipc" + struct.pack("=II", len(payload), 2) + payload)
stream = i3.makefile("rb")
while header := stream.read(14):
    length = struct.unpack("=I", header[6:10])[0]
    print(stream.read(length).decode())
PY
    track $!
    wait_for 100 grep -q success "$changes" || fail "no subscription to i3's workspace events"
    # The names of the workspaces focused since line $1 of the events.
    focused_since() {
        python3 - "$changes" "$1" <<'PY'
import json, sys
lines = open(sys.argv[1]).read().splitlines()[int(sys.argv[2]):]
events = [json.loads(line) for line in lines]
print(" ".join(e["current"]["name"] for e in events if e.get("change") == "focus"))
PY
    }
    # A wheel notch down over the first output's glyphs shows its next workspace, and only
    # that one; the other output keeps its workspace.
    seen=$(wc -l <"$changes")
    xdotool mousemove "$(glyph_x "$(workspace_id 1)")" 12 click 5
    expect_output 2 visible_workspace fake-0
    wheel_focused() { [[ " $(focused_since "$seen") " == *" 2 "* ]]; }
    wait_for 50 wheel_focused || fail "no focus event for 2: $(tail -n 3 "$changes")"
    [ "$(focused_since "$seen")" = 2 ] || fail "the wheel focused: $(focused_since "$seen")"
    [ "$(visible_workspace fake-1)" = 4 ] || fail "the wheel moved fake-1"
    # Two workspaces along the first output, then one on the second output; the other
    # output keeps its workspace.
    for step in "3 fake-0 fake-1 4" "5 fake-1 fake-0 3"; do
        read -r name output other kept <<<"$step"
        seen=$(wc -l <"$changes")
        target=$(workspace_id "$name")
        unswitched=$(glyph_sum "$target")
        xdotool mousemove "$(glyph_x "$target")" 12 click 1
        expect_output "$name" visible_workspace "$output"
        focus_reached() { [[ " $(focused_since "$seen") " == *" $name "* ]]; }
        wait_for 50 focus_reached || fail "no focus event for $name: $(tail -n 3 "$changes")"
        [ "$(focused_since "$seen")" = "$name" ] ||
            fail "switching to $name focused: $(focused_since "$seen")"
        [ "$(visible_workspace "$other")" = "$kept" ] || fail "$other moved"
    done
else
    xprop -root -spy _NET_CURRENT_DESKTOP >"$changes" &
    track $!
    # The spy prints the value it starts with, then each change.
    wait_for 100 grep -q '= 0$' "$changes" || fail "no spy on _NET_CURRENT_DESKTOP"
    current_desktop() { wmctrl -d | awk '$2=="*"{print $1}'; }
    # The desktops the spy saw after its line $1.
    seen_since() { sed "1,${1}d" "$changes" | awk '{print $NF}' | xargs; }
    # A wheel notch down over the strip shows the next desktop.
    xdotool mousemove "$(glyph_x 1)" 12 click 5
    expect_output 1 current_desktop
    wait_for 50 grep -q '= 1$' "$changes" || fail "the spy saw no change to desktop 1"
    [ "$(seen_since 1)" = 1 ] || fail "the wheel went through: $(seen_since 1)"
    seen=$(wc -l <"$changes")
    target=3
    unswitched=$(glyph_sum "$target")
    xdotool mousemove "$(glyph_x "$target")" 12 click 1
    expect_output 2 current_desktop
    wait_for 50 grep -q '= 2$' "$changes" || fail "the spy saw no change to desktop 2"
    [ "$(seen_since "$seen")" = 2 ] ||
        fail "switching to desktop 3 went through: $(seen_since "$seen")"
fi
# The strip draws the last glyph clicked as the current one.
switch_shown() { [ "$(glyph_sum "$target")" != "$unswitched" ]; }
wait_for 30 switch_shown || fail "the strip does not show the switch to $target"
shot 2-switched

# A right click opens the menu: a new override-redirect window below the strip.
open_window mousemove "$(glyph_x "$target")" 12 click 3
menu=$OPENED
shot 3-menu
eval "$(xdotool getwindowgeometry --shell "$menu")"
[ "$Y" -ge 24 ] || fail "menu at y $Y, over the strip"
# "Preferences..." is the second of the two items at the bottom of the menu.
open_window mousemove $((X + 40)) $((Y + HEIGHT - 32)) click 1
prefs() { xdotool search --onlyvisible --name '^Tidemark Preferences$' | head -1; }
[ "$OPENED" = "$(prefs)" ] || fail "the menu opened $(xdotool getwindowname "$OPENED"), not the preferences"
shot 4-preferences
# The preferences window is this program's: no panel lists it as an app, here or elsewhere.
"$TIDEMARK" snapshot >"$E2E_TMP/spaces.json"
first_space=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["spaces"][0]["spaceID"])' "$E2E_TMP/spaces.json")
"$TIDEMARK" panel "$first_space" --json >"$E2E_TMP/panel.json" || fail "tidemark panel exited $?"
check_json "$E2E_TMP/panel.json" "
assert s['apps'] + s['otherApps'], s
assert $app_pid not in s['apps'] + s['otherApps'], s
"
eval "$(xdotool getwindowgeometry --shell "$(prefs)")"
# 400 wide and as high as the sections, with no empty space below them.
[ "$WIDTH" -eq 400 ] && [ "$HEIGHT" -gt 400 ] && [ "$HEIGHT" -lt 540 ] || fail "preferences ${WIDTH}x$HEIGHT"
# The client area's corner: xdotool counts a window manager's frame twice.
px=$(xwininfo -id "$(prefs)" | awk '/Absolute upper-left X/ {print $4}')
py=$(xwininfo -id "$(prefs)" | awk '/Absolute upper-left Y/ {print $4}')

# Choosing another style changes the strip's pixels and the stored setting.
before=$(band_sum 300 $((output_right - 300)))
open_window mousemove $((px + 250)) $((py + 196 + hint)) click 1
shot 5-style-list
xdotool key Up Return
wait_for 100 sh -c "\"$TIDEMARK\" defaults read displayStyle | grep -qx 0" ||
    fail "style not stored: $("$TIDEMARK" defaults read displayStyle)"
strip_changed() { [ "$(band_sum 300 $((output_right - 300)))" != "$before" ]; }
wait_for 30 strip_changed || fail "the strip did not change"
shot 6-rectangles

# The launch-at-login switch writes and removes the autostart entry.
entry="$XDG_CONFIG_HOME/autostart/tidemark.desktop"
xdotool mousemove $((px + 27)) $((py + 118)) click 1
wait_for 100 test -f "$entry" || fail "no autostart entry"
grep -qx "Exec=$(readlink -f "$TIDEMARK")" "$entry" || fail "entry: $(cat "$entry")"
shot 7-login-on
xdotool mousemove $((px + 27)) $((py + 118)) click 1
wait_for 100 test ! -f "$entry" || fail "the autostart entry stayed"

# The refresh shortcut's field records ctrl+alt+r, which then refreshes the spaces, also
# while the menu holds the keyboard.
refreshes() { grep -c '^tidemark: refreshed the spaces$' "$E2E_TMP/app.log" || true; }
# The field's pixels, which show whether it records and what it holds.
field_sum() { area_sum 120 16 $((px + 127)) $((py + 446 + hint)); }
field_changed() { [ "$(field_sum)" != "$1" ]; }
idle_field=$(field_sum)
xdotool mousemove $((px + 187)) $((py + 454 + hint)) click 1
wait_for 30 field_changed "$idle_field" || fail "the shortcut field does not show that it records"
shot 8-recording
recording_field=$(field_sum)
xdotool key ctrl+alt+r
wait_for 100 sh -c "\"$TIDEMARK\" shortcut show refresh | grep -qx 'refresh: Ctrl+Alt+R'" ||
    fail "shortcut not stored: $("$TIDEMARK" shortcut show refresh)"
wait_for 30 field_changed "$recording_field" || fail "the shortcut field does not show the new shortcut"
shot 9-recorded
# One press, one refresh: nothing else refreshes meanwhile.
quiet=$(refreshes)
xdotool key ctrl+alt+r
wait_for 100 sh -c "[ \$(grep -c '^tidemark: refreshed the spaces\$' $E2E_TMP/app.log) -gt $quiet ]" ||
    fail "the shortcut did not refresh"
[ "$(refreshes)" = $((quiet + 1)) ] || fail "$(($(refreshes) - quiet)) refreshes for one press of the shortcut"
# The menu takes the keyboard as it appears.
open_window mousemove "$(glyph_x "$target")" 12 click 3
before_menu=$(refreshes)
xdotool key ctrl+alt+r
wait_for 100 sh -c "[ \$(grep -c '^tidemark: refreshed the spaces\$' $E2E_TMP/app.log) -gt $before_menu ]" ||
    fail "the shortcut did not refresh while the menu was open"
xdotool key Escape

kill -0 "$app_pid" || fail "the app died: $(cat "$E2E_TMP/app.log")"

# The X server going away ends the app with one line, not a crash.
kill "${E2E_PIDS[0]}"
status=0
wait "$app_pid" || status=$?
[ "$status" -eq 1 ] || fail "the app exited $status when the X server went"
grep -qx "tidemark: lost the connection to the X server" "$E2E_TMP/app.log" ||
    fail "no line about the X server: $(cat "$E2E_TMP/app.log")"
echo "PASS live app under $wm (screenshots in $shots)"
