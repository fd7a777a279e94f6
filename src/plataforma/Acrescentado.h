// A file that only grows, as the history of saved changes: opened for
// appending, never through a link.
#ifndef PAUTA_ACRESCENTADO_H
#define PAUTA_ACRESCENTADO_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Estado.h"

// A file that only grows (a record of the saves), opened for appending
// never through a link: a link, folder, FIFO or device at its name is an
// error with its cause. What one save appended can be taken back, the file
// cut to the size it had (or removed when it was created), when what it
// records did not happen: by repoe, and by the clean-up of every way out
// while it is open (a signal before the save was done). fecha keeps it.
// Closed when destroyed. Every failure concerns the file's name.
class FicheiroAcrescentado {
 public:
  FicheiroAcrescentado() = default;
  ~FicheiroAcrescentado();
  FicheiroAcrescentado(const FicheiroAcrescentado&) = delete;
  FicheiroAcrescentado& operator=(const FicheiroAcrescentado&) = delete;

  // Opens the regular file `nome`; when there is none, creates it holding
  // `inicio`, flushed to disk with its folder.
  Estado abre(const std::string& nome, std::string_view inicio);
  // Whether abre created the file.
  bool criado() const { return criado_; }
  // Its size when opened (with `inicio` when abre created it).
  std::uint64_t tamanho() const { return tamanho_; }
  // Sets `texto` to the bytes of the file from `posicao`, at most `maximo`
  // (fewer at its end).
  Estado le(std::uint64_t posicao, std::size_t maximo, std::string* texto);
  // Appends `texto` at the end; descarrega flushes what was appended.
  Estado acrescenta(std::string_view texto);
  Estado descarrega();
  // Takes back everything appended since abre: the file is cut to the size
  // it had, or removed when abre created it. Then closes it.
  Estado repoe();
  void fecha();

 private:
  std::string nome_;
  std::intptr_t descritor_ = -1;  // the POSIX descriptor or Windows handle
  bool aberto_ = false;
  bool criado_ = false;
  std::uint64_t tamanho_ = 0;
  int registo_ = -1;  // the registration for the clean-up while open
};

#endif
