#!/usr/bin/env bash
# Observation plans in parallel: the 43 experiments of an "O5" plan of Mars
# over AlBattani, 200 years with a table step of STEP days (default 1), run
# one after another in one process (--jobs 1) against N worker processes
# (default 2). The runs go in the order serial, parallel, parallel, serial, so
# that a change of the machine's load during the bench weighs on both alike;
# the ratio is that of the summed wall times. The plan files and the printed
# criteria and coefficients must be the same.
#
#   bench/obs_plan_bench.sh [PATH/TO/torvik6-cli] [N] [STEP]
set -euo pipefail
cli=${1:-build/torvik6-cli}
jobs=${2:-2}
step=${3:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() {  # run NAME JOBS -> wall seconds
  local t0 t1
  rm -rf "${work:?}/$1"
  t0=$(date +%s.%N)
  "$cli" observe-plan run --folder "$work/$1" --table AlBattani --planet 4 --plan O5 --years 200 --step "$step" \
    --jobs "$2" --save --quiet | grep -v '^file' >"$work/$1.out"
  t1=$(date +%s.%N)
  awk "BEGIN{printf \"%.2f\", $t1 - $t0}"
}

s1=$(run serial 1)
p1=$(run parallel "$jobs")
same=$(cmp -s "$work/serial/Tab/Plan/AlBattani4_1.dat" "$work/parallel/Tab/Plan/AlBattani4_1.dat" &&
  cmp -s "$work/serial.out" "$work/parallel.out" && echo equal || echo DIFFERENT)
p2=$(run parallel "$jobs")
s2=$(run serial 1)
echo "43 experiments of O5, Mars over AlBattani, 200 years, step $step d, $(nproc) cores:"
echo "  --jobs 1: $s1 s, $s2 s; --jobs $jobs: $p1 s, $p2 s; plan files and results $same"
echo "  ratio $(awk "BEGIN{printf \"%.3f\", ($p1 + $p2) / ($s1 + $s2)}"); load average now $(cut -d' ' -f1-3 /proc/loadavg)"
