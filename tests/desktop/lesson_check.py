#!/usr/bin/env python3
"""Desktop check of one Step-mode lesson, taken as a user takes it.

Starts the program on a private virtual display (Xvfb) with a private session bus and the
AT-SPI bus, in a folder whose settings file gives it a callsign, the peer's address and the
fastest speed. A raw peer (peer_check.py) plays the setter over TCP on 127.0.0.1; the answerer's
side is worked only through AT-SPI, as a screen reader user would: listen, select Step mode,
say ready, start, answer the two characters by their buttons, right and wrong, each judgement heard
between the characters, close the result window. Then the program is ended with SIGTERM.

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

# A long character, so that what is said over it and after it can be told apart; one to miss.
QUESTION, WRONG = "0E", "T"
SPEED_CODE = "3"
# At 60 characters a minute a dot is 90 ms: the five dashes and four gaps of "0".
QUESTION_SOUNDS_S = (5 * 3 + 4) * 0.090

# Captions of the main button; its accessible name follows the caption.
READY, START, NEXT = "準備OK", "スタート", "次の問題"
RESULT_TITLE = "聞き取り成績"
RECEIVED_TITLE = "問題の受信完了"
SCORE_LINE = "ステップ:2問中1問正解"
PLAYED = "出題数"
GRADE = "評価: まあまあ"  # one of two
JUDGEMENTS = ["正解", f"不正解 {QUESTION[1]}"]
# The least a screen reader takes to say a text (the shortest: four morae at eight a second).
SAID_S = 0.6
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
        ("answer", QUESTION[0], PUSH_BUTTON),
        ("wrong", WRONG, PUSH_BUTTON),
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

    def watch_announcements(self):
        # The played count is heard too, to place the announcements.
        self.announcements = Announcements(labels=(PLAYED,))

    def start_lesson(self):
        self.lesson_from = len(self.announcements.all_heard())
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
        self.wait_for_value("played", lambda text: text == "2", PLAYBACK_TIMEOUT,
                            "a played count of 2")
        self.press(self.controls["wrong"])
        self.wait(lambda: self.announcements.all_heard()[self.lesson_from:] == JUDGEMENTS,
                  REACTION_TIMEOUT, lambda: f"the lesson's announcements "
                  f"{self.announcements.all_heard()[self.lesson_from:]} are not {JUDGEMENTS}")
        if self.args.lesson_screenshot:
            self.session.screenshot(self.log, self.args.lesson_screenshot, self.frame)

    def end_of_lesson(self):
        self.peer.expect("73", PLAYBACK_TIMEOUT)

    def result_window(self):
        window = self.wait_for_window(RESULT_TITLE)
        # The counts read out as a screen reader reads them: the description follows the text.
        for name, count in (("出題数", "2"), ("正解数", "1")):
            labels = find_all(window, name, LABEL)
            require(len(labels) == 1, f"the result window has {len(labels)} labels '{name}'")
            shown = current_description(labels[0])
            require(shown == count, f"the result window's '{name}' reads {shown!r}, not {count}")
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

    def none_cut_another(self):
        """Every text is given its time, and the judgement comes between the characters."""
        self.announcements.all_heard()
        events = self.announcements.events
        said = [(at, text) for at, kind, text in events if kind == "notification"]
        cut = [(a, b) for (t, a), (u, b) in zip(said, said[1:]) if u - t < SAID_S]
        require(not cut, f"said too soon after the one before: {cut}")
        onset = {text: at for at, kind, text in events if kind == PLAYED}
        judged = next(at for at, text in said if text == JUDGEMENTS[0])
        require(judged - onset["1"] >= QUESTION_SOUNDS_S and onset["2"] - judged >= SAID_S,
                f"'{JUDGEMENTS[0]}' said {judged - onset['1']:.2f} s after its character "
                f"began (it sounds {QUESTION_SOUNDS_S:.2f} s) and {onset['2'] - judged:.2f} s "
                "before the next")
        self.log(f"'{JUDGEMENTS[0]}' said {judged - onset['1']:.2f} s after its character began, "
                 f"{onset['2'] - judged:.2f} s before the next; {len(said)} texts said in all")

    def next_question(self):
        self.wait_for_caption(NEXT)

    def close(self):
        if getattr(self, "announcements", None) is not None:
            self.announcements.stop()
        super().close()

    STEPS = [
        ("start the program", "start_program"),
        ("find the main window's controls", "find_window"),
        ("watch what is said", "watch_announcements"),
        ("listen and let the peer connect", "listen_and_connect"),
        ("exchange callsigns", "greetings"),
        ("become the answerer", "become_answerer"),
        ("select Step mode", "select_step_mode"),
        ("press ready", "say_ready"),
        ("receive the question", "receive_question"),
        ("press start", "start_lesson"),
        ("answer the character by its button", "answer"),
        ("end of the lesson on the wire", "end_of_lesson"),
        ("result window opens and closes", "result_window"),
        ("score list", "score_list"),
        ("none said over a character or another", "none_cut_another"),
        ("main button reads next question", "next_question"),
        ("end the program with SIGTERM", "termination"),
    ]


if __name__ == "__main__":
    sys.exit(main(__file__, __doc__.splitlines()[0], Lesson, log, TOTAL_TIMEOUT,
                  "/tmp/quillstart-lesson.png"))
