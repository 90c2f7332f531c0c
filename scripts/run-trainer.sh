#!/usr/bin/env bash
# Installs what is missing, builds the trainer and opens it. The trainer keeps its settings
# (saveset.dat) in the current directory, so it starts in the directory this was run from.
set -euo pipefail

start_dir=$PWD
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$repo/scripts/install-deps.sh"
cd "$repo"
cmake --preset default
cmake --build build -j"$(nproc)"

cd "$start_dir"
exec "$repo/build/src/quillstart" "$@"
