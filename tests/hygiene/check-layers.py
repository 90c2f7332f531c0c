#!/usr/bin/env python3
"""Fails when a source folder includes a folder above it.

The folders of src/ are layers, from the bottom up in LAYERS: the core's (no window) and then the
windows'. Each may include only itself and the folders below it, and no window links the partner.
Quoted includes are written from src/ ("core/link/LinkSocket.h"), so the folder of every include
shows in the line itself. Prints every backward or unqualified include with its
file and line, and exits 1 if there is any.
"""
import pathlib
import re
import sys

LAYERS = ["core/kit", "core/sound", "core/morse", "core/link", "core/lesson", "core/history",
          "core/partner", "ui/kit", "ui/morse", "ui/link", "ui/authoring", "ui/lesson", "ui/history",
          "ui/help", "ui/app"]
# Below the windows in the list, but a program of its own: no window includes it.
APART = {"core/partner"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def check(src: pathlib.Path) -> list[str]:
    problems = []
    rank = {name: index for index, name in enumerate(LAYERS)}
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = "/".join(path.relative_to(src).parts[:2])
        if folder not in rank:
            problems.append(f"{path}: folder '{folder}' is not one of the layers {LAYERS}")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = match.group(1)
            if target.endswith(".moc"):
                continue
            used = "/".join(target.split("/")[:2]) if target.count("/") >= 2 else None
            where = f"{path}:{number}"
            if used is None:
                problems.append(f'{where}: "{target}" is not written from src/ (side/folder/file.h)')
            elif used not in rank:
                problems.append(f'{where}: "{target}" names no layer of src/')
            elif rank[used] > rank[folder] or (used in APART and used != folder
                                               and folder.startswith("ui/")):
                problems.append(f'{where}: {folder}/ includes "{target}", but {used}/ is above '
                                f'{folder}/ (layers from the bottom: {" -> ".join(LAYERS)})')
    return problems


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    problems = check(src)
    for problem in problems:
        print(problem)
    if problems:
        print(f"layer check: {len(problems)} backward or unqualified include(s)")
        return 1
    print("layer check: no folder includes a folder above it")
    return 0


if __name__ == "__main__":
    sys.exit(main())
