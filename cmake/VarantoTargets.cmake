# Shared settings and small helpers for the project's targets.

set(VARANTO_WARNINGS -Wall -Wextra)

function(varanto_apply_options target)
  target_compile_options(${target} PRIVATE ${VARANTO_WARNINGS})
  if(VARANTO_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(VARANTO_TSAN)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
endfunction()

# varanto_include_root(TARGET SCOPE folder...)
# Adds to the target an include folder of its own that holds only the given
# source folders (paths from the project's root, kept as they are: an
# include root for "usx2" lets "usx2/usb/..." be included and nothing
# else), made of links in the build tree.
function(varanto_include_root target scope)
  set(root "${PROJECT_BINARY_DIR}/include-roots/${target}")
  foreach(folder ${ARGN})
    get_filename_component(parent "${root}/${folder}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    if(NOT EXISTS "${root}/${folder}")
      file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} ${scope} "${root}")
endfunction()

# The source folders of dirs below the current one, from the project's root.
function(varanto_source_folders out)
  set(folders)
  foreach(dir ${ARGN})
    file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}/${dir}")
    list(APPEND folders "${folder}")
  endforeach()
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# varanto_library(NAME DIRS dir... [INCLUDE dir...] [DEPS lib...])
# One static library made of every source below the given folders
# (tests/ and bench/ folders excluded). It exports only its own headers:
# the given folders (included by their path from the project's root) and
# the INCLUDE folders.
function(varanto_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;INCLUDE;DEPS;EXCLUDE" ${ARGN})
  set(sources)
  foreach(dir ${ARG_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp"
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c"
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.m")
    list(APPEND sources ${found})
  endforeach()
  list(FILTER sources EXCLUDE REGEX "/(tests|bench|fuzz|tools)/")
  foreach(pattern ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  if(NOT sources)
    # Nothing built yet: headers only.
    add_library(${name} INTERFACE)
    varanto_source_folders(folders ${ARG_DIRS})
    varanto_include_root(${name} INTERFACE ${folders})
    target_include_directories(${name} INTERFACE ${ARG_INCLUDE})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  varanto_source_folders(folders ${ARG_DIRS})
  varanto_include_root(${name} PUBLIC ${folders})
  target_include_directories(${name} PUBLIC ${ARG_INCLUDE})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  varanto_apply_options(${name})
endfunction()

# varanto_tests(NAME DIR dir DEPS lib... [ROOTS folder...])
# One GoogleTest program made of every .cpp in the folder; each test is a CTest case.
# Besides its libraries' headers it includes those of its own folder and of
# the ROOTS folders (paths from the project's root, such as another
# program's shared fixtures).
function(varanto_tests name)
  if(NOT VARANTO_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "DIR" "DEPS;ROOTS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  # Helpers every test program shares ("VarantoTest/..."), and its own.
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/testsupport/include")
  varanto_source_folders(folders ${ARG_DIR})
  varanto_include_root(${name} PRIVATE ${folders} ${ARG_ROOTS})
  target_compile_definitions(${name} PRIVATE
    VARANTO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VARANTO_BINARY_DIR="${PROJECT_BINARY_DIR}"
    VARANTO_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/data")
  varanto_apply_options(${name})
  gtest_discover_tests(${name}
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()

# varanto_desktop_requirement_tests(NAME FILTER filter)
# Runs the desktop tests of the program that the filter selects where no X
# server can start (Xvfb is not on PATH): they skip themselves, and fail
# under CI (CI=true) or with VARANTO_REQUIRE_DESKTOP=1.
function(varanto_desktop_requirement_tests name)
  cmake_parse_arguments(ARG "" "FILTER" "" ${ARGN})
  if(NOT TARGET ${name})
    return()
  endif()
  set(run PATH=/nonexistent $<TARGET_FILE:${name}> --gtest_filter=${ARG_FILTER})
  add_test(NAME ${name}.WithoutDesktop.Skips COMMAND env -u CI -u VARANTO_REQUIRE_DESKTOP ${run})
  set_tests_properties(${name}.WithoutDesktop.Skips PROPERTIES
    PASS_REGULAR_EXPRESSION "\\[  SKIPPED \\]" FAIL_REGULAR_EXPRESSION "required|FAILED")
  add_test(NAME ${name}.WithoutDesktop.FailsUnderCI COMMAND env -u VARANTO_REQUIRE_DESKTOP CI=true ${run})
  add_test(NAME ${name}.WithoutDesktop.FailsWhenRequired COMMAND env -u CI VARANTO_REQUIRE_DESKTOP=1 ${run})
  set_tests_properties(${name}.WithoutDesktop.FailsUnderCI ${name}.WithoutDesktop.FailsWhenRequired PROPERTIES
    PASS_REGULAR_EXPRESSION "No desktop, and one is required" FAIL_REGULAR_EXPRESSION "SKIPPED")
endfunction()

# varanto_benchmarks(NAME DIR dir DEPS lib...)
# One Google Benchmark program made of every .cpp in the folder; not run by CTest.
function(varanto_benchmarks name)
  if(NOT VARANTO_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "DIR" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main Threads::Threads)
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/testsupport/include")
  varanto_source_folders(folders ${ARG_DIR})
  varanto_include_root(${name} PRIVATE ${folders})
  varanto_apply_options(${name})
endfunction()
