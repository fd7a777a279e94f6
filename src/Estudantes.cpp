#include "Estudantes.h"

#include <iomanip>
#include <iostream>

#include "Auxiliar.h"
#include "Cp1252.h"
#include "LeitorLinhas.h"
#include "Nomes.h"
#include "Numeros.h"
#include "Regras.h"
#include "Tabela.h"

namespace {

// Columns of the report header; they differ from the row widths.
const int cabecalhoUC = 49;
const int cabecalhoEcts = 8;
const int cabecalhoOpcao = 21;
const int cabecalhoEfolioC = 7;

// Answer of checkOpcaoAvaliacaoUC for a unit the student does not take.
const int naoInscrito = 2;

const char* const linhaBanner = "################################################";

void imprimeCabecalhoRelatorio() {
  celula(std::cout, "", larguraInicial, separador);
  celula(std::cout, "UC", cabecalhoUC, separador);
  celula(std::cout, "ECTS", cabecalhoEcts, separador);
  celula(std::cout, TXT("Opção Avaliação"), cabecalhoOpcao, separador);
  celula(std::cout, "eFA", larguraEfolio, separador);
  celula(std::cout, "eFB", larguraEfolio, separador);
  celula(std::cout, "eFC", cabecalhoEfolioC, separador);
  celula(std::cout, "pF/Ex.Final", larguraExame, separador);
  celula(std::cout, "Ex.Recurso", larguraExame, separador);
  celula(std::cout, "Nota Final", larguraNota, separador);
  std::cout << std::endl;
}

// A line that ends the unit lines of a student block: one of at most one
// character, or the next student record.
// A student's unit lines end at a blank line, a line of one character, or
// the next student record.
bool fimDoBloco(std::string_view texto) {
  return texto.size() <= 1 || linhaEmBranco(texto) || primeiroCampo(texto) == palavraAluno;
}

bool numeroUsado(int numero, const std::vector<Estudantes>& estudantes) {
  for (const Estudantes& e : estudantes) {
    if (e.getNumAluno() == numero) return true;
  }
  return false;
}

}  // namespace

Estudantes::Estudantes() : numAluno(0), mediaAluno(0) {}

Estudantes::~Estudantes() = default;

bool Estudantes::leBloco(std::string_view linha, LeitorLinhas& ficheiro, Estudantes& estudante,
                         size_t unidadesPrevistas) {
  size_t separa = linha.find(';');
  int numero = 0;
  if (!leInteiro(linha.substr(0, separa), numero)) {
    ficheiro.ignoraLinha();
    return false;
  }
  estudante.numAluno = numero;
  estudante.nome.assign(separa == std::string_view::npos ? std::string_view()
                                                         : linha.substr(separa + 1));
  std::vector<UC>& ucs = estudante.listaUCs;
  ucs.clear();
  ucs.reserve(unidadesPrevistas);
  std::string_view texto;
  while (ficheiro.proximaLinha(texto)) {
    if (fimDoBloco(texto)) {
      if (linhaEmBranco(texto)) break;
      if (texto.size() > 1) {
        ficheiro.devolveLinha();  // the next student's record
      } else {
        ficheiro.ignoraLinha();  // one character that ends the block is still dropped
      }
      break;
    }
    // Read in place: the unit is never copied, and its name and e-folios
    // are allocated once, at their final size.
    if (!UC::interpreta(texto, ucs.emplace_back(), ficheiro.mensagens())) {
      ucs.pop_back();
      ficheiro.ignoraLinha();
    }
  }
  if (ucs.capacity() != ucs.size()) ucs.shrink_to_fit();
  return true;
}

Estudantes::Estudantes(const std::vector<UC>& listaUCsCurso,
                       const std::vector<Estudantes>& listaEstComp)
    : numAluno(0), mediaAluno(0), listaUCs(listaUCsCurso) {
  std::cout << std::endl;
  std::cout << TXT("Insira o número de Aluno do Estudante") << std::endl;
  for (;;) {
    int numero = getIntFromUser();
    if (!regras::numeroAlunoValido(numero)) {
      std::cout
          << TXT("ERRO: O número 0 não pode ser usado como número de Aluno, por favor insira um "
                 "número diferente")
          << std::endl;
    } else if (numeroUsado(numero, listaEstComp)) {
      std::cout << TXT("Já Existe um aluno com esse número de Aluno, por favor insira um número "
                       "diferente")
                << std::endl;
    } else {
      numAluno = numero;
      break;
    }
  }
  std::cout << std::endl;
  std::cout << "Insira o Nome do Estudante" << std::endl;
  nome = getLinhaFromUser();
}

void Estudantes::userSetNotaEfolioUC(int codigoUC, char letra) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.userSetNotaEfolio(letra);
  }
}

void Estudantes::userSetNotaProvaFinalUC(int codigoUC) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.userSetNotaProvaFinal();
  }
}

void Estudantes::userSetExameRecursoUC(int codigoUC) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.userSetNotaExameRecurso();
  }
}

void Estudantes::userSetOpcaoAvaliacaoUC(int codigoUC) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.userSetOpcaoAvaliacao();
  }
}

