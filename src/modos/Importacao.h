// The import of a grade sheet or a list of students into a loaded course:
// a CSV file laid out as the export writes its grade sheet (columns found by
// their names, any order, unknown ones ignored). Every row is checked with
// the grading rules of the dialogue, and either every row is applied or
// none.
#ifndef PAUTA_IMPORTACAO_H
#define PAUTA_IMPORTACAO_H

#include <string>
#include <string_view>
#include <vector>

#include "Estudantes.h"
#include "Listacurso.h"
#include "UC.h"

struct ResumoImportacao {
  long alunosNovos = 0;
  // Grade values changed: an e-folio (grade and weight together), a p-folio
  // or exam, a resit.
  long notasAlteradas = 0;
  // Rows that neither enrolled a student nor changed anything.
  long linhasSemAlteracoes = 0;
  // Whether anything changed (a new student, a grade, an option).
  bool alterado = false;
  // Rows (the header included) with at least one error.
  long linhasComErros = 0;
  // What sound rows could not do, as "Linha N: WHY": a final grade not
  // computed because the unit's graded e-folios weigh more than 8.
  std::vector<std::string> avisos;
};

// Checks the rows of the CSV text `texto` against a course whose units are
// `unidades`, applying them in order to `estudantes`: a new number enrols a
// student (taking a copy of every unit), a row with a unit code sets the
// option and grades of that unit and recomputes its final grade as the
// dialogue does. Appends each problem found to `erros` as "Linha N: WHY"
// and leaves out the row that has it; when any is found the caller must
// discard `estudantes`.
ResumoImportacao importaPauta(std::string_view texto, const std::vector<UC>& unidades,
                              std::vector<Estudantes>& estudantes, std::vector<std::string>& erros);

// The summary line, without line end: "Importado FICHEIRO: A alunos novos,
// G notas alteradas, S linhas sem alterações" ("Verificado" for a check).
std::string textoResumo(bool verificar, std::string_view ficheiro, const ResumoImportacao& resumo);

// The import mode, on a course already loaded into `unidades` and
// `estudantes`: reads the CSV file `ficheiro`, checks and applies its rows
// and, unless `verificar`, saves the student file `nomeEstudantes` safely
// when anything changed. A file that is empty, a spreadsheet workbook (a ZIP
// container: xlsx, ods) or UTF-16 text is refused by name before any row.
// Errors go to standard error: the first 20 as "ERRO: Linha N: WHY", then
// "... e mais M erros", then "ERRO: N linhas com erros; nada foi importado"
// (without its second part for a check); the answer is then
// estadoFalha, with nothing written. On success prints each warning as
// "ATENÇÃO: Linha N: WHY" on standard error, then the summary line on
// standard output, and answers 0.
int importaCurso(const std::string& ficheiro, bool verificar, const Listacurso& unidades,
                 Listacurso& estudantes, const std::string& nomeEstudantes);

// The import mode: takes the lock of course nCurso (refused, with a hint on
// standard error, when another live session holds it), loads the course as
// the export does and imports `ficheiro` as importaCurso does, the lock held
// until after saving; with `verificar` it takes no lock and writes nothing.
// Answers the exit status (estadoFalha on any failure).
int executaImportacao(int nCurso, const std::string& ficheiro, bool verificar);

#endif
