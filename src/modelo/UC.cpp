#include "UC.h"

#include <climits>
#include <cmath>
#include <iomanip>
#include <ostream>

#include "Cp1252.h"
#include "Numeros.h"
#include "Regras.h"
#include "Tabela.h"

IndiceUCs indexaUCs(const std::vector<UC>& ucs) {
  IndiceUCs indice;
  for (size_t i = 0; i < ucs.size(); ++i) indice[ucs[i].getCodigo()].push_back(i);
  return indice;
}

UC::UC()
    : codigo(0), ano(0), semestre(0), ects(0), nota(-1), somaAlunosAprovados(0), somaNotas(0) {}

UC::~UC() = default;

int UC::getNota() const {
  if (std::isnan(nota)) return 0;
  if (nota >= 2147483648.0f) return INT_MAX;
  if (nota < -2147483648.0f) return INT_MIN;
  return static_cast<int>(nota);
}

void UC::limpaEstatisticas() {
  somaAlunosAprovados = 0;
  somaNotas = 0;
}

regras::Decisao UC::recalculaNotaFinal() {
  const regras::NotaFinal nova = regras::novaNotaFinal(*this, getNota());
  if (nova.guarda) setNota(nova.nota);
  return nova.decisao;
}

regras::Decisao UC::corrigeNotaFinal() {
  const regras::NotaFinal nova = regras::notaFinalCorrigida(*this);
  if (nova.guarda) setNota(nova.nota);
  return nova.decisao;
}

void UC::atualizaNotaFinal(std::ostream& saida) {
  const regras::Decisao decisao = recalculaNotaFinal();
  if (decisao == regras::Decisao::melhoria) {
    saida << std::endl;
    saida << TXT("ATENÇÂO: A nova nota é superior a nota existente, trata-se de uma melhoria de "
                 "nota?")
          << std::endl;
    saida << "A Atualizar Nota ..." << std::endl;
  } else if (decisao == regras::Decisao::naoAtualizada) {
    saida << std::endl;
    saida << TXT("Nota final não atualizada") << std::endl;
  } else if (decisao == regras::Decisao::pesosExcedidos) {
    // The sum in the stream's current format, as the e-folio check prints
    // its total.
    saida << std::endl;
    saida << TXT("ATENÇÃO: Os pesos dos eFolios somam ") << regras::pesosAvaliados(eFolios)
          << TXT("; corrija-os no menu Inserir Nota de eFolio para calcular a nota final")
          << std::endl;
  } else if (decisao == regras::Decisao::acimaDeVinte) {
    saida << std::endl;
    saida << TXT("ATENÇÃO: As notas deste registo dão a nota final ")
          << static_cast<int>(regras::novaNotaFinal(*this, getNota()).nota)
          << TXT(", acima de 20; corrija-as no menu Inserir Notas para calcular a nota final")
          << std::endl;
  }
  saida << std::endl;
  saida << std::endl;
}

void UC::imprimeInfoUC(std::ostream& saida) const {
  if (aprovado()) imprimeInfoUC(saida, 1);
}

void UC::imprimeInfoUC(std::ostream& saida, int /*flag*/) const {
  celula(saida, "", larguraInicial, separador);
  celula(saida, nome, larguraNome, separador);
  celula(saida, ects, larguraEcts, separador);
  celula(saida, opcaoAvaliacaoToString(), larguraOpcaoAv, separador);
  for (const Efolio& e : eFolios) {
    celula(saida, e.valorImpressaoNotaEfolio(), larguraEfolio, separador);
  }
  celula(saida, getNotaToString(getProvaFinal()), larguraExame, separador);
  celula(saida, getNotaToString(getProvaRecurso()), larguraExame, separador);
  celula(saida, getNotaFinalToString(static_cast<float>(getNota())), larguraNota, separador);
  saida << std::endl;
}

void UC::imprimeUCcodigoNome(std::ostream& saida) const {
  std::string texto;
  celula(texto, "", larguraInicial, separador);
  celula(texto, codigo, larguraCodigo, separador);
  celula(texto, nome, larguraNome, separador);
  imprimeLinha(saida, texto);
}

void UC::imprimeInfoUCcurso(std::ostream& saida) const {
  saida << std::endl;
  saida << "UNIDADE CURRICULAR: " << nome << std::endl;
  saida << "Total de Alunos Aprovados: " << somaAlunosAprovados << std::endl;
  if (somaAlunosAprovados != 0) {
    saida << TXT("Média: ") << std::fixed << std::setprecision(precisaoMedia) << mediaAprovados()
          << std::endl;
  } else {
    saida << TXT("Não existem alunos aprovados, logo não é possivel calcular a média") << std::endl;
  }
}
