# Makes the Debian packages of the build with cpack, checks what they hold and
# declare, unpacks them into a root folder with dpkg -x, and builds and runs
# the outside consumers against that root twice: through the CMake package
# and through the pkg-config files.
# Arguments: -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DCPACK=... -DCXX=...
#   -DVERSION=<the project's version> -DMULTIARCH=<e.g. x86_64-linux-gnu>
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")
set(root "${WORK_DIR}/root")
set(libdir "usr/lib/${MULTIARCH}")
string(REGEX MATCH "^[0-9]+" major "${VERSION}")

include(${CMAKE_CURRENT_LIST_DIR}/run.cmake)

# Runs a command and sets out to what it printed.
function(output out)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE text)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

output(log "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}/packages")
file(GLOB debs "${WORK_DIR}/packages/*.deb")
list(LENGTH debs count)
file(GLOB runtime "${WORK_DIR}/packages/libtnui${major}_${VERSION}-*.deb")
file(GLOB dev "${WORK_DIR}/packages/libtnui-dev_${VERSION}-*.deb")
if(NOT count EQUAL 2 OR NOT runtime OR NOT dev)
  message(FATAL_ERROR "expected libtnui${major} and libtnui-dev ${VERSION}, cpack made: ${debs}\n${log}")
endif()

# Every file lies in the library folder, under include/tnUI or in the
# documentation; the runtime package holds exactly the versioned libraries.
set(allowed "^(usr|usr/lib|${libdir}(/.*)?|usr/include|usr/include/tnUI(/.*)?|usr/share|usr/share/doc(/.*)?)$")
foreach(kind runtime dev)
  output(listing dpkg-deb -c "${${kind}}")
  string(REGEX MATCHALL "\\./[^\n]*" entries "${listing}")
  set(files "")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE "^\\./| -> .*$|/$" "" path "${entry}")
    if(path AND NOT path MATCHES "${allowed}")
      message(FATAL_ERROR "${${kind}} holds ${path}, outside the package's folders")
    endif()
    if(path MATCHES "^${libdir}/[^/]*\\.so")
      list(APPEND files ${path})
    endif()
  endforeach()
  set(${kind}_libraries ${files})
endforeach()
set(expected "")
foreach(library UIBase_3A UIWidgets_3A)
  list(APPEND expected ${libdir}/lib${library}.so.${major} ${libdir}/lib${library}.so.${VERSION})
endforeach()
list(SORT expected)
list(SORT runtime_libraries)
if(NOT runtime_libraries STREQUAL expected)
  message(FATAL_ERROR "the runtime package holds the libraries ${runtime_libraries}, not ${expected}")
endif()
list(SORT dev_libraries)
if(NOT dev_libraries STREQUAL "${libdir}/libUIBase_3A.so;${libdir}/libUIWidgets_3A.so")
  message(FATAL_ERROR "the development package holds the libraries ${dev_libraries}, not the two .so links")
endif()

# The development package needs its runtime package at exactly its version and
# Qt's development files; the runtime package needs Qt's libraries, which
# dpkg-shlibdeps found.
output(depends dpkg-deb -f "${dev}" Depends)
if(NOT depends MATCHES "libtnui${major} \\(= ${VERSION}-[0-9]+\\)" OR NOT depends MATCHES "qt6-base-dev")
  message(FATAL_ERROR "libtnui-dev depends on: ${depends}")
endif()
output(depends dpkg-deb -f "${runtime}" Depends)
if(NOT depends MATCHES "libqt6widgets6")
  message(FATAL_ERROR "libtnui${major} depends on: ${depends}")
endif()

foreach(deb IN LISTS runtime dev)
  run(dpkg-deb -x "${deb}" "${root}")
endforeach()
# The packaged libraries are stripped of the debug information the build keeps.
output(sections readelf -S "${root}/${libdir}/libUIBase_3A.so.${VERSION}")
if(sections MATCHES "\\.debug_info")
  message(FATAL_ERROR "the packaged libUIBase_3A carries debug information")
endif()
set(ENV{LD_LIBRARY_PATH} "${root}/${libdir}")

# Through CMake: find_package(tnUI) in the root.
run("${CMAKE_COMMAND}" -S "${SOURCE_DIR}/tests/package/consumer" -B "${WORK_DIR}/cmake" -G Ninja
    "-DCMAKE_PREFIX_PATH=${root}/usr" "-DCMAKE_CXX_COMPILER=${CXX}" -DCMAKE_BUILD_TYPE=Release
    "-DTNUI_VERSION=${VERSION}")
run("${CMAKE_COMMAND}" --build "${WORK_DIR}/cmake")
foreach(consumer consumer qt_consumer widgets_consumer)
  run("${WORK_DIR}/cmake/${consumer}")
endforeach()

# Through pkg-config, with the root as the system root. The .pc files name
# /usr paths, which pkg-config moves into the root, Qt's among them: the root
# gets links to Qt's headers and mkspecs as a system with qt6-base-dev has.
foreach(qt_dir includedir libdir)
  execute_process(COMMAND pkg-config --variable=${qt_dir} Qt6Core OUTPUT_VARIABLE dir OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(qt_dir STREQUAL "libdir")
    string(APPEND dir /qt6)
  endif()
  get_filename_component(parent "${root}${dir}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  file(CREATE_LINK "${dir}" "${root}${dir}" SYMBOLIC)
endforeach()
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${root}")
set(ENV{PKG_CONFIG_PATH} "${root}/${libdir}/pkgconfig")
output(found pkg-config --modversion tnui tnui-qt tnui-widgets)
if(NOT found STREQUAL "${VERSION}\n${VERSION}\n${VERSION}\n")
  message(FATAL_ERROR "pkg-config found the versions ${found}")
endif()
foreach(consumer model:tnui qt:tnui-qt widgets:tnui-widgets)
  string(REPLACE ":" ";" consumer "${consumer}")
  list(GET consumer 0 source)
  list(GET consumer 1 package)
  output(flags pkg-config --cflags --libs ${package})
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run("${CXX}" -std=c++20 -Wall -Wextra -Wpedantic -Werror "${SOURCE_DIR}/tests/package/consumer/${source}.cpp"
      ${flags} -o "${WORK_DIR}/pc_${source}")
  run("${WORK_DIR}/pc_${source}")
endforeach()
