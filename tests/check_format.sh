#!/usr/bin/env bash
# Fails when a C++ file of src/ or tests/ is not laid out as .clang-format
# says: the tree is formatted once, and a change that drifts from it shows
# here rather than in the next person's diff.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=clang-format-14
command -v "$formatter" >/dev/null || { echo "FAILED: $formatter is not installed (setup.sh installs it)"; exit 1; }
find src tests \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 "$formatter" --dry-run --Werror
