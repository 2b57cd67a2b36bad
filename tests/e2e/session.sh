# Shared helpers of the live-desktop tests: a private Xvfb, a window manager and X clients,
# every one of them started here and stopped by pid on exit, success or not.
# Sourced by the test scripts; TIDEMARK (the binary) must be set by the caller.

set -euo pipefail

E2E_PIDS=()
E2E_TMP=$(mktemp -d /tmp/tidemark-e2e.XXXXXX)

# Whether pid $1 is still a process this script started: one it has already reaped may name
# another test's process by now, which must never be signalled.
is_ours() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    # After the command name, which may hold blanks and parentheses: state, then parent.
    stat=${stat##*) }
    local fields
    read -r -a fields <<<"$stat"
    [ "${fields[1]}" = "$$" ]
}

e2e_cleanup() {
    local status=$?
    local i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        ! is_ours "${E2E_PIDS[i]}" || kill "${E2E_PIDS[i]}" 2>/dev/null || true
    done
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        local waited=0
        while is_ours "${E2E_PIDS[i]}" && kill -0 "${E2E_PIDS[i]}" 2>/dev/null && ((waited < 30)); do
            sleep 0.1
            waited=$((waited + 1))
        done
        ! is_ours "${E2E_PIDS[i]}" || kill -9 "${E2E_PIDS[i]}" 2>/dev/null || true
    done
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Remembers a started process so that the exit trap stops it.
track() { E2E_PIDS+=("$1"); }

# Starts Xvfb on a free display it picks itself and exports DISPLAY.
start_xvfb() {
    local fifo="$E2E_TMP/displayfd"
    mkfifo "$fifo"
    # -noreset: a server left without clients (between two window managers) must not
    # regenerate and turn the next one away meanwhile.
    Xvfb -displayfd 3 -screen 0 2048x768x24 -nolisten tcp -noreset 3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
    track $!
    local number
    read -r -t 10 number <"$fifo" || fail "Xvfb did not report a display"
    export DISPLAY=":$number"
    # A Wayland session's compositor would win over this display.
    unset I3SOCK SWAYSOCK HYPRLAND_INSTANCE_SIGNATURE NIRI_SOCKET
}

# Waits until `command` succeeds, for at most `tries` tenths of a second.
wait_for() {
    local tries=$1
    shift
    local i
    for ((i = 0; i < tries; i++)); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    return 1
}

# i3 with two fake outputs side by side; the socket path goes to I3SOCK, its pid to WM_PID. E2E_I3_EXTRA holds
# more configuration lines (key bindings, say).
start_i3() {
    cat >"$E2E_TMP/i3.conf" <<CONF
# i3 config file (v4)
fake-outputs 1024x768+0+0,1024x768+1024+0
font pango:DejaVu Sans Mono 8
focus_follows_mouse no
ipc-socket $E2E_TMP/i3.sock
workspace 1 output fake-0
workspace 2 output fake-0
workspace 3 output fake-0
workspace 4 output fake-1
workspace 5 output fake-1
${E2E_I3_EXTRA:-}
CONF
    i3 -c "$E2E_TMP/i3.conf" >"$E2E_TMP/i3.log" 2>&1 &
    WM_PID=$!
    track $WM_PID
    export I3SOCK="$E2E_TMP/i3.sock"
    wait_for 100 i3-msg -s "$I3SOCK" -t get_version || fail "i3 did not start"
}

start_openbox() {
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    WM_PID=$!
    track $WM_PID
    wait_for 100 wmctrl -m || fail "openbox did not start: $(tail -n 3 "$E2E_TMP/openbox.log")"
    wait_for 50 sh -c '[ "$(wmctrl -d | wc -l)" -ge 4 ]' || fail "openbox has no desktops"
}

# Number of client windows the window manager lists.
client_count() { xprop -root _NET_CLIENT_LIST | tr ',' '\n' | grep -c 0x || true; }

# Starts an X client and waits until the window manager lists one more client window.
# Sets LAST_PID.
start_client() {
    local before
    before=$(client_count)
    "$@" >/dev/null 2>&1 &
    LAST_PID=$!
    track "$LAST_PID"
    wait_for 100 sh -c "[ \$(xprop -root _NET_CLIENT_LIST | tr ',' '\n' | grep -c 0x) -gt $before ]" ||
        fail "no window appeared for $*"
}

# Each test keeps its settings (and stored space names) to itself.
export XDG_CONFIG_HOME="$E2E_TMP/config"
: "${TIDEMARK:?TIDEMARK must name the tidemark binary}"

# The container id of the i3 workspace named $1.
workspace_id() {
    i3-msg -s "$I3SOCK" -t get_workspaces |
        python3 -c 'import json,sys; print(next(w["id"] for w in json.load(sys.stdin) if w["name"]==sys.argv[1]))' "$1"
}

# The name of the visible workspace of output $1.
visible_workspace() {
    i3-msg -s "$I3SOCK" -t get_workspaces |
        python3 -c 'import json,sys; print(next(w["name"] for w in json.load(sys.stdin) if w["output"]==sys.argv[1] and w["visible"]))' "$1"
}

# Runs python3 code over the JSON in file $1 (as `s`); the code raises AssertionError on a
# mismatch, which fails the test with the code as message.
check_json() {
    python3 - "$1" "$2" <<'PY' || fail "check failed: $2"
import json, sys
s = json.load(open(sys.argv[1]))
exec(sys.argv[2])
PY
}

take_snapshot() {
    "$TIDEMARK" snapshot >"$1" || fail "tidemark snapshot exited $?"
}

# Runs the probe's test cases named by the filter $1 with the environment given after it.
probe() {
    local filter=$1
    shift
    env "$@" "$TIDEMARK_PROBE" --gtest_filter="$filter" --gtest_brief=1 || fail "probe $filter"
}

# Waits (up to 5 s) until command $2... prints $1.
expect_output() {
    local want=$1
    shift
    local got=""
    for _ in $(seq 50); do
        got=$("$@" 2>/dev/null || true)
        [ "$got" = "$want" ] && return 0
        sleep 0.1
    done
    fail "expected '$want' from '$*', got '$got'"
}

# Starts `tidemark watch` with the arguments given; its lines go to $WATCH_OUT, its errors
# to $WATCH_ERR. Sets WATCH_PID.
start_watch() {
    WATCH_OUT="$E2E_TMP/watch.out"
    WATCH_ERR="$E2E_TMP/watch.err"
    # Emptied here: the background shell may truncate them after the caller first looks.
    : >"$WATCH_OUT"
    : >"$WATCH_ERR"
    "$TIDEMARK" watch "$@" >"$WATCH_OUT" 2>"$WATCH_ERR" &
    WATCH_PID=$!
    track "$WATCH_PID"
}

# Lines the watch printed so far.
watch_line_count() { wc -l <"$WATCH_OUT"; }

# Waits (up to 10 s) for a published watch line after the first $1 lines for which the
# python3 condition $2 holds of the snapshot `s`; fails with the condition and the last line.
expect_watch_line() {
    local skip=$1 condition=$2
    python3 - "$WATCH_OUT" "$skip" "$condition" "$WATCH_PID" <<'PY' ||
import json, os, sys, time
path, skip, condition, pid = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4])
deadline = time.monotonic() + 10
while time.monotonic() < deadline:
    for line in open(path).read().splitlines()[skip:]:
        s = json.loads(line)
        if s["published"] and eval(condition):
            sys.exit(0)
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        sys.exit("watch ended")
    time.sleep(0.05)
