# Install rules and the Debian package (`make package`). Included after every program has
# been added to the build.
include(GNUInstallDirs)

set(RUSENA_APP_ID org.example.rusena)

if(TARGET rusena)
  install(TARGETS rusena RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The library tool joins the install as soon as it is part of the build.
if(TARGET rusena-library)
  install(TARGETS rusena-library RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(RUSENA_GUI AND NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/data/${RUSENA_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/${RUSENA_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${PROJECT_SOURCE_DIR}/src/app/artwork/rusena.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(DIRECTORY ${RUSENA_ICON_TREE}/
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()

# Debian package. Libraries the programs link are found by dpkg-shlibdeps; what is only
# loaded at run time is named here: the SVG plugins (icon, about box), SQLite's Qt driver
# (the day library), the screen plugins,
# Qt's Japanese translations and the IPA faces the windows are designed for.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rusena)
set(CPACK_PACKAGE_VENDOR "ルセナソフト開発チーム")
set(CPACK_PACKAGE_CONTACT "ルセナソフト開発チーム <rusena@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Opens the daily result files of motorboat races and shows any race of the day; keeps every day in a library with a player's history, the payouts and statistics.")
set(CPACK_PACKAGE_FILE_NAME "rusena_${PROJECT_VERSION}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6svg6, libqt6sql6-sqlite, qt6-translations-l10n, fonts-ipafont-gothic, fonts-ipafont-mincho")
include(CPack)
