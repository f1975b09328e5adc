#!/usr/bin/env bash
# Static checks over the program's own sources, run by ctest:
#   static_check.sh tidy BUILD_DIR FILE...  clang-tidy with the project's .clang-tidy,
#                                           the compile commands of BUILD_DIR
#   static_check.sh cppcheck                cppcheck for 32-bit Windows (ANSI)
#   static_check.sh format                  clang-format with the project's .clang-format
set -euo pipefail
cd "$(dirname "$0")/../.."
export LC_ALL=C
mode=$1


case "$mode" in
tidy)
  build=$2
  shift 2
  # The source and execution character sets, the switch that keeps the
  # program's own memset and memcpy loops from becoming calls and the data
  # alignment that packs the exe are gcc's options, which clang does not take
  # (none matters to these checks); a mingw build's commands are read with
  # clang's own MinGW target.
  db="$build/clang-tidy"
  mkdir -p "$db"
  sed -e 's/-fexec-charset=CP932//g' -e 's/-finput-charset=UTF-8//g' \
    -e 's/-fno-tree-loop-distribute-patterns//g' -e 's/-malign-data=abi//g' \
    "$build/compile_commands.json" >"$db/compile_commands.json"
  target=()
  grep -q mingw32 "$db/compile_commands.json" && target=(--extra-arg=--target=i686-w64-mingw32)
  output=$(clang-tidy --quiet -p "$db" "${target[@]}" "$@" 2>&1) && status=0 || status=$?
  grep -v -E '^[0-9]+ warnings? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' <<<"$output" || true
  exit $status
  ;;
cppcheck)
  # The program's sources, and the tests' and benchmarks' own (with the
  # googletest library description, so that its macros read as code).
  cppcheck --quiet --error-exitcode=1 --library=windows --library=googletest --platform=win32A \
    --std=c++17 --language=c++ --enable=warning,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem -I . -I tests/wine -I tests/wine/driver \
    $(git ls-files 'app/*.cpp' 'dialog/*.cpp' 'permissions/*.cpp' 'tests/*.cpp' 'bench/*.cpp')
  ;;
format)
  clang-format --dry-run --Werror $(git ls-files '*.cpp' '*.h')
  ;;
*)
  echo "usage: $0 tidy BUILD_DIR FILE... | cppcheck | format" >&2
  exit 2
  ;;
esac
