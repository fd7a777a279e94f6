#include "NotasUC.h"

#include <algorithm>
#include <optional>
#include <ostream>

#include "Auxiliar.h"
#include "Cp1252.h"
#include "Numeros.h"
#include "Regras.h"

namespace {

using regras::Admissao;
using regras::Campo;

// The check shared by the four grade checks: a grade that `campo` does not
// accept is refused with `erro`; an accepted one is confirmed with `valido`
// and, when `avisoMinimo` is given and the grade is below the p-folio
// minimum, warned that it will not count.
int validaNota(std::ostream& saida, float nota, Campo campo, const char* erro, const char* valido,
               const char* avisoMinimo) {
  if (!regras::valorValido(campo, nota)) {
    saida << erro << std::endl;
    return 0;
  }
  saida << valido << std::endl;
  if (avisoMinimo != nullptr && regras::abaixoMinimoPfolio(nota)) {
    saida << std::endl;
    saida << avisoMinimo << std::endl;
  }
  return 1;
}

// The first e-folio of `efolios` with that letter, or nullptr; for a
// record's list, changeable or not.
template <typename Lista>
auto efolioComLetra(Lista& efolios, char letra) -> decltype(efolios.data()) {
  for (auto& e : efolios) {
    if (e.getLetra() == letra) return &e;
  }
  return nullptr;
}

}  // namespace

NotasUC::NotasUC() : opcaoAvaliacao(opcaoNaoEscolhida), provaFinal(-1), provaRecurso(-1) {}

NotasUC::~NotasUC() = default;

void NotasUC::setEfolios(char letra) { eFolios.emplace_back(letra); }

void NotasUC::setEfolios(const Efolio& efolio) { eFolios.push_back(efolio); }

Efolio* NotasUC::procuraEfolio(char letra) { return efolioComLetra(eFolios, letra); }

const Efolio* NotasUC::procuraEfolio(char letra) const { return efolioComLetra(eFolios, letra); }

float NotasUC::getNotaTotalEfolios() const {
  float total = 0;
  for (const Efolio& e : eFolios) {
    if (e.getNota() >= 0) total += e.calculaNotaFinalEfolio();
  }
  return total;
}

int NotasUC::getNumEfolios() const {
  int n = 0;
  for (const Efolio& e : eFolios) n += e.getNota() >= 0;
  return n;
}

bool NotasUC::admitidoPfolio() const { return regras::admitidoPfolio(*this); }

std::string NotasUC::opcaoAvaliacaoToString() const {
  switch (opcaoAvaliacao) {
    case opcaoExameFinal:
      return "Ex.Final";
    case opcaoContinua:
      return TXT("Contínua");
    case opcaoNaoEscolhida:
      return "-";
    default:
      return "";
  }
}

std::string NotasUC::getNotaToString(float nota) { return nota == -1 ? "-" : textoFixo(nota, 2); }

std::string NotasUC::getNotaFinalToString(float nota) {
  return nota == -1 ? "-" : textoGeral(nota);
}

void NotasUC::userSetOpcaoAvaliacao(const Consola& consola) {
  std::ostream& saida = consola.saida();
  for (;;) {
    saida << TXT("Por defeito a Opção de Avaliação definida para as Unidades Curriculares é "
                 "avaliação continua, deseja continuar ou redefinir a opção para Exame Final?")
          << std::endl;
    saida << TXT(" Continuar com Avaliação Continua - 1") << std::endl;
    saida << " Redefinir para Exame Final - 0" << std::endl;
    int resposta = getIntFromUser(consola);
    if (regras::opcaoValida(resposta)) {
      opcaoAvaliacao = resposta;
      return;
    }
    saida << TXT("Opção inválida") << std::endl;
  }
}

