# Sourced by the fuzz run scripts of the libraries whose fuzz targets CMake
# builds (VARANTO_FUZZ): configures a clang build tree with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer and builds the targets
# named. The code is compiled as for fuzzing (FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION:
# the image readers skip their checksum tests, so that mutations are not all
# stopped there).
#
#   . "$root/scripts/fuzz-build.sh"
#   build_fuzz_targets <build tree> <target> [<target> ...]
#
# CC_FUZZ and CXX_FUZZ choose the compilers (clang, clang++), FUZZ_JOBS the
# parallel jobs (3).
build_fuzz_targets() {
    fuzz_tree=$1
    shift
    # The platform layer includes the object run time's headers, which come
    # with GCC; clang sees only that folder of GCC's headers.
    mkdir -p "$fuzz_tree/objc-include"
    fuzz_objc=$(dirname "$(gcc -print-file-name=include/objc/runtime.h)")
    ln -sfn "$fuzz_objc" "$fuzz_tree/objc-include/objc"
    fuzz_flags="-O1 -fsanitize=fuzzer-no-link -DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION -isystem $fuzz_tree/objc-include"

    CC=${CC_FUZZ:-clang} CXX=${CXX_FUZZ:-clang++} cmake -S "$root" -B "$fuzz_tree" -G Ninja \
        -DCMAKE_BUILD_TYPE=Debug -DVARANTO_SANITIZE=ON -DVARANTO_FUZZ=ON \
        -DVARANTO_TESTS=OFF -DVARANTO_BENCHMARKS=OFF \
        -DCMAKE_C_FLAGS="$fuzz_flags" -DCMAKE_CXX_FLAGS="$fuzz_flags" >/dev/null
    cmake --build "$fuzz_tree" --target "$@" -j"${FUZZ_JOBS:-3}"
}
