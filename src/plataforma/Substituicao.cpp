#include "Substituicao.h"

#include <memory>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "Nomes.h"
#include "Passos.h"
#include "Pausas.h"
#include "Sistema.h"
#include "Temporario.h"

namespace {

// Numbered names tried before a series of new files gives up.
const int maximoNumerados = 100000;

// Hands out the pieces of `pedacos` unchanged while taking the identity of
// the whole text they make.
class PedacosMedidos {
 public:
  explicit PedacosMedidos(const Pedacos& pedacos) : pedacos_(pedacos) {
    XXH3_64bits_reset(&estado_);
  }
  Pedacos pedacos() {
    return [this](std::string_view& pedaco) {
      if (!pedacos_(pedaco)) return false;
      tamanho_ += pedaco.size();
      XXH3_64bits_update(&estado_, pedaco.data(), pedaco.size());
      return true;
    };
  }
  IdentidadeFicheiro identidade() const {
    IdentidadeFicheiro id;
    id.existe = true;
    id.tamanho = tamanho_;
    id.hash = XXH3_64bits_digest(&estado_);
    return id;
  }

 private:
  XXH3_state_t estado_;
  const Pedacos& pedacos_;
  std::uint64_t tamanho_ = 0;
};

using Temporarios = std::vector<std::unique_ptr<FicheiroTemporario>>;
using Ficheiros = std::vector<std::pair<std::string, Pedacos>>;

// The new contents of `ficheiros` written to their temporary files, beside
// the files each replaces (`destinos`).
Estado escreveTodos(const Ficheiros& ficheiros, const std::vector<std::string>& destinos,
                    Temporarios& novos, std::string* qual) {
  for (std::size_t i = 0; i < ficheiros.size(); ++i) {
    *qual = ficheiros[i].first;
    novos.push_back(std::make_unique<FicheiroTemporario>(destinos[i]));
    Estado escrito = novos.back()->escreve(ficheiros[i].second, destinos[i]);
    if (!escrito.ok()) return escrito;
  }
  return Estado();
}

// Renames every new content into place, keeping each old file until all
// are done; when a rename fails, puts back those already renamed.
Estado substituiTodos(const std::vector<std::string>& destinos, Temporarios& novos,
                      const Ficheiros& ficheiros, std::string* qual) {
  Temporarios antigos;
  for (std::size_t i = 0; i < destinos.size(); ++i) {
    *qual = ficheiros[i].first;
    antigos.push_back(std::make_unique<FicheiroTemporario>(destinos[i]));
    antigos.back()->guardaDestino();
    Estado substituido = novos[i]->substitui();
    if (substituido.ok()) continue;
    antigos.pop_back();
    while (!antigos.empty()) {
      antigos.back()->repoeDestino();
      antigos.pop_back();
    }
    return substituido;
  }
  return Estado();
}

}  // namespace

Pedacos pedacoUnico(std::string_view conteudo) {
  bool entregue = false;
  return [conteudo, entregue](std::string_view& pedaco) mutable {
    if (entregue) return false;
    pedaco = conteudo;
    entregue = true;
    return true;
  };
}

NovoConteudo::NovoConteudo() = default;
NovoConteudo::~NovoConteudo() = default;

Estado NovoConteudo::escreve(const std::string& nome, const Pedacos& pedacos, Alvo alvo) {
  temporario_.reset();
  std::string destino;
  Estado destinado = sistema::destinoDe(nome, alvo, &destino);
  if (!destinado.ok()) return destinado;
  PedacosMedidos medidos(pedacos);
  temporario_ = std::make_unique<FicheiroTemporario>(destino);
  Estado r = temporario_->escreve(medidos.pedacos(), destino);
  if (!r.ok()) {
    temporario_.reset();
    return r;
  }
  identidade_ = medidos.identidade();
  pontoPausa(alvo == Alvo::substituirNome ? "bloqueio-escrito" : "temporario-escrito");
  return Estado();
}

Estado NovoConteudo::escreveNovo(const std::string& base, const Pedacos& pedacos,
                                 const std::string& modelo) {
  temporario_.reset();
  PedacosMedidos medidos(pedacos);
  temporario_ = std::make_unique<FicheiroTemporario>(base);
  Estado r = temporario_->escreve(medidos.pedacos(), modelo);
  if (!r.ok()) {
    temporario_.reset();
    return r;
  }
  identidade_ = medidos.identidade();
  return Estado();
}

