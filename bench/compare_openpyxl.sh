#!/usr/bin/env bash
# Whole-process comparison for the report: `marlo-tool report` (load the
# batch file, draw the chart, write the bitmap, fill the workbook and save it
# as .xlsx) against an openpyxl script writing the same cells, merges,
# borders and picture (bench/openpyxl_report.py, Debian's python3-openpyxl).
#
#   bench/compare_openpyxl.sh                10,000 items, 5 runs, build/
#   ITEMS=1000 RUNS=3 BUILD_DIR=/tmp/b bench/compare_openpyxl.sh
set -euo pipefail
cd "$(dirname "$0")/.."

ITEMS=${ITEMS:-10000}
RUNS=${RUNS:-5}
BUILD_DIR=${BUILD_DIR:-build}

scripts/install-deps bench
cmake -S . -B "$BUILD_DIR" > /dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-$(nproc)}" --target bench_write_batch_file marlo-tool > /dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$BUILD_DIR/bench_write_batch_file" "$work/batch.hdb" "$ITEMS"
# The same picture for both: the chart bitmap marlo-tool draws.
"$BUILD_DIR/marlo-tool" chart "$work/batch.hdb" "$work/picture.bmp"

marlo=("$BUILD_DIR/marlo-tool" report "$work/batch.hdb" "$work/marlo.xlsx")
openpyxl=(/usr/bin/python3 bench/openpyxl_report.py "$ITEMS" "$work/openpyxl.xlsx" "$work/picture.bmp")

source bench/median_ms.sh

echo "report of $ITEMS items, median of $RUNS runs:"
echo "  marlo-tool report: $(median_ms "${marlo[@]}") ms ($(stat -c %s "$work/marlo.xlsx") bytes)"
echo "  openpyxl script:   $(median_ms "${openpyxl[@]}") ms ($(stat -c %s "$work/openpyxl.xlsx") bytes)"
