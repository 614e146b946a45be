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
    run_fuzz_target "$t" "$out/$t" "$out/platform/platform_${t}_fuzz" "$seconds" "$here/corpus/$t" \
        -max_len=16384 -rss_limit_mb=2048 -timeout=10 $dictionary || status=1
done
exit $status
