// The per-system primitives under the file operations of this folder, as
// leveldb's env_posix/env_windows: each is defined twice, in SistemaPosix.cpp
// and in SistemaWindows.cpp, and the build compiles the one of its system.
// Everything else is written once on top of them. They never print; a
// failure answers its cause and the system's number, the name it concerns
// left for the caller to give (Estado::sobre). Only the files of this
// folder use them; the writes among them are taken through the watched steps
// of Passos.h, never called directly. The console's primitives are in
// ConsolaSistema.h.
#ifndef PAUTA_SISTEMA_H
#define PAUTA_SISTEMA_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "Estado.h"

// What a replacement may find at the name it replaces (Substituicao.h).
enum class Alvo;

namespace sistema {

// An open file: a POSIX descriptor or a Windows handle, as an integer.
using Descritor = std::intptr_t;
const Descritor semDescritor = -1;

// The permission bits and owner a new file takes from its model (POSIX; a
// Windows file takes its folder's permissions and this stays empty).
struct Dono {
  bool copia = false;
  std::uint32_t modo = 0;
  std::int64_t utilizador = 0;
  std::int64_t grupo = 0;
};

// --- Reading ---

// Opens the regular file `nome` for reading (a link to one counts); a
// directory, FIFO, device or socket is refused without being opened. Sets
// its size and last modification (seconds since 1970) where known.
Estado abreLeitura(const std::string& nome, Descritor* d, std::uint64_t* tamanho,
                   std::int64_t* modificacao);
// Opens the regular file `nome` for reading, never through a link.
Estado abreSemLigacao(const std::string& nome, Descritor* d);
// One read of at most `maximo` bytes; `lidos` is 0 at the end of the file.
Estado leBloco(Descritor d, char* destino, std::size_t maximo, std::size_t* lidos);
// Reads up to `maximo` bytes, fewer only at the end of the file.
Estado leAte(Descritor d, char* destino, std::size_t maximo, std::size_t* total);
// Reads up to `maximo` bytes from byte `posicao` on, fewer only at the end.
Estado leEm(Descritor d, std::uint64_t posicao, char* destino, std::size_t maximo,
            std::size_t* total);
// Moves to byte `deslocamento` from the start of the file.
Estado vaiPara(Descritor d, std::uint64_t deslocamento);
void fecha(Descritor d);

// --- Writing (through Escritas.h) ---

// Creates `nome` for writing, exclusively and never through a link; with
// `dono.copia` readable by its owner alone until aplicaDono.
Estado criaNovo(const std::string& nome, const Dono& dono, Descritor* d);
// Creates `nome` for writing, exclusively, never through a link, readable
// by others (a lock's line); works on network shares.
Estado criaExclusivo(const std::string& nome, Descritor* d);
// Opens the regular file `nome` for reading and appending, never through a
// link: when `criar`, creates it exclusively; otherwise it must exist (a
// folder, FIFO, device or link is refused without being opened, a file with
// another name too, a hard link: Causa::ligacaoFisica). Sets its size.
Estado abreAcrescentar(const std::string& nome, bool criar, Descritor* d, std::uint64_t* tamanho);
Estado escreveTudo(Descritor d, const char* dados, std::size_t tamanho);
// Writes at the end of a file opened by abreAcrescentar.
Estado escreveNoFim(Descritor d, const char* dados, std::size_t tamanho);
Estado descarrega(Descritor d);
// Closes a written file, answering what the close reports.
Estado fechaEscrito(Descritor d);
// Cuts the file to `tamanho` bytes. Async-signal-safe on POSIX.
Estado corta(Descritor d, std::uint64_t tamanho);
// Renames `de` to `para`, replacing what is there, on disk before it answers
// where the system can do that in one call (Windows).
Estado renomeia(const std::string& de, const std::string& para);
// Moves `de` to `para` only while `para` is free (Windows); a plain rename
// where the system has no such call (POSIX: ligacaoSoSeLivre is the way).
Estado moveSeLivre(const std::string& de, const std::string& para);
// Makes the hard link `para` to `de`; fails when `para` exists.
Estado liga(const std::string& de, const std::string& para);
// Whether a hard link is the way to give a file a name only while it is
// free, before moveSeLivre (POSIX, whose rename replaces).
extern const bool ligacaoSoSeLivre;
Estado apagaNome(const std::string& nome);
// Flushes a folder's entries to disk where that is a step of its own
// (POSIX); a file system that cannot is no error.
void descarregaPasta(const std::string& pasta);

// --- Replacing ---

// The file a save of `nome` replaces: `nome` itself, or with
// Alvo::seguirLigacao (POSIX) the target of the link `nome`. Fails, with
// the name it concerns, when what is there may not be replaced.
Estado destinoDe(const std::string& nome, Alvo alvo, std::string* destino);
// Removes the files of the folder of `destino` whose names `abandonado`
// accepts, when they are regular files (of this user, on POSIX); anything
// else is left alone.
void removeRestos(const std::string& destino,
                  const std::function<bool(const std::string&)>& abandonado);
Dono donoDe(const std::string& modelo);
void aplicaDono(Descritor d, const Dono& dono);
// Whether anything, a link included, has the name `nome`; whether it is a
// folder (not through a link).
bool nomeExiste(const std::string& nome);
bool ePasta(const std::string& nome);

// --- The course's critical section ---

// Opens the companion `nome` to lock it, a regular file and never a link:
// created when missing (on POSIX with the folder's permission bits, so that
// whoever may write in the folder may lock it). A companion this process
// may not write fails with Causa::semPermissao (a lock needs it); a folder
// where it cannot be created gives the reason of the creation.
Estado abreCompanheira(const std::string& nome, Descritor* d);
// Tries once, without waiting, to lock the companion's first byte: on POSIX
// an open-file-description lock (F_OFD_SETLK; F_SETLK where the system has
// none), on Windows LockFileEx, the same byte range, so that a Samba or NFS
// server sees one lock from every client. `obtida` tells whether it is held
// now. Causa::semTrancas when the file system takes no locks.
Estado tentaTrancar(Descritor d, bool* obtida);
// Releases the lock and closes the companion.
void largaCompanheira(Descritor d);
// The line that names the holder, kept in the companion after its locked
// byte while the section is held (writing it is no step of a save: a
// failure only leaves the holder unnamed); cleared when it leaves.
void escreveDono(Descritor d, const std::string& linha);
void apagaDono(Descritor d);
// At most `maximo` bytes of that line, read through any open companion.
std::string leDono(Descritor d, std::size_t maximo);
// Pauses the process for `ms` milliseconds.
void dorme(long ms);
// Holds SIGINT, SIGTERM and SIGHUP until libertaSinais (POSIX): one that
// comes meanwhile is delivered then. Nothing on Windows, whose console
// events come on a thread of their own.
void adiaSinais();
void libertaSinais();
// Whether they are held now (for the test build's record of the steps).
bool sinaisAdiados();

// --- For the clean-up of every way out: async-signal-safe ---

// Enters the section of the companion `seccao` when that needs no wait
// (its descriptor, to close); semDescritor when it cannot be opened or
// another holds it: the clean-up never waits for a lock.
Descritor entraSeccaoNoSinal(const char* seccao);
// The first bytes of `nome`, never through a link: at least `tamanho` when
// it has them, at most `capacidade`; false when it cannot be opened.
bool leInicio(const char* nome, char* lido, std::size_t capacidade, std::size_t tamanho,
              std::size_t* total);
void apaga(const char* nome);
void fechaNoSinal(Descritor d);

}  // namespace sistema

#endif
