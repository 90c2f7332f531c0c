#!/usr/bin/env python3
"""Desktop check of the main window from the keyboard alone, heard through a screen reader.

Starts the program on a private virtual display (Xvfb) with a private session bus and the
AT-SPI bus, in a folder whose settings file gives it a callsign, the peer's address and a
speed; a raw peer (peer_check.py) plays the other PC over TCP on 127.0.0.1. Keys go to the
program through the X server as a keyboard's do; what it shows and says is read through AT-SPI:
every button's access key, listening by its access key and the status line announced, a chat
line announced, a received CW line stopped by its access key, the role line announced, then Tab
through the whole window in the working order (and Shift+Tab back) with every control named and
the fine adjustment read as the speed change its label shows, and the WAV settings and the
history windows opened from the menus by their keys.

    keyboard_check.py PROGRAM [--screenshot FILE]

Exit status: 0 passed, 1 failed (naming the step), 77 skipped (no Xvfb, D-Bus or pyatspi).
Every wait is a bounded poll; the whole run is cut off after TOTAL_TIMEOUT seconds.
"""

import sys

from desktop_session import (ALT, KEY_DOWN, KEY_ESCAPE, KEY_LEFT, KEY_RIGHT, KEY_TAB, KEY_UP,
                             LABEL, LIST, PUSH_BUTTON, RADIO_BUTTON, SHIFT, TEXT_FIELD,
                             Announcements, FocusWatch, click, current_description, current_name,
                             is_checked, is_enabled, key_binding, make_log, press_key,
                             wait_until, walk)
from peer_check import (LINK_PORT, PEER_CALLSIGN, REACTION_TIMEOUT, PeerCheck, StepFailed,
                        main, port_taken, require)

TOTAL_TIMEOUT = 110
SPEED_CODE = "3"

CHECK_BOX, SCROLL_BAR, COMBO_BOX = ("check box",), ("scroll bar",), ("combo box",)
ANSWER_KEYS = [chr(code) for code in range(ord("A"), ord("Z") + 1)] + list("1234567890")

LISTENING = "相手からの接続待ちです。"
CHAT_LINE = "こんにちは"
CW_STOPPED = "受信CWを止めました。"
# Long enough to be sounding still when the stop is pressed, however slow the machine.
CW_LINE = " ".join(["PARIS"] * 12)
WAVE_TITLE, HISTORY_TITLE = "Wave音質設定", "成績履歴"

log = make_log("keyboard_check")

# The main window's controls in the order Tab visits them, as (name, roles): the link, the role,
# mode, speed, the fine adjustment and tone, the settings, the lesson's buttons (by their first
# captions), the score, the answer and the copy's comparison (the copy box itself waits for
# Normal mode), the chat and the peer, the 36 answer buttons last. A list
# is a group of options, one stop for Tab.
WORKING_ORDER = [
    ("コールサイン", TEXT_FIELD), ("接続先IP", TEXT_FIELD),
    ("接続先IPからの接続だけ受け付ける(Y)", CHECK_BOX),
    ("待受", PUSH_BUTTON), ("接続", PUSH_BUTTON), ("切断", PUSH_BUTTON),
    [("出題者になる", RADIO_BUTTON), ("解答者になる", RADIO_BUTTON)],
    [("ステップ受信モード", RADIO_BUTTON), ("ノーマル受信モード", RADIO_BUTTON),
     ("チャットモード", RADIO_BUTTON)],
    [("毎分２５文字", RADIO_BUTTON), ("毎分４５文字", RADIO_BUTTON), ("毎分６０文字", RADIO_BUTTON),
     ("自由な速度", RADIO_BUTTON)],
    ("自由な速度の設定", PUSH_BUTTON), ("微調整", SCROLL_BAR), ("トーン周波数", TEXT_FIELD), ("テスト", PUSH_BUTTON),
    ("設定保存", PUSH_BUTTON), ("スタート", PUSH_BUTTON), ("ストップ", PUSH_BUTTON),
    ("解答パス", PUSH_BUTTON), ("成績表", LIST), ("正解欄", TEXT_FIELD),
    ("受信メモと問題の比較", TEXT_FIELD),
    [("文字", RADIO_BUTTON), ("CW", RADIO_BUTTON)],
    ("チャット・ログ", TEXT_FIELD), ("送信メッセージ", TEXT_FIELD), ("送信", PUSH_BUTTON),
    ("受信CW停止(Q)", PUSH_BUTTON), ("コピー", PUSH_BUTTON), ("WebでIPチェック", PUSH_BUTTON),
] + [(key, PUSH_BUTTON) for key in ANSWER_KEYS]
STOPS = [stop if isinstance(stop, list) else [stop] for stop in WORKING_ORDER]
# Every button but the answer buttons has an access key; typed keys answer anyway.
KEYED = [name for stop in STOPS for name, roles in stop
         if roles == PUSH_BUTTON and name not in ANSWER_KEYS]


