#!/usr/bin/env bash
# Builds the editor and starts it on a freshly generated demo cartridge.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DK6_BUILD_TESTS=OFF -DK6_BUILD_BENCH=OFF
cmake --build build --target kestrin6editor kestrin6-romgen -j"$(nproc)"

# The master palette is read from the current directory, the settings and list files from
# the executable's folder: run from build/.
cd build
[ -f fcpalette.pal ] || ./kestrin6-romgen --palette fcpalette.pal
[ -f demo.nes ] || ./kestrin6-romgen --image demo.nes
exec ./kestrin6editor demo.nes
