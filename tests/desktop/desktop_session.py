"""Shared machinery of the desktop checks.

A check runs in two processes. The outer one looks for the tools (Xvfb, D-Bus, the AT-SPI bus
launcher, pyatspi) and starts the inner one in a private session bus, cut off after an overall
timeout. The inner one opens a DesktopSession: a private virtual display, the AT-SPI bus and the
program, all ended when the session is left. The helpers below find controls by accessible name
and role, do their actions and wait for conditions, each wait bounded.
"""

import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

PASS, FAIL, SKIP = 0, 1, 77
# The virtual display's size; the program's windows open at its top left.
SCREEN_SIZE = (1600, 1200)
SYSTEM_PYTHON = "/usr/bin/python3"
BUS_LAUNCHERS = ["/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher"]

# Role groups by the names pyatspi gives them. Qt reports a line edit or a text box as "text"
# (later versions say "entry").
PUSH_BUTTON = ("push button",)
RADIO_BUTTON = ("radio button",)
TEXT_FIELD = ("text", "entry")
LABEL = ("label",)
LIST = ("list", "list box")
DIALOG = ("dialog", "frame")

# Action names in the order they are preferred. Qt offers "Press" on a push button and
# "Toggle" on a radio button.
PRESS_ACTIONS = ("press", "click", "activate", "toggle")
TOGGLE_ACTIONS = ("toggle", "press", "click", "activate")


def make_log(prefix):
    def log(message):
        print(f"{prefix}: {message}", flush=True)

    return log


# ---------------------------------------------------------------------------------------------
# Outer process: checks the tools, then runs the inner check in a private session bus.


def find_bus_launcher():
    for path in BUS_LAUNCHERS:
        if os.access(path, os.X_OK):
            return path
    return shutil.which("at-spi-bus-launcher")


def python_with_pyatspi():
    candidates = [sys.executable, SYSTEM_PYTHON]
    for python in candidates:
        if not python or not os.access(python, os.X_OK):
            continue
        probe = subprocess.run([python, "-c", "import pyatspi"], capture_output=True, timeout=20)
        if probe.returncode == 0:
            return python
    return None


