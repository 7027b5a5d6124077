#!/usr/bin/env bash
# Demo: sets up, builds, and shows the support tool on a sample module configuration file and a
# legacy variable file from an independent xBase implementation.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target qarotool
demo=$(mktemp -d /tmp/qaro-demo-XXXXXX)
T=build/bin/qarotool
echo "== a module configuration file with its enciphered header"
$T xpf "$demo/PLACE.XPF" set-header "Firma Przykladowa Sp. z o.o."
$T xpf "$demo/PLACE.XPF" set p_pol N 2
$T xpf "$demo/PLACE.XPF" set data_inst D 20261211
$T xpf "$demo/PLACE.XPF"
if $T --help | grep -q '^  qarotool mem '; then
  echo "== a legacy variable file written by another xBase implementation"
  $T mem ../shared/fixtures/harbour/mem_types.mem || true
fi
echo "(files in $demo)"
