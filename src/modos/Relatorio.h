// The course report: one self-contained HTML page (inline CSS, SVG and
// script, UTF-8, nothing from elsewhere) that opens on the course's totals
// and a sortable table of all its units, then each unit's figures and grade
// distribution, then the students (a folded index with a search field, and
// every student's whole record: passed, failed, in assessment and not yet
// graded units). Meant to be looked at on screen and printed on A4.
#ifndef PAUTA_RELATORIO_H
#define PAUTA_RELATORIO_H

#include <string>
#include <string_view>
#include <vector>

#include "Estudantes.h"
#include "Ficheiros.h"
#include "LeituraHistorico.h"
#include "Listacurso.h"
#include "TextoPagina.h"

// The course as the page names it; CP1252 texts.
struct IdentificacaoCurso {
  int codigo = 0;
  std::string nome;
  // The course's total of ECTS, which each student's share is taken of.
  TotalEctsCurso totalEcts;
  // When the page was made, as shown on it ("07/12/2026 02:30").
  std::string geradoEm;
};

// "<nCurso>-Relatorio.html".
std::string nomeFicheiroRelatorio(int nCurso);

// The page, UTF-8, handed out in pieces as the safe save takes them; the
// pieces refer to the arguments, which must outlive them. `unidades` must
// hold the pass statistics of `estudantes` (Listacurso::setInfoUCsCurso).
// With `historico`, each student's saved changes follow his record.
Pedacos pedacosRelatorio(const IdentificacaoCurso& curso, const std::vector<UC>& unidades,
                         const std::vector<Estudantes>& estudantes,
                         historico::IndiceHistorico* historico = nullptr);

// The whole page at once. Rebuilds the units' pass statistics from
// `estudantes` first, as the dialogue's unit consultation does.
std::string conteudoRelatorio(const IdentificacaoCurso& curso, Listacurso& unidades,
                              const std::vector<Estudantes>& estudantes);

// The local date and time as the page shows it.
std::string dataHoraAtual();

// Writes the page of course nCurso to nomeFicheiroRelatorio(nCurso) in the
// working directory through the safe save, naming the course from its unit
// file. Prints "Relatório gravado em <file>" on standard output and answers
// 0; on failure prints one "ERRO:" line on standard error, leaves any
// previous page as it was and answers estadoFalha. The course's history
// (CODE-Historico.txt), when there is one, gives each student's changes.
int gravaRelatorio(int nCurso, Listacurso& unidades, const std::vector<Estudantes>& estudantes);

// The report mode: loads course nCurso as the export does (the student file
// is only read) and writes its page as gravaRelatorio does; answers its exit
// status (estadoFalha when the course cannot be loaded).
int executaRelatorio(int nCurso);

#endif
