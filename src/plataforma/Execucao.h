// What every way of running the program shares, below the dialogue and the
// modes: the exit status of a failure and the program's name and version.
#ifndef PAUTA_EXECUCAO_H
#define PAUTA_EXECUCAO_H

#include <string>

// Exit status of a mode that failed (nothing written): a course that cannot
// be loaded, a file that cannot be read or written, a refused import.
const int estadoFalha = 2;

// The program name and version, "pauta 1.0.0".
std::string textoVersao();

#endif
