#!/bin/sh
# Builds the platform layer's fuzz targets (property lists, mount tables)
# with clang (libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) in a
# CMake build tree of their own, then runs each for a while on a copy of its
# seed corpus, inside an empty working folder.
#
#   platform/fuzz/run-fuzz.sh [seconds per target] [plist|mounts ...]
#
# FUZZ_BUILD_DIR chooses the build tree (default build-fuzz-platform); crashes
# land in <tree>/<target>/crashes/, new inputs in <tree>/<target>/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/platform/fuzz"
out=${FUZZ_BUILD_DIR:-$root/build-fuzz-platform}
seconds=${1:-120}
[ $# -gt 0 ] && shift
targets=${*:-plist mounts}

. "$root/scripts/fuzz-build.sh"
build=""
for t in $targets; do
    case $t in
        plist|mounts) build="$build platform_${t}_fuzz" ;;
        *) echo "unknown target $t"; exit 2 ;;
    esac
done
build_fuzz_targets "$out" $build

status=0
for t in $targets; do
    case $t in
        plist) dictionary="-dict=$here/plist.dict" ;;
        mounts) dictionary="" ;;
    esac
    work="$out/$t"
    mkdir -p "$work/corpus" "$work/crashes" "$work/cwd"
    echo "== $t: $seconds s"
    (cd "$work/cwd" && ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} "$out/platform/platform_${t}_fuzz" \
        -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048 -timeout=10 $dictionary \
        -artifact_prefix="$work/crashes/" -print_final_stats=1 "$work/corpus" "$here/corpus/$t" \
        </dev/null 2>"$work/fuzz.log") || { status=1; echo "   failed: see $work/fuzz.log"; }
    grep -E "^(stat::number_of_executed_units|Done)" "$work/fuzz.log" || true
done
exit $status
