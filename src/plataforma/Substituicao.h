// Writing a file safely: its new content goes to a private temporary file
// (Temporario.h) beside it, flushed to disk, then renamed over it; several
// files all or nothing; a new file that never replaces another; removing a
// file. A failure names the file being written, never a temporary one.
#ifndef PAUTA_SUBSTITUICAO_H
#define PAUTA_SUBSTITUICAO_H

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Estado.h"
#include "Leitura.h"

// Hands out a text piece by piece: sets its argument to the next piece
// (valid until the next call) and answers true, or answers false at the end.
using Pedacos = std::function<bool(std::string_view&)>;
// The pieces of one whole text: `conteudo` at once (it must outlive them).
Pedacos pedacoUnico(std::string_view conteudo);

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

// Replaces the content of `nome` safely: the pieces go to a private
// temporary file beside the file replaced, flushed to disk and renamed over
// it; the folder is flushed after (POSIX). On POSIX the new file keeps the
// old one's permission bits and, where allowed, its owner and group; on
// Windows it takes the folder's permissions. On failure `nome` is left as
// it was. On success sets `escrito` (when given) to the identity of the new
// content. `aoSubstituir` (when given) is called right after the rename,
// with the termination signals held (POSIX): a signal cannot come between
// the two.
Estado substituiFicheiro(const std::string& nome, const Pedacos& pedacos,
                         IdentidadeFicheiro* escrito = nullptr, Alvo alvo = Alvo::soNormal,
                         const std::function<void()>& aoSubstituir = {});
Estado substituiFicheiro(const std::string& nome, std::string_view conteudo,
                         Alvo alvo = Alvo::soNormal);

class FicheiroTemporario;

// substituiFicheiro (or gravaFicheiroNovo) in its two steps, for a caller
// that records the new content's identity before the file is replaced (or
// named): escreve (escreveNovo) writes the new content to its private
// temporary file (on failure nothing is left), then substitui (nomeia)
// renames it over the file (gives it a free name). Dropped before, it
// removes its temporary file and nothing changed.
class NovoConteudo {
 public:
  NovoConteudo();
  ~NovoConteudo();
  NovoConteudo(const NovoConteudo&) = delete;
  NovoConteudo& operator=(const NovoConteudo&) = delete;

  Estado escreve(const std::string& nome, const Pedacos& pedacos, Alvo alvo);
  // The content of a new file of the series of `base` (gravaFicheiroNovo),
  // its permission bits (and owner) those of `modelo` (POSIX).
  Estado escreveNovo(const std::string& base, const Pedacos& pedacos, const std::string& modelo);
  // The identity of what escreve wrote.
  const IdentidadeFicheiro& identidade() const { return identidade_; }
  // Renames the new content over the file; `aoSubstituir` (when given) is
  // called right after the rename, the termination signals held (POSIX).
  Estado substitui(const std::function<void()>& aoSubstituir = {});
  // Gives the new file the name `nome` only while it is free (Causa::jaExiste
  // when taken: it may be tried again under another); `aoNomear` as above.
  Estado nomeia(const std::string& nome, const std::function<void()>& aoNomear = {});

 private:
  std::unique_ptr<FicheiroTemporario> temporario_;
  IdentidadeFicheiro identidade_;
};

// Replaces several files all or nothing, each as substituiFicheiro with
// Alvo::soNormal: every new content is written to its private temporary
// file and flushed before any is renamed; if one cannot be written, none
// changes; if a rename fails, those already renamed are put back as they
// were. On failure sets `qual` to the file concerned.
Estado substituiFicheiros(const std::vector<std::pair<std::string, Pedacos>>& ficheiros,
                          std::string* qual);

// Writes a new file under the first free name of `base`, `base`.1,
// `base`.2, ... by the same safe path, never replacing an existing file
// (a link included); sets `escrito` to the name used. On POSIX the
// permission bits (and owner) are those of `modelo` when it exists.
Estado gravaFicheiroNovo(const std::string& base, const Pedacos& pedacos, const std::string& modelo,
                         std::string* escrito);
Estado gravaFicheiroNovo(const std::string& base, std::string_view conteudo,
                         const std::string& modelo, std::string* escrito);

// Gives the file `nome` the first free name of `base`, `base`.1, `base`.2,
// ..., never replacing a file there; sets `escolhido` to it. The file is
// moved unchanged (on POSIX a hard link made under the free name, then the
// old name removed), the folder flushed.
Estado renomeiaSeLivre(const std::string& nome, const std::string& base, std::string* escolhido);

// Whether anything (a file, a folder, a link) has the name `nome`.
bool nomeOcupado(const std::string& nome);

// Removes `nome` when it is a regular file or a link (never a folder:
// Causa::pasta). Success when it is gone, or was never there.
Estado removeFicheiro(const std::string& nome);

#endif
