// A history of saved changes read line by line (the layout is in
// FormatoHistorico.h): from its content in memory, or from a file read by
// blocks, never held whole.
#ifndef PAUTA_LEITORHISTORICO_H
#define PAUTA_LEITORHISTORICO_H

#include <cstdint>
#include <string>
#include <string_view>

#include "Estado.h"
#include "Leitura.h"

namespace historico {

// A line ends at a LF outside '"' (a quoted field may hold line ends),
// with the CR before it when there is one: CR LF as written, or LF as an
// editor may have made it; a lone CR ends none. A line longer than
// limiteLinha is handed out empty, as one that cannot be read (it ends at
// the first LF after the limit, quotes or not): the memory held is bounded
// by the longest line read, however the file is made.
class LeitorHistorico {
 public:
  // A reader over `conteudo`, which must outlive it.
  explicit LeitorHistorico(std::string_view conteudo);
  // A reader of no content until abre() is called.
  LeitorHistorico();
  LeitorHistorico(const LeitorHistorico&) = delete;
  LeitorHistorico& operator=(const LeitorHistorico&) = delete;

  // Opens the file `nome` (as LeituraPorBlocos::abre).
  Estado abre(const std::string& nome);

  // Sets `linha` to the next line without its line end (valid until the
  // next call); false at the end, or on a read error (erroLeitura).
  bool proxima(std::string_view& linha);
  // Of the line last returned: the number of its first line in the file
  // (from 1), its offset in bytes, whether it had a line end (false for a
  // last line cut short) and which ("\r\n" or "\n"), and whether it was too
  // long to be read.
  long numeroLinha() const { return numero_; }
  std::uint64_t posicao() const { return posicao_; }
  bool terminada() const { return terminada_; }
  const char* fimLinha() const { return crlf_ ? "\r\n" : "\n"; }
  bool demasiadoLonga() const { return longa_; }
  // Whether reading the file failed, and why.
  bool erroLeitura() const { return erro_; }
  const Estado& razaoErro() const { return razao_; }

 private:
  // Appends the next block of the file to the buffer (dropping what was
  // handed out); false at its end.
  bool leBloco();

  std::string_view dados_;  // the content, or the buffer of a file
  std::string buffer_;
  size_t inicio_ = 0;              // where the next line starts in dados_
  std::uint64_t descartados_ = 0;  // bytes of the file dropped from the buffer
  LeituraPorBlocos ficheiro_;
  bool esgotado_ = true;  // no more bytes to read into the buffer
  long numero_ = 0;
  long proximoNumero_ = 1;
  std::uint64_t posicao_ = 0;
  bool terminada_ = false;
  bool crlf_ = false;
  bool longa_ = false;
  bool erro_ = false;
  Estado razao_;
};

}  // namespace historico

#endif
