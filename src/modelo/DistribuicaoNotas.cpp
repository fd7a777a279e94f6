#include "DistribuicaoNotas.h"

namespace {

// Counts the record `uc` of the student `aluno` (from 1); `ultimoInscrito`
// is the last student counted as enrolled in the unit, so that a student
// with two records of one unit is enrolled once.
void contaRegisto(DistribuicaoUC& distribuicao, size_t& ultimoInscrito, size_t aluno,
                  const UC& uc) {
  if (ultimoInscrito != aluno) {
    ultimoInscrito = aluno;
    ++distribuicao.inscritos;
  }
  const int nota = uc.getNota();
  const regras::Situacao situacao = regras::situacao(uc, nota);
  if (situacao == regras::Situacao::emAvaliacao) ++distribuicao.emAvaliacao;
  if (!regras::temResultadoFinal(situacao)) return;
  ++distribuicao.comResultado;
  if (nota >= notaMinimaEscala && nota <= notaMaximaEscala) {
    ++distribuicao.porNota[static_cast<size_t>(nota)];
  }
}

}  // namespace

std::vector<DistribuicaoUC> distribuiNotas(const std::vector<UC>& unidades,
                                           const std::vector<Estudantes>& estudantes) {
  std::vector<DistribuicaoUC> distribuicoes(unidades.size());
  std::vector<size_t> ultimoInscrito(unidades.size(), 0);
  const IndiceUCs indice = indexaUCs(unidades);
  for (size_t aluno = 0; aluno < estudantes.size(); ++aluno) {
    for (const UC& uc : estudantes[aluno].getListaUCs()) {
      const auto posicoes = indice.find(uc.getCodigo());
      if (posicoes == indice.end()) continue;
      for (size_t i : posicoes->second) {
        contaRegisto(distribuicoes[i], ultimoInscrito[i], aluno + 1, uc);
      }
    }
  }
  return distribuicoes;
}
