#!/bin/sh
# Builds the image reader fuzz targets with clang (libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) from the reader sources and the pieces they
# need, then runs each for a while on a copy of its seed corpus.
#
#   fen/fuzz/run-fuzz.sh [seconds per target] [png|jpg|tga ...]
#   fen/fuzz/run-fuzz.sh --seeds      rewrites the committed seed corpora
#
# Crashes land in build-fuzz/<target>/; new inputs in build-fuzz/corpus-<target>.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build-fuzz"
mkdir -p "$out"
cxx=${CXX_FUZZ:-clang++}
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -I$root -I$root/bas/include -I$root/fen/include"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
# The readers skip their checksum tests in this build (PNG: chunk CRCs and
# the image data's Adler-32), so that mutations are not all stopped there.
fuzzing="-DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION"
libs="-lpng -ljpeg -llcms2"
pieces="$root/fen/src/ImageReaders/*.cpp $root/fen/src/Picture/Picture.cpp $root/fen/src/Picture/PictureProperties.cpp
        $root/bas/src/Storage/Stream.cpp $root/bas/src/Storage/MemoryStorage.cpp"

if [ "${1:-}" = "--seeds" ]; then
    $cxx $flags -o "$out/MakeSeeds" "$root/fen/fuzz/MakeSeeds.cpp" "$root/fen/tests/ImageFixtures.cpp" $libs
    for t in png jpg tga; do mkdir -p "$root/fen/fuzz/corpus/$t"; done
    "$out/MakeSeeds" "$root/fen/fuzz/corpus"
    exit 0
fi

seconds=${1:-120}
[ $# -gt 0 ] && shift
targets=${*:-png jpg tga}

# The library part once, shared by the targets.
objects=""
for src in $pieces; do
    obj="$out/$(basename "$src" .cpp).o"
    $cxx $flags $fuzzing $sanitizers -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
    objects="$objects $obj"
done

status=0
for t in $targets; do
    T=$(echo "$t" | tr a-z A-Z)
    exe="$out/read-$t-fuzz"
    $cxx $flags $sanitizers -fsanitize=fuzzer -o "$exe" "$root/fen/fuzz/Read${T}Fuzz.cpp" $objects $libs
    work="$out/corpus-$t"
    mkdir -p "$work" "$out/$t"
    echo "== $t: $seconds s"
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} "$exe" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2560 \
        -artifact_prefix="$out/$t/" -print_final_stats=1 "$work" "$root/fen/fuzz/corpus/$t" 2>"$out/$t.log" ||
        { status=1; echo "   failed: see $out/$t.log"; }
    grep -E "^(stat::number_of_executed_units|Done)" "$out/$t.log" || true
done
exit $status
