#!/usr/bin/env bash
# The live app under a headless sway with two outputs, run by an unprivileged user: the strip
# is a layer surface across the top of the first output that keeps its band free of windows
# and shows a glyph per workspace at its right end (grim's screenshot); a virtual pointer's
# click on a glyph and a wheel notch over the strip switch sway's workspace; a right click's
# menu floats, is drawn and closes on a click elsewhere; resting on a glyph opens the hover panel, a layer
# surface of its own under the glyph, whose close control ends one of that workspace's foots,
# which follows the pointer to the next glyph and goes when the pointer leaves; `tidemark refresh` reaches the app; a second app
# refuses; and the app ends with one line, at once, when sway goes.
source "$(dirname "$0")/sway_session.sh"
source "$(dirname "$0")/panel_reports.sh"

command -v grim >/dev/null || { echo "SKIP: grim missing"; exit 77; }
POINTER=$(runnable_path "${TIDEMARK_VIRTUAL_POINTER:?}")
USER_TIDEMARK=$(runnable_path "$TIDEMARK" "$(dirname "$TIDEMARK")/tidemark-draw")
start_sway <<CONF
workspace 1 output HEADLESS-1
workspace 2 output HEADLESS-1
workspace 4 output HEADLESS-2
CONF
# The commands run as that user in the session's environment.
TIDEMARK=$(session_command "$USER_TIDEMARK")
SHOTS=${TIDEMARK_E2E_SHOTS:-$E2E_TMP/shots}
mkdir -p "$SHOTS"

start_foot 1
FOOT_ONE=$LAST_PID
start_foot 1
FOOT_SPARE=$LAST_PID
start_foot 2
FOOT_TWO=$LAST_PID
start_foot 4
msg workspace 1
"$TIDEMARK" defaults write displayStyle 2 >/dev/null

# The mouse is there before the app, as a real one is.
coproc MOUSE { in_session "$POINTER" 2560 720 2>&1; }
track "$MOUSE_PID"
mouse() {
    local answer
    echo "$*" >&"${MOUSE[1]}"
    read -r -t 5 answer <&"${MOUSE[0]}" || fail "the virtual pointer did not answer '$*'"
    [ "$answer" = ok ] || fail "the virtual pointer said: $answer"
}

log="$E2E_TMP/app.err"
in_session TIDEMARK_REPORT_FIRST_IMAGE=1 TIDEMARK_REPORT_REFRESHES=1 TIDEMARK_REPORT_PANEL=1 \
    "$USER_TIDEMARK" >"$E2E_TMP/app.out" 2>"$log" &
APP_PID=$!
track "$APP_PID"
first_image() { grep -q "first image" "$E2E_TMP/app.err"; }
wait_for 100 first_image || fail "no first image: $(cat "$E2E_TMP/app.err")"

# The band: sway keeps the first output's windows below the strip, the other's at the top.
workspace_top() {
    query get_workspaces |
        python3 -c 'import json,sys; print(next(w["rect"]["y"] for w in json.load(sys.stdin) if w["name"]==sys.argv[1]))' "$1"
}
band_kept() { [ "$(workspace_top 1)" = 24 ]; }
wait_for 50 band_kept || fail "workspace 1 starts at y $(workspace_top 1), not below the strip"
[ "$(workspace_top 4)" = 0 ] || fail "the second output lost its top band: y $(workspace_top 4)"

