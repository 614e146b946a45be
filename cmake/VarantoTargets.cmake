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

# varanto_layer(NAME KIND [FOLDERS folder...] [PREFIXES prefix...])
# Enters a target in the layering table that scripts/check-layering reads:
# KIND is "library" or "program" (tests and benchmarks), FOLDERS the source
# folders (from the project's root) whose files belong to it, PREFIXES the
# include paths that reach a library's headers.
function(varanto_layer name kind)
  cmake_parse_arguments(ARG "" "" "FOLDERS;PREFIXES" ${ARGN})
  set_property(GLOBAL APPEND PROPERTY VARANTO_LAYERS ${name})
  set_property(GLOBAL PROPERTY VARANTO_LAYER_KIND_${name} ${kind})
  set_property(GLOBAL PROPERTY VARANTO_LAYER_FOLDERS_${name} ${ARG_FOLDERS})
  set_property(GLOBAL PROPERTY VARANTO_LAYER_PREFIXES_${name} ${ARG_PREFIXES})
endfunction()

# A library's folders: its source folders and its INCLUDE folders; its
# include prefixes: its source folders and the folders inside the INCLUDE
# folders.
function(varanto_library_layer name)
  cmake_parse_arguments(ARG "" "" "DIRS;INCLUDE" ${ARGN})
  varanto_source_folders(folders ${ARG_DIRS})
  set(prefixes ${folders})
  foreach(include ${ARG_INCLUDE})
    file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${include}")
    list(APPEND folders "${folder}")
    file(GLOB inside LIST_DIRECTORIES true RELATIVE "${include}" "${include}/*")
    foreach(entry ${inside})
      if(IS_DIRECTORY "${include}/${entry}")
        list(APPEND prefixes "${entry}")
      endif()
    endforeach()
  endforeach()
  varanto_layer(${name} library FOLDERS ${folders} PREFIXES ${prefixes})
endfunction()

# The libraries of the table that target reaches through its link
# dependencies, itself included when it is one.
function(varanto_reached_layers target layers out)
  set(reached)
  if(target IN_LIST layers)
    list(APPEND reached ${target})
  endif()
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    get_target_property(type ${current} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${current} LINK_LIBRARIES)
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    foreach(item IN LISTS links interface)
      # $<LINK_ONLY:x>, $<$<TARGET_EXISTS:x>:x> and the like name x last.
      string(REGEX REPLACE "^.*[:<]([^:<>]+)>+$" "\\1" item "${item}")
      if(item IN_LIST layers AND NOT item IN_LIST reached)
        list(APPEND reached ${item})
        list(APPEND queue ${item})
      endif()
    endforeach()
  endwhile()
  set(${out} ${reached} PARENT_SCOPE)
endfunction()

# Writes the layering table, one target a line: kind, name, folders,
# include prefixes and the libraries it reaches (tab-separated fields,
# space-separated lists). Called once every target is defined.
function(varanto_write_layering_table file)
  get_property(layers GLOBAL PROPERTY VARANTO_LAYERS)
  set(libraries)
  foreach(name ${layers})
    get_property(kind GLOBAL PROPERTY VARANTO_LAYER_KIND_${name})
    if(kind STREQUAL "library")
      list(APPEND libraries ${name})
    endif()
  endforeach()
  set(text "")
  foreach(name ${layers})
    get_property(kind GLOBAL PROPERTY VARANTO_LAYER_KIND_${name})
    get_property(folders GLOBAL PROPERTY VARANTO_LAYER_FOLDERS_${name})
    get_property(prefixes GLOBAL PROPERTY VARANTO_LAYER_PREFIXES_${name})
    varanto_reached_layers(${name} "${libraries}" reached)
    list(JOIN folders " " folders)
    list(JOIN prefixes " " prefixes)
    list(JOIN reached " " reached)
    string(APPEND text "${kind}\t${name}\t${folders}\t${prefixes}\t${reached}\n")
  endforeach()
  file(WRITE "${file}" "${text}")
endfunction()

