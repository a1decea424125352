#!/bin/sh
# Runs the reader's fuzz targets one after the other on one core.
#   run_fuzz.sh BUILD_DIR SECONDS_PER_TARGET [WORK_DIR]
# BUILD_DIR is a clang build configured with -DPST2XMZ_FUZZ=ON. Seeds are made at run time: the
# small real samples (when ../shared/pst-samples exists), files written by pstgen (when built in
# BUILD_DIR), and the two worked examples of compressed RTF. Nothing here is committed as binary.
set -eu
build=$1
seconds=$2
work=${3:-$(mktemp -d /tmp/pst-fuzz-XXXXXX)}
here=$(cd "$(dirname "$0")" && pwd)
samples="$here/../../../shared/pst-samples"

mkdir -p "$work/seeds_file" "$work/corpus_file" "$work/seeds_rtf" "$work/corpus_rtf" \
  "$work/seeds_body" "$work/corpus_body"
if [ -d "$samples" ]; then
  find "$samples" -maxdepth 1 \( -name '*.pst' -o -name '*.ost' \) -size -600k \
    -exec cp {} "$work/seeds_file/" \;
fi
if [ -x "$build/bin/pstgen" ]; then
  "$build/bin/pstgen" --seed 1 --out "$work/seeds_file/gen-unicode.pst" --messages 12 \
    --folders 2 --max-attachment-kb 4 --embedded-share 0.3 >/dev/null
  "$build/bin/pstgen" --seed 2 --out "$work/seeds_file/gen-ansi.pst" --messages 8 --folders 2 \
    --ansi --max-attachment-kb 2 >/dev/null
  "$build/bin/pstgen" --seed 3 --out "$work/seeds_file/gen-cyclic.pst" --messages 8 \
    --encoding cyclic --text-rtf-share 0.5 --max-attachment-kb 2 >/dev/null
fi
printf '\055\000\000\000\053\000\000\000LZFu\361\305\307\247\003\000\012\000rcpg125B2\012\363 hel\011\000 bw\005\260ld}\012\200\017\240' \
  > "$work/seeds_rtf/example1"
printf '\032\000\000\000\034\000\000\000LZFu\342\324KQA\000\004 WXYZ\015n}\001\016\260' \
  > "$work/seeds_rtf/example2"

printf '{\\rtf1\\ansi\\fromhtml1 {\\*\\htmltag64 <p a="{x}">}\\htmlrtf \\par \\htmlrtf0 \\uc1\\u1046?\\line}' \
  > "$work/seeds_body/encapsulated"
printf '<html><style>p{}</style><p>caf&eacute; &#x20AC;<br>x</p><pre> a\r\n b</pre></html>' \
  > "$work/seeds_body/html"

chmod -R u+w "$work"
for target in fuzz_node_database:file fuzz_rtf_decompress:rtf fuzz_body_derivation:body; do
  exe=${target%%:*}
  kind=${target##*:}
  echo "== $exe ($seconds s) in $work"
  "$build/bin/$exe" -max_total_time="$seconds" -timeout=15 -malloc_limit_mb=1024 \
    -print_final_stats=1 "$work/corpus_$kind" "$work/seeds_$kind" 2>"$work/$exe.log" || {
    echo "$exe found a problem; see $work/$exe.log"
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^Done' "$work/$exe.log"
done