sys.exit("timed out")
PY
        fail "no watch line with $condition; last: $(tail -n 1 "$WATCH_OUT"); errors: $(cat "$WATCH_ERR")"
}

# Sends signal $1 to the watch and expects it to end with status $2 within 5 s.
stop_watch() {
    local signal=$1 want=$2 status=0
    kill "-$signal" "$WATCH_PID"
    for _ in $(seq 50); do
        kill -0 "$WATCH_PID" 2>/dev/null || break
        sleep 0.1
    done
    wait "$WATCH_PID" || status=$?
    [ "$status" = "$want" ] || fail "watch ended with $status after $signal, not $want: $(cat "$WATCH_ERR")"
}

# The glyphs' places in the running app's strip in style $2 (no style sizes its glyphs by
# the apps; opened apps has fixed slots): the same spaces rendered from a scenario give the
# layout; the image is centred in a button whose right end is at screen x $1, with 6 points
# of margin on each side. Then `glyph_x ID` prints the screen x of that glyph's centre.
lay_out_glyphs() {
    GLYPHS_RIGHT=$1
    "$TIDEMARK" snapshot >"$E2E_TMP/snapshot.json"
    python3 - "$E2E_TMP/snapshot.json" "$2" >"$E2E_TMP/scenario.json" <<'PY'
import json, sys
spaces = json.load(open(sys.argv[1]))["spaces"]
displays = []
for s in spaces:
    if not displays or displays[-1]["Display Identifier"] != s["displayID"]:
        displays.append({"Display Identifier": s["displayID"], "Spaces": []})
    d = displays[-1]
    d["Spaces"].append({"ManagedSpaceID": int(s["spaceID"])})
    if s["isCurrentSpace"]:
        d["Current Space"] = {"ManagedSpaceID": int(s["spaceID"])}
print(json.dumps({"settings": {"displayStyle": int(sys.argv[2])}, "displays": displays}))
PY
    QT_QPA_PLATFORM=offscreen "$TIDEMARK" render --scenario "$E2E_TMP/scenario.json" \
        --out "$E2E_TMP/layout.png" >"$E2E_TMP/layout.json"
}

