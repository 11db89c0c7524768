# Sourced by the install and package checks: counts failed checks and ends
# with one verdict.

failures=0

# Reports one failed check and goes on with the next.
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Exits 1 when any check failed, else says what passed.
finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures $1 checks failed" >&2
    exit 1
  fi
  echo "$1 checks passed"
}
