# Helpers shared by every folder's CMakeLists.txt.

# ixo_library(NAME SOURCES... [DEPS libs...])
# One library per folder; its public headers are included as "folder/Header.h".
function(ixo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads)
endfunction()

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
