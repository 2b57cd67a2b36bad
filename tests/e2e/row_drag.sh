#!/usr/bin/env bash
# Dragging an app's row of the live panel onto another glyph, on Xvfb under i3 (two outputs)
# or openbox: while the row is dragged the panel stays on its space and the glyph under the
# pointer is marked (screenshot); the release moves the xterm's window to that space, as the
# window manager itself tells (i3's tree, the window's _NET_WM_DESKTOP). Escape during a
# second drag moves nothing, and the release after it clicks nothing (the current desktop
# stays). Screenshots are kept in $TIDEMARK_E2E_SHOTS (default: the build's e2e-shots folder).
source "$(dirname "$0")/session.sh"
source "$(dirname "$0")/panel_reports.sh"
wm=${1:?usage: row_drag.sh i3|openbox}

shots=${TIDEMARK_E2E_SHOTS:-$(dirname "$TIDEMARK")/../e2e-shots}/row-drag-$wm
mkdir -p "$shots"
rm -f "$shots"/*.png
shot() { import -window root "$shots/$1.png"; }

start_xvfb
if [ "$wm" = i3 ]; then
    start_i3
    msg() { i3-msg -s "$I3SOCK" -q "$@"; }
    msg workspace 2
    start_client xclock
    msg workspace 1
else
    start_openbox
fi
start_client xterm -title dragme
term_pid=$LAST_PID
start_client xlogo
logo_pid=$LAST_PID
term_window=$(xdotool search --name "^dragme$" | head -1)
logo_window=$(xdotool search --class "^xlogo$" | head -1)

"$TIDEMARK" defaults write displayStyle 4 >/dev/null
log="$E2E_TMP/app.log"
TIDEMARK_REPORT_PANEL=1 TIDEMARK_REPORT_STRIP=1 "$TIDEMARK" 2>"$log" &
app_pid=$!
track "$app_pid"
wait_for 100 strip_painted "$log" || fail "the strip was not painted: $(cat "$log")"
if [ "$wm" = i3 ]; then
    lay_out_glyphs 1024 4
    from=$(workspace_id 1)
    to=$(workspace_id 2)
else
    lay_out_glyphs 2048 4
    from=1
    to=2
fi
from_x=$(glyph_x "$from")
to_x=$(glyph_x "$to")

panel_window() { xdotool search --onlyvisible --name '^Tidemark Panel$' | head -1; }
panel_x() {
    eval "$(xdotool getwindowgeometry --shell "$(panel_window)")"
    echo "$X"
}
# The space of X window $1 as the window manager keeps it: i3's workspace name, or the
# EWMH desktop index.
space_of() {
    if [ "$wm" = i3 ]; then
        i3-msg -s "$I3SOCK" -t get_tree | python3 -c '
import json, sys
def walk(node, workspace):
    if node.get("type") == "workspace":
        workspace = node["name"]
    if node.get("window") == int(sys.argv[1]):
        print(workspace); sys.exit(0)
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child, workspace)
walk(json.load(sys.stdin), None)' "$1"
    else
        xprop -id "$1" _NET_WM_DESKTOP | sed 's/.* = //'
    fi
}
if [ "$wm" = i3 ]; then from_name=1 to_name=2; else from_name=0 to_name=1; fi
current_space() {
    if [ "$wm" = i3 ]; then visible_workspace fake-0; else xprop -root _NET_CURRENT_DESKTOP | sed 's/.* = //'; fi
}
[ "$(space_of "$term_window")" = "$from_name" ] || fail "the xterm did not start on the first space"

# Open the panel over the first glyph and press the xterm's row.
open_panel() {
    xdotool mousemove "$from_x" 12
    wait_for 40 panel_window || fail "no panel over the first glyph: $(tail -n 5 "$log")"
    wait_for 30 control_center "^app:$1$" || fail "no row app:$1: $(grep 'panel control' "$log" | tail -n 10)"
}
# The target glyph's pixels before and during the drag.
unmarked='' marked=''
target_marked() { [ "$(glyph_sum "$to")" != "$unmarked" ]; }
# Presses the row at "$rx $ry" and drags it onto the target glyph, until the strip marks it:
# from then on the drag holds the keyboard.
drag_row_to_target() {
    unmarked=$(glyph_sum "$to")
    xdotool mousemove "$rx" "$ry" mousedown 1 mousemove $((rx + 6)) "$ry" \
        mousemove $(((rx + to_x) / 2)) 60 mousemove "$to_x" 12
    wait_for 50 target_marked || fail "the strip did not mark the glyph under the dragged row"
    marked=$(glyph_sum "$to")
}
open_panel "$term_pid"
read -r rx ry <<<"$(control_center "^app:$term_pid$")"
panel_before=$(panel_x)
drag_row_to_target
shot 1-dragging
[ -n "$(panel_window)" ] || fail "the panel closed during the drag"
[ "$(panel_x)" = "$panel_before" ] || fail "the panel followed the pointer during the drag"
xdotool mouseup 1
term_moved() { [ "$(space_of "$term_window")" = "$to_name" ]; }
wait_for 50 term_moved ||
    fail "the xterm's window did not move: it is on $(space_of "$term_window")"
[ "$(space_of "$logo_window")" = "$from_name" ] || fail "the xlogo moved too"
[ "$(current_space)" = "$from_name" ] || fail "the drop switched the desktop"
# The panel goes, and the strip shows the xterm on its new space, unmarked.
dropped_shown() {
    local now
    now=$(glyph_sum "$to")
    panel_hidden && [ "$now" != "$marked" ] && [ "$now" != "$unmarked" ]
}
wait_for 50 dropped_shown || fail "the strip does not show the drop: $(tail -n 5 "$log")"
shot 2-dropped

# Escape during a drag of the xlogo's row: nothing moves, and the release over the glyph
# does not switch to its space.
xdotool mousemove 300 600
wait_for 50 sh -c "! xdotool search --onlyvisible --name '^Tidemark Panel$'" || fail "the panel stayed"
open_panel "$logo_pid"
read -r rx ry <<<"$(control_center "^app:$logo_pid$")"
drag_row_to_target
xdotool key Escape mouseup 1
# What the release could have done is done once a later event is: a right click after it
# opens the menu when the app has handled the release, by which time i3 has answered any
# request of the app's, and openbox has it in its queue; a request of ours to openbox, taken
# in turn, then shows that openbox has handled it too.
windows=$(app_windows)
xdotool click 3
wait_for 50 new_app_window "$windows" || fail "no menu after the release"
xdotool key Escape
if [ "$wm" = openbox ]; then
    wmctrl -i -r "$term_window" -b add,above
    wait_for 50 sh -c "xprop -id $term_window _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" ||
        fail "openbox did not take a request"
fi
[ "$(space_of "$logo_window")" = "$from_name" ] || fail "Escape did not cancel: xlogo moved"
[ "$(current_space)" = "$from_name" ] || fail "the release after Escape switched the desktop"

kill -0 "$app_pid" || fail "the app died: $(cat "$log")"
echo "PASS row drag under $wm (screenshots in $shots)"
