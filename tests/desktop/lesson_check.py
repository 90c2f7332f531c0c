#!/usr/bin/env python3
"""Desktop check of one Step-mode lesson, taken as a user takes it.

Starts the program on a private virtual display (Xvfb) with a private session bus and the
AT-SPI bus, in a folder whose settings file gives it a callsign, the peer's address and the
fastest speed. A raw peer written here plays the setter over TCP on 127.0.0.1; the answerer's
side is worked only through AT-SPI, as a screen reader user would: listen, select Step mode,
say ready, start, answer the one-letter question with its on-screen button, close the result
window. Then the program is ended with SIGTERM.

    lesson_check.py PROGRAM [--screenshot FILE]

Exit status: 0 passed, 1 failed (naming the step), 77 skipped (no Xvfb, D-Bus or pyatspi).
Every wait is a bounded poll; the whole run is cut off after TOTAL_TIMEOUT seconds.
"""

import argparse
import errno
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import threading
import time
import traceback

from desktop_session import (DIALOG, FAIL, LABEL, LIST, PASS, PUSH_BUTTON, RADIO_BUTTON,
                             TEXT_FIELD, TOGGLE_ACTIONS, DesktopSession, current_description,
                             current_name, do_action, find_all, is_checked, is_enabled,
                             is_showing, make_log, run_outer, show_tail, wait_until, walk)

TOTAL_TIMEOUT = 100
APP_APPEAR_TIMEOUT = 20
CONTROLS_TIMEOUT = 15
CONNECT_TIMEOUT = 10
REACTION_TIMEOUT = 10
# The call-up and the question at 60 characters a minute take a few seconds of real time.
PLAYBACK_TIMEOUT = 30
EXIT_TIMEOUT = 15

HOST = "127.0.0.1"
LINK_PORT = 10010
# The wire has no framing: one send is one message, so sends are kept apart.
SEND_SPACING = 0.15
WIRE_ENCODING = "cp932"

OWN_CALLSIGN = "JR1QST"
PEER_CALLSIGN = "JA9ZZZ"
QUESTION = "E"
SPEED_PER_MINUTE = 60
SPEED_CODE = "3"

# Records of saveset.dat, numbered from 1, 14 bytes each.
RECORD_LENGTH = 14
TONE_RECORD, SPEED_RECORD, CALLSIGN_RECORD, PEER_ADDRESS_RECORD = 2, 3, 8, 9

# Captions of the main button; its accessible name follows the caption.
READY, START, NEXT = "準備OK", "スタート", "次の問題"
RESULT_TITLE = "聞き取り成績"
SCORE_LINE = "ステップ:1問中1問正解"
CORRECT_MARK = "○"

# (key, accessible name, roles) of the main window's controls this lesson works with.
CONTROLS = [
    ("listen", "待受", PUSH_BUTTON),
    ("main", START, PUSH_BUTTON),
    ("step", "ステップ受信モード", RADIO_BUTTON),
    ("answer", QUESTION, PUSH_BUTTON),
    ("played", "出題数", LABEL),
    ("correct", "正解数", LABEL),
    ("display", "受信文字", LABEL),
    ("setter", "出題者", LABEL),
    ("scores", "成績表", LIST),
    ("chat", "チャット・ログ", TEXT_FIELD),
]

log = make_log("lesson_check")


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
    """The setter's PC: the wire protocol spoken byte by byte, what arrives kept as a stream."""

    def __init__(self):
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
        log(f"peer sent {message!r}")

    def expect(self, message, timeout=REACTION_TIMEOUT):
        """Waits for message after the one expected before it; fails the step without it."""
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
        log(f"peer received {message!r}")

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


