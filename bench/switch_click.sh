#!/usr/bin/env bash
# Click to switch, on Xvfb + i3 (two outputs) in a Release build: from the moment xdotool is
# started to click a glyph of the running app to i3's workspace focus event for it, read from
# i3's own socket; target < 30 ms. The clicks alternate between workspaces 1 and 3 of the
# first output, two apart, so a switch that stepped would show in the figure and in the count
# of focus events. The figure includes xdotool's own start, printed alongside.
# Usage: bench/switch_click.sh [BUILD_DIR] [CLICKS]   (default: build, 21)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
clicks=${2:-21}
export TIDEMARK=$PWD/$build/src/tidemark
[ -x "$TIDEMARK" ] || { echo "build $build first (scripts/build)" >&2; exit 1; }
source tests/e2e/session.sh

msg() { i3-msg -s "$I3SOCK" -q "$@"; }
start_xvfb
start_i3
for ws in 1 2 3; do
    msg workspace $ws
    start_client xlogo
done
msg workspace 1
"$TIDEMARK" defaults write displayStyle 1 >/dev/null

"$TIDEMARK" 2>"$E2E_TMP/app.log" &
track $!
wait_for 100 sh -c "xdotool search --onlyvisible --name '^Tidemark\$'" ||
    fail "no strip: $(cat "$E2E_TMP/app.log")"
sleep 1
lay_out_glyphs 1024 1

python3 - "$I3SOCK" "$clicks" "$(glyph_x "$(workspace_id 1)")" "$(glyph_x "$(workspace_id 3)")" \
    "$(cut -d' ' -f1 /proc/loadavg)" <<'PY'
import json, socket, statistics, struct, subprocess, sys, time

path, clicks, x1, x3, load = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
i3 = socket.socket(socket.AF_UNIX)
i3.connect(path)

def read_exact(n):
    data = b""
    while len(data) < n:
        chunk = i3.recv(n - len(data))
        if not chunk:
            sys.exit("i3 closed its socket")
        data += chunk
    return data

def read_message():
    _, length, kind = struct.unpack("=6sII", read_exact(14))
    return kind, json.loads(read_exact(length))

payload = b'["workspace"]'
i3.sendall(b"i3-ipc" + struct.pack("=II", len(payload), 2) + payload)
assert read_message()[1]["success"]

def run_xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)

latencies, focus_counts, floor = [], [], []
for i in range(clicks):
    name, x = ("3", x3) if i % 2 == 0 else ("1", x1)
    # Off the strip, so that no hover panel is open; past the click cooldown.
    run_xdotool("mousemove", "500", "500")
    time.sleep(0.7)
    started = time.monotonic()
    click = subprocess.Popen(["xdotool", "mousemove", x, "12", "click", "1"])
    focused = 0
    while True:
        kind, event = read_message()
        if event.get("change") != "focus":
            continue
        focused += 1
        if event["current"]["name"] == name:
            break
    latencies.append((time.monotonic() - started) * 1000)
    focus_counts.append(focused)
    click.wait()
    started = time.monotonic()
    run_xdotool("mousemove", "500", "500")
    floor.append((time.monotonic() - started) * 1000)

print(f"click to i3 focus event: median {statistics.median(latencies):.1f} ms "
      f"(min {min(latencies):.1f}, max {max(latencies):.1f}; {clicks} clicks; target < 30)")
print(f"  xdotool's own run (a pointer move): median {statistics.median(floor):.1f} ms")
print(f"  focus events per click: {sorted(set(focus_counts))}; load average {load}")
PY
