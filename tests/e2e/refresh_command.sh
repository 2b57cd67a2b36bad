#!/usr/bin/env bash
# `tidemark refresh` against the app running under i3: without an app, one line and exit 1;
# with it, exit 0 and a refresh of the app, also while other peers hold connections that
# send garbage, too much or nothing; a stopped app is reported after 2 s.
source "$(dirname "$0")/session.sh"

# The session folder of this test alone.
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_xvfb
start_i3

# Runs `tidemark refresh`; sets STATUS, OUT and ERR.
ask_refresh() {
    STATUS=0
    "$TIDEMARK" refresh >"$E2E_TMP/out" 2>"$E2E_TMP/err" || STATUS=$?
    OUT=$(cat "$E2E_TMP/out")
    ERR=$(cat "$E2E_TMP/err")
}
# Exit 1 with the one line $1 on standard error and nothing on standard output.
expect_refused() {
    [ "$STATUS" = 1 ] || fail "refresh exited $STATUS, not 1"
    [ -z "$OUT" ] || fail "refresh printed '$OUT'"
    [ "$ERR" = "$1" ] || fail "refresh said '$ERR'"
}

ask_refresh
expect_refused "tidemark refresh: no Tidemark app runs on this display"

# A style without the opened-apps check, whose timer refreshes twice a second.
"$TIDEMARK" defaults write displayStyle 1 >/dev/null
TIDEMARK_REPORT_REFRESHES=1 "$TIDEMARK" >"$E2E_TMP/app.log" 2>&1 &
app_pid=$!
track "$app_pid"
refreshes() { grep -c '^tidemark: refreshed the spaces$' "$E2E_TMP/app.log" || true; }
wait_for 100 sh -c "[ -S '$XDG_RUNTIME_DIR/tidemark/x11-${DISPLAY#:}.sock' ]" ||
    fail "no socket: $(cat "$E2E_TMP/app.log")"
wait_for 100 sh -c "[ \$(grep -c '^tidemark: refreshed the spaces\$' $E2E_TMP/app.log) -gt 0 ]" ||
    fail "the app never refreshed: $(cat "$E2E_TMP/app.log")"

# Peers that misbehave, each kept connected until told to go: they must not hold the app up.
python3 -u - "$XDG_RUNTIME_DIR/tidemark/x11-${DISPLAY#:}.sock" >"$E2E_TMP/peers" <<'PY' &
import socket, sys, time
peers = []
for payload in (b"", b"refr", b"reboot\n", b"x" * 100000):
    s = socket.socket(socket.AF_UNIX)
    s.connect(sys.argv[1])
    s.setblocking(False)
    try:
        s.send(payload)
    except BlockingIOError:
        pass
    peers.append(s)
print("connected")
time.sleep(600)
PY
peers_pid=$!
track "$peers_pid"
wait_for 50 grep -qx connected "$E2E_TMP/peers" || fail "the peers did not connect"

# One request, one refresh: the peers' bytes, which came first, refresh nothing.
before=$(refreshes)
ask_refresh
[ "$STATUS" = 0 ] && [ -z "$OUT$ERR" ] || fail "refresh exited $STATUS: '$OUT' '$ERR'"
wait_for 50 sh -c "[ \$(grep -c '^tidemark: refreshed the spaces\$' $E2E_TMP/app.log) -gt $before ]" ||
    fail "the app did not refresh"
[ "$(refreshes)" = $((before + 1)) ] || fail "$(($(refreshes) - before)) refreshes for one request"
kill "$peers_pid"

# A stopped app takes the connection (the kernel does) but answers nothing.
kill -STOP "$app_pid"
ask_refresh
kill -CONT "$app_pid"
expect_refused "tidemark refresh: the app on this display did not answer within 2 s"
kill -0 "$app_pid" || fail "the app died: $(cat "$E2E_TMP/app.log")"

# Once the app is gone, nobody answers on the socket it may have left.
kill "$app_pid"
wait "$app_pid" || true
ask_refresh
expect_refused "tidemark refresh: no Tidemark app runs on this display"
echo "PASS tidemark refresh"
