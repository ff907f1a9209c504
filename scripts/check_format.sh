#!/usr/bin/env bash
# Checks that the C and C++ lines a commit range changed are laid out as .clang-format says,
# and prints what clang-format would make of them. Only changed lines are looked at: code
# written before the style file existed is left as it is.
#
#   scripts/check_format.sh [BASE]   the lines changed from BASE's merge-base with HEAD to
#                                    HEAD; without BASE (or when BASE is not in this clone),
#                                    those of the last commit
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:-}
if [ -n "$base" ] && git rev-parse --verify --quiet "$base^{commit}" >/dev/null; then
  base=$(git merge-base "$base" HEAD)
elif git rev-parse --verify --quiet 'HEAD~1^{commit}' >/dev/null; then
  [ -n "$base" ] && echo "check_format: $base is not in this clone; checking the last commit" >&2
  base=HEAD~1
else
  echo "check_format: a single commit, nothing to compare it with; not checked" >&2
  exit 0
fi
echo "check_format: lines changed in $(git rev-parse --short "$base")..$(git rev-parse --short HEAD)" >&2
# git clang-format-14 exits 0 whatever it finds; a diff in its output is the failure.
changes=$(git clang-format-14 --diff --extensions c,cc,cpp,h,hpp "$base" HEAD)
echo "$changes"
if grep -q '^diff --git' <<< "$changes"; then
  echo "check_format: the lines above are not laid out as .clang-format says" >&2
  exit 1
fi
