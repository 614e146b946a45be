#!/bin/sh
# Builds the USB layer's fuzz targets with clang (libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) from the layer's sources, then runs each
# for a while on a copy of its seed corpus.
#
#   usx2/fuzz/run-fuzz.sh [seconds per target] [descriptors|simfile ...]
#
# Crashes land in build-fuzz/<target>/; new inputs in build-fuzz/corpus-<target>.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/usx2/fuzz"
out="$root/build-fuzz"
mkdir -p "$out/usx2"
cxx=${CXX_FUZZ:-clang++}
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -I$root -I$out/generated"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
libs="$(pkg-config --libs libusb-1.0) -lpthread"
# The run loop stays out (it needs the whole platform): NoRunLoop.cpp stands in.
pieces="$root/usx2/usb/*.cpp $(ls "$root"/usx2/usb/linux/*.cpp | grep -v /RunLoopHandOver.cpp)
        $root/usx2/dfu/*.cpp $root/usx2/util/*.cpp $root/platform/system/SmallFile.cpp $here/NoRunLoop.cpp"

seconds=${1:-120}
[ $# -gt 0 ] && shift
targets=${*:-descriptors simfile}

# The keyboards' USB ids (the defaults), as the build writes them.
cmake -DHEADER="$out/generated/usx2/usb/VarantoUSBIdValues.h" -P "$root/cmake/VarantoUSBIds.cmake"

# The layer once, shared by the targets.
objects=""
for src in $pieces; do
    obj="$out/usx2/$(basename "$src" .cpp).o"
    $cxx $flags $(pkg-config --cflags libusb-1.0) $sanitizers -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
    objects="$objects $obj"
done

status=0
for t in $targets; do
    case $t in
        descriptors) source=USBDescriptorFuzz.cpp ;;
        simfile) source=SimulationFileFuzz.cpp ;;
        *) echo "unknown target $t"; exit 2 ;;
    esac
    exe="$out/usx2-$t-fuzz"
    $cxx $flags $sanitizers -fsanitize=fuzzer -o "$exe" "$here/$source" $objects $libs
    work="$out/corpus-$t"
    mkdir -p "$work" "$out/$t"
    echo "== $t: $seconds s"
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} "$exe" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
        -timeout=10 -close_fd_mask=1 -artifact_prefix="$out/$t/" -print_final_stats=1 "$work" "$here/corpus/$t" 2>"$out/$t.log" ||
        { status=1; echo "   failed: see $out/$t.log"; }
    grep -E "^(stat::number_of_executed_units|Done)" "$out/$t.log" || true
done
exit $status
