// What the modes that change a course share (the import, the correction,
// the removal): the course loaded under its lock, the quiet save that puts
// the changes on the grade history, and the reason a change may carry.
#ifndef PAUTA_ALTERACAOCURSO_H
#define PAUTA_ALTERACAOCURSO_H

#include <functional>
#include <string>

#include "Listacurso.h"

// Loads course nCurso as the export does and runs `altera` on it. Unless
// `verificar`, the course's lock is taken first and held until `altera`
// returns (a signal releases it through the clean-up of every way out);
// when another live session holds it, its holder and how to clear a lock
// left by a crash are said on standard error. Answers what `altera`
// answers, or estadoFalha when the lock or the loading failed.
int alteraCurso(
    int nCurso, bool verificar,
    const std::function<int(const Listacurso& unidades, Listacurso& estudantes)>& altera);

// Saves the students of course nCurso without a confirmation, each value
// changed on the grade history with `origem`. False, said on standard
// error, when the student file was not replaced (a failure, or a conflict
// file written beside it).
bool gravaAlteracoes(Listacurso& estudantes, int nCurso, const std::string& origem);

// `origem` followed by " motivo:TEXTO" when a reason `motivo` was given on
// the command line (empty: none).
std::string origemComMotivo(std::string origem, const std::string& motivo);

#endif
