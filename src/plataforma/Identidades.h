// Names and identities the system gives: this process, its machine and
// user (what a course lock records), whether another process runs, and the
// names in a folder. Defined by the per-system files (SistemaPosix.cpp,
// SistemaWindows.cpp).
#ifndef PAUTA_IDENTIDADES_H
#define PAUTA_IDENTIDADES_H

#include <string>
#include <vector>

// This process's id; whether process `pid` of this machine still runs.
long long processoAtual();
bool processoVivo(long long pid);
// This machine's name and the user's login name ("?" if unknown).
std::string nomeMaquina();
std::string nomeUtilizador();

// Makes a write beyond the process's file-size limit fail (a full file:
// Causa::demasiadoGrande) instead of killing the process; call once at
// start-up. Nothing to do on Windows.
void ignoraLimiteTamanho();

// The names of the regular files (links to one included) of the directory
// `pasta`, in the order the listing yields them; empty if it cannot be read.
std::vector<std::string> listaFicheirosNormais(const std::string& pasta);
// The names of every entry of the directory `pasta` (files, folders, links,
// anything), "." and ".." left out; empty if it cannot be read.
std::vector<std::string> listaNomesPasta(const std::string& pasta);

#endif
