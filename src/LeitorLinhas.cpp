#include "LeitorLinhas.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>

bool LeitorLinhas::leFicheiro(const std::string& nome, std::string& conteudo) {
  std::FILE* f = std::fopen(nome.c_str(), "rb");
  if (f == nullptr) return false;
  conteudo.clear();
  // One allocation for the whole file rather than repeated doublings, which
  // copy the text each time (the size is only a hint: reading goes on to
  // the real end of the file).
  std::error_code erro;
  const auto tamanho = std::filesystem::file_size(nome, erro);
  if (!erro) conteudo.reserve(static_cast<size_t>(tamanho));
  char bloco[1 << 16];
  size_t lidos = 0;
  while ((lidos = std::fread(bloco, 1, sizeof bloco, f)) > 0) conteudo.append(bloco, lidos);
  bool ok = std::ferror(f) == 0;
  std::fclose(f);
  return ok;
}

LeitorLinhas::LeitorLinhas(std::string conteudo, std::string nomeFicheiro)
    : conteudo_(std::move(conteudo)), nomeFicheiro_(std::move(nomeFicheiro)) {}

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
  std::cout << "ERRO: Linha " << numero_ << " do ficheiro " << nomeFicheiro_ << " ignorada"
            << std::endl;
}

long LeitorLinhas::contaLinhas() const {
  long linhas = 0;
  for (char c : conteudo_) linhas += c == '\n';
  if (!conteudo_.empty() && conteudo_.back() != '\n') ++linhas;
  return linhas;
}

long LeitorLinhas::contaLinhasComPrimeiroCampo(std::string_view campo) const {
  long conta = 0;
  size_t posicao = 0;
  while (posicao < conteudo_.size()) conta += primeiroCampo(linhaEm(conteudo_, posicao)) == campo;
  return conta;
}

std::string_view primeiroCampo(std::string_view linha) { return linha.substr(0, linha.find(';')); }
