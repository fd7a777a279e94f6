#include "Escritas.h"

#include "Nomes.h"
#include "Passos.h"
#include "Pausas.h"
#include "Sistema.h"

namespace {

// The observer a test installed (none in the program).
ObservadorEscritas* observadorInstalado = nullptr;

// The last part of a path without its private temporary suffix: the file a
// step is about, as a pause point names it.
std::string alvoDoPasso(const std::string& nome) {
  std::string base = nomeBase(nome);
  const size_t temporario = base.find(std::string(sufixoTemporario) + ".");
  if (temporario != std::string::npos) base.resize(temporario);
  return base;
}

// Shows the step to the pause points and the observer: a failure when the
// observer refuses it.
Estado passo(PassoEscrita p, const std::string& nome, const std::string& para = {}) {
  if (pontosPausaCompilados()) {
    static long passos = 0;
    const std::string numero = "passo-" + std::to_string(++passos);
    const std::string ponto =
        std::string("antes-") + nomePasso(p) + ":" + alvoDoPasso(para.empty() ? nome : para);
    // The step's number, its point and whether a signal now waits for it.
    registaPasso(numero + " " + ponto + (sistema::sinaisAdiados() ? " retidos" : ""));
    pontoPausa(numero.c_str());
    pontoPausa(ponto.c_str());
  }
  if (observadorInstalado == nullptr) return Estado();
  return Estado(observadorInstalado->passo(p, nome, para), para.empty() ? nome : para);
}

}  // namespace

const char* nomePasso(PassoEscrita passo) {
  switch (passo) {
    case PassoEscrita::criacao:
      return "criacao";
    case PassoEscrita::escrita:
      return "escrita";
    case PassoEscrita::descarga:
      return "descarga";
    case PassoEscrita::renomeacao:
      return "renomeacao";
    case PassoEscrita::ligacao:
      return "ligacao";
    case PassoEscrita::remocao:
      return "remocao";
    case PassoEscrita::descargaPasta:
      return "descargaPasta";
    case PassoEscrita::corte:
      return "corte";
    case PassoEscrita::tranca:
      break;
  }
  return "tranca";
}

void observaEscritas(ObservadorEscritas* observador) { observadorInstalado = observador; }

namespace escrita {

Estado criaNovo(const std::string& nome, const sistema::Dono& dono, Descritor* d) {
  Estado r = passo(PassoEscrita::criacao, nome);
  if (!r.ok()) return r;
  return sistema::criaNovo(nome, dono, d).sobre(nome);
}

Estado criaExclusivo(const std::string& nome, Descritor* d) {
  Estado r = passo(PassoEscrita::criacao, nome);
  if (!r.ok()) return r;
  return sistema::criaExclusivo(nome, d).sobre(nome);
}

Estado abreAcrescentar(const std::string& nome, bool criar, Descritor* d, std::uint64_t* tamanho) {
  if (criar) {
    Estado r = passo(PassoEscrita::criacao, nome);
    if (!r.ok()) return r;
  }
  return sistema::abreAcrescentar(nome, criar, d, tamanho).sobre(nome);
}

Estado escreve(Descritor d, const std::string& nome, std::string_view dados) {
  Estado r = passo(PassoEscrita::escrita, nome);
  if (!r.ok()) return r;
  return sistema::escreveTudo(d, dados.data(), dados.size()).sobre(nome);
}

Estado acrescenta(Descritor d, const std::string& nome, std::string_view dados) {
  Estado r = passo(PassoEscrita::escrita, nome);
  if (!r.ok()) return r;
  return sistema::escreveNoFim(d, dados.data(), dados.size()).sobre(nome);
}

Estado descarrega(Descritor d, const std::string& nome) {
  Estado r = passo(PassoEscrita::descarga, nome);
  if (!r.ok()) return r;
  return sistema::descarrega(d).sobre(nome);
}

Estado corta(Descritor d, const std::string& nome, std::uint64_t tamanho) {
  Estado r = passo(PassoEscrita::corte, nome);
  if (!r.ok()) return r;
  return sistema::corta(d, tamanho).sobre(nome);
}

Estado renomeia(const std::string& de, const std::string& para) {
  Estado r = passo(PassoEscrita::renomeacao, de, para);
  if (!r.ok()) return r;
  return sistema::renomeia(de, para).sobre(para);
}

Estado moveSeLivre(const std::string& de, const std::string& para) {
  Estado r = passo(PassoEscrita::renomeacao, de, para);
  if (!r.ok()) return r;
  return sistema::moveSeLivre(de, para).sobre(para);
}

Estado liga(const std::string& de, const std::string& para) {
  Estado r = passo(PassoEscrita::ligacao, de, para);
  if (!r.ok()) return r;
  return sistema::liga(de, para).sobre(para);
}

Estado remove(const std::string& nome) {
  Estado r = passo(PassoEscrita::remocao, nome);
  if (!r.ok()) return r;
  return sistema::apagaNome(nome).sobre(nome);
}

void descarregaPasta(const std::string& pasta) {
  if (passo(PassoEscrita::descargaPasta, pasta).ok()) sistema::descarregaPasta(pasta);
}

Estado tranca(Descritor d, const std::string& nome, bool* obtida) {
  *obtida = false;
  Estado r = passo(PassoEscrita::tranca, nome);
  if (!r.ok()) return r;
  // The test build may be asked to run as on a file system without locks.
  if (semTrancasPedido()) return Estado(Causa::semTrancas, nome);
  return sistema::tentaTrancar(d, obtida).sobre(nome);
}

}  // namespace escrita
