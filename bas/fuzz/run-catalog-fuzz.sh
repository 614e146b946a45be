#!/bin/sh
# Builds the message-catalogue reader's fuzz target with clang's libFuzzer
# under AddressSanitizer and UndefinedBehaviorSanitizer and runs it over the
# seed corpus (catalogues made by msgfmt from the test catalogue).
#   bas/fuzz/run-catalog-fuzz.sh [seconds]    (default 180)
# The target needs only the reader, so it is built here rather than by the
# CMake build.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-180}
out=${FUZZ_OUT:-/tmp/catalog-fuzz}
mkdir -p "$out/corpus"
cp -n "$here/corpus-catalog/"* "$out/corpus/" 2>/dev/null || true

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" -I"$root/bas/include" \
  "$here/MoCatalogFuzz.cpp" \
  "$root/bas/src/GetText/MoCatalogReader.cpp" \
  -o "$out/catalog-fuzz"

# Runs in a copy of the corpus so that new inputs stay out of the tree.
exec "$out/catalog-fuzz" -max_total_time="$seconds" -rss_limit_mb=512 -malloc_limit_mb=256 \
  -timeout=2 -max_len=8192 -print_final_stats=1 "$out/corpus"
