// Console table cells: every table and menu line of the program is made of
// left-aligned cells filled to a minimum width.
#ifndef PAUTA_TABELA_H
#define PAUTA_TABELA_H

#include <iosfwd>
#include <string>

// Writes `texto` left-aligned, filled with `enchimento` up to `largura`
// characters (CP1252 bytes); longer text is written whole. Leaves the stream
// set to left alignment with that fill character, as a table does.
void celula(std::ostream& saida, const std::string& texto, int largura, char enchimento = ' ');

// The same for a whole number written in signed decimal.
void celula(std::ostream& saida, long long numero, int largura, char enchimento = ' ');

// A horizontal rule of `largura` copies of `caracter`, then a line end.
void regua(std::ostream& saida, int largura, char caracter);

#endif
