#!/usr/bin/env python3
"""Desktop check of setting a question, composed in the editor as a user composes it.

Starts the program on a private virtual display (Xvfb) with a private session bus and the
AT-SPI bus, in a folder whose settings file gives it a callsign, the peer's address and a
speed. A raw peer (peer_check.py) makes the program the setter and then plays the answerer
over TCP on 127.0.0.1; the setter's side is worked only through AT-SPI: listen, close the
notice that the answerer is ready, press "出題", compose "CQ 5" with the editor's own key
buttons, leave the box by Tab, complete and send it by the access keys, reading the instruction
line and the keys as a screen reader does, and watch the editor close by itself. The peer must
receive the bare question and the sent status right after the composing status. Then the answerer's
test runs and ends on the wire, and the program is ended with SIGTERM.

    editor_check.py PROGRAM [--screenshot FILE]

Exit status: 0 passed, 1 failed (naming the step), 77 skipped (no Xvfb, D-Bus or pyatspi).
Every wait is a bounded poll; the whole run is cut off after TOTAL_TIMEOUT seconds.
"""

import sys

from desktop_session import (ALT, KEY_TAB, LABEL, PUSH_BUTTON, RADIO_BUTTON, TEXT_FIELD,
                             TOGGLE_ACTIONS, FocusWatch, WindowWatch, click, current_description,
                             current_name, do_action, find_all, is_checked, is_enabled,
                             key_binding, make_log, press_key, wait_until, walk)
from peer_check import OWN_CALLSIGN, PEER_CALLSIGN, REACTION_TIMEOUT, PeerCheck, main, require

TOTAL_TIMEOUT = 100
# The sent notice closes itself after 1.5 s and the editor a second after it; both are
# given far longer.
SELF_CLOSE_TIMEOUT = 15

# Captions of the main button; its accessible name follows the caption.
START, SET = "スタート", "出題"
READY_TITLE = "お知らせ"
EDITOR_TITLE = "問題作成ウィンドウ"
SENT_TITLE = "問題の送信完了"
# The ready notice is a message box, which Qt reports as an alert.
READY_ROLES = ("dialog", "frame", "alert")

KEYS = [chr(code) for code in range(ord("A"), ord("Z") + 1)] + [str(digit) for digit in range(10)]
SPACE_KEY = "スペース"
# The question as pressed on the key buttons, and as the box shows it once completed.
PRESSED = ["C", "Q", SPACE_KEY, "5"]
QUESTION = "CQ 5"
DECORATED = f"HR HR [BT]{QUESTION}[AR]"

# What the instruction line above the box says while composing, and once completed.
COMPOSE_HINT = ("テキストボックスに問題を直接入力するか、下のキーボタンで問題を作成して下さい。"
                "HR HR [BT],[AR]は記入不要（自動付加）です。")
SEND_HINT = "作成した問題を解答者に送信して下さい。"
ACCESS_KEYS = {"complete": "Alt+C", "send": "Alt+S", "resume": "Alt+R"}

SETTER_SENT = f"出題者:{OWN_CALLSIGN}[問題送信済]"
ANSWERER_TESTING = f"解答者:{PEER_CALLSIGN}[受験中]"
ANSWERER_FINISHED = f"解答者:{PEER_CALLSIGN}[受験終了]"

log = make_log("editor_check")


def text_of(node):
    node.clear_cache()
    return node.queryText().getText(0, -1)


# (key, accessible name, roles) of the editor's controls; a key button's key is its caption.
EDITOR_CONTROLS = [
    ("keyboard", "文字入力", RADIO_BUTTON),
    ("file", "ファイル読み込み", RADIO_BUTTON),
    ("text", "問題", TEXT_FIELD),
    ("complete", "作成完了", PUSH_BUTTON),
    ("send", "問題送信", PUSH_BUTTON),
    ("resume", "作成続行", PUSH_BUTTON),
] + [(key, key, PUSH_BUTTON) for key in KEYS + [SPACE_KEY]]


def one_in(window, name, roles, where):
    found = find_all(window, name, roles)
    require(len(found) == 1, f"{where} has {len(found)} controls '{name}' ({'/'.join(roles)})")
    return found[0]


