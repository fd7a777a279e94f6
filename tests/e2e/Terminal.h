// pauta run as at a console: standard output and standard error each on a pseudo-terminal of
// its own, standard input on a third one or read from a file. POSIX only.
#ifndef PAUTA_TESTES_TERMINAL_H
#define PAUTA_TESTES_TERMINAL_H

#include <string>
#include <vector>

#include "Cenario.h"

// False where no pseudo-terminal can be had for pauta: on Windows, and when PAUTA_EXECUTAVEL
// names another command (wine would put its own console between them).
bool haTerminais();

// Runs pauta in the scenario's directory with `args`. The terminals pass bytes as written (no
// CR added, nothing echoed), so the output reads back byte for byte. With `entradaNoTerminal`
// `entrada` is typed at a terminal and then the end of input (^D); otherwise it comes from a file.
Resultado executaEmTerminal(const Cenario& cenario, const std::string& entrada,
                            const std::vector<std::string>& args, bool entradaNoTerminal);

#endif
