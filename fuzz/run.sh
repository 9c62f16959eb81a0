#!/bin/sh
# Builds the engine's fuzz target with clang++ (libFuzzer, address and undefined-behaviour
# sanitizers) and runs it for a bounded time on a copy of the seed corpus.
# Usage: fuzz/run.sh <seconds> [build-dir]
set -eu

seconds=${1:?usage: fuzz/run.sh <seconds> [build-dir]}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/../build-fuzz}

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null
cmake --build "$build" -j2

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$root"/fuzz/corpus/* "$corpus"/

"$build/fuzz_engine" -max_total_time="$seconds" -max_len=512 -timeout=10 -print_final_stats=1 \
  -dict="$root/fuzz/amount.dict" -artifact_prefix="$build/" "$corpus"
