# Shared by the sway tests: a headless sway with two outputs (HEADLESS-1 with workspaces 1
# and 2, HEADLESS-2 with 4) run by an unprivileged user as a real session is, and the helpers
# that run commands in that session. Sourced after session.sh; skips (77) where sway or foot
# is missing or sway does not start.

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
# The binary itself, for a run with more of the environment than the session's.
USER_TIDEMARK="$TIDEMARK"
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
# The workspace sway shows on output $1.
sway_visible() {
    query get_workspaces |
        python3 -c 'import json,sys; print(next(w["name"] for w in json.load(sys.stdin) if w["output"]==sys.argv[1] and w["visible"]))' "$1"
}
