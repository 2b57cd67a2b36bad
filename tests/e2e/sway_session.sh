# Headless sway with two outputs (HEADLESS-1, HEADLESS-2), run by an unprivileged user as a
# real session is, and foot terminals in it; every process tracked as session.sh does.
# Sourced by the sway test and benchmark; TIDEMARK must be set by the caller.

source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

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
chmod 700 "$SWAY_HOME"
session_env=(env -i HOME="$SWAY_HOME" XDG_RUNTIME_DIR="$SWAY_HOME" XDG_CONFIG_HOME="$SWAY_HOME/config"
             PATH=/usr/bin:/bin)

# Runs a command as the session's user, in its environment once sway runs.
in_session() { "${AS_USER[@]}" "${session_env[@]}" "$@"; }

# The path by which the session's user runs program $1, with the files $2... beside it: a build
# tree under a private folder is not readable by that user, so the files are copied out then.
runnable_path() {
    local program=$1
    shift
    if "${AS_USER[@]}" test -x "$program"; then
        echo "$program"
        return
    fi
    mkdir -p "$E2E_TMP/bin"
    cp "$program" "$@" "$E2E_TMP/bin/"
    chmod 755 "$E2E_TMP/bin" "$E2E_TMP/bin/"*
    echo "$E2E_TMP/bin/$(basename "$program")"
}

# Starts sway with the configuration lines on standard input; sets SWAY_PID and SWAYSOCK and
# adds the session's sockets to session_env. Skips (exit 77) where sway cannot start.
start_sway() {
    { echo "xwayland disable"; cat; } >"$E2E_TMP/sway.conf"
    chmod 644 "$E2E_TMP/sway.conf"
    "${AS_USER[@]}" "${session_env[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_HEADLESS_OUTPUTS=2 sway -c "$E2E_TMP/sway.conf" >"$E2E_TMP/sway.log" 2>&1 &
    SWAY_PID=$!
    track "$SWAY_PID"
    if ! wait_for 100 sway_socket_made; then
        echo "SKIP: sway does not start here: $(tail -n 3 "$E2E_TMP/sway.log")"
        exit 77
    fi
    SWAYSOCK=$(sway_socket)
    local wayland_display
    wayland_display=$(cd "$SWAY_HOME" && ls wayland-* | grep -v '\.lock$' | head -n 1)
    session_env+=(SWAYSOCK="$SWAYSOCK" WAYLAND_DISPLAY="$wayland_display")
    wait_for 100 query get_version || fail "sway does not answer: $(tail -n 3 "$E2E_TMP/sway.log")"
}
sway_socket() { ls "$SWAY_HOME"/sway-ipc.*.sock 2>/dev/null | head -n 1; }
sway_socket_made() { [ -n "$(sway_socket)" ]; }

# A program that runs $1 as the session's user in its environment, for callers that run
# commands as themselves; prints its path. After start_sway, whose sockets it names.
session_command() {
    local wrapper
    wrapper="$E2E_TMP/$(basename "$1")-in-session"
    printf '#!/bin/sh\nexec %s "$@"\n' "$(printf '%q ' "${AS_USER[@]}" "${session_env[@]}" "$1")" \
        >"$wrapper"
    chmod 755 "$wrapper"
    echo "$wrapper"
}

msg() { in_session swaymsg -q "$@"; }
query() { in_session swaymsg -t "$1"; }

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
shows_window() { [[ " $(window_pids "$1") " == *" $2 "* ]]; }

# Starts a terminal on workspace $1 and waits until sway shows its window there; sets LAST_PID.
start_foot() {
    msg workspace "$1"
    # A simple command, not a function, so that the pid is the terminal's own.
    "${AS_USER[@]}" "${session_env[@]}" foot sleep 600 >/dev/null 2>&1 &
    LAST_PID=$!
    track "$LAST_PID"
    wait_for 100 shows_window "$1" "$LAST_PID" || fail "no foot window on workspace $1: $(window_pids "$1") (want $LAST_PID)"
}

# The id of workspace $1.
sway_id() {
    query get_workspaces |
        python3 -c 'import json,sys; print(next(w["id"] for w in json.load(sys.stdin) if w["name"]==sys.argv[1]))' "$1"
}
# The name of the workspace output $1 shows.
sway_visible() {
    query get_workspaces |
        python3 -c 'import json,sys; print(next(w["name"] for w in json.load(sys.stdin) if w["output"]==sys.argv[1] and w["visible"]))' "$1"
}
