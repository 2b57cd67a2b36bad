#!/usr/bin/env bash
# Whole-process figures of the running app on Xvfb + i3 (two outputs), in a Release build:
#   start-up     process start to the first strip image painted (target < 150 ms)
#   memory       resident set after start, and after an hour of a busy user's activity
#                replayed fast (desktop switches, apps opening and closing) (< 45 MB, flat)
#   idle CPU     share of one core in the opened-apps style with 40 windows (< 0.5 %)
#   switch CPU   the app's CPU for 40 workspace switches 50 ms apart, beside polybar's
#                i3 module following the same switches (at most polybar's)
# Usage: bench/live_app.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export TIDEMARK=$PWD/$build/src/tidemark
[ -x "$TIDEMARK" ] || { echo "build $build first (scripts/build)" >&2; exit 1; }
source tests/e2e/session.sh
source bench/process_cpu.sh

rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
msg() { i3-msg -s "$I3SOCK" -q "$@"; }

start_xvfb
start_i3
"$TIDEMARK" defaults write displayStyle 4 >/dev/null

# 40 windows over five workspaces on the two outputs.
for i in $(seq 40); do
    msg workspace $(((i - 1) % 5 + 1))
    start_client xlogo
done
msg workspace 1

# Start-up: five runs, the median.
startups=()
cpus=()
for run in 1 2 3 4 5; do
    out="$E2E_TMP/start-$run.log"
    started=$(python3 -c 'import time; print(time.monotonic_ns())')
    TIDEMARK_REPORT_FIRST_IMAGE=1 "$TIDEMARK" 2>"$out" &
    pid=$!
    wait_for 50 grep -q "first image at" "$out" || { cat "$out"; fail "no first image"; }
    painted=$(sed -n 's/.*first image at \([0-9]*\) ns.*/\1/p' "$out")
    startups+=($(((painted - started) / 1000000)))
    cpus+=($(sed -n 's/.* after \([0-9]*\) ms of CPU.*/\1/p' "$out"))
    kill "$pid"; wait "$pid" 2>/dev/null || true
done
startup=$(printf '%s\n' "${startups[@]}" | sort -n | sed -n 3p)
startup_cpu=$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n 3p)

"$TIDEMARK" 2>"$E2E_TMP/app.log" &
app=$!
track "$app"
sleep 3
rss_start=$(rss_kb "$app")

# Idle: 30 seconds without input, the half-second window check running.
ticks_before=$(process_cpu_ticks "$app")
sleep 30
ticks_after=$(process_cpu_ticks "$app")
hz=$(getconf CLK_TCK)
idle_cpu=$(python3 -c "print(f'{($ticks_after - $ticks_before) / $hz / 30 * 100:.2f}')")

# 40 switches 50 ms apart, the app and polybar's own i3 module (a peer bar with nothing
# else on it) following them side by side; CPU from the scheduler's nanosecond counters over
# the switches and half a second after, every thread of each.
cat >"$E2E_TMP/polybar.ini" <<'INI'
[bar/peer]
width = 100%
height = 24
font-0 = DejaVu Sans:size=10
modules-left = i3
[module/i3]
type = internal/i3
INI
if command -v polybar >/dev/null; then
    polybar -q -c "$E2E_TMP/polybar.ini" peer >"$E2E_TMP/polybar.log" 2>&1 &
    polybar_pid=$!
    track "$polybar_pid"
    wait_for 50 xdotool search --class polybar || fail "polybar did not start"
    sleep 1
fi
# Three rounds, each of 40 switches and the half second after, the app and polybar read
# around the same round.
cpu_of() { [ -n "${1:-}" ] && echo "$(process_cpu_ns "$1") $(process_cpu_ticks "$1")" || echo "0 0"; }
switch_rounds=()
for round in 1 2 3; do
    read -r app_ns app_ticks <<<"$(cpu_of "$app")"
    read -r bar_ns bar_ticks <<<"$(cpu_of "${polybar_pid:-}")"
    for i in $(seq 40); do
        msg workspace $((i % 5 + 1))
        sleep 0.05
    done
    sleep 0.5
    read -r app_ns2 app_ticks2 <<<"$(cpu_of "$app")"
    read -r bar_ns2 bar_ticks2 <<<"$(cpu_of "${polybar_pid:-}")"
    polybar_cpu=n/a
    [ -n "${polybar_pid:-}" ] &&
        polybar_cpu="$(((bar_ns2 - bar_ns) / 1000000)) ms ($((bar_ticks2 - bar_ticks)) ticks)"
    switch_rounds+=("$(printf 'app %3d ms (%d ticks), polybar %s' \
        $(((app_ns2 - app_ns) / 1000000)) $((app_ticks2 - app_ticks)) "$polybar_cpu")")
done
[ -n "${polybar_pid:-}" ] && kill "$polybar_pid" 2>/dev/null || true

# An hour of activity: a desktop switch every six seconds and an app opened and another
# closed every minute (600 switches, 60 launches and 60 quits), replayed at speed.
extra=()
replay_half() {
    for round in $(seq 300); do
        msg workspace $((round % 5 + 1))
        if ((round % 10 == 0)); then
            xlogo >/dev/null 2>&1 &
            extra+=($!)
            track $!
            if ((${#extra[@]} > 3)); then
                kill "${extra[0]}" 2>/dev/null || true
                extra=("${extra[@]:1}")
            fi
        fi
        sleep 0.05
    done
    sleep 2
}
replay_half
rss_half=$(rss_kb "$app")
replay_half
rss_hour=$(rss_kb "$app")
kill -0 "$app" || fail "the app died: $(cat "$E2E_TMP/app.log")"

printf 'start-up to first image   %4d ms   (runs: %s; target < 150)\n' "$startup" "${startups[*]}"
printf '  CPU the app spent on it  %4d ms   (load average of the machine: %s)\n' "$startup_cpu" \
    "$(cut -d' ' -f1 /proc/loadavg)"
printf 'resident after start      %4d MB   (target < 45)\n' $((rss_start / 1024))
printf 'resident after half hour  %4d MB\n' $((rss_half / 1024))
printf 'resident after the hour   %4d MB   (growth over the second half: %d kB)\n' \
    $((rss_hour / 1024)) $((rss_hour - rss_half))
printf 'idle CPU, 40 windows      %s %% of one core (target < 0.5)\n' "$idle_cpu"
echo "40 switches 50 ms apart, CPU of every thread (polybar with only its i3 module; one tick"
echo "is $((1000 / hz)) ms):"
printf '  round %d: %s\n' 1 "${switch_rounds[0]}" 2 "${switch_rounds[1]}" 3 "${switch_rounds[2]}"
