#!/usr/bin/env bash
# Builds the window-free modules natively with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs their unit tests, then fuzzes the catalogue
# reader and its encodings, the path functions and the PATH value editing for
# a bounded time.
# Exits non-zero on any test failure, crash, leak or sanitizer report. Called by scripts/test.sh.
#   TARVOLO_FUZZ_SECONDS  fuzzing time per target (default 30; 0 skips fuzzing)
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

FUZZ_SECONDS=${TARVOLO_FUZZ_SECONDS:-30}
NATIVE=$BUILD/native
TARGETS=(catalogue encoding path userpath linkfile)

install_packages
# Sanitizer messages in plain English, whatever locale lib.sh set for Wine.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

summary() {
  echo "== native: $1"
  [ "$2" = 0 ] || exit "$2"
}

# The runtimes must be the installed clang's own; say so plainly rather than
# fail later at link time with a missing library. Clang looks for them in its
# per-target folder (libclang_rt.asan.a) and then in the older per-OS one
# (lib/linux/libclang_rt.asan-x86_64.a); Debian 12's clang 14 and Debian 13's
# clang 19 each keep them in one of the two, and -print-runtime-dir names only
# the first.
RESOURCE_DIR=$(clang -print-resource-dir 2>/dev/null || true)
for lib in asan ubsan_standalone fuzzer; do
  found=
  for f in "$RESOURCE_DIR"/lib/*/libclang_rt.$lib.a "$RESOURCE_DIR"/lib/*/libclang_rt.$lib-x86_64.a; do
    [ -f "$f" ] && found=$f && break
  done
  if [ -z "$found" ]; then
    echo "== native: clang $(clang_major) has no $lib runtime in ${RESOURCE_DIR:-?}/lib (package libclang-rt-$(clang_major)-dev)"
    summary "FAILED (sanitizer runtime missing)" 1
  fi
done

mkdir -p "$NATIVE"
echo "== native: building in $NATIVE"
# libFuzzer comes with clang only, so the whole native build uses clang.
cmake -S "$ROOT/tests/native" -B "$NATIVE" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=Debug >"$NATIVE.configure.log" 2>&1 \
  || { cat "$NATIVE.configure.log"; summary "FAILED (configure)" 1; }
cmake --build "$NATIVE" -j"$(nproc)" >"$NATIVE.build.log" 2>&1 \
  || { tail -n 60 "$NATIVE.build.log"; summary "FAILED (build)" 1; }

unit=PASS
ctest --test-dir "$NATIVE" --output-on-failure --timeout 120 || unit=FAIL

# The fuzzers run side by side, each on a copy of its seed
# corpus in the build folder: what they add stays out of the repository.
# Every run gets its own folder, since several people may run the tests in
# one working tree at once; it is kept only when a fuzzer failed.
mkdir -p "$NATIVE/fuzz"
RUN_DIR=$(mktemp -d "$NATIVE/fuzz/run.XXXXXX")
declare -A pids=()
stop_fuzzers() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; }
trap 'stop_fuzzers; exit 130' INT TERM
if [ "$FUZZ_SECONDS" -gt 0 ]; then
  for t in "${TARGETS[@]}"; do
    work=$RUN_DIR/$t
    mkdir -p "$work/corpus" "$work/artifacts"
    cp -r "$ROOT/tests/native/corpus/$t/." "$work/corpus/"
    "$NATIVE/fuzz_$t" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 -max_len=1024 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/log" 2>&1 &
    pids[$t]=$!
  done
fi

fuzz_result=""
fuzz_failed=0
for t in "${TARGETS[@]}"; do
  [ -n "${pids[$t]:-}" ] || continue
  work=$RUN_DIR/$t
  wait "${pids[$t]}"
  rc=$?
  unset "pids[$t]"
  if [ $rc = 0 ]; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
    fuzz_result+=" fuzz_$t PASS (${runs:-?} runs);"
  else
    fuzz_failed=1
    fuzz_result+=" fuzz_$t FAIL;"
    echo "== fuzz_$t failed; log tail ($work/log):"
    tail -n 60 "$work/log"
    ls "$work/artifacts" 2>/dev/null | sed "s|^|   artifact: $work/artifacts/|"
  fi
done
[ "$FUZZ_SECONDS" -gt 0 ] || fuzz_result=" fuzzing skipped;"
[ "$fuzz_failed" = 1 ] || rm -rf "$RUN_DIR"

status=0
[ "$unit" = PASS ] && [ "$fuzz_failed" = 0 ] || status=1
summary "$([ $status = 0 ] && echo PASS || echo FAIL): unit tests $unit;$fuzz_result" $status
