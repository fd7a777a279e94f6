// How the final grades of each unit of a course are spread over its
// students: how many take the unit, how many of their records have a final
// result or are still in assessment, and how many results have each whole
// grade of the scale. The pass count and the average of the passed grades
// are the units' own statistics (Listacurso::setInfoUCsCurso); this holds
// what those do not.
#ifndef PAUTA_DISTRIBUICAONOTAS_H
#define PAUTA_DISTRIBUICAONOTAS_H

#include <array>
#include <vector>

#include "Estudantes.h"
#include "UC.h"

// The grade scale, 0 to 20 (the lowest pass is regras::notaMinimaAprovacao).
const int notaMinimaEscala = 0;
const int notaMaximaEscala = 20;

struct DistribuicaoUC {
  // Students who have the unit among theirs, once each.
  long long inscritos = 0;
  // Their records of the unit with a final result (passed or failed:
  // regras::temResultadoFinal), and those still in assessment.
  long long comResultado = 0;
  long long emAvaliacao = 0;
  // Final results per truncated final grade, 0 to 20 (a grade read from a
  // file outside the scale counts in comResultado only).
  std::array<long long, notaMaximaEscala + 1> porNota{};
};

// One distribution per unit of `unidades`, in order. A student's records
// count for every unit with their code, as the pass statistics count them.
std::vector<DistribuicaoUC> distribuiNotas(const std::vector<UC>& unidades,
                                           const std::vector<Estudantes>& estudantes);

#endif
