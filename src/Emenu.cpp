#include "Emenu.h"

#include <iostream>

#include "Cp1252.h"
#include "Tabela.h"

Emenu::Emenu() : larguraOpcao(5), larguraTexto(15) {}

Emenu::~Emenu() = default;

void Emenu::imprimeTitulo(const std::string& titulo) const {
  celula(std::cout, "", larguraInicial, separador);
  std::cout << titulo << std::endl;
}

void Emenu::imprimeOpcao(const std::string& numero, const std::string& texto) const {
  celula(std::cout, "", larguraInicial, separador);
  celula(std::cout, numero, larguraOpcao, separador);
  celula(std::cout, texto, larguraTexto, separador);
  std::cout << std::endl;
}

void Emenu::imprimeOpcoesGerais() const {
  std::cout << std::endl;
  std::cout << std::endl;
  imprimeTitulo("#### Menu Estudantes ####");
  imprimeOpcao("1", "Consultar Alunos");
  imprimeOpcao("2", "Inserir Notas");
  imprimeOpcao("3", "Inserir Estudante");
  imprimeOpcao("4", TXT("Gravar Alterações"));
  imprimeOpcao("9", "Sair para o menu UCs");
  imprimeIntroduzaOpcao();
}

void Emenu::imprimeOpcoesInserirNota() const {
  std::cout << std::endl;
  std::cout << std::endl;
  imprimeTitulo("#### Menu Estudantes -> Inserir Notas ####");
  imprimeOpcao("1", "Inserir Nota de eFolio");
  imprimeOpcao("2", "Inserir Nota de pFolio ou Exame Final");
  imprimeOpcao("3", "Inserir Nota de Exame de Recurso");
  imprimeOpcao("0", "Voltar ao Menu Estudantes");
  imprimeIntroduzaOpcao();
}

void Emenu::imprimeOpcoesEfolio() const {
  std::cout << std::endl;
  imprimeTitulo("#### Menu Estudantes -> Inserir Nota -> Inserir Nota de eFolio ####");
  imprimeOpcao("1", "Inserir Nota de eFolio A");
  imprimeOpcao("2", "Inserir Nota de eFolio B");
  imprimeOpcao("3", "Inserir Nota de eFolio C");
  imprimeOpcao("8", "Validar dados de eFolios");
  imprimeOpcao("9", "Validar dados atualizar Nota Final e Voltar ao Menu Inserir Notas ");
  imprimeIntroduzaOpcao();
}

void Emenu::imprimeIntroduzaOpcao() const {
  std::cout << std::endl;
  celula(std::cout, "", larguraInicial, separador);
  std::cout << TXT("Introduza o número da opção que deseja.") << std::endl;
  std::cout << std::endl;
}

void Emenu::imprimeEscolhaAluno() const {
  std::cout << TXT("Digite o número do estudante pretendido.") << std::endl;
  std::cout << "Ou digite 0 para voltar ao menu anterior" << std::endl;
  std::cout << std::endl;
}

void Emenu::imprimeNumAlunoInvalido() const {
  std::cout << TXT("Esse número não existe na lista") << std::endl;
}
