#include "DistribuicaoNotas.h"

std::vector<DistribuicaoUC> distribuiNotas(const std::vector<UC>& unidades,
                                           const std::vector<Estudantes>& estudantes) {
  std::vector<DistribuicaoUC> distribuicoes(unidades.size());
  // The last student (from 1) counted as enrolled in each unit, so that a
  // student with two records of one unit is enrolled once.
  std::vector<size_t> ultimoInscrito(unidades.size(), 0);
  const IndiceUCs indice = indexaUCs(unidades);
  for (size_t aluno = 0; aluno < estudantes.size(); ++aluno) {
    for (const UC& uc : estudantes[aluno].getListaUCs()) {
      const auto posicoes = indice.find(uc.getCodigo());
      if (posicoes == indice.end()) continue;
      const int nota = uc.getNota();
      for (size_t i : posicoes->second) {
        DistribuicaoUC& distribuicao = distribuicoes[i];
        if (ultimoInscrito[i] != aluno + 1) {
          ultimoInscrito[i] = aluno + 1;
          ++distribuicao.inscritos;
        }
        if (nota == -1) continue;
        ++distribuicao.comNota;
        if (nota >= notaMinimaEscala && nota <= notaMaximaEscala) {
          ++distribuicao.porNota[static_cast<size_t>(nota)];
        }
      }
    }
  }
  return distribuicoes;
}
