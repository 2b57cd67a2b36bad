#!/usr/bin/env bash
# The strip follows the desktop's appearance as an XSETTINGS manager publishes it: a theme
# name turning "-dark" darkens the strip, turning back lightens it, and a new manager that
# takes over with a dark theme is followed too. Screenshots go to $TIDEMARK_E2E_SHOTS.
source "$(dirname "$0")/session.sh"
: "${TIDEMARK_XSETTINGS_OWNER:?TIDEMARK_XSETTINGS_OWNER must name the test manager}"

shots=${TIDEMARK_E2E_SHOTS:-$(dirname "$TIDEMARK")/../e2e-shots}/appearance
mkdir -p "$shots"
rm -f "$shots"/*.png
unset GTK_THEME DBUS_SESSION_BUS_ADDRESS

start_xvfb
start_openbox
"$TIDEMARK" defaults write displayStyle 1 >/dev/null

# A manager with a light theme before the app starts: the app reads it at launch.
mkfifo "$E2E_TMP/themes"
"$TIDEMARK_XSETTINGS_OWNER" Adwaita <"$E2E_TMP/themes" >"$E2E_TMP/owner.log" 2>&1 &
owner=$!
track "$owner"
exec 7>"$E2E_TMP/themes"
wait_for 50 grep -q '^owner ' "$E2E_TMP/owner.log" || fail "the manager did not start"

TIDEMARK_REPORT_STRIP=1 "$TIDEMARK" >"$E2E_TMP/app.log" 2>&1 7>&- &
app_pid=$!
track "$app_pid"
wait_for 100 strip_painted "$E2E_TMP/app.log" || fail "the strip was not painted: $(cat "$E2E_TMP/app.log")"
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name '^Tidemark$' | head -1)")"
# The strip's mean brightness, 0 (black) to 1 (white).
brightness() {
    xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
        -colorspace Gray -format '%[fx:mean]' info:
}
is_dark() { python3 -c "import sys; sys.exit(0 if float('$(brightness)') < 0.4 else 1)"; }
is_light() { python3 -c "import sys; sys.exit(0 if float('$(brightness)') > 0.6 else 1)"; }
shot() { xwd -root -silent | convert xwd:- -crop "$((WIDTH + 40))x80+$((X - 40))+0" +repage "$shots/$1.png"; }

is_light || fail "light theme, strip brightness $(brightness)"
shot 1-adwaita

echo "Adwaita-dark" >&7
wait_for 30 is_dark || fail "the strip did not turn dark: brightness $(brightness)"
shot 2-adwaita-dark

echo "Adwaita" >&7
wait_for 30 is_light || fail "the strip did not turn light again: brightness $(brightness)"

# The manager goes and a new one takes the selection with a dark theme.
kill "$owner"
wait "$owner" || true
exec 7>&-
mkfifo "$E2E_TMP/themes2"
"$TIDEMARK_XSETTINGS_OWNER" Arc-Dark <"$E2E_TMP/themes2" >"$E2E_TMP/owner2.log" 2>&1 &
track $!
exec 8>"$E2E_TMP/themes2"
wait_for 30 is_dark || fail "the new manager's dark theme was not followed: brightness $(brightness)"
shot 3-new-manager-arc-dark

kill -0 "$app_pid" || fail "the app died: $(cat "$E2E_TMP/app.log")"
echo "PASS appearance follows XSETTINGS (screenshots in $shots)"
