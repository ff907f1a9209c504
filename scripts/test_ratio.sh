#!/usr/bin/env bash
# The size of the tests against the code they test: non-blank lines of tests/**/*.{c,cc,cpp,
# h,hpp} against those of every other C, C++ and HLSL file of the repository (tracked or new,
# not ignored). The project keeps it at about a quarter to a third, counting bench/ as code;
# the second figure leaves bench/ out, since benchmarks are not system code. With -v, per
# test folder.
set -euo pipefail
cd "$(dirname "$0")/.."
files() { git ls-files --cached --others --exclude-standard | while read -r f; do [ -f "$f" ] && echo "$f"; done; }
count() { xargs -r -d '\n' cat | { grep -c -v '^\s*$' || true; }; }
all=$(files)
tests=$(grep -E '^tests/.*\.(c|cc|cpp|h|hpp)$' <<< "$all" | count)
sources=$(grep -E '\.(c|cc|cpp|h|hpp|fx|hlsl)$' <<< "$all" | grep -v '^tests/')
code=$(count <<< "$sources")
bench=$({ grep '^bench/' || true; } <<< "$sources" | count)
if [ "${1:-}" = -v ]; then
  for folder in $(grep -E '^tests/[^/]+/.*\.(c|cc|cpp|h|hpp)$' <<< "$all" | cut -d/ -f2 | sort -u); do
    printf '  %-12s %6d\n' "$folder" "$(grep -E "^tests/$folder/.*\.(c|cc|cpp|h|hpp)$" <<< "$all" | count)"
  done
fi
awk -v t="$tests" -v c="$code" -v b="$bench" 'BEGIN {
  printf "tests %d lines, code %d lines: %.3f (without bench/, %d lines: %.3f)\n", t, c, t / c, c - b, t / (c - b) }'
