"""What the checks against a raw peer share.

The program runs as a private copy in a folder of its own, whose settings file gives it a
callsign, the peer's address (127.0.0.1) and a speed. A raw peer written here plays the other
PC: it connects to the program's link port and speaks the wire protocol byte by byte, one
message per send, and keeps what arrives as one stream, since the wire has no framing. A check
is a list of named steps worked through AT-SPI; each step raises StepFailed with what it saw.
"""

import argparse
import errno
import os
import shutil
import signal
import socket
import struct
import subprocess
import threading
import time
import traceback

from desktop_session import (DIALOG, FAIL, PASS, DesktopSession, current_description,
                             current_name, do_action, is_enabled, is_showing, run_outer,
                             show_tail, wait_until, walk)

APP_APPEAR_TIMEOUT = 20
CONTROLS_TIMEOUT = 15
CONNECT_TIMEOUT = 10
REACTION_TIMEOUT = 10
EXIT_TIMEOUT = 15

HOST = "127.0.0.1"
LINK_PORT = 10010
# The wire has no framing: one send is one message, so sends are kept apart.
SEND_SPACING = 0.15
WIRE_ENCODING = "cp932"

OWN_CALLSIGN = "JR1QST"
PEER_CALLSIGN = "JA9ZZZ"
SPEED_PER_MINUTE = 60
TONE_HZ = 800

# Records of saveset.dat, numbered from 1, 14 bytes each.
RECORD_LENGTH = 14
TONE_RECORD, SPEED_RECORD, CALLSIGN_RECORD, PEER_ADDRESS_RECORD = 2, 3, 8, 9


class StepFailed(Exception):
    pass


def require(value, message):
    if not value:
        raise StepFailed(message)
    return value


def settings_file(path, records):
    """Writes records {number: int or ASCII text} in the program's settings layout."""
    data = bytearray(RECORD_LENGTH * max(records))
    for number, value in records.items():
        offset = (number - 1) * RECORD_LENGTH
        if isinstance(value, int):
            struct.pack_into("<h", data, offset, value)
        else:
            text = value.encode("ascii")
            assert len(text) <= RECORD_LENGTH - 2
            struct.pack_into("<H", data, offset, len(text))
            data[offset + 2:offset + 2 + len(text)] = text
    with open(path, "wb") as out:
        out.write(data)


def port_taken(port):
    """Whether something already listens on the link port (another copy of the program)."""
    probe = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    # As a listening server binds: a connection of an earlier run in TIME_WAIT is no obstacle.
    probe.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        probe.bind(("0.0.0.0", port))
        return False
    except OSError as error:
        return error.errno == errno.EADDRINUSE
    finally:
        probe.close()


class RawPeer:
    """The other PC: the wire protocol spoken byte by byte, what arrives kept as a stream.

    A cursor marks how far the stream has been matched; each expectation starts there.
    """

    def __init__(self, log):
        self.log = log
        self.sock = None
        self.received = bytearray()
        self.cursor = 0
        self.lock = threading.Lock()
        self.stopping = threading.Event()
        self.reader = None
        self.last_send = 0.0

    def connect(self, port, timeout):
        deadline = time.monotonic() + timeout
        while True:
            try:
                self.sock = socket.create_connection((HOST, port), timeout=1)
                break
            except OSError as error:
                if time.monotonic() > deadline:
                    raise StepFailed(f"no connection to {HOST}:{port} within {timeout} s: {error}")
                time.sleep(0.1)
        self.sock.settimeout(0.2)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        while not self.stopping.is_set():
            try:
                chunk = self.sock.recv(4096)
            except socket.timeout:
                continue
            except OSError:
                break
            if not chunk:
                break
            with self.lock:
                self.received += chunk

    def send(self, message):
        wait = SEND_SPACING - (time.monotonic() - self.last_send)
        if wait > 0:
            time.sleep(wait)
        self.sock.sendall(message.encode(WIRE_ENCODING))
        self.last_send = time.monotonic()
        self.log(f"peer sent {message!r}")

    def expect(self, message, timeout=REACTION_TIMEOUT):
        """Waits for message anywhere after the cursor; what comes before it is passed over."""
        wanted = message.encode(WIRE_ENCODING)

        def arrived():
            with self.lock:
                at = self.received.find(wanted, self.cursor)
            if at < 0:
                return False
            self.cursor = at + len(wanted)
            return True

        if not wait_until(arrived, timeout, interval=0.05):
            raise StepFailed(f"the peer did not receive {message!r} within {timeout} s "
                             f"(after {self.seen_before_cursor()!r} it has {self.unread()!r})")
        self.log(f"peer received {message!r}")

    def expect_next(self, message, timeout=REACTION_TIMEOUT):
        """Waits for message as the very next bytes at the cursor; anything else fails."""
        wanted = message.encode(WIRE_ENCODING)

        def next_bytes():
            with self.lock:
                return bytes(self.received[self.cursor:self.cursor + len(wanted)])

        # Settled once there are enough bytes to compare, or those there already differ.
        wait_until(lambda: len(next_bytes()) == len(wanted) or not wanted.startswith(next_bytes()),
                   timeout, interval=0.05)
        if next_bytes() != wanted:
            raise StepFailed(f"the peer expected {message!r} next after "
                             f"{self.seen_before_cursor()!r}, within {timeout} s, but has "
                             f"{self.unread()!r}")
        with self.lock:
            self.cursor += len(wanted)
        self.log(f"peer received {message!r} next")

    def seen_before_cursor(self):
        with self.lock:
            return self.received[:self.cursor].decode(WIRE_ENCODING, "replace")

    def unread(self):
        with self.lock:
            return self.received[self.cursor:].decode(WIRE_ENCODING, "replace")

    def transcript(self):
        with self.lock:
            return self.received.decode(WIRE_ENCODING, "replace")

    def close(self):
        self.stopping.set()
        if self.reader is not None:
            self.reader.join(timeout=2)
        if self.sock is not None:
            self.sock.close()