void Estudantes::atualizaNotaFinalUC(int codigoUC) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.atualizaNotaFinal();
  }
}

int Estudantes::checkOpcaoAvaliacaoUC(int codigoUC) const {
  for (const UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) return uc.getOpcaoAvaliacao();
  }
  return naoInscrito;
}

int Estudantes::validaDadosEfoliosUC(int codigoUC) const {
  int resposta = 1;
  for (const UC& uc : listaUCs) {
    if (uc.getCodigo() != codigoUC) continue;
    resposta = regras::opcaoValida(uc.getOpcaoAvaliacao()) ? uc.validaDadosEfolios() : 1;
  }
  return resposta;
}

// Each course unit receives this student's grades in the order of his units,
// as a walk of the course list with an inner walk of his units would add
// them: the float sums come out the same.
void Estudantes::setAprovados(std::vector<UC>& listaUCsCurso, const IndiceUCs& indice) const {
  for (const UC& uc : listaUCs) {
    if (!uc.aprovado()) continue;
    auto posicoes = indice.find(uc.getCodigo());
    if (posicoes == indice.end()) continue;
    for (size_t i : posicoes->second) {
      listaUCsCurso[i].setAlunoAprovado();
      listaUCsCurso[i].setSomaNotas(static_cast<float>(uc.getNota()));
    }
  }
}

int Estudantes::calculaTotalUCs() const {
  int total = 0;
  for (const UC& uc : listaUCs) total += uc.aprovado();
  return total;
}

long long Estudantes::calculaTotalEcts() const {
  long long total = 0;
  for (const UC& uc : listaUCs) {
    if (uc.aprovado()) total += uc.getEcts();
  }
  return total;
}

float Estudantes::calculaMedia() {
  mediaAluno = mediaPonderada();
  return mediaAluno;
}

float Estudantes::mediaPonderada() const {
  float soma = 0;
  for (const UC& uc : listaUCs) {
    if (uc.aprovado())
      soma += static_cast<float>(static_cast<long long>(uc.getEcts()) * uc.getNota());
  }
  return soma / static_cast<float>(calculaTotalEcts());
}

float Estudantes::calculaPercentagemCurso() const {
  return static_cast<float>(calculaTotalEcts()) / totalEctsCurso * 100;
}

void Estudantes::imprimeEstudante() const {
  std::string texto;
  acrescentaLinhaTabela(texto);
  imprimeLinha(std::cout, texto);
}

void Estudantes::acrescentaLinhaTabela(std::string& destino) const {
  celula(destino, "", larguraInicial, separador);
  celula(destino, numAluno, larguraCodigo, separador);
  celula(destino, nome, larguraNome, separador);
}

void Estudantes::imprimeInfoEstudante() {
  std::cout << "ALUNO: " << nome << std::endl;
  std::cout << TXT("Unidades curriculares onde obteve aprovação") << std::endl;
  std::cout << std::endl;
  regua(std::cout, larguraLinha, linha);
  imprimeCabecalhoRelatorio();
  regua(std::cout, larguraLinha, linha);
  for (const UC& uc : listaUCs) uc.imprimeInfoUC();
  regua(std::cout, larguraLinha, linha);
  imprimeTotalUCs();
  imprimeTotalEcts();
  imprimeMedia();
  imprimePercentagemCurso();
}

void Estudantes::imprimeInfoEstudante(int codigoUC) const {
  std::cout << "ALUNO: " << nome << std::endl;
  std::cout << std::endl;
  regua(std::cout, larguraLinha, linha);
  imprimeCabecalhoRelatorio();
  regua(std::cout, larguraLinha, linha);
  for (const UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.imprimeInfoUC(1);
  }
}

void Estudantes::imprimeTotalUCs() const {
  std::cout << std::endl;
  std::cout << "Total de UC: " << calculaTotalUCs() << std::endl;
}

void Estudantes::imprimeTotalEcts() const {
  std::cout << std::endl;
  std::cout << "Total de ECTS: " << calculaTotalEcts() << std::endl;
}

void Estudantes::imprimeMedia() {
  std::cout << std::endl;
  float media = calculaMedia();
  std::cout << TXT("Média: ") << std::fixed << std::setprecision(precisaoMedia);
  if (calculaTotalEcts() == 0) {
    std::cout << "-";  // no passed ECTS: there is no average
  } else {
    std::cout << media;
  }
  std::cout << std::endl;
}

void Estudantes::imprimePercentagemCurso() const {
  std::cout << std::endl;
  std::cout << "Completou " << std::fixed << std::setprecision(precisaoPercentagemCurso)
            << calculaPercentagemCurso() << "% dos ECTS do Curso " << std::endl;
  if (calculaTotalEcts() == totalEctsCurso) {
    std::cout << std::endl;
    std::cout << "\t\t" << linhaBanner << std::endl;
    std::cout << "\t\t########## PARABENS COMPLETOU O CURSO ##########" << std::endl;
    std::cout << "\t\t" << linhaBanner << std::endl;
  }
}

void Estudantes::gravaFicheiroEstudanteUC(std::string& destino) const {
  for (const UC& uc : listaUCs) uc.gravaFicheiroEstudanteUC(destino);
}
