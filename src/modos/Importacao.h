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

// What a sheet does to the course. An import enrols the new numbers, and a
// final grade computed lower than the stored one leaves it as it was. A
// correction enrols no one (a new number is an error), replaces any value
// it gives, the cell "-" putting one back to none, clears the old option's
// grades when it changes the option, and stores the final grade its values
// give even when lower (regras::notaFinalCorrigida).
enum class Regime { importacao, correcao };

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
  // computed because the unit's graded e-folios weigh more than 8. After
  // them, for a correction, each final grade that went down: "Aluno N, UC
  // C: nota final 16 corrigida para 11" ('-' for none).
  std::vector<std::string> avisos;
  // Of a correction: the values changed, as the history counts them but the
  // final grades; the students they belong to; the final grades that went
  // down (to none included).
  long valoresCorrigidos = 0;
  long alunosCorrigidos = 0;
  long notasDesceram = 0;
};

// Checks the rows of the CSV text `texto` against a course whose units are
// `unidades`, applying them in order to `estudantes`: a new number enrols a
// student (taking a copy of every unit), a row with a unit code sets the
// option and grades of that unit and recomputes its final grade as the
// dialogue does. Appends each problem found to `erros` as "Linha N: WHY"
// and leaves out the row that has it; when any is found the caller must
// discard `estudantes`. With Regime::correcao the rows correct the course
// instead, as Regime says.
ResumoImportacao importaPauta(std::string_view texto, const std::vector<UC>& unidades,
                              std::vector<Estudantes>& estudantes, std::vector<std::string>& erros,
                              Regime regime = Regime::importacao);

// The summary line, without line end: "Importado FICHEIRO: A alunos novos,
// G notas alteradas, S linhas sem alterações" ("Verificado" for a check).
std::string textoResumo(bool verificar, std::string_view ficheiro, const ResumoImportacao& resumo);

// A sheet to apply to a course: the file as the command line named it,
// whether only to check it, what it does, and the origin its changes take
// on the grade history.
struct PedidoFolha {
  std::string ficheiro;
  bool verificar = false;
  Regime regime = Regime::importacao;
  std::string origem;
};

// Applies the sheet of `pedido` to course nCurso, loaded into `unidades` and
// `estudantes`: reads the file, checks and applies its rows and, unless
// `verificar`, saves the student file safely when anything changed. A file
// that is empty, a spreadsheet workbook (a ZIP container: xlsx, ods) or
// UTF-16 text is refused by name before any row. Errors go to standard
// error: the first 20 as "ERRO: Linha N: WHY", then "... e mais M erros",
// then "ERRO: N linhas com erros; nada foi importado" ("corrigido" for a
// correction, without its second part for a check); nothing is written
// then. On success prints each warning as "ATENÇÃO: WHY" on standard error
// and answers true with `resumo`; false after any failure, said.
bool aplicaFolha(const PedidoFolha& pedido, int nCurso, const Listacurso& unidades,
                 Listacurso& estudantes, ResumoImportacao& resumo);

// The import mode: takes the lock of course nCurso (refused, with a hint on
// standard error, when another live session holds it), loads the course as
// the export does and imports `ficheiro` as aplicaFolha does, the lock held
// until after saving, then prints the summary line on standard output; with
// `verificar` it takes no lock and writes nothing. Answers the exit status
// (estadoFalha on any failure).
int executaImportacao(int nCurso, const std::string& ficheiro, bool verificar);

#endif
