#!/usr/bin/env bash
# Whole-process comparison: loading one batch file with Marlo's reader
# (bench_load_batch_file: open the archive, read the batch) against
# `xmllint --noout` parsing the same file. Batch files are well-formed XML;
# settings files are not (they hold raw control bytes), so only a batch is
# compared.
#
#   bench/compare_xmllint.sh                 10,000 items, 5 runs, build/
#   ITEMS=100000 RUNS=3 BUILD_DIR=/tmp/b bench/compare_xmllint.sh
set -euo pipefail
cd "$(dirname "$0")/.."

ITEMS=${ITEMS:-10000}
RUNS=${RUNS:-5}
BUILD_DIR=${BUILD_DIR:-build}

scripts/install-deps bench
cmake -S . -B "$BUILD_DIR" > /dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-$(nproc)}" --target bench_write_batch_file bench_load_batch_file > /dev/null

file=$(mktemp --suffix=.hdb)
trap 'rm -f "$file"' EXIT
"$BUILD_DIR/bench_write_batch_file" "$file" "$ITEMS"
loaded=$("$BUILD_DIR/bench_load_batch_file" "$file")
xmllint --noout "$file"
echo "batch file: $ITEMS items, $(stat -c %s "$file") bytes; Marlo reads back $loaded items"

marlo=("$BUILD_DIR/bench_load_batch_file" "$file")
libxml2=(xmllint --noout "$file")

if command -v hyperfine > /dev/null; then
  hyperfine --warmup 1 --runs "$RUNS" "${marlo[*]}" "${libxml2[*]}"
  exit 0
fi

source bench/median_ms.sh

echo "median of $RUNS runs (hyperfine not installed):"
echo "  bench_load_batch_file  $(median_ms "${marlo[@]}") ms"
echo "  xmllint --noout        $(median_ms "${libxml2[@]}") ms"
