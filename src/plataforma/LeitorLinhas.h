// Line-by-line reader of a data file, with line numbers for the messages
// about lines that cannot be read: over its whole content, or over blocks of
// it read as the lines are asked for, so that a large file is never held
// whole.
#ifndef PAUTA_LEITORLINHAS_H
#define PAUTA_LEITORLINHAS_H

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "Cp1252.h"

// Hands out the next bytes of a file: writes at most `maximo` of them at
// `destino` and sets `lidos` (0 at the end). Answers false on a read error.
using FonteBlocos = std::function<bool(char* destino, size_t maximo, size_t* lidos)>;

// Size of the blocks in which a file is read line by line.
const size_t tamanhoBlocoLeitura = 1 << 20;

class LeitorLinhas {
 public:
  // A reader over `conteudo`, which came from the file `nomeFicheiro`; the
  // messages about skipped lines go to `mensagens` (standard output unless
  // given).
  LeitorLinhas(std::string conteudo, std::string nomeFicheiro);
  LeitorLinhas(std::string conteudo, std::string nomeFicheiro, std::ostream& mensagens);
  // A reader over the bytes handed out by `fonte`, read in blocks of
  // `tamanhoBloco` as the lines are asked for; it holds only the lines
  // being read.
  LeitorLinhas(FonteBlocos fonte, std::string nomeFicheiro, std::ostream& mensagens,
               size_t tamanhoBloco = tamanhoBlocoLeitura);
  virtual ~LeitorLinhas();
  // A reader moves (its content with it); it is never copied.
  LeitorLinhas(LeitorLinhas&&) = default;
  LeitorLinhas& operator=(LeitorLinhas&&) = default;

  // Sets `linha` to the next line without its line end (LF, or CR LF) and
  // returns true; returns false at the end of the content. The line stays
  // valid until the next call. A UTF-8 byte-order mark at the start of the
  // first line is dropped.
  bool proximaLinha(std::string_view& linha);

  // The byte-order mark the content starts with (known once a line is read),
  // and what the lines read so far say of its character set.
  cp1252::Marca marca() const { return marca_; }
  const cp1252::AnaliseTexto& analise() const { return analise_; }
  // From now on the lines are UTF-8 turned into CP1252 ('?' for what CP1252
  // cannot hold).
  void converteDeUtf8() { converte_ = true; }

  // Whether the source of a reader over blocks failed: the lines returned
  // then stop short of the end of the file.
  bool erroLeitura() const { return erroLeitura_; }

  // Starts over on the bytes of `fonte`, as a new reader over blocks of
  // the same file would, keeping the room already taken (a file is read
  // twice with no second buffer).
  void recomeca(FonteBlocos fonte);

  // Makes the line last returned the next one to be returned again.
  void devolveLinha();

  // Number (from 1) of the line last returned.
  long numeroLinha() const { return numero_; }

  // Prints "ERRO: Linha N do ficheiro NOME ignorada" for the line last
  // returned and remembers that a line was skipped.
  void ignoraLinha();
  bool houveLinhasIgnoradas() const { return ignoradas_; }
  // A field of the line last returned held a number followed by other
  // text, which was left out: prints "ATENÇÃO: Linha N do ficheiro NOME:
  // 'TEXTO' foi lido como VALOR" (at most maximoAvisosNumeros times per
  // reading of the file, the rest counted).
  void avisaNumeroLido(std::string_view texto, std::string_view valor);
  // A number written another way was read as meant (a decimal comma).
  void notaNumeroLido() { numerosOutraForma_ = true; }
  // Whether the file held numbers written another way (either of the
  // above), which the program writes in its own form.
  bool houveNumerosOutraForma() const { return numerosOutraForma_; }
  // Once the file is read: "ATENÇÃO: ... e mais M valores do ficheiro NOME
  // lidos da mesma forma" for the notices left out, if any.
  void avisaNumerosRestantes();
  // Where the messages about the file's content go.
  std::ostream& mensagens() const { return *mensagens_; }

  // Number of lines in the whole content: a last line without a line end
  // counts, nothing after the last line end does.
  long contaLinhas() const;

  // Number of lines whose first field (the text before the first ';', or
  // the whole line) equals `campo` exactly; `campo` holds no ';'. Over the
  // whole content of a reader over a content; for a reader over blocks,
  // contaRestantes... counts the lines not yet read, reading them.
  long contaLinhasComPrimeiroCampo(std::string_view campo) const;
  long contaRestantesComPrimeiroCampo(std::string_view campo);

  const std::string& nomeFicheiro() const { return nomeFicheiro_; }

 private:
  std::string conteudo_;
  std::string nomeFicheiro_;
  std::ostream* mensagens_;
  size_t posicao_ = 0;
  size_t posicaoAnterior_ = 0;
  long numero_ = 0;
  bool ignoradas_ = false;
  bool numerosOutraForma_ = false;
  long avisosNumeros_ = 0;  // notices of numbers read another way, printed or not
  // Only for a reader over blocks: the source (empty once it is exhausted)
  // and the size of its blocks.
  FonteBlocos fonte_;
  size_t tamanhoBloco_ = 0;
  bool erroLeitura_ = false;
  cp1252::Marca marca_ = cp1252::Marca::nenhuma;
  cp1252::AnaliseTexto analise_;
  long analisadas_ = 0;  // lines already given to analise_
  bool converte_ = false;
  std::string convertida_;  // the last line returned, when converted

  // Drops the text before the line last returned and appends the next block
  // of the source. Returns false at its end.
  bool leBloco();
};

// The notices of numbers read another way printed per reading of a file.
const long maximoAvisosNumeros = 20;

// The text of `linha` before its first ';' (the whole line if it has none).
std::string_view primeiroCampo(std::string_view linha);

// The reason a data file in UTF-16 is not read: "está em UTF-16".
extern const char* const razaoUtf16;

// Prints, the first time this run reads the data file `nome` and finds it
// in UTF-8, "ATENÇÃO: O ficheiro NOME está em UTF-8; o texto foi convertido
// para CP1252" (and how many characters became '?') on `saida`.
void avisaTextoUtf8(const std::string& nome, const cp1252::AnaliseTexto& analise,
                    std::ostream& saida);

// Whether `linha` holds nothing but blanks (spaces, tabs, CR): a separator.
bool linhaEmBranco(std::string_view linha);

#endif
