// The names of the course data files and of the files kept beside them, and
// the test of a unit file's name: one place for every name the program
// gives a file or looks for in one.
#ifndef PAUTA_NOMES_H
#define PAUTA_NOMES_H

#include <string>
#include <string_view>

// End of a unit file's name after the course code.
const char* const sufixoFicheiroUC = "-UC.txt";
// End of a student file's name after the course code.
const char* const sufixoFicheiroEstudantes = "-Estudantes.txt";
// Added to a file's name, before ".PID.HOST.RANDOM", for the private
// temporary file of its safe replacement.
const char* const sufixoTemporario = ".tmp";
// Added to a student file's name for the copy of an original whose lines
// were skipped at loading.
const char* const sufixoCopia = ".bak";
// Added to a student file's name for the companion file of the course's
// operating-system critical section (never replaced nor removed).
const char* const sufixoSeccao = ".seccao";
// Added to a student file's name for the lock of a session on the course.
const char* const sufixoBloqueio = ".lock";
// Added to a student file's name for a session's version that could not
// replace a file changed by someone else.
const char* const sufixoConflito = ".conflito";
// Ends of the names of the exported files after the course code.
const char* const sufixoPautaCsv = "-Pauta.csv";
const char* const sufixoEstatisticasCsv = "-Estatisticas.csv";
// End of the name of the history of saved changes after the course code.
const char* const sufixoHistorico = "-Historico.txt";
// End of the name of the report page after the course code.
const char* const sufixoRelatorio = "-Relatorio.html";

// "<code>-UC.txt".
inline std::string nomeFicheiroUC(int codigo) { return std::to_string(codigo) + sufixoFicheiroUC; }
// "<code>-Estudantes.txt".
inline std::string nomeFicheiroEstudantes(int codigo) {
  return std::to_string(codigo) + sufixoFicheiroEstudantes;
}
// "<code>-Historico.txt".
inline std::string nomeFicheiroHistorico(int codigo) {
  return std::to_string(codigo) + sufixoHistorico;
}
// Whether `nome` is a unit file's name: after any leading '-', a piece up
// to a '-', then exactly "UC.txt".
inline bool eNomeFicheiroUC(const std::string& nome) {
  const size_t inicio = nome.find_first_not_of('-');
  if (inicio == std::string::npos) return false;
  const size_t traco = nome.find('-', inicio);
  return traco != std::string::npos &&
         nome.compare(traco, std::string::npos, sufixoFicheiroUC) == 0;
}
// The last part of a path, and its folder ("." when it has none).
inline std::string nomeBase(const std::string& nome) {
  const size_t barra = nome.find_last_of("/\\");
  return barra == std::string::npos ? nome : nome.substr(barra + 1);
}
inline std::string pastaDoNome(const std::string& nome) {
  const size_t barra = nome.find_last_of("/\\");
  if (barra == std::string::npos) return ".";
  return barra == 0 ? nome.substr(0, 1) : nome.substr(0, barra);
}
// The n-th name of a series of files that never replace one another:
// `base` itself for 0, then `base`.1, `base`.2, ...
inline std::string nomeNumerado(const std::string& base, int n) {
  return n == 0 ? base : base + "." + std::to_string(n);
}

#endif