def run_outer(log, script, program, inner_arguments, total_timeout):
    """Runs `script --inner program inner_arguments...` in a private session bus."""
    if not os.access(program, os.X_OK):
        log(f"program not found: {program}")
        return FAIL
    missing = [tool for tool in ("Xvfb", "dbus-run-session") if not shutil.which(tool)]
    if not find_bus_launcher():
        missing.append("at-spi-bus-launcher")
    python = python_with_pyatspi()
    if not python:
        missing.append("python3-pyatspi")
    if missing:
        log(f"SKIP: missing {', '.join(missing)}")
        return SKIP

    command = ["dbus-run-session", "--", python, os.path.abspath(script), "--inner", program]
    command += inner_arguments
    # A process group of its own, so that a timeout ends everything started below it.
    child = subprocess.Popen(command, start_new_session=True)
    try:
        return child.wait(timeout=total_timeout)
    except subprocess.TimeoutExpired:
        log(f"FAIL: no result within {total_timeout} s")
        return FAIL
    finally:
        try:
            os.killpg(child.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        child.wait()


# ---------------------------------------------------------------------------------------------
# Inner process: runs inside dbus-run-session and owns Xvfb, the AT-SPI bus and the program.


class Processes:
    """Everything the inner check starts, ended in reverse order."""

    def __init__(self):
        self.started = []

    def start(self, command, **kwargs):
        process = subprocess.Popen(command, **kwargs)
        self.started.append(process)
        return process

    def stop_all(self):
        for process in reversed(self.started):
            if process.poll() is None:
                process.terminate()
        deadline = time.monotonic() + 3
        for process in reversed(self.started):
            try:
                process.wait(timeout=max(0.1, deadline - time.monotonic()))
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


def start_xvfb(processes, framebuffer_dir):
    """Starts Xvfb on a free display number and returns it as ":N"."""
    read_end, write_end = os.pipe()
    processes.start(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
         f"{SCREEN_SIZE[0]}x{SCREEN_SIZE[1]}x24", "-nolisten", "tcp",
         "-fbdir", framebuffer_dir, "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 5
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
        if not ready:
            break
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip():
        raise RuntimeError("Xvfb did not start")
    return ":" + number.decode().strip()


def wait_for_accessibility_bus(timeout):
    from gi.repository import Gio, GLib

    connection = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    deadline = time.monotonic() + timeout
    while True:
        try:
            reply = connection.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                         "GetAddress", None, GLib.VariantType("(s)"),
                                         Gio.DBusCallFlags.NONE, 2000, None)
            return reply.unpack()[0]
        except GLib.Error:
            if time.monotonic() > deadline:
                raise RuntimeError("the AT-SPI bus did not come up")
            time.sleep(0.1)


def pump_events():
    from gi.repository import GLib

    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_until(condition, timeout, interval=0.1):
    """Polls condition until it returns something true; returns that, or None after timeout."""
    from gi.repository import GLib

    deadline = time.monotonic() + timeout
    while True:
        pump_events()
        try:
            result = condition()
        except GLib.Error:  # an object that went away or a bus call that timed out: ask again
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            return None
        time.sleep(interval)


class WindowWatch:
    """Records the titles of the windows shown while it watches, read from AT-SPI events.

    A window on screen only briefly may come and go between two polls; the event of its
    showing waits on the bus until it is read, so a slow poll still learns of it.
    """

    EVENTS = ("object:state-changed:showing", "window:activate")

    def __init__(self, roles=DIALOG):
        from gi.repository import Atspi

        self.roles = roles
        self.shown = []
        self.listener = Atspi.EventListener.new(self._on_event)
        for kind in self.EVENTS:
            self.listener.register(kind)

    def _on_event(self, event):
        if event.type.startswith("object:state-changed") and not event.detail1:
            return
        try:
            if event.source.get_role_name() in self.roles:
                self.shown.append(event.source.get_name() or "")
        except Exception:  # a window already gone when its event was read: nothing to name
            pass

    def saw(self, title):
        pump_events()
        return title in self.shown

    def stop(self):
        if self.listener is not None:
            for kind in self.EVENTS:
                self.listener.deregister(kind)
            self.listener = None


class Announcements:
    """What the program says to a screen reader, in order: the name of every notification
    object it shows (each text an object of its own, so a quick succession is heard in full)
    and, for the value labels named when watching starts, every new text they show. Each entry
    is (arrival time on the check's clock, the label's name or "notification", the text)."""

    NAME_EVENT = "object:property-change:accessible-name"
    DESCRIPTION_EVENT = "object:property-change:accessible-description"
    NOTIFICATION = "notification"

    def __init__(self, labels=()):
        from gi.repository import Atspi

        self.labels = set(labels)
        self.events = []
        self.listener = Atspi.EventListener.new(self._on_event)
        self.listener.register(self.NAME_EVENT)
        if self.labels:
            self.listener.register(self.DESCRIPTION_EVENT)

    def _on_event(self, event):
        arrived = time.monotonic()
        try:
            role = event.source.get_role_name()
            if event.type == self.NAME_EVENT and role == self.NOTIFICATION:
                self.events.append((arrived, self.NOTIFICATION, event.source.get_name() or ""))
            elif event.type == self.DESCRIPTION_EVENT:
                name = event.source.get_name() or ""
                if name in self.labels:
                    # Read from the cache, which the event itself has just brought up to date.
                    text = event.source.get_description() or ""
                    self.events.append((arrived, name, text))
        except Exception:  # gone before its event was read
            pass

    def all_heard(self):
        """The notifications' texts so far, in order."""
        pump_events()
        return [text for _, kind, text in self.events if kind == self.NOTIFICATION]

    def stop(self):
        if self.listener is not None:
            self.listener.deregister(self.NAME_EVENT)
            if self.labels:
                self.listener.deregister(self.DESCRIPTION_EVENT)
            self.listener = None


# ---------------------------------------------------------------------------------------------
# The keyboard: key events through the X server, as a keyboard gives them.

# X keysyms of the keys the checks press, and the X modifier masks held with them.
KEY_TAB, KEY_ESCAPE, KEY_LEFT, KEY_RIGHT = 0xFF09, 0xFF1B, 0xFF51, 0xFF53
KEY_UP, KEY_DOWN = 0xFF52, 0xFF54
SHIFT, ALT = 1 << 0, 1 << 3


def press_key(key, modifiers=0):
    """Presses and releases a key (a keysym, or a lower-case letter), the modifiers held down
    meanwhile. The AT-SPI registry fakes them in the X server (XTest), so the program sees them
    as it sees a keyboard's, in the window that has the keyboard focus."""
    from gi.repository import Atspi

    keysym = ord(key) if isinstance(key, str) else key
    if modifiers:
        Atspi.generate_keyboard_event(modifiers, None, Atspi.KeySynthType.LOCKMODIFIERS)
    try:
        Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
    finally:
        if modifiers:
            Atspi.generate_keyboard_event(modifiers, None, Atspi.KeySynthType.UNLOCKMODIFIERS)


def click(node):
    """Clicks a control with the first mouse button. The virtual display has no window
    manager, so a click is also what gives a window the keyboard focus."""
    import pyatspi
    from gi.repository import Atspi

    box = node.get_extents(pyatspi.DESKTOP_COORDS)
    Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")


def key_binding(node):
    """The key binding of a control's first action ("Alt+L"), or "" when it has none; a
    disabled control offers no action, so none either."""
    try:
        action = node.queryAction()
    except NotImplementedError:
        return ""
    return action.getKeyBinding(0) if action.nActions else ""


def described(node):
    return f"[{node.get_role_name()}] {node.get_name() or ''}"


class FocusWatch:
    """The controls that take the keyboard focus, in order, read from AT-SPI events."""

    EVENT = "object:state-changed:focused"

    def __init__(self):
        from gi.repository import Atspi

        self.focused = []
        self.listener = Atspi.EventListener.new(self._on_event)
        self.listener.register(self.EVENT)

    def _on_event(self, event):
        if not event.detail1:
            return
        try:
            self.focused.append((event.source.get_role_name(), event.source.get_name() or ""))
        except Exception:  # gone before its event was read
            pass

    def current(self):
        pump_events()
        return self.focused[-1] if self.focused else None

    def press(self, key, timeout, modifiers=0):
        """Presses a key and waits until a control other than the focused one takes the focus;
        returns that control as (role, name), or None when the focus stays."""
        before = self.current()
        seen = len(self.focused)
        press_key(key, modifiers)

        def moved():
            later = [focus for focus in self.focused[seen:] if focus != before]
            return later[-1] if later else None

        return wait_until(moved, timeout, interval=0.02)

    @staticmethod
    def wait_for(node, timeout):
        """Waits until the control has the focus; returns whether it came to have it."""
        import pyatspi

        def focused():
            node.clear_cache()
            return has_state(node, pyatspi.STATE_FOCUSED)

        came = wait_until(focused, timeout, interval=0.05) is not None
        # The focus event came before the answer that the control has the focus: read it too.
        pump_events()
        return came

    def stop(self):
        if self.listener is not None:
            self.listener.deregister(self.EVENT)
            self.listener = None


def find_application(desktop, pid, timeout):
    def application_of_pid():
        desktop.clear_cache()
        for index in range(desktop.get_child_count()):
            try:
                application = desktop.get_child_at_index(index)
                if application is not None and application.get_process_id() == pid:
                    return application
            except Exception:  # an application that went away while we looked
                continue
        return None

    return wait_until(application_of_pid, timeout, interval=0.2)


def walk(root, limit=5000):
    """(accessible, role name, name, depth) of root's subtree, depth first."""
    found = []
    stack = [(root, 0)]
    while stack and len(found) < limit:
        node, depth = stack.pop()
        try:
            role = node.get_role_name()
            name = node.get_name() or ""
            count = node.get_child_count()
        except Exception:
            continue
        found.append((node, role, name, depth))
        if depth < 40:
            for index in reversed(range(count)):
                try:
                    child = node.get_child_at_index(index)
                except Exception:
                    child = None
                if child is not None:
                    stack.append((child, depth + 1))
    return found


def find_all(root, name, roles):
    """The accessibles below root that carry the name with one of the roles, read afresh."""
    root.clear_cache()
    return [node for node, role, node_name, _ in walk(root) if role in roles and node_name == name]


def find_one(root, name, roles):
    """The one accessible with the name and a role, or None when there is none or several."""
    found = find_all(root, name, roles)
    return found[0] if len(found) == 1 else None


def has_state(node, state):
    return node.get_state_set().contains(state)


def is_checked(node):
    import pyatspi

    return has_state(node, pyatspi.STATE_CHECKED)


def is_enabled(node):
    import pyatspi

    node.clear_cache()
    return has_state(node, pyatspi.STATE_ENABLED) and has_state(node, pyatspi.STATE_SENSITIVE)


def is_showing(node):
    import pyatspi

    return has_state(node, pyatspi.STATE_SHOWING)


def current_name(node):
    node.clear_cache()
    return node.get_name() or ""


def current_description(node):
    node.clear_cache()
    return node.get_description() or ""


def do_action(node, preferred=PRESS_ACTIONS):
    """Does the first preferred action the accessible offers; returns its name."""
    try:
        action = node.queryAction()
    except NotImplementedError:
        raise RuntimeError(f"'{node.get_name()}' has no action interface")
    actions = [action.getName(i) for i in range(action.nActions)]
    lowered = [name.lower() for name in actions]
    index = next((lowered.index(a) for a in preferred if a in lowered), None)
    if index is None:
        raise RuntimeError(f"'{node.get_name()}' offers none of {preferred} (actions: {actions})")
    if not action.doAction(index):
        raise RuntimeError(f"action '{actions[index]}' of '{node.get_name()}' was refused")
    return actions[index]


def window_extents(frame):
    import pyatspi

    try:
        box = frame.get_extents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height
    except Exception:
        return None


def read_xwd(path):
    """Reads Xvfb's XWD screen file; returns (width, height, rgb bytes)."""
    with open(path, "rb") as screen_file:
        data = screen_file.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks, ncolors = fields[14:17], fields[19]
    if bits_per_pixel != 32:
        raise RuntimeError(f"unsupported XWD pixel size {bits_per_pixel}")
    offset = header_size + ncolors * 12
    rgb = bytearray(width * height * 3)
    # Byte positions of red, green and blue in a 32-bit pixel.
    positions = []
    for mask in masks:
        shift = (mask & -mask).bit_length() - 1
        positions.append(shift // 8 if byte_order == 0 else 3 - shift // 8)
    for y in range(height):
        row = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * 4]
        line = rgb[y * width * 3:(y + 1) * width * 3]
        for channel, position in enumerate(positions):
            line[channel::3] = row[position::4]
        rgb[y * width * 3:(y + 1) * width * 3] = line
    return width, height, bytes(rgb)


def write_png(path, width, height, rgb, crop):
    x, y, w, h = crop
    rows = []
    for row in range(y, y + h):
        start = (row * width + x) * 3
        rows.append(b"\x00" + rgb[start:start + w * 3])

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b""))
    with open(path, "wb") as out:
        out.write(png)


