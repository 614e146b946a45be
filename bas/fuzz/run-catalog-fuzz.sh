#!/bin/sh
# Builds the message-catalogue reader's fuzz target with clang (libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) in a CMake build tree of
# its own, then runs it for a while on a copy of its seed corpus (catalogues
# made by msgfmt from the test catalogue), inside an empty working folder.
#
#   bas/fuzz/run-catalog-fuzz.sh [seconds]    (default 180)
#
# FUZZ_BUILD_DIR chooses the build tree (default build-fuzz-bas); crashes land
# in <tree>/catalog/crashes/, new inputs in <tree>/catalog/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_BUILD_DIR:-$root/build-fuzz-bas}
seconds=${1:-180}

. "$root/scripts/fuzz-build.sh"
build_fuzz_targets "$out" bas_catalog_fuzz

work="$out/catalog"
mkdir -p "$work/corpus" "$work/crashes" "$work/cwd"
echo "== catalog: $seconds s"
status=0
(cd "$work/cwd" && ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} "$out/bas/bas_catalog_fuzz" \
    -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=512 -malloc_limit_mb=256 -timeout=2 \
    -artifact_prefix="$work/crashes/" -print_final_stats=1 "$work/corpus" "$root/bas/fuzz/corpus-catalog" \
    </dev/null 2>"$work/fuzz.log") || { status=1; echo "   failed: see $work/fuzz.log"; }
grep -E "^(stat::number_of_executed_units|Done)" "$work/fuzz.log" || true
exit $status
