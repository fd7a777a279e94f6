// The clean-up of every way out of the program, signal handlers included:
// small fixed registries (a signal handler reads them, without allocating)
// of what this process must take back if it ends now: its temporary files,
// the course locks it holds and the file of a course's section it holds where
// the file system takes no locks.
#ifndef PAUTA_LIMPEZA_H
#define PAUTA_LIMPEZA_H

#include <string>

// The one clean-up (async-signal-safe): removes every registered temporary
// file, then every file registered by registaRemocaoNaSaida whose content
// still starts with its registered bytes. It never waits for a lock.
void limpezaFinal();

// Registers `nome` to be removed by removeSeComecaPor's rule (its content
// starts with `prefixo`; inside the critical section of the companion
// `seccao` when it is free, none when empty): a course lock, or a section's
// file, while this process holds it. Answers the registration, or -1 when
// the registry is full or a name too long.
int registaRemocaoNaSaida(const std::string& nome, const std::string& prefixo,
                          const std::string& seccao);
// Forgets registration `registo` (nothing for -1); the file is left alone.
void esqueceRemocaoNaSaida(int registo);

// --- For the file modules of this folder ---

// Registers the temporary file `nome`, to be removed; -1 when it cannot be
// (the file stays private, only not removed on a signal).
int registaTemporario(const std::string& nome);
void esqueceTemporario(int registo);

#endif
