#!/bin/sh
# Builds the message-catalogue reader's fuzz target with clang (libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) in a CMake build tree of
# its own, then runs it for a while on a copy of its seed corpus (catalogues
# made by msgfmt from the test catalogue), inside an empty working folder.
#
#   bas/fuzz/run-catalog-fuzz.sh [seconds]    (default 180)
#
# FUZZ_BUILD_DIR chooses the build tree (default build-fuzz-bas); crashes land
# in <tree>/catalog/crashes/, new inputs in <tree>/catalog/corpus.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_BUILD_DIR:-$root/build-fuzz-bas}
seconds=${1:-180}

. "$root/scripts/fuzz-build.sh"
build_fuzz_targets "$out" bas_catalog_fuzz

run_fuzz_target catalog "$out/catalog" "$out/bas/bas_catalog_fuzz" "$seconds" "$root/bas/fuzz/corpus-catalog" \
    -max_len=8192 -rss_limit_mb=512 -malloc_limit_mb=256 -timeout=2
