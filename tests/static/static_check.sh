#!/usr/bin/env bash
# Static checks over the program's own sources, run by ctest:
#   static_check.sh tidy BUILD_DIR   clang-tidy with the project's .clang-tidy
#   static_check.sh cppcheck         cppcheck for 32-bit Windows (ANSI)
#   static_check.sh format           clang-format with the project's .clang-format
set -euo pipefail
cd "$(dirname "$0")/../.."
export LC_ALL=C
mode=$1

program_sources=$(git ls-files 'app/*.cpp' 'dialog/*.cpp' 'permissions/*.cpp' 2>/dev/null ||
                  find app dialog permissions -name '*.cpp')

case "$mode" in
tidy)
  build=$2
  # clang reads the mingw build's commands with its own MinGW target; the
  # source and execution character sets are gcc's options, which clang does
  # not take (the texts' code page does not matter to these checks).
  db="$build/clang-tidy"
  mkdir -p "$db"
  sed -e 's/-fexec-charset=CP932//g' -e 's/-finput-charset=UTF-8//g' \
    "$build/compile_commands.json" >"$db/compile_commands.json"
  clang-tidy --quiet -p "$db" --extra-arg=--target=i686-w64-mingw32 $program_sources 2>&1 |
    grep -v -E '^[0-9]+ warnings? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' || true
  # grep above only tidies the output; run again for the verdict.
  clang-tidy --quiet -p "$db" --extra-arg=--target=i686-w64-mingw32 $program_sources >/dev/null 2>&1
  ;;
cppcheck)
  cppcheck --quiet --error-exitcode=1 --platform=win32A --std=c++17 --language=c++ \
    --enable=warning,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem -I . $program_sources
  ;;
format)
  files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find app dialog permissions tests bench -name '*.cpp' -o -name '*.h')
  clang-format --dry-run --Werror $files
  ;;
*)
  echo "usage: $0 tidy BUILD_DIR | cppcheck | format" >&2
  exit 2
  ;;
esac
