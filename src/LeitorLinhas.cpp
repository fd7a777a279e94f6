#include "LeitorLinhas.h"

#include <iostream>
#include <utility>

LeitorLinhas::LeitorLinhas(std::string conteudo, std::string nomeFicheiro)
    : LeitorLinhas(std::move(conteudo), std::move(nomeFicheiro), std::cout) {}

LeitorLinhas::LeitorLinhas(std::string conteudo, std::string nomeFicheiro, std::ostream& mensagens)
    : conteudo_(std::move(conteudo)),
      nomeFicheiro_(std::move(nomeFicheiro)),
      mensagens_(&mensagens) {}

LeitorLinhas::~LeitorLinhas() = default;

namespace {

// The line of `texto` that starts at `posicao`, without its line end;
// advances `posicao` past that line end.
std::string_view linhaEm(const std::string& texto, size_t& posicao) {
  size_t inicio = posicao;
  size_t fim = texto.find('\n', inicio);
  size_t tamanho;
  if (fim == std::string::npos) {
    tamanho = texto.size() - inicio;
    posicao = texto.size();
  } else {
    tamanho = fim - inicio;
    if (tamanho > 0 && texto[fim - 1] == '\r') --tamanho;
    posicao = fim + 1;
  }
  return std::string_view(texto.data() + inicio, tamanho);
}

}  // namespace

bool LeitorLinhas::proximaLinha(std::string_view& linha) {
  if (posicao_ >= conteudo_.size()) return false;
  posicaoAnterior_ = posicao_;
  linha = linhaEm(conteudo_, posicao_);
  ++numero_;
  return true;
}

void LeitorLinhas::devolveLinha() {
  posicao_ = posicaoAnterior_;
  --numero_;
}

void LeitorLinhas::ignoraLinha() {
  ignoradas_ = true;
  *mensagens_ << "ERRO: Linha " << numero_ << " do ficheiro " << nomeFicheiro_ << " ignorada"
              << std::endl;
}

long LeitorLinhas::contaLinhas() const {
  long linhas = 0;
  for (char c : conteudo_) linhas += c == '\n';
  if (!conteudo_.empty() && conteudo_.back() != '\n') ++linhas;
  return linhas;
}

long LeitorLinhas::contaLinhasComPrimeiroCampo(std::string_view campo) const {
  // The first field is `campo` when the line starts with it and it is
  // followed by a ';' or by the end of the line: only the start of each
  // line is looked at, never the rest of it.
  long conta = 0;
  size_t posicao = 0;
  while (posicao < conteudo_.size()) {
    const std::string_view linha = linhaEm(conteudo_, posicao);
    conta += linha.compare(0, campo.size(), campo) == 0 &&
             (linha.size() == campo.size() || linha[campo.size()] == ';');
  }
  return conta;
}

std::string_view primeiroCampo(std::string_view linha) { return linha.substr(0, linha.find(';')); }

bool linhaEmBranco(std::string_view linha) {
  return linha.find_first_not_of(" \t\r") == std::string_view::npos;
}
