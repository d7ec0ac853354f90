"""Reads the real windows through the accessibility bus, as a screen reader does.

Run by tests/a11y/atspi-test inside its own X server, window manager, session
bus and accessibility bus; the argument is the corvane executable. Starts it,
types a program that pauses at a "<BREAK>" line, runs it with keys, and checks
the names and texts of the main, run, input and break windows on the way.
Exits 0 when every check held, 1 otherwise, saying which did not.
"""

import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

STEP_TIMEOUT = float(os.environ.get("CORVANE_A11Y_TIMEOUT", "20"))

PROGRAM = "INPUT stop\nOUTPUT\nOUTPUT  // <BREAK>\nSET 5\n:stop"
PAUSED_LINE = "OUTPUT  // <BREAK>"
INPUT = "7 8"
EDITOR_HINT = ("Type a program here, or open one of the examples. "
               "Help > Language Guide (Shift+F1) explains the language.")
INPUT_HINT = "Input values: whole numbers separated by blanks, e.g. 3 -5 12"
LIST_NAME = "Program lines, checked lines are breakpoints"


class Timeout(Exception):
    pass


failures = []
focus_events = []
output_events = []


def check(condition, what, got=None):
    mark = "ok  " if condition else "FAIL"
    print(f"{mark} {what}" + ("" if condition or got is None else f": got {got!r}"), flush=True)
    if not condition:
        failures.append(what)


def pump():
    """Delivers the bus events received so far (the focus listener)."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe, timeout=STEP_TIMEOUT):
    """Polls probe until it answers something true; objects that vanish or are
    not there yet raise, which counts as not yet."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        pump()
        try:
            found = probe()
            if found:
                return found
        except Exception as error:  # a window closing under the query, a bus hiccup
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise Timeout(f"timed out after {timeout:.0f} s waiting for {what}{detail}")
        time.sleep(0.1)


def children(accessible):
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield child


def find(root, test, depth=12):
    """The first descendant (breadth first) that passes the test, or None."""
    level = [root]
    for _ in range(depth):
        following = []
        for accessible in level:
            for child in children(accessible):
                if test(child):
                    return child
                following.append(child)
        level = following
    return None


def named(name, role=None):
    return lambda a: a.name == name and (role is None or a.getRole() == role)


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def has_state(accessible, state):
    return accessible.getState().contains(state)


def window(app, suffix):
    """The shown top-level window whose title ends with the suffix."""
    for child in children(app):
        if child.name.endswith(suffix) and has_state(child, pyatspi.STATE_SHOWING):
            return child
    return None


def control(app, suffix, name, role=None):
    """A named control of a shown window, waited for."""
    return wait_for(f'"{name}" in the window "…{suffix}"',
                    lambda: find(window(app, suffix), named(name, role)))


def panel_text(app, suffix, name):
    return text_of(control(app, suffix, name, pyatspi.ROLE_LABEL))


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def active_title():
    done = subprocess.run(["xdotool", "getactivewindow", "getwindowname"],
                          capture_output=True, text=True)
    return done.stdout.rstrip("\n") if done.returncode == 0 else None


def wait_active(app, suffix):
    """Keys go to the active window: wait until the window manager made it so.
    (Asked of the X server: the bus's "active" state misses a window shown
    again.)"""
    wait_for(f'the window "…{suffix}" to be active',
             lambda: (active_title() or "").endswith(suffix))
    return window(app, suffix)


def on_focus(event):
    if event.detail1:
        focus_events.append((event.source.getRoleName(), event.source.name))


def on_text_changed(event):
    if event.source.name == "Output":
        output_events.append((event.type.split(":")[-1], event.detail1, event.any_data))


