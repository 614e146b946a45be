#!/bin/sh
# Builds the container reader's fuzz target with clang's libFuzzer under
# AddressSanitizer and runs it over the seed corpus.
#   bas/fuzz/run-container-fuzz.sh [seconds]    (default 180)
# The target needs only the reader and the memory storage, so it is built
# here rather than by the CMake build.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-180}
out=${FUZZ_OUT:-/tmp/container-fuzz}
mkdir -p "$out/corpus"
cp -n "$here/corpus/"* "$out/corpus/" 2>/dev/null || true

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" -I"$root/bas/include" \
  "$here/ContainerReaderFuzz.cpp" \
  "$root/bas/src/Container/ContainerReader.cpp" \
  "$root/bas/src/Container/FileContainerMetaHeader.cpp" \
  "$root/bas/src/Storage/MemoryStorage.cpp" \
  -o "$out/container-fuzz"

# Runs in a copy of the corpus so that new inputs stay out of the tree.
exec "$out/container-fuzz" -max_total_time="$seconds" -rss_limit_mb=512 -malloc_limit_mb=256 \
  -timeout=2 -max_len=8192 "$out/corpus"
