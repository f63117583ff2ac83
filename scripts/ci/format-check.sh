#!/usr/bin/env bash
# Checks that every C++ source is laid out as .clang-format says:
# format-check.sh SOURCE_DIR. The tree is laid out so that clang-format 14
# (Debian 12's) and 19 (Debian 13's) agree on it; other major versions break
# some lines differently, so with one of them the check is skipped (status
# 77) and says why.
set -euo pipefail
agreeing="14 19"
cd "$1"
tool=$(command -v clang-format || true)
if [[ -z $tool ]]; then
  echo "format check skipped: no clang-format (scripts/setup/install-deps.sh installs it)"
  exit 77
fi
version=$("$tool" --version | sed -n 's/.*clang-format version \([0-9]*\).*/\1/p')
if [[ " $agreeing " != *" $version "* ]]; then
  echo "format check skipped: the tree is laid out for clang-format ${agreeing// / and }, this is $version"
  exit 77
fi
mapfile -t sources < <(find bench fuzz io panel runtime tests tools -name '*.cpp' -o -name '*.h' | sort)
"$tool" --dry-run -Werror "${sources[@]}"
echo "format check: ${#sources[@]} files as .clang-format says (clang-format $version)"
