#!/usr/bin/python3
"""A desktop client of the benchmarked program, over the AT-SPI bus of the session it runs in.

  desktop_client.py walk PID [PAUSE]   reads the whole accessible tree of the program's windows
                                       again and again (every name, role, description, state,
                                       text and value, nothing from a cache), PAUSE s between
                                       walks (default 0: without a break), as a desktop
                                       inspector does
  desktop_client.py events PID         as a screen reader does: follows the program's events
                                       and reads what each one is about and where it is
  desktop_client.py keys N SEED        presses and releases the space key N times through the
                                       X server (holds of 40 to 250 ms, 150 to 400 ms apart)
  desktop_client.py input              does what standard input says, a line at a time:
                                       "click X Y" clicks the first mouse button there

Prints "ready" once it has found what it needs, and a summary line when it ends (on SIGTERM,
or when its work is done).
"""

import random
import signal
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# Debian 12's Atspi binding warns that the interface getters are deprecated; the warnings would
# only clutter the benchmark's tables.
warnings.filterwarnings("ignore", category=DeprecationWarning)

SPACE_KEYCODE = 65  # the space bar in the X server's standard key map
running = True


def stop(_signum, _frame):
    global running
    running = False


def say(text):
    print(text, flush=True)


def find_application(pid, timeout=20):
    desktop = Atspi.get_desktop(0)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        desktop.clear_cache()
        for index in range(desktop.get_child_count()):
            try:
                application = desktop.get_child_at_index(index)
                if application is not None and application.get_process_id() == pid:
                    # Every read goes to the program, as it does for a client that has not seen
                    # the object before.
                    application.set_cache_mask(Atspi.Cache.NONE)
                    return application
            except GLib.Error:
                continue
        time.sleep(0.2)
    return None


def read_node(node):
    """Reads what a client shows of an object; returns its children."""
    node.get_role_name()
    node.get_name()
    node.get_description()
    node.get_state_set()
    text = node.get_text_iface()
    if text is not None:
        Atspi.Text.get_text(text, 0, Atspi.Text.get_character_count(text))
    value = node.get_value_iface()
    if value is not None:
        Atspi.Value.get_current_value(value)
    return [node.get_child_at_index(i) for i in range(node.get_child_count())]


def walk(pid, pause):
    application = find_application(pid)
    if application is None:
        say("no application")
        return 1
    say("ready")
    walks = nodes = failures = 0
    started = time.monotonic()
    while running:
        stack = [application]
        while stack and running:
            node = stack.pop()
            try:
                children = read_node(node)
            except GLib.Error:
                failures += 1
                continue
            nodes += 1
            stack.extend(child for child in children if child is not None)
        walks += 1
        if pause > 0:
            time.sleep(pause)
    seconds = time.monotonic() - started
    say(f"walks {walks} objects read {nodes} failed {failures} in {seconds:.1f} s "
        f"({walks / max(seconds, 1e-9):.2f} walks/s, {nodes / max(walks, 1):.0f} objects a walk)")
    return 0


def follow_events(pid):
    application = find_application(pid)
    if application is None:
        say("no application")
        return 1
    handled = [0, 0]

    def on_event(event):
        try:
            source = event.source
            if source is None or source.get_process_id() != pid:
                return
            handled[0] += 1
            read_node_shallow(source)
            parent = source.get_parent()
            depth = 0
            while parent is not None and depth < 8:  # where it is: up to its window
                parent.get_role_name()
                parent.get_name()
                parent = parent.get_parent()
                depth += 1
        except GLib.Error:
            handled[1] += 1

    def read_node_shallow(node):
        node.get_role_name()
        node.get_name()
        node.get_description()
        node.get_state_set()
        text = node.get_text_iface()
        if text is not None:
            Atspi.Text.get_text(text, 0, Atspi.Text.get_character_count(text))

    listener = Atspi.EventListener.new(on_event)
    kinds = ["object:state-changed", "object:property-change", "object:children-changed",
             "object:text-changed", "object:text-caret-moved", "object:value-changed",
             "window:activate", "window:create", "focus:"]
    for kind in kinds:
        listener.register(kind)
    say("ready")
    started = time.monotonic()
    loop = GLib.MainLoop()

    def check_running():
        if not running:
            loop.quit()
        return True

    GLib.timeout_add(100, check_running)
    loop.run()
    seconds = time.monotonic() - started
    say(f"events read {handled[0]} failed {handled[1]} in {seconds:.1f} s")
    return 0


def keys(count, seed):
    generator = random.Random(seed)
    say("ready")
    for _ in range(count):
        if not running:
            break
        time.sleep(generator.uniform(0.15, 0.40))
        Atspi.generate_keyboard_event(SPACE_KEYCODE, None, Atspi.KeySynthType.PRESS)
        time.sleep(generator.uniform(0.04, 0.25))
        Atspi.generate_keyboard_event(SPACE_KEYCODE, None, Atspi.KeySynthType.RELEASE)
    say(f"keys pressed {count}")
    return 0


def follow_input():
    say("ready")
    for line in sys.stdin:
        words = line.split()
        if len(words) == 3 and words[0] == "click":
            Atspi.generate_mouse_event(int(words[1]), int(words[2]), "b1c")
        if not running:
            break
    return 0


def main(arguments):
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    Atspi.set_timeout(3000, 10000)
    mode = arguments[0] if arguments else ""
    if mode == "walk" and len(arguments) >= 2:
        return walk(int(arguments[1]), float(arguments[2]) if len(arguments) > 2 else 0.0)
    if mode == "events" and len(arguments) == 2:
        return follow_events(int(arguments[1]))
    if mode == "keys" and len(arguments) == 3:
        return keys(int(arguments[1]), int(arguments[2]))
    if mode == "input":
        return follow_input()
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
