#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh" packages-build.txt
cmake -S "$root" -B "$root/build" -DBUILD_TESTING=OFF > /dev/null
cmake --build "$root/build" -j "$(nproc)" --target norvane
exec "$root/build/app/qt/norvane"
