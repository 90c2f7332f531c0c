#!/usr/bin/env bash
# Fails when a C++ file of the project is not as clang-format (.clang-format) would write it.
# Prints the places it would change.
set -euo pipefail
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
cd "$root"
mapfile -t files < <(find src tests bench -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run -Werror "${files[@]}"
echo "format check: ${#files[@]} files as clang-format writes them"
