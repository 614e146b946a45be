#!/bin/sh
# Builds the fuzz targets over texts made into file names, colon paths and
# URIs with clang (libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)
# in a CMake build tree of their own, then runs each for a while on a copy of
# its seed corpus, inside an empty working folder.
#
#   bas/fuzz/run-paths-fuzz.sh [seconds per target] [filename|colonpath|uri ...]
#
# FUZZ_BUILD_DIR chooses the build tree (default build-fuzz-bas); crashes land
# in <tree>/<target>/crashes/, new inputs in <tree>/<target>/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/bas/fuzz"
out=${FUZZ_BUILD_DIR:-$root/build-fuzz-bas}
seconds=${1:-120}
[ $# -gt 0 ] && shift
targets=${*:-filename colonpath uri}

. "$root/scripts/fuzz-build.sh"
build=""
for t in $targets; do
    case $t in
        filename|colonpath|uri) build="$build bas_${t}_fuzz" ;;
        *) echo "unknown target $t"; exit 2 ;;
    esac
done
build_fuzz_targets "$out" $build

status=0
for t in $targets; do
    run_fuzz_target "$t" "$out/$t" "$out/bas/bas_${t}_fuzz" "$seconds" "$here/corpus-$t" \
        -max_len=4096 -rss_limit_mb=2048 -timeout=10 || status=1
done
exit $status
