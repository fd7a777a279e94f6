// What a save changes. A compact picture of the students as the student
// file held them (at loading, then at each save that kept the changes):
// per student his number and number of units, per unit its code and the ten
// values the student file writes, as numbers. No names and no copy of the
// students: on a large course it costs about a fifth of the student file.
// The students now are compared with it value by value, in file order, each
// difference becoming one line of the grade history.
#ifndef PAUTA_RETRATOESTUDANTES_H
#define PAUTA_RETRATOESTUDANTES_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "Estudantes.h"
#include "FormatoHistorico.h"

class RetratoEstudantes {
 public:
  // Pictures `estudantes` (replacing the picture held, reusing its memory).
  void tira(const std::vector<Estudantes>& estudantes);
  // No student at all: every student is new.
  void limpa();
  std::size_t numeroEstudantes() const { return alunos_.size(); }

  // The values of one unit as the student file writes them.
  struct Valores {
    std::int32_t codigo = 0;
    std::int32_t opcao = -1;
    float efolios[6] = {-1, -1, -1, -1, -1, -1};  // grade and weight of A, B and C
    float provaFinal = -1;
    float recurso = -1;
    std::int32_t nota = -1;  // as written: the final grade truncated
    std::uint8_t efoliosPresentes = 7;  // bit i: the record has e-folio A + i
  };

 private:
  friend void comparaEstudantes(const RetratoEstudantes&, const std::vector<Estudantes>&,
                                historico::LinhaHistorico&,
                                const std::function<void(historico::LinhaHistorico&)>&);
  struct Aluno {
    std::int32_t numero;
    std::uint32_t numeroUCs;
  };
  std::vector<Aluno> alunos_;
  std::vector<Valores> ucs_;  // every student's units one after the other
};

// Compares the students now with the picture taken of them: students are
// matched by position (the course only ever appends students, and a
// student's units are changed in place), units likewise. For each value
// whose text in the student file differs, sets `linha`'s number, unit,
// field, before and after (its other fields are left as given) and calls
// `recebe`: students in order, units in order, fields in the order opcao,
// eFolioA, pesoA, eFolioB, pesoB, eFolioC, pesoC, pFolio/Exame, Recurso,
// NotaFinal. A student beyond the picture is new: an `aluno` line (before
// empty, after his name), then each value of his units that is not "none"
// (option -1, grades and weights -1): what he started with is on record
// too, whether typed in the dialogue, taken from the unit file's
// assessment part or imported. A value changed and changed back gives no
// line.
void comparaEstudantes(const RetratoEstudantes& antes, const std::vector<Estudantes>& agora,
                       historico::LinhaHistorico& linha,
                       const std::function<void(historico::LinhaHistorico&)>& recebe);

#endif
