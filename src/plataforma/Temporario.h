// A private temporary file: the first step of every safe write.
#ifndef PAUTA_TEMPORARIO_H
#define PAUTA_TEMPORARIO_H

#include <functional>
#include <string>

#include "Estado.h"
#include "Substituicao.h"

// A private temporary file name of `destino` as process `pid` of this
// machine would make it (for tests of the leftovers' removal).
std::string nomeTemporario(const std::string& destino, long long pid);

// Removes the leftovers of `destino`'s private temporary files: those whose
// name shows a process of this machine that no longer runs (regular files
// of this user only).
void removeTemporariosAbandonados(const std::string& destino);

// A temporary file that belongs to this process: a unique name beside
// `destino` ("DESTINO.tmp.PID.HOST.RANDOM", HOST a hash of the machine's
// name), created exclusively and never through a link. While it exists it
// is registered for the clean-up of every way out (limpezaFinal, signals
// included); the destructor removes it unless it was moved into place.
// Before creating it, leftovers of the same destination whose name shows a
// process of this machine that no longer runs are removed; no other file is
// touched. Its failures concern `destino`, the file the user knows.
class FicheiroTemporario {
 public:
  explicit FicheiroTemporario(std::string destino);
  ~FicheiroTemporario();
  FicheiroTemporario(const FicheiroTemporario&) = delete;
  FicheiroTemporario& operator=(const FicheiroTemporario&) = delete;

  // Creates the file, writes the pieces and flushes them to disk. On POSIX
  // the permission bits (and owner) are those of `modelo` when it is a
  // regular file; on Windows the folder's permissions apply. On failure the
  // file is gone.
  Estado escreve(const Pedacos& pedacos, const std::string& modelo);
  // Renames the file over `destino` (replacing what is there); then calls
  // `aoSubstituir` (when given), the termination signals held over both.
  Estado substitui(const std::function<void()>& aoSubstituir = {});
  // Gives the file the name `nome` only if that name is free (never
  // replaces a file): Causa::jaExiste when it is taken. `aoNomear` (when
  // given) is called right after the file got the name, the termination
  // signals held over both (POSIX).
  Estado nomeiaSeLivre(const std::string& nome, const std::function<void()>& aoNomear = {});
  // Gives the file the name `nome` only while it is free, in one step that
  // never replaces a file (a hard link on POSIX, a move on Windows), with no
  // other way tried: Causa::jaExiste when it is taken; another failure when
  // the file system cannot (no hard links), or when the temporary name
  // cannot be removed after the link (the new name is removed then).
  Estado ligaSeLivre(const std::string& nome);
  // Makes the file a copy of what `destino` holds now (a hard link where
  // possible); answers false when there is nothing to keep or it fails.
  bool guardaDestino();
  // Puts this file back at `destino` (rename), or removes `destino` when
  // this file holds nothing (guardaDestino answered false).
  void repoeDestino();
  const std::string& nome() const { return nome_; }

 private:
  void remove();
  bool copiaDestino();

  std::string destino_;
  std::string nome_;
  int registo_ = -1;  // its slot in the clean-up registry
  bool existe_ = false;
};

#endif
