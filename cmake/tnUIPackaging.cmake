# Debian packages made with CPack from the install components:
#   libtnui<major>  Runtime: libUIBase_3A.so.<major> and libUIWidgets_3A.so.<major>
#   libtnui-dev     Development: headers, the .so links, the CMake package and
#                   the pkg-config files; depends on the runtime package of the
#                   same version and on Qt's development files.
# make package runs cpack in the release build; the test deb_packages checks
# and uses the packages.

set(TNUI_PACKAGE_MAINTAINER "tnUI developers <tnui@example.org>"
  CACHE STRING "Maintainer field of the Debian packages (Name <address>)")

if(CMAKE_LIBRARY_ARCHITECTURE AND NOT CMAKE_INSTALL_LIBDIR STREQUAL "lib/${CMAKE_LIBRARY_ARCHITECTURE}")
  message(WARNING "The Debian packages will hold the libraries in /usr/${CMAKE_INSTALL_LIBDIR}, "
    "not in Debian's /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}: configure with "
    "-DCMAKE_INSTALL_LIBDIR=lib/${CMAKE_LIBRARY_ARCHITECTURE}")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tnui)
set(CPACK_PACKAGE_VENDOR "tnUI developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first line of each component's description is its package's synopsis:
# cpack would put the project's summary above it (cmake/tnUICPackOptions.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/tnUICPackOptions.cmake)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The libraries carry debug information for the ABI check; packages need none.
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TNUI_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The development package depends on the runtime package of exactly its version.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtnui${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The runtime package's dependencies (Qt, the C++ runtime) come from
# dpkg-shlibdeps, and its shlibs file lets packages built against it depend on
# it the same way.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "toolkit-independent user-interface model (tnUI) - shared libraries
tnUI holds an application's interface as objects independent of any widget
toolkit: commands and tools, observable values, menus, the application, its
documents and windows. This package holds the shared libraries: the model
with its Qt marking menus (libUIBase_3A) and the Qt Widgets binding for
hosts (libUIWidgets_3A).")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libtnui-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev (>= 6.4)")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SUGGESTS "cmake, pkg-config")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "toolkit-independent user-interface model (tnUI) - development files
tnUI holds an application's interface as objects independent of any widget
toolkit: commands and tools, observable values, menus, the application, its
documents and windows. This package holds the C++20 headers (<tnUI/...>),
the CMake package (find_package(tnUI), targets tnUI::UIBase, tnUI::UIBaseQt
and tnUI::Widgets) and the pkg-config files tnui, tnui-qt and tnui-widgets.")

include(CPack)
