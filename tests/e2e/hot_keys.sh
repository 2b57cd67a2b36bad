#!/usr/bin/env bash
# Global shortcuts on a real X server under i3: grabs that follow the stored shortcut, keys
# typed by xdotool, a combination i3 holds itself, `tidemark shortcut` refusing it, and the
# running app reporting it.
source "$(dirname "$0")/session.sh"

export E2E_I3_EXTRA="bindsym Mod1+Return exec true"
start_xvfb
start_i3

probe 'HotKeyFixture.*' E2E_HOTKEYS=1

# The command line sees i3's binding as the window manager's shortcut.
status=0
"$TIDEMARK" shortcut set refresh alt+Return 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] || fail "a window-manager shortcut was accepted (exit $status)"
grep -q "'alt+Return' is a shortcut of the window manager" "$E2E_TMP/err" ||
    fail "unclear refusal: $(cat "$E2E_TMP/err")"
"$TIDEMARK" shortcut show refresh | grep -qx 'refresh: none' || fail "something was stored"
"$TIDEMARK" shortcut set refresh alt+Return --force | grep -qx 'refresh: Alt+Enter' ||
    fail "--force did not store the combination"

# The running app reports the combination i3 holds on standard error.
"$TIDEMARK" >"$E2E_TMP/app.out" 2>"$E2E_TMP/app.err" &
track $!
wait_for 100 grep -qx 'tidemark: Error registering hotkey Alt+Enter: -9878' "$E2E_TMP/app.err" ||
    fail "the app printed no refusal: $(cat "$E2E_TMP/app.out" "$E2E_TMP/app.err")"
! grep -q 'Error registering' "$E2E_TMP/app.out" || fail "the refusal went to standard output"

"$TIDEMARK" shortcut set refresh ctrl+alt+r | grep -qx 'refresh: Ctrl+Alt+R' ||
    fail "ctrl+alt+r was not stored"

# With the Cyrillic group of the server's keymap active, the key still reads as its letter.
setxkbmap -layout ru,us || fail "setxkbmap"
"$TIDEMARK" shortcut show refresh | grep -qx 'refresh: Ctrl+Alt+R' ||
    fail "under a Cyrillic group: $("$TIDEMARK" shortcut show refresh)"
echo "hot keys: ok"
