// The import's reader of a CSV text: records of cells separated by ';' (or,
// when the first line has no ';', by TAB if it has one, else by ','), RFC
// 4180 quotes ('"' around a cell, '""' for a quote inside it, separators and
// line breaks allowed inside), CR LF, LF or CR line ends (as "CSV
// (Macintosh)" writes), and the text's character set: UTF-8 when it starts
// with a byte-order mark or is valid UTF-8 holding non-ASCII bytes, CP1252
// otherwise.
#ifndef PAUTA_LEITORCSV_H
#define PAUTA_LEITORCSV_H

#include <string>
#include <string_view>
#include <vector>

class LeitorCsv {
 public:
  // A reader over `texto`, which must outlive it.
  explicit LeitorCsv(std::string_view texto);

  // Reads the next record into `celulas`, each cell as the file holds it
  // with its quotes undone (not yet converted from UTF-8), and returns true;
  // returns false at the end of the text. An empty line is a record of one
  // empty cell.
  bool proximo(std::vector<std::string>& celulas);

  // The line (from 1) where the record last read starts.
  long linha() const { return linhaRegisto_; }
  // The record last read ran to the end of the text inside quotes.
  bool aspasPorFechar() const { return aspasPorFechar_; }

  char separador() const { return separador_; }
  bool utf8() const { return utf8_; }

  // Turns a cell of a UTF-8 text into CP1252 (a CP1252 text is left as it
  // is). Returns false, leaving the cell alone, when it holds malformed
  // UTF-8 or a character that CP1252 cannot hold.
  bool converte(std::string& celula) const;

 private:
  // Reads one cell into `celula`; answers true when the record ends after
  // it (a line end or the end of the text), false when a separator follows.
  bool leCelula(std::string& celula);
  // The quoted part of a cell, from its opening quote to its closing one;
  // false when the text ends before a closing quote.
  bool leEntreAspas(std::string& celula);
  // The rest of a cell up to its separator or line end; answers as leCelula.
  bool leSemAspas(std::string& celula);
  // Appends texto_[inicio, fim) to `celula`, counting its line ends.
  void acrescenta(std::string& celula, size_t inicio, size_t fim);

  std::string_view texto_;
  size_t posicao_ = 0;
  long linhaAtual_ = 1;
  long linhaRegisto_ = 0;
  bool aspasPorFechar_ = false;
  char separador_;
  bool utf8_;
};

#endif
