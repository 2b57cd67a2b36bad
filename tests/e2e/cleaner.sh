#!/usr/bin/env bash
# The cleaner on a Linux desktop, Xvfb + i3: with Chrome installed and no browser running, a
# crash handler and a helper left running from Chrome's install folder are found and
# cleaned; desktop drawers are never offered, neither `pcmanfm --desktop` nor a program
# whose window is the desktop.
source "$(dirname "$0")/session.sh"

# Only what this test installs counts: Chrome, and the drawers' entries (visible ones, which
# would make them apps).
export XDG_DATA_HOME="$E2E_TMP/data" XDG_DATA_DIRS="$E2E_TMP/no-data"
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_DATA_DIRS" "$E2E_TMP/bin"
entry() {
    printf '[Desktop Entry]\nType=Application\nName=%s\nExec=false\n%b' "$2" "${3:-}" \
        >"$XDG_DATA_HOME/applications/$1.desktop"
}
entry google-chrome "Google Chrome"
entry pcmanfm "PCManFM" 'StartupWMClass=Pcmanfm\n'
entry deskdraw "Desk Drawer" 'StartupWMClass=Deskdraw\n'

# Chrome's folder is matched as a fragment of the executable's path, so a copy under this
# test's own folder stands for /opt/google/chrome, which a test has no business writing to.
# Copies of sleep, so that the kernel knows each process by its file name.
chrome="$E2E_TMP/opt/google/chrome"
mkdir -p "$chrome"
cp "$(command -v sleep)" "$chrome/chrome_crashpad_handler"
cp "$(command -v sleep)" "$chrome/nacl_helper"

start_xvfb
start_i3
"$chrome/chrome_crashpad_handler" 600 &
crashpad=$!
track "$crashpad"
"$chrome/nacl_helper" 600 &
nacl=$!
track "$nacl"

# The drawers: terminals whose windows are made the desktop, one of them running as
# `pcmanfm --desktop`.
cp "$(command -v xterm)" "$E2E_TMP/bin/pcmanfm"
start_client "$E2E_TMP/bin/pcmanfm" -class Pcmanfm -title drawer1 -e sh -c 'exec sleep 600' --desktop
drawer1=$LAST_PID
start_client xterm -class Deskdraw -title drawer2 -e sleep 600
drawer2=$LAST_PID
for title in drawer1 drawer2; do
    window=$(xdotool search --name "^$title\$" | head -1)
    [ -n "$window" ] || fail "no window $title"
    xprop -id "$window" -f _NET_WM_WINDOW_TYPE 32a \
        -set _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DESKTOP
done
spared="$drawer1 $drawer2 $(pgrep -P "$drawer1" || true) $(pgrep -P "$drawer2" || true)"

# The table by default, naming the planted helper.
"$TIDEMARK" scan >"$E2E_TMP/scan.txt" || fail "tidemark scan exited $?"
grep -q "^$crashpad  *chrome_crashpad_handler  *Google Chrome " "$E2E_TMP/scan.txt" ||
    fail "the scan table did not list the crash handler: $(cat "$E2E_TMP/scan.txt")"

probe 'LiveFixture.CleanerFindsAndEndsPlantedLeftovers' \
    E2E_CLEANER_PLANTED="$crashpad $nacl" E2E_CLEANER_SPARED="$spared"
echo "PASS cleaner"
