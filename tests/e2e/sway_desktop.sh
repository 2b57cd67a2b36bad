#!/usr/bin/env bash
# Headless sway with two outputs, run by an unprivileged user as a real session is: the
# snapshot names both outputs' workspaces and the foot terminals' pids, a switch changes
# sway's shown workspace, a watch follows `swaymsg workspace`, the panel, scan and memory
# commands answer, and the commands say so in one line once sway is gone.
source "$(dirname "$0")/session.sh"

command -v sway >/dev/null && command -v foot >/dev/null || { echo "SKIP: sway or foot missing"; exit 77; }

# sway refuses to run as root: as root the session is nobody's.
SWAY_HOME="$E2E_TMP/sway"
mkdir -p "$SWAY_HOME"
AS_USER=()
if [ "$(id -u)" = 0 ]; then
    chmod 711 "$E2E_TMP"
    chown nobody:nogroup "$SWAY_HOME"
    AS_USER=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
as_user() { "${AS_USER[@]}" "$@"; }
chmod 700 "$SWAY_HOME"
session_env=(env -i HOME="$SWAY_HOME" XDG_RUNTIME_DIR="$SWAY_HOME" XDG_CONFIG_HOME="$SWAY_HOME/config"
             PATH=/usr/bin:/bin)

# The program must be readable by that user; a build tree under a private folder is not.
if ! as_user test -x "$TIDEMARK"; then
    mkdir -p "$E2E_TMP/bin"
    cp "$TIDEMARK" "$(dirname "$TIDEMARK")/tidemark-draw" "$E2E_TMP/bin/"
    chmod 755 "$E2E_TMP/bin" "$E2E_TMP/bin/"*
    TIDEMARK="$E2E_TMP/bin/tidemark"
fi

cat >"$E2E_TMP/sway.conf" <<CONF
xwayland disable
workspace 1 output HEADLESS-1
workspace 2 output HEADLESS-1
workspace 4 output HEADLESS-2
CONF
chmod 644 "$E2E_TMP/sway.conf"
"${AS_USER[@]}" "${session_env[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_HEADLESS_OUTPUTS=2 sway -c "$E2E_TMP/sway.conf" >"$E2E_TMP/sway.log" 2>&1 &
SWAY_PID=$!
track "$SWAY_PID"
sway_socket() { ls "$SWAY_HOME"/sway-ipc.*.sock 2>/dev/null | head -n 1; }
sway_socket_made() { [ -n "$(sway_socket)" ]; }
if ! wait_for 100 sway_socket_made; then
    echo "SKIP: sway does not start here: $(tail -n 3 "$E2E_TMP/sway.log")"
    exit 77
fi
SWAYSOCK=$(sway_socket)
wayland_display=$(cd "$SWAY_HOME" && ls wayland-* | grep -v '\.lock$' | head -n 1)
session_env+=(SWAYSOCK="$SWAYSOCK" WAYLAND_DISPLAY="$wayland_display")
msg() { as_user "${session_env[@]}" swaymsg -q "$@"; }
query() { as_user "${session_env[@]}" swaymsg -t "$1"; }
wait_for 100 query get_version || fail "sway does not answer: $(tail -n 3 "$E2E_TMP/sway.log")"

# Every command runs as that user in the session's environment.
printf '#!/bin/sh\nexec %s "$@"\n' "$(printf '%q ' "${AS_USER[@]}" "${session_env[@]}" "$TIDEMARK")" \
    >"$E2E_TMP/tidemark-in-session"
chmod 755 "$E2E_TMP/tidemark-in-session"
TIDEMARK="$E2E_TMP/tidemark-in-session"

# The pids of sway's windows on workspace $1.
window_pids() {
    query get_tree | python3 -c '
import json, sys
def views(node, workspace):
    if node.get("type") == "workspace":
        workspace = node.get("name")
    if node.get("pid") and workspace == sys.argv[1]:
        yield node["pid"]
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from views(child, workspace)
print(" ".join(map(str, views(json.load(sys.stdin), None))))' "$1"
}
# Starts a terminal on workspace $1 and waits until sway shows its window there.
start_foot() {
    msg workspace "$1"
    # A simple command, not a function, so that the pid is the terminal's own.
    "${AS_USER[@]}" "${session_env[@]}" foot sleep 600 >/dev/null 2>&1 &
    LAST_PID=$!
    track "$LAST_PID"
    wait_for 100 shows_window "$1" "$LAST_PID" || fail "no foot window on workspace $1: $(window_pids "$1") (want $LAST_PID)"
}
shows_window() { [ "$(window_pids "$1")" = "$2" ]; }

