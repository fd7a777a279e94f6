#include "CarregaCurso.h"

#include <ostream>
#include <string>
#include <utility>

#include "Ficheiros.h"
#include "LeitorLinhas.h"
#include "Nomes.h"

bool carregaUnidadesCurso(int nCurso, Listacurso& unidades, const RelatoCarregamento& relato) {
  const std::string nomefUCs = nomeFicheiroUC(nCurso);
  std::string conteudo;
  std::string razao;
  if (leFicheiroNormal(nomefUCs, &conteudo, nullptr, &razao) != Leitura::lido) return false;
  LeitorLinhas fUCs(std::move(conteudo), nomefUCs, *relato.avisos);
  const long numUCs = fUCs.contaLinhas() - 1;
  if (relato.progresso != nullptr) {
    *relato.progresso << "o número de UCs do curso é: " << numUCs << std::endl;
  }
  unidades.setUCsCurso(nCurso, static_cast<int>(numUCs), fUCs);
  return true;
}

FicheiroEstudantes carregaEstudantesCurso(int nCurso, Listacurso& estudantes,
                                          const RelatoCarregamento& relato) {
  const std::string nomefEstudantes = nomeFicheiroEstudantes(nCurso);
  std::ostream* progresso = relato.progresso;
  if (progresso != nullptr) {
    *progresso << std::endl;
    *progresso << "A abrir o Ficheiro de estudantes " << nomefEstudantes << std::endl;
    *progresso << std::endl;
  }
  std::string conteudo;
  IdentidadeFicheiro identidade;
  std::string razao;
  const Leitura leitura = leFicheiroNormal(nomefEstudantes, &conteudo, &identidade, &razao);
  if (leitura == Leitura::ilegivel) {
    *relato.avisos << "ERRO: O ficheiro " << nomefEstudantes << " existe mas não pode ser lido ("
                   << razao << "); o curso " << nCurso << " não foi aberto" << std::endl;
    return FicheiroEstudantes::ilegivel;
  }
  estudantes.setCurso(nCurso);
  estudantes.setIdentidadeFicheiro(identidade);
  if (leitura == Leitura::inexistente) {
    if (progresso != nullptr) {
      *progresso << "Não foi possivel abrir o ficheiro " << nomefEstudantes << std::endl;
    }
    return FicheiroEstudantes::inexistente;
  }
  LeitorLinhas fEstudantes(std::move(conteudo), nomefEstudantes, *relato.avisos);
  const long numEstudantes = fEstudantes.contaLinhasComPrimeiroCampo(palavraAluno);
  if (progresso != nullptr) {
    *progresso << "O número de Estudantes carregados é " << numEstudantes << std::endl;
  }
  estudantes.setListaEstudantes(nCurso, static_cast<int>(numEstudantes), fEstudantes);
  return FicheiroEstudantes::carregado;
}

bool carregaCursoSemDialogo(int nCurso, Listacurso& unidades, Listacurso& estudantes,
                            std::ostream& erros) {
  const RelatoCarregamento relato{nullptr, &erros};
  if (!carregaUnidadesCurso(nCurso, unidades, relato)) {
    erros << "ERRO: O curso " << nCurso << " não existe: não foi possivel ler o ficheiro "
          << nomeFicheiroUC(nCurso) << std::endl;
    return false;
  }
  switch (carregaEstudantesCurso(nCurso, estudantes, relato)) {
    case FicheiroEstudantes::carregado:
      return true;
    case FicheiroEstudantes::inexistente:
      erros << "ATENÇÃO: O curso " << nCurso << " ainda não tem ficheiro de estudantes"
            << std::endl;
      return true;
    case FicheiroEstudantes::ilegivel:
      break;
  }
  return false;
}
