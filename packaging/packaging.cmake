# A standard install's desktop integration, and the Debian package (cpack -G DEB in the
# build folder). Included from the top-level CMakeLists.txt.
set(ZORVANE_APP_ID org.zorvane.Zorvane)
set(dir ${CMAKE_CURRENT_LIST_DIR})
install(FILES ${dir}/${ZORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dir}/${ZORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dir}/zorvane.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${dir}/zorvane.6 ${dir}/zorvane-campaign.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvane)
set(CPACK_PACKAGE_VENDOR Zorvane)
set(CPACK_PACKAGE_CONTACT "Zorvane maintainers <zorvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "strategic campaign around a tactical battle game")
set(CPACK_PACKAGE_DESCRIPTION
  "Up to ten teams hold the cells of a square grid map. Turn by turn they move their armies, "
  "reinforce their cells and attack each other, and every battle is fought by a tactical game, "
  "of which a stand-in comes with the package. Includes zorvane-campaign, which plays whole "
  "campaigns without a window.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the programs link are found by dpkg-shlibdeps; Qt's platform plugins are
# loaded at run time and the fonts are data, so those are named here.
set(ZORVANE_RUNTIME_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
find_program(ZORVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ZORVANE_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS ${ZORVANE_RUNTIME_DEPENDS})
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), ${ZORVANE_RUNTIME_DEPENDS}")
endif()
include(CPack)