class Keyboard(PeerCheck):
    """The steps of working the main window by the keyboard; each raises StepFailed."""

    NAME = "keyboard"
    # Each control under its name; the shared steps know the chat log as "chat".
    CONTROLS = [(name, name, roles) for stop in STOPS for name, roles in stop] + [
        ("status", "接続状態", LABEL), ("chat", "チャット・ログ", TEXT_FIELD)]

    def __init__(self, *arguments):
        super().__init__(*arguments)
        self.focus = None
        self.announcements = None
        self.keyed = set()
        self.expected = []

    # -- helpers ------------------------------------------------------------------------------

    def heard(self, wanted, why, since=0):
        """Waits for an announcement that wanted accepts, among those from the since'th on."""
        self.wait(lambda: any(wanted(text) for text in self.announcements.all_heard()[since:]),
                  REACTION_TIMEOUT,
                  lambda: f"no announcement {why} within {REACTION_TIMEOUT} s (heard "
                          f"{self.announcements.all_heard()[since:]})")

    def check_access_keys(self):
        """Every enabled push button of the main window but the answer buttons exposes an
        access key, Alt+letter, as its key binding."""
        for node, role, name, _ in walk(self.frame):
            if role in PUSH_BUTTON and name not in ANSWER_KEYS and is_enabled(node):
                binding = key_binding(node)
                require(binding.startswith("Alt+") and len(binding) == len("Alt+L"),
                        f"the button '{name}' exposes {binding!r} as its key binding, not an "
                        "access key Alt+letter")
        self.keyed |= {name for name in KEYED if is_enabled(self.controls[name])}

    def expected_stops(self):
        """The stops Tab should make now, each a list of the (role, name) that may take the
        focus there: the enabled controls, and of a group whichever option had the focus last
        (Qt's way; the arrow keys move within the group)."""
        stops = []
        for stop in STOPS:
            enabled = [self.controls[name] for name, _ in stop if is_enabled(self.controls[name])]
            choices = [(node.get_role_name(), current_name(node)) for node in enabled]
            stops += ([choices] if choices else []) if len(stop) > 1 else [[c] for c in choices]
        return stops

    def follow(self, modifiers, where):
        focus = self.focus.press(KEY_TAB, REACTION_TIMEOUT, modifiers)
        keys = ("Shift+" if modifiers & SHIFT else "") + "Tab"
        if focus is None:
            raise StepFailed(f"{keys} did not move the focus from {where} within "
                             f"{REACTION_TIMEOUT} s{self.program_state()}")
        require(focus[1], f"the control that {keys} took the focus to from {where} has no "
                          f"name (role {focus[0]})")
        return focus

    def walk_focus(self, stops, modifiers):
        """Presses Tab (or Shift+Tab) from the first stop to the last; each must take the
        focus in turn."""
        for index in range(1, len(stops)):
            where = " or ".join(f"'{name}'" for _, name in stops[index - 1])
            focus = self.follow(modifiers, where)
            require(focus in stops[index],
                    f"from {where} the focus went to [{focus[0]}] '{focus[1]}', not to "
                    f"{' or '.join(f'[{role}] {name!r}' for role, name in stops[index])} "
                    f"(the order expected: {[[n for _, n in stop] for stop in stops]})")
            if focus[1] == "微調整" and not modifiers:
                self.adjust_fine()

    def fine_reading(self):
        bar = self.controls["微調整"]
        bar.clear_cache()
        return int(bar.queryValue().currentValue), current_description(bar)

    def adjust_fine(self):
        """The arrow keys move the fine adjustment; it reads as the speed change its label
        shows ("微調整 - 5%" as -5), Left slower, Right faster."""
        for key, change in ((KEY_LEFT, -5), (KEY_RIGHT, 0), (KEY_RIGHT, 5), (KEY_LEFT, 0)):
            press = "Left" if key == KEY_LEFT else "Right"
            label = f"微調整 {'+' if change > 0 else '-'}{abs(change):2d}%" if change else "微調整 ±0%"
            press_key(key)
            self.wait(lambda: self.fine_reading() == (change, label), REACTION_TIMEOUT,
                      lambda: f"after {press} the fine adjustment reads {self.fine_reading()}, "
                              f"not {(change, label)}")
        self.log("the fine adjustment reads as its label on Left and Right")

    def open_by_menu_keys(self, menu, entry, title):
        press_key(menu, ALT)
        press_key(entry)
        return self.wait_for_window(title)

    # -- the steps ----------------------------------------------------------------------------

    def take_keyboard(self):
        self.focus = FocusWatch()
        self.announcements = Announcements()
        click(self.controls["コールサイン"])
        require(self.focus.wait_for(self.controls["コールサイン"], REACTION_TIMEOUT),
                "a click on 'コールサイン' did not give it the focus")

    def listen_by_key(self):
        require(not port_taken(LINK_PORT),
                f"port {LINK_PORT} is taken: another copy of the program is listening")
        press_key("l", ALT)
        status = self.controls["status"]
        self.wait(lambda: current_description(status) == LISTENING, REACTION_TIMEOUT,
                  lambda: f"Alt+L did not start listening within {REACTION_TIMEOUT} s (the "
                          f"status line shows '{current_description(status)}')")
        self.heard(lambda text: text == LISTENING, f"'{LISTENING}' of the status line")
        self.peer.connect(LINK_PORT, REACTION_TIMEOUT)

    def chat_line_heard(self):
        self.peer.send("1" + CHAT_LINE)
        self.heard(lambda text: text == f"{PEER_CALLSIGN} > {CHAT_LINE}",
                   f"of the peer's chat line '{CHAT_LINE}'")

    def stop_cw_by_key(self):
        for message in ("31", "4" + SPEED_CODE, "9" + CW_LINE):
            self.peer.send(message)
        self.peer.expect("83")
        stop = self.controls["受信CW停止(Q)"]
        self.wait(lambda: is_enabled(stop), REACTION_TIMEOUT,
                  f"'受信CW停止' did not become enabled within {REACTION_TIMEOUT} s of a CW line")
        self.check_access_keys()
        press_key("q", ALT)
        self.heard(lambda text: text == CW_STOPPED, f"'{CW_STOPPED}'")
        self.peer.expect("84")
        self.wait(lambda: not is_enabled(stop), REACTION_TIMEOUT,
                  "'受信CW停止' stayed enabled after the line stopped")

    def become_answerer(self):
        self.peer.send("30")
        before = len(self.announcements.all_heard())
        self.peer.send("2S")
        self.peer.expect("2T")
        self.heard(lambda text: text.startswith("解答者"), "of the answerer's role line", before)
        option = self.controls["ステップ受信モード"]
        self.wait(lambda: is_enabled(option), REACTION_TIMEOUT,
                  f"the Step-mode option did not become enabled within {REACTION_TIMEOUT} s")
        # No receive mode is chosen yet: the arrow keys choose one, as in any option group.
        option.queryComponent().grabFocus()
        require(self.focus.wait_for(option, REACTION_TIMEOUT),
                "the Step-mode option did not take the focus")
        normal = self.controls["ノーマル受信モード"]
        press_key(KEY_DOWN)
        self.wait(lambda: is_checked(normal), REACTION_TIMEOUT,
                  "Down on the Step-mode option did not choose Normal mode")
        press_key(KEY_UP)
        self.wait(lambda: is_checked(option), REACTION_TIMEOUT,
                  "Up on the Normal-mode option did not choose Step mode again")
        self.peer.expect("32")

    def access_keys_linked(self):
        self.check_access_keys()
        unseen = [name for name in KEYED if name not in self.keyed]
        require(not unseen, f"buttons never seen enabled to read their access key: {unseen}")

    def tab_forward(self):
        self.expected = self.expected_stops()
        click(self.controls["コールサイン"])
        require(self.focus.wait_for(self.controls["コールサイン"], REACTION_TIMEOUT),
                "a click on 'コールサイン' did not give it the focus")
        self.walk_focus(self.expected, 0)

    def tab_backward(self):
        self.walk_focus(list(reversed(self.expected)), SHIFT)

    def ready_by_key(self):
        press_key("g", ALT)
        self.peer.expect("71")

    def wave_dialog(self):
        dialog = self.open_by_menu_keys("s", "q", WAVE_TITLE)
        bars = sorted(name for _, role, name, _ in walk(dialog) if role in SCROLL_BAR and name)
        require(bars == ["音質", "音量"], f"the window '{WAVE_TITLE}' has the bars {bars}")
        visited = [self.follow(0, f"the window '{WAVE_TITLE}'")[1] for _ in range(6)]
        require(set(bars) <= set(visited), f"Tab did not give the focus to both bars of "
                                           f"'{WAVE_TITLE}' (it went to {visited})")
        press_key(KEY_ESCAPE)
        self.wait_for_no_window(WAVE_TITLE, REACTION_TIMEOUT, " on Escape")

    def history_window(self):
        window = self.open_by_menu_keys("k", "g", HISTORY_TITLE)
        combos = wait_until(lambda: sorted(current_name(node) for node, role, _, _ in walk(window)
                                           if role in COMBO_BOX), REACTION_TIMEOUT)
        require(combos == ["期間", "条件", "速度"],
                f"the combo boxes of '{HISTORY_TITLE}' are named {combos}, not 期間, 条件 and 速度")
        press_key(KEY_ESCAPE)
        self.wait_for_no_window(HISTORY_TITLE, REACTION_TIMEOUT, " on Escape")

    def close(self):
        for watch in (self.focus, self.announcements):
            if watch is not None:
                watch.stop()
        super().close()

    STEPS = [
        ("start the program", "start_program"),
        ("find the main window's controls", "find_window"),
        ("a click gives 'コールサイン' the keyboard", "take_keyboard"),
        ("every enabled button has an access key", "check_access_keys"),
        ("Alt+L listens; the status line is announced", "listen_by_key"),
        ("exchange callsigns", "greetings"),
        ("the peer's chat line is announced", "chat_line_heard"),
        ("a received CW line stops by Alt+Q, announced", "stop_cw_by_key"),
        ("become the answerer, its role line announced; Step mode by the arrow keys",
         "become_answerer"),
        ("the lesson's buttons have access keys", "access_keys_linked"),
        ("Tab visits the window in the working order", "tab_forward"),
        ("Shift+Tab goes back the same way", "tab_backward"),
        ("Alt+G says ready", "ready_by_key"),
        ("Alt+S, Q opens the WAV settings; Tab reaches both bars", "wave_dialog"),
        ("Alt+K, G opens the history; its filters are named", "history_window"),
        ("end the program with SIGTERM", "termination"),
    ]


if __name__ == "__main__":
    sys.exit(main(__file__, __doc__.splitlines()[0], Keyboard, log, TOTAL_TIMEOUT,
                  "/tmp/quillstart-keyboard.png"))
