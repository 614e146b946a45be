#!/bin/sh
# Builds the platform layer's fuzz targets (property lists, mount tables)
# with clang (libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)
# from the readers' sources, then runs each for a while on a copy of its
# seed corpus.
#
#   platform/fuzz/run-fuzz.sh [seconds per target] [plist|mounts ...]
#
# Crashes land in build-fuzz/<target>/; new inputs in build-fuzz/corpus-<target>.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/platform/fuzz"
out="$root/build-fuzz"
mkdir -p "$out/platform"
cxx=${CXX_FUZZ:-clang++}
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -I$root $(pkg-config --cflags glib-2.0)"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
libs="$(pkg-config --libs glib-2.0)"
pieces="$root/platform/cf/PropertyList.cpp $root/platform/cf/CFType.cpp $root/platform/cf/CFArray.cpp
        $root/platform/cf/CFDictionary.cpp $root/platform/cf/CFNumber.cpp $root/platform/cf/CFBoolean.cpp
        $root/platform/cf/CFString.cpp $root/platform/cf/CFLocale.cpp $root/platform/system/SmallFile.cpp $root/platform/workspace/MountTable.cpp"

seconds=${1:-120}
[ $# -gt 0 ] && shift
targets=${*:-plist mounts}

objects=""
for src in $pieces; do
    obj="$out/platform/$(basename "$src" .cpp).o"
    $cxx $flags $sanitizers -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
    objects="$objects $obj"
done

status=0
for t in $targets; do
    case $t in
        plist) source=PropertyListFuzz.cpp; dictionary="-dict=$here/plist.dict" ;;
        mounts) source=MountTableFuzz.cpp; dictionary="" ;;
        *) echo "unknown target $t"; exit 2 ;;
    esac
    exe="$out/platform-$t-fuzz"
    $cxx $flags $sanitizers -fsanitize=fuzzer -o "$exe" "$here/$source" $objects $libs
    work="$out/corpus-$t"
    mkdir -p "$work" "$out/$t"
    echo "== $t: $seconds s"
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} "$exe" -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048 \
        -timeout=10 $dictionary -artifact_prefix="$out/$t/" -print_final_stats=1 "$work" "$here/corpus/$t" \
        2>"$out/$t.log" || { status=1; echo "   failed: see $out/$t.log"; }
    grep -E "^(stat::number_of_executed_units|Done)" "$out/$t.log" || true
done
exit $status
