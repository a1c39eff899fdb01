# pkg-config files for hosts that do not build with CMake.
#
# A .pc file names its prefix as an absolute path, which is only known when
# installing (cmake --install --prefix, or /usr in the Debian packages). So the
# templates cmake/<name>.pc.in are filled in twice: now with everything but
# the prefix, and at install time with CMAKE_INSTALL_PREFIX.

# Installs <name>.pc, from cmake/<name>.pc.in, for each name given.
function(tnui_install_pkgconfig)
  foreach(dir LIBDIR INCLUDEDIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
      set(TNUI_PC_${dir} "${CMAKE_INSTALL_${dir}}")
    else()
      set(TNUI_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
    endif()
  endforeach()
  set(destination "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
  if(NOT IS_ABSOLUTE "${destination}")
    set(destination "\${CMAKE_INSTALL_PREFIX}/${destination}")
  endif()
  # Left for the second pass.
  set(CMAKE_INSTALL_PREFIX "@CMAKE_INSTALL_PREFIX@")
  foreach(name IN LISTS ARGN)
    set(template "${PROJECT_BINARY_DIR}/pkgconfig/${name}.pc.in")
    configure_file("${PROJECT_SOURCE_DIR}/cmake/${name}.pc.in" "${template}" @ONLY)
    # Each prefix gets its own file in the build folder, so that installs to
    # different prefixes may run at once.
    install(CODE "
      set(pc \"${PROJECT_BINARY_DIR}/pkgconfig/\${CMAKE_INSTALL_PREFIX}/${name}.pc\")
      configure_file(\"${template}\" \"\${pc}\" @ONLY)
      file(INSTALL DESTINATION \"${destination}\" TYPE FILE FILES \"\${pc}\")"
      COMPONENT Development)
  endforeach()
endfunction()
