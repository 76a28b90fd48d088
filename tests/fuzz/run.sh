#!/usr/bin/env bash
# Runs each libFuzzer target (build/fuzz/*_fuzzer, preset "fuzz") for a bounded time, starting
# from its seed corpus and the inputs once found (tests/fuzz/corpus/TARGET,
# tests/fuzz/regressions/TARGET); what it finds on the way goes to a scratch folder. A crash, a
# hang (one input over 10 s) or a leak fails the target; the input that did it is kept under
# build/fuzz/artifacts/ and belongs in tests/fuzz/regressions/TARGET once it is mended. Ends
# with one line "N passed, M failed".
set -u
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
SECONDS_EACH=${FUZZ_SECONDS:-20}
cd "$REPO" || exit 1

passed=0
failed=0
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ is not installed (scripts/setup installs it): the fuzzers cannot run"
  echo "0 passed, 1 failed"
  exit 1
fi
if ! { cmake --preset fuzz >/dev/null && cmake --build --preset fuzz >/tmp/uninstall-fuzz-build.$$ 2>&1; }; then
  tail -n 30 /tmp/uninstall-fuzz-build.$$
  rm -f /tmp/uninstall-fuzz-build.$$
  echo "0 passed, 1 failed"
  exit 1
fi
rm -f /tmp/uninstall-fuzz-build.$$

mkdir -p build/fuzz/artifacts
for fuzzer in build/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer" _fuzzer)
  scratch=$(mktemp -d)
  log=$(mktemp)
  seeds=()
  for folder in "tests/fuzz/corpus/$name" "tests/fuzz/regressions/$name"; do
    [ -d "$folder" ] && seeds+=("$folder")
  done
  if "$fuzzer" -max_total_time="$SECONDS_EACH" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$name-" "$scratch" "${seeds[@]}" \
    >"$log" 2>&1; then
    runs=$(sed -n -E 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")
    echo "PASS $name: ${runs:-?} inputs in ${SECONDS_EACH}s"
    passed=$((passed + 1))
  else
    echo "FAIL $name:"
    grep -E 'ERROR|SUMMARY|Test unit written|deadly signal|timeout|abort' "$log" | head -n 12 |
      sed 's/^/  /'
    failed=$((failed + 1))
  fi
  rm -rf "$scratch" "$log"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
