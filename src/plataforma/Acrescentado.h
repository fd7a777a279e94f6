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
// never through a link: a link, a file with another name (a hard link,
// which may lie outside the folder), a folder, FIFO or device at its name is
// an error with its cause. What is appended stays: the one thing ever cut
// off is a last line cut short (a writer that died), by corta. Closed when
// destroyed. Every failure concerns the file's name.
class FicheiroAcrescentado {
 public:
  FicheiroAcrescentado() = default;
  ~FicheiroAcrescentado();
  FicheiroAcrescentado(const FicheiroAcrescentado&) = delete;
  FicheiroAcrescentado& operator=(const FicheiroAcrescentado&) = delete;

  // Opens the regular file `nome`; Causa::naoExiste when there is none.
  Estado abre(const std::string& nome);
  // Creates `nome` holding `inicio`, whole from the moment it has the name
  // (a private temporary file, flushed, linked to it; where the file system
  // has no hard links, created exclusively and filled, so that a writer
  // that dies in between leaves a piece of `inicio`), and opens it. When the
  // name was taken meanwhile, opens the file there.
  Estado cria(const std::string& nome, std::string_view inicio);
  bool aberto() const { return aberto_; }
  // Its size: as opened, and what was appended or cut since.
  std::uint64_t tamanho() const { return tamanho_; }
  // Sets `texto` to the bytes of the file from `posicao`, at most `maximo`
  // (fewer at its end).
  Estado le(std::uint64_t posicao, std::size_t maximo, std::string* texto);
  // Appends `texto` at the end; descarrega flushes what was appended.
  Estado acrescenta(std::string_view texto);
  Estado descarrega();
  // Cuts the file back to `tamanho` bytes and flushes it.
  Estado corta(std::uint64_t tamanho);
  void fecha();

 private:
  std::string nome_;
  std::intptr_t descritor_ = -1;  // the POSIX descriptor or Windows handle
  bool aberto_ = false;
  std::uint64_t tamanho_ = 0;
};

#endif
