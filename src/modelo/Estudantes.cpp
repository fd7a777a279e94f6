#include "Estudantes.h"

#include <iomanip>
#include <ostream>

#include "Auxiliar.h"
#include "Cp1252.h"
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

void imprimeCabecalhoRelatorio(std::ostream& saida) {
  celula(saida, "", larguraInicial, separador);
  celula(saida, "UC", cabecalhoUC, separador);
  celula(saida, "ECTS", cabecalhoEcts, separador);
  celula(saida, TXT("Opção Avaliação"), cabecalhoOpcao, separador);
  celula(saida, "eFA", larguraEfolio, separador);
  celula(saida, "eFB", larguraEfolio, separador);
  celula(saida, "eFC", cabecalhoEfolioC, separador);
  celula(saida, "pF/Ex.Final", larguraExame, separador);
  celula(saida, "Ex.Recurso", larguraExame, separador);
  celula(saida, "Nota Final", larguraNota, separador);
  saida << std::endl;
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

Estudantes Estudantes::pedeNovoEstudante(const Consola& consola,
                                         const std::vector<UC>& listaUCsCurso,
                                         const std::vector<Estudantes>& listaEstComp) {
  Estudantes novo;
  novo.numAluno = pedeNumeroAluno(consola, listaEstComp);
  novo.nome = pedeNomeAluno(consola);
  novo.listaUCs = listaUCsCurso;
  return novo;
}

int Estudantes::pedeNumeroAluno(const Consola& consola,
                                const std::vector<Estudantes>& listaEstComp) {
  std::ostream& saida = consola.saida();
  saida << std::endl;
  saida << TXT("Insira o número de Aluno do Estudante") << std::endl;
  for (;;) {
    const int numero = getIntFromUser(consola);
    if (!regras::numeroAlunoValido(numero)) {
      saida << TXT("ERRO: O número 0 não pode ser usado como número de Aluno, por favor insira um "
                   "número diferente")
            << std::endl;
    } else if (numeroUsado(numero, listaEstComp)) {
      saida << TXT("Já Existe um aluno com esse número de Aluno, por favor insira um número "
                   "diferente")
            << std::endl;
    } else {
      return numero;
    }
  }
}

std::string Estudantes::pedeNomeAluno(const Consola& consola) {
  std::ostream& saida = consola.saida();
  saida << std::endl;
  saida << "Insira o Nome do Estudante" << std::endl;
  std::string nome = getLinhaFromUser(consola);
  // A longer name is refused: the next line typed is the new answer.
  while (nome.size() > regras::maximoCaracteresNome) {
    saida << TXT("ERRO: O nome não pode ter mais de 200 caracteres") << std::endl;
    nome = leLinhaInteira(consola);
  }
  return nome;
}

void Estudantes::userSetNotaEfolioUC(const Consola& consola, int codigoUC, char letra) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.userSetNotaEfolio(consola, letra);
  }
}

void Estudantes::userSetNotaProvaFinalUC(const Consola& consola, int codigoUC) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.userSetNotaProvaFinal(consola);
  }
}

void Estudantes::userSetExameRecursoUC(const Consola& consola, int codigoUC) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.userSetNotaExameRecurso(consola);
  }
}

void Estudantes::userSetOpcaoAvaliacaoUC(const Consola& consola, int codigoUC) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.userSetOpcaoAvaliacao(consola);
  }
}

void Estudantes::atualizaNotaFinalUC(std::ostream& saida, int codigoUC) {
  for (UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.atualizaNotaFinal(saida);
  }
}

int Estudantes::checkOpcaoAvaliacaoUC(int codigoUC) const {
  for (const UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) return uc.getOpcaoAvaliacao();
  }
  return naoInscrito;
}

int Estudantes::validaDadosEfoliosUC(std::ostream& saida, int codigoUC) const {
  int resposta = 1;
  for (const UC& uc : listaUCs) {
    if (uc.getCodigo() != codigoUC) continue;
    resposta = regras::opcaoValida(uc.getOpcaoAvaliacao()) ? uc.validaDadosEfolios(saida) : 1;
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

float Estudantes::calculaPercentagemCurso(TotalEctsCurso curso) const {
  return regras::percentagemCurso(calculaTotalEcts(), curso.ects);
}

void Estudantes::imprimeEstudante(std::ostream& saida) const {
  std::string texto;
  acrescentaLinhaTabela(texto);
  imprimeLinha(saida, texto);
}

void Estudantes::acrescentaLinhaTabela(std::string& destino) const {
  celula(destino, "", larguraInicial, separador);
  celula(destino, numAluno, larguraCodigo, separador);
  celula(destino, nome, larguraNome, separador);
}

void Estudantes::imprimeInfoEstudante(std::ostream& saida, TotalEctsCurso curso) {
  saida << "ALUNO: " << nome << std::endl;
  saida << TXT("Unidades curriculares onde obteve aprovação") << std::endl;
  saida << std::endl;
  regua(saida, larguraLinha, linha);
  imprimeCabecalhoRelatorio(saida);
  regua(saida, larguraLinha, linha);
  for (const UC& uc : listaUCs) uc.imprimeInfoUC(saida);
  regua(saida, larguraLinha, linha);
  imprimeTotalUCs(saida);
  imprimeTotalEcts(saida);
  imprimeMedia(saida);
  imprimePercentagemCurso(saida, curso);
}

void Estudantes::imprimeInfoEstudante(std::ostream& saida, int codigoUC) const {
  saida << "ALUNO: " << nome << std::endl;
  saida << std::endl;
  regua(saida, larguraLinha, linha);
  imprimeCabecalhoRelatorio(saida);
  regua(saida, larguraLinha, linha);
  for (const UC& uc : listaUCs) {
    if (uc.getCodigo() == codigoUC) uc.imprimeInfoUC(saida, 1);
  }
}

void Estudantes::imprimeTotalUCs(std::ostream& saida) const {
  saida << std::endl;
  saida << "Total de UC: " << calculaTotalUCs() << std::endl;
}

void Estudantes::imprimeTotalEcts(std::ostream& saida) const {
  saida << std::endl;
  saida << "Total de ECTS: " << calculaTotalEcts() << std::endl;
}

void Estudantes::imprimeMedia(std::ostream& saida) {
  saida << std::endl;
  float media = calculaMedia();
  saida << TXT("Média: ") << std::fixed << std::setprecision(precisaoMedia);
  if (calculaTotalEcts() == 0) {
    saida << "-";  // no passed ECTS: there is no average
  } else {
    saida << media;
  }
  saida << std::endl;
}

void Estudantes::imprimePercentagemCurso(std::ostream& saida, TotalEctsCurso curso) const {
  saida << std::endl;
  saida << "Completou " << std::fixed << std::setprecision(precisaoPercentagemCurso)
        << calculaPercentagemCurso(curso) << "% dos ECTS do Curso " << std::endl;
  if (regras::completouCurso(calculaTotalEcts(), curso.ects)) {
    saida << std::endl;
    saida << "\t\t" << linhaBanner << std::endl;
    saida << "\t\t########## PARABENS COMPLETOU O CURSO ##########" << std::endl;
    saida << "\t\t" << linhaBanner << std::endl;
  }
}
