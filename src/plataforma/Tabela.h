// Console table cells: every table and menu line of the program is made of
// left-aligned cells filled to a minimum width.
#ifndef PAUTA_TABELA_H
#define PAUTA_TABELA_H

#include <iosfwd>
#include <string>
#include <string_view>

// Writes `texto` left-aligned, filled with `enchimento` up to `largura`
// characters (CP1252 bytes); longer text is written whole. Leaves the stream
// set to left alignment with that fill character, as a table does.
void celula(std::ostream& saida, const std::string& texto, int largura, char enchimento = ' ');

// The same for a whole number written in signed decimal.
void celula(std::ostream& saida, long long numero, int largura, char enchimento = ' ');

// The same cells appended to a text, for a row built whole before it is
// printed; the stream's alignment and fill are not touched.
void celula(std::string& destino, std::string_view texto, int largura, char enchimento = ' ');
void celula(std::string& destino, long long numero, int largura, char enchimento = ' ');

// Prints a row built with the cells above as one line: the row, a line end,
// and a flush, as every line of the dialogue.
void imprimeLinha(std::ostream& saida, const std::string& linha);

// A horizontal rule of `largura` copies of `caracter`, then a line end.
void regua(std::ostream& saida, int largura, char caracter);

#endif
