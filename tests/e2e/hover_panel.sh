#!/usr/bin/env bash
# The hover panel of the live app on Xvfb + i3 with two outputs: resting the pointer on a
# glyph opens the panel under it after the dwell, on the glyph's output; moving
# to the next glyph moves it; leaving closes it; the close control of a real client's row
# makes that client go away; two xterms on one desktop are two rows (in the panel and in
# `tidemark panel`), and the close control of one ends that xterm alone; the cleaner lists a planted leftover helper (a process named
# like a known browser helper whose app window was closed) and cleans it. The app prints
# where the panel and its named controls are (TIDEMARK_REPORT_PANEL). Screenshots are kept
# in $TIDEMARK_E2E_SHOTS (default: the build's e2e-shots folder).
source "$(dirname "$0")/session.sh"
source "$(dirname "$0")/panel_reports.sh"

shots=${TIDEMARK_E2E_SHOTS:-$(dirname "$TIDEMARK")/../e2e-shots}/hover-panel
mkdir -p "$shots"
rm -f "$shots"/*.png
# Read from the screen as a whole: xwd shows the cut corners of the shaped panel as black.
shot() { import -window root "$shots/$1.png"; }

# Only the planted helper's app counts as installed, so the cleaner can find nothing else
# on this machine: the scan lists it alone.
export XDG_DATA_HOME="$E2E_TMP/data" XDG_DATA_DIRS="$E2E_TMP/no-data"
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_DATA_DIRS"
cat >"$XDG_DATA_HOME/applications/com.google.Chrome.desktop" <<'ENTRY'
[Desktop Entry]
Type=Application
Name=Google Chrome
Exec=false
ENTRY

start_xvfb
start_i3
msg() { i3-msg -s "$I3SOCK" -q "$@"; }
msg workspace 1
start_client xlogo
logo_pid=$LAST_PID
start_client xterm -title term-a
term_a=$LAST_PID
start_client xterm -title term-b
term_b=$LAST_PID
msg workspace 2
start_client xclock
clock_pid=$LAST_PID
# The "browser": a terminal whose shell starts a helper that outlives it. A copy of sleep
# under the helper's name, so that the kernel knows the process by that name.
mkdir -p "$E2E_TMP/bin"
helper="$E2E_TMP/bin/Google Chrome Helper"
cp "$(command -v sleep)" "$helper"
start_client xterm -title browser -e sh -c "setsid '$helper' 600 & exec sleep 600"
wait_for 50 pgrep -f "^$helper" || fail "the helper did not start"
helper_pid=$(pgrep -f "^$helper")
track "$helper_pid"
# Its window closes; the helper stays behind.
xdotool search --name '^browser$' windowclose
wait_for 50 sh -c "! xdotool search --name '^browser$'" || fail "the browser window stayed"
kill -0 "$helper_pid" || fail "the helper ended with its app"
msg workspace 3
start_client xeyes
msg workspace 4
start_client xterm
msg workspace 5
start_client xeyes
msg workspace 1

# The opened-apps style: only there do the spaces list their apps.
"$TIDEMARK" defaults write displayStyle 4 >/dev/null
log="$E2E_TMP/app.log"
TIDEMARK_REPORT_PANEL=1 TIDEMARK_REPORT_STRIP=1 "$TIDEMARK" 2>"$log" &
app_pid=$!
track "$app_pid"
wait_for 100 strip_painted "$log" || fail "the strip was not painted: $(cat "$log")"
lay_out_glyphs 1024 4

panel_window() { xdotool search --onlyvisible --name '^Tidemark Panel$' | head -1; }
# The panel's geometry as "X Y W H", from the window itself.
panel_geometry() {
    eval "$(xdotool getwindowgeometry --shell "$(panel_window)")"
    echo "$X $Y $WIDTH $HEIGHT"
}
click_control() {
    local at
    wait_for 30 control_center "$1" || fail "no control $1: $(grep 'panel control' "$log" | tail -n 20)"
    at=$(control_center "$1")
    xdotool mousemove $at click 1
}
first=$(workspace_id 1)
second=$(workspace_id 2)
first_x=$(glyph_x "$first")
second_x=$(glyph_x "$second")

# After the dwell (whose length the status bar's unit tests time on a fake clock).
xdotool mousemove "$first_x" 12
wait_for 50 panel_window || fail "no panel after the pointer came to rest: $(cat "$log")"
wait_for 30 controls_are "^app:$logo_pid$" 1 || fail "the panel does not list xlogo: $(tail -n 20 "$log")"
shot 1-open
read -r px py pw ph <<<"$(panel_geometry)"
echo "panel at $px,$py size ${pw}x$ph under the glyph at $first_x"
# Centred under the glyph (the first of five, far enough from the output's edge), 6 below
# the bar.
[ "$py" -eq 30 ] || fail "panel top at $py"
centre=$((px + pw / 2))
[ "$centre" -ge $((first_x - 1)) ] && [ "$centre" -le $((first_x + 1)) ] ||
    fail "panel centre $centre is not under the glyph at $first_x"
wait_for 30 grep -q "tidemark: panel frame after [0-9]* us" "$log" || fail "no first-frame report"

# The next glyph takes the panel along at once, without a new dwell: it moves right, shows the
# next desktop's rows, and stops at the first output's edge rather than spill onto the second.
xdotool mousemove "$second_x" 12
wait_for 50 controls_are "app:$clock_pid" + ||
    fail "the panel did not move to the next desktop: $(tail -n 10 "$log")"
[ -n "$(panel_window)" ] || fail "the panel closed on the next glyph"
controls_are "app:$logo_pid" 0 || fail "the first desktop's rows stayed"
read -r qx qy qw qh <<<"$(panel_geometry)"
[ "$qx" -gt "$px" ] || fail "the panel did not move right with the pointer: $qx after $px"
[ $((qx + qw)) -le 1024 ] || fail "the panel spills off the first output: $qx + $qw"
[ "$qx" -le "$second_x" ] && [ "$second_x" -le $((qx + qw)) ] || fail "the panel is not under the glyph"
shot 2-moved

# Leaving (not into the panel) closes it after the dismiss delay.
xdotool mousemove 300 600
wait_for 50 sh -c "! xdotool search --onlyvisible --name '^Tidemark Panel$'" ||
    fail "the panel stayed after the pointer left"

# The close control of xlogo's row quits it.
xdotool mousemove "$first_x" 12
wait_for 50 panel_placed || fail "the panel did not open again"
click_control "^app:$logo_pid/quitApp:$logo_pid$"
gone() { [ ! -e "/proc/$1" ] || grep -q '^State:.*Z' "/proc/$1/status"; }
wait_for 50 gone "$logo_pid" || fail "xlogo is still running after its close control"
wait_for 50 controls_are "^app:$logo_pid$" 0 || fail "the quit xlogo's row stayed"
panel_placed || fail "the panel closed with xlogo"
shot 3-quit

# Two xterms on this desktop: two apps, each with its own row and memory, in the panel
# command's model and in the open panel.
"$TIDEMARK" panel "$first" --json >"$E2E_TMP/panel.json" || fail "tidemark panel exited $?"
check_json "$E2E_TMP/panel.json" "
assert s['apps'].count($term_a) == 1 and s['apps'].count($term_b) == 1, s
assert s['names'][str($term_a)] == s['names'][str($term_b)], s['names']
assert str($term_a) in s['appMemory'] and str($term_b) in s['appMemory'], s['appMemory']
"
wait_for 50 controls_are "^app:$term_a$" 1 && controls_are "^app:$term_b$" 1 ||
    fail "the panel does not list both xterms: $(control_names '^app:')"
click_control "^app:$term_a/quitApp:$term_a$"
wait_for 50 gone "$term_a" || fail "xterm $term_a is still running after its close control"
wait_for 50 controls_are "^app:$term_a$" 0 || fail "the quit xterm's row stayed"
controls_are "^app:$term_b$" 1 || fail "the other xterm's row went too"
gone "$term_b" && fail "the other xterm ended too"
"$TIDEMARK" panel "$first" --json >"$E2E_TMP/panel.json" || fail "tidemark panel exited $?"
check_json "$E2E_TMP/panel.json" "assert $term_b in s['apps'] and $term_a not in s['apps'], s"
shot 3b-one-xterm-quit

# The cleaner: scan, the helper listed alone, clean all, the helper gone and counted.
click_control "^scanResidual$"
wait_for 50 controls_are "^residual:$helper_pid$" 1 ||
    fail "the scan did not list the helper: $(tail -n 20 "$log")"
shot 4-residuals
# Nothing else is listed but copies of the helper that other runs of this test on the same
# machine planted (gone, or known by the same name).
only_planted_helpers() {
    local row pid
    for row in $(control_names '^residual:[0-9]+$'); do
        pid=${row#residual:}
        [ "$pid" = "$helper_pid" ] || [ ! -e "/proc/$pid" ] ||
            [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$(cat "/proc/$helper_pid/comm")" ] || return 1
    done
}
controls_are "^residual:$helper_pid$" 1 && only_planted_helpers ||
    fail "the scan did not list the helper ($helper_pid) alone: $(tail -n 20 "$log")"
click_control "^cleanAll$"
# Up to the header: the list gives way to a shorter summary, which would leave the pointer
# below the panel, and the panel would close.
xdotool mousemove $((px + pw / 2)) $((py + 20))
wait_for 50 gone "$helper_pid" || fail "the helper survived Clean All"
# The cleaned summary: its "Done" in place of the list's "Dismiss" and "Clean All", no rows.
cleaned_summary() {
    controls_are '^dismissResidual$' 1 && controls_are '^cleanAll$' 0 && controls_are '^residual:' 0
}
wait_for 50 cleaned_summary ||
    fail "no cleaned summary, or rows stayed after cleaning: $(tail -n 20 "$log")"
shot 5-cleaned

kill -0 "$app_pid" || fail "the app died: $(cat "$log")"
echo "PASS hover panel (screenshots in $shots)"
