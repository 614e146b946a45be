#!/bin/sh
# Builds the USB layer's fuzz targets with clang (libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) in a CMake build tree of their own, then
# runs each for a while on a copy of its seed corpus, inside an empty working
# folder.
#
#   usx2/fuzz/run-fuzz.sh [seconds per target] [descriptors|simfile ...]
#
# FUZZ_BUILD_DIR chooses the build tree (default build-fuzz-usx2); crashes land
# in <tree>/<target>/crashes/, new inputs in <tree>/<target>/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/usx2/fuzz"
out=${FUZZ_BUILD_DIR:-$root/build-fuzz-usx2}
seconds=${1:-120}
[ $# -gt 0 ] && shift
targets=${*:-descriptors simfile}

. "$root/scripts/fuzz-build.sh"
build=""
for t in $targets; do
    case $t in
        descriptors|simfile) build="$build usx2_${t}_fuzz" ;;
        *) echo "unknown target $t"; exit 2 ;;
    esac
done
build_fuzz_targets "$out" $build

status=0
for t in $targets; do
    run_fuzz_target "$t" "$out/$t" "$out/usx2/usx2_${t}_fuzz" "$seconds" "$here/corpus/$t" \
        -max_len=4096 -rss_limit_mb=2048 -timeout=10 -close_fd_mask=1 || status=1
done
exit $status
