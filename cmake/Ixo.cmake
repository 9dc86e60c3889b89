# Helpers shared by every folder's CMakeLists.txt.

option(IXO_UNITY "Compile each library's and test program's sources in batches" ON)
set(IXO_UNITY_BATCH 8 CACHE STRING "Sources compiled together in one batch")

# ixo_unity(TARGET)
# Most of a source's compile time, and most of the memory the compiler touches, goes to the
# headers it shares with the other sources of its target (the standard library, Qt, GoogleTest,
# the library's own headers): compiled in batches, a target parses them once per batch. Two
# sources of one target therefore must not give one file-local name (anonymous namespace or
# static) two meanings; a source that cannot share its batch sets SKIP_UNITY_BUILD_INCLUSION.
function(ixo_unity target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ${IXO_UNITY}
                                             UNITY_BUILD_BATCH_SIZE ${IXO_UNITY_BATCH})
  if(IXO_UNITY AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # In a batch every source is an included file, so a class in an anonymous namespace looks
    # to GCC like a header's type that a class derived from it could leak.
    target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
  endif()
endfunction()

# ixo_library(NAME SOURCES... [DEPS libs...])
# One library per folder; its public headers are included as "folder/Header.h".
function(ixo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  ixo_unity(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads)
endfunction()

# ixo_test_program(TARGET): a program only tests start; it lies beside the tests.
function(ixo_test_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${IXO_TEST_DIR})
endfunction()

# ixo_link_programs(DIR): links in DIR to the programs and the data beside them, so a test
# or benchmark there starts "travex" or "nodesim" beside itself as the programs do. A link
# to a program this build leaves out (no GUI) dangles harmlessly.
function(ixo_link_programs dir)
  file(MAKE_DIRECTORY ${dir})
  foreach(name travex stellan nodesim tessaly quillon varoda template.cfg Config.cfg help)
    file(CREATE_LINK ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name} ${dir}/${name} SYMBOLIC)
  endforeach()
endfunction()

# The tests' runtime folder (sockets and shared objects between the suite's processes),
# private to the user as a runtime folder must be; the test presets point
# XDG_RUNTIME_DIR at it, so nothing is left in /tmp and Qt has one to use.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-runtime)
file(CHMOD ${CMAKE_BINARY_DIR}/test-runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# ixo_test(NAME SOURCES... [DEPS libs...] [LABEL unit|net|gui|peer] [TIMEOUT s])
# A GoogleTest program whose tests CTest discovers one by one.
#   net:  every test runs inside a fresh network namespace (scripts/netns-run);
#         exit code 77 means "no namespace here" and is reported as skipped.
#   gui:  Qt's offscreen platform.
function(ixo_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  ixo_test_program(${name})
  ixo_unity(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  set(props LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT} SKIP_RETURN_CODE 77)
  if(ARG_LABEL STREQUAL "net" OR ARG_LABEL STREQUAL "peer")
    set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/netns-run)
  endif()
  if(ARG_LABEL STREQUAL "gui")
    list(APPEND props ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
endfunction()

# ixo_version_record(TARGET MAJOR n MINOR n PATCH n STAGE n PATCHDIGIT n BUILD n
#                    PRODUCT "text" COPYRIGHT "text" [BUILDDATE "text"])
# Compiles the program's version record into TARGET (read with os/VersionRecord.h).
# BUILDDATE defaults to the configure date ("11 August 2006"; SOURCE_DATE_EPOCH is honoured).
function(ixo_version_record target)
  set(numbers MAJOR MINOR PATCH STAGE PATCHDIGIT BUILD)
  cmake_parse_arguments(ARG "" "${numbers};PRODUCT;COPYRIGHT;BUILDDATE" "" ${ARGN})
  if(NOT DEFINED ARG_BUILDDATE)
    string(TIMESTAMP ARG_BUILDDATE "%d %B %Y")
    string(REGEX REPLACE "^0" "" ARG_BUILDDATE "${ARG_BUILDDATE}")
  endif()
  set(keys major minor patch stage patchDigit build)
  set(lines "")
  foreach(number key IN ZIP_LISTS numbers keys)
    if(NOT "${ARG_${number}}" MATCHES "^[0-9]+$" OR ARG_${number} GREATER 65535)
      message(FATAL_ERROR "ixo_version_record(${target}): ${number} must be 0 to 65535")
    endif()
    string(APPEND lines "    \"${key}=${ARG_${number}}\\n\"\n")
  endforeach()
  set(texts BUILDDATE COPYRIGHT PRODUCT)
  set(keys buildDate copyright productName)
  foreach(text key IN ZIP_LISTS texts keys)
    set(value "${ARG_${text}}")
    if(value MATCHES "[\r\n]")
      message(FATAL_ERROR "ixo_version_record(${target}): ${text} must be one line")
    endif()
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(APPEND lines "    \"${key}=${value}\\n\"\n")
  endforeach()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_record.cpp)
  file(CONFIGURE OUTPUT ${file} @ONLY CONTENT
"// Made by ixo_version_record(): the version record of ${target}.
extern \"C\" {
__attribute__((used)) extern const char ixo_version_record[] =
    \"\\x7f\" \"IXOVERSIONREC\" \"\\x01\\x02\"
${lines};
}
")
  target_sources(${target} PRIVATE ${file})
endfunction()