class Lesson:
    """The steps of the lesson; each raises StepFailed with what it saw."""

    def __init__(self, session, args):
        self.session = session
        self.args = args
        self.peer = RawPeer()
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
        log(f"did '{action}' on '{current_name(node)}'")

    def result_windows(self):
        """The result windows on screen; like every window, each is a child of the application."""
        self.application.clear_cache()
        windows = (self.application.get_child_at_index(index)
                   for index in range(self.application.get_child_count()))
        return [window for window in windows
                if window is not None and window.get_role_name() in DIALOG
                and window.get_name() == RESULT_TITLE and is_showing(window)]

    def find_controls(self):
        nodes = walk(self.frame)
        found = {}
        for key, name, roles in CONTROLS:
            matches = [node for node, role, node_name, _ in nodes
                       if role in roles and node_name == name]
            if len(matches) != 1:
                return None
            found[key] = matches[0]
        return found

    # -- the steps ----------------------------------------------------------------------------

    def start_program(self):
        """Starts a private copy, so that its sound folder and settings are this run's own."""
        program_dir = self.session.make_dir("program")
        program = os.path.join(program_dir, os.path.basename(self.args.program))
        shutil.copy2(self.args.program, program)
        run_dir = self.session.make_dir("cwd")
        settings_file(os.path.join(run_dir, "saveset.dat"), {
            TONE_RECORD: 800,
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
        })
        self.application = self.session.find_application(self.program.pid, APP_APPEAR_TIMEOUT)
        require(self.application, f"the program did not appear on the AT-SPI bus"
                                  f"{self.program_state()}")
        log(f"found application '{self.application.get_name()}' (pid {self.program.pid})")

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
        self.controls = wait_until(self.find_controls, CONTROLS_TIMEOUT) or {}
        if not self.controls:
            nodes = walk(self.frame)
            absent = [f"'{name}'" for _, name, roles in CONTROLS
                      if sum(1 for n in nodes if n[1] in roles and n[2] == name) != 1]
            raise StepFailed(f"not found once each: {', '.join(absent)}")

    def listen_and_connect(self):
        require(not port_taken(LINK_PORT),
                f"port {LINK_PORT} is taken: another copy of the program is listening")
        self.press(self.controls["listen"])
        self.peer.connect(LINK_PORT, CONNECT_TIMEOUT)

    def greetings(self):
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

    def become_answerer(self):
        self.peer.send("2S")
        self.peer.expect("2T")
        self.peer.expect("4" + SPEED_CODE)
        self.wait_for_caption(READY)

    def select_step_mode(self):
        option = self.controls["step"]
        self.wait(lambda: is_enabled(option), REACTION_TIMEOUT,
                  f"the Step-mode option did not become enabled within {REACTION_TIMEOUT} s")
        do_action(option, TOGGLE_ACTIONS)
        self.wait(lambda: is_checked(option), REACTION_TIMEOUT,
                  f"the Step-mode option was not checked within {REACTION_TIMEOUT} s of its "
                  "action")
        self.peer.expect("32")
        self.peer.expect("4" + SPEED_CODE)

    def say_ready(self):
        self.press(self.controls["main"])
        self.peer.expect("71")

    def receive_question(self):
        setter = self.controls["setter"]
        self.peer.send("61")
        self.wait(lambda: "問題作成中" in current_description(setter), REACTION_TIMEOUT,
                  lambda: f"the setter's status did not show that a question is being made "
                          f"within {REACTION_TIMEOUT} s (it shows "
                          f"'{current_description(setter)}')")
        self.peer.send("5" + QUESTION)
        self.wait_for_caption(START)
        self.peer.send("62")
        self.wait(lambda: "問題送信済" in current_description(setter), REACTION_TIMEOUT,
                  lambda: f"the setter's status did not show that the question was sent "
                          f"within {REACTION_TIMEOUT} s (it shows "
                          f"'{current_description(setter)}')")

    def start_lesson(self):
        self.press(self.controls["main"])
        self.peer.expect("72")

    def answer(self):
        # The count goes to 1 as the question's letter begins to sound, after the call-up.
        self.wait_for_value("played", lambda text: text == "1", PLAYBACK_TIMEOUT,
                            "a played count of 1")
        self.press(self.controls["answer"])
        self.wait_for_value("display", lambda text: text == CORRECT_MARK, REACTION_TIMEOUT,
                            f"'{CORRECT_MARK}' for a correct answer")
        self.wait_for_value("correct", lambda text: text == "1", REACTION_TIMEOUT,
                            "a correct count of 1")

    def end_of_lesson(self):
        self.peer.expect("73", PLAYBACK_TIMEOUT)

    def result_window(self):
        windows = wait_until(self.result_windows, REACTION_TIMEOUT)
        require(windows, f"the result window '{RESULT_TITLE}' did not open within "
                         f"{REACTION_TIMEOUT} s{self.program_state()}")
        require(len(windows) == 1, f"{len(windows)} result windows are open")
        window = windows[0]
        # Only their presence: these labels give their fixed name and no text or description,
        # so the counts they show cannot be read through AT-SPI.
        for name in ("出題数", "正解数"):
            labels = find_all(window, name, LABEL)
            require(len(labels) == 1, f"the result window has {len(labels)} labels '{name}'")
        buttons = find_all(window, "閉じる", PUSH_BUTTON)
        require(len(buttons) == 1, f"the result window has {len(buttons)} buttons '閉じる'")
        self.press(buttons[0])
        self.wait(lambda: not self.result_windows(), REACTION_TIMEOUT,
                  f"the result window did not close within {REACTION_TIMEOUT} s")

    def score_list(self):
        scores = self.controls["scores"]

        def lines():
            scores.clear_cache()
            return [name for _, _, name, _ in walk(scores)[1:]]

        self.wait(lambda: SCORE_LINE in lines(), REACTION_TIMEOUT,
                  lambda: f"the score list did not hold '{SCORE_LINE}' within "
                          f"{REACTION_TIMEOUT} s (it holds {lines()})")

    def next_question(self):
        self.wait_for_caption(NEXT)

    def termination(self):
        self.session.screenshot(log, self.args.screenshot, self.frame)
        self.program.send_signal(signal.SIGTERM)
        try:
            status = self.program.wait(timeout=EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise StepFailed(f"the program did not exit within {EXIT_TIMEOUT} s of SIGTERM")
        require(status == 0, f"the program exited with status {status} after SIGTERM")

    STEPS = [
        ("start the program", start_program),
        ("find the main window's controls", find_window),
        ("listen and let the peer connect", listen_and_connect),
        ("exchange callsigns", greetings),
        ("become the answerer", become_answerer),
        ("select Step mode", select_step_mode),
        ("press ready", say_ready),
        ("receive the question", receive_question),
        ("press start", start_lesson),
        ("answer the letter by its button", answer),
        ("end of the lesson on the wire", end_of_lesson),
        ("result window opens and closes", result_window),
        ("score list", score_list),
        ("main button reads next question", next_question),
        ("end the program with SIGTERM", termination),
    ]

    def run(self):
        started = time.monotonic()
        try:
            for name, step in self.STEPS:
                self.step = name
                step(self)
                log(f"ok: {name} ({time.monotonic() - started:.1f} s)")
            log(f"peer's transcript: {self.peer.transcript()!r}")
            print(f"{len(self.STEPS)} steps passed", flush=True)
            return PASS
        except StepFailed as failure:
            log(f"FAIL at step '{self.step}': {failure}")
        except Exception:
            log(f"FAIL at step '{self.step}': the check itself broke:")
            traceback.print_exc()
        log(f"peer's transcript: {self.peer.transcript()!r}")
        show_tail(log, self.session.program_log)
        return FAIL

    def close(self):
        self.peer.close()


def run_inner(args):
    try:
        with DesktopSession("lesson") as session:
            lesson = Lesson(session, args)
            try:
                return lesson.run()
            finally:
                lesson.close()
    except RuntimeError as error:
        log(f"FAIL: {error}")
        return FAIL


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--screenshot", default="/tmp/quillstart-lesson.png")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.inner:
        return run_inner(args)
    return run_outer(log, __file__, args.program, ["--screenshot", args.screenshot],
                     TOTAL_TIMEOUT)


if __name__ == "__main__":
    sys.exit(main())
