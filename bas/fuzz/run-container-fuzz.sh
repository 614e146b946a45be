#!/bin/sh
# Builds the container reader's fuzz target with clang (libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) in a CMake build tree of
# its own, then runs it for a while on a copy of its seed corpus, inside an
# empty working folder.
#
#   bas/fuzz/run-container-fuzz.sh [seconds]    (default 180)
#
# FUZZ_BUILD_DIR chooses the build tree (default build-fuzz-bas); crashes land
# in <tree>/container/crashes/, new inputs in <tree>/container/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_BUILD_DIR:-$root/build-fuzz-bas}
seconds=${1:-180}

. "$root/scripts/fuzz-build.sh"
build_fuzz_targets "$out" bas_container_fuzz

run_fuzz_target container "$out/container" "$out/bas/bas_container_fuzz" "$seconds" "$root/bas/fuzz/corpus" \
    -max_len=8192 -rss_limit_mb=512 -malloc_limit_mb=256 -timeout=2
