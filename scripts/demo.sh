#!/usr/bin/env bash
# Demo: sets up, builds, makes a sample installation CD and starts the installer from it in a
# drive sandbox (C: and D: are directories under /tmp/qaro-demo). In a terminal the installer
# runs interactively; without one it runs the unattended form on a key script.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target qarovor qarotool
demo=/tmp/qaro-demo
rm -rf "$demo"
mkdir -p "$demo/c" "$demo/d"
"$repo/build/bin/qarotool" sample-medium "$demo/d"
export QARO_DRIVES="C=$demo/c;D=$demo/d"
cd "$demo/d"
status=0
if [ -t 0 ] && [ -t 1 ]; then
  echo "Starting the installer from the sample CD (D:). Suggested directory: C:\\QARO"
  sleep 1
  "$repo/build/bin/qarovor" || status=$?
else
  printf '%s\n' '"Biuro Rachunkowe"' ENTER ENTER > "$demo/keys.txt"
  QARO_KEYS="$demo/keys.txt" QARO_SCREEN="$demo/screen.txt" \
    "$repo/build/bin/qarovor" K B 'C:\QARO' '' PBK || status=$?
  echo "(unattended run; screens in $demo/screen.txt)"
fi
echo "qarovor ended with exit code $status (1 = the run ended with its closing message)"
if [ -d "$demo/c/QARO" ]; then
  echo "== the installed system C:\\QARO"
  (cd "$demo/c" && find QARO | sort)
  echo "== its Master configuration header"
  "$repo/build/bin/qarotool" xpf "$demo/c/QARO/master.xpf"
  echo "== its installation record"
  "$repo/build/bin/qarotool" xpf "$demo/c/QARO/EXE/wersja.xpf"
fi
