#!/usr/bin/env bash
# Parallel plan runs: a 24-experiment plan of 50-year runs of Mercury (each
# with the finite speed of gravity on, Vgr = X4·Vsv) with one worker process
# against N (default 2). The runs go in the order serial, parallel, parallel,
# serial, so that a change of the machine's load during the bench weighs on
# both alike; the ratio is that of the summed wall times.
#
#   bench/plan_bench.sh [PATH/TO/torvik6-cli] [N] [END-YEAR]
set -euo pipefail
cli=${1:-build/torvik6-cli}
jobs=${2:-2}
toYear=${3:-1650}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() {  # run NAME JOBS -> wall seconds
  local t0 t1
  rm -rf "${work:?}/$1"
  t0=$(date +%s.%N)
  "$cli" plan run --folder "$work/$1" --plan 1 --planet 1 --to-year "$toYear" --jobs "$2" \
    --run-date 10.12.2026 >"$work/$1.out" 2>/dev/null
  t1=$(date +%s.%N)
  awk "BEGIN{printf \"%.2f\", $t1 - $t0}"
}

s1=$(run serial 1)
p1=$(run parallel "$jobs")
same=$(diff -rq "$work/serial/Plan1" "$work/parallel/Plan1" >/dev/null && echo equal || echo DIFFERENT)
p2=$(run parallel "$jobs")
s2=$(run serial 1)
echo "24 experiments to $toYear, finite gravity speed, $(nproc) cores:"
echo "  --jobs 1: $s1 s, $s2 s; --jobs $jobs: $p1 s, $p2 s; orbit files $same"
echo "  ratio $(awk "BEGIN{printf \"%.3f\", ($p1 + $p2) / ($s1 + $s2)}"); load average now $(cut -d' ' -f1-3 /proc/loadavg)"
