// Safe replacement of a file: the new content goes to a temporary file in
// the same directory, is flushed to disk, and is then renamed over the old
// file, so an interrupted save never leaves a partial file behind.
#ifndef PAUTA_GRAVACAO_H
#define PAUTA_GRAVACAO_H

#include <functional>
#include <string>
#include <string_view>

// Hands out a text piece by piece: sets its argument to the next piece
// (valid until the next call) and answers true, or answers false at the end.
using Pedacos = std::function<bool(std::string_view&)>;

// Writes `conteudo` to `nome` + ".tmp", flushes it to disk, closes it and
// renames it over `nome`. Returns false if any step fails; the temporary
// file is then removed and `nome` is left as it was.
bool gravaFicheiroSeguro(const std::string& nome, const std::string& conteudo);
// The same for a text handed out by `pedacos`, each piece written as it
// comes: a large text is never held whole in memory.
bool gravaFicheiroSeguro(const std::string& nome, const Pedacos& pedacos);

// Copies the file `origem` over `destino` (replacing it). Returns false on
// any failure.
bool copiaFicheiro(const std::string& origem, const std::string& destino);

#endif
