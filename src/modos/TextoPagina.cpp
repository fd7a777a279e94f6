#include "TextoPagina.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <kainjow/mustache.hpp>

#include "Cp1252.h"
#include "FormatoCsv.h"
#include "Numeros.h"
#include "UC.h"

namespace {

// Texts up to this length are escaped where they stand; longer ones are
// held by reference and escaped by slices of this length.
const size_t fatiaEscape = 1 << 16;

}  // namespace

std::string escapaHtml(std::string_view texto) {
  std::string escapado = kainjow::mustache::html_escape(std::string(texto));
  for (char& c : escapado) {
    if (cp1252::byteDeControlo(static_cast<unsigned char>(c), cp1252::FinsDeLinha::permitidos)) {
      c = '?';
    }
  }
  return escapado;
}

void TextoPagina::acrescentaEscapado(std::string_view texto) {
  if (texto.size() <= fatiaEscape) {
    proprio_ += escapaHtml(texto);
    return;
  }
  referencias_.push_back({proprio_.size(), texto});
  longos_ += texto.size();
}

bool TextoPagina::proximaFatia(std::string_view& fatia, size_t maximo) {
  if (referencia_ < referencias_.size() && referencias_[referencia_].posicao == posicao_) {
    const std::string_view longo = referencias_[referencia_].texto;
    const size_t tamanho = std::min(maximo, fatiaEscape);
    escapado_ = escapaHtml(longo.substr(dentro_, tamanho));
    dentro_ += tamanho;
    if (dentro_ >= longo.size()) {
      ++referencia_;
      dentro_ = 0;
    }
    fatia = escapado_;
    return true;
  }
  size_t fim = proprio_.size();
  if (referencia_ < referencias_.size()) fim = referencias_[referencia_].posicao;
  fim = std::min(fim, posicao_ + maximo);
  fatia = std::string_view(proprio_).substr(posicao_, fim - posicao_);
  posicao_ = fim;
  return !fatia.empty();
}

void TextoPagina::clear() {
  proprio_.clear();
  referencias_.clear();
  longos_ = 0;
  posicao_ = 0;
  referencia_ = 0;
  dentro_ = 0;
}

void acrescentaInteiro(TextoPagina& pagina, long long valor) {
  char texto[24];
  char* const fim = std::to_chars(texto, texto + sizeof texto, valor).ptr;
  pagina += std::string_view(texto, static_cast<size_t>(fim - texto));
}

std::string textoReal(float valor, int casas) {
  if (std::isnan(valor)) return TXT("—");
  return csv::comVirgula(textoFixo(valor, casas));
}

std::string textoTaxa(long long parte, long long total) {
  const int percentagemTotal = 100;
  if (total == 0) return TXT("—");
  const float taxa = static_cast<float>(parte) / static_cast<float>(total) * percentagemTotal;
  return textoReal(taxa, precisaoPercentagemCurso) + " %";
}
