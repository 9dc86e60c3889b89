# cmake --install BUILD [--prefix P]: the programs and what they read beside themselves in
# P/lib/ixo, a link to each program in P/bin, and Stellan's systemd units in
# P/lib/systemd/system. The programs find their data and settings files in their own
# folder (the links resolve to it), so the folder is installed whole.
set(IXO_INSTALL_DIR lib/ixo)
set(ixo_programs "")
foreach(program tessaly travex stellan quillon varoda)
  if(TARGET ${program})
    list(APPEND ixo_programs ${program})
  endif()
endforeach()
# What ./run.sh builds: the programs alone, none of the test, bench and fuzz targets.
add_custom_target(programs DEPENDS ${ixo_programs})

install(TARGETS ${ixo_programs} RUNTIME DESTINATION ${IXO_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${IXO_INSTALL_DIR})

foreach(program IN LISTS ixo_programs)
  install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(MAKE_DIRECTORY \"\${bin}\")
    file(REMOVE \"\${bin}/${program}\")
    file(CREATE_LINK \"../${IXO_INSTALL_DIR}/${program}\" \"\${bin}/${program}\" SYMBOLIC)")
endforeach()

# The units are written by the installed Stellan itself ("-install:all"), so they name the
# installed program and say what "stellan -install" would. A re-install replaces them.
if(TARGET stellan)
  install(CODE "
    set(units \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/system\")
    file(MAKE_DIRECTORY \"\${units}\")
    file(GLOB old \"\${units}/ixobootpservice*.service\" \"\${units}/ixo-chronel-service-ntp*.service\")
    if(old)
      file(REMOVE_RECURSE \${old})
    endif()
    execute_process(
      COMMAND \${CMAKE_COMMAND} -E env \"IXO_SERVICE_DIR=\${units}\" IXO_SYSTEMCTL=/nonexistent
              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${IXO_INSTALL_DIR}/stellan\" -install:all
      RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR \"stellan -install:all failed (\${result}): \${output}\")
    endif()
    message(STATUS \"Installed: \${units} (Stellan's units)\")")
endif()
