#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need. Idempotent; run as root
# (or with sudo available).
set -euo pipefail
PKGS=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
      libncurses-dev zlib1g-dev libarchive-dev
      libgtest-dev libgmock-dev libbenchmark-dev
      tmux python3 python3-dbfread python3-dbf gdal-bin)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
echo "setup: all packages present"
