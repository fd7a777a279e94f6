// The course's critical section and the primitives of the course lock: an
// operating-system lock on a companion file, a file created exclusively,
// and a removal that checks what the file holds first.
#ifndef PAUTA_SECCAO_H
#define PAUTA_SECCAO_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Estado.h"

// The operating-system critical section of one course: an exclusive lock
// (flock; LockFileEx on Windows) on the companion file `<student
// file>.seccao`, created when missing and never replaced or removed. Every
// pauta process that replaces the student file or changes the course lock
// holds it, so an identity check and the rename that follows it, or the
// reading of a stale lock and its removal, are one step for the others.
// Held by one object at a time per process; released by the destructor.
class SeccaoCurso {
 public:
  SeccaoCurso() = default;
  ~SeccaoCurso();
  SeccaoCurso(const SeccaoCurso&) = delete;
  SeccaoCurso& operator=(const SeccaoCurso&) = delete;

  // Waits for and enters the section of the course whose student file is
  // `ficheiroEstudantes`. A file system without locks lets the caller go on
  // (success without a section). Otherwise fails, concerning the companion,
  // when the companion cannot be used.
  Estado entra(const std::string& ficheiroEstudantes);
  void sai();

 private:
  std::intptr_t descritor_ = -1;  // the companion, locked
  bool dentro_ = false;
};

// Creates `nome` exclusively (it must not exist, not even as a link) holding
// `conteudo`; works on network shares. Fails with Causa::jaExiste when the
// name is taken; a file it could not fill is removed again.
Estado criaFicheiroExclusivo(const std::string& nome, std::string_view conteudo);

// Removes the file `nome` when its content starts with the `tamanho` bytes
// of `prefixo`, inside the course's critical section of the companion
// `seccao` (entered here unless this process is already inside one). Safe
// to call from a signal handler; the arguments must be NUL-free buffers
// that stay alive.
void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho,
                       const char* seccao);

#endif
