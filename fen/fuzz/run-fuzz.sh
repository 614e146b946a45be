#!/bin/sh
# Builds the image reader fuzz targets with clang (libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) in a CMake build tree of their own, then
# runs each for a while on a copy of its seed corpus, inside an empty working
# folder. The readers skip their checksum tests in this build (PNG: chunk
# CRCs and the image data's Adler-32), so that mutations are not all stopped
# there.
#
#   fen/fuzz/run-fuzz.sh [seconds per target] [png|jpg|tga ...]
#   fen/fuzz/run-fuzz.sh --seeds      rewrites the committed seed corpora and
#                                     the JPEG inputs made by hand in regressions/
#
# FUZZ_BUILD_DIR chooses the build tree (default build-fuzz-fen); crashes land
# in <tree>/<target>/crashes/, new inputs in <tree>/<target>/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_BUILD_DIR:-$root/build-fuzz-fen}

if [ "${1:-}" = "--seeds" ]; then
    # The seeds are drawn by the tests' image fixtures.
    mkdir -p "$out"
    ${CXX_FUZZ:-clang++} -std=c++17 -g -O1 -I"$root" -I"$root/bas/include" -I"$root/fen/include" -o "$out/MakeSeeds" \
        "$root/fen/fuzz/MakeSeeds.cpp" "$root/fen/tests/ImageFixtures.cpp" -lpng -ljpeg -llcms2
    for t in png jpg tga; do mkdir -p "$root/fen/fuzz/corpus/$t"; done
    mkdir -p "$root/fen/fuzz/regressions/jpg"
    "$out/MakeSeeds" "$root/fen/fuzz/corpus" "$root/fen/fuzz/regressions"
    exit 0
fi

seconds=${1:-120}
[ $# -gt 0 ] && shift
targets=${*:-png jpg tga}

. "$root/scripts/fuzz-build.sh"
build=""
for t in $targets; do
    case $t in
        png|jpg|tga) build="$build fen_read_${t}_fuzz" ;;
        *) echo "unknown target $t"; exit 2 ;;
    esac
done
build_fuzz_targets "$out" $build

status=0
for t in $targets; do
    run_fuzz_target "$t" "$out/$t" "$out/fen/fen_read_${t}_fuzz" "$seconds" "$root/fen/fuzz/corpus/$t" \
        -max_len=65536 -rss_limit_mb=2560 || status=1
done
exit $status
