// The lock of a session on a course: a file `<student file>.lock` beside
// the data files, created exclusively, holding one line
// "pid;host;user;YYYY-MM-DD HH:MM". While a session holds it, other
// sessions are told who is changing the course. One lock is held at a time
// per process; releasing it is safe from a signal handler, so the console
// clean-up can release it on every way out.
#ifndef PAUTA_BLOQUEIOCURSO_H
#define PAUTA_BLOQUEIOCURSO_H

#include <string>
#include <string_view>

// Who holds a lock, as its file says ("?" for what it does not say).
struct DonoBloqueio {
  std::string processo = "?";
  std::string maquina = "?";
  std::string utilizador = "?";
  std::string desde = "?";
};

// The lock file's line for its holder (without its line end).
std::string linhaBloqueio(const DonoBloqueio& dono);
// Reads a lock file's content; fields it lacks, and a process id that is not
// a number, are "?".
DonoBloqueio leLinhaBloqueio(std::string_view conteudo);
// This session as the holder of a lock taken now.
DonoBloqueio esteProcesso();

enum class Bloqueio {
  obtido,          // the lock was free and is now ours
  antigoRemovido,  // a lock of a dead process of this machine was removed; ours now
  ocupado,         // another live session (or another machine) holds it: see `dono`
  impossivel,      // it could not be created (read-only folder...): see `razao`
};

// Tries to take the lock `nome` for this process. On `antigoRemovido` and
// `ocupado` sets `dono` to the holder found; on `impossivel`, `razao`.
Bloqueio adquireBloqueio(const std::string& nome, DonoBloqueio* dono, std::string* razao);

// Takes the lock `nome` over from whoever holds it: writes ours in its
// place. Answers false (with `razao`) if it cannot.
bool tomaBloqueio(const std::string& nome, std::string* razao);

// Removes the lock this process holds, if its file still names this process
// and machine; does nothing when none is held. Async-signal-safe.
void libertaBloqueio();

#endif
