// Reading files: a data file whole or block by block, a short file (a
// lock's line), and the identity of what a file holds. Only regular files
// are read: a folder, FIFO, device or socket is refused without being
// opened. A file that is not there fails with Causa::naoExiste.
#ifndef PAUTA_LEITURA_H
#define PAUTA_LEITURA_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "Estado.h"

// What a file held when it was read: two identities are the same content
// when both files are missing, or both exist with the same size and hash.
// The modification time is kept for the record; a file rewritten with the
// same bytes has not changed.
struct IdentidadeFicheiro {
  bool existe = false;
  std::uint64_t tamanho = 0;
  std::int64_t modificacao = 0;  // seconds since the epoch
  std::uint64_t hash = 0;        // XXH3, 64 bits, of the whole content
};
bool mesmoConteudo(const IdentidadeFicheiro& a, const IdentidadeFicheiro& b);

struct EstadoHash;

// A regular file read block by block: a large file need never be held
// whole. Closed when destroyed.
class LeituraPorBlocos {
 public:
  LeituraPorBlocos();
  ~LeituraPorBlocos();
  LeituraPorBlocos(const LeituraPorBlocos&) = delete;
  LeituraPorBlocos& operator=(const LeituraPorBlocos&) = delete;

  // Opens the regular file `nome` for reading (a link to one counts).
  Estado abre(const std::string& nome);
  // Reads the next bytes, at most `maximo`, to `destino` and sets `lidos`
  // (0 at the end of the file); a failure closes the file.
  Estado le(char* destino, std::size_t maximo, std::size_t* lidos);
  // Moves to the byte `deslocamento` from the start, for a reader that wants
  // only the head and the tail of a file; identidade() then no longer
  // describes the content.
  Estado posiciona(std::uint64_t deslocamento);
  // The size of the file when it was opened (a hint: it may change).
  std::uint64_t tamanhoAoAbrir() const { return tamanhoAoAbrir_; }
  // The identity of the content read so far (all of it, once `le` has
  // answered 0 bytes).
  IdentidadeFicheiro identidade() const;

 private:
  void fecha();

  std::string nome_;
  std::intptr_t descritor_ = -1;  // the POSIX descriptor or Windows handle
  bool aberto_ = false;
  std::uint64_t tamanhoAoAbrir_ = 0;
  std::uint64_t lidos_ = 0;
  std::int64_t modificacao_ = 0;
  EstadoHash* hash_;
};

// The identity of what the file `nome` holds now, read by blocks and not
// kept. A missing file fails (Causa::naoExiste) with `identidade` that of
// no file.
Estado identificaFicheiro(const std::string& nome, IdentidadeFicheiro* identidade);

// Reads the regular file `nome` whole, in binary, to `conteudo`, and sets
// `identidade` (when given) to what was read.
Estado leFicheiroNormal(const std::string& nome, std::string* conteudo,
                        IdentidadeFicheiro* identidade = nullptr);

// Reads at most `maximo` bytes of the regular file `nome`, never through a
// link (Causa::ligacao). A longer file fails with Causa::demasiadoGrande, an
// empty one with Causa::naoNormal: neither is what a short file holds.
Estado leFicheiroCurto(const std::string& nome, std::size_t maximo, std::string* conteudo);

#endif