class PeerCheck:
    """Named steps against the program with a raw peer on its link port.

    A subclass gives CONTROLS, the main window's controls it needs, each found once by
    (key, accessible name, roles), and STEPS, (step name, method name) in order.
    """

    NAME = "peer"
    CONTROLS = []
    STEPS = []

    def __init__(self, session, args, log):
        self.session = session
        self.args = args
        self.log = log
        self.peer = RawPeer(log)
        self.program = None
        self.application = None
        self.frame = None
        self.controls = {}
        self.step = None

    # -- helpers ------------------------------------------------------------------------------

    def program_state(self):
        if self.program is not None and self.program.poll() is not None:
            return f" (the program has exited with status {self.program.returncode})"
        return ""

    def wait(self, condition, timeout, message):
        """Polls condition; message (or a function giving it, read on failure) says what failed."""
        if wait_until(condition, timeout) is None:
            text = message() if callable(message) else message
            raise StepFailed(f"{text}{self.program_state()}")

    def wait_for_caption(self, caption, timeout=REACTION_TIMEOUT):
        button = self.controls["main"]
        self.wait(lambda: current_name(button) == caption and is_enabled(button), timeout,
                  lambda: f"the main button did not read '{caption}' and become enabled within "
                          f"{timeout} s (it reads '{current_name(button)}', "
                          f"{'enabled' if is_enabled(button) else 'disabled'})")

    def wait_for_value(self, key, accepts, timeout, what):
        label = self.controls[key]
        self.wait(lambda: accepts(current_description(label)), timeout,
                  lambda: f"'{label.get_name()}' did not show {what} within {timeout} s "
                          f"(it shows '{current_description(label)}')")

    def press(self, node):
        self.wait(lambda: is_enabled(node), REACTION_TIMEOUT,
                  lambda: f"'{current_name(node)}' did not become enabled within "
                          f"{REACTION_TIMEOUT} s")
        action = do_action(node)
        self.log(f"did '{action}' on '{current_name(node)}'")

    def windows(self, title, roles=DIALOG):
        """The program's windows on screen with the title; every one is a child of the
        application, whichever window opened it."""
        self.application.clear_cache()
        windows = (self.application.get_child_at_index(index)
                   for index in range(self.application.get_child_count()))
        return [window for window in windows
                if window is not None and window.get_role_name() in roles
                and window.get_name() == title and is_showing(window)]

    def wait_for_window(self, title, timeout=REACTION_TIMEOUT, roles=DIALOG):
        windows = wait_until(lambda: self.windows(title, roles), timeout, interval=0.05)
        require(windows, f"the window '{title}' did not open within {timeout} s"
                         f"{self.program_state()}")
        require(len(windows) == 1, f"{len(windows)} windows '{title}' are open")
        return windows[0]

    def wait_for_no_window(self, title, timeout, why="", roles=DIALOG):
        self.wait(lambda: not self.windows(title, roles), timeout,
                  f"the window '{title}' did not close{why} within {timeout} s")

    @staticmethod
    def find_in(root, wanted):
        """{key: accessible} for wanted [(key, name, roles)], each found once below root in one
        walk; None when any is missing or found more than once."""
        root.clear_cache()
        nodes = walk(root)
        found = {}
        for key, name, roles in wanted:
            matches = [node for node, role, node_name, _ in nodes
                       if role in roles and node_name == name]
            if len(matches) != 1:
                return None
            found[key] = matches[0]
        return found

    def wait_for_controls(self, root, wanted, where, timeout=CONTROLS_TIMEOUT):
        found = wait_until(lambda: self.find_in(root, wanted), timeout)
        if found:
            return found
        nodes = walk(root)
        absent = [f"'{name}'" for _, name, roles in wanted
                  if sum(1 for n in nodes if n[1] in roles and n[2] == name) != 1]
        raise StepFailed(f"{where}: not found once each within {timeout} s: "
                         f"{', '.join(absent)}{self.program_state()}")

    # -- steps every check begins or ends with ------------------------------------------------

    def start_program(self):
        """Starts a private copy, so that its sound folder and settings are this run's own."""
        program_dir = self.session.make_dir("program")
        program = os.path.join(program_dir, os.path.basename(self.args.program))
        shutil.copy2(self.args.program, program)
        run_dir = self.session.make_dir("cwd")
        settings_file(os.path.join(run_dir, "saveset.dat"), {
            TONE_RECORD: TONE_HZ,
            SPEED_RECORD: SPEED_PER_MINUTE,
            CALLSIGN_RECORD: OWN_CALLSIGN,
            PEER_ADDRESS_RECORD: HOST,
        })
        home = self.session.make_dir("home")
        self.program = self.session.start_program(program, run_dir, {
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            **self.program_environment(),
        })
        self.application = self.session.find_application(self.program.pid, APP_APPEAR_TIMEOUT)
        require(self.application, f"the program did not appear on the AT-SPI bus"
                                  f"{self.program_state()}")
        self.log(f"found application '{self.application.get_name()}' (pid {self.program.pid})")

    def program_environment(self):
        """What a check adds to the program's environment (a sound server of its own, say)."""
        return {}

    def find_window(self):
        def main_frame():
            self.application.clear_cache()
            for index in range(self.application.get_child_count()):
                child = self.application.get_child_at_index(index)
                if child is not None and child.get_role_name() == "frame":
                    return child
            return None

        self.frame = wait_until(main_frame, CONTROLS_TIMEOUT)
        require(self.frame, "the main window did not appear")
        self.controls = self.wait_for_controls(self.frame, self.CONTROLS, "the main window")

    def listen_and_connect(self):
        require(not port_taken(LINK_PORT),
                f"port {LINK_PORT} is taken: another copy of the program is listening")
        self.press(self.controls["listen"])
        self.peer.connect(LINK_PORT, CONNECT_TIMEOUT)

    def greetings(self):
        """Callsigns both ways; needs the chat log among the controls, as "chat"."""
        self.peer.expect("0" + OWN_CALLSIGN)
        # Text chat first, as on every new link.
        self.peer.expect("30")
        self.peer.send("0" + PEER_CALLSIGN)
        chat = self.controls["chat"]

        def peer_entered():
            chat.clear_cache()
            return PEER_CALLSIGN in chat.queryText().getText(0, -1)

        self.wait(peer_entered, REACTION_TIMEOUT,
                  f"the chat log did not show that {PEER_CALLSIGN} entered within "
                  f"{REACTION_TIMEOUT} s")

    def termination(self):
        self.session.screenshot(self.log, self.args.screenshot, self.frame)
        self.program.send_signal(signal.SIGTERM)
        try:
            status = self.program.wait(timeout=EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise StepFailed(f"the program did not exit within {EXIT_TIMEOUT} s of SIGTERM")
        require(status == 0, f"the program exited with status {status} after SIGTERM")

    # -- running ------------------------------------------------------------------------------

    def run(self):
        started = time.monotonic()
        try:
            for name, method in self.STEPS:
                self.step = name
                getattr(self, method)()
                self.log(f"ok: {name} ({time.monotonic() - started:.1f} s)")
            self.log(f"peer's transcript: {self.peer.transcript()!r}")
            print(f"{len(self.STEPS)} steps passed", flush=True)
            return PASS
        except StepFailed as failure:
            self.log(f"FAIL at step '{self.step}': {failure}")
        except Exception:
            self.log(f"FAIL at step '{self.step}': the check itself broke:")
            traceback.print_exc()
        self.log(f"peer's transcript: {self.peer.transcript()!r}")
        show_tail(self.log, self.session.program_log)
        return FAIL

    def close(self):
        self.peer.close()


def main(script, description, check_class, log, total_timeout, screenshot):
    """The command line of a check: `script PROGRAM [--screenshot FILE]`."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("program")
    parser.add_argument("--screenshot", default=screenshot)
    # Pictures for the README and the manual: the main window during the lesson and the result
    # window, where a check has them.
    parser.add_argument("--lesson-screenshot", default="")
    parser.add_argument("--result-screenshot", default="")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if not args.inner:
        return run_outer(log, script, args.program,
                         ["--screenshot", args.screenshot,
                          "--lesson-screenshot", args.lesson_screenshot,
                          "--result-screenshot", args.result_screenshot],
                         total_timeout)
    try:
        with DesktopSession(check_class.NAME) as session:
            check = check_class(session, args, log)
            try:
                return check.run()
            finally:
                check.close()
    except RuntimeError as error:
        log(f"FAIL: {error}")
        return FAIL
