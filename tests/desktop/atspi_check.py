#!/usr/bin/env python3
"""Desktop accessibility check of the trainer's main window.

Starts the program on a private virtual display (Xvfb) with a private session bus and the
AT-SPI bus, then, as a screen reader would, looks for the main window's controls by their
Japanese accessible names and roles, selects one speed option through its AT-SPI action and
saves a screenshot of the window.

    atspi_check.py PROGRAM [--screenshot FILE] [--tree FILE]

Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb, D-Bus or pyatspi on this machine).
Every wait is bounded; the whole run is cut off after TOTAL_TIMEOUT seconds.
"""

import argparse
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import zlib

PASS, FAIL, SKIP = 0, 1, 77
TOTAL_TIMEOUT = 60
APP_APPEAR_TIMEOUT = 20
CONTROLS_TIMEOUT = 15
SYSTEM_PYTHON = "/usr/bin/python3"
BUS_LAUNCHERS = ["/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher"]

# Role groups by the names pyatspi gives them. Qt reports a line edit as "text" (later
# versions say "entry"), a menu on the menu bar as "menu item" or "menu".
PUSH_BUTTON = ("push button",)
RADIO_BUTTON = ("radio button",)
TEXT_FIELD = ("text", "entry")
SCROLL_BAR = ("scroll bar",)
MENU = ("menu", "menu item")
MENU_ENTRY = ("menu item", "check menu item", "radio menu item")

# (accessible name, accepted roles). Captions keep their "&" here as the window shows them;
# Qt removes it from accessible names.
EXPECTED = [
    ("スタート", PUSH_BUTTON),
    ("設定保存", PUSH_BUTTON),
    ("待受", PUSH_BUTTON),
    ("接続", PUSH_BUTTON),
    ("テスト", PUSH_BUTTON),
    ("A", PUSH_BUTTON),
    ("0", PUSH_BUTTON),
    ("毎分２５文字", RADIO_BUTTON),
    ("毎分４５文字", RADIO_BUTTON),
    ("ステップ受信モード", RADIO_BUTTON),
    ("出題者になる", RADIO_BUTTON),
    ("トーン周波数", TEXT_FIELD),
    ("接続先IP", TEXT_FIELD),
    ("コールサイン", TEXT_FIELD),
    ("微調整", SCROLL_BAR),
    ("サウンド切替・設定(&S)", MENU),
    ("出題文字範囲設定(&M)", MENU),
    ("ネットモード切替(&M)", MENU),
    ("ヘルプ(&H)", MENU),
    ("終了(&X)", MENU_ENTRY),
    ("Wave音(&W)", MENU_ENTRY),
    ("Beep音(WinXP/2000用)(&B)", MENU_ENTRY),
    ("Wave音質設定(&Q)", MENU_ENTRY),
    ("A～E(&A)", MENU_ENTRY),
    ("全アルファベット(&Z)", MENU_ENTRY),
    ("先生モード(&T)", MENU_ENTRY),
    ("学生モード(&N)", MENU_ENTRY),
    ("ReadMe.txtを開く(&T)", MENU_ENTRY),
    ("オンラインヘルプを見る(&O)", MENU_ENTRY),
    ("バージョン情報(&A)", MENU_ENTRY),
]

# The speed options: selecting one through AT-SPI must check it and uncheck the others.
SPEED_OPTIONS = ["毎分２５文字", "毎分４５文字", "毎分６０文字"]
PRESS_ACTIONS = ("toggle", "press", "click", "activate")


def log(message):
    print(f"atspi_check: {message}", flush=True)


def accepted_names(caption):
    """Names under which a caption may be exposed: without "&", and without a trailing "(X)"."""
    stripped = caption.replace("&", "")
    names = {stripped}
    if "(&" in caption and stripped.endswith(")"):
        names.add(stripped[: stripped.rfind("(")])
    return names


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


def run_outer(args):
    if not os.access(args.program, os.X_OK):
        log(f"program not found: {args.program}")
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

    command = ["dbus-run-session", "--", python, os.path.abspath(__file__), "--inner",
               args.program, "--screenshot", args.screenshot, "--tree", args.tree]
    # A process group of its own, so that a timeout ends everything started below it.
    child = subprocess.Popen(command, start_new_session=True)
    try:
        return child.wait(timeout=TOTAL_TIMEOUT)
    except subprocess.TimeoutExpired:
        log(f"FAIL: no result within {TOTAL_TIMEOUT} s")
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
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1600x1200x24", "-nolisten", "tcp",
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