class Editor(PeerCheck):
    """The steps of setting one question; each raises StepFailed with what it saw."""

    NAME = "editor"
    # (key, accessible name, roles) of the main window's controls this check works with. The
    # main button is found by its first caption.
    CONTROLS = [
        ("listen", "待受", PUSH_BUTTON),
        ("main", START, PUSH_BUTTON),
        ("setter", "出題者", LABEL),
        ("answerer", "解答者", LABEL),
        ("chat", "チャット・ログ", TEXT_FIELD),
    ]

    def __init__(self, *arguments):
        super().__init__(*arguments)
        self.editor = None
        self.editor_controls = {}
        self.watch = None
        self.focus = None

    # -- helpers ------------------------------------------------------------------------------

    def wait_for_text(self, wanted, why):
        box = self.editor_controls["text"]
        self.wait(lambda: text_of(box) == wanted, REACTION_TIMEOUT,
                  lambda: f"the box '問題' did not show {wanted!r} {why} within "
                          f"{REACTION_TIMEOUT} s (it shows {text_of(box)!r})")

    def instruction_reads(self, hint):
        """The instruction line is read by its text, and the box it is about describes it."""
        box = self.editor_controls["text"]

        def shown():
            self.editor.clear_cache()
            return (any(role in LABEL and name == hint for _, role, name, _ in walk(self.editor))
                    and current_description(box) == hint)

        self.wait(shown, REACTION_TIMEOUT,
                  lambda: f"no label of the editor reads {hint!r}, or the box '問題' is not "
                          f"described by it (its description: {current_description(box)!r})")

    def has_access_key(self, key):
        button = self.editor_controls[key]
        self.wait(lambda: key_binding(button) == ACCESS_KEYS[key], REACTION_TIMEOUT,
                  lambda: f"'{current_name(button)}' exposes {key_binding(button)!r} as its key "
                          f"binding, not {ACCESS_KEYS[key]}")

    # -- the steps ----------------------------------------------------------------------------

    def become_setter(self):
        self.peer.send("2T")
        self.peer.expect("2S")
        button = self.controls["main"]
        self.wait(lambda: current_name(button) == SET, REACTION_TIMEOUT,
                  lambda: f"the main button did not read '{SET}' within {REACTION_TIMEOUT} s "
                          f"(it reads '{current_name(button)}')")

    def answerer_ready(self):
        # What an answerer sends: its receive mode, its speed, then that it is ready.
        for message in ("32", "41", "71"):
            self.peer.send(message)

    def close_ready_notice(self):
        notice = self.wait_for_window(READY_TITLE, roles=READY_ROLES)
        self.press(one_in(notice, "OK", PUSH_BUTTON, f"the notice '{READY_TITLE}'"))
        self.wait_for_no_window(READY_TITLE, REACTION_TIMEOUT, " on its OK button",
                                roles=READY_ROLES)

    def press_set(self):
        self.wait_for_caption(SET)
        self.press(self.controls["main"])
        self.peer.expect("61")

    def editor_opens(self):
        self.editor = self.wait_for_window(EDITOR_TITLE)
        # Inside the editor only: the main window has answer buttons of the same names.
        self.editor_controls = self.wait_for_controls(self.editor, EDITOR_CONTROLS,
                                                      f"the editor '{EDITOR_TITLE}'")
        box = self.editor_controls["text"]
        require(text_of(box) == "", f"the box '問題' is not empty as the editor opens: "
                                    f"{text_of(box)!r}")

    def compose(self):
        option = self.editor_controls["keyboard"]
        self.wait(lambda: is_enabled(option), REACTION_TIMEOUT,
                  f"'文字入力' did not become enabled within {REACTION_TIMEOUT} s")
        do_action(option, TOGGLE_ACTIONS)
        self.wait(lambda: is_checked(option), REACTION_TIMEOUT,
                  f"'文字入力' was not checked within {REACTION_TIMEOUT} s of its action")
        typed = ""
        for key in PRESSED:
            self.press(self.editor_controls[key])
            typed += " " if key == SPACE_KEY else key
            self.wait_for_text(typed, f"after the key '{key}'")
        require(typed == QUESTION, f"the keys spell {typed!r}, not {QUESTION!r}")
        self.instruction_reads(COMPOSE_HINT)

    def tab_leaves_box(self):
        # A click in the box gives the editor the keyboard (the display has no window manager).
        self.focus = FocusWatch()
        box = self.editor_controls["text"]
        click(box)
        require(self.focus.wait_for(box, REACTION_TIMEOUT),
                "a click in the box '問題' did not give it the focus")
        focus = self.focus.press(KEY_TAB, REACTION_TIMEOUT)
        require(focus is not None, f"Tab did not move the focus out of the box '問題' within "
                                   f"{REACTION_TIMEOUT} s (it shows {text_of(box)!r})")
        complete = self.editor_controls["complete"]
        require(focus == (complete.get_role_name(), "作成完了"),
                f"Tab took the focus from the box '問題' to {focus}, not to '作成完了'")
        self.wait_for_text(QUESTION, "after Tab")

    def complete(self):
        self.has_access_key("complete")
        press_key("c", ALT)
        self.wait_for_text(DECORATED, "after Alt+C ('作成完了')")
        self.instruction_reads(SEND_HINT)
        for key in ("send", "resume"):
            self.has_access_key(key)
        self.session.screenshot(log, self.args.screenshot.replace(".png", "-composed.png"),
                                self.editor)

    def send_question(self):
        # The sent notice is on screen for 1.5 s only: its showing is recorded from events as
        # well as polled for.
        self.watch = WindowWatch()
        press_key("s", ALT)
        # Right after the composing status, nothing between: the bare question, then "sent".
        self.peer.expect_next("5" + QUESTION)
        self.peer.expect_next("62")

    def sent_notice(self):
        seen = wait_until(lambda: ("on screen" if self.windows(SENT_TITLE) else None)
                          or ("by its showing event" if self.watch.saw(SENT_TITLE) else None),
                          SELF_CLOSE_TIMEOUT, interval=0.05)
        require(seen, f"the notice '{SENT_TITLE}' did not open within {SELF_CLOSE_TIMEOUT} s"
                      f"{self.program_state()}")
        log(f"the notice '{SENT_TITLE}' was seen {seen}")
        self.watch.stop()
        self.wait_for_no_window(SENT_TITLE, SELF_CLOSE_TIMEOUT, " by itself")

    def editor_closes(self):
        self.wait_for_no_window(EDITOR_TITLE, SELF_CLOSE_TIMEOUT, " by itself")

    def setter_sent(self):
        self.wait_for_value("setter", lambda text: text == SETTER_SENT, REACTION_TIMEOUT,
                            f"'{SETTER_SENT}'")

    def answerer_test(self):
        self.peer.send("72")
        # The status blinks; its text is there in both colours.
        self.wait_for_value("answerer", lambda text: text == ANSWERER_TESTING, REACTION_TIMEOUT,
                            f"'{ANSWERER_TESTING}'")
        button = self.controls["main"]
        require(not is_enabled(button), f"the main button '{current_name(button)}' is enabled "
                                        "while the answerer's test runs")
        self.peer.send("73")
        self.wait_for_value("answerer", lambda text: text == ANSWERER_FINISHED, REACTION_TIMEOUT,
                            f"'{ANSWERER_FINISHED}'")
        self.wait_for_caption(SET)

    def close(self):
        for watch in (self.watch, self.focus):
            if watch is not None:
                watch.stop()
        super().close()

    STEPS = [
        ("start the program", "start_program"),
        ("find the main window's controls", "find_window"),
        ("listen and let the peer connect", "listen_and_connect"),
        ("exchange callsigns", "greetings"),
        ("become the setter", "become_setter"),
        ("the answerer chooses Step mode and says ready", "answerer_ready"),
        ("the ready notice closes by its OK button", "close_ready_notice"),
        ("press '出題': the peer receives 61", "press_set"),
        ("the editor opens", "editor_opens"),
        ("the key buttons compose 'CQ 5'; the instruction is read", "compose"),
        ("Tab leaves the box for '作成完了'", "tab_leaves_box"),
        ("Alt+C ('作成完了') shows the decorated question; keys and instruction read",
         "complete"),
        ("Alt+S ('問題送信') sends the bare question, then 62", "send_question"),
        ("the sent notice appears and goes", "sent_notice"),
        ("the editor closes by itself", "editor_closes"),
        ("the setter's status reads question sent", "setter_sent"),
        ("the answerer's test runs and ends; '出題' is enabled again", "answerer_test"),
        ("end the program with SIGTERM", "termination"),
    ]


if __name__ == "__main__":
    sys.exit(main(__file__, __doc__.splitlines()[0], Editor, log, TOTAL_TIMEOUT,
                  "/tmp/quillstart-editor.png"))
