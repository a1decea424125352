#!/usr/bin/env bash
# Writes the benchmark corpus: a deterministic ~1 GB personal-folders file made by pstgen.
#
#   bench/corpus/make_corpus.sh [OUT] [SIZE_MB] [SEED]
#
# OUT defaults to build/bench/corpus/bench-1g.pst (never commit it), SIZE_MB to 1024, SEED to 1.
# PSTGEN names the pstgen binary; by default it is built in build/ first.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${1:-$root/build/bench/corpus/bench-1g.pst}"
size_mb="${2:-1024}"
seed="${3:-1}"
pstgen="${PSTGEN:-}"
if [ -z "$pstgen" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja > /dev/null
  cmake --build "$root/build" --target pstgen
  pstgen="$root/build/bin/pstgen"
fi
mkdir -p "$(dirname "$out")"
"$pstgen" --seed "$seed" --size-mb "$size_mb" --out "$out"
ls -l "$out"
