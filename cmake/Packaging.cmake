# Installation and the Debian package. An installed program keeps its settings in the user's
# configuration folder and offers a copy of the sample data in the user's data folder.
include(GNUInstallDirs)

if(TARGET lentavo)
  install(TARGETS lentavo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(PROGRAMS $<TARGET_FILE:tabletool> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME lentavo-tabletool)
# A renamed program is not a target, so the package's stripping passes it by: strip it here.
install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded
  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/lentavo-tabletool\")")
install(FILES resources/lentavo.desktop resources/lentavo-teacher.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/icon/lentavo.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES resources/icon/lentavo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
if(TARGET sample_data)
  install(FILES ${SAMPLE_FILES}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lentavo/sample)
endif()

# Documentation under the package's name. The installed guides name the installed tool, which is
# lentavo-tabletool rather than the build tree's build/tabletool.
set(LENTAVO_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/lentavo)
set(LENTAVO_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${LENTAVO_PACKAGING_OUT})
foreach(doc authoring.md table-files.md)
  file(READ ${PROJECT_SOURCE_DIR}/docs/${doc} text)
  string(REGEX REPLACE " \\(built as `build/tabletool`[^)]*\\)" "" text "${text}")
  string(REGEX REPLACE "(build/)?(lentavo-)?tabletool" "lentavo-tabletool" text "${text}")
  file(WRITE ${LENTAVO_PACKAGING_OUT}/${doc} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/${doc})
endforeach()
install(FILES README.md ${LENTAVO_PACKAGING_OUT}/authoring.md ${LENTAVO_PACKAGING_OUT}/table-files.md
              packaging/copyright
        DESTINATION ${LENTAVO_DOCDIR})

# Debian wants the changelog and the manual pages compressed, reproducibly (no name, no time).
set(LENTAVO_COMPRESSED)
foreach(pair "packaging/changelog:changelog.gz" "packaging/lentavo.1:lentavo.1.gz"
             "packaging/lentavo-tabletool.1:lentavo-tabletool.1.gz")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(
    OUTPUT ${LENTAVO_PACKAGING_OUT}/${target}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/${source} > ${LENTAVO_PACKAGING_OUT}/${target}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND LENTAVO_COMPRESSED ${LENTAVO_PACKAGING_OUT}/${target})
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${LENTAVO_COMPRESSED})
install(FILES ${LENTAVO_PACKAGING_OUT}/changelog.gz DESTINATION ${LENTAVO_DOCDIR})
install(FILES ${LENTAVO_PACKAGING_OUT}/lentavo.1.gz ${LENTAVO_PACKAGING_OUT}/lentavo-tabletool.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lentavo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvessa 自動車学校 <info@orvessa.example.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "学科練習システム: written driving-licence test trainer")
# Debian's description: lines of at most 80 characters with the leading blank; kept well under.
set(CPACK_PACKAGE_DESCRIPTION "A desktop trainer for the written part of the Japanese
driving-licence examinations: true/false drills that adapt to the pupil,
a review of the latest drill, mock exams in the real tests' format, a
learning record with charts, weak areas and readiness, and a bundled
question bank with illustrated hazard items.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed binaries carry no debugging symbols.
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6charts6 (>= 6.4), libsqlite3-0 (>= 3.35), libstdc++6 (>= 12), libc6 (>= 2.34), fonts-noto-cjk, fonts-ipafont-mincho, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
