#include "AlteracaoCurso.h"

#include <iostream>

#include "BloqueioCurso.h"
#include "CarregaCurso.h"
#include "Cp1252.h"
#include "Execucao.h"
#include "FormatoHistorico.h"
#include "Nomes.h"

int alteraCurso(
    int nCurso, bool verificar,
    const std::function<int(const Listacurso& unidades, Listacurso& estudantes)>& altera) {
  // Released when this returns. The student file is either the old one or
  // the new one.
  BloqueioCurso bloqueio;
  if (!verificar && !bloqueiaCurso(bloqueio, nCurso, std::cerr)) {
    // A lock left by a crash on another machine is never found stale here:
    // say how to clear it.
    std::cerr << TXT("Se nenhuma sessão tiver o curso aberto, apague o ficheiro ")
              << nomeBloqueio(nCurso) << std::endl;
    return estadoFalha;
  }
  Listacurso unidades;
  Listacurso estudantes;
  if (!carregaCursoSemDialogo(nCurso, unidades, estudantes, std::cerr)) return estadoFalha;
  return altera(unidades, estudantes);
}

bool gravaAlteracoes(Listacurso& estudantes, int nCurso, const std::string& origem) {
  return estudantes.gravaEstudantes(nomeFicheiroEstudantes(nCurso), std::cerr, false, origem) ==
         Listacurso::Gravacao::gravado;
}

std::string origemComMotivo(std::string origem, const std::string& motivo) {
  if (!motivo.empty()) origem += std::string(" ") + historico::prefixoMotivo + motivo;
  return origem;
}
