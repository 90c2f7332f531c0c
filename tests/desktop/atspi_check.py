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
import sys
import time
import traceback

from desktop_session import (FAIL, PASS, PUSH_BUTTON, RADIO_BUTTON, TEXT_FIELD, DesktopSession,
                             is_checked, make_log, pump_events, run_outer, show_tail, walk)

TOTAL_TIMEOUT = 60
APP_APPEAR_TIMEOUT = 20
CONTROLS_TIMEOUT = 15

# Role groups by the names pyatspi gives them, besides the shared ones. Qt reports a menu on
# the menu bar as "menu item" or "menu".
SCROLL_BAR = ("scroll bar",)
MENU = ("menu", "menu item")
MENU_ENTRY = ("menu item", "check menu item", "radio menu item", "check box", "radio button")
# Entries that can be checked must say so whether checked or not.
CHECKABLE_ENTRY = ("check menu item", "radio menu item", "check box", "radio button")

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
    ("Wave音(&W)", CHECKABLE_ENTRY),
    ("Beep音(WinXP/2000用)(&B)", CHECKABLE_ENTRY),
    ("Wave音質設定(&Q)", MENU_ENTRY),
    ("バンドコンディション(&C)...", MENU_ENTRY),
    ("A～E(&A)", CHECKABLE_ENTRY),
    ("全アルファベット(&Z)", CHECKABLE_ENTRY),
    ("先生モード(&T)", CHECKABLE_ENTRY),
    ("学生モード(&N)", CHECKABLE_ENTRY),
    ("ReadMe.txtを開く(&T)", MENU_ENTRY),
    ("オンラインヘルプを見る(&O)", MENU_ENTRY),
    ("バージョン情報(&A)", MENU_ENTRY),
]

# The speed options: selecting one through AT-SPI must check it and uncheck the others.
SPEED_OPTIONS = ["毎分２５文字", "毎分４５文字", "毎分６０文字"]
PRESS_ACTIONS = ("toggle", "press", "click", "activate")

log = make_log("atspi_check")


def accepted_names(caption):
    """Names under which a caption may be exposed: without "&", and without a trailing "(X)"."""
    stripped = caption.replace("&", "")
    names = {stripped}
    if "(&" in caption and stripped.endswith(")"):
        names.add(stripped[: stripped.rfind("(")])
    return names


def match_controls(nodes):
    """Returns {caption: [nodes]} of nodes that carry each expected name with an accepted role."""
    matches = {}
    for caption, roles in EXPECTED:
        names = accepted_names(caption)
        matches[caption] = [n for n in nodes if n[1] in roles and n[2] in names]
    return matches


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


def run_inner(args):
    try:
        with DesktopSession("atspi") as session:
            run_dir = session.make_dir("cwd")
            program = session.start_program(args.program, run_dir)
            application = session.find_application(program.pid, APP_APPEAR_TIMEOUT)
            if application is None:
                state = "exited" if program.poll() is not None else "running"
                log(f"FAIL: the program ({state}) did not appear on the AT-SPI bus")
                show_tail(log, session.program_log)
                return FAIL
            log(f"found application '{application.get_name()}' (pid {program.pid})")

            nodes, frame, name_problems = check_window(application)
            action_problems = check_option_action(nodes)
            write_tree(args.tree, walk(application))
            log(f"accessible tree: {args.tree} ({len(nodes)} objects)")
            session.screenshot(log, args.screenshot, frame)

            problems = name_problems + action_problems
            if program.poll() is not None:
                problems.append(f"the program exited early with status {program.returncode}")
            for problem in problems:
                log(f"FAIL: {problem}")
            # One check per expected name, one for the option action.
            failed = len(name_problems) + (1 if action_problems else 0)
            if problems:
                show_tail(log, session.program_log)
            print(f"{len(EXPECTED) + 1 - failed} passed, {failed} failed", flush=True)
            return FAIL if problems else PASS
    except RuntimeError as error:
        log(f"FAIL: {error}")
        return FAIL
    except Exception:
        log("FAIL: the check itself broke:")
        traceback.print_exc()
        return FAIL


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--screenshot", default="/tmp/quillstart-window.png")
    parser.add_argument("--tree", default="/tmp/quillstart-a11y-tree.txt")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.inner:
        return run_inner(args)
    return run_outer(log, __file__, args.program,
                     ["--screenshot", args.screenshot, "--tree", args.tree], TOTAL_TIMEOUT)


if __name__ == "__main__":
    sys.exit(main())