void NotasUC::userSetNotaEfolio(const Consola& consola, char letra) {
  std::ostream& saida = consola.saida();
  if (opcaoAvaliacao == opcaoNaoEscolhida) userSetOpcaoAvaliacao(consola);
  if (opcaoAvaliacao != opcaoContinua) {
    saida << TXT("ATENÇÃO: Não é possivel inserir notas de eFolio, o aluno optou por Exame Final "
                 "nesta Unidade Curricular")
          << std::endl;
    return;
  }
  if (Efolio* efolio = procuraEfolio(letra)) efolio->userSetEfolio(consola, letra);
}

void NotasUC::userSetNotaProvaFinal(const Consola& consola) {
  std::ostream& saida = consola.saida();
  if (opcaoAvaliacao == opcaoNaoEscolhida) userSetOpcaoAvaliacao(consola);
  const std::optional<Campo> campo = regras::campoProva(*this);
  if (campo == Campo::exameFinal) {
    pedeNotaExameFinal(consola);
  } else if (campo == Campo::pfolio) {
    pedeNotaPfolio(consola);
  } else {
    saida << TXT("ERRO: A opção de avaliação desta Unidade Curricular é inválida, não é possivel "
                 "inserir a nota")
          << std::endl;
  }
}

void NotasUC::pedeNotaExameFinal(const Consola& consola) {
  std::ostream& saida = consola.saida();
  do {
    saida << std::endl;
    saida << TXT("O aluno optou pela avaliação por Exame Final por favor insira o valor da nota do "
                 "Exame")
          << std::endl;
    provaFinal = getFloatFromUser(consola);
  } while (validaNotaExameFinal(saida) == 0);
}

namespace {

// Whether the record is admitted to the p-folio; when not, says why and
// answers false.
bool confirmaAdmissaoPfolio(const NotasUC& notas, std::ostream& saida) {
  const Admissao admissao = regras::admissaoPfolio(notas);
  if (admissao == Admissao::totalInsuficiente) {
    saida << std::endl;
    saida << TXT("ATENÇÃO Infelizmente o aluno não atingiu a nota mínima nos eFolios para poder "
                 "ser admitido ao pFolio ")
          << std::endl;
    saida << TXT("Não é possivel inserir a nota do pFolio ") << std::endl;
    return false;
  }
  if (admissao == Admissao::poucosEfolios) {
    saida << std::endl;
    saida << TXT("ATENÇÃO: O aluno tem que ser avaliado em pelo menos 2 efolios para poder ser "
                 "admitido no pFolio")
          << std::endl;
    return false;
  }
  return true;
}

}  // namespace

void NotasUC::pedeNotaPfolio(const Consola& consola) {
  std::ostream& saida = consola.saida();
  for (;;) {
    if (!confirmaAdmissaoPfolio(*this, saida)) return;
    saida << TXT("O aluno optou pela avaliação contínua por favor insira o valor da nota do pFolio")
          << std::endl;
    provaFinal = getFloatFromUser(consola);
    if (validaNotaPfolio(saida) == 1) return;
  }
}

void NotasUC::userSetNotaExameRecurso(const Consola& consola) {
  if (opcaoAvaliacao == opcaoNaoEscolhida) userSetOpcaoAvaliacao(consola);
  const bool pfolio = regras::campoRecurso(*this) == Campo::pfolioRecurso;
  // A continuous-assessment record sent to the resit exam is told why,
  // before every attempt.
  const bool explica = !pfolio && opcaoAvaliacao == opcaoContinua;
  for (;;) {
    if (explica) explicaExameRecurso(consola.saida());
    if (pfolio ? pedeNotaPfolioRecurso(consola) : pedeNotaResitExame(consola)) return;
  }
}

// Why a continuous-assessment record is not admitted to the p-folio resit.
void NotasUC::explicaExameRecurso(std::ostream& saida) const {
  saida << std::endl;
  if (regras::admissaoPfolio(*this) == Admissao::totalInsuficiente) {
    saida
        << TXT("ATENÇÃO Infelizmente o aluno não atingiu a nota mínima nos eFolios para poder ser "
               "admitido ao pFolio de Recurso")
        << std::endl;
  } else {
    saida << TXT("ATENÇÃO: O aluno tem que ser avaliado em pelo menos 2 efolios para poder ser "
                 "admitido no pFolio de recurso")
          << std::endl;
  }
  saida << "Desta forma fica admitido a Exame de Recurso " << std::endl;
}

