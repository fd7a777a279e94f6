#include "AlteracaoCurso.h"

#include <iostream>

#include "BloqueioCurso.h"
#include "CarregaCurso.h"
#include "Cp1252.h"
#include "Execucao.h"
#include "Ficheiros.h"
#include "FormatoHistorico.h"
#include "Nomes.h"

namespace {

// Whether the folder has course nCurso's unit file (anything at its name).
bool cursoNaPasta(int nCurso) {
  IdentidadeFicheiro identidade;
  return identificaFicheiro(nomeFicheiroUC(nCurso), &identidade).causa() != Causa::naoExiste;
}

}  // namespace

int alteraCurso(
    int nCurso, bool verificar,
    const std::function<int(const Listacurso& unidades, Listacurso& estudantes)>& altera) {
  Listacurso unidades;
  Listacurso estudantes;
  // A course the folder does not have is said by its loading, before
  // anything is created for it (no lock, no companion of its section).
  if (!cursoNaPasta(nCurso)) {
    (void)carregaCursoSemDialogo(nCurso, unidades, estudantes, std::cerr);
    return estadoFalha;
  }
  // Released when this returns; a signal releases it through the clean-up
  // of every way out. The student file is either the old one or the new one.
  BloqueioCurso bloqueio;
  if (!verificar && !bloqueiaCurso(bloqueio, nCurso, std::cerr)) {
    // A lock left by a crash on another machine is never found stale here:
    // say how to clear it.
    if (bloqueio.resultado() == Bloqueio::ocupado) {
      std::cerr << TXT("Se nenhuma sessão tiver o curso aberto, apague o ficheiro ")
                << nomeBloqueio(nCurso) << std::endl;
    }
    return estadoFalha;
  }
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
