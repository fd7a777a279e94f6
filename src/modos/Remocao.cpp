#include "Remocao.h"

#include <iostream>
#include <vector>

#include "AlteracaoCurso.h"
#include "Cp1252.h"
#include "Estudantes.h"
#include "Execucao.h"
#include "FormatoHistorico.h"
#include "Regras.h"

namespace {

// The first unit, of the students with the number, that holds a grade and
// would go (only his first unit `uc` when `porUc`); nullptr when none does.
const UC* unidadeComNotas(const std::vector<Estudantes>& estudantes, const PedidoRemocao& pedido) {
  for (const Estudantes& e : estudantes) {
    if (e.getNumAluno() != pedido.aluno) continue;
    for (const UC& uc : e.getListaUCs()) {
      if (pedido.porUc && uc.getCodigo() != pedido.uc) continue;
      if (regras::temNotas(uc, uc.getNota())) return &uc;
      if (pedido.porUc) break;  // only his first unit with the code goes
    }
  }
  return nullptr;
}

// Whether a student with the number takes the unit.
bool inscrito(const std::vector<Estudantes>& estudantes, int aluno, int codigo) {
  for (const Estudantes& e : estudantes) {
    if (e.getNumAluno() != aluno) continue;
    for (const UC& uc : e.getListaUCs()) {
      if (uc.getCodigo() == codigo) return true;
    }
  }
  return false;
}

bool existeAluno(const std::vector<Estudantes>& estudantes, int aluno) {
  for (const Estudantes& e : estudantes) {
    if (e.getNumAluno() == aluno) return true;
  }
  return false;
}

// Whether the removal may go on; says why not.
bool removivel(const std::vector<Estudantes>& estudantes, const PedidoRemocao& pedido) {
  if (!existeAluno(estudantes, pedido.aluno)) {
    std::cerr << "ERRO: O curso " << pedido.nCurso << TXT(" não tem o aluno ") << pedido.aluno
              << std::endl;
    return false;
  }
  if (pedido.porUc && !inscrito(estudantes, pedido.aluno, pedido.uc)) {
    std::cerr << "ERRO: O aluno " << pedido.aluno << TXT(" não está inscrito na UC ") << pedido.uc
              << std::endl;
    return false;
  }
  const UC* comNotas = pedido.forcar ? nullptr : unidadeComNotas(estudantes, pedido);
  if (comNotas != nullptr) {
    std::cerr << "ERRO: O aluno " << pedido.aluno << " tem notas na UC " << comNotas->getCodigo()
              << "; corrija-as primeiro para '-' ou use --forcar" << std::endl;
    return false;
  }
  return true;
}

}  // namespace

int executaRemocao(const PedidoRemocao& pedido) {
  return alteraCurso(pedido.nCurso, false, [&](const Listacurso&, Listacurso& estudantes) {
    if (!removivel(estudantes.getListaEstudantes(), pedido)) return estadoFalha;
    if (pedido.porUc) {
      estudantes.removeUCAlunos(pedido.aluno, pedido.uc);
    } else {
      estudantes.removeAlunos(pedido.aluno);
    }
    const std::string origem =
        origemComMotivo(historico::origemRemocao, cp1252::deLinhaDeComandos(pedido.motivo));
    if (!gravaAlteracoes(estudantes, pedido.nCurso, origem)) return estadoFalha;
    if (pedido.porUc) {
      std::cout << "Removida a UC " << pedido.uc << " do aluno " << pedido.aluno << std::endl;
    } else {
      std::cout << "Removido o aluno " << pedido.aluno << " do curso " << pedido.nCurso
                << std::endl;
    }
    return 0;
  });
}
