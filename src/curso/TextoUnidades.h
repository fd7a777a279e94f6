// Reading a unit file's text, for the catalogue (Cmenu) and the loader
// (CarregaCurso) alike: what the text turns out to be, and a line reader
// over it that converts UTF-8.
#ifndef PAUTA_TEXTOUNIDADES_H
#define PAUTA_TEXTOUNIDADES_H

#include <iosfwd>
#include <string>

#include "Cp1252.h"
#include "LeitorLinhas.h"

// A unit file read whole: its text as stored and what the text turned out
// to be.
struct TextoUnidades {
  std::string conteudo;
  cp1252::AnaliseTexto analise;
};
enum class LeituraUnidades { lida, naoLida, utf16 };
// Reads the unit file `nome` for the catalogue or the loader. A file that
// cannot be read answers naoLida with the platform's reason in `razao`
// (empty when there is no such file); one in UTF-16 is not read and answers
// utf16 with razaoUtf16 in `razao`.
LeituraUnidades leTextoUnidades(const std::string& nome, TextoUnidades& texto, std::string& razao);
// A reader over `conteudo`, the text of the unit file `nome` analysed as
// `analise`: its lines come in CP1252 when the text is UTF-8. What it says
// about the lines goes to `mensagens`.
LeitorLinhas leitorUnidades(std::string conteudo, const cp1252::AnaliseTexto& analise,
                            const std::string& nome, std::ostream& mensagens);

#endif
