# Builds the target ALVO in the build tree DIR. With IMPEDE "-" it must
# build; otherwise it must fail, and because of IMPEDE (the header it may
# not include, or the function it may not call), not for another reason.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${DIR} --target ${ALVO}
                RESULT_VARIABLE estado OUTPUT_VARIABLE saida ERROR_VARIABLE saida)
if(IMPEDE STREQUAL "-")
  if(NOT estado EQUAL 0)
    message(FATAL_ERROR "${ALVO} devia compilar:\n${saida}")
  endif()
elseif(estado EQUAL 0)
  message(FATAL_ERROR "${ALVO} compilou, mas usa ${IMPEDE} de uma camada acima")
elseif(NOT saida MATCHES "${IMPEDE}")
  message(FATAL_ERROR "${ALVO} falhou sem ser por ${IMPEDE}:\n${saida}")
endif()
