#include "Cp1252.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ConsolaSistema.h"

namespace cp1252 {

void semRepresentacaoCp1252() noexcept { std::abort(); }

void acrescentaUtf8(std::string& destino, std::string_view texto) {
  for (char c : texto) {
    const char32_t codigo = paraUnicode(static_cast<unsigned char>(c));
    if (codigo < 0x80) {
      destino += static_cast<char>(codigo);
    } else if (codigo < 0x800) {
      destino += static_cast<char>(0xC0 | (codigo >> 6));
      destino += static_cast<char>(0x80 | (codigo & 0x3F));
    } else {
      destino += static_cast<char>(0xE0 | (codigo >> 12));
      destino += static_cast<char>(0x80 | ((codigo >> 6) & 0x3F));
      destino += static_cast<char>(0x80 | (codigo & 0x3F));
    }
  }
}

std::string paraUtf8(std::string_view texto) {
  std::string resultado;
  resultado.reserve(texto.size());
  acrescentaUtf8(resultado, texto);
  return resultado;
}

std::string deUtf8(std::string_view texto, std::size_t* substituidos) {
  std::string resultado;
  resultado.reserve(texto.size());
  std::size_t perdidos = 0;
  for (std::size_t i = 0; i < texto.size();) {
    const char32_t codigo = leUtf8(texto.data(), texto.size(), i);
    const int byte = codigo == kSubstituto ? -1 : deUnicode(codigo);
    if (byte < 0) ++perdidos;
    resultado += byte < 0 ? '?' : static_cast<char>(byte);
  }
  if (substituidos != nullptr) *substituidos = perdidos;
  return resultado;
}

bool utf8Valido(std::string_view texto) {
  for (std::size_t i = 0; i < texto.size();) {
    const std::size_t antes = i;
    if (leUtf8(texto.data(), texto.size(), i) == kSubstituto) {
      // U+FFFD written out in UTF-8 is valid; a malformed byte is not.
      if (i - antes != 3) return false;
    }
  }
  return true;
}

std::string deLinhaDeComandos(const std::string& palavra) {
  return sistema::linhaDeComandosUtf8 && utf8Valido(palavra) ? deUtf8(palavra) : palavra;
}

namespace {

// The position of the first byte of 0x80 or more in `texto` from `i` on
// (its size when there is none), eight bytes at a time while they last.
std::size_t primeiroAlto(std::string_view texto, std::size_t i) {
  const char* p = texto.data();
  const std::size_t n = texto.size();
  for (; i + sizeof(std::uint64_t) <= n; i += sizeof(std::uint64_t)) {
    std::uint64_t bloco;
    std::memcpy(&bloco, p + i, sizeof bloco);
    if ((bloco & 0x8080808080808080ull) != 0) break;
  }
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
  return i;
}

}  // namespace

void AnaliseTexto::analisa(std::string_view pedaco) {
  for (std::size_t i = primeiroAlto(pedaco, 0); i < pedaco.size(); i = primeiroAlto(pedaco, i)) {
    altos_ = true;
    const std::size_t antes = i;
    const char32_t codigo = leUtf8(pedaco.data(), pedaco.size(), i);
    if (codigo == kSubstituto && i - antes != 3) {
      valido_ = false;
      return;
    }
    if (deUnicode(codigo) < 0) ++semRepresentacao_;
  }
}

Marca marcaInicial(std::string_view texto) {
  if (texto.substr(0, kMarcaUtf8.size()) == kMarcaUtf8) return Marca::utf8;
  if (texto.substr(0, 2) == "\xFF\xFE" || texto.substr(0, 2) == "\xFE\xFF") return Marca::utf16;
  return Marca::nenhuma;
}

std::string_view semMarcaUtf8(std::string_view texto) {
  if (marcaInicial(texto) == Marca::utf8) texto.remove_prefix(kMarcaUtf8.size());
  return texto;
}

}  // namespace cp1252
