#!/usr/bin/env python3
"""Desktop check of one Step-mode lesson, taken as a user takes it.

Starts the program on a private virtual display (Xvfb) with a private session bus and the
AT-SPI bus, in a folder whose settings file gives it a callsign, the peer's address and the
fastest speed. A raw peer (peer_check.py) plays the setter over TCP on 127.0.0.1; the answerer's
side is worked only through AT-SPI, as a screen reader user would: listen, select Step mode,
say ready, start, answer the one-character question with its on-screen button, hear the played
count after the character, close the result window. Then the program is ended with SIGTERM.

    lesson_check.py PROGRAM [--screenshot FILE]

Exit status: 0 passed, 1 failed (naming the step), 77 skipped (no Xvfb, D-Bus or pyatspi).
Every wait is a bounded poll; the whole run is cut off after TOTAL_TIMEOUT seconds.
"""

import sys

from desktop_session import (LABEL, LIST, PUSH_BUTTON, RADIO_BUTTON, TEXT_FIELD, TOGGLE_ACTIONS,
                             Announcements, current_description, do_action, find_all, is_checked,
                             is_enabled, make_log, walk)
from peer_check import REACTION_TIMEOUT, PeerCheck, main, require

TOTAL_TIMEOUT = 100
# The call-up and the question at 60 characters a minute take a few seconds of real time.
PLAYBACK_TIMEOUT = 30

# A long character, so that what is said while it sounds and after it can be told apart.
QUESTION = "0"
SPEED_CODE = "3"
# At 60 characters a minute a dot is 90 ms: the five dashes and four gaps of "0".
QUESTION_SOUNDS_S = (5 * 3 + 4) * 0.090
CALL_UP = ("H", "R", "BT")

# Captions of the main button; its accessible name follows the caption.
READY, START, NEXT = "準備OK", "スタート", "次の問題"
RESULT_TITLE = "聞き取り成績"
RECEIVED_TITLE = "問題の受信完了"
SCORE_LINE = "ステップ:1問中1問正解"
DISPLAY, PLAYED = "受信文字", "出題数"
GRADE = "評価: 満点"
CORRECT_MARK = "○"

log = make_log("lesson_check")


