# Sourced by the fuzz run scripts of the libraries whose fuzz targets CMake
# builds (VARANTO_FUZZ): configures a clang build tree with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer and builds the targets
# named. The code is compiled as for fuzzing (FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION:
# the image readers skip their checksum tests, so that mutations are not all
# stopped there).
#
#   . "$root/scripts/fuzz-build.sh"
#   build_fuzz_targets <build tree> <target> [<target> ...]
#   run_fuzz_target <name> <work folder> <program> <seconds> <seeds> [<option> ...]
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

# run_fuzz_target <name> <work folder> <program> <seconds> <seed folder> [<libFuzzer option> ...]
# Runs a built target for the time given inside an empty folder of its own
# (<work>/cwd), on its seeds and the inputs it found before (<work>/corpus,
# where new ones go); crashes land in <work>/crashes/, its output in
# <work>/fuzz.log. Prints the number of runs; returns 1 when it failed.
run_fuzz_target() {
    fuzz_name=$1 fuzz_work=$2 fuzz_program=$3 fuzz_seconds=$4 fuzz_seeds=$5
    shift 5
    mkdir -p "$fuzz_work/corpus" "$fuzz_work/crashes" "$fuzz_work/cwd"
    echo "== $fuzz_name: $fuzz_seconds s"
    fuzz_status=0
    (cd "$fuzz_work/cwd" && ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} "$fuzz_program" \
        -max_total_time="$fuzz_seconds" "$@" -artifact_prefix="$fuzz_work/crashes/" -print_final_stats=1 \
        "$fuzz_work/corpus" "$fuzz_seeds" </dev/null 2>"$fuzz_work/fuzz.log") ||
        { fuzz_status=1; echo "   failed: see $fuzz_work/fuzz.log"; }
    grep -E "^(stat::number_of_executed_units|Done)" "$fuzz_work/fuzz.log" || true
    return $fuzz_status
}
