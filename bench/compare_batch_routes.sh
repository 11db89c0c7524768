#!/usr/bin/env bash
# Whole-process comparison of the two ways of keeping a batch file: the
# archive's tree (--tree) against the streaming reader and writer
# (--stream). For each size: the save (synced to disk), the load, and the
# load of a file whose batch is listed already (refused for its creation
# time); median wall time of RUNS runs and the peak resident memory of the
# process, batch included. Both saves must give the same bytes.
#
#   bench/compare_batch_routes.sh                      1k, 10k, 100k items, 3 runs
#   SIZES="100000" RUNS=5 BUILD_DIR=/tmp/b bench/compare_batch_routes.sh
set -euo pipefail
cd "$(dirname "$0")/.."

SIZES=${SIZES:-"1000 10000 100000"}
RUNS=${RUNS:-3}
BUILD_DIR=${BUILD_DIR:-build}
LISTED=1462357230  # the creation time bench_write_batch_file gives its batch

cmake -S . -B "$BUILD_DIR" > /dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-$(nproc)}" --target bench_write_batch_file bench_load_batch_file > /dev/null

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
source bench/median_ms.sh

# peak_kb COMMAND...: the peak the helper reports on stderr.
peak_kb() {
  "$@" 2>&1 > /dev/null | sed -n 's/^peak RSS \([0-9]*\) kB$/\1/p'
}

row() {
  local label=$1
  shift
  printf '  %-22s %10s ms %8s MB\n' "$label" "$(median_ms "$@")" "$(($(peak_kb "$@") / 1024))"
}

for items in $SIZES; do
  for route in tree stream; do
    "$BUILD_DIR/bench_write_batch_file" --$route "$folder/$route.hdb" "$items" 2> /dev/null
  done
  cmp -s "$folder/tree.hdb" "$folder/stream.hdb" || { echo "the saves differ at $items items"; exit 1; }
  echo "$items items, $(stat -c %s "$folder/stream.hdb") bytes (median of $RUNS runs, peak memory):"
  for route in tree stream; do
    row "save $route" "$BUILD_DIR/bench_write_batch_file" --$route "$folder/save.hdb" "$items"
    row "load $route" "$BUILD_DIR/bench_load_batch_file" --$route "$folder/stream.hdb"
    row "refuse listed $route" "$BUILD_DIR/bench_load_batch_file" --$route "$folder/stream.hdb" "$LISTED"
  done
done
