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
"$TIDEMARK" shortcut set refresh alt+Return --force | grep -qx 'refresh: ⌥↩ (alt+return)' ||
    fail "--force did not store the combination"

# The running app reports the combination i3 holds on standard output.
"$TIDEMARK" >"$E2E_TMP/app.out" 2>"$E2E_TMP/app.err" &
track $!
wait_for 100 grep -qx 'Error registering hotkey ⌥↩: -9878' "$E2E_TMP/app.out" ||
    fail "the app printed no refusal: $(cat "$E2E_TMP/app.out" "$E2E_TMP/app.err")"

"$TIDEMARK" shortcut set refresh ctrl+alt+r | grep -qx 'refresh: ⌃⌥R (ctrl+alt+r)' ||
    fail "ctrl+alt+r was not stored"
echo "hot keys: ok"
