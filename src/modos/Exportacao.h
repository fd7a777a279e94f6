// The non-interactive export of a loaded course for spreadsheets: the grade
// sheet (one row per student and unit he takes) and the per-unit statistics,
// as two ';'-separated CP1252 files with CR LF line ends, decimals with a
// comma and RFC 4180 quoting. Also the program's name and version.
#ifndef PAUTA_EXPORTACAO_H
#define PAUTA_EXPORTACAO_H

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "Estudantes.h"
#include "Ficheiros.h"
#include "Listacurso.h"

// Exit status of a wrong command line or a failed export.
const int estadoErroExportacao = 2;

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
// answers estadoErroExportacao.
int exportaCurso(int nCurso, Listacurso& unidades, const std::vector<Estudantes>& estudantes);

// Reads a course code given on the command line: an optional '-' and digits
// only, fitting an int.
bool leCodigoCurso(std::string_view texto, int& codigo);

// The program name and version, "pauta 1.0.0".
std::string textoVersao();

#endif