Estado NovoConteudo::nomeia(const std::string& nome, const std::function<void()>& aoNomear) {
  Estado r = temporario_->nomeiaSeLivre(nome, aoNomear);
  if (r.causa() != Causa::jaExiste) temporario_.reset();
  return r;
}

Estado NovoConteudo::substitui(const std::function<void()>& aoSubstituir) {
  Estado r = temporario_->substitui(aoSubstituir);
  temporario_.reset();
  return r;
}

Estado substituiFicheiro(const std::string& nome, const Pedacos& pedacos,
                         IdentidadeFicheiro* escrito, Alvo alvo,
                         const std::function<void()>& aoSubstituir) {
  NovoConteudo novo;
  Estado r = novo.escreve(nome, pedacos, alvo);
  if (r.ok()) r = novo.substitui(aoSubstituir);
  if (r.ok() && escrito != nullptr) *escrito = novo.identidade();
  return r;
}

Estado substituiFicheiro(const std::string& nome, std::string_view conteudo, Alvo alvo) {
  return substituiFicheiro(nome, pedacoUnico(conteudo), nullptr, alvo);
}

Estado substituiFicheiros(const Ficheiros& ficheiros, std::string* qual) {
  std::vector<std::string> destinos(ficheiros.size());
  for (std::size_t i = 0; i < ficheiros.size(); ++i) {
    *qual = ficheiros[i].first;
    Estado destinado = sistema::destinoDe(ficheiros[i].first, Alvo::soNormal, &destinos[i]);
    if (!destinado.ok()) return destinado;
  }
  Temporarios novos;
  Estado escritos = escreveTodos(ficheiros, destinos, novos, qual);
  if (!escritos.ok()) return escritos;
  // Every new content is on disk: now the renames.
  pontoPausa("temporarios-escritos");
  return substituiTodos(destinos, novos, ficheiros, qual);
}

Estado gravaFicheiroNovo(const std::string& base, const Pedacos& pedacos, const std::string& modelo,
                         std::string* escrito) {
  FicheiroTemporario temporario(base);
  Estado r = temporario.escreve(pedacos, modelo);
  if (!r.ok()) return r;
  for (int n = 0; n < maximoNumerados; ++n) {
    const std::string candidato = nomeNumerado(base, n);
    r = temporario.nomeiaSeLivre(candidato);
    if (r.ok()) {
      *escrito = candidato;
      return r;
    }
    if (r.causa() != Causa::jaExiste) return r;
  }
  return Estado(Causa::jaExiste, base);
}

Estado gravaFicheiroNovo(const std::string& base, std::string_view conteudo,
                         const std::string& modelo, std::string* escrito) {
  return gravaFicheiroNovo(base, pedacoUnico(conteudo), modelo, escrito);
}

namespace {

// Gives `nome` the name `para` only while it is free: a hard link, then the
// old name removed (POSIX, whose rename replaces); a move that never
// replaces where that is the way or hard links are refused.
Estado moveSeLivre(const std::string& nome, const std::string& para) {
  if (sistema::ligacaoSoSeLivre) {
    Estado ligado = escrita::liga(nome, para);
    if (ligado.ok()) return escrita::remove(nome);
    if (ligado.causa() == Causa::jaExiste) return ligado;
  }
  return escrita::moveSeLivre(nome, para);
}

}  // namespace

Estado renomeiaSeLivre(const std::string& nome, const std::string& base, std::string* escolhido) {
  for (int n = 0; n < maximoNumerados; ++n) {
    const std::string candidato = nomeNumerado(base, n);
    if (sistema::nomeExiste(candidato)) continue;
    Estado movido = moveSeLivre(nome, candidato);
    if (movido.causa() == Causa::jaExiste) continue;
    if (!movido.ok()) return movido;
    *escolhido = candidato;
    escrita::descarregaPasta(pastaDoNome(candidato));
    return Estado();
  }
  return Estado(Causa::jaExiste, base);
}

bool nomeOcupado(const std::string& nome) { return sistema::nomeExiste(nome); }

Estado removeFicheiro(const std::string& nome) {
  if (!sistema::nomeExiste(nome)) return Estado();
  if (sistema::ePasta(nome)) return Estado(Causa::pasta, nome);
  Estado removido = escrita::remove(nome);
  if (removido.causa() == Causa::naoExiste) return Estado();
  return removido;
}
