// The non-interactive export of a loaded course for spreadsheets: the grade
// sheet (one row per student and unit he takes) and the per-unit statistics,
// as two ';'-separated CP1252 files with CR LF line ends, decimals with a
// comma and RFC 4180 quoting.
#ifndef PAUTA_EXPORTACAO_H
#define PAUTA_EXPORTACAO_H

#include <iosfwd>
#include <string>
#include <vector>

#include "Estudantes.h"
#include "Ficheiros.h"
#include "Listacurso.h"

// The grade sheet: the header row, then one row per student and unit he
// takes, in list order; whole, or as pieces of one row each (`estudantes`
// must outlive the pieces).
std::string conteudoPauta(const std::vector<Estudantes>& estudantes);
Pedacos pedacosPauta(const std::vector<Estudantes>& estudantes);

// The statistics: the header row, then one row per unit of `unidades`, in
// order. Rebuilds the units' pass statistics from `estudantes` first, as the
// dialogue's unit consultation does.
std::string conteudoEstatisticas(Listacurso& unidades, const std::vector<Estudantes>& estudantes);

// Writes "<nCurso>-Pauta.csv" and "<nCurso>-Estatisticas.csv" in the working
// directory, all or nothing (substituiFicheiros). Prints the
// names written on standard output and answers 0; on failure prints one
// "ERRO:" line on standard error, leaves both files as they were before and
// answers estadoFalha.
int exportaCurso(int nCurso, Listacurso& unidades, const std::vector<Estudantes>& estudantes);

// The export mode: loads course nCurso without a word unless something is
// wrong (the student file is only read) and exports it as exportaCurso
// does; answers its exit status (estadoFalha when the course cannot be
// loaded).
int executaExportacao(int nCurso);

#endif
