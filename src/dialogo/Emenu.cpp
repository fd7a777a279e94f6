#include "Emenu.h"

#include <ostream>

#include "Cp1252.h"
#include "Tabela.h"

Emenu::Emenu() : larguraOpcao(5), larguraTexto(15) {}

Emenu::~Emenu() = default;

void Emenu::imprimeTitulo(std::ostream& saida, const std::string& titulo) const {
  celula(saida, "", larguraInicial, separador);
  saida << titulo << std::endl;
}

void Emenu::imprimeOpcao(std::ostream& saida, const std::string& numero,
                         const std::string& texto) const {
  celula(saida, "", larguraInicial, separador);
  celula(saida, numero, larguraOpcao, separador);
  celula(saida, texto, larguraTexto, separador);
  saida << std::endl;
}

void Emenu::imprimeOpcoesGerais(std::ostream& saida) const {
  saida << std::endl;
  saida << std::endl;
  imprimeTitulo(saida, "#### Menu Estudantes ####");
  imprimeOpcao(saida, "1", "Consultar Alunos");
  imprimeOpcao(saida, "2", "Inserir Notas");
  imprimeOpcao(saida, "3", "Inserir Estudante");
  imprimeOpcao(saida, "4", TXT("Gravar Alterações"));
  imprimeOpcao(saida, "9", "Sair para o menu UCs");
  imprimeIntroduzaOpcao(saida);
}

void Emenu::imprimeOpcoesInserirNota(std::ostream& saida) const {
  saida << std::endl;
  saida << std::endl;
  imprimeTitulo(saida, "#### Menu Estudantes -> Inserir Notas ####");
  imprimeOpcao(saida, "1", "Inserir Nota de eFolio");
  imprimeOpcao(saida, "2", "Inserir Nota de pFolio ou Exame Final");
  imprimeOpcao(saida, "3", "Inserir Nota de Exame de Recurso");
  imprimeOpcao(saida, "0", "Voltar ao Menu Estudantes");
  imprimeIntroduzaOpcao(saida);
}

void Emenu::imprimeOpcoesEfolio(std::ostream& saida) const {
  saida << std::endl;
  imprimeTitulo(saida, "#### Menu Estudantes -> Inserir Nota -> Inserir Nota de eFolio ####");
  imprimeOpcao(saida, "1", "Inserir Nota de eFolio A");
  imprimeOpcao(saida, "2", "Inserir Nota de eFolio B");
  imprimeOpcao(saida, "3", "Inserir Nota de eFolio C");
  imprimeOpcao(saida, "8", "Validar dados de eFolios");
  imprimeOpcao(saida, "9", "Validar dados atualizar Nota Final e Voltar ao Menu Inserir Notas ");
  imprimeIntroduzaOpcao(saida);
}

void Emenu::imprimeIntroduzaOpcao(std::ostream& saida) const {
  saida << std::endl;
  celula(saida, "", larguraInicial, separador);
  saida << TXT("Introduza o número da opção que deseja.") << std::endl;
  saida << std::endl;
}

void Emenu::imprimeEscolhaAluno(std::ostream& saida) const {
  saida << TXT("Digite o número do estudante pretendido.") << std::endl;
  saida << "Ou digite 0 para voltar ao menu anterior" << std::endl;
  saida << std::endl;
}

void Emenu::imprimeNumAlunoInvalido(std::ostream& saida) const {
  saida << TXT("Esse número não existe na lista") << std::endl;
}
