# Installs the two demos and demo-capture with their desktop entries, icons and manual pages, and
# packs them as a Debian package: `cpack -G DEB` in the build folder.
if(NOT TARGET demo-windowed)
  return()  # a build without the desktop programs (the web build) has nothing to install
endif()
include(GNUInstallDirs)

install(TARGETS demo-windowed demo-fullscreen demo-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES dist/novu4471-windowed.desktop dist/novu4471-fullscreen.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
file(GLOB novu_icons "${PROJECT_SOURCE_DIR}/assets/icons/*.png")
foreach(icon IN LISTS novu_icons)
  get_filename_component(size "${icon}" NAME_WE)  # 16x16, 32x32, ...
  install(FILES "${icon}" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps RENAME novu4471.png)
endforeach()
install(FILES dist/demo-windowed.6 dist/demo-fullscreen.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES dist/demo-capture.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME novu4471)
set(CPACK_PACKAGE_VERSION 0.1.0)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time software-rendered audiovisual demo")
set(CPACK_PACKAGE_DESCRIPTION "Seven visual parts drawn pixel by pixel into one 256 x 256 picture
at 50 frames per second, over percussive music generated while it plays.
demo-capture runs it without a screen and records its pictures and sound.")
set(CPACK_PACKAGE_CONTACT "NOVU4471 maintainers <maintainers@novu4471.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_STRIP_FILES ON)
# For libSDL-1.2.so.0 dpkg-shlibdeps names libsdl1.2debian, which the classic SDL 1.2 also
# satisfies, and that one ignores the scaling the desktop entries ask for: the compatibility
# layer's runtime is named instead. dpkg-shlibdeps adds the C and C++ runtimes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl1.2-compat-shim (>= 1.2.60)")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
