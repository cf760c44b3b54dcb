#!/usr/bin/env bash
# Runs CI the way a newcomer meets the project: a clean Debian 12 (bookworm,
# minbase) chroot, a fresh clone of the committed HEAD, shared/ beside it when
# the checkout has one, and `bash .ci/run` inside with CI=true and no standard
# input. Nothing of this machine's installed packages reaches the chroot.
#
# Usage (as root): scripts/check-fresh.sh [--keep] [ROOT]
#   ROOT    the chroot folder (default: a new folder under /var/tmp)
#   --keep  leave the chroot in place afterwards (it is removed otherwise)
# Environment: TORVIK6_MIRROR (default http://deb.debian.org/debian),
#              TORVIK6_CI_FUZZ_SECONDS (passed on to .ci/run).
# Not part of the normal test command: it takes a quarter of an hour or more.
set -euo pipefail

keep=0
if [ "${1:-}" = "--keep" ]; then keep=1; shift; fi
if [ "$(id -u)" -ne 0 ]; then
  echo "check-fresh: run as root (debootstrap and chroot need it)" >&2
  exit 2
fi
top=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
root=${1:-$(mktemp -d /var/tmp/torvik6-fresh.XXXXXX)}
mirror=${TORVIK6_MIRROR:-http://deb.debian.org/debian}

if ! command -v debootstrap >/dev/null; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
fi

mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
  if [ "$keep" -eq 0 ]; then rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT

start=$(date +%s)
echo "check-fresh: debootstrap bookworm into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
  { tail -20 "$root.debootstrap.log" >&2; exit 1; }
rm -f "$root.debootstrap.log"
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

# The repository as CI gets it: a clone of the committed state, not the work tree.
mkdir -p "$root/work"
git clone -q --no-local "$top" "$root/work/main"
if [ -d "$top/../shared" ]; then
  cp -r "$top/../shared" "$root/work/shared"
  chmod -R a-w "$root/work/shared"
fi

for fs in proc sys dev dev/pts; do
  mkdir -p "$root/$fs"
  case $fs in
    proc) mount -t proc proc "$root/proc" ;;
    *) mount --bind "/$fs" "$root/$fs" ;;
  esac
  mounted+=("$root/$fs")
done
mkdir -p "$root/dev/shm" "$root/tmp"
chmod 1777 "$root/tmp"

echo "check-fresh: bash .ci/run in the chroot"
set +e
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 CI=true \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  ${TORVIK6_CI_FUZZ_SECONDS:+TORVIK6_CI_FUZZ_SECONDS=$TORVIK6_CI_FUZZ_SECONDS} \
  bash -c 'cd /work/main && bash .ci/run' </dev/null
rc=$?
set -e
echo "check-fresh: .ci/run exited $rc after $(( $(date +%s) - start )) s"
exit $rc
