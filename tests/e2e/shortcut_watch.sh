#!/usr/bin/env bash
# `tidemark watch` under i3 with a shortcut set through `tidemark shortcut`: typing it
# refreshes, a combination i3 holds prints the refusal line, and a change written while
# the app runs moves the grab. Skipped (77) while this build has no watch command.
source "$(dirname "$0")/session.sh"

"$TIDEMARK" --help | grep -q '^  watch' || { echo "no watch command: skipped"; exit 77; }

export E2E_I3_EXTRA="bindsym Mod1+Return exec true"
start_xvfb
start_i3

# Numbers: no half-second window check, so every line comes from a refresh the test caused.
"$TIDEMARK" defaults write displayStyle 1 >/dev/null || fail "set the numbers style"
"$TIDEMARK" shortcut set refresh ctrl+alt+r >/dev/null || fail "set ctrl+alt+r"
"$TIDEMARK" watch >"$E2E_TMP/watch.out" 2>"$E2E_TMP/watch.err" &
track $!
watch_pid=$!
# The first refresh of the launch shows the app is up.
wait_for 100 grep -q published "$E2E_TMP/watch.out" || fail "watch printed no refresh"
refreshes() { grep -c published "$E2E_TMP/watch.out" || true; }

before=$(refreshes)
xdotool key ctrl+alt+r
wait_for 50 sh -c "[ \$(grep -c published '$E2E_TMP/watch.out') -gt $before ]" ||
    fail "ctrl+alt+r did not refresh"

# A combination i3 holds: the running app reports the refused grab on standard error.
"$TIDEMARK" shortcut set refresh alt+Return --force >/dev/null || fail "set alt+Return"
wait_for 50 grep -q '^tidemark: Error registering hotkey Alt+Enter: ' "$E2E_TMP/watch.err" ||
    fail "no refusal line: $(cat "$E2E_TMP/watch.err")"

# Moved while running: the new combination refreshes once the watch has read the file, so it
# is typed until it does. (That the old one is let go is the hot keys probe's to check: a
# stray refresh here could not be told from the new one's.)
"$TIDEMARK" shortcut set refresh super+shift+F5 >/dev/null || fail "set super+shift+F5"
before=$(refreshes)
wait_for 50 sh -c "xdotool key super+shift+F5; [ \$(grep -c published '$E2E_TMP/watch.out') -gt $before ]" ||
    fail "super+shift+F5 did not refresh after the change"
kill -0 "$watch_pid" || fail "watch ended: $(cat "$E2E_TMP/watch.err")"
echo "shortcut watch: ok"
