#!/usr/bin/env bash
# Takes the pictures of the README and the manual from the real program: the main window during
# a Step lesson and the result window after it, under a private virtual display, driven through
# the accessibility interface against a raw peer (tests/desktop/lesson_check.py).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quillstart -j"$(nproc)"
images=resources/manual/images
mkdir -p "$images"
/usr/bin/python3 tests/desktop/lesson_check.py build/src/quillstart \
    --lesson-screenshot "$images/main-window.png" \
    --result-screenshot "$images/result-window.png"
echo "take-screenshots: $images/main-window.png, $images/result-window.png"
