#include "EscritaHistorico.h"

#include <utility>

#include "LeituraHistorico.h"
#include "Substituicao.h"
#include "Temporario.h"

namespace historico {

namespace {

// The lines are handed to the file in pieces of about this size.
const std::size_t tamanhoPedaco = 1 << 20;

// Added to the history's name for a damaged one set aside.
const char* const sufixoDanificado = ".danificado";

}  // namespace

EscritaHistorico::EscritaHistorico(std::string nome, std::string ficheiroEstudantes,
                                   const LinhaHistorico& quem)
    : nome_(std::move(nome)), ficheiroEstudantes_(std::move(ficheiroEstudantes)), quem_(quem) {}

void EscritaHistorico::novoEscritor(const std::string& origem) {
  LinhaHistorico comum = quem_;
  comum.origem = origem;
  const std::string anterior = escritor_ ? std::string(escritor_->ultima()) : anterior_;
  escritor_.emplace(comum, anterior, fimLinha_);
}

void EscritaHistorico::marca(Marca qual, const std::string& antes, const std::string& depois) {
  escritor_->escreveMarca(qual, antes, depois, texto_);
}

Estado EscritaHistorico::despeja() {
  if (erro_.ok() && !texto_.empty()) erro_ = ficheiro_.acrescenta(texto_);
  texto_.clear();
  return erro_;
}

Estado EscritaHistorico::prepara(const IdentidadeFicheiro& atual, const std::string& origem,
                                 Dano* dano, std::string* posto) {
  *dano = Dano::nenhum;
  posto->clear();
  // A history that cannot be opened or set aside is told by comeca: a save
  // without lines for it goes on. One that fails while being written to
  // fails the save now.
  Estado adiado;
  erro_ = abre(atual, origem, dano, posto, &adiado);
  if (erro_.ok() && !texto_.empty() && despeja().ok()) erro_ = ficheiro_.descarrega();
  if (!erro_.ok()) return erro_;
  erro_ = adiado;
  return Estado();
}

Estado EscritaHistorico::abre(const IdentidadeFicheiro& atual, const std::string& origem,
                              Dano* dano, std::string* posto, Estado* adiado) {
  // A writer killed while creating it may have left its first name behind
  // (a second name of the history): gone first.
  removeTemporariosAbandonados(nome_);
  Estado aberto = ficheiro_.abre(nome_);
  if (aberto.causa() == Causa::naoExiste) return Estado();
  if (!aberto.ok()) {
    *adiado = aberto;
    return Estado();
  }
  FimHistorico fim;
  Estado examinado = examinaFim(
      ficheiro_.tamanho(),
      [this](std::uint64_t posicao, std::size_t maximo, std::string* texto) {
        return ficheiro_.le(posicao, maximo, texto);
      },
      &fim);
  if (!examinado.ok()) {
    ficheiro_.fecha();
    *adiado = examinado;
    return Estado();
  }
  if (fim.dano != Dano::nenhum) {
    // Set aside as it is; the save starts a new history.
    ficheiro_.fecha();
    *dano = fim.dano;
    *adiado = renomeiaSeLivre(nome_, nome_ + sufixoDanificado, posto);
    return Estado();
  }
  // A piece of the header (a writer that died creating it) starts anew.
  anterior_ = fim.semCabecalho ? verificacaoInicial : fim.anterior;
  fimLinha_ = fim.fimLinha;
  novoEscritor(origem);
  Estado reparado = repara(fim);
  if (!reparado.ok()) return reparado;
  switch (fim.pendente) {
    case Pendente::nenhuma:
      break;
    case Pendente::semIdentidade:
    case Pendente::talvez:
      marca(Marca::anulada);
      break;
    case Pendente::identificada: {
      const std::string escrito = ficheiroDaGravacao(fim.identidades.origem, ficheiroEstudantes_);
      const bool feita = escrito == ficheiroEstudantes_
                             ? gravacaoFeita(fim.identidades, atual)
                             : gravacaoFeitaNoFicheiro(fim.identidades, ficheiroEstudantes_);
      if (feita) {
        marca(Marca::concluida);
      } else {
        marca(Marca::anulada, textoIdentidade(atual));
      }
      break;
    }
  }
  return Estado();
}

// Cuts off what follows the last whole line (or rewrites a header cut
// short), and records the bytes cut.
Estado EscritaHistorico::repara(const FimHistorico& fim) {
  if (fim.semCabecalho) {
    Estado cortado = ficheiro_.corta(0);
    if (!cortado.ok()) return cortado;
    texto_ += inicioFicheiro;
  } else if (fim.corte < fim.tamanho) {
    Estado cortado = ficheiro_.corta(fim.corte);
    if (!cortado.ok()) return cortado;
  } else {
    return Estado();
  }
  const std::uint64_t cortados = fim.semCabecalho ? fim.tamanho : fim.tamanho - fim.corte;
  if (cortados > 0) marca(Marca::reparada, std::to_string(cortados));
  return Estado();
}

Estado EscritaHistorico::comeca(const std::string& origem) {
  if (!erro_.ok()) return erro_;
  if (!ficheiro_.aberto()) {
    erro_ = ficheiro_.cria(nome_, inicioFicheiro);
    if (!erro_.ok()) return erro_;
    anterior_ = verificacaoInicial;
    fimLinha_ = fimLinhaCrLf;
    escritor_.reset();
  }
  novoEscritor(origem);
  marca(Marca::inicio);
  comecada_ = true;
  return erro_;
}

Estado EscritaHistorico::escreve(const LinhaHistorico& linha) {
  if (!erro_.ok()) return erro_;
  escritor_->escreve(linha, texto_);
  if (texto_.size() >= tamanhoPedaco) return despeja();
  return erro_;
}

Estado EscritaHistorico::identifica(const IdentidadeFicheiro& antes,
                                    const IdentidadeFicheiro& depois) {
  if (!erro_.ok()) return erro_;
  marca(Marca::identidade, textoIdentidade(antes), textoIdentidade(depois));
  if (despeja().ok()) erro_ = ficheiro_.descarrega();
  return erro_;
}

void EscritaHistorico::conclui() {
  if (!comecada_ || !erro_.ok()) return;
  marca(Marca::concluida);
  (void)despeja();
  comecada_ = false;
}

void EscritaHistorico::anula() {
  if (!comecada_ || !erro_.ok()) return;
  marca(Marca::anulada);
  if (despeja().ok()) (void)ficheiro_.descarrega();
  comecada_ = false;
}

}  // namespace historico
