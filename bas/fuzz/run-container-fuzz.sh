#!/bin/sh
# Builds the container reader's fuzz target with clang (libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) in a CMake build tree of
# its own, then runs it for a while on a copy of its seed corpus, inside an
# empty working folder.
#
#   bas/fuzz/run-container-fuzz.sh [seconds]    (default 180)
#
# FUZZ_BUILD_DIR chooses the build tree (default build-fuzz-bas); crashes land
# in <tree>/container/crashes/, new inputs in <tree>/container/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_BUILD_DIR:-$root/build-fuzz-bas}
seconds=${1:-180}

. "$root/scripts/fuzz-build.sh"
build_fuzz_targets "$out" bas_container_fuzz

work="$out/container"
mkdir -p "$work/corpus" "$work/crashes" "$work/cwd"
echo "== container: $seconds s"
status=0
(cd "$work/cwd" && ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} "$out/bas/bas_container_fuzz" \
    -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=512 -malloc_limit_mb=256 -timeout=2 \
    -artifact_prefix="$work/crashes/" -print_final_stats=1 "$work/corpus" "$root/bas/fuzz/corpus" \
    </dev/null 2>"$work/fuzz.log") || { status=1; echo "   failed: see $work/fuzz.log"; }
grep -E "^(stat::number_of_executed_units|Done)" "$work/fuzz.log" || true
exit $status
