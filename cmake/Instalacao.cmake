# Installing pauta and packaging it. Needs the target pauta and
# PROJECT_VERSION; everything else it uses lives in pacote/ and examples/.
#
#   cmake --install build [--prefix DIR]     (DESTDIR is honoured)
#   cpack --config build/CPackConfig.cmake   (a .deb on Linux, a .zip for Windows)
#
# Linux and other Unix-like systems, under the prefix:
#   bin/pauta
#   share/man/man1/pauta.1
#   share/doc/pauta/README.md, copyright, exemplos/ (the example courses 12 and
#     13, and the picture of a report that the README shows)
#   share/bash-completion/completions/pauta
# Windows (the zip), all in one folder that may be put anywhere:
#   pauta.exe, README.txt, exemplos/ (the same files)
include(GNUInstallDirs)

set(PAUTA_MANTENEDOR "pauta dev <dev@pauta.invalid>"
    CACHE STRING "Maintainer named by the Debian package and its changelog")
set(PAUTA_EXEMPLOS ${PROJECT_SOURCE_DIR}/examples/12-UC.txt
                   ${PROJECT_SOURCE_DIR}/examples/12-Estudantes.txt
                   ${PROJECT_SOURCE_DIR}/examples/13-UC.txt
                   ${PROJECT_SOURCE_DIR}/examples/13-Estudantes.txt
                   ${PROJECT_SOURCE_DIR}/examples/12-Relatorio.png)

# The README as installed: beside it, the examples' folder is exemplos/, so
# its links into examples/ are turned to point there.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
file(READ ${PROJECT_SOURCE_DIR}/README.md PAUTA_LEIAME)
string(REPLACE "](examples/" "](exemplos/" PAUTA_LEIAME "${PAUTA_LEIAME}")

if(WIN32)
  install(TARGETS pauta RUNTIME DESTINATION .)
  # The README as a text file that Notepad opens: CR LF line ends (it is
  # UTF-8, which Notepad reads).
  string(REPLACE "\n" "\r\n" PAUTA_LEIAME "${PAUTA_LEIAME}")
  file(WRITE ${CMAKE_BINARY_DIR}/README.txt "${PAUTA_LEIAME}")
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
  install(FILES ${PAUTA_EXEMPLOS} DESTINATION exemplos)
else()
  install(TARGETS pauta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The manual page carries the version of project(), and the date of the
  # build (SOURCE_DATE_EPOCH when set, for a reproducible build).
  string(TIMESTAMP PAUTA_DATA_MANUAL "%Y-%m-%d" UTC)
  configure_file(${PROJECT_SOURCE_DIR}/pacote/pauta.1.in ${CMAKE_BINARY_DIR}/pauta.1 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pauta.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  file(WRITE ${CMAKE_BINARY_DIR}/README.md "${PAUTA_LEIAME}")
  install(FILES ${CMAKE_BINARY_DIR}/README.md ${PROJECT_SOURCE_DIR}/pacote/copyright
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PAUTA_EXEMPLOS} DESTINATION ${CMAKE_INSTALL_DOCDIR}/exemplos)
  install(FILES ${PROJECT_SOURCE_DIR}/pacote/pauta.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME pauta)
  # The Debian changelog, which the package needs (added by
  # cmake/PacoteDebian.cmake, not by cmake --install).
  string(TIMESTAMP PAUTA_DATA_CHANGELOG "%a, %d %b %Y %H:%M:%S +0000" UTC)
  configure_file(${PROJECT_SOURCE_DIR}/pacote/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
endif()

# The packages. The variables below go into CPackConfig.cmake.
set(CPACK_PACKAGE_NAME pauta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PAUTA_MANTENEDOR}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "grade records of a university course, at the console")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(WIN32)
  # pauta-X.Y.Z-win64.zip, holding the folder pauta-X.Y.Z-win64/.
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME pauta-${PROJECT_VERSION}-win64)
  else()
    set(CPACK_PACKAGE_FILE_NAME pauta-${PROJECT_VERSION}-win32)
  endif()
else()
  # pauta_X.Y.Z_ARCH.deb, its dependencies computed by dpkg-shlibdeps. The
  # description's first line is CPACK_PACKAGE_DESCRIPTION_SUMMARY.
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The completion of pauta is loaded by bash-completion, which minimal
  # installations lack.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)
  set(CPACK_DEBIAN_PACKAGE_SECTION education)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "pauta keeps the grade records of one university course in text files:
its curricular units and students, continuous assessment (e-folios and
p-folio) or final exam, final grades, ECTS totals and weighted averages,
and per-unit statistics. Its dialogue is in Portuguese; it also exports the
grades to CSV files, imports them from CSV and writes an HTML report.

Registo das notas de um curso universitário, na consola: unidades
curriculares e estudantes, avaliação contínua (e-fólios e p-fólio) ou exame
final, notas finais, ECTS e médias ponderadas, e estatísticas por unidade
curricular, em ficheiros de texto. Exporta as notas para CSV, importa-as de
CSV e grava um relatório em HTML.")
  # Debian wants the manual page compressed and a changelog beside the
  # copyright: done in the staging folder, before the package is made.
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PacoteDebian.cmake)
  set(CPACK_PAUTA_CHANGELOG ${CMAKE_BINARY_DIR}/changelog)
  set(CPACK_PAUTA_DIR_DOC ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_PAUTA_DIR_MAN ${CMAKE_INSTALL_MANDIR})
endif()
include(CPack)
