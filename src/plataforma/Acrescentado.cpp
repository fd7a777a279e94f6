#include "Acrescentado.h"

#include "Limpeza.h"
#include "Nomes.h"
#include "Passos.h"
#include "Sistema.h"
#include "Substituicao.h"

FicheiroAcrescentado::~FicheiroAcrescentado() { fecha(); }

Estado FicheiroAcrescentado::abre(const std::string& nome, std::string_view inicio) {
  fecha();
  nome_ = nome;
  sistema::Descritor d = sistema::semDescritor;
  criado_ = false;
  Estado aberto = escrita::abreAcrescentar(nome, false, &d, &tamanho_);
  if (aberto.causa() == Causa::naoExiste) {
    aberto = escrita::abreAcrescentar(nome, true, &d, &tamanho_);
    criado_ = aberto.ok();
  }
  if (!aberto.ok()) return aberto;
  descritor_ = d;
  aberto_ = true;
  registo_ = registaCorte(nome, descritor_, tamanho_, criado_);
  if (!criado_) return Estado();
  // A new file holds its first line before anything is appended.
  Estado comeco = acrescenta(inicio);
  if (comeco.ok()) comeco = descarrega();
  if (!comeco.ok()) {
    (void)repoe();
    return comeco;
  }
  escrita::descarregaPasta(pastaDoNome(nome));
  tamanho_ = inicio.size();
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
  return escrita::acrescenta(descritor_, nome_, texto);
}

Estado FicheiroAcrescentado::descarrega() { return escrita::descarrega(descritor_, nome_); }

Estado FicheiroAcrescentado::repoe() {
  if (!aberto_) return Estado();
  esqueceCorte(registo_);
  registo_ = -1;
  if (criado_) {
    fecha();  // Windows removes no open file
    Estado removido = removeFicheiro(nome_);
    if (removido.ok()) escrita::descarregaPasta(pastaDoNome(nome_));
    return removido;
  }
  Estado cortado = escrita::corta(descritor_, nome_, tamanho_);
  if (cortado.ok()) cortado = escrita::descarrega(descritor_, nome_);
  fecha();
  return cortado;
}

void FicheiroAcrescentado::fecha() {
  // Forgotten before the descriptor is closed: the clean-up never cuts
  // through a closed (or reused) descriptor.
  esqueceCorte(registo_);
  registo_ = -1;
  if (aberto_) sistema::fecha(descritor_);
  aberto_ = false;
}
