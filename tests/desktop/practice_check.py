#!/usr/bin/env python3
"""Desktop check of sending practice, keyed on the pad and heard through a screen reader.

The program runs on a private virtual display with the AT-SPI bus, unlinked; the pad's key (the
space bar) is held and released through the X server. Free keying: a keyed word is heard before
the closing count. Echo: a wrong try is not told the group until tried again, and the group
sounds again (the replay button disabled meanwhile) only once the verdict has had its time.

    practice_check.py PROGRAM [--screenshot FILE]

Exit status: 0 passed, 1 failed (naming the step), 77 skipped (no Xvfb, D-Bus or pyatspi).
"""

import ctypes
import re
import sys
import time

from desktop_session import (ALT, KEY_DOWN, PUSH_BUTTON, TEXT_FIELD, Announcements,
                             FocusWatch, click, find_one, is_enabled, is_showing, make_log,
                             press_key, wait_until, walk)
from peer_check import REACTION_TIMEOUT, PeerCheck, main, require

TOTAL_TIMEOUT = 110
# 10 WPM: a dot of 120 ms stays a dot, and a dash a dash, through tens of ms of jitter.
UNIT_S = 0.12
MORSE = {"P": ".--.", "A": ".-", "R": ".-.", "I": "..", "S": "...", "E": "."}
WORD, WRONG = "PARIS", "E"
# The Koch course begins with K and M: the echo groups are drawn from them.
KOCH_START = "KM"
# The first verdict at eight morae a second: あやまり・イー・を・そうしん・もういちど.
VERDICT_SAID_S = 16 / 8
GROUP_TIMEOUT = 30  # a group of five at 60 characters a minute sounds in far less
TITLE, REPORT_TITLE, REPLAY = "送信練習", "送信の評価", "もう一度聞く(A)"

log = make_log("practice_check")