# varanto_library(NAME DIRS dir... [INCLUDE dir...] [DEPS lib...])
# One static library made of every source below the given folders
# (tests/ and bench/ folders excluded). It exports only its own headers:
# the given folders (included by their path from the project's root) and
# the INCLUDE folders.
function(varanto_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;INCLUDE;DEPS;EXCLUDE" ${ARGN})
  # The folders are filtered by their path below this one, so that a
  # checkout that lies in a folder named like them keeps its sources.
  set(sources)
  foreach(dir ${ARG_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}"
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp"
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c"
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.m")
    list(APPEND sources ${found})
  endforeach()
  list(TRANSFORM sources PREPEND "/")
  list(FILTER sources EXCLUDE REGEX "/(tests|bench|fuzz|tools)/")
  foreach(pattern ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  list(TRANSFORM sources PREPEND "${CMAKE_CURRENT_SOURCE_DIR}")
  varanto_library_layer(${name} DIRS ${ARG_DIRS} INCLUDE ${ARG_INCLUDE})
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
  varanto_source_folders(folders ${ARG_DIR})
  varanto_layer(${name} program FOLDERS ${folders})
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
  varanto_source_folders(folders ${ARG_DIR})
  varanto_layer(${name} program FOLDERS ${folders})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main Threads::Threads)
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/testsupport/include")
  varanto_source_folders(folders ${ARG_DIR})
  varanto_include_root(${name} PRIVATE ${folders})
  varanto_apply_options(${name})
endfunction()

# The INPUTS folders of fuzz target NAME (from the current source folder),
# made absolute, into out. A target without any, or with one that holds no
# file, is refused: its replay would pass without replaying anything.
function(varanto_fuzz_input_folders name out)
  if(NOT ARGN)
    message(FATAL_ERROR "Fuzz target ${name} names no INPUTS folders (its seed corpus and the inputs that once failed)")
  endif()
  set(folders)
  foreach(folder ${ARGN})
    get_filename_component(path "${folder}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    if(NOT IS_DIRECTORY "${path}")
      message(FATAL_ERROR "Fuzz target ${name}: its INPUTS folder ${folder} does not exist (${path})")
    endif()
    file(GLOB_RECURSE files LIST_DIRECTORIES false "${path}/*")
    if(NOT files)
      message(FATAL_ERROR "Fuzz target ${name}: its INPUTS folder ${folder} holds no files (${path})")
    endif()
    list(APPEND folders "${path}")
  endforeach()
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# varanto_fuzz_target(NAME SOURCE file [LIBFUZZER] DEPS lib... INPUTS folder...)
# A fuzz target's source and the folders of its saved inputs (its seed corpus
# and the inputs that once failed), each of which must hold files. In every
# test build, NAME_replay: a GoogleTest program that runs the target's entry
# function over each file of the folders named on its command line, listed
# when it runs (a file added to a folder is replayed without a rebuild or a
# new configure), one test per file named after the file; and one CTest case
# per folder, NAME.<folder>, which also fails when the folder is missing or
# empty. With LIBFUZZER, a VARANTO_FUZZ build (clang) also makes NAME, the
# libFuzzer program that the library's fuzz/run-*.sh runs.
function(varanto_fuzz_target name)
  cmake_parse_arguments(ARG "LIBFUZZER" "SOURCE" "DEPS;INPUTS" ${ARGN})
  varanto_fuzz_input_folders(${name} folders ${ARG_INPUTS})
  if(VARANTO_FUZZ AND ARG_LIBFUZZER)
    add_executable(${name} ${ARG_SOURCE})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}")
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    varanto_apply_options(${name})
  endif()
  if(NOT VARANTO_TESTS)
    return()
  endif()
  add_executable(${name}_replay ${ARG_SOURCE} "${PROJECT_SOURCE_DIR}/testsupport/fuzz/FuzzReplayTest.cpp")
  target_link_libraries(${name}_replay PRIVATE ${ARG_DEPS} GTest::gtest Threads::Threads)
  target_include_directories(${name}_replay PRIVATE "${PROJECT_SOURCE_DIR}")
  varanto_apply_options(${name}_replay)
  foreach(folder path IN ZIP_LISTS ARG_INPUTS folders)
    add_test(NAME ${name}.${folder} COMMAND ${name}_replay "${path}" WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
    set_tests_properties(${name}.${folder} PROPERTIES TIMEOUT 300)
  endforeach()
endfunction()
