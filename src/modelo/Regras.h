// The grading rules as pure functions, without console or file: which
// values each field of an assessment record accepts, admission to the
// p-folio and the field each grade goes to, the e-folio weights totalling 8,
// the final grade of a record and its update, the pass mark and the passed
// students' average. The dialogue, the import, the export and the report
// apply these same rules.
#ifndef PAUTA_REGRAS_H
#define PAUTA_REGRAS_H

#include <cstddef>
#include <optional>
#include <vector>

#include "Efolio.h"

class NotasUC;

namespace regras {

// Admission to the p-folio (and to its resit) needs at least this e-folio
// total and this many graded e-folios.
const float minimoTotalEfolios = 3.5f;
const int minimoEfoliosAvaliados = 2;
// A p-folio or p-folio resit below this does not count for the final grade.
const float minimoPfolio = 5.5f;

// The fields of an assessment record that take a value.
enum class Campo {
  notaEfolio,     // -1 (no e-folio) or 0..100
  pesoEfolio,     // 0..8
  pfolio,         // 0..12
  exameFinal,     // 0..20
  pfolioRecurso,  // 0..12
  exameRecurso,   // 0..20
};

// Whether `valor` is accepted for `campo`; every bound is included.
bool valorValido(Campo campo, float valor);

// The largest value `campo` accepts (100, 8, 12 or 20).
float maximo(Campo campo);

// A student number can be given to a new student: any but 0.
bool numeroAlunoValido(int numero);

// An assessment option that can be chosen: continuous (1) or final exam (0).
bool opcaoValida(int opcao);

// A p-folio or p-folio resit grade that does not count for the final grade.
bool abaixoMinimoPfolio(float nota);

// The verdict on admission to the p-folio, the total tested first.
enum class Admissao { admitido, totalInsuficiente, poucosEfolios };
Admissao admissaoPfolio(float totalEfolios, int efoliosAvaliados);
// The same for a record, from its graded e-folios.
Admissao admissaoPfolio(const NotasUC& notas);
bool admitidoPfolio(const NotasUC& notas);

// The field a p-folio or exam grade goes to: the p-folio for a
// continuous-assessment record (which must be admitted too), the final exam
// for a final-exam one; none for any other option.
std::optional<Campo> campoProva(const NotasUC& notas);

// The field a resit grade goes to: the p-folio resit for an admitted
// continuous-assessment record, the resit exam otherwise.
Campo campoRecurso(const NotasUC& notas);

// The weight of each e-folio in order, a weight of exactly -1 counted as 0.
std::vector<float> pesosContados(const std::vector<Efolio>& efolios);
// Their single-precision sum, added in order.
float totalPesos(const std::vector<Efolio>& efolios);
// Whether a total of weights counts as 8: it differs from 8 by less than
// 0.0001, so that sums like 1.8 + 3.1 + 3.1 are not refused for the
// rounding of single precision.
bool pesosTotalizamOito(float total);
// The weights of the e-folios that have a grade (0 or more), a weight of -1
// counted as 0, added in order: what the final grade gives them.
float pesosAvaliados(const std::vector<Efolio>& efolios);
// Whether a continuous-assessment record's graded e-folios weigh more than
// 8 (beyond the tolerance of pesosTotalizamOito): its final grade would
// exceed 20, so none is computed from it.
bool pesosExcedidos(const NotasUC& notas);

// The final grade that the record's values give, before rounding: the exam
// or the better resit; in continuous assessment the e-folio total plus the
// p-folio (or its resit) when admitted, else the resit exam alone; 0 for no
// option. May be -1 (nothing to count yet).
float notaCalculada(const NotasUC& notas);

// Rounds a final grade to a whole number, halves away from zero.
float arredondaNota(float nota);

// The lowest passing final grade: a unit is passed when its final grade,
// truncated to a whole number, is this or more.
const int notaMinimaAprovacao = 10;
inline bool aprovada(int notaTruncada) { return notaTruncada >= notaMinimaAprovacao; }

// The average of the passed students' grades of a unit, from their sum and
// their number; not a number when none passed.
float mediaAprovados(float somaNotas, long long aprovados);

// What happens to the stored final grade when a new one is computed.
enum class Decisao {
  melhoria,        // the unit was passed and the new grade is higher: stored
  naoAtualizada,   // the new grade is lower: the stored one is kept
  atualizada,      // stored without a word
  pesosExcedidos,  // nothing computed (pesosExcedidos): the stored one is kept
  acimaDeVinte,    // nothing computed (the values give more than 20): kept too
};
struct NotaFinal {
  Decisao decisao;
  bool guarda;  // whether `nota` replaces the stored grade
  float nota;   // the rounded new grade
};
// The decision for a unit whose current final grade, truncated, is
// `notaAtual` (-1 for none) and whose record now gives `novaNota`. A unit
// without a grade always takes the new one.
NotaFinal decideNotaFinal(int notaAtual, float novaNota);
// The final-grade rule of a record whose stored grade, truncated, is
// `notaAtual`: nothing computed when its e-folios weigh too much
// (pesosExcedidos) or its values, rounded, give more than 20 (acimaDeVinte:
// a resit exam above 12 kept by a record later admitted to the p-folio, a
// value edited into the file), otherwise decideNotaFinal on notaCalculada.
// The dialogue and the import both run it.
NotaFinal novaNotaFinal(const NotasUC& notas, int notaAtual);
// The final-grade rule of a corrected record: the grade the dialogue's rule
// computes from its values (notaCalculada, rounded), kept even when lower
// than the stored one (decisao atualizada, guarda true), -1 when nothing is
// left to compute it from (no option, nothing graded); nothing computed when
// its e-folios weigh too much or its values give more than 20 (as
// novaNotaFinal, the stored grade kept).
NotaFinal notaFinalCorrigida(const NotasUC& notas);

// Whether a record holds a grade: an e-folio grade, a p-folio or exam, a
// resit, or a final grade (`notaFinal`, truncated; -1 for none). The option
// and the weights are no grades.
bool temNotas(const NotasUC& notas, int notaFinal);
// Whether no e-folio of the record holds a grade or a weight, as a record
// starts: its weights need not total 8.
bool semEfolios(const std::vector<Efolio>& efolios);

}  // namespace regras

namespace regras {

// The course's total of ECTS credits when its course record gives none.
const int totalEctsPorOmissao = 180;

// Passed ECTS as a percentage of the course's total, in single precision
// (60 of 180 give 33.333336).
float percentagemCurso(long long ectsAprovados, int totalEctsCurso);
// Whether the passed ECTS are exactly the course's total: the course is done.
bool completouCurso(long long ectsAprovados, int totalEctsCurso);

// What a record's final grade means where results are counted (the report
// and the export; the dialogue shows the grade as it is).
enum class Situacao {
  aprovado,     // a final grade that passes
  reprovado,    // a final grade below the pass mark
  emAvaliacao,  // continuous assessment admitted to the p-folio, with neither
                // p-folio nor resit yet: its grade is only the e-folios' sum
  semNota,      // no final grade, or a final exam with neither exam nor resit
};
// The situation of a record whose final grade, truncated, is `notaFinal`
// (-1 for none). A passing grade passes whatever the record holds.
Situacao situacao(const NotasUC& notas, int notaFinal);
// Passed or failed: a final result, which pass rates are taken over.
bool temResultadoFinal(Situacao situacao);

// The longest student name the program takes (typed or imported), in
// characters (CP1252 bytes): the memory of a course follows its students,
// not an attacker's name.
const std::size_t maximoCaracteresNome = 200;
}  // namespace regras

#endif
