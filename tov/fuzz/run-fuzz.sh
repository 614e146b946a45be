#!/bin/sh
# Builds the style-sheet fuzz targets with clang (libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) in their own build tree and runs each for a
# while on a copy of its seed corpus, inside an empty working folder so that
# imports the fuzzer invents find no files there:
#   style   the parser over text;
#   import  skin sheets loaded through the skin resources, whose imports
#           reach a small skin folder that the target makes for itself.
#
#   tov/fuzz/run-fuzz.sh [seconds per target] [style|import ...]
#
# FUZZ_BUILD_DIR chooses the build tree (default build-fuzz-tov); crashes land
# in <tree>/<target>/crashes/, new inputs in <tree>/<target>/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_BUILD_DIR:-$root/build-fuzz-tov}
seconds=${1:-120}
[ $# -gt 0 ] && shift
targets=${*:-style import}

. "$root/scripts/fuzz-build.sh"
build=""
for t in $targets; do
    case $t in
        style) build="$build tov_style_fuzz" ;;
        import) build="$build tov_style_import_fuzz" ;;
        *) echo "unknown target $t"; exit 2 ;;
    esac
done
build_fuzz_targets "$out" $build

status=0
for t in $targets; do
    case $t in
        style) exe=tov_style_fuzz; seeds="$root/tov/fuzz/corpus" ;;
        import) exe=tov_style_import_fuzz; seeds="$root/tov/fuzz/corpus-import" ;;
    esac
    run_fuzz_target "$t" "$out/$t" "$out/tov/$exe" "$seconds" "$seeds" -max_len=65536 -rss_limit_mb=2560 || status=1
done
exit $status
