# Installation and the Debian package. An installed program keeps its settings in the user's
# configuration folder and offers a copy of the sample data in the user's data folder.
include(GNUInstallDirs)

if(TARGET lentavo)
  install(TARGETS lentavo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(PROGRAMS $<TARGET_FILE:tabletool> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME lentavo-tabletool)
install(FILES resources/lentavo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/icon/lentavo.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES resources/icon/lentavo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
if(TARGET sample_data)
  install(FILES ${PROJECT_BINARY_DIR}/sample/mondai.cds ${PROJECT_BINARY_DIR}/sample/advice.cds
                ${PROJECT_BINARY_DIR}/sample/rireki.cds
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lentavo/sample)
endif()
install(FILES README.md docs/authoring.md docs/table-files.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lentavo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvessa 自動車学校 <info@orvessa.example.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "学科練習システム: written driving-licence test trainer")
set(CPACK_PACKAGE_DESCRIPTION "A desktop trainer for the written part of the Japanese driving-licence examinations, with true/false drills that adapt to the pupil, a review of the latest drill and a bundled question bank.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6charts6 (>= 6.4), libsqlite3-0 (>= 3.35), libstdc++6 (>= 12), libc6 (>= 2.34), fonts-noto-cjk, fonts-ipafont-mincho, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
