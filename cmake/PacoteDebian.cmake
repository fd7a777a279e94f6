# Run by cpack after it installed pauta into its staging folder and before it
# makes the package (CPACK_PRE_BUILD_SCRIPTS): for the Debian package, the
# manual pages are compressed with gzip -9n and the changelog is added to the
# documentation folder as changelog.gz, as Debian's policy asks.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

set(pauta_raiz "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT IS_DIRECTORY "${pauta_raiz}/${CPACK_PAUTA_DIR_DOC}")
  message(FATAL_ERROR "pasta de documentação em falta: ${pauta_raiz}/${CPACK_PAUTA_DIR_DOC}")
endif()

file(GLOB_RECURSE pauta_paginas "${pauta_raiz}/${CPACK_PAUTA_DIR_MAN}/*.[1-9]")
foreach(pagina ${pauta_paginas})
  execute_process(COMMAND gzip -9nf "${pagina}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

configure_file("${CPACK_PAUTA_CHANGELOG}" "${pauta_raiz}/${CPACK_PAUTA_DIR_DOC}/changelog" COPYONLY)
execute_process(COMMAND gzip -9nf "${pauta_raiz}/${CPACK_PAUTA_DIR_DOC}/changelog"
                COMMAND_ERROR_IS_FATAL ANY)