def space_keycode():
    """AT-SPI holds a key down by its X keycode: the space bar's on the session's display."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    display = ctypes.c_void_p(require(x11.XOpenDisplay(None), "the display did not open"))
    try:
        return x11.XKeysymToKeycode(display, ctypes.c_ulong(0x20)) & 0xFF
    finally:
        x11.XCloseDisplay(display)


class Practice(PeerCheck):
    """The steps of the practice; each raises StepFailed with what it saw."""

    NAME = "practice"
    CONTROLS = [("callsign", "コールサイン", TEXT_FIELD)]

    def key(self, text):
        """Keys the text in standard timing, each edge at its planned moment, so none drifts."""
        from gi.repository import Atspi

        edges, at = [], time.monotonic() + 0.2
        for index, letter in enumerate(text):
            at += 2 * UNIT_S if index else 0
            for sign in MORSE[letter]:
                edges.append((at, Atspi.KeySynthType.PRESS))
                at += UNIT_S * (3 if sign == "-" else 1)
                edges.append((at, Atspi.KeySynthType.RELEASE))
                at += UNIT_S
        for moment, kind in edges:
            time.sleep(max(0.0, moment - time.monotonic()))
            Atspi.generate_keyboard_event(self.space, None, kind)

    def said(self, start):
        return self.announcements.all_heard()[start:]

    def heard(self, wanted, why, start):
        """Waits for an announcement from the start'th on that wanted accepts; returns when it
        came and what it said."""
        self.wait(lambda: any(wanted(t) for t in self.said(start)), REACTION_TIMEOUT,
                  lambda: f"no announcement {why} within {REACTION_TIMEOUT} s (heard "
                          f"{self.said(start)})")
        return next((at, t) for at, _, t in self.announcements.events[start:] if wanted(t))

    def control(self, name):
        found = [node for node, _, node_name, _ in walk(self.window) if node_name == name]
        return require(found, f"the window '{TITLE}' has no control '{name}'")[0]

    def take_pad(self):
        click(self.pad)
        require(FocusWatch.wait_for(self.pad, REACTION_TIMEOUT), "a click did not focus the pad")

    def replayed(self, why):
        """Waits for the group to sound and end; returns when it began."""
        replay = self.control(REPLAY)
        require(wait_until(lambda: not is_enabled(replay), GROUP_TIMEOUT, interval=0.02),
                f"the group did not sound {why}")
        began = time.monotonic()
        self.wait(lambda: is_enabled(replay), GROUP_TIMEOUT, f"the group sounded on {why}")
        return began

    def close_report(self):
        report = self.wait_for_window(REPORT_TITLE)
        self.press(find_one(report, "閉じる", PUSH_BUTTON))
        self.wait_for_no_window(REPORT_TITLE, REACTION_TIMEOUT)

    # -- the steps ----------------------------------------------------------------------------

    def open_practice(self):
        self.announcements = Announcements()
        self.space = space_keycode()
        click(self.controls["callsign"])
        require(FocusWatch.wait_for(self.controls["callsign"], REACTION_TIMEOUT),
                "a click on 'コールサイン' did not give the main window the keyboard")
        press_key("o", ALT)
        press_key("p")
        self.window = self.wait_for_window(TITLE)
        self.pad = self.control("送信パッド")

    def free_keying_heard(self):
        start = len(self.announcements.all_heard())
        self.press(self.control("始め(S)"))
        self.take_pad()
        self.key(WORD)
        # Heard before the practice ends, not only in the closing summary.
        self.heard(lambda t: "".join(re.findall(r"[A-Z0-9]", t)) == WORD,
                   f"spelling '{WORD}' while practising", start)
        self.press(self.control("終わり(E)"))
        count = f"{len(WORD)}文字を送信しました。"
        self.heard(lambda t: t.endswith(count), f"'{count}' on ending", start)
        self.close_report()

    def echo_not_told_first(self):
        self.take_pad()
        mode = self.control("練習の種類")
        mode.queryComponent().grabFocus()
        require(FocusWatch.wait_for(mode, REACTION_TIMEOUT), "'練習の種類' did not take the focus")
        for _ in range(2):
            press_key(KEY_DOWN)
        replay = self.control(REPLAY)
        self.wait(lambda: replay.clear_cache() or is_showing(replay), REACTION_TIMEOUT,
                  "two Downs on '練習の種類' did not choose echo (no replay button shows)")
        self.press(self.control("始め(S)"))
        self.replayed("at the start")
        verdicts = []
        for attempt in ("first", "second"):
            start = len(self.announcements.all_heard())
            self.key(WRONG)
            said_at, verdict = self.heard(lambda t: t.startswith("誤り"), f"of the {attempt} try",
                                          start)
            began = self.replayed(f"again after the {attempt} wrong try")
            require(began - said_at >= VERDICT_SAID_S,
                    f"the group sounded again {began - said_at:.2f} s after '{verdict}' was "
                    f"said, before it could be heard out ({VERDICT_SAID_S:.1f} s)")
            self.log(f"'{verdict}': the group sounded again {began - said_at:.2f} s later")
            verdicts.append(verdict)
        first, second = (re.findall(r"[A-Z0-9]+", verdict) for verdict in verdicts)
        require(first == [WRONG], f"the first verdict '{verdicts[0]}' tells more than the try")
        require(len(second) == 2 and second[0] == WRONG and set(second[1]) <= set(KOCH_START),
                f"the second verdict '{verdicts[1]}' does not tell the group of {KOCH_START}")
        self.press(self.control("終わり(E)"))
        self.close_report()

    STEPS = [
        ("start the program", "start_program"),
        ("find the main window's controls", "find_window"),
        ("Alt+O, P opens sending practice", "open_practice"),
        ("a keyed word is heard before the closing count", "free_keying_heard"),
        ("echo: a wrong try is not told the group; the group sounds after the verdict",
         "echo_not_told_first"),
        ("end the program with SIGTERM, the practice still open", "termination"),
    ]


if __name__ == "__main__":
    sys.exit(main(__file__, __doc__.splitlines()[0], Practice, log, TOTAL_TIMEOUT,
                  "/tmp/quillstart-practice.png"))
