// What a save changes. The values the student file held (at loading, then
// at each save that kept the changes) of the students changed since: each
// student is pictured just before his first change (per student his number
// and, per unit, its code and the ten values the student file writes, as
// numbers: no names, no copy of the students), or all at once before a
// change in bulk (the import). Students beyond those the file held are new.
// A student or unit removed leaves the picture with the text of what the
// file held of it, for the history.
// A save then compares only the students pictured and the new ones, so one
// grade changed on a large course costs next to nothing; the students now
// are compared with the picture value by value, in file order, each
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
  // The student file holds the first `n` students of the list (positions
  // 0 .. n-1); nothing is pictured yet.
  void inicia(std::size_t n);
  // Pictures the student at position `i` as he is now, before a change;
  // nothing if he is pictured already or is new.
  void guarda(std::size_t i, const Estudantes& estudante);
  // The same for every student of `estudantes` (before a change in bulk).
  void guardaTodos(const std::vector<Estudantes>& estudantes);
  // The student at position `i` (as `estudante` holds him now) leaves the
  // list: what the file held of him is kept for the history (an `aluno`
  // line, then a `uc` line per unit) and the students after him move up one
  // place. Nothing is kept for a new student, never in the file.
  void removeAluno(std::size_t i, const Estudantes& estudante);
  // The unit at `posicao` of the student at position `i` leaves his units:
  // its line as the file held it is kept for the history (a `uc` line) and
  // his units after it move up one place. Nothing for a new student.
  void removeUC(std::size_t i, std::size_t posicao, const Estudantes& estudante);

  // The values of one unit as the student file writes them.
  struct Valores {
    std::int32_t codigo = 0;
    std::int32_t opcao = -1;
    float efolios[6] = {-1, -1, -1, -1, -1, -1};  // grade and weight of A, B and C
    float provaFinal = -1;
    float recurso = -1;
    std::int32_t nota = -1;             // as written: the final grade truncated
    std::uint8_t efoliosPresentes = 7;  // bit i: the record has e-folio A + i
  };

 private:
  friend void comparaEstudantes(const RetratoEstudantes&, const std::vector<Estudantes>&,
                                historico::LinhaHistorico&,
                                const std::function<void(historico::LinhaHistorico&)>&);
  struct Aluno {
    std::uint32_t primeiraUC;  // in ucs_
    std::uint32_t numeroUCs;
  };
  // A history line of something removed: its student, unit (for a `uc`
  // line), field and ANTES.
  struct Removido {
    std::int32_t numero;
    std::int32_t codigo;
    const char* campo;
    std::string antes;
  };
  static constexpr std::uint32_t semRetrato = 0xFFFFFFFFu;
  // The values the file held of unit `posicao` of the student at `i`, or
  // nullptr when he was not pictured (his values now are those).
  const Valores* valoresGuardados(std::size_t i, std::size_t posicao) const;
  std::vector<Removido> removidos_;  // in the order removed
  std::size_t conhecidos_ = 0;
  std::size_t guardados_ = 0;
  std::vector<std::uint32_t> posicoes_;  // per known student: his index in alunos_, or semRetrato
  std::vector<Aluno> alunos_;
  std::vector<Valores> ucs_;  // the pictured students' units one after the other
};

// Compares the students now with what the student file held: students are
// matched by position (students are appended or removed, and a student's
// units are changed in place or removed, each removal kept apart), units
// likewise; a known student who was not pictured has not changed. First
// the removals give their lines, in the order made (`aluno` or `uc`, ANTES
// what was removed, DEPOIS empty). Then, for each value whose text in the
// student file differs, sets `linha`'s number, unit, field, before and
// after (its other fields are left as given) and calls `recebe`: students
// in order, units in order, fields in the order opcao, eFolioA, pesoA,
// eFolioB, pesoB, eFolioC, pesoC, pFolio/Exame, Recurso, NotaFinal. A new
// student gives an `aluno` line (before empty, after his name), then each
// value of his units that is not "none" (option -1, grades and weights -1):
// what he started with is on record too, whether typed in the dialogue,
// taken from the unit file's assessment part or imported. A value changed
// and changed back gives no line.
void comparaEstudantes(const RetratoEstudantes& antes, const std::vector<Estudantes>& agora,
                       historico::LinhaHistorico& linha,
                       const std::function<void(historico::LinhaHistorico&)>& recebe);

// The values of `uc` as the student file writes them.
RetratoEstudantes::Valores valoresUnidade(const UC& uc);
// Compares the values of one unit before and now as comparaEstudantes
// does, calling `recebe` for each value whose text in the student file
// differs, with `linha`'s unit, field, before and after set (the final
// grade last).
void comparaUnidades(const RetratoEstudantes::Valores& antes,
                     const RetratoEstudantes::Valores& agora, historico::LinhaHistorico& linha,
                     const std::function<void(historico::LinhaHistorico&)>& recebe);

#endif
