// The one place where the program touches the file system: reading a data
// file whole, listing the working directory, replacing a file safely,
// writing a file that never replaces another, the exclusive creation and
// removal of a lock file, a file's identity, and the process and machine
// names a lock records. Every operation answers success or failure; a
// failure comes with a reason in Portuguese (CP1252) for the user, and
// nothing here prints. POSIX and Windows sides live in Ficheiros.cpp.
#ifndef PAUTA_FICHEIROS_H
#define PAUTA_FICHEIROS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Hands out a text piece by piece: sets its argument to the next piece
// (valid until the next call) and answers true, or answers false at the end.
using Pedacos = std::function<bool(std::string_view&)>;

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

// The 64-bit hash used by the identities.
std::uint64_t hashConteudo(std::string_view conteudo);

enum class Leitura {
  lido,         // the content was read
  inexistente,  // there is no such file
  ilegivel,     // it exists but is not a readable regular file
};

struct EstadoHash;

// A regular file read block by block, with the checks of leFicheiroNormal:
// a large file need never be held whole. Closed when destroyed.
class LeituraPorBlocos {
 public:
  LeituraPorBlocos();
  ~LeituraPorBlocos();
  LeituraPorBlocos(const LeituraPorBlocos&) = delete;
  LeituraPorBlocos& operator=(const LeituraPorBlocos&) = delete;

  // Opens `nome` for reading as leFicheiroNormal does (a directory, FIFO,
  // device or socket never is); on `ilegivel` sets `razao`.
  Leitura abre(const std::string& nome, std::string* razao);
  // Reads the next bytes, at most `maximo`, to `destino` and sets `lidos`
  // (0 at the end of the file). Answers false, with `razao`, on an error.
  bool le(char* destino, std::size_t maximo, std::size_t* lidos, std::string* razao);
  // The size of the file when it was opened (a hint: it may change).
  std::uint64_t tamanhoAoAbrir() const { return tamanhoAoAbrir_; }
  // The identity of the content read so far (all of it, once `le` has
  // answered 0 bytes).
  IdentidadeFicheiro identidade() const;

 private:
  void fecha();

  std::intptr_t descritor_ = -1;  // the POSIX descriptor or Windows handle
  bool aberto_ = false;
  std::uint64_t tamanhoAoAbrir_ = 0;
  std::uint64_t lidos_ = 0;
  std::int64_t modificacao_ = 0;
  EstadoHash* hash_;
};

// The identity of what the file `nome` holds now, read by blocks and not
// kept; answers as leFicheiroNormal.
Leitura identificaFicheiro(const std::string& nome, IdentidadeFicheiro* identidade,
                           std::string* razao);

// Reads the regular file `nome` whole, in binary (a link to a regular file
// counts). A directory, FIFO, device or socket is never opened for reading.
// Sets `identidade` (when given) to what was read; on `ilegivel` sets
// `razao` to the reason ("sem permissão", "é uma pasta", ...).
Leitura leFicheiroNormal(const std::string& nome, std::string* conteudo,
                         IdentidadeFicheiro* identidade, std::string* razao);

// The names of the regular files (links to one included) of the directory
// `pasta`, in the order the listing yields them; empty if it cannot be read.
std::vector<std::string> listaFicheirosNormais(const std::string& pasta);
// The names of every entry of the directory `pasta` (files, folders, links,
// anything), "." and ".." left out; empty if it cannot be read.
std::vector<std::string> listaNomesPasta(const std::string& pasta);

// Replaces the content of `nome` safely: the content goes to `nome`.tmp,
// created exclusively and never through a link, is flushed to disk and
// renamed over `nome`; the directory is flushed after. A leftover regular
// file at the temporary name is removed first; anything else there (a link,
// a directory, a FIFO) makes the save fail and is left alone. When `nome` is
// a link, its target is replaced and the link stays. The new file keeps the
// old one's permission bits and, where allowed, its owner and group. On
// failure answers false with `erro` = "WHICH: REASON" (WHICH the file the
// failing step concerned) and `nome` is left as it was. On success sets
// `escrito` (when given) to the identity of the new content.
bool substituiFicheiro(const std::string& nome, const Pedacos& pedacos, std::string* erro,
                       IdentidadeFicheiro* escrito = nullptr);
bool substituiFicheiro(const std::string& nome, std::string_view conteudo, std::string* erro);

// Writes a new file under the first free name of `base`, `base`.1,
// `base`.2, ... by the same safe path, never replacing an existing file;
// sets `escrito` to the name used. The permission bits (and owner) are those
// of `modelo` when it exists. On failure answers false with `erro` as above.
bool gravaFicheiroNovo(const std::string& base, std::string_view conteudo,
                       const std::string& modelo, std::string* escrito, std::string* erro);
bool gravaFicheiroNovo(const std::string& base, const Pedacos& pedacos, const std::string& modelo,
                       std::string* escrito, std::string* erro);

// Removes `nome` when it is a regular file or a link (never a directory).
// Answers true when it is gone (or was never there).
bool removeFicheiro(const std::string& nome, std::string* erro);

enum class Criacao { criado, jaExiste, falhou };
// Creates `nome` exclusively (it must not exist, not even as a link) with
// `conteudo`; works on network shares. On `falhou` sets `razao`.
Criacao criaFicheiroExclusivo(const std::string& nome, std::string_view conteudo,
                              std::string* razao);

// Removes the file `nome` when its content starts with the `tamanho` bytes
// of `prefixo`. Safe to call from a signal handler; `nome` and `prefixo`
// must be NUL-free buffers that stay alive.
void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho);

// This process's id; whether process `pid` of this machine still runs.
long long processoAtual();
bool processoVivo(long long pid);
// This machine's name and the user's login name ("?" if unknown).
std::string nomeMaquina();
std::string nomeUtilizador();

#endif
