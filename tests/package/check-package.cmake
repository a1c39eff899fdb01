# Installs the build tree into a temporary prefix, checks that exactly the
# public headers were installed, then configures, builds and runs the outside
# consumers against it.
# Arguments: -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DCXX=...
#   -DVERSION=<the project's version>
#   -DHEADER_LISTS=<file that sets TNUI_PUBLIC_HEADERS>
#   [-DSANITIZE_FLAGS=<compile and link flags of an instrumented library>]
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

include(${CMAKE_CURRENT_LIST_DIR}/run.cmake)

run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}")

include("${HEADER_LISTS}")
file(GLOB_RECURSE installed RELATIVE "${prefix}/include/tnUI" "${prefix}/include/tnUI/*")
list(SORT installed)
list(SORT TNUI_PUBLIC_HEADERS)
if(NOT installed STREQUAL TNUI_PUBLIC_HEADERS)
  set(extra ${installed})
  list(REMOVE_ITEM extra ${TNUI_PUBLIC_HEADERS})
  set(missing ${TNUI_PUBLIC_HEADERS})
  list(REMOVE_ITEM missing ${installed})
  message(FATAL_ERROR "installed headers differ from the public ones: not public ${extra}; not installed ${missing}")
endif()

run("${CMAKE_COMMAND}" -S "${SOURCE_DIR}/tests/package/consumer" -B "${WORK_DIR}/build" -G Ninja
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}" -DCMAKE_BUILD_TYPE=Release
    "-DTNUI_VERSION=${VERSION}"
    "-DCMAKE_CXX_FLAGS=${SANITIZE_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZE_FLAGS}")
run("${CMAKE_COMMAND}" --build "${WORK_DIR}/build")
run("${WORK_DIR}/build/consumer")
run("${WORK_DIR}/build/qt_consumer")
run("${WORK_DIR}/build/widgets_consumer")