def take_screenshot(log, framebuffer_dir, path, extents):
    screen = os.path.join(framebuffer_dir, "Xvfb_screen0")
    try:
        width, height, rgb = read_xwd(screen)
    except Exception as error:  # a screenshot is a convenience, never a reason to fail
        log(f"no screenshot: {error}")
        return
    crop = (0, 0, width, height)
    if extents:
        x, y, w, h = extents
        x, y = max(0, x), max(0, y)
        w, h = min(w, width - x), min(h, height - y)
        if w > 0 and h > 0:
            crop = (x, y, w, h)
    write_png(path, width, height, rgb, crop)
    log(f"screenshot of the window: {path}")


def show_tail(log, path, size=3000):
    try:
        with open(path, encoding="utf-8", errors="replace") as text:
            tail = text.read()[-size:]
    except OSError:
        return
    if tail.strip():
        log("the program's output ends with:")
        sys.stdout.write(tail if tail.endswith("\n") else tail + "\n")


class DesktopSession:
    """A private display and AT-SPI bus, and the processes started in them.

    Entering starts Xvfb and the bus; leaving ends every process started through the session
    and removes its temporary folder. A SIGTERM or SIGINT to the check does the same.
    """

    def __init__(self, name):
        self.processes = Processes()
        self.work_dir = tempfile.mkdtemp(prefix=f"quillstart-{name}-")
        self.framebuffer_dir = os.path.join(self.work_dir, "screen")
        self.program_log = os.path.join(self.work_dir, "program.log")
        self.desktop = None

    def __enter__(self):
        def on_signal(signum, _frame):
            self.processes.stop_all()
            sys.exit(FAIL)

        signal.signal(signal.SIGTERM, on_signal)
        signal.signal(signal.SIGINT, on_signal)
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def _start(self):
        os.makedirs(self.framebuffer_dir)
        os.environ["DISPLAY"] = start_xvfb(self.processes, self.framebuffer_dir)
        os.environ["XDG_RUNTIME_DIR"] = self.work_dir
        self.processes.start([find_bus_launcher(), "--launch-immediately"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for_accessibility_bus(5)

        import gi

        gi.require_version("Atspi", "2.0")
        import pyatspi  # noqa: F401  (sets up the registry)
        from gi.repository import Atspi

        Atspi.set_timeout(3000, 10000)
        self.desktop = Atspi.get_desktop(0)

    def __exit__(self, *_):
        self.close()
        return False

    def close(self):
        self.processes.stop_all()
        shutil.rmtree(self.work_dir, ignore_errors=True)

    def make_dir(self, name):
        path = os.path.join(self.work_dir, name)
        os.makedirs(path, exist_ok=True)
        return path

    def start_program(self, program, cwd, extra_environment=None):
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_ACCESSIBILITY="1",
                           # No sound server: the program runs silent, and none is spawned.
                           PULSE_SERVER=f"unix:{self.work_dir}/no-sound-server",
                           # The lessons it plays go into a history of its own, not the user's.
                           XDG_DATA_HOME=os.path.join(self.work_dir, "data"))
        environment.update(extra_environment or {})
        with open(self.program_log, "wb") as log_file:
            return self.processes.start([os.path.abspath(program)], cwd=cwd, env=environment,
                                        stdout=log_file, stderr=log_file)

    def find_application(self, pid, timeout):
        return find_application(self.desktop, pid, timeout)

    def screenshot(self, log, path, frame):
        # The mouse pointer is drawn into the screen: moved to the far corner, clear of every
        # window, it stays out of the picture.
        from gi.repository import Atspi

        Atspi.generate_mouse_event(SCREEN_SIZE[0] - 1, SCREEN_SIZE[1] - 1, "abs")
        time.sleep(0.3)
        take_screenshot(log, self.framebuffer_dir, path,
                        window_extents(frame) if frame is not None else None)