class Lesson(PeerCheck):
    """The steps of the lesson; each raises StepFailed with what it saw."""

    NAME = "lesson"
    # (key, accessible name, roles) of the main window's controls this lesson works with.
    CONTROLS = [
        ("listen", "待受", PUSH_BUTTON),
        ("main", START, PUSH_BUTTON),
        ("step", "ステップ受信モード", RADIO_BUTTON),
        ("answer", QUESTION, PUSH_BUTTON),
        ("played", PLAYED, LABEL),
        ("correct", "正解数", LABEL),
        ("display", "受信文字", LABEL),
        ("setter", "出題者", LABEL),
        ("scores", "成績表", LIST),
        ("chat", "チャット・ログ", TEXT_FIELD),
    ]

    # -- the steps ----------------------------------------------------------------------------

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
        # The received-question notice holds the program until it is read and dismissed.
        notice = self.wait_for_window(RECEIVED_TITLE)
        buttons = find_all(notice, "OK", PUSH_BUTTON)
        require(len(buttons) == 1, f"the received-question notice has {len(buttons)} OK buttons")
        self.press(buttons[0])
        self.wait_for_no_window(RECEIVED_TITLE, REACTION_TIMEOUT)
        self.peer.send("62")
        self.wait(lambda: "問題送信済" in current_description(setter), REACTION_TIMEOUT,
                  lambda: f"the setter's status did not show that the question was sent "
                          f"within {REACTION_TIMEOUT} s (it shows "
                          f"'{current_description(setter)}')")

    def start_lesson(self):
        # The display and the played count are heard too, to place the announcements.
        self.announcements = Announcements(labels=(DISPLAY, PLAYED))
        self.press(self.controls["main"])
        self.peer.expect("72")

    def answer(self):
        # The count goes to 1 as the question's character begins to sound, after the call-up.
        self.wait_for_value("played", lambda text: text == "1", PLAYBACK_TIMEOUT,
                            "a played count of 1")
        self.press(self.controls["answer"])
        self.wait_for_value("display", lambda text: text == CORRECT_MARK, REACTION_TIMEOUT,
                            f"'{CORRECT_MARK}' for a correct answer")
        self.wait_for_value("correct", lambda text: text == "1", REACTION_TIMEOUT,
                            "a correct count of 1")
        # A screen reader is told the judgement and the new counts, wherever its focus is.
        wanted = ["正解", "正解数 1", f"{PLAYED} 1"]
        self.wait(lambda: all(w in self.announcements.all_heard() for w in wanted),
                  REACTION_TIMEOUT,
                  lambda: f"the announcements {self.announcements.all_heard()} lack {wanted}")
        if self.args.lesson_screenshot:
            self.session.screenshot(self.log, self.args.lesson_screenshot, self.frame)

    def played_count_after_its_character(self):
        """The played count is said once its character has sounded, never over the call-up
        or the character itself. Placed by what the display and the count showed meanwhile;
        the time between the count and its announcement is a lower bound only (a busy machine
        makes it longer, never shorter)."""
        self.announcements.all_heard()
        events = list(self.announcements.events)
        shown = [(index, kind, text) for index, (_, kind, text) in enumerate(events)]
        call_up = next((i for i, kind, text in shown if kind == DISPLAY and text in CALL_UP),
                       None)
        require(call_up is not None, f"the display never showed the call-up: {events}")
        cleared = next((i for i, kind, text in shown[call_up:] if kind == DISPLAY and not text),
                       None)
        require(cleared is not None, f"the display kept the call-up: {events}")
        said = [text for _, kind, text in shown[call_up:cleared] if kind == "notification"]
        require(not [text for text in said if text.startswith(PLAYED) or text in CALL_UP],
                f"said while the call-up sounded: {said}")
        counted = next((i for i, kind, text in shown[cleared:] if kind == PLAYED and text == "1"),
                       None)
        heard = next((i for i, kind, text in shown
                      if kind == "notification" and text == f"{PLAYED} 1"), None)
        require(counted is not None and heard is not None and heard > counted,
                f"'{PLAYED} 1' was not said after the count showed 1: {events}")
        after = events[heard][0] - events[counted][0]
        require(after >= QUESTION_SOUNDS_S / 2,
                f"'{PLAYED} 1' was said {after:.2f} s after its character began, which sounds "
                f"{QUESTION_SOUNDS_S:.2f} s")
        self.log(f"'{PLAYED} 1' said {after:.2f} s after its character began")

    def end_of_lesson(self):
        self.peer.expect("73", PLAYBACK_TIMEOUT)

    def result_window(self):
        window = self.wait_for_window(RESULT_TITLE)
        # The counts read out as a screen reader reads them: the description follows the text.
        for name in ("出題数", "正解数"):
            labels = find_all(window, name, LABEL)
            require(len(labels) == 1, f"the result window has {len(labels)} labels '{name}'")
            shown = current_description(labels[0])
            require(shown == "1", f"the result window's '{name}' reads {shown!r}, not '1'")
        grades = [name for _, _, name, _ in walk(window) if name.startswith("評価")]
        require(grades == [GRADE], f"the grade picture is named {grades}, not '{GRADE}'")
        if self.args.result_screenshot:
            self.session.screenshot(self.log, self.args.result_screenshot, window)
        buttons = find_all(window, "閉じる", PUSH_BUTTON)
        require(len(buttons) == 1, f"the result window has {len(buttons)} buttons '閉じる'")
        self.press(buttons[0])
        self.wait_for_no_window(RESULT_TITLE, REACTION_TIMEOUT)

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

    def close(self):
        if getattr(self, "announcements", None) is not None:
            self.announcements.stop()
        super().close()

    STEPS = [
        ("start the program", "start_program"),
        ("find the main window's controls", "find_window"),
        ("listen and let the peer connect", "listen_and_connect"),
        ("exchange callsigns", "greetings"),
        ("become the answerer", "become_answerer"),
        ("select Step mode", "select_step_mode"),
        ("press ready", "say_ready"),
        ("receive the question", "receive_question"),
        ("press start", "start_lesson"),
        ("answer the character by its button", "answer"),
        ("the played count is said after its character", "played_count_after_its_character"),
        ("end of the lesson on the wire", "end_of_lesson"),
        ("result window opens and closes", "result_window"),
        ("score list", "score_list"),
        ("main button reads next question", "next_question"),
        ("end the program with SIGTERM", "termination"),
    ]


if __name__ == "__main__":
    sys.exit(main(__file__, __doc__.splitlines()[0], Lesson, log, TOTAL_TIMEOUT,
                  "/tmp/quillstart-lesson.png"))
