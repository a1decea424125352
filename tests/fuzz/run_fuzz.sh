#!/bin/sh
# Replays each fuzz target's regression corpus (corpus/<target>/), then runs the target for a
# bounded time, one target after the other on one core.
#   run_fuzz.sh BUILD_DIR SECONDS_PER_TARGET [WORK_DIR]
# BUILD_DIR is a clang build configured with -DPST2XMZ_FUZZ=ON. Besides the committed corpus, seeds
# are made at run time: the small real samples (when ../shared/pst-samples exists), files written
# by pstgen ($PSTGEN, else BUILD_DIR/bin/pstgen, when present) and the worked examples of
# compressed RTF. What the fuzzer finds goes to WORK_DIR, never into the committed corpus; an input
# that makes a target fail is left there as WORK_DIR/<target>-crash-… (or -leak-, -timeout-,
# -oom-) and belongs in corpus/<target>/ once the fault is fixed.
set -eu
build=$1
seconds=$2
work=${3:-$(mktemp -d /tmp/pst-fuzz-XXXXXX)}
here=$(cd "$(dirname "$0")" && pwd)
samples="$here/../../../shared/pst-samples"
pstgen=${PSTGEN:-$build/bin/pstgen}
targets="fuzz_node_database fuzz_rtf_decompress fuzz_body_derivation mime_parse_fuzz"

for exe in $targets; do mkdir -p "$work/seeds_$exe" "$work/corpus_$exe"; done
if [ -d "$samples" ]; then
  find "$samples" -maxdepth 1 \( -name '*.pst' -o -name '*.ost' \) -size -600k \
    -exec cp {} "$work/seeds_fuzz_node_database/" \;
fi
if [ -x "$pstgen" ]; then
  "$pstgen" --seed 1 --out "$work/seeds_fuzz_node_database/gen-unicode.pst" --messages 12 \
    --folders 2 --max-attachment-kb 4 --embedded-share 0.3 >/dev/null
  "$pstgen" --seed 2 --out "$work/seeds_fuzz_node_database/gen-ansi.pst" --messages 8 --folders 2 \
    --ansi --max-attachment-kb 2 >/dev/null
  "$pstgen" --seed 3 --out "$work/seeds_fuzz_node_database/gen-cyclic.pst" --messages 8 \
    --encoding cyclic --text-rtf-share 0.5 --max-attachment-kb 2 >/dev/null
fi
chmod -R u+w "$work"

for exe in $targets; do
  echo "== $exe: replay of corpus/$exe"
  "$build/bin/$exe" "$here/corpus/$exe"/* 2>"$work/$exe-replay.log" || {
    echo "$exe fails on its regression corpus; see $work/$exe-replay.log"
    tail -n 30 "$work/$exe-replay.log"
    exit 1
  }
  grep -c '^Running: ' "$work/$exe-replay.log" | sed 's/$/ inputs replayed/'

  echo "== $exe: fuzzing for $seconds s in $work"
  "$build/bin/$exe" -max_total_time="$seconds" -timeout=15 -malloc_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$work/$exe-" \
    "$work/corpus_$exe" "$here/corpus/$exe" "$work/seeds_$exe" 2>"$work/$exe.log" || {
    echo "$exe found a problem; see $work/$exe.log"
    ls "$work" | grep "^$exe-" | grep -v '\.log$' || true
    tail -n 40 "$work/$exe.log"
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^Done' "$work/$exe.log"
done
