#!/usr/bin/env bash
# Runs the experiments of a four-factor plan on a Slurm cluster as a job array,
# one experiment per task, and waits for them:
#
#   scripts/plan-slurm.sh --plan K --planet P [--from I --to J] [--to-year Y]
#                         [--folder DIR] [--params N] [--run-date D] [--cli PATH]
#                         [-- SBATCH-OPTIONS...]
#
# Each task runs `torvik6-cli plan run --plan K --planet P --experiment J`, which
# writes \PlanK\TxtP\TorvikPRasBJ.txt under the program folder. The program
# folder and torvik6-cli must lie on a file system that every node shares.
# Options after "--" go to sbatch (e.g. --partition, --time, --mem).
# Task logs: DIR/PlanK/slurm-JOB_TASK.out. Exit status 0 when every experiment
# wrote its orbit file, 1 otherwise, 2 on bad arguments.
set -euo pipefail

usage() { sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
plan="" planet=1 from=1 to=24 toYear=2001 folder="$HOME/Torvik6" params="" runDate=""
cli="$here/../build/torvik6-cli"
[ -x "$cli" ] || cli=$(command -v torvik6-cli || true)
extra=()
while [ $# -gt 0 ]; do
  case $1 in
    --plan) plan=$2; shift 2 ;;
    --planet) planet=$2; shift 2 ;;
    --from) from=$2; shift 2 ;;
    --to) to=$2; shift 2 ;;
    --to-year) toYear=$2; shift 2 ;;
    --folder) folder=$2; shift 2 ;;
    --params) params=$2; shift 2 ;;
    --run-date) runDate=$2; shift 2 ;;
    --cli) cli=$2; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    -h|--help) usage ;;
    *) echo "plan-slurm.sh: unknown option $1" >&2; usage ;;
  esac
done
number() { [[ $2 =~ ^-?[0-9]+$ ]] || { echo "plan-slurm.sh: $1 wants a whole number, not '$2'" >&2; exit 2; }; }
[ -n "$plan" ] || { echo "plan-slurm.sh: --plan K is required" >&2; exit 2; }
number --plan "$plan"; number --planet "$planet"; number --from "$from"; number --to "$to"; number --to-year "$toYear"
[ -z "$params" ] || number --params "$params"
{ [ "$from" -ge 1 ] && [ "$to" -le 24 ] && [ "$from" -le "$to" ]; } ||
  { echo "plan-slurm.sh: experiments must satisfy 1 <= --from <= --to <= 24" >&2; exit 2; }
[ -n "$cli" ] && [ -x "$cli" ] || { echo "plan-slurm.sh: torvik6-cli not found (--cli PATH)" >&2; exit 2; }
command -v sbatch >/dev/null || { echo "plan-slurm.sh: sbatch not found" >&2; exit 2; }

cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
# One run date for every file of the plan, whenever its task runs.
[ -n "$runDate" ] || runDate=$(date +%d.%m.%Y)
mkdir -p "$folder/Plan$plan/Txt$planet"

task=$(printf '%q ' "$cli" plan run --folder "$folder" --plan "$plan" --planet "$planet" \
  --to-year "$toYear" --run-date "$runDate" ${params:+--params "$params"})
task="exec $task --experiment \$SLURM_ARRAY_TASK_ID"

echo "plan-slurm.sh: plan $plan, planet $planet, experiments $from..$to, folder $folder"
set +e
job=$(sbatch --wait --parsable --array="$from-$to" --job-name="torvik-plan$plan" --ntasks=1 --cpus-per-task=1 \
  --output="$folder/Plan$plan/slurm-%A_%a.out" ${extra[@]+"${extra[@]}"} --wrap="$task")
rc=$?
job=${job%%;*}
echo "plan-slurm.sh: job $job ended"
set -e

# Which experiments left their orbit file (a task's log ends with its message).
failed=0
for ((j = from; j <= to; j++)); do
  f="$folder/Plan$plan/Txt$planet/Torvik${planet}RasB$j.txt"
  log="$folder/Plan$plan/slurm-${job}_$j.out"
  if [ -s "$f" ] && [ -f "$log" ] && grep -q '^run .*: end year reached' "$log"; then continue; fi
  failed=$((failed + 1))
  echo "experiment $j failed: $(tail -1 "$log" 2>/dev/null || echo 'no log')"
done
echo "plan-slurm.sh: $((to - from + 1 - failed)) done, $failed failed (sbatch status $rc)"
[ "$failed" -eq 0 ] && [ "$rc" -eq 0 ]
