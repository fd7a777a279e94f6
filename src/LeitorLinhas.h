// Line-by-line reader over the whole content of a data file, with line
// numbers for the messages about lines that cannot be read.
#ifndef PAUTA_LEITORLINHAS_H
#define PAUTA_LEITORLINHAS_H

#include <iosfwd>
#include <string>
#include <string_view>

class LeitorLinhas {
 public:
  // A reader over `conteudo`, which came from the file `nomeFicheiro`; the
  // messages about skipped lines go to `mensagens` (standard output unless
  // given).
  LeitorLinhas(std::string conteudo, std::string nomeFicheiro);
  LeitorLinhas(std::string conteudo, std::string nomeFicheiro, std::ostream& mensagens);
  virtual ~LeitorLinhas();

  // Sets `linha` to the next line without its line end (LF, or CR LF) and
  // returns true; returns false at the end of the content.
  bool proximaLinha(std::string_view& linha);

  // Makes the line last returned the next one to be returned again.
  void devolveLinha();

  // Number (from 1) of the line last returned.
  long numeroLinha() const { return numero_; }

  // Prints "ERRO: Linha N do ficheiro NOME ignorada" for the line last
  // returned and remembers that a line was skipped.
  void ignoraLinha();
  bool houveLinhasIgnoradas() const { return ignoradas_; }
  // Where the messages about the file's content go.
  std::ostream& mensagens() const { return *mensagens_; }

  // Number of lines in the whole content: a last line without a line end
  // counts, nothing after the last line end does.
  long contaLinhas() const;

  // Number of lines whose first field (the text before the first ';', or
  // the whole line) equals `campo` exactly; `campo` holds no ';'.
  long contaLinhasComPrimeiroCampo(std::string_view campo) const;

  const std::string& nomeFicheiro() const { return nomeFicheiro_; }

 private:
  std::string conteudo_;
  std::string nomeFicheiro_;
  std::ostream* mensagens_;
  size_t posicao_ = 0;
  size_t posicaoAnterior_ = 0;
  long numero_ = 0;
  bool ignoradas_ = false;
};

// The text of `linha` before its first ';' (the whole line if it has none).
std::string_view primeiroCampo(std::string_view linha);

// Whether `linha` holds nothing but blanks (spaces, tabs, CR): a separator.
bool linhaEmBranco(std::string_view linha);

#endif
