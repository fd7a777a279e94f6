// The clean-up of every way out of the program, signal handlers included:
// small fixed registries (a signal handler reads them, without allocating)
// of what this process must take back if it ends now: its temporary files,
// the files that only grow that a save is appending to, and the course locks
// it holds.
#ifndef PAUTA_LIMPEZA_H
#define PAUTA_LIMPEZA_H

#include <cstdint>
#include <string>

// The one clean-up (async-signal-safe): cuts back every registered file
// that only grows to its registered size (or removes it when it was
// created), removes every registered temporary file, then every file
// registered by registaRemocaoNaSaida whose content still starts with its
// registered bytes.
void limpezaFinal();

// Registers `nome` to be removed by removeSeComecaPor's rule (its content
// starts with `prefixo`; inside the critical section of the companion
// `seccao`): a course lock while this process holds it. Answers the
// registration, or -1 when the registry is full or a name too long.
int registaRemocaoNaSaida(const std::string& nome, const std::string& prefixo,
                          const std::string& seccao);
// Forgets registration `registo` (nothing for -1); the file is left alone.
void esqueceRemocaoNaSaida(int registo);

// --- For the file modules of this folder ---

// Registers the temporary file `nome`, to be removed; -1 when it cannot be
// (the file stays private, only not removed on a signal).
int registaTemporario(const std::string& nome);
void esqueceTemporario(int registo);
// Registers the open file `nome` (descriptor `d`), to be cut back to
// `tamanho` bytes, or removed when `remover`; -1 when it cannot be.
int registaCorte(const std::string& nome, std::intptr_t d, std::uint64_t tamanho, bool remover);
void esqueceCorte(int registo);

#endif
