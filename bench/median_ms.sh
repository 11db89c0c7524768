# Sourced by the whole-process comparisons.
# median_ms COMMAND...: median wall time of RUNS runs after one warm-up, in
# milliseconds with one decimal; the command's output is discarded.
median_ms() {
  "$@" > /dev/null 2>&1
  local times=() start end
  for ((run = 0; run < RUNS; run++)); do
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((RUNS + 1) / 2))p" |
    awk '{ printf "%.1f", $1 / 1000 }'
}
