# Reading the live app's panel report lines (TIDEMARK_REPORT_PANEL) from the log file named by
# $log: the lines after the last "panel at" are the current placement. Sourced by the tests.

# The centre "X Y" of the current placement's first control whose name matches the regular
# expression $1; fails while there is none.
control_center() {
    python3 - "$log" "$1" <<'PY'
import re, sys
lines = open(sys.argv[1]).read().splitlines()
last = max((i for i, l in enumerate(lines) if l.startswith("tidemark: panel at ")), default=None)
if last is None:
    sys.exit(1)
for line in lines[last + 1:]:
    m = re.match(r"tidemark: panel control (\S+) (-?\d+) (-?\d+) (\d+) (\d+)$", line)
    if m and re.search(sys.argv[2], m.group(1)):
        x, y, w, h = map(int, m.groups()[1:])
        print(x + w // 2, y + h // 2)
        sys.exit(0)
sys.exit(1)
PY
}
# The names of the current placement's controls that match the regular expression $1. Checks
# wait for the state of the current placement, never for a line anywhere in the log: a
# control of an earlier state (the list's "Dismiss", say) may already be there.
control_names() {
    python3 - "$log" "$1" <<'PY'
import re, sys
lines = open(sys.argv[1]).read().splitlines()
last = max((i for i, l in enumerate(lines) if l.startswith("tidemark: panel at ")), default=-1)
for l in lines[last + 1:]:
    if (m := re.match(r"tidemark: panel control (\S+) ", l)) and re.search(sys.argv[2], m.group(1)):
        print(m.group(1))
PY
}
control_count() { control_names "$1" | wc -l; }
# Whether the current placement has $2 controls matching $1 ("+" for one or more).
controls_are() {
    local count
    count=$(control_count "$1")
    if [ "$2" = + ]; then [ "$count" -gt 0 ]; else [ "$count" = "$2" ]; fi
}
# Whether the panel went after it was last placed.
panel_hidden() {
    python3 - "$log" <<'PY'
import sys
lines = open(sys.argv[1]).read().splitlines()
placed = max((i for i, l in enumerate(lines) if l.startswith("tidemark: panel at ")), default=-1)
hidden = max((i for i, l in enumerate(lines) if l == "tidemark: panel hidden"), default=-1)
sys.exit(0 if hidden > placed else 1)
PY
}
