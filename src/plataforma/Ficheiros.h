// The one place where the program touches the file system: reading a data
// file whole, listing the working directory, replacing a file safely,
// writing a file that never replaces another, the exclusive creation and
// removal of a lock file, a file's identity, the process and machine names
// a lock records, and a watcher of the write steps for tests. Every
// operation answers success or failure; a failure comes with a reason in
// Portuguese (CP1252) for the user, and nothing here prints. POSIX and
// Windows sides live in Ficheiros.cpp.
#ifndef PAUTA_FICHEIROS_H
#define PAUTA_FICHEIROS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Hands out a text piece by piece: sets its argument to the next piece
// (valid until the next call) and answers true, or answers false at the end.
using Pedacos = std::function<bool(std::string_view&)>;
// The pieces of one whole text: `conteudo` at once (it must outlive them).
Pedacos pedacoUnico(std::string_view conteudo);

// The user's message for a file that could not be written, from the reason
// an operation below answered: "ERRO: Não foi possivel gravar o ficheiro
// NOME (ERRO)", without a line end.
std::string textoErroGravacao(const std::string& nome, const std::string& erro);

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
  // device or socket is refused); on `ilegivel` sets `razao`.
  Leitura abre(const std::string& nome, std::string* razao);
  // Reads the next bytes, at most `maximo`, to `destino` and sets `lidos`
  // (0 at the end of the file). Answers false, with `razao`, on an error.
  bool le(char* destino, std::size_t maximo, std::size_t* lidos, std::string* razao);
  // Moves to the byte `deslocamento` from the start, for a reader that wants
  // only the head and the tail of a file; identidade() then no longer
  // describes the content. Answers false, with `razao`, on an error.
  bool posiciona(std::uint64_t deslocamento, std::string* razao);
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
// counts). A directory, FIFO, device or socket is never read.
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

// What a replacement may find at the name it replaces.
enum class Alvo {
  // Only a regular file (or nothing): a link, folder, FIFO or device there
  // is an error and nothing is written (the outputs of the modes, backups,
  // conflict files).
  soNormal,
  // On POSIX a link is followed and its target replaced, the link staying
  // (the student file); Windows follows no link and replaces the name.
  seguirLigacao,
  // Whatever regular file or link is there is replaced as a name: a link is
  // replaced, never written through (the course lock).
  substituirNome,
};

// Replaces the content of `nome` safely: the content goes to a private
// temporary file (FicheiroTemporario) beside the file replaced, is flushed
// to disk and renamed over it; the directory is flushed after (POSIX). On
// POSIX the new file keeps the old one's permission bits and, where allowed,
// its owner and group; on Windows it takes the folder's permissions. On
// failure answers false with `erro` = "WHICH: REASON" (WHICH the
// file the failing step concerned) and `nome` is left as it was. On success
// sets `escrito` (when given) to the identity of the new content.
bool substituiFicheiro(const std::string& nome, const Pedacos& pedacos, std::string* erro,
                       IdentidadeFicheiro* escrito = nullptr, Alvo alvo = Alvo::soNormal);
// The same, calling `aoSubstituir` right after the rename with the
// termination signals held (POSIX): a signal cannot come between the two.
bool substituiFicheiro(const std::string& nome, const Pedacos& pedacos, std::string* erro,
                       IdentidadeFicheiro* escrito, Alvo alvo,
                       const std::function<void()>& aoSubstituir);
bool substituiFicheiro(const std::string& nome, std::string_view conteudo, std::string* erro,
                       Alvo alvo = Alvo::soNormal);

// Replaces several files all or nothing, each as substituiFicheiro with
// Alvo::soNormal: every new content is written to its private temporary
// file and flushed before any is renamed; if one cannot be written, none
// changes; if a rename fails, those already renamed are put back as they
// were. On failure sets `qual` to the file concerned.
bool substituiFicheiros(const std::vector<std::pair<std::string, Pedacos>>& ficheiros,
                        std::string* qual, std::string* erro);

// A private temporary file name of `destino` as process `pid` of this
// machine would make it (for tests of the leftovers' removal).
std::string nomeTemporario(const std::string& destino, long long pid);

// A temporary file that belongs to this process: a unique name beside
// `destino` ("DESTINO.tmp.PID.HOST.RANDOM", HOST a hash of the machine's
// name), created exclusively and never through a link. While it exists it
// is registered for the clean-up of every way out (limpezaFinal, signals
// included); the destructor removes it unless it was moved into place.
// Before creating it, leftovers of the same destination whose name shows a
// process of this machine that no longer runs are removed; no other file is
// touched.
class FicheiroTemporario {
 public:
  explicit FicheiroTemporario(std::string destino);
  ~FicheiroTemporario();
  FicheiroTemporario(const FicheiroTemporario&) = delete;
  FicheiroTemporario& operator=(const FicheiroTemporario&) = delete;

