#include "main/Commands.h"

namespace tidemark::cli {

// Each defined in its own file.
int runLiveApp(Invocation);
int runSnapshot(Invocation);
int runWatch(Invocation);
int runSwitch(Invocation);
int runRefresh(Invocation);
int runDefaults(Invocation);
int runRender(Invocation);
int runContactSheet(Invocation);
int runReplay(Invocation);
int runScan(Invocation);
int runMemory(Invocation);
int runPanel(Invocation);
int runShortcut(Invocation);
int runDemo(Invocation);

// Both executables compile this table. Only `tidemark-draw` has the code that draws, so in
// `tidemark` a DRAWING row keeps no function and its command is handed over by exec.
#ifdef TIDEMARK_DRAWING
#define DRAWING(run) run
#else
#define DRAWING(run) nullptr
#endif

namespace {

constexpr Option kJson{.name = "--json", .help = "print the JSON document instead of the table"};
constexpr Option kScale{.name = "--scale", .value = "S", .help = "pixels per point (default 1)"};

} // namespace

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table{
        {.summary = "the strip on the desktop (X11, sway, Hyprland, niri)",
         .run = DRAWING(runLiveApp)},
        {.name = "snapshot",
         .summary = "print the display-and-space snapshot as JSON",
         .desktop = Desktop::ScenarioOrLive,
         .details =
             "Each space: displayID, spaceID, spaceName, spaceNumber (its place among all),\n"
             "desktopNumber (among its display's desktops; null when full screen),\n"
             "isCurrentSpace, isFullScreen, apps, the window manager's own wmNumber and\n"
             "wmName (i3's and sway's num and the name after \"N:\", Hyprland's workspace\n"
             "id and name, niri's idx and name, or the EWMH desktop index + 1 and its\n"
             "_NET_DESKTOP_NAMES entry; null where there is none, as in a scenario), and\n"
             "isUrgent: a window there asks for attention (i3's or the compositor's urgent\n"
             "workspace, _NET_WM_STATE_DEMANDS_ATTENTION or the urgency hint of\n"
             "WM_HINTS; false in a scenario).\n",
         .run = runSnapshot},
        {.name = "watch",
         .summary = "run on the live desktop (or a scenario in real time under the settings "
                    "file) and print one JSON line per refresh until interrupted, or with "
                    "--format one line per change for a status bar",
         .desktop = Desktop::ScenarioOrLive,
         .options = {{.name = "--format",
                      .value = "FORMAT",
                      .choices = "json|waybar|polybar|i3blocks",
                      .help = "a line per change of what that bar shows (see below)"},
                     {.name = "--output",
                      .value = "NAME",
                      .help = "only the spaces of this display (an i3 output, or \"screen\")"}},
         .details =
             "Without --format each refresh prints a line: {\"published\": false}, or the\n"
             "snapshot as tidemark snapshot prints it. With --format a line comes only when\n"
             "what it shows changed, and nothing else reaches standard output:\n"
             "  json      the snapshot, as tidemark snapshot prints it\n"
             "  waybar    for a custom module with \"return-type\": \"json\": text (the labels in\n"
             "            Pango markup), alt (the current label), tooltip (each space's\n"
             "            apps) and class (\"urgent\" while a space is)\n"
             "  polybar   for a custom/script module with tail = true: the labels with a\n"
             "            click switching to the space and the wheel to the one before or\n"
             "            after, through tidemark switch\n"
             "  i3blocks  the labels in Pango markup, for interval=persist and markup=pango\n"
             "A label is the window manager's name of the space, else its number; the\n"
             "current one is marked, an urgent one white on red. A bar format grabs no\n"
             "shortcut. An --output that the desktop does not have exits 2. See\n"
             "docs/BARS.md for each bar's configuration.\n",
         .run = runWatch},
        {.name = "switch",
         .summary = "switch the live desktop's display to a space (an id from tidemark "
                    "snapshot) and print the plan: the display, the steps from its current "
                    "space, their direction and the method, \"direct\" (the window manager "
                    "makes the space current) or \"gestures\" (one swipe a step)",
         .words = "SPACE_ID",
         .run = runSwitch},
        {.name = "refresh",
         .summary = "ask the app running on this display to refresh its spaces now, as the "
                    "refresh shortcut does; exit 1 with one line when no app runs or it does "
                    "not answer within 2 s",
         .details = "The app listens on a socket in its session folder\n"
                    "($XDG_RUNTIME_DIR/tidemark, else /tmp/tidemark-UID) named after the\n"
                    "display, e.g. x11-0.sock; a request is the line \"refresh\", answered\n"
                    "by \"ok\". Scripts and window manager key bindings may use it.\n",
         .run = runRefresh},
        {.name = "defaults",
         .summary = "show or change the settings",
         .words = "read [KEY] | write KEY JSON | delete KEY",
         .run = runDefaults},
        {.name = "render",
         .summary = "draw the strip's image as PNG and print its layout as JSON",
         .desktop = Desktop::Scenario,
         .options = {{.name = "--out",
                      .value = "FILE.png",
                      .required = true,
                      .help = "the picture to write"},
                     kScale},
         .run = DRAWING(runRender)},
        {.name = "contact-sheet",
         .summary = "draw every icon style in dark and light, plain, pronounced, coloured and "
                    "with urgent spaces",
         .desktop = Desktop::Scenario,
         .options = {{.name = "--out",
                      .value = "FILE.png",
                      .required = true,
                      .help = "the picture to write"},
                     kScale},
         .run = DRAWING(runContactSheet)},
        {.name = "replay",
         .summary = "replay an event script in virtual time: one JSON line per refresh and "
                    "timer change",
         .desktop = Desktop::Scenario,
         .options =
             {{.name = "--events", .value = "FILE", .required = true, .help = "the event script"},
              {.name = "--until",
               .value = "SECONDS",
               .help = "where virtual time stops, at most a year"},
              {.name = "--ui",
               .help = "let the headless app take pointer, clicks, panel controls and "
                       "row drags and print what a user would see"}},
         .run = runReplay},
        {.name = "scan",
         .summary = "list the helper processes that closed apps left running",
         .desktop = Desktop::ScenarioOrLive,
         .options = {kJson},
         .details = "On Linux a process's memory is its resident set (VmRSS), as ps and top show "
                    "it.\n",
         .run = runScan},
        {.name = "memory",
         .summary = "show the system memory figures",
         .desktop = Desktop::ScenarioOrLive,
         .options = {kJson},
         .details =
             "On Linux (keys as in the JSON document):\n"
             "  total       MemTotal of /proc/meminfo\n"
             "  used        MemTotal - MemAvailable, the used memory free shows\n"
             "  appMemory   AnonPages: memory processes allocated themselves, not file cache\n"
             "  wired       SUnreclaim + KernelStack + PageTables + SecPageTables + Percpu +\n"
             "              Unevictable: memory that cannot be reclaimed or paged out\n"
             "  compressed  Zswap plus the memory every zram device uses\n",
         .run = runMemory},
        {.name = "panel",
         .summary = "show what the hover panel shows for a space (an id from tidemark "
                    "snapshot): its apps with their memory, the other desktops' apps and the "
                    "system memory; a table, or with --json the fields of replay --ui's model "
                    "line and \"names\" (pid to app name)",
         .desktop = Desktop::ScenarioOrLive,
         .options = {{.name = "--json", .help = "the JSON document instead of the table"}},
         .words = "SPACE_ID",
         .run = runPanel},
        {.name = "shortcut",
         .summary = "show or change a global shortcut. COMBO is modifiers and one key joined by "
                    "'+', in any case: ctrl, alt, shift, super, then a letter, digit, "
                    "punctuation, F1 to F20 or a key's name (enter, esc, tab, space, backspace, "
                    "delete, insert, home, end, page up, page down, up, down, left, right, "
                    "keypad 7, …), as shown: 'set refresh Ctrl+Alt+R'",
         .options = {{.name = "--force", .help = "set a combination the window manager uses too"}},
         .words = "show [NAME] | set NAME COMBO | clear NAME",
         .run = runShortcut},
        {.name = "demo",
         .summary = "draw the strip in every style and appearance, the menu, the about view, "
                    "the preferences window and the hover panel in each state as PNG files",
         .desktop = Desktop::Scenario,
         .options = {{.name = "--out",
                      .value = "DIR",
                      .required = true,
                      .help = "the folder for the pictures"}},
         .defaultScenario = "examples/demo.json",
         .run = DRAWING(runDemo)},
    };
    return table;
}

} // namespace tidemark::cli
