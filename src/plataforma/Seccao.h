// The course's critical section and the primitives of the course lock: an
// operating-system lock on a companion file (or, where the file system has
// none, a file created exclusively), a file created exclusively, and a
// removal that checks what the file holds first.
#ifndef PAUTA_SECCAO_H
#define PAUTA_SECCAO_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "Estado.h"

// Who is inside a course's section, as its line names him ("?" for what it
// does not say).
struct DonoSeccao {
  std::string processo = "?";
  std::string maquina = "?";
};

// The operating-system critical section of one course: an exclusive lock on
// the first byte of the companion file `<student file>.seccao`, created
// when missing and never replaced or removed: on POSIX an open-file-
// description fcntl lock (the process's own fcntl lock where there is none),
// on Windows LockFileEx, so that sessions of Linux, macOS and Windows on one
// shared folder exclude one another. Where the file system takes no locks
// (ENOLCK, EOPNOTSUPP, ENOSYS), the section is the file
// `<companion>.lock`, created exclusively and removed on leaving, with the
// course lock's stale rule (a file left by a process of this machine that
// no longer runs is removed). Every pauta process that replaces the student
// file or changes the course lock holds it, so an identity check and the
// rename that follows it, or the reading of a stale lock and its removal,
// are one step for the others. Held by one object at a time per process;
// released by the destructor, and by the end of the process however it
// ends.
class SeccaoCurso {
 public:
  // Told, once, that a wait goes on: who holds the section.
  using Aviso = std::function<void(const DonoSeccao&)>;

  SeccaoCurso() = default;
  ~SeccaoCurso();
  SeccaoCurso(const SeccaoCurso&) = delete;
  SeccaoCurso& operator=(const SeccaoCurso&) = delete;

  // Waits for and enters the section of the course whose student file is
  // `ficheiroEstudantes`. A wait that lasts the durations' `aviso`
  // (Relogio.h, 2 s) calls `aviso` once; one that lasts their `limite` gives
  // up with Causa::ocupado. Otherwise fails, concerning the companion (or
  // its lock file), when the section cannot be used.
  Estado entra(const std::string& ficheiroEstudantes, const Aviso& aviso = {});
  void sai();

 private:
  Estado entraSemTrancas(const std::string& companheira, const Aviso& aviso);

  std::intptr_t descritor_ = -1;  // the companion, locked
  std::string trinco_;            // the lock file, where the file system takes no locks
  std::string prefixo_;           // how the lock file starts while it is ours
  int registo_ = -1;              // the lock file's registration for the clean-up
  bool dentro_ = false;
};

// The file of a course's section where the file system takes no locks.
std::string trincoSemTrancas(const std::string& ficheiroEstudantes);

// Creates `nome` exclusively (it must not exist, not even as a link) holding
// `conteudo` whole from the moment it has the name (a private temporary file
// linked to it; where the file system has no hard links, created
// exclusively and filled with the signals held); works on network shares.
// Fails with Causa::jaExiste when the name is taken.
Estado criaFicheiroExclusivo(const std::string& nome, std::string_view conteudo);

// Removes the file `nome` when its content starts with the `tamanho` bytes
// of `prefixo`, inside the course's critical section of the companion
// `seccao` when it can be entered at once (empty: none; never entered when
// this process is inside one already): the removal never waits. Safe to
// call from a signal handler; the arguments must be NUL-free buffers that
// stay alive.
void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho,
                       const char* seccao);

#endif
