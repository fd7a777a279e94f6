#include "Numeros.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace {

bool ehBranco(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool ehDigito(char c) { return c >= '0' && c <= '9'; }

// Skips leading blanks and a '+' that is followed by a digit or a point, as
// the standard conversions accept it.
const char* inicioNumero(const char* p, const char* fim) {
  while (p != fim && ehBranco(*p)) ++p;
  if (p != fim && *p == '+' && p + 1 != fim && (ehDigito(p[1]) || p[1] == '.')) ++p;
  return p;
}

// True when [p, fim) starts with an optional '-' then a digit, or a point
// followed by a digit: a decimal number, never "inf", "nan" or hex.
bool comecaPorNumeroDecimal(const char* p, const char* fim) {
  if (p != fim && *p == '-') ++p;
  if (p == fim) return false;
  if (ehDigito(*p)) return true;
  return *p == '.' && p + 1 != fim && ehDigito(p[1]);
}

// A value that from_chars found out of range: overflow is refused, a value
// too small is taken as strtof gives it (0 or a subnormal).
bool valorForaDeGama(const char* p, const char* fim, float& valor) {
  std::string copia(p, fim);
  float v = std::strtof(copia.c_str(), nullptr);
  if (std::isinf(v)) return false;
  valor = v;
  return true;
}

// A field made only of an optional '-' and at most 7 digits, as most grades
// and weights are: its float is exact, the very value of the general
// conversion, found at a fraction of the cost.
bool inteiroCurto(const char* p, const char* fim, float& valor) {
  const bool negativo = p != fim && *p == '-';
  if (negativo) ++p;
  if (fim - p < 1 || fim - p > 7) return false;
  int v = 0;
  for (; p != fim; ++p) {
    if (!ehDigito(*p)) return false;
    v = v * 10 + (*p - '0');
  }
  valor = negativo ? -static_cast<float>(v) : static_cast<float>(v);
  return true;
}

bool converteReal(const char* p, const char* fim, float& valor) {
  if (inteiroCurto(p, fim, valor)) return true;
  if (!comecaPorNumeroDecimal(p, fim)) return false;
  float v = 0;
  auto r = std::from_chars(p, fim, v, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) return valorForaDeGama(p, r.ptr, valor);
  if (r.ec != std::errc()) return false;
  valor = v;
  return true;
}

}  // namespace

bool leInteiro(std::string_view campo, int& valor) {
  const char* fim = campo.data() + campo.size();
  const char* p = inicioNumero(campo.data(), fim);
  int v = 0;
  auto r = std::from_chars(p, fim, v);
  if (r.ec != std::errc()) return false;
  valor = v;
  return true;
}

bool leReal(std::string_view campo, float& valor) {
  const char* fim = campo.data() + campo.size();
  return converteReal(inicioNumero(campo.data(), fim), fim, valor);
}

bool leRealOuTraco(std::string_view campo, float& valor) {
  if (campo == "-") {
    valor = -1;
    return true;
  }
  return leReal(campo, valor);
}

bool leRealConsola(const std::string& token, float& valor) {
  return converteReal(token.data(), token.data() + token.size(), valor);
}

namespace {

// Room that escreveInteiro and escreveReal may need.
const size_t larguraNumero = 32;

char* escreveInteiro(char* destino, long long valor) {
  return std::to_chars(destino, destino + larguraNumero, valor).ptr;
}

// Grades and weights are mostly whole numbers or quarters (12, 2.5, 8.25).
// Such a value below 10000 has at most 6 significant digits, so %g writes it
// exactly: the whole part, then ".25", ".5" or ".75"; this is much cheaper
// than the general conversion. Minus zero ("-0") takes the general path.
char* escreveReal(char* destino, float valor) {
  const float quartos = valor * 4;
  const bool simples = valor > -1e4f && valor < 1e4f && quartos == std::trunc(quartos);
  if (!simples || (valor == 0 && std::signbit(valor))) {
    return std::to_chars(destino, destino + larguraNumero, valor, std::chars_format::general, 6)
        .ptr;
  }
  long long q = static_cast<long long>(quartos);
  if (q < 0) {
    *destino++ = '-';
    q = -q;
  }
  destino = escreveInteiro(destino, q / 4);
  // The three characters are always copied (there is room), the end moves
  // by the fraction's length: no branch on data that varies line to line.
  const char fracoes[4][4] = {"", ".25", ".5", ".75"};
  const int tamanhos[4] = {0, 3, 2, 3};
  std::memcpy(destino, fracoes[q % 4], 3);
  return destino + tamanhos[q % 4];
}

}  // namespace

void acrescentaReal(std::string& destino, float valor) {
  char texto[larguraNumero];
  destino.append(texto, static_cast<size_t>(escreveReal(texto, valor) - texto));
}

void acrescentaInteiro(std::string& destino, long long valor) {
  char texto[larguraNumero];
  destino.append(texto, static_cast<size_t>(escreveInteiro(texto, valor) - texto));
}

void Acumulador::inteiro(long long valor) {
  garante(larguraNumero);
  p_ = escreveInteiro(p_, valor);
}

void Acumulador::real(float valor) {
  garante(larguraNumero);
  p_ = escreveReal(p_, valor);
}

void Acumulador::texto(std::string_view t) {
  garante(t.size());
  if (t.size() > sizeof buffer_) {
    destino_.append(t);
    return;
  }
  t.copy(p_, t.size());
  p_ += t.size();
}

void Acumulador::garante(size_t n) {
  if (static_cast<size_t>(buffer_ + sizeof buffer_ - p_) < n) despeja();
}

void Acumulador::despeja() {
  destino_.append(buffer_, static_cast<size_t>(p_ - buffer_));
  p_ = buffer_;
}

std::string textoFixo(float valor, int casas) {
  char texto[64];
  auto r = std::to_chars(texto, texto + sizeof texto, valor, std::chars_format::fixed, casas);
  if (r.ec != std::errc()) return std::to_string(valor);  // beyond 64 characters
  return std::string(texto, r.ptr);
}

std::string textoGeral(float valor) {
  std::string texto;
  acrescentaReal(texto, valor);
  return texto;
}
