#!/bin/sh
# Builds the style-parser fuzz target with clang (libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) in its own build tree and runs it for a
# while on a copy of the seed corpus, inside an empty working folder so that
# imports the fuzzer invents find no files.
#
#   tov/fuzz/run-fuzz.sh [seconds]
#
# Crashes land in build-fuzz-tov/crashes/; new inputs in build-fuzz-tov/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build-fuzz-tov"
seconds=${1:-120}

# The platform layer includes the object run time's headers, which come with
# GCC; clang sees only that folder of GCC's headers.
mkdir -p "$out/objc-include"
objc=$(dirname "$(gcc -print-file-name=include/objc/runtime.h)")
ln -sfn "$objc" "$out/objc-include/objc"
flags="-O1 -fsanitize=fuzzer-no-link -isystem $out/objc-include"

CC=${CC_FUZZ:-clang} CXX=${CXX_FUZZ:-clang++} cmake -S "$root" -B "$out" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug -DVARANTO_SANITIZE=ON -DVARANTO_FUZZ=ON \
    -DVARANTO_TESTS=OFF -DVARANTO_BENCHMARKS=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$out" --target tov_style_fuzz -j"${FUZZ_JOBS:-3}"

work="$out/corpus"
mkdir -p "$work" "$out/crashes" "$out/cwd"
cd "$out/cwd"
echo "== style parser: $seconds s"
status=0
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} "$out/tov/tov_style_fuzz" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=2560 -artifact_prefix="$out/crashes/" -print_final_stats=1 \
    "$work" "$root/tov/fuzz/corpus" 2>"$out/style.log" || { status=1; echo "   failed: see $out/style.log"; }
grep -E "^(stat::number_of_executed_units|Done)" "$out/style.log" || true
exit $status