  // Creates the file, writes the pieces and flushes them to disk. On POSIX
  // the permission bits (and owner) are those of `modelo` when it is a
  // regular file; on Windows the folder's permissions apply. On failure the file is gone and `erro`
  // is "NAME: REASON".
  bool escreve(const Pedacos& pedacos, const std::string& modelo, std::string* erro);
  // Renames the file over `destino` (replacing what is there); then calls
  // `aoSubstituir` (when given), the termination signals held over both.
  bool substitui(std::string* erro, const std::function<void()>& aoSubstituir = {});
  // Gives the file the name `nome` only if that name is free (never
  // replaces a file); answers false with `ocupado` set when it is taken.
  bool nomeiaSeLivre(const std::string& nome, bool* ocupado, std::string* erro);
  // Makes the file a copy of what `destino` holds now (a hard link where
  // possible); answers false when there is nothing to keep or it fails.
  bool guardaDestino();
  // Puts this file back at `destino` (rename), or removes `destino` when
  // this file holds nothing (guardaDestino answered false).
  void repoeDestino();
  const std::string& nome() const { return nome_; }

 private:
  void remove();
  bool copiaDestino();

  std::string destino_;
  std::string nome_;
  int registo_ = -1;  // its slot in the clean-up registry
  bool existe_ = false;
};

// The operating-system critical section of one course: an exclusive lock
// (flock; LockFileEx on Windows) on the companion file `<student
// file>.seccao`, created when missing and never replaced or removed. Every
// pauta process that replaces the student file or changes the course lock
// holds it, so an identity check and the rename that follows it, or the
// reading of a stale lock and its removal, are one step for the others.
// Held by one object at a time per process; released by the destructor.
class SeccaoCurso {
 public:
  SeccaoCurso() = default;
  ~SeccaoCurso();
  SeccaoCurso(const SeccaoCurso&) = delete;
  SeccaoCurso& operator=(const SeccaoCurso&) = delete;

  // Waits for and enters the section of the course whose student file is
  // `ficheiroEstudantes`. A file system without locks lets the caller go on
  // (answers true without a section). Otherwise answers false with
  // `erro` = "COMPANION: REASON" when the companion cannot be used.
  bool entra(const std::string& ficheiroEstudantes, std::string* erro);
  void sai();

 private:
  std::intptr_t descritor_ = -1;
  bool dentro_ = false;
};

// The one clean-up of every way out, signal handlers included
// (async-signal-safe): removes every registered temporary file of this
// process, then every file registered by registaRemocaoNaSaida whose content
// still starts with its registered bytes.
void limpezaFinal();

// Registers `nome` for limpezaFinal, to be removed by removeSeComecaPor's
// rule (its content starts with `prefixo`; inside the critical section of
// the companion `seccao`): a course lock while this process holds it. The
// registry is small and fixed (a signal handler reads it); answers the
// registration, or -1 when it is full or a name is too long.
int registaRemocaoNaSaida(const std::string& nome, const std::string& prefixo,
                          const std::string& seccao);
// Forgets registration `registo` (nothing for -1); the file is left alone.
void esqueceRemocaoNaSaida(int registo);

// Makes a write beyond the process's file-size limit fail (EFBIG) instead of
// killing the process; call once at start-up. Nothing to do on Windows.
void ignoraLimiteTamanho();

// A named pause point for tests of interleavings between processes. In a
// POSIX build with PAUTA_PONTOS_PAUSA, when the environment variable PAUTA_PAUSA
// names `ponto` (a list separated by commas may name several) and
// PAUTA_PAUSA_CANAL is a path prefix P, the process writes one byte to the
// FIFO P.NOME.chegou (waiting for the test to read it) and then waits until
// the test writes to the FIFO P.NOME.continua; each point pauses once. In
// other builds it does nothing. The platform module's own points:
// "temporario-a-meio" (a temporary file's first piece written),
// "temporario-escrito" (written and flushed, not yet renamed; for the lock,
// "bloqueio-escrito") and "temporarios-escritos" (all of a joint
// replacement).
void pontoPausa(const char* ponto);

