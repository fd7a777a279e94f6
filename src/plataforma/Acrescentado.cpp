#include "Acrescentado.h"

#include "Nomes.h"
#include "Passos.h"
#include "Sistema.h"
#include "Temporario.h"

FicheiroAcrescentado::~FicheiroAcrescentado() { fecha(); }

Estado FicheiroAcrescentado::abre(const std::string& nome) {
  fecha();
  nome_ = nome;
  sistema::Descritor d = sistema::semDescritor;
  Estado aberto = escrita::abreAcrescentar(nome, false, &d, &tamanho_);
  if (!aberto.ok()) return aberto;
  descritor_ = d;
  aberto_ = true;
  return Estado();
}

Estado FicheiroAcrescentado::cria(const std::string& nome, std::string_view inicio) {
  fecha();
  nome_ = nome;
  FicheiroTemporario novo(nome);
  Estado criado = novo.escreve(pedacoUnico(inicio), "");
  if (!criado.ok()) return criado;
  criado = novo.ligaSeLivre(nome);
  if (criado.ok() || criado.causa() == Causa::jaExiste) return abre(nome);
  // No hard links here: created exclusively and filled (a writer that dies
  // in between leaves a piece of `inicio`, which the next one mends).
  sistema::Descritor d = sistema::semDescritor;
  criado = escrita::abreAcrescentar(nome, true, &d, &tamanho_);
  if (criado.causa() == Causa::jaExiste) return abre(nome);
  if (!criado.ok()) return criado;
  descritor_ = d;
  aberto_ = true;
  Estado escrito = acrescenta(inicio);
  if (escrito.ok()) escrito = descarrega();
  if (!escrito.ok()) {
    fecha();
    (void)escrita::remove(nome);
    return escrito;
  }
  escrita::descarregaPasta(pastaDoNome(nome));
  return Estado();
}

Estado FicheiroAcrescentado::le(std::uint64_t posicao, std::size_t maximo, std::string* texto) {
  texto->assign(maximo, '\0');
  std::size_t total = 0;
  Estado lido = sistema::leEm(descritor_, posicao, &(*texto)[0], maximo, &total).sobre(nome_);
  texto->resize(lido.ok() ? total : 0);
  return lido;
}

Estado FicheiroAcrescentado::acrescenta(std::string_view texto) {
  Estado escrito = escrita::acrescenta(descritor_, nome_, texto);
  if (escrito.ok()) tamanho_ += texto.size();
  return escrito;
}

Estado FicheiroAcrescentado::descarrega() { return escrita::descarrega(descritor_, nome_); }

Estado FicheiroAcrescentado::corta(std::uint64_t tamanho) {
  Estado cortado = escrita::corta(descritor_, nome_, tamanho);
  if (cortado.ok()) cortado = escrita::descarrega(descritor_, nome_);
  if (cortado.ok()) tamanho_ = tamanho;
  return cortado;
}

void FicheiroAcrescentado::fecha() {
  if (aberto_) sistema::fecha(descritor_);
  aberto_ = false;
}
