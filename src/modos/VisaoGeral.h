// The overview that opens the report page: the course's totals, then one
// table of all its units, each row linked to the unit's section, with the
// units whose pass rate is below the course's marked by a sign as well as
// by colour. Each unit's section repeats its row's figures.
#ifndef PAUTA_VISAOGERAL_H
#define PAUTA_VISAOGERAL_H

#include <cstddef>
#include <vector>

#include "DistribuicaoNotas.h"
#include "Estudantes.h"
#include "TextoPagina.h"
#include "UC.h"

// The course's records: with a final result (passed or failed), still in
// assessment, passed.
struct TotaisCurso {
  long long comResultado = 0;
  long long emAvaliacao = 0;
  long long aprovacoes = 0;
};

// Over every record of every student.
TotaisCurso somaTotais(const std::vector<Estudantes>& estudantes);

// Whether a unit with `aprovados` passes of `comResultado` final results
// passes fewer than the course as a whole; never for a unit or a course
// without results.
bool abaixoDoCurso(long long aprovados, long long comResultado, const TotaisCurso& curso);

// The totals table: students, units, records with a final result, in
// assessment, passes and the overall pass rate (passes over final results).
void acrescentaTotais(TextoPagina& pagina, size_t estudantes, size_t unidades,
                      const TotaisCurso& totais);

// The overview table "tabela-ucs" and its legend: per unit of `unidades`
// (with its distribution, and its pass statistics set) code, name linked
// to "#uc-N" (N its position from 1), year, semester, ECTS, enrolled, with
// a final result, in assessment, passed, pass rate and average of the
// passed grades.
void acrescentaVisaoGeral(TextoPagina& pagina, const std::vector<UC>& unidades,
                          const std::vector<DistribuicaoUC>& distribuicoes,
                          const TotaisCurso& totais);

// The figures of one unit's section: its overview row's, from enrolled on.
void acrescentaFigurasUnidade(TextoPagina& pagina, const UC& unidade, const DistribuicaoUC& dist);

#endif
