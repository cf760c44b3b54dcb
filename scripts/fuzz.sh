#!/usr/bin/env bash
# Fuzzes every file reader: builds each libFuzzer target fuzz_NAME of
# fuzz/NAME_fuzz.cpp with clang under AddressSanitizer and UndefinedBehavior-
# Sanitizer (float-cast-overflow included) in build-fuzz/, then runs each for
# SECONDS (default 60) from its seeds in fuzz/corpus/NAME/.
#
#   scripts/fuzz.sh [SECONDS]     e.g. scripts/fuzz.sh 300
#
# New inputs are kept in build-fuzz/corpus/NAME/. A finding (crash, sanitizer
# report, hang of more than 10 s, leak) stops the script with a non-zero status
# and leaves the input in build-fuzz/findings/; turn it into a regression case
# of the ordinary tests. JOBS sets the build parallelism (default: all cores).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=${JOBS:-$(nproc)}

names=()
for src in fuzz/*_fuzz.cpp; do
  n=$(basename "$src" _fuzz.cpp)
  names+=("$n")
done
[ ${#names[@]} -gt 0 ] || { echo "fuzz.sh: no fuzz/*_fuzz.cpp" >&2; exit 1; }

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTORVIK6_FUZZ=ON -DTORVIK6_GUI=OFF -DTORVIK6_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target "${names[@]/#/fuzz_}"

mkdir -p build-fuzz/findings
status=0
for n in "${names[@]}"; do
  exe=$(find build-fuzz -type f -name "fuzz_$n" -perm -u+x | head -n 1)
  mkdir -p "build-fuzz/corpus/$n"
  seeds=()
  [ -d "fuzz/corpus/$n" ] && seeds=("fuzz/corpus/$n")
  echo "== fuzz_$n for ${seconds} s"
  if ! UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$exe" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$n-" \
      "build-fuzz/corpus/$n" "${seeds[@]}" 2>"build-fuzz/fuzz_$n.log"; then
    tail -n 60 "build-fuzz/fuzz_$n.log" >&2
    echo "fuzz.sh: fuzz_$n found a fault; input in build-fuzz/findings/" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE' "build-fuzz/fuzz_$n.log" | tail -n 2 || true
  fi
done
exit $status
