#!/usr/bin/env bash
# Proves scripts/plan-slurm.sh against a real Slurm on this one machine (root,
# Debian 12, no systemd needed): installs munge and Slurm from Debian when
# missing, starts munged and a single-node slurmctld/slurmd with a private
# configuration, runs a short 24-experiment plan as a job array, checks that
# its orbit files equal those of `torvik6-cli plan run --jobs 1`, and stops
# every daemon it started. Not part of the normal tests (it starts daemons).
#
#   sudo scripts/test-cluster.sh [PATH/TO/torvik6-cli]   (default build/torvik6-cli)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build/torvik6-cli}
[ -x "$cli" ] || { echo "test-cluster.sh: build torvik6-cli first ($cli)" >&2; exit 2; }
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
[ "$(id -u)" -eq 0 ] || { echo "test-cluster.sh: run as root (apt, munged, slurmd)" >&2; exit 2; }

say() { printf 'test-cluster.sh: %s\n' "$*"; }

# --- packages ---------------------------------------------------------------
need=()
for p in munge slurmctld slurmd slurm-client; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  say "installing ${need[*]}"
  # The packages' init scripts must not start daemons: this script starts its own.
  rcd=""
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' >/usr/sbin/policy-rc.d && chmod +x /usr/sbin/policy-rc.d && rcd=yes
  fi
  apt-get -o DPkg::Lock::Timeout=300 update -q
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends "${need[@]}"
  [ -z "$rcd" ] || rm -f /usr/sbin/policy-rc.d
fi

# --- a private single-node cluster -------------------------------------------
work=$(mktemp -d /tmp/torvik6-cluster.XXXXXX)
chmod 755 "$work"
export SLURM_CONF=$work/slurm.conf
node=$(hostname -s)
started_munge="" ctld="" slurmd_pid=""

alive() {  # a process that exists and is not a zombie
  [ -n "$1" ] && [ -r "/proc/$1/stat" ] && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]
}
stop() {
  local pid
  set +e
  if [ -n "$ctld" ] && alive "$ctld"; then
    squeue -h -o %i 2>/dev/null | xargs -r scancel 2>/dev/null
  fi
  for pid in $slurmd_pid $ctld $started_munge; do
    alive "$pid" && kill -TERM "$pid"
  done
  for _ in $(seq 50); do
    pid=""
    for p in $slurmd_pid $ctld $started_munge; do alive "$p" && pid=$p; done
    [ -z "$pid" ] && break
    sleep 0.2
  done
  say "daemons stopped"
  if [ -z "${KEEP:-}" ]; then rm -rf "$work"; else say "kept $work"; fi
}
trap stop EXIT

cat >"$SLURM_CONF" <<CONF
ClusterName=torvik6
SlurmctldHost=$node(127.0.0.1)
SlurmUser=root
AuthType=auth/munge
CredType=cred/munge
StateSaveLocation=$work/ctld
SlurmdSpoolDir=$work/slurmd
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
SchedulerType=sched/backfill
SchedulerParameters=batch_sched_delay=0,sched_min_interval=0
MinJobAge=4
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
NodeName=$node NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=torvik Nodes=ALL Default=YES MaxTime=INFINITE State=UP
CONF
mkdir -p "$work/ctld" "$work/slurmd"

# munged: reuse a running one, else start it (without systemd /run/munge is missing).
if munge -n 2>/dev/null | unmunge >/dev/null 2>&1; then
  say "munged already running"
else
  install -d -o munge -g munge -m 755 /run/munge
  runuser -u munge -- munged --force
  for _ in $(seq 50); do [ -s /run/munge/munged.pid ] && break; sleep 0.1; done
  started_munge=$(cat /run/munge/munged.pid)
  munge -n | unmunge >/dev/null
  say "munged started ($started_munge)"
fi

slurmctld -D >"$work/slurmctld.out" 2>&1 &
ctld=$!
slurmd -D -N "$node" >"$work/slurmd.out" 2>&1 &
slurmd_pid=$!
for _ in $(seq 100); do
  state=$(sinfo -h -o %t 2>/dev/null || true)
  [ "$state" = idle ] && break
  sleep 0.2
done
[ "$state" = idle ] || { say "the node did not come up (state '$state'); logs in $work"; KEEP=1; exit 1; }
say "slurmctld ($ctld) and slurmd ($slurmd_pid) up, node $node idle"

# --- the plan on the cluster and on one process --------------------------------
date=10.12.2026
t0=$(date +%s.%N)
"$here/plan-slurm.sh" --cli "$cli" --folder "$work/cluster" --plan 1 --planet 1 --to-year 1602 --run-date "$date"
t1=$(date +%s.%N)
"$cli" plan run --folder "$work/serial" --plan 1 --planet 1 --to-year 1602 --run-date "$date" --jobs 1 >/dev/null 2>&1
t2=$(date +%s.%N)

n=$(ls "$work/cluster/Plan1/Txt1" | wc -l)
if [ "$n" -eq 24 ] && diff -r "$work/serial/Plan1/Txt1" "$work/cluster/Plan1/Txt1"; then
  say "PASS: 24 orbit files from Slurm equal those of --jobs 1" \
    "(Slurm $(awk "BEGIN{printf \"%.1f\", $t1 - $t0}") s, one process $(awk "BEGIN{printf \"%.1f\", $t2 - $t1}") s)"
else
  say "FAIL: $n orbit files from Slurm, or they differ from --jobs 1"
  exit 1
fi
