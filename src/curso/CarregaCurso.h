// Loading a chosen course from its two data files, shared by the dialogue
// and the modes beside it. The dialogue shows its loading texts (counts,
// headings) on standard output; the other modes load without a word unless
// something is wrong. What could not be read is reported on the stream each
// caller gives, so no mode redirects standard output.
#ifndef PAUTA_CARREGACURSO_H
#define PAUTA_CARREGACURSO_H

#include <iosfwd>
#include <string>

#include "Cp1252.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"
#include "TextoUnidades.h"

// Where loading reports: `progresso` receives the dialogue's loading texts
// (nullptr: nowhere), `avisos` the messages about what could not be read.
struct RelatoCarregamento {
  std::ostream* progresso;
  std::ostream* avisos;
};

// Loads the units of course `nCurso` from "<code>-UC.txt" into `unidades`
// and shows their count; a file in UTF-8 is converted, with its notice on
// the first reading. Answers false, printing nothing, when the file cannot
// be read; `razao` (when given) is then set when it exists but is in UTF-16.
bool carregaUnidadesCurso(int nCurso, Listacurso& unidades, const RelatoCarregamento& relato,
                          std::string* razao = nullptr);

// What became of a course's student file at loading.
enum class FicheiroEstudantes {
  carregado,    // read (and its students loaded)
  inexistente,  // missing: a new course without students
  ilegivel,     // exists but cannot be read: the error has been reported
};

// Loads the students of course `nCurso` from "<code>-Estudantes.txt" into
// `estudantes` with the loading texts, and remembers what the file held for
// the next save. A missing file is a new course without students (the
// dialogue says it cannot open it). A file that exists but cannot be read is
// reported on `avisos` (a file in UTF-16 too); the course must not be
// opened then (a save would replace the file). A file in UTF-8 is converted
// as it is read, with its notice on `avisos`, and the first save keeps a
// copy of it.
FicheiroEstudantes carregaEstudantesCurso(int nCurso, Listacurso& estudantes,
                                          const RelatoCarregamento& relato);

// Loads course `nCurso` for a mode beside the dialogue: nothing is printed
// when all is well; problems go to `erros`, a missing student file as
// "ATENÇÃO: O curso N ainda não tem ficheiro de estudantes" (a course without
// students). Answers false, after an "ERRO:" line, when the unit file or an
// existing student file cannot be read.
bool carregaCursoSemDialogo(int nCurso, Listacurso& unidades, Listacurso& estudantes,
                            std::ostream& erros);

#endif
