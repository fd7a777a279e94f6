// The values a row of a grade sheet gives one unit of a student: the
// option, the e-folios and their weights, the p-folio or exam and the
// resit, each read, checked with the dialogue's rules and applied to the
// unit's copy.
#include <optional>

#include "Importador.h"

namespace importacao {

bool Importador::leValor(int coluna, float& valor) {
  const std::string_view texto = celula(coluna);
  if (texto.empty()) return false;
  if (limpa(coluna)) {
    valor = -1;
    return true;
  }
  if (csv::leDecimal(texto, valor)) return true;
  erro(coluna, entreAspas(texto) + TXT(" não é um número"));
  return false;
}

// Reports a value out of the field's range; `coluna` (maybe -1) is the
// column `nome` of the file, whose cell shows the value unless the value is
// the stored one.
bool Importador::dentroDoIntervalo(regras::Campo campo, float valor, const char* nome, int coluna) {
  if (regras::valorValido(campo, valor)) return true;
  const std::string_view texto = celula(coluna);
  std::string razao = entreAspas(texto.empty() ? csv::textoDecimal(valor) : std::string(texto)) +
                      " fora do intervalo de 0 a " + textoGeral(regras::maximo(campo));
  if (campo == regras::Campo::notaEfolio) razao += " (-1: sem eFolio)";
  erro(std::string(nome) + ": " + razao);
  return false;
}

// A grade given for a unit whose option is not chosen: the option must come
// with it (said once per row).
bool Importador::exigeOpcao(const UC& uc) {
  if (uc.getOpcaoAvaliacao() != opcaoNaoEscolhida) return true;
  if (!faltaOpcaoDita_) {
    erro(std::string(csv::colunaAvaliacao) +
         TXT(": falta a opção de avaliação da UC (Contínua ou Exame Final)"));
  }
  faltaOpcaoDita_ = true;
  return false;
}

// Reads the option cell (empty: none); false, said, when it names none.
bool Importador::leOpcaoCelula(int& opcao) {
  const std::string_view textoOpcao = celula(colunas_.avaliacao);
  opcao = opcaoNaoEscolhida;
  if (limpa(colunas_.avaliacao) || csv::leOpcao(textoOpcao, opcao)) return true;
  erro(colunas_.avaliacao, entreAspas(textoOpcao) + TXT(" não é ") +
                               csv::textoOpcao(opcaoContinua) + " nem " +
                               csv::textoOpcao(opcaoExameFinal));
  return false;
}

// A correction's new option: the old one's grades go (every e-folio, the
// p-folio or exam, the resit); the row may give the new one's.
void Importador::trocaOpcao(UC& uc, int opcao) {
  uc.setOpcaoAvaliacao(opcao);
  for (Efolio& e : uc.eFolios) {
    e.setNota(-1);
    e.setPeso(-1);
  }
  uc.setProvaFinal(-1);
  uc.setProvaRecurso(-1);
}

// The option cell: it chooses the option of a unit that has none, and must
// agree with one already chosen; a correction's replaces it ("-": none).
// False on an error.
bool Importador::aplicaOpcao(UC& uc, bool& alterou) {
  int opcao = opcaoNaoEscolhida;
  if (!leOpcaoCelula(opcao)) return false;
  if (opcao == uc.getOpcaoAvaliacao()) return true;
  if (corrige_ && !celula(colunas_.avaliacao).empty()) {
    trocaOpcao(uc, opcao);
    alterou = true;
    return true;
  }
  if (opcao == opcaoNaoEscolhida) return true;
  if (uc.getOpcaoAvaliacao() != opcaoNaoEscolhida) {
    const char* atual = csv::textoOpcao(uc.getOpcaoAvaliacao());
    erro(colunas_.avaliacao, std::string(TXT("o aluno já tem a opção ")) +
                                 (*atual != '\0' ? atual : TXT("inválida")) + " nesta UC");
    return false;
  }
  uc.setOpcaoAvaliacao(opcao);
  alterou = true;
  return true;
}

Alteracao Importador::aplicaNotas(UC& uc) {
  Alteracao resultado;
  if (!aplicaOpcao(uc, resultado.alterou)) return resultado;
  const size_t errosAntes = erros_.size();
  long notas = 0;
  // The e-folios first: admission to the p-folio and the resit's range
  // depend on them.
  if (aplicaEfolios(uc, notas)) {
    const long efolios = notas;
    aplicaProva(uc, notas);
    aplicaRecurso(uc, notas);
    if (efolios > 0 && erros_.size() == errosAntes) revalidaProvas(uc);
  }
  if (erros_.size() != errosAntes || (notas == 0 && !(corrige_ && resultado.alterou))) {
    return resultado;
  }
  const regras::Decisao decisao = corrige_ ? uc.corrigeNotaFinal() : uc.recalculaNotaFinal();
  if (decisao == regras::Decisao::pesosExcedidos) avisaPesos(uc);
  if (decisao == regras::Decisao::acimaDeVinte) avisaAcimaDeVinte(uc);
  resultado.notas = notas;
  resultado.alterou = true;
  return resultado;
}

// The cells of the e-folio `i`; answers true when they changed it.
bool Importador::aplicaEfolio(UC& uc, int i) {
  const bool notaDada = !celula(colunas_.nota[i]).empty();
  const bool pesoDado = !celula(colunas_.peso[i]).empty();
  if (!notaDada && !pesoDado) return false;
  Efolio* efolio = uc.procuraEfolio(letras[i]);
  float nota = efolio != nullptr ? efolio->getNota() : -1;
  float peso = efolio != nullptr ? efolio->getPeso() : -1;
  if (!leCelulasEfolio(i, nota, peso)) return false;
  if (efolio != nullptr && mesmoValor(nota, efolio->getNota()) &&
      mesmoValor(peso, efolio->getPeso())) {
    return false;
  }
  Efolio* aceite = efolioAceite(uc, efolio, i, notaDada);
  if (aceite == nullptr || !validaEfolio(i, nota, peso, pesoDado)) return false;
  aceite->setNota(nota);
  aceite->setPeso(peso);
  return true;
}

// Reads the given cells of the e-folio `i` over `nota` and `peso`; false
// when one is not a number.
bool Importador::leCelulasEfolio(int i, float& nota, float& peso) {
  bool lidos = true;
  if (!celula(colunas_.nota[i]).empty()) lidos = leValor(colunas_.nota[i], nota) && lidos;
  if (!celula(colunas_.peso[i]).empty()) lidos = leValor(colunas_.peso[i], peso) && lidos;
  return lidos;
}

// The e-folio `i` of the unit (`efolio`) when the unit takes e-folio
// grades: its option is continuous assessment and it has the e-folio;
// otherwise nullptr, and why.
Efolio* Importador::efolioAceite(const UC& uc, Efolio* efolio, int i, bool notaDada) {
  if (!exigeOpcao(uc)) return nullptr;
  if (uc.getOpcaoAvaliacao() == opcaoContinua && efolio != nullptr) return efolio;
  erro(std::string(notaDada ? colunasNota[i] : colunasPeso[i]) + ": " +
       (uc.getOpcaoAvaliacao() == opcaoExameFinal
            ? "o aluno optou por Exame Final nesta UC"
            : TXT("a opção de avaliação desta UC é inválida")));
  return nullptr;
}

// Checks the e-folio's new grade and weight: an e-folio without a grade
// (-1) has no weight, and one with a grade needs one.
bool Importador::validaEfolio(int i, float nota, float& peso, bool pesoDado) {
  const int colunaNota = colunas_.nota[i];
  const int colunaPeso = colunas_.peso[i];
  if (!dentroDoIntervalo(regras::Campo::notaEfolio, nota, colunasNota[i], colunaNota)) return false;
  if (nota == -1) {
    if (pesoDado && peso != -1) {
      erro(colunaPeso, std::string("o eFolio ") + letras[i] + TXT(" sem nota não tem peso"));
      return false;
    }
    peso = -1;
    return true;
  }
  if (!pesoDado && peso == -1) {
    erro(std::string(colunasPeso[i]) + ": falta o peso do eFolio " + letras[i]);
    return false;
  }
  return dentroDoIntervalo(regras::Campo::pesoEfolio, peso, colunasPeso[i], colunaPeso);
}

// The e-folio cells; answers false when any is wrong. A change must leave
// weights that total 8, as leaving the dialogue's e-folio menu requires.
bool Importador::aplicaEfolios(UC& uc, long& notas) {
  const size_t errosAntes = erros_.size();
  bool mudou = false;
  for (int i = 0; i < numEfolios; ++i) {
    if (!aplicaEfolio(uc, i)) continue;
    ++notas;
    mudou = true;
  }
  if (erros_.size() != errosAntes) return false;
  const float total = regras::totalPesos(uc.eFolios);
  // A correction may take every e-folio back to none, as the record started.
  const bool vazios = corrige_ && regras::semEfolios(uc.eFolios);
  if (mudou && !regras::pesosTotalizamOito(total) && !vazios) {
    erro(std::string("Pesos: os pesos dos eFolios somam ") + csv::textoDecimal(total) +
         TXT(" e têm de somar 8"));
    return false;
  }
  return true;
}

// The p-folio (continuous assessment, admitted students, 0..12) or the
// exam (0..20).
bool Importador::aplicaProva(UC& uc, long& notas) {
  const int coluna = colunas_.pfolio;
  float valor = 0;
  if (!leValor(coluna, valor) || mesmoValor(valor, uc.getProvaFinal())) return true;
  if (limpa(coluna)) {
    uc.setProvaFinal(-1);
    ++notas;
    return true;
  }
  if (!exigeOpcao(uc)) return false;
  const std::optional<regras::Campo> campo = regras::campoProva(uc);
  if (!campo) {
    erro(coluna, TXT("a opção de avaliação desta UC é inválida"));
    return false;
  }
  if (*campo == regras::Campo::pfolio && !admitidoPfolio(uc)) return false;
  if (!dentroDoIntervalo(*campo, valor, csv::colunaPfolio, coluna)) return false;
  uc.setProvaFinal(valor);
  ++notas;
  return true;
}

// Whether the student was admitted to the p-folio; says why not.
bool Importador::admitidoPfolio(const UC& uc) {
  // A correction checks the p-folio the record keeps even when the sheet has
  // no such column.
  const int coluna = colunas_.pfolio;
  const std::string nome = coluna >= 0 ? nomeColuna(coluna) : csv::colunaPfolio;
  const regras::Admissao admissao = regras::admissaoPfolio(uc);
  if (admissao == regras::Admissao::totalInsuficiente) {
    erro(nome + TXT(": o aluno não foi admitido ao pFolio: os eFolios somam ") +
         csv::textoDecimal(uc.getNotaTotalEfolios()) + TXT(", o mínimo é ") +
         csv::textoDecimal(regras::minimoTotalEfolios));
    return false;
  }
  if (admissao == regras::Admissao::poucosEfolios) {
    erro(nome + TXT(": o aluno não foi admitido ao pFolio: tem de ser avaliado em pelo menos ") +
         std::to_string(regras::minimoEfoliosAvaliados) + " eFolios");
    return false;
  }
  return true;
}

// The resit: the p-folio resit (0..12) for an admitted continuous-assessment
// student, the resit exam (0..20) for anyone else.
bool Importador::aplicaRecurso(UC& uc, long& notas) {
  const int coluna = colunas_.recurso;
  float valor = 0;
  if (!leValor(coluna, valor) || mesmoValor(valor, uc.getProvaRecurso())) return true;
  if (limpa(coluna)) {
    uc.setProvaRecurso(-1);
    ++notas;
    return true;
  }
  if (!exigeOpcao(uc)) return false;
  if (!dentroDoIntervalo(regras::campoRecurso(uc), valor, csv::colunaRecurso, coluna)) {
    return false;
  }
  uc.setProvaRecurso(valor);
  ++notas;
  return true;
}

// After the e-folios changed, the resit the record keeps must be within the
// range its admission now gives: a resit exam (0..20) taken before the
// e-folios admitted the student would count as a p-folio resit and give a
// final grade above 20. A correction also keeps a p-folio only for an
// admitted student, as the dialogue stores one.
void Importador::revalidaProvas(const UC& uc) {
  if (corrige_ && regras::campoProva(uc) == regras::Campo::pfolio && uc.getProvaFinal() != -1 &&
      !admitidoPfolio(uc)) {
    return;
  }
  if (uc.getProvaRecurso() != -1) {
    dentroDoIntervalo(regras::campoRecurso(uc), uc.getProvaRecurso(), csv::colunaRecurso,
                      colunas_.recurso);
  }
}

}  // namespace importacao