glyph_x() { glyph_place "$1" centre; }
# With "area" as $2, the screen rectangle "W H X Y" of the strip around glyph $1: as high as
# the strip, with room for a mark around the glyph.
glyph_place() {
    python3 - "$E2E_TMP/layout.json" "$1" "$GLYPHS_RIGHT" "$2" <<'PY'
import json, sys
layout = json.load(open(sys.argv[1]))
x, y, w, h = layout["rects"][sys.argv[2]]
left = int(sys.argv[3]) - (layout["width"] + 12) + 6 + x
print(int(left + w / 2) if sys.argv[4] == "centre" else f"{int(w) + 8} 24 {int(left) - 4} 0")
PY
}

# A checksum of the screen's pixels in the rectangle W H X Y.
area_sum() { xwd -root -silent | convert xwd:- -crop "${1}x${2}+${3}+${4}" +repage rgba:- | md5sum; }
# The same of the strip around glyph $1.
glyph_sum() {
    local area
    read -r -a area <<<"$(glyph_place "$1" area)"
    area_sum "${area[@]}"
}

# Whether the app, whose standard error goes to file $1 with TIDEMARK_REPORT_STRIP set, has
# put a frame of its strip on the screen; with "X Y W H" as $2, at that place.
strip_painted() {
    if [ -n "${2:-}" ]; then
        grep -qx "tidemark: strip painted at $2" "$1"
    else
        grep -q '^tidemark: strip painted at ' "$1"
    fi
}

# The app's windows on the screen, one id a line; and those of them not in the list $1.
app_windows() { xdotool search --onlyvisible --class tidemark | sort; }
new_app_window() { comm -13 <(echo "$1") <(app_windows) | grep .; }

# The screen as a whole, as an image in file $1: xwd walks the windows, and shows popups with
# a colour map of their own (a combo box's list) as black boxes.
screen_image() { import -window root "$1"; }

# Whether X window $1 is drawn: its rectangle of the screen differs from the screen image in
# file $2 (screen_image, taken before the window was mapped) and has the many colours of
# drawn text and icons. A window not yet drawn shows what was there before, or one colour.
window_drawn() {
    local info area now was
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    area=$(awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
        / Width:/ {w = $2} / Height:/ {h = $2} END {print w "x" h "+" x "+" y}' <<<"$info")
    screen_image "$E2E_TMP/drawn.miff"
    now=$(convert "$E2E_TMP/drawn.miff" -crop "$area" +repage ppm:- | md5sum)
    was=$(convert "$2" -crop "$area" +repage ppm:- | md5sum)
    [ "$now" != "$was" ] &&
        [ "$(convert "$E2E_TMP/drawn.miff" -crop "$area" +repage -format %k info:)" -gt 16 ]
}

# Opens a window of the app with the clicks or keys given to xdotool and waits until it is
# drawn; sets OPENED to its id.
open_window() {
    local before
    before=$(app_windows)
    screen_image "$E2E_TMP/before.miff"
    xdotool "$@"
    wait_for 100 new_app_window "$before" || fail "no window opened by $*"
    OPENED=$(new_app_window "$before" | tail -1)
    wait_for 30 window_drawn "$OPENED" "$E2E_TMP/before.miff" || fail "window $OPENED opened by $* is not drawn"
}
