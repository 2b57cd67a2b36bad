#!/usr/bin/env bash
# Whole-process figures of the running app under headless sway (two outputs, run by an
# unprivileged user) with 40 foot clients on five workspaces, beside waybar running only its
# sway/workspaces module (a peer bar with nothing else on it), in a Release build:
#   memory       each one's resident set once both are settled
#   switch CPU   each one's CPU over 40 `swaymsg workspace N` 50 ms apart and half a second
#                after (the scheduler's nanosecond counters, every thread of each); at most
#                waybar's is the target
# Usage: bench/sway_app.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export TIDEMARK=$PWD/$build/src/tidemark
[ -x "$TIDEMARK" ] || { echo "build $build first (scripts/build)" >&2; exit 1; }
command -v waybar >/dev/null || { echo "install waybar first (apt-get install waybar)" >&2; exit 1; }
source tests/e2e/sway_session.sh
source bench/process_cpu.sh

rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
# The newest process of the session's user named $1.
pid_of() { pgrep -n -u "$(stat -c %U "$SWAY_HOME")" -x "$1"; }

USER_TIDEMARK=$(runnable_path "$TIDEMARK" "$(dirname "$TIDEMARK")/tidemark-draw")
start_sway <<CONF
workspace 1 output HEADLESS-1
workspace 2 output HEADLESS-1
workspace 3 output HEADLESS-1
workspace 4 output HEADLESS-2
workspace 5 output HEADLESS-2
CONF
for i in $(seq 0 39); do
    start_foot $((i % 5 + 1))
done
msg workspace 1
"$(session_command "$USER_TIDEMARK")" defaults write displayStyle 4 >/dev/null

cat >"$SWAY_HOME/waybar.json" <<'JSON'
{"layer": "top", "position": "top", "height": 24, "output": "HEADLESS-1",
 "modules-left": ["sway/workspaces"], "modules-center": [], "modules-right": []}
JSON
echo 'window#waybar { font-family: "DejaVu Sans"; font-size: 12px; }' >"$SWAY_HOME/waybar.css"
chmod 644 "$SWAY_HOME/waybar.json" "$SWAY_HOME/waybar.css"

in_session TIDEMARK_REPORT_FIRST_IMAGE=1 TIDEMARK_REPORT_REFRESHES=1 "$USER_TIDEMARK" 2>"$E2E_TMP/app.log" &
track $!
wait_for 100 grep -q "first image" "$E2E_TMP/app.log" || fail "no first image: $(cat "$E2E_TMP/app.log")"
app=$(pid_of tidemark-draw)
in_session waybar -c "$SWAY_HOME/waybar.json" -s "$SWAY_HOME/waybar.css" >"$E2E_TMP/waybar.log" 2>&1 &
track $!
wait_for 100 pid_of waybar >/dev/null || fail "waybar did not start: $(tail -n 3 "$E2E_TMP/waybar.log")"
bar=$(pid_of waybar)
# Both settle: fonts, icons and the first frames.
sleep 3
app_rss=$(rss_kb "$app")
bar_rss=$(rss_kb "$bar")

[ -n "${TIDEMARK_PERF:-}" ] && { perf record -g -o "$TIDEMARK_PERF" -p "$app" >/dev/null 2>&1 & perf_pid=$!; sleep 0.5; }
refreshes() { grep -c "refreshed the spaces" "$E2E_TMP/app.log" || true; }
refreshes_before=$(refreshes)
app_before=$(process_cpu_ns "$app")
bar_before=$(process_cpu_ns "$bar")
app_ticks=$(process_cpu_ticks "$app")
bar_ticks=$(process_cpu_ticks "$bar")
for i in $(seq 40); do
    msg workspace $((i % 5 + 1))
    sleep 0.05
done
sleep 0.5
app_ms=$((($(process_cpu_ns "$app") - app_before) / 1000000))
bar_ms=$((($(process_cpu_ns "$bar") - bar_before) / 1000000))
app_ticks=$(($(process_cpu_ticks "$app") - app_ticks))
bar_ticks=$(($(process_cpu_ticks "$bar") - bar_ticks))
[ -n "${perf_pid:-}" ] && { kill -INT "$perf_pid"; wait "$perf_pid" || true; }
refreshes_made=$(($(refreshes) - refreshes_before))
kill -0 "$app" || fail "the app died: $(cat "$E2E_TMP/app.log")"

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf 'resident after start      app %4d MB   waybar %4d MB\n' $((app_rss / 1024)) $((bar_rss / 1024))
printf '40 switches 50 ms apart   app %4d ms   waybar %4d ms of CPU (the app refreshed %d times)\n' \
    "$app_ms" "$bar_ms" "$refreshes_made"
printf '  the same in clock ticks app %4d      waybar %4d     (one tick is %d ms)\n' \
    "$app_ticks" "$bar_ticks" $((1000 / $(getconf CLK_TCK)))
