// Loading a chosen course from its two data files, shared by the dialogue
// and the modes beside it. The loading texts and the reports of skipped
// lines go to the stream given (standard output in the dialogue, standard
// error in the other modes).
#ifndef PAUTA_CARREGACURSO_H
#define PAUTA_CARREGACURSO_H

#include <iosfwd>

#include "Listacurso.h"

// Loads the units of course `nCurso` from "<code>-UC.txt" into `unidades`
// and prints their count. Answers false, printing nothing, when the file
// cannot be read.
bool carregaUnidadesCurso(int nCurso, Listacurso& unidades, std::ostream& mensagens);

// Loads the students of course `nCurso` from "<code>-Estudantes.txt" into
// `estudantes` with the loading texts, and remembers what the file held for
// the next save. A missing file is a new course without students. Answers
// false when the file exists but cannot be read: the error is printed, and
// the course must not be opened (a save would replace the file).
bool carregaEstudantesCurso(int nCurso, Listacurso& estudantes, std::ostream& mensagens);

#endif