def run_checks(app):
    main = wait_for("the main window", lambda: next(
        (w for w in children(app) if has_state(w, pyatspi.STATE_SHOWING)), None))
    title = main.name
    wait_active(app, title)
    editor = control(app, title, "Program", pyatspi.ROLE_TEXT)
    check(editor.description == EDITOR_HINT, "editor: description is the first-use hint",
          editor.description)
    check(text_of(editor) == "", "editor: the placeholder is no part of the text", text_of(editor))
    check(has_state(editor, pyatspi.STATE_FOCUSED), "editor: has the focus at start")

    editor.queryEditableText().insertText(0, PROGRAM, len(PROGRAM))
    wait_for("the typed program in the editor", lambda: text_of(editor) == PROGRAM)
    check(panel_text(app, title, "Modified") == "Mod", "main: Modified panel reads Mod",
          panel_text(app, title, "Modified"))

    # Ctrl+Tab leaves the editor for the status panels; Tab comes back round.
    modified = control(app, title, "Modified", pyatspi.ROLE_LABEL)
    key("ctrl+Tab")
    wait_for("Ctrl+Tab to focus the Modified panel",
             lambda: has_state(modified, pyatspi.STATE_FOCUSED))
    key("Tab", "Tab")
    wait_for("Tab to bring the focus back to the editor",
             lambda: has_state(editor, pyatspi.STATE_FOCUSED))
    check(text_of(editor) == PROGRAM, "editor: Ctrl+Tab and back left the text alone")

    key("F9")  # Run
    memo = control(app, " - [input]", "Input values", pyatspi.ROLE_TEXT)
    check(memo.description == INPUT_HINT, "input: memo's description is the hint",
          memo.description)
    check(text_of(memo) == "", "input: the placeholder is no part of the text", text_of(memo))
    control(app, " - [input]", "Earlier inputs", pyatspi.ROLE_COMBO_BOX)
    check(find(window(app, " - [input]"), named("OK", pyatspi.ROLE_PUSH_BUTTON)) is not None,
          "input: OK button")
    memo.queryEditableText().insertText(0, INPUT, len(INPUT))
    wait_for("the typed input in the memo", lambda: text_of(memo) == INPUT)
    wait_active(app, " - [input]")
    key("Return")  # OK

    wait_active(app, " - [break]")
    lines = control(app, " - [break]", LIST_NAME)
    line = wait_for("the focused line in the break window's list",
                    lambda: find(lines, lambda a: has_state(a, pyatspi.STATE_FOCUSED)))
    check(line.name == PAUSED_LINE, "break: the focused line is the one about to run", line.name)
    check(has_state(line, pyatspi.STATE_SELECTED), "break: the focused line is selected")
    wait_for("the focus event of the paused line",
             lambda: ("list item", PAUSED_LINE) in focus_events, timeout=5)
    check(True, "break: the focus event of the paused line reached the bus")
    check(panel_text(app, " - [break]", "Working register") == "WR: 7", "break: WR panel",
          panel_text(app, " - [break]", "Working register"))
    check(panel_text(app, " - [break]", "Next input") == "In: 8", "break: In panel",
          panel_text(app, " - [break]", "Next input"))

    # Space toggles the check mark of the selected line, and back.
    check(has_state(line, pyatspi.STATE_CHECKED), "break: the <BREAK> line is checked")
    key("space")
    wait_for("Space to uncheck the line", lambda: not has_state(line, pyatspi.STATE_CHECKED))
    key("space")
    wait_for("Space to check the line again", lambda: has_state(line, pyatspi.STATE_CHECKED))

    output = control(app, " - [run]", "Output", pyatspi.ROLE_TEXT)
    check(text_of(output) == "7 ", "run: output read as text while paused", text_of(output))
    wait_for("the output's text-changed event", lambda: output_events, timeout=5)
    check(output_events == [("insert", 0, "7 ")], "run: the new output announced", output_events)
    check(panel_text(app, " - [run]", "Line").startswith("Line: "), "run: Line panel",
          panel_text(app, " - [run]", "Line"))
    check(text_of(editor) == PROGRAM, "main: editor still reads the program while paused")
    check(window(app, title) is not None, "main: still shown under its title while paused")

    # The machine pane (F2) with its tables; the focus left there goes back
    # to the list's line at the next pause.
    wait_active(app, " - [break]")
    key("F2")
    stacks = control(app, " - [break]", "Stacks", pyatspi.ROLE_TABLE)
    key("Tab")
    wait_for("Tab to move the focus to the stack table",
             lambda: has_state(stacks, pyatspi.STATE_FOCUSED))
    check(True, "break: Tab reaches the machine pane's stack table")
    focus_events.clear()
    key("F8")  # Next
    wait_for("the focus event of the next line after Next",
             lambda: ("list item", "SET 5") in focus_events)
    check(True, "break: Next moves the focus to the line about to run")
    check(not has_state(control(app, " - [break]", "Stacks", pyatspi.ROLE_TABLE),
                        pyatspi.STATE_FOCUSED), "break: the stack table lost the focus")
    wait_active(app, " - [break]")
    key("F2")
    wait_for("F2 to close the machine pane", lambda: not has_state(stacks, pyatspi.STATE_SHOWING))
    key("F9")  # Continue
    wait_for("the run to finish", lambda: window(app, " - [finished]"))
    output = control(app, " - [finished]", "Output", pyatspi.ROLE_TEXT)
    check(text_of(output) == "7 7 ", "run: the whole output read after the run", text_of(output))
    wait_for("the output's second text-changed event", lambda: len(output_events) > 1, timeout=5)
    check(output_events[1:] == [("insert", 2, "7 ")], "run: the later output announced",
          output_events)
    word = tuple(output.queryText().getTextAtOffset(2, pyatspi.TEXT_BOUNDARY_WORD_START))
    check(word == ("7 ", 2, 4), "run: the value at an offset", word)
    wait_active(app, " - [finished]")
    key("Escape")  # Close
    wait_for("the run window to close", lambda: window(app, " - [finished]") is None)


def find_app(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app.get_process_id() == pid:
            return app
    return None


def window_manager_running():
    # Answered only once a window manager has said how many desktops it keeps.
    return subprocess.run(["xdotool", "get_num_desktops"], capture_output=True).returncode == 0


def main():
    executable = sys.argv[1]
    # A window mapped before the window manager runs is never made active.
    try:
        wait_for("the window manager", window_manager_running)
    except Timeout as error:
        print(f"a11y test: {error}", file=sys.stderr)
        return 1
    home = tempfile.mkdtemp(prefix="corvane-a11y-")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
               HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local", "share"))
    log_path = os.path.join(home, "corvane.log")
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    pyatspi.Registry.registerEventListener(on_text_changed, "object:text-changed")
    with open(log_path, "w") as log:
        process = subprocess.Popen([executable], env=env, cwd=home, stdout=log, stderr=log)
    try:
        app = wait_for("corvane on the accessibility bus", lambda: find_app(process.pid))
        run_checks(app)
    except Timeout as error:
        check(False, str(error))
    finally:
        alive = process.poll() is None
        process.kill()
        process.wait()
    if not alive:
        check(False, f"corvane ended early with status {process.returncode}")
    if failures:
        with open(log_path) as log:
            print("--- corvane's output ---\n" + log.read(), end="")
        print(f"a11y test: {len(failures)} check(s) failed", file=sys.stderr)
        return 1
    print("a11y test: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