def find_application(desktop, pid, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        pump_events()
        desktop.clear_cache()
        for index in range(desktop.get_child_count()):
            try:
                application = desktop.get_child_at_index(index)
                if application is not None and application.get_process_id() == pid:
                    return application
            except Exception:  # an application that went away while we looked
                continue
        time.sleep(0.2)
    return None


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


def match_controls(nodes):
    """Returns {caption: [nodes]} of nodes that carry each expected name with an accepted role."""
    matches = {}
    for caption, roles in EXPECTED:
        names = accepted_names(caption)
        matches[caption] = [n for n in nodes if n[1] in roles and n[2] in names]
    return matches


def is_checked(node):
    import pyatspi

    return node.get_state_set().contains(pyatspi.STATE_CHECKED)


def find_radio(nodes, name):
    for node, role, node_name, _ in nodes:
        if role in RADIO_BUTTON and node_name == name:
            return node
    return None


def check_option_action(nodes):
    """Selects an unselected speed option through AT-SPI; returns a list of problems."""
    options = {name: find_radio(nodes, name) for name in SPEED_OPTIONS}
    absent = [name for name, node in options.items() if node is None]
    if absent:
        return [f"speed options not found: {', '.join(absent)}"]
    # Whichever of the first two is not selected yet, so that the action has to change it.
    target_name = SPEED_OPTIONS[0] if is_checked(options[SPEED_OPTIONS[1]]) else SPEED_OPTIONS[1]
    target = options[target_name]
    try:
        action = target.queryAction()
    except NotImplementedError:
        return [f"radio button {target_name} has no action interface"]
    actions = [action.getName(i) for i in range(action.nActions)]
    if not actions:
        return [f"radio button {target_name} offers no action (disabled?)"]
    lowered = [name.lower() for name in actions]
    index = next((lowered.index(a) for a in PRESS_ACTIONS if a in lowered), 0)
    log(f"doing action '{actions[index]}' of {target_name} (actions: {actions})")
    action.doAction(index)
    deadline = time.monotonic() + 3
    while time.monotonic() < deadline:
        pump_events()
        if is_checked(target):
            break
        time.sleep(0.1)
    problems = []
    if not is_checked(target):
        problems.append(f"radio button {target_name} is not checked after its action")
    for name, node in options.items():
        if name != target_name and is_checked(node):
            problems.append(f"radio button {name} is still checked after selecting {target_name}")
    return problems


def write_tree(path, nodes):
    with open(path, "w", encoding="utf-8") as out:
        for _, role, name, depth in nodes:
            out.write(f"{'  ' * depth}[{role}] {name}\n")


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


def take_screenshot(framebuffer_dir, path, extents):
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


def check_window(application):
    """Waits until the window shows every expected control; returns (nodes, frame, problems)."""
    deadline = time.monotonic() + CONTROLS_TIMEOUT
    while True:
        pump_events()
        application.clear_cache()
        nodes = walk(application)
        matches = match_controls(nodes)
        missing = [caption for caption, found in matches.items() if not found]
        if not missing or time.monotonic() > deadline:
            break
        time.sleep(0.5)
    problems = []
    for caption, roles in EXPECTED:
        found = matches[caption]
        if not found:
            seen = sorted({f"[{n[1]}]" for n in nodes if n[2] in accepted_names(caption)})
            hint = f" (found as {', '.join(seen)})" if seen else ""
            problems.append(f"not found: '{caption}' as {' or '.join(roles)}{hint}")
        elif len(found) > 1:
            problems.append(f"not unique: '{caption}' ({len(found)} controls)")
    frame = next((n[0] for n in nodes if n[1] == "frame"), None)
    return nodes, frame, problems


def show_tail(path, size=3000):
    with open(path, encoding="utf-8", errors="replace") as text:
        tail = text.read()[-size:]
    if tail.strip():
        log("the program's output ends with:")
        sys.stdout.write(tail if tail.endswith("\n") else tail + "\n")


def run_inner(args):
    processes = Processes()
    work_dir = tempfile.mkdtemp(prefix="quillstart-atspi-")

    def on_signal(signum, _frame):
        processes.stop_all()
        sys.exit(FAIL)

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)
    try:
        framebuffer_dir = os.path.join(work_dir, "screen")
        run_dir = os.path.join(work_dir, "cwd")
        os.makedirs(framebuffer_dir)
        os.makedirs(run_dir)
        os.environ["DISPLAY"] = start_xvfb(processes, framebuffer_dir)
        os.environ["XDG_RUNTIME_DIR"] = work_dir
        processes.start([find_bus_launcher(), "--launch-immediately"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for_accessibility_bus(5)

        import gi

        gi.require_version("Atspi", "2.0")
        import pyatspi  # noqa: F401  (sets up the registry)
        from gi.repository import Atspi

        Atspi.set_timeout(3000, 10000)
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_ACCESSIBILITY="1",
                           # No sound server: the program runs silent, and none is spawned.
                           PULSE_SERVER=f"unix:{work_dir}/no-sound-server")
        program_log = os.path.join(work_dir, "program.log")
        with open(program_log, "wb") as log_file:
            program = processes.start([os.path.abspath(args.program)], cwd=run_dir,
                                      env=environment, stdout=log_file, stderr=log_file)
        desktop = Atspi.get_desktop(0)
        application = find_application(desktop, program.pid, APP_APPEAR_TIMEOUT)
        if application is None:
            state = "exited" if program.poll() is not None else "running"
            log(f"FAIL: the program ({state}) did not appear on the AT-SPI bus")
            show_tail(program_log)
            return FAIL
        log(f"found application '{application.get_name()}' (pid {program.pid})")

        nodes, frame, name_problems = check_window(application)
        action_problems = check_option_action(nodes)
        write_tree(args.tree, walk(application))
        log(f"accessible tree: {args.tree} ({len(nodes)} objects)")
        take_screenshot(framebuffer_dir, args.screenshot,
                        window_extents(frame) if frame is not None else None)

        problems = name_problems + action_problems
        if program.poll() is not None:
            problems.append(f"the program exited early with status {program.returncode}")
        for problem in problems:
            log(f"FAIL: {problem}")
        # One check per expected name, one for the option action.
        failed = len(name_problems) + (1 if action_problems else 0)
        if problems:
            show_tail(program_log)
        print(f"{len(EXPECTED) + 1 - failed} passed, {failed} failed", flush=True)
        return FAIL if problems else PASS
    except RuntimeError as error:
        log(f"FAIL: {error}")
        return FAIL
    except Exception:
        log("FAIL: the check itself broke:")
        traceback.print_exc()
        return FAIL
    finally:
        processes.stop_all()
        shutil.rmtree(work_dir, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--screenshot", default="/tmp/quillstart-window.png")
    parser.add_argument("--tree", default="/tmp/quillstart-a11y-tree.txt")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    return run_inner(args) if args.inner else run_outer(args)


if __name__ == "__main__":
    sys.exit(main())
