# Reading the live app's panel report lines (TIDEMARK_REPORT_PANEL) from the log file named by
# $log: the lines after the last "panel at" are the current placement, unless the panel went
# since. Sourced by the tests.

# The lines of the current placement; none while the panel is hidden.
current_placement() {
    python3 - "$log" <<'PY'
import sys
lines = open(sys.argv[1]).read().splitlines()
placed = max((i for i, l in enumerate(lines) if l.startswith("tidemark: panel at ")), default=-1)
hidden = max((i for i, l in enumerate(lines) if l == "tidemark: panel hidden"), default=-1)
if placed > hidden:
    print("\n".join(lines[placed:]))
PY
}
# Whether the panel is shown and placed: its controls have been reported since it last went.
panel_placed() { [ -n "$(current_placement)" ]; }
# Whether the panel went after it was last placed.
panel_hidden() { grep -qx 'tidemark: panel hidden' "$log" && ! panel_placed; }

# The centre "X Y" of the current placement's first control whose name matches the regular
# expression $1; fails while there is none.
control_center() {
    current_placement | python3 -c '
import re, sys
for line in sys.stdin.read().splitlines():
    m = re.match(r"tidemark: panel control (\S+) (-?\d+) (-?\d+) (\d+) (\d+)$", line)
    if m and re.search(sys.argv[1], m.group(1)):
        x, y, w, h = map(int, m.groups()[1:])
        print(x + w // 2, y + h // 2)
        sys.exit(0)
sys.exit(1)' "$1"
}
# The names of the current placement's controls that match the regular expression $1. Checks
# wait for the state of the current placement, never for a line anywhere in the log: a
# control of an earlier state (the list's "Dismiss", say) may already be there.
control_names() {
    current_placement | python3 -c '
import re, sys
for line in sys.stdin.read().splitlines():
    if (m := re.match(r"tidemark: panel control (\S+) ", line)) and re.search(sys.argv[1], m.group(1)):
        print(m.group(1))' "$1"
}
control_count() { control_names "$1" | wc -l; }
# Whether the current placement has $2 controls matching $1 ("+" for one or more).
controls_are() {
    local count
    count=$(control_count "$1")
    if [ "$2" = + ]; then [ "$count" -gt 0 ]; else [ "$count" = "$2" ]; fi
}
