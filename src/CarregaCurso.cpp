#include "CarregaCurso.h"

#include <ostream>
#include <string>
#include <utility>

#include "Ficheiros.h"
#include "LeitorLinhas.h"
#include "Nomes.h"

bool carregaUnidadesCurso(int nCurso, Listacurso& unidades, std::ostream& mensagens) {
  const std::string nomefUCs = nomeFicheiroUC(nCurso);
  std::string conteudo;
  std::string razao;
  if (leFicheiroNormal(nomefUCs, &conteudo, nullptr, &razao) != Leitura::lido) return false;
  LeitorLinhas fUCs(std::move(conteudo), nomefUCs, mensagens);
  const long numUCs = fUCs.contaLinhas() - 1;
  mensagens << "o número de UCs do curso é: " << numUCs << std::endl;
  unidades.setUCsCurso(nCurso, static_cast<int>(numUCs), fUCs);
  return true;
}

bool carregaEstudantesCurso(int nCurso, Listacurso& estudantes, std::ostream& mensagens) {
  const std::string nomefEstudantes = nomeFicheiroEstudantes(nCurso);
  mensagens << std::endl;
  mensagens << "A abrir o Ficheiro de estudantes " << nomefEstudantes << std::endl;
  mensagens << std::endl;
  std::string conteudo;
  IdentidadeFicheiro identidade;
  std::string razao;
  const Leitura leitura = leFicheiroNormal(nomefEstudantes, &conteudo, &identidade, &razao);
  if (leitura == Leitura::ilegivel) {
    mensagens << "ERRO: O ficheiro " << nomefEstudantes << " existe mas não pode ser lido ("
              << razao << "); o curso " << nCurso << " não foi aberto" << std::endl;
    return false;
  }
  estudantes.setCurso(nCurso);
  estudantes.setIdentidadeFicheiro(identidade);
  if (leitura == Leitura::inexistente) {
    mensagens << "Não foi possivel abrir o ficheiro " << nomefEstudantes << std::endl;
    return true;
  }
  LeitorLinhas fEstudantes(std::move(conteudo), nomefEstudantes, mensagens);
  const long numEstudantes = fEstudantes.contaLinhasComPrimeiroCampo(palavraAluno);
  mensagens << "O número de Estudantes carregados é " << numEstudantes << std::endl;
  estudantes.setListaEstudantes(nCurso, static_cast<int>(numEstudantes), fEstudantes);
  return true;
}
