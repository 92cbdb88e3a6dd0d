"""Finding, reading and operating the program's controls over the
accessibility bus, as a screen reader would. Every wait polls with a bound."""
import time

import gi

gi.require_version("Atspi", "2.0")
gi.require_version("Gio", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

class ScenarioError(AssertionError):
    pass


class Stale(Exception):
    """A read that met the program halfway through a change; read again."""


def wait_for(what, probe, timeout=15.0, interval=0.05):
    """Polls `probe` until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                return value
        except GLib.Error as error:  # an object that went away between two calls
            last_error = error
        except Stale as error:
            last_error = error
        if time.monotonic() >= deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise ScenarioError(f"timed out after {timeout:.0f}s waiting for {what}{detail}")
        time.sleep(interval)


def showing(acc):
    try:
        return acc.getState().contains(pyatspi.STATE_SHOWING)
    except GLib.Error:
        return False


def enabled(acc):
    return acc.getState().contains(pyatspi.STATE_ENABLED)


def children(acc):
    return [c for c in (acc.getChildAtIndex(i) for i in range(acc.childCount)) if c is not None]


def find_all(root, match, skip_tables=True):
    """Every descendant of `root` that `match` accepts, breadth first. The
    cells of grids are not searched unless asked: a full student list has
    thousands of them."""
    found, queue = [], [root]
    while queue:
        node = queue.pop(0)
        for child in children(node):
            if match(child):
                found.append(child)
            if skip_tables and child.getRole() == pyatspi.ROLE_TABLE:
                continue
            queue.append(child)
    return found


def named(name, *roles):
    def match(acc):
        return acc.name == name and (not roles or acc.getRole() in roles)
    return match


class Program:
    """The program under test as seen on the accessibility bus."""

    def __init__(self, process, timeout=30.0):
        pid = process.pid
        desktop = pyatspi.Registry.getDesktop(0)

        def find_app():
            if process.poll() is not None:
                raise ScenarioError(f"the program ended with exit code {process.returncode} "
                                    "before it showed a window")
            for app in children(desktop):
                if app.get_process_id() == pid:
                    return app
            return None
        self.app = wait_for("the program on the accessibility bus", find_app, timeout)
        # No client-side cache: every read asks the program, so polling sees
        # each change as soon as the program makes it.
        self.app.set_cache_mask(Atspi.Cache.NONE)
        self._bus = self._accessibility_bus()

    @staticmethod
    def _accessibility_bus():
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                  None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 5000,
                                  None)
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
                 Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        return Gio.DBusConnection.new_for_address_sync(reply.unpack()[0], flags, None, None)

    # ---- windows -----------------------------------------------------------

    def windows(self, title=None):
        # Every child of the application is a top-level window: a frame, a
        # dialog, or a message box.
        return [w for w in children(self.app)
                if showing(w) and (title is None or w.name == title)]

    def window(self, title, timeout=15.0, where=None):
        """The showing window titled `title` (and accepted by `where`)."""
        def probe():
            for w in self.windows(title):
                if where is None or where(w):
                    return w
            return None
        return wait_for(f'the window "{title}"', probe, timeout)

    def wait_closed(self, window, timeout=15.0):
        wait_for(f'the window "{window.name}" to close', lambda: not showing(window), timeout)

    def error_box(self):
        """Text of a showing message box titled with the application title, if any."""
        for w in self.windows("Project1"):
            labels = find_all(w, lambda a: a.getRole() == pyatspi.ROLE_LABEL and a.name)
            return " / ".join(label.name for label in labels) or "(no text)"
        return None

    # ---- controls ----------------------------------------------------------

    def control(self, window, name, *roles, timeout=10.0):
        """The showing control of `window` with this accessible name and role."""
        def probe():
            for acc in find_all(window, named(name, *roles)):
                if showing(acc):
                    return acc
            return None
        return wait_for(f'"{name}" in "{window.name}"', probe, timeout)

    def button(self, window, name, timeout=10.0):
        return self.control(window, name, pyatspi.ROLE_PUSH_BUTTON, timeout=timeout)

    def menu_item(self, window, name, timeout=10.0):
        """An item of the window's menus; the items of a closed menu are not
        showing, and a hidden item reads as not enabled."""
        def probe():
            for acc in find_all(window, named(name, pyatspi.ROLE_MENU_ITEM)):
                if enabled(acc):
                    return acc
            return None
        return wait_for(f'the menu item "{name}" in "{window.name}"', probe, timeout)

    def grid(self, window, name, timeout=10.0):
        return self.control(window, name, pyatspi.ROLE_TABLE, timeout=timeout).queryTable()

    @staticmethod
    def _action_index(acc, preferred=("Press", "Toggle", "Click", "SetFocus")):
        action = acc.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        for wanted in preferred:
            for i, name in enumerate(names):
                if name.lower() == wanted.lower():
                    return action, i
        raise ScenarioError(f'"{acc.name}" offers no action among {preferred}: {names}')

    def press(self, acc, preferred=("Press", "Toggle", "Click", "SetFocus")):
        """Runs the control's action and waits until the program has done it."""
        action, index = self._action_index(acc, preferred)
        action.doAction(index)

    def press_no_wait(self, acc, preferred=("Press", "Toggle", "Click", "SetFocus")):
        """Runs the control's action without waiting for the answer. The program
        answers only when the action's handler returns, and a handler that shows
        a modal window returns when that window closes."""
        _, index = self._action_index(acc, preferred)
        message = Gio.DBusMessage.new_method_call(acc.app.bus_name, acc.path,
                                                  "org.a11y.atspi.Action", "DoAction")
        message.set_body(GLib.Variant("(i)", (index,)))
        message.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
        self._bus.send_message(message, Gio.DBusSendMessageFlags.NONE)
        self._bus.flush_sync(None)

    @staticmethod
    def set_text(acc, text):
        acc.queryEditableText().setTextContents(text)

    def set_cell_text(self, acc, text):
        """Types a grid cell's value. A cell does not announce editable text,
        but the bridge hands SetTextContents to it as a new value, which the
        grid writes through its cell editor as if typed."""
        reply = self._bus.call_sync(acc.app.bus_name, acc.path, "org.a11y.atspi.EditableText",
                                    "SetTextContents", GLib.Variant("(s)", (text,)),
                                    GLib.VariantType("(b)"), Gio.DBusCallFlags.NONE, 10000, None)
        if not reply.unpack()[0]:
            raise ScenarioError(f'the cell refused the text "{text}"')

    @staticmethod
    def text(acc):
        return acc.queryText().getText(0, -1)


# ---- grids -----------------------------------------------------------------

def column_index(table, title):
    titles = [table.getColumnDescription(c) for c in range(table.nColumns)]
    for c, t in enumerate(titles):
        if t.lower() == title.lower():
            return c
    raise ScenarioError(f'no column "{title}" among {titles}')


def cell(table, row, column):
    acc = table.getAccessibleAt(row, column)
    if acc is None:
        raise Stale(f"no cell at row {row}, column {column}")
    return acc


def column_texts(table, title):
    c = column_index(table, title)
    return [cell(table, r, c).name for r in range(table.nRows)]


def current_row(table):
    for r in range(table.nRows):
        if cell(table, r, 0).getState().contains(pyatspi.STATE_SELECTED):
            return r
        for c in range(1, table.nColumns):
            if cell(table, r, c).getState().contains(pyatspi.STATE_SELECTED):
                return r
    return -1
