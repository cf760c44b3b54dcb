#!/usr/bin/env bash
# Installs the Debian packages Torvik6 needs to build, test and run.
# Idempotent: apt-get update runs only when a package is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libglx-dev
  qt6-qpa-plugins fonts-dejavu-core
  liberfa-dev libnova-dev
  casacore-data-jpl-de405 python3-casacore python3-numpy python3-erfa
  locales
  libcairo2-dev libcli11-dev
  pybind11-dev python3-dev python3-pytest
  libreoffice-calc-nogui python3-uno python3-openpyxl

  # The fuzzers and the sanitizer build: clang with its fuzzer, ASan and UBSan
  # runtimes (libclang-rt-14-dev holds the runtimes clang links).
  clang libfuzzer-14-dev libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, so the tests show that files never take the
# locale's separator.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
