#include "Regras.h"

#include <cmath>
#include <limits>

#include "NotasUC.h"

namespace regras {

namespace {

const float maximoNotaEfolio = 100;
const float maximoPesoEfolio = 8;
const float maximoPfolio = 12;
const float maximoExame = 20;
const float totalPesosExigido = 8;
const float toleranciaPesos = 0.0001f;

}  // namespace

float maximo(Campo campo) {
  switch (campo) {
    case Campo::notaEfolio:
      return maximoNotaEfolio;
    case Campo::pesoEfolio:
      return maximoPesoEfolio;
    case Campo::pfolio:
    case Campo::pfolioRecurso:
      return maximoPfolio;
    case Campo::exameFinal:
    case Campo::exameRecurso:
      break;
  }
  return maximoExame;
}

bool valorValido(Campo campo, float valor) {
  if (campo == Campo::notaEfolio && valor == -1) return true;
  return valor >= 0 && valor <= maximo(campo);
}

bool numeroAlunoValido(int numero) { return numero != 0; }

bool opcaoValida(int opcao) { return opcao == opcaoExameFinal || opcao == opcaoContinua; }

bool abaixoMinimoPfolio(float nota) { return nota < minimoPfolio; }

Admissao admissaoPfolio(float totalEfolios, int efoliosAvaliados) {
  if (totalEfolios < minimoTotalEfolios) return Admissao::totalInsuficiente;
  if (efoliosAvaliados < minimoEfoliosAvaliados) return Admissao::poucosEfolios;
  return Admissao::admitido;
}

Admissao admissaoPfolio(const NotasUC& notas) {
  return admissaoPfolio(notas.getNotaTotalEfolios(), notas.getNumEfolios());
}

bool admitidoPfolio(const NotasUC& notas) { return admissaoPfolio(notas) == Admissao::admitido; }

std::optional<Campo> campoProva(const NotasUC& notas) {
  if (notas.getOpcaoAvaliacao() == opcaoContinua) return Campo::pfolio;
  if (notas.getOpcaoAvaliacao() == opcaoExameFinal) return Campo::exameFinal;
  return std::nullopt;
}

Campo campoRecurso(const NotasUC& notas) {
  if (notas.getOpcaoAvaliacao() == opcaoContinua && admitidoPfolio(notas)) {
    return Campo::pfolioRecurso;
  }
  return Campo::exameRecurso;
}

std::vector<float> pesosContados(const std::vector<Efolio>& efolios) {
  std::vector<float> pesos;
  pesos.reserve(efolios.size());
  for (const Efolio& e : efolios) pesos.push_back(e.getPeso() == -1 ? 0 : e.getPeso());
  return pesos;
}

float totalPesos(const std::vector<Efolio>& efolios) {
  float total = 0;
  for (float peso : pesosContados(efolios)) total += peso;
  return total;
}

bool pesosTotalizamOito(float total) {
  return std::fabs(total - totalPesosExigido) < toleranciaPesos;
}

float pesosAvaliados(const std::vector<Efolio>& efolios) {
  float total = 0;
  for (const Efolio& e : efolios) {
    if (e.getNota() >= 0 && e.getPeso() != -1) total += e.getPeso();
  }
  return total;
}

bool pesosExcedidos(const NotasUC& notas) {
  return notas.getOpcaoAvaliacao() == opcaoContinua &&
         pesosAvaliados(notas.eFolios) > totalPesosExigido + toleranciaPesos;
}

float notaCalculada(const NotasUC& notas) {
  const float exame = notas.getProvaFinal();
  const float recurso = notas.getProvaRecurso();
  if (notas.getOpcaoAvaliacao() == opcaoExameFinal) {
    if (recurso == -1) return exame;
    return recurso > exame ? recurso : exame;
  }
  if (notas.getOpcaoAvaliacao() != opcaoContinua) return 0;
  if (!admitidoPfolio(notas)) return recurso;
  const float total = notas.getNotaTotalEfolios();
  float nota = 0;
  if (exame >= minimoPfolio) {
    nota = exame + total;
  } else if (exame == -1) {
    nota = total;
  }
  if (total + recurso > nota && recurso >= minimoPfolio) nota = total + recurso;
  return nota;
}

float arredondaNota(float nota) { return std::round(nota); }

float mediaAprovados(float somaNotas, long long aprovados) {
  if (aprovados == 0) return std::numeric_limits<float>::quiet_NaN();
  return somaNotas / static_cast<float>(aprovados);
}

// A passed unit whose grade goes up is an improvement.
NotaFinal decideNotaFinal(int notaAtual, float novaNota) {
  NotaFinal resultado{Decisao::atualizada, true, arredondaNota(novaNota)};
  const auto atual = static_cast<float>(notaAtual);
  if (aprovada(notaAtual) && novaNota > atual) {
    resultado.decisao = Decisao::melhoria;
  } else if (atual > novaNota) {
    resultado.decisao = Decisao::naoAtualizada;
    resultado.guarda = false;
  }
  if (notaAtual == -1) resultado.guarda = true;
  return resultado;
}

// The highest final grade there is.
const float notaMaxima = 20;

NotaFinal novaNotaFinal(const NotasUC& notas, int notaAtual) {
  if (pesosExcedidos(notas)) return {Decisao::pesosExcedidos, false, 0};
  const float nota = notaCalculada(notas);
  if (arredondaNota(nota) > notaMaxima) return {Decisao::acimaDeVinte, false, arredondaNota(nota)};
  return decideNotaFinal(notaAtual, nota);
}

NotaFinal notaFinalCorrigida(const NotasUC& notas) {
  if (pesosExcedidos(notas)) return {Decisao::pesosExcedidos, false, 0};
  if (!opcaoValida(notas.getOpcaoAvaliacao())) return {Decisao::atualizada, true, -1};
  const float nota = notaCalculada(notas);
  if (arredondaNota(nota) > notaMaxima) return {Decisao::acimaDeVinte, false, arredondaNota(nota)};
  return {Decisao::atualizada, true, nota < 0 ? -1 : arredondaNota(nota)};
}

bool temNotas(const NotasUC& notas, int notaFinal) {
  if (notaFinal != -1 || notas.getProvaFinal() != -1 || notas.getProvaRecurso() != -1) return true;
  for (const Efolio& e : notas.eFolios) {
    if (e.getNota() != -1) return true;
  }
  return false;
}

bool semEfolios(const std::vector<Efolio>& efolios) {
  for (const Efolio& e : efolios) {
    if (e.getNota() != -1 || e.getPeso() != -1) return false;
  }
  return true;
}

float percentagemCurso(long long ectsAprovados, int totalEctsCurso) {
  return static_cast<float>(ectsAprovados) / static_cast<float>(totalEctsCurso) * 100;
}

bool completouCurso(long long ectsAprovados, int totalEctsCurso) {
  return ectsAprovados == totalEctsCurso;
}

Situacao situacao(const NotasUC& notas, int notaFinal) {
  if (aprovada(notaFinal)) return Situacao::aprovado;
  const bool semProvas = notas.getProvaFinal() == -1 && notas.getProvaRecurso() == -1;
  const int opcao = notas.getOpcaoAvaliacao();
  if (opcao == opcaoContinua && semProvas && admitidoPfolio(notas)) return Situacao::emAvaliacao;
  if (notaFinal == -1 || (opcao == opcaoExameFinal && semProvas)) return Situacao::semNota;
  return Situacao::reprovado;
}

bool temResultadoFinal(Situacao situacao) {
  return situacao == Situacao::aprovado || situacao == Situacao::reprovado;
}

}  // namespace regras