# A screenshot of the first output; the glyphs are the runs of columns in the band that are
# not the bar's colour, and they sit at the band's right end.
shoot() {
    in_session grim -o HEADLESS-1 "$SWAY_HOME/shot.png"
    cp "$SWAY_HOME/shot.png" "$SHOTS/sway-strip-$1.png"
    convert "$SWAY_HOME/shot.png" -crop 1280x24+0+0 +repage -depth 8 rgb:"$E2E_TMP/band.rgb"
}
glyphs() {
    python3 - "$E2E_TMP/band.rgb" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
width, height = 1280, 24
def pixel(x, y):
    i = 3 * (y * width + x)
    return data[i:i + 3]
bar = pixel(2, 2)
marked = [any(pixel(x, y) != bar for y in range(height)) for x in range(width)]
runs, start = [], None
for x, m in enumerate(marked + [False]):
    if m and start is None:
        start = x
    elif not m and start is not None:
        runs.append((start, x))
        start = None
print(" ".join(f"{a}-{b}" for a, b in runs))
PY
}
shoot start
runs=$(glyphs)
read -r -a glyph_runs <<<"$runs"
[ "${#glyph_runs[@]}" = 3 ] || fail "the band shows $runs, not three glyphs"
first=${glyph_runs[0]%-*}
last=${glyph_runs[2]#*-}
((first > 1000 && last > 1260)) || fail "the glyphs $runs are not at the right end"

centre() { local run=${glyph_runs[$1]}; echo $(((${run%-*} + ${run#*-}) / 2)); }
shows() { [ "$(sway_visible HEADLESS-1)" = "$1" ]; }
gone() { [ ! -e "/proc/$1" ] || grep -q '^State:.*Z' "/proc/$1/status"; }

# Resting on the first glyph opens the panel under it with workspace 1's two foots, drawn over
# the desktop: most of its pixels differ from the same place before.
mouse move "$(centre 0)" 12
wait_for 50 controls_are "^app:($FOOT_ONE|$FOOT_SPARE)$" 2 ||
    fail "no panel rows for workspace 1's foots: $(grep 'tidemark: panel' "$log" | tail -n 5)"
read -r px py pw ph <<<"$(grep 'tidemark: panel at ' "$log" | tail -n 1 | cut -d' ' -f4-)"
((py >= 24 && px + pw <= 1280 && px <= $(centre 0) && $(centre 0) <= px + pw)) ||
    fail "the panel at $px $py ${pw}x$ph is not under the first glyph"
cp "$SHOTS/sway-strip-start.png" "$E2E_TMP/before.png"
# The first frame is on screen once the report of it came.
wait_for 50 grep -q "panel frame after" "$log" || fail "no first panel frame"
shoot panel
changed=$(python3 - "$E2E_TMP/before.png" "$SWAY_HOME/shot.png" "$px" "$py" "$pw" "$ph" <<'PY'
import subprocess, sys
before, after, x, y, w, h = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:])
def crop(path):
    return subprocess.run(["convert", path, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8",
                           "rgb:-"], capture_output=True, check=True).stdout
a, b = crop(before), crop(after)
print(sum(a[i:i + 3] != b[i:i + 3] for i in range(0, len(a), 3)) * 100 // (w * h))
PY
)
((changed > 80)) || fail "only $changed % of the panel's place changed on screen"

# A row's close control ends that foot alone; its row goes, the other's stays.
read -r rx ry <<<"$(control_center "^app:$FOOT_SPARE$")"
mouse move "$rx" "$ry"
wait_for 50 control_center "^app:$FOOT_SPARE/quitApp:$FOOT_SPARE$" ||
    fail "no close control on the spare foot's row: $(control_names .)"
read -r qx qy <<<"$(control_center "^app:$FOOT_SPARE/quitApp:$FOOT_SPARE$")"
mouse move "$qx" "$qy"
mouse left
wait_for 50 gone "$FOOT_SPARE" || fail "foot $FOOT_SPARE is still running after its close control"
wait_for 50 controls_are "^app:$FOOT_SPARE$" 0 || fail "the quit foot's row stayed"
controls_are "^app:$FOOT_ONE$" 1 || fail "the other foot's row went too"
gone "$FOOT_ONE" && fail "the other foot went too"

# Over the second glyph the panel follows, with workspace 2's foot; a click there shows
# workspace 2 on the first output, and the second output keeps 4.
mouse move "$(centre 1)" 12
wait_for 50 controls_are "^app:$FOOT_TWO$" 1 || fail "the panel did not follow to the second glyph"
controls_are "^app:$FOOT_ONE$" 0 || fail "the first workspace's rows stayed"
mouse left
wait_for 50 shows 2 || fail "a click on the second glyph left sway on $(sway_visible HEADLESS-1): $(tail -n 5 "$E2E_TMP/app.err")"
[ "$(sway_visible HEADLESS-2)" = 4 ] || fail "HEADLESS-2 moved"
shoot clicked

# Leaving for the desktop closes the panel.
mouse move 600 500
wait_for 50 panel_hidden || fail "the panel stayed after the pointer left"

# A wheel notch up over the strip steps the first output back to workspace 1.
mouse move "$(centre 0)" 12
mouse up
wait_for 50 shows 1 || fail "a notch up left sway on $(sway_visible HEADLESS-1)"

# A right click's menu, a window of Qt's own Wayland connection, floats over the tiles (not
# tiled beside them); it is drawn once the middle of its place shows something else than
# before.
menu_rect() {
    query get_tree | python3 -c '
import json, sys
def floating(n, inside=False):
    if inside and n.get("app_id") == "tidemark":
        yield n["rect"]
    for c in n.get("nodes", []):
        yield from floating(c, inside)
    for c in n.get("floating_nodes", []):
        yield from floating(c, True)
r = next(floating(json.load(sys.stdin)), None)
if r is None:
    sys.exit(1)
print(r["x"], r["y"], r["width"], r["height"])
'
}
menu_drawn() {
    local x y w h
    read -r x y w h <<<"$(menu_rect)" || return 1
    shoot menu
    middle() { convert "$1" -crop "1x1+$((x + w / 2))+$((y + h / 2))" -depth 8 rgb:- | od -An -tx1; }
    [ "$(middle "$SWAY_HOME/shot.png")" != "$(middle "$E2E_TMP/before.png")" ]
}
mouse right
wait_for 50 menu_rect || fail "no floating menu window of the app: $(query get_tree | grep -E '"(app_id|type)"')"
wait_for 50 menu_drawn || fail "the menu at $(menu_rect) was not drawn"
# A click elsewhere (on a terminal) closes it, as a menu's would.
mouse move 100 400
mouse left
no_menu() { ! menu_rect >/dev/null; }
wait_for 50 no_menu || fail "the menu stayed after a click elsewhere"

# `tidemark refresh` reaches the app on this Wayland display.
refreshes() { grep -c "refreshed the spaces" "$E2E_TMP/app.err"; }
before=$(refreshes)
"$TIDEMARK" refresh || fail "refresh exited $?"
more_refreshes() { (($(refreshes) > before)); }
wait_for 50 more_refreshes || fail "the app did not refresh"

# A second app on the same display refuses in one line.
status=0
"$TIDEMARK" >"$E2E_TMP/second.out" 2>"$E2E_TMP/second.err" || status=$?
[ "$status" = 1 ] || fail "a second app exited $status"
[ "$(wc -l <"$E2E_TMP/second.err")" = 1 ] || fail "a second app said: $(cat "$E2E_TMP/second.err")"

# sway goes: the app ends at once with one line, not spinning on a dead socket.
kill "$SWAY_PID"
status=0
for _ in $(seq 50); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$APP_PID" 2>/dev/null && fail "the app outlived sway by 5 s"
wait "$APP_PID" || status=$?
[ "$status" = 1 ] || fail "the app exited $status without sway"
grep -qx "tidemark: lost the connection to sway" "$E2E_TMP/app.err" ||
    fail "the app said: $(cat "$E2E_TMP/app.err")"
echo "sway strip: ok"
