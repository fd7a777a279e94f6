#include "Leitura.h"

#include <utility>

#include "Sistema.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

struct EstadoHash {
  XXH3_state_t estado;
};

namespace {

// Size of the blocks of a whole read.
const std::size_t blocoLeitura = 1 << 16;

}  // namespace

bool mesmoConteudo(const IdentidadeFicheiro& a, const IdentidadeFicheiro& b) {
  if (a.existe != b.existe) return false;
  return !a.existe || (a.tamanho == b.tamanho && a.hash == b.hash);
}

LeituraPorBlocos::LeituraPorBlocos() : hash_(new EstadoHash) { XXH3_64bits_reset(&hash_->estado); }

LeituraPorBlocos::~LeituraPorBlocos() {
  fecha();
  delete hash_;
}

Estado LeituraPorBlocos::abre(const std::string& nome) {
  fecha();
  nome_ = nome;
  sistema::Descritor d = sistema::semDescritor;
  Estado aberto = sistema::abreLeitura(nome, &d, &tamanhoAoAbrir_, &modificacao_).sobre(nome);
  if (!aberto.ok()) return aberto;
  descritor_ = d;
  aberto_ = true;
  return Estado();
}

Estado LeituraPorBlocos::le(char* destino, std::size_t maximo, std::size_t* lidos) {
  *lidos = 0;
  if (!aberto_) return Estado();
  Estado lido = sistema::leBloco(descritor_, destino, maximo, lidos).sobre(nome_);
  if (!lido.ok()) {
    fecha();
    return lido;
  }
  lidos_ += *lidos;
  XXH3_64bits_update(&hash_->estado, destino, *lidos);
  if (*lidos == 0) fecha();
  return Estado();
}

Estado LeituraPorBlocos::posiciona(std::uint64_t deslocamento) {
  if (!aberto_) return Estado();
  Estado posto = sistema::vaiPara(descritor_, deslocamento).sobre(nome_);
  if (!posto.ok()) fecha();
  return posto;
}

IdentidadeFicheiro LeituraPorBlocos::identidade() const {
  IdentidadeFicheiro id;
  id.existe = true;
  id.tamanho = lidos_;
  id.modificacao = modificacao_;
  id.hash = XXH3_64bits_digest(&hash_->estado);
  return id;
}

void LeituraPorBlocos::fecha() {
  if (aberto_) sistema::fecha(descritor_);
  aberto_ = false;
}

namespace {

// Reads the open `ficheiro` to its end, handing each block to `recebe`.
template <typename Recebe>
Estado leAteAoFim(LeituraPorBlocos& ficheiro, Recebe recebe) {
  char bloco[blocoLeitura];
  std::size_t lidos = 0;
  do {
    Estado lido = ficheiro.le(bloco, sizeof bloco, &lidos);
    if (!lido.ok()) return lido;
    recebe(bloco, lidos);
  } while (lidos > 0);
  return Estado();
}

}  // namespace

Estado leFicheiroNormal(const std::string& nome, std::string* conteudo,
                        IdentidadeFicheiro* identidade) {
  if (identidade != nullptr) *identidade = IdentidadeFicheiro();
  LeituraPorBlocos ficheiro;
  Estado aberto = ficheiro.abre(nome);
  if (!aberto.ok()) return aberto;
  conteudo->clear();
  conteudo->reserve(static_cast<std::size_t>(ficheiro.tamanhoAoAbrir()));
  Estado lido =
      leAteAoFim(ficheiro, [conteudo](const char* b, std::size_t n) { conteudo->append(b, n); });
  if (lido.ok() && identidade != nullptr) *identidade = ficheiro.identidade();
  return lido;
}

Estado identificaFicheiro(const std::string& nome, IdentidadeFicheiro* identidade) {
  *identidade = IdentidadeFicheiro();
  LeituraPorBlocos ficheiro;
  Estado aberto = ficheiro.abre(nome);
  if (!aberto.ok()) return aberto;
  Estado lido = leAteAoFim(ficheiro, [](const char*, std::size_t) {});
  if (lido.ok()) *identidade = ficheiro.identidade();
  return lido;
}

Estado leFicheiroCurto(const std::string& nome, std::size_t maximo, std::string* conteudo) {
  conteudo->clear();
  sistema::Descritor d = sistema::semDescritor;
  Estado aberto = sistema::abreSemLigacao(nome, &d).sobre(nome);
  if (!aberto.ok()) return aberto;
  std::string lido(maximo + 1, '\0');
  std::size_t total = 0;
  Estado r = sistema::leAte(d, &lido[0], lido.size(), &total).sobre(nome);
  sistema::fecha(d);
  if (!r.ok()) return r;
  if (total > maximo) return Estado(Causa::demasiadoGrande, nome);
  if (total == 0) return Estado(Causa::naoNormal, nome);
  lido.resize(total);
  *conteudo = std::move(lido);
  return Estado();
}
