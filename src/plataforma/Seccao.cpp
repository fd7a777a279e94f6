#include "Seccao.h"

#include <cerrno>
#include <csignal>

#include "Nomes.h"
#include "Passos.h"
#include "Sistema.h"

namespace {

// Whether this process is inside a course's critical section now: the
// clean-up must not enter it again (a second lock of the companion by the
// same process would wait for itself).
volatile std::sig_atomic_t dentroDeSeccao = 0;

// Whether the first `tamanho` bytes of `lido` (`total` were read) are
// those of `prefixo`.
bool comecaPor(const char* lido, std::size_t total, const char* prefixo, std::size_t tamanho) {
  bool igual = total >= tamanho;
  for (std::size_t i = 0; igual && i < tamanho; ++i) igual = lido[i] == prefixo[i];
  return igual;
}

}  // namespace

Estado SeccaoCurso::entra(const std::string& ficheiroEstudantes) {
  sai();
  const std::string nome = ficheiroEstudantes + sufixoSeccao;
  sistema::Descritor d = sistema::semDescritor;
  Estado aberto = sistema::abreCompanheira(nome, &d).sobre(nome);
  if (!aberto.ok()) return aberto;
  Estado trancado = escrita::tranca(d, nome);
  if (!trancado.ok()) {
    sistema::fecha(d);
    // A file system without locks: the caller goes on without the section.
    if (trancado.causa() == Causa::semTrancas) return Estado();
    return trancado;
  }
  descritor_ = d;
  dentro_ = true;
  dentroDeSeccao = 1;
  return Estado();
}

void SeccaoCurso::sai() {
  if (!dentro_) return;
  dentroDeSeccao = 0;
  sistema::largaCompanheira(descritor_);
  descritor_ = sistema::semDescritor;
  dentro_ = false;
}

SeccaoCurso::~SeccaoCurso() { sai(); }

Estado criaFicheiroExclusivo(const std::string& nome, std::string_view conteudo) {
  sistema::Descritor d = sistema::semDescritor;
  Estado criado = escrita::criaExclusivo(nome, &d);
  if (!criado.ok()) return criado;
  Estado escrito = escrita::escreve(d, nome, conteudo);
  sistema::fecha(d);
  if (!escrito.ok()) (void)escrita::remove(nome);
  return escrito;
}

void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho,
                       const char* seccao) {
  const int erroAnterior = errno;
  // Inside the course's critical section, so that no take-over can come
  // between the check and the removal.
  sistema::Descritor trinco = sistema::semDescritor;
  if (!dentroDeSeccao && seccao != nullptr) trinco = sistema::entraSeccaoNoSinal(seccao);
  char lido[512];
  std::size_t total = 0;
  if (sistema::leInicio(nome, lido, sizeof lido, tamanho, &total) &&
      comecaPor(lido, total, prefixo, tamanho)) {
    sistema::apaga(nome);
  }
  if (trinco != sistema::semDescritor) sistema::fechaNoSinal(trinco);
  errno = erroAnterior;
}
