#include "LeitorCsv.h"

#include <algorithm>
#include <initializer_list>

#include "Cp1252.h"
#include "FormatoCsv.h"

namespace {

const std::string_view marcaUtf8 = "\xEF\xBB\xBF";
const char aspas = '"';

bool temNaoAscii(std::string_view texto) {
  return std::any_of(texto.begin(), texto.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

LeitorCsv::LeitorCsv(std::string_view texto) : texto_(texto) {
  if (texto_.substr(0, marcaUtf8.size()) == marcaUtf8) {
    texto_.remove_prefix(marcaUtf8.size());
    utf8_ = true;
  } else {
    utf8_ = temNaoAscii(texto_) && cp1252::utf8Valido(texto_);
  }
  const std::string_view primeira = texto_.substr(0, texto_.find_first_of("\r\n"));
  separador_ = csv::separador;
  for (const char candidato : {csv::separador, csv::separadorTab, csv::separadorAlternativo}) {
    if (primeira.find(candidato) != std::string_view::npos) {
      separador_ = candidato;
      break;
    }
  }
}

bool LeitorCsv::proximo(std::vector<std::string>& celulas) {
  if (posicao_ >= texto_.size()) return false;
  linhaRegisto_ = linhaAtual_;
  aspasPorFechar_ = false;
  size_t n = 0;
  for (bool fim = false; !fim;) {
    if (n == celulas.size()) celulas.emplace_back();
    std::string& celula = celulas[n++];
    celula.clear();
    fim = leCelula(celula);
  }
  celulas.resize(n);
  return true;
}

void LeitorCsv::acrescenta(std::string& celula, size_t inicio, size_t fim) {
  const std::string_view parte = texto_.substr(inicio, fim - inicio);
  // Line ends: LF, CR LF and CR alone.
  for (size_t i = 0; i < parte.size(); ++i) {
    if (parte[i] == '\n' || (parte[i] == '\r' && (i + 1 == parte.size() || parte[i + 1] != '\n'))) {
      ++linhaAtual_;
    }
  }
  celula.append(parte);
}

bool LeitorCsv::leCelula(std::string& celula) {
  if (posicao_ < texto_.size() && texto_[posicao_] == aspas && !leEntreAspas(celula)) {
    return true;  // the quote never closes: the text ends inside the cell
  }
  return leSemAspas(celula);
}

bool LeitorCsv::leEntreAspas(std::string& celula) {
  const size_t tamanho = texto_.size();
  ++posicao_;
  for (;;) {
    const size_t fecho = texto_.find(aspas, posicao_);
    if (fecho == std::string_view::npos) {
      acrescenta(celula, posicao_, tamanho);
      posicao_ = tamanho;
      aspasPorFechar_ = true;
      return false;
    }
    acrescenta(celula, posicao_, fecho);
    posicao_ = fecho + 1;
    if (posicao_ >= tamanho || texto_[posicao_] != aspas) return true;
    celula += aspas;  // a doubled quote stands for one
    ++posicao_;
  }
}

// Unquoted text, or whatever follows a closing quote (kept as it is).
bool LeitorCsv::leSemAspas(std::string& celula) {
  const size_t tamanho = texto_.size();
  size_t fim = posicao_;
  while (fim < tamanho && texto_[fim] != separador_ && texto_[fim] != '\n' && texto_[fim] != '\r') {
    ++fim;
  }
  celula.append(texto_.substr(posicao_, fim - posicao_));
  if (fim == tamanho) {
    posicao_ = tamanho;
    return true;
  }
  posicao_ = fim + 1;
  if (texto_[fim] == separador_) return false;
  // A line end: LF, CR LF or CR alone.
  if (texto_[fim] == '\r' && posicao_ < tamanho && texto_[posicao_] == '\n') ++posicao_;
  ++linhaAtual_;
  return true;
}

bool LeitorCsv::converte(std::string& celula) const {
  if (!utf8_ || !temNaoAscii(celula)) return true;
  if (!cp1252::utf8Valido(celula)) return false;
  size_t substituidos = 0;
  std::string convertido = cp1252::deUtf8(celula, &substituidos);
  if (substituidos != 0) return false;
  celula = std::move(convertido);
  return true;
}
