#!/usr/bin/env bash
# `tidemark watch` in the bar formats under i3 (two outputs), beside the running app, which
# holds the refresh shortcut: JSON lines that jq reads, one per change and nothing else on
# either stream; and polybar 3.6 running the module of docs/BARS.md as it stands: its lines,
# a real click on a label switching to that workspace, the wheel stepping to the next and
# the previous one, and an urgent workspace turning red in the bar and marked in the strip.
# Screenshots are kept in $TIDEMARK_E2E_SHOTS/bars.
source "$(dirname "$0")/session.sh"
command -v polybar >/dev/null || { echo "no polybar: skipped"; exit 77; }

shots=${TIDEMARK_E2E_SHOTS:-$(dirname "$TIDEMARK")/../e2e-shots}/bars
mkdir -p "$shots"
rm -f "$shots"/*.png
shot() { import -window root "$shots/$1.png"; }
last_client() { xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*' | tail -n 1; }

start_xvfb
start_i3
msg() { i3-msg -s "$I3SOCK" -q "$@"; }
msg workspace 1; start_client xterm
msg workspace 2; start_client xlogo
msg workspace 3; start_client xclock; clock_window=$(last_client)
msg workspace 4; start_client xterm
msg workspace 1
ws1=$(workspace_id 1); ws2=$(workspace_id 2); ws3=$(workspace_id 3); ws4=$(workspace_id 4)

# The app holds ctrl+alt+r: a watch that grabbed it would be refused and say so.
"$TIDEMARK" defaults write displayStyle 1 >/dev/null
"$TIDEMARK" shortcut set refresh ctrl+alt+r >/dev/null
"$TIDEMARK" >"$E2E_TMP/app.log" 2>&1 &
track $!
wait_for 100 sh -c "xdotool search --onlyvisible --name '^Tidemark$'" ||
    fail "no strip window: $(cat "$E2E_TMP/app.log")"

# JSON: a line per change. Moving the focus to the other output and back changes nothing
# shown, so the switch after it adds one line, not three.
current="[x['spaceID'] for x in s['spaces'] if x['isCurrentSpace']]"
start_watch --format json
expect_watch_line 0 "$current == ['$ws1', '$ws4']"
msg focus output fake-1
msg focus output fake-0
msg workspace 2
expect_watch_line 1 "$current == ['$ws2', '$ws4']"
[ "$(watch_line_count)" = 2 ] || fail "lines for refreshes that changed nothing: $(cat "$WATCH_OUT")"
jq -e '.published and (.spaces | length == 4)' "$WATCH_OUT" >/dev/null ||
    fail "not every line is a snapshot: $(cat "$WATCH_OUT")"
stop_watch TERM 0
[ ! -s "$WATCH_ERR" ] || fail "watch wrote to standard error: $(cat "$WATCH_ERR")"
msg workspace 1

# polybar runs the module of the document; `tidemark` on PATH keeps what it prints.
mkdir -p "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/tidemark" <<SH
#!/bin/bash
echo \$\$ >>"$E2E_TMP/module.pids"
exec "$TIDEMARK" "\$@" 2>>"$E2E_TMP/module.err" > >(exec tee -a "$E2E_TMP/module.lines")
SH
chmod +x "$E2E_TMP/bin/tidemark"
module=$(python3 - "$(dirname "$0")/../../docs/BARS.md" <<'PY'
import re, sys
print(re.search(r"```ini\n(\[module/tidemark\]\n.*?)```", open(sys.argv[1]).read(), re.S)[1])
PY
)
cat >"$E2E_TMP/polybar.ini" <<INI
[bar/main]
width = 1024
height = 24
bottom = true
override-redirect = true
background = #222222
foreground = #dddddd
font-0 = DejaVu Sans Mono:pixelsize=14;3
modules-left = tidemark

$module
INI
PATH="$E2E_TMP/bin:$PATH" MONITOR=fake-0 polybar -c "$E2E_TMP/polybar.ini" main \
    >"$E2E_TMP/polybar.log" 2>&1 &
track $!
wait_for 100 test -s "$E2E_TMP/module.pids" || fail "polybar ran no module: $(cat "$E2E_TMP/polybar.log")"
track "$(head -n 1 "$E2E_TMP/module.pids")"

# Waits for a module line in which workspace $1 is the current one (reversed).
expect_current() {
    wait_for 100 grep -qF "%{R} $1 %{R}" "$E2E_TMP/module.lines" ||
        fail "no line with $1 current: $(tail -n 2 "$E2E_TMP/module.lines")"
}
expect_current 1
shot 1-polybar

# Where the labels are: the reversed one shows in the bar's top row, where no text reaches;
# each label is a digit padded by a space on either side.
bar_top=$((768 - 24))
read -r run_start run_end < <(xwd -root -silent | convert xwd:- -crop "1024x1+0+$bar_top" +repage rgb:- |
    python3 -c '
import sys
row = sys.stdin.buffer.read()
xs = [i // 3 for i in range(0, len(row) - 2, 3) if row[i:i + 3] == b"\xdd\xdd\xdd"]
print(xs[0], xs[-1] + 1) if xs else sys.exit("no reversed label")') || fail "the current label is not drawn"
label_x() { python3 -c "print(int($run_start + ($1 * 3 + 1.5) * ($run_end - $run_start) / 3))"; }
y=$((bar_top + 12))

xdotool mousemove "$(label_x 1)" "$y" click 1
expect_output 2 visible_workspace fake-0
expect_current 2
xdotool click 5
expect_output 3 visible_workspace fake-0
expect_current 3
xdotool click 4
expect_output 2 visible_workspace fake-0
expect_current 2
[ "$(visible_workspace fake-1)" = 4 ] || fail "the other output moved"

# An urgent workspace: white on red in the bar, and marked in the strip.
xdotool set_window --urgency 1 "$clock_window"
wait_for 100 grep -qF "%{B#bd2c40} 3 %{B-}" "$E2E_TMP/module.lines" ||
    fail "no urgent label: $(tail -n 1 "$E2E_TMP/module.lines")"
# Red pixels (polybar's #bd2c40, the strip's mark) in the rectangle W H X Y of the screen.
red_pixels() {
    import -window root miff:- | convert miff:- -crop "${1}x${2}+${3}+${4}" +repage -depth 8 rgb:- | python3 -c '
import sys
p = sys.stdin.buffer.read()
print(sum(1 for i in range(0, len(p) - 2, 3) if p[i] > 150 and p[i] - p[i + 1] > 60 and p[i] - p[i + 2] > 60))'
}
urgent_drawn() { [ "$(red_pixels 1024 24 0 "$bar_top")" -gt 100 ] && [ "$(red_pixels 1024 24 0 0)" -gt 0 ]; }
wait_for 50 urgent_drawn || fail "the urgent workspace is not red in the bar and marked in the strip"
shot 2-urgent

# Every line is the module's: the click and wheel actions of fake-0's workspaces only.
python3 - "$E2E_TMP/module.lines" "$ws1 $ws2 $ws3" <<'PY' || fail "a module line is not polybar's"
import re, sys
ids = set(sys.argv[2].split())
for line in open(sys.argv[1]).read().splitlines():
    assert line.startswith("%{A"), line
    assert set(re.findall(r"switch (\d+):}", line)) == ids, line
PY
[ ! -s "$E2E_TMP/module.err" ] || fail "the module wrote to standard error: $(cat "$E2E_TMP/module.err")"
grep -i error "$E2E_TMP/polybar.log" && fail "polybar reported errors"
echo "bars: ok"