// The steps of this module's writes, for a test that watches them (and may
// make one fail), as a fault-injection file system does: the observer learns
// each step before it is taken, with the file's name (and the new name of a
// rename or link). The program itself installs none.
enum class PassoEscrita {
  criacao,        // a temporary file created
  escrita,        // bytes written to it
  descarga,       // the file flushed to disk
  renomeacao,     // `nome` renamed to `para` (replacing what is there)
  ligacao,        // a hard link `para` made to `nome`
  remocao,        // the name removed
  descargaPasta,  // the folder `nome` flushed to disk
};
class ObservadorEscritas {
 public:
  virtual ~ObservadorEscritas() = default;
  // Answering false makes the step fail, untaken, as an input/output error.
  virtual bool passo(PassoEscrita passo, const std::string& nome, const std::string& para) = 0;
};
// Installs `observador` for the steps of every later write (nullptr: none).
void observaEscritas(ObservadorEscritas* observador);

// Writes a new file under the first free name of `base`, `base`.1,
// `base`.2, ... by the same safe path, never replacing an existing file;
// sets `escrito` to the name used. On POSIX the permission bits (and owner)
// are those of `modelo` when it exists. On failure answers false with `erro` as above.
bool gravaFicheiroNovo(const std::string& base, std::string_view conteudo,
                       const std::string& modelo, std::string* escrito, std::string* erro);
bool gravaFicheiroNovo(const std::string& base, const Pedacos& pedacos, const std::string& modelo,
                       std::string* escrito, std::string* erro);

// A file that only grows (a record of the saves), opened for appending
// never through a link: a link, folder, FIFO or device at its name is an
// error with its reason. What one save appended can be taken back, the file
// cut to the size it had (or removed when it was created), when what it
// records did not happen: by repoe, and by the clean-up of every way out
// while it is open (a signal before the save was done). fecha keeps it.
// Closed when destroyed.
class FicheiroAcrescentado {
 public:
  FicheiroAcrescentado() = default;
  ~FicheiroAcrescentado();
  FicheiroAcrescentado(const FicheiroAcrescentado&) = delete;
  FicheiroAcrescentado& operator=(const FicheiroAcrescentado&) = delete;

  // Opens the regular file `nome`; when there is none, creates it holding
  // `inicio`, flushed to disk with its folder. On failure answers false
  // with `erro` = "NAME: REASON".
  bool abre(const std::string& nome, std::string_view inicio, std::string* erro);
  // Whether abre created the file.
  bool criado() const { return criado_; }
  // Its size when opened (with `inicio` when abre created it).
  std::uint64_t tamanho() const { return tamanho_; }
  // Sets `texto` to the bytes of the file from `posicao`, at most `maximo`
  // (fewer at its end).
  bool le(std::uint64_t posicao, std::size_t maximo, std::string* texto, std::string* erro);
  // Appends `texto` at the end; descarrega flushes what was appended.
  bool acrescenta(std::string_view texto, std::string* erro);
  bool descarrega(std::string* erro);
  // Takes back everything appended since abre: the file is cut to the size
  // it had, or removed when abre created it. Then closes it.
  bool repoe(std::string* erro);
  void fecha();

 private:
  std::string nome_;
  std::intptr_t descritor_ = -1;  // the POSIX descriptor or Windows handle
  bool aberto_ = false;
  bool criado_ = false;
  std::uint64_t tamanho_ = 0;
  int registo_ = -1;  // the registration for the clean-up while open
};

// Removes `nome` when it is a regular file or a link (never a directory).
// Answers true when it is gone (or was never there).
bool removeFicheiro(const std::string& nome, std::string* erro);

// Reads at most `maximo` bytes of the regular file `nome`, never through a
// link: a longer or empty file, a link, or anything else than a regular
// file is `ilegivel`.
Leitura leFicheiroCurto(const std::string& nome, std::size_t maximo, std::string* conteudo);

enum class Criacao { criado, jaExiste, falhou };
// Creates `nome` exclusively (it must not exist, not even as a link) with
// `conteudo`; works on network shares. On `falhou` sets `razao`.
Criacao criaFicheiroExclusivo(const std::string& nome, std::string_view conteudo,
                              std::string* razao);

// Removes the file `nome` when its content starts with the `tamanho` bytes
// of `prefixo`, inside the course's critical section of the companion
// `seccao` (entered here unless this process is already inside one). Safe
// to call from a signal handler; the arguments must be NUL-free buffers
// that stay alive.
void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho,
                       const char* seccao);

// This process's id; whether process `pid` of this machine still runs.
long long processoAtual();
bool processoVivo(long long pid);
// This machine's name and the user's login name ("?" if unknown).
std::string nomeMaquina();
std::string nomeUtilizador();

#endif
