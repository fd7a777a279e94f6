#include "LeitorHistorico.h"

#include <utility>

#include "FormatoHistorico.h"

namespace historico {

namespace {

// Bytes of the file read at a time.
const size_t blocoHistorico = 1 << 16;

}  // namespace

LeitorHistorico::LeitorHistorico(std::string_view conteudo) : dados_(conteudo) {}

LeitorHistorico::LeitorHistorico() = default;

Estado LeitorHistorico::abre(const std::string& nome) {
  Estado leitura = ficheiro_.abre(nome);
  buffer_.clear();
  dados_ = buffer_;
  inicio_ = 0;
  descartados_ = 0;
  esgotado_ = !leitura.ok();
  numero_ = 0;
  proximoNumero_ = 1;
  return leitura;
}

bool LeitorHistorico::leBloco() {
  if (esgotado_) return false;
  buffer_.erase(0, inicio_);
  descartados_ += inicio_;
  inicio_ = 0;
  const size_t antes = buffer_.size();
  buffer_.resize(antes + blocoHistorico);
  size_t lidos = 0;
  Estado lido = ficheiro_.le(&buffer_[antes], blocoHistorico, &lidos);
  if (!lido.ok()) {
    razao_ = std::move(lido);
    erro_ = true;
    lidos = 0;
  }
  buffer_.resize(antes + lidos);
  dados_ = buffer_;
  if (lidos == 0) esgotado_ = true;
  return lidos > 0;
}

bool LeitorHistorico::proxima(std::string_view& linha) {
  const std::uint64_t comeco = descartados_ + inicio_;
  size_t i = inicio_;
  bool entreAspas = false;
  long fins = 0;  // line feeds inside the line (in quoted fields)
  longa_ = false;
  terminada_ = false;
  for (;;) {
    if (i >= dados_.size()) {
      // A line past the limit is not kept: only its end is looked for.
      if (longa_) inicio_ = i;
      const size_t lido = i - inicio_;
      const bool mais = leBloco();
      i = inicio_ + lido;
      if (mais) continue;
      if (i == inicio_ && !longa_) return false;
      break;
    }
    const char c = dados_[i];
    if (c == '"' && !longa_) entreAspas = !entreAspas;
    if (c == '\n') {
      if (!entreAspas || longa_) {
        terminada_ = true;
        break;
      }
      ++fins;
    }
    ++i;
    if (!longa_ && i - inicio_ > limiteLinha + 1) longa_ = true;
  }
  crlf_ = terminada_ && i > inicio_ && dados_[i - 1] == '\r';
  const size_t fimTexto = crlf_ ? i - 1 : i;
  linha = longa_ ? std::string_view() : dados_.substr(inicio_, fimTexto - inicio_);
  posicao_ = comeco;
  numero_ = proximoNumero_;
  proximoNumero_ += fins + 1;
  inicio_ = terminada_ ? i + 1 : i;
  return true;
}

}  // namespace historico
