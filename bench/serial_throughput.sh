#!/usr/bin/env bash
# Serial line measurements, in one run:
#  1. marlo-sim sends a 10 MB capture as fast as the pseudo-terminal takes it
#     (--baud 0) to the receiver's worker thread (bench_serial throughput),
#     and then to `head -c` reading the same kind of terminal, for comparison
#     (both timed from the first byte);
#  2. the CPU an open port costs on a silent line (bench_serial idle);
#  3. how long closing the port holds the window when the worker waits
#     inside a read of a silent line (bench_serial close).
#
#   bench/serial_throughput.sh                  10 MB, 30 s idle, 20 closes, build/
#   MEGABYTES=50 IDLE_SECONDS=10 CLOSES=50 BUILD_DIR=/tmp/b bench/serial_throughput.sh
set -euo pipefail
cd "$(dirname "$0")/.."

MEGABYTES=${MEGABYTES:-10}
IDLE_SECONDS=${IDLE_SECONDS:-30}
CLOSES=${CLOSES:-20}
BUILD_DIR=${BUILD_DIR:-build}

scripts/install-deps
cmake -S . -B "$BUILD_DIR" > /dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-$(nproc)}" --target bench_serial marlo-sim > /dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
capture="$work/capture.txt"
bytes=$((MEGABYTES * 1024 * 1024))
while [ "$(stat -c %s "$capture" 2>/dev/null || echo 0)" -lt "$bytes" ]; do
  cat tests/data/leeb_batch.cap >> "$capture"
done
truncate -s "$bytes" "$capture"

# The simulator waits a second before sending, so the reader has opened (and
# purged) the port by then.
simulate() {
  "$BUILD_DIR/marlo-sim" --file "$capture" --baud 0 --count 1 --delay 1 --link "$work/COM1" > /dev/null &
  sim=$!
  while [ ! -L "$work/COM1" ]; do sleep 0.01; done
}

echo "serial throughput, $MEGABYTES MB through a pseudo-terminal (fastest offered line: 256000 baud = 25,600 bytes/s)"
simulate
receiver=$("$BUILD_DIR/bench_serial" throughput "$work/" 1 "$bytes")
wait "$sim"
echo "  receiver worker: $receiver"

simulate
cat_line=$(head -c "$bytes" "$work/COM1" | "$BUILD_DIR/bench_serial" count "$bytes")
wait "$sim"
echo "  head -c | count: $cat_line"

awk -v rate="$(echo "$receiver" | sed -E 's/.*: ([0-9.]+) MB\/s/\1/')" \
  'BEGIN { printf "  receiver rate / fastest line: %.0f x\n", rate * 1e6 / 25600 }'

echo "idle cost of an open port:"
echo "  $("$BUILD_DIR/bench_serial" idle "$IDLE_SECONDS")"

echo "closing the port while the worker waits on a silent line:"
echo "  $("$BUILD_DIR/bench_serial" close "$CLOSES")"
