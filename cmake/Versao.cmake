# The program's version comes from project() in CMakeLists.txt and nowhere
# else: it is written into the generated header Versao.h (macro
# PAUTA_VERSAO), in the build tree, and the same PROJECT_VERSION names the
# packages and heads the manual page. Targets that include Versao.h add
# PAUTA_GERADO_DIR to their include directories.
set(PAUTA_GERADO_DIR ${CMAKE_BINARY_DIR}/gerado)
configure_file(${PROJECT_SOURCE_DIR}/src/plataforma/Versao.h.in ${PAUTA_GERADO_DIR}/Versao.h @ONLY)
