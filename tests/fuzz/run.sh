#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, ASan, UBSan) and runs one.
# Usage: tests/fuzz/run.sh [SECONDS] [parser|project]   (default 60 parser)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-60}
target=${2:-parser}
CXX=${CXX_FUZZ:-$(command -v clang++ || command -v clang++-14 || true)}
if [ -z "$CXX" ]; then
  echo "clang++ is needed for the fuzzer (apt-get install clang)"; exit 2
fi
out=${FUZZ_BUILD_DIR:-/tmp/motilab-fuzz}
mkdir -p "$out/corpus" "$out/corpus-project"
cp "$root"/tests/data/*.mlb "$out/corpus-project/"
# Seeds: formulas of the language.
for f in '0,5*m*v^2' '(x[i+1]-x[i-1])/(t[i+1]-t[i-1])' 'ARCTAN(1;0)' '-3^2' 'SIN((pi))' \
         'x[i' '1,5E-3*2' 'SQRT(ABS(-9))'; do
  printf '\x00%s' "$f" > "$out/corpus/$(printf '%s' "$f" | md5sum | cut -c1-12)"
done
"$CXX" -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
  -I"$root" $(pkg-config --cflags Qt6Core) \
  "$here/fuzz_parser.cpp" "$root/kinematics/UnitParser.cpp" \
  "$root/common/UnitNumberFormat.cpp" "$root/common/UnitText.cpp" \
  $(pkg-config --libs Qt6Core) -o "$out/fuzz_parser"
srcs=()
for f in common/UnitNumberFormat.cpp common/UnitText.cpp common/UnitIniFile.cpp common/UnitPalette.cpp \
         common/UnitMessageBox.cpp measurement/UnitHistorique.cpp measurement/UnitRepere.cpp \
         measurement/UnitMarques.cpp measurement/UnitData.cpp measurement/UnitMlb.cpp; do
  srcs+=("$root/$f")
done
"$CXX" -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
  -I"$root" $(pkg-config --cflags Qt6Core) \
  "$here/fuzz_project.cpp" "${srcs[@]}" $(pkg-config --libs Qt6Core) -o "$out/fuzz_project"
if [ "$target" = project ]; then
  "$out/fuzz_project" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 "$out/corpus-project"
else
  "$out/fuzz_parser" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 "$out/corpus"
fi
