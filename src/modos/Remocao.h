// The removal mode: a unit taken off a student's units (he no longer takes
// it), or a student taken off the course, under the course's lock, saved as
// the import saves and put on the grade history (an `aluno` or `uc` line
// whose ANTES is what the student file held). A record that holds a grade
// is removed only when forced.
#ifndef PAUTA_REMOCAO_H
#define PAUTA_REMOCAO_H

#include <string>

struct PedidoRemocao {
  int nCurso = 0;
  int aluno = 0;
  bool porUc = false;  // remove only the unit `uc` of his units
  int uc = 0;
  std::string motivo;  // as the command line gave it; empty: none
  bool forcar = false;
};

// Removes what `pedido` names from course nCurso (every student with the
// number; of each, his first unit with the code), refusing on standard
// error, with nothing written: a number the course does not have ("ERRO: O
// curso C não tem o aluno N"), a unit he does not take ("ERRO: O aluno N não
// está inscrito na UC U"), a record holding a grade without `forcar`
// ("ERRO: O aluno N tem notas na UC U; corrija-as primeiro para '-' ou use
// --forcar", the first such unit). Saves with the origin
// "remocao[ motivo:TEXTO]" and says what went on standard output. Answers
// the exit status (estadoFalha on any failure).
int executaRemocao(const PedidoRemocao& pedido);

#endif