start_foot 1; foot1=$LAST_PID
start_foot 2; foot2=$LAST_PID
start_foot 4; foot4=$LAST_PID
msg workspace 1

sway_id() {
    query get_workspaces |
        python3 -c 'import json,sys; print(next(w["id"] for w in json.load(sys.stdin) if w["name"]==sys.argv[1]))' "$1"
}
sway_visible() {
    query get_workspaces |
        python3 -c 'import json,sys; print(next(w["name"] for w in json.load(sys.stdin) if w["output"]==sys.argv[1] and w["visible"]))' "$1"
}
ws1=$(sway_id 1); ws2=$(sway_id 2); ws4=$(sway_id 4)

"$TIDEMARK" defaults write displayStyle 4 >/dev/null
take_snapshot "$E2E_TMP/before.json"
check_json "$E2E_TMP/before.json" "
spaces = s['spaces']
assert s['published'] is True
assert [x['displayID'] for x in spaces] == ['HEADLESS-1', 'HEADLESS-1', 'HEADLESS-2'], spaces
assert [x['spaceID'] for x in spaces] == ['$ws1', '$ws2', '$ws4'], spaces
assert [x['wmNumber'] for x in spaces] == [1, 2, 4], spaces
assert [x['desktopNumber'] for x in spaces] == [1, 2, 1], spaces
assert [x['isCurrentSpace'] for x in spaces] == [True, False, True], spaces
apps = [[a['pid'] for a in x['apps']] for x in spaces]
assert apps == [[$foot1], [$foot2], [$foot4]], apps
assert all(a['appName'] and a['bundleID'] for x in spaces for a in x['apps']), spaces
"

# A switch on the first output leaves the second alone.
"$TIDEMARK" switch "$ws2" >"$E2E_TMP/out" || fail "switch exited $?: $(cat "$E2E_TMP/out")"
grep -qx '{"display":"HEADLESS-1","steps":1,"direction":"forward","method":"direct"}' "$E2E_TMP/out" ||
    fail "switch printed: $(cat "$E2E_TMP/out")"
[ "$(sway_visible HEADLESS-1)" = 2 ] || fail "sway shows $(sway_visible HEADLESS-1) on HEADLESS-1"
[ "$(sway_visible HEADLESS-2)" = 4 ] || fail "HEADLESS-2 moved"

# The panel of a space lists its terminal; scan and memory read this machine.
"$TIDEMARK" panel "$ws4" --json >"$E2E_TMP/panel.json" || fail "panel exited $?"
check_json "$E2E_TMP/panel.json" "assert '$foot4' in s['names'], s['names']"
"$TIDEMARK" scan --json >"$E2E_TMP/scan.json" || fail "scan exited $?"
check_json "$E2E_TMP/scan.json" "assert isinstance(s, list), s"
"$TIDEMARK" memory --json >"$E2E_TMP/memory.json" || fail "memory exited $?"
check_json "$E2E_TMP/memory.json" "assert s['total'] > 0, s"

# The watch follows sway's own switches and a window closing.
current="[x['spaceID'] for x in s['spaces'] if x['isCurrentSpace']]"
start_watch
expect_watch_line 0 "$current == ['$ws2', '$ws4']"
seen=$(watch_line_count)
msg workspace 1
expect_watch_line "$seen" "$current == ['$ws1', '$ws4']"
seen=$(watch_line_count)
kill "$foot2"
expect_watch_line "$seen" "'$ws2' not in [x['spaceID'] for x in s['spaces']]"
stop_watch TERM 0
grep -q . "$WATCH_ERR" && fail "watch wrote errors: $(cat "$WATCH_ERR")"

# sway goes: a running watch ends with one line, and a command says it cannot connect.
start_watch
expect_watch_line 0 "True"
kill "$SWAY_PID"
status=0
for _ in $(seq 50); do kill -0 "$WATCH_PID" 2>/dev/null || break; sleep 0.1; done
wait "$WATCH_PID" || status=$?
[ "$status" = 1 ] || fail "watch exited $status without sway"
[ "$(cat "$WATCH_ERR")" = "tidemark: lost the connection to sway" ] ||
    fail "watch said: $(cat "$WATCH_ERR")"
status=0
"$TIDEMARK" snapshot >/dev/null 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] || fail "snapshot without sway exited $status"
[ "$(cat "$E2E_TMP/err")" = "tidemark snapshot: cannot connect to sway on $SWAYSOCK" ] ||
    fail "snapshot said: $(cat "$E2E_TMP/err")"
echo "sway desktop: ok"