// One attempt at each resit grade; true once a valid grade is stored.
bool NotasUC::pedeNotaPfolioRecurso(const Consola& consola) {
  std::ostream& saida = consola.saida();
  saida << TXT("O aluno optou pela avaliação contínua e obteve os requisitos para ser admitido a "
               "pFolio de Recurso, por favor insira o valor da nota do pFolio de Recurso")
        << std::endl;
  provaRecurso = getFloatFromUser(consola);
  return validaNotaPfolioRecurso(saida) == 1;
}

bool NotasUC::pedeNotaResitExame(const Consola& consola) {
  std::ostream& saida = consola.saida();
  saida << "Por favor insira a nota do Exame de Recurso " << std::endl;
  provaRecurso = getFloatFromUser(consola);
  return validaNotaRecurso(saida) == 1;
}

int NotasUC::validaDadosEfolios(std::ostream& saida) const {
  if (opcaoAvaliacao != opcaoContinua) return 0;
  std::vector<float> pesos = regras::pesosContados(eFolios);
  const float total = regras::totalPesos(eFolios);
  // A record without its three e-folios (read with an invalid option) lists
  // 0 for the missing ones.
  pesos.resize(std::max<size_t>(pesos.size(), 3), 0);
  if (regras::pesosTotalizamOito(total)) {
    saida << TXT("Valores dos eFolios são Válidos") << std::endl;
    return 1;
  }
  saida << std::endl;
  saida << "ERRO: O peso total dos eFolios tem que ser 8, por favor corrija os valores"
        << std::endl;
  saida << TXT("Os pesos que estão definidos neste momento são:") << std::endl;
  saida << "eFolio A - " << pesos[0] << std::endl;
  saida << "eFolio B - " << pesos[1] << std::endl;
  saida << "eFolio C - " << pesos[2] << std::endl;
  saida << TXT("Total do peso neste momento é ") << total << std::endl;
  return 0;
}

int NotasUC::validaNotaPfolio(std::ostream& saida) const {
  return validaNota(
      saida, provaFinal, Campo::pfolio,
      TXT("ERRO: A nota do pFolio deverá estar entre 0 e 12, por favor corrija o valor"),
      TXT("Nota do pFolio inserida é válida"),
      TXT("ATENÇÃO: Infelizmente o aluno não atingiu a nota mínima no pFolio, desta forma "
          "a nota do pFolio não será considerada para a nota final"));
}

int NotasUC::validaNotaPfolioRecurso(std::ostream& saida) const {
  return validaNota(
      saida, provaRecurso, Campo::pfolioRecurso,
      TXT("ERRO: A nota do pFolio de Recurso deverá estar entre 0 e 12, por favor corrija "
          "o valor"),
      TXT("Nota do pFolio inserida é válida"),
      TXT("ATENÇÃO: Infelizmente o aluno não atingiu a nota mínima no pFolio de Recurso, "
          "desta forma a nota do pFolio de Recurso não será considerada para a nota final"));
}

int NotasUC::validaNotaExameFinal(std::ostream& saida) const {
  return validaNota(
      saida, provaFinal, Campo::exameFinal,
      TXT("ERRO: A nota do Exame Final deverá estar entre 0 e 20, por favor corrija o valor"),
      TXT("Nota do Exame Final inserida é válida"), nullptr);
}

int NotasUC::validaNotaRecurso(std::ostream& saida) const {
  return validaNota(
      saida, provaRecurso, Campo::exameRecurso,
      TXT("ERRO: A nota do Exame de Recurso deverá estar entre 0 e 20, por favor corrija o "
          "valor"),
      TXT("Nota do Exame de Recurso inserida é válida"), nullptr);
}
