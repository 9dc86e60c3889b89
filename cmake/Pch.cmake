# Precompiled headers: the Qt Widgets, standard and GoogleTest headers are parsed once per build
# instead of once per source (they are most of a GUI object's compile time).
#
# Three host targets each compile one precompiled header; every other target reuses the one
# whose compile flags it shares (REUSE_FROM needs the same flags, or the compiler rejects the
# header and -Winvalid-pch, an error here, says so):
#   ixo_pch_qt       Qt Widgets + standard       libraries that use Qt
#   ixo_pch_qt_test  Qt Widgets + GoogleTest     test programs that use Qt
#   ixo_pch_test     standard + GoogleTest       test programs without Qt
# ixo_apply_pch() runs once all folders are added and sorts the targets by what they link.
# IXO_PCH=OFF builds without them (to check that each source includes what it uses).

option(IXO_PCH "Precompile the Qt, standard and GoogleTest headers" ON)

set(IXO_PCH_DIR ${CMAKE_CURRENT_LIST_DIR}/pch)

function(ixo_pch_hosts)
  add_executable(ixo_pch_test EXCLUDE_FROM_ALL ${IXO_PCH_DIR}/PchHost.cpp)
  target_link_libraries(ixo_pch_test PRIVATE GTest::gtest GTest::gmock Threads::Threads)
  target_precompile_headers(ixo_pch_test PRIVATE ${IXO_PCH_DIR}/TestPch.h)
  if(IXO_BUILD_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
    add_library(ixo_pch_qt STATIC EXCLUDE_FROM_ALL ${IXO_PCH_DIR}/PchHostLib.cpp)
    target_link_libraries(ixo_pch_qt PRIVATE Qt6::Widgets Qt6::PrintSupport)
    target_precompile_headers(ixo_pch_qt PRIVATE ${IXO_PCH_DIR}/QtPch.h)
    add_executable(ixo_pch_qt_test EXCLUDE_FROM_ALL ${IXO_PCH_DIR}/PchHost.cpp)
    # Not QtTest: it defines the test folder's paths as macros, which differ from folder to
    # folder and would make the header unusable in all folders but one.
    target_link_libraries(ixo_pch_qt_test PRIVATE Qt6::Widgets Qt6::PrintSupport
                                                   GTest::gtest GTest::gmock Threads::Threads)
    target_precompile_headers(ixo_pch_qt_test PRIVATE ${IXO_PCH_DIR}/QtTestPch.h)
  endif()
endfunction()

# Every target a dependency passes its compile flags on from: the target's own link libraries,
# then their usage requirements (link-only entries carry no flags and are left out).
function(_ixo_pch_closure target out)
  get_target_property(todo ${target} LINK_LIBRARIES)
  set(seen "")
  while(todo)
    list(POP_FRONT todo item)
    if(NOT item OR item MATCHES "^\\$<" OR item IN_LIST seen OR NOT TARGET ${item})
      continue()
    endif()
    list(APPEND seen ${item})
    get_target_property(more ${item} INTERFACE_LINK_LIBRARIES)
    if(more)
      list(APPEND todo ${more})
    endif()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(_ixo_pch_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _ixo_pch_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(ixo_apply_pch)
  if(NOT IXO_PCH)
    return()
  endif()
  ixo_pch_hosts()
  _ixo_pch_targets(${PROJECT_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$" OR target MATCHES "^ixo_pch_")
      continue()
    endif()
    _ixo_pch_closure(${target} deps)
    set(host "")
    if(type STREQUAL "STATIC_LIBRARY")
      if("Qt6::Widgets" IN_LIST deps AND NOT "GTest::gtest" IN_LIST deps)
        set(host ixo_pch_qt)
      endif()
    elseif("GTest::gtest" IN_LIST deps AND "GTest::gmock" IN_LIST deps)
      if(NOT "Qt6::Widgets" IN_LIST deps)
        set(host ixo_pch_test)
      elseif("Qt6::PrintSupport" IN_LIST deps)
        set(host ixo_pch_qt_test)
      endif()
    endif()
    if(host)
      set_property(TARGET ${target} PROPERTY PRECOMPILE_HEADERS_REUSE_FROM ${host})
    endif()
  endforeach()
endfunction()
