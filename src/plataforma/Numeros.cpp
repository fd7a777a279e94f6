#include "Numeros.h"

#include <cerrno>
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

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 200000
// libc++ before version 20 has no from_chars for floating point: the same
// longest decimal prefix ([-]digits[.digits][(e|E)[sign]digits]) is read
// with strtof, in the "C" locale that the program never changes. Both round
// correctly, so the values are the same.
std::from_chars_result leFloat(const char* p, const char* fim, float& valor) {
  const char* q = p;
  if (q != fim && *q == '-') ++q;
  while (q != fim && ehDigito(*q)) ++q;
  if (q != fim && *q == '.') {
    ++q;
    while (q != fim && ehDigito(*q)) ++q;
  }
  if (q != fim && (*q == 'e' || *q == 'E')) {
    const char* e = q + 1;
    if (e != fim && (*e == '+' || *e == '-')) ++e;
    if (e != fim && ehDigito(*e)) {
      while (e != fim && ehDigito(*e)) ++e;
      q = e;
    }
  }
  const std::string copia(p, q);
  errno = 0;
  const float v = std::strtof(copia.c_str(), nullptr);
  if (errno == ERANGE) return {q, std::errc::result_out_of_range};
  valor = v;
  return {q, std::errc()};
}
#else
std::from_chars_result leFloat(const char* p, const char* fim, float& valor) {
  return std::from_chars(p, fim, valor, std::chars_format::general);
}
#endif

// Reads the longest real number at `p`; sets `fimNumero` where it ends.
bool converteReal(const char* p, const char* fim, float& valor, const char*& fimNumero) {
  if (leDecimalCurto(std::string_view(p, static_cast<size_t>(fim - p)), valor)) {
    fimNumero = fim;
    return true;
  }
  if (!comecaPorNumeroDecimal(p, fim)) return false;
  float v = 0;
  auto r = leFloat(p, fim, v);
  if (r.ec == std::errc::result_out_of_range) {
    fimNumero = r.ptr;
    return valorForaDeGama(p, r.ptr, valor);
  }
  if (r.ec != std::errc()) return false;
  valor = v;
  fimNumero = r.ptr;
  return true;
}

bool converteReal(const char* p, const char* fim, float& valor) {
  const char* fimNumero = nullptr;
  return converteReal(p, fim, valor, fimNumero);
}

// Whether [p, fim) holds only blanks: what may follow a number in its field.
bool soBrancos(const char* p, const char* fim) {
  while (p != fim && ehBranco(*p)) ++p;
  return p == fim;
}

FormaNumero formaDoResto(const char* p, const char* fim, FormaNumero semResto) {
  return soBrancos(p, fim) ? semResto : FormaNumero::comResto;
}

// Whether the number [inicio, q) is a whole part alone (an optional '-'
// and digits) followed by a ',' and a digit: a decimal comma.
bool virgulaDecimalEm(const char* inicio, const char* q, const char* fim) {
  if (q == inicio || q == fim || *q != ',' || q + 1 == fim || !ehDigito(q[1])) return false;
  if (*inicio == '-') ++inicio;
  if (inicio == q) return false;
  for (const char* c = inicio; c != q; ++c) {
    if (!ehDigito(*c)) return false;
  }
  return true;
}

}  // namespace

FormaNumero leInteiroCampo(std::string_view campo, int& valor) {
  if (leInteiroCurto(campo, valor)) return FormaNumero::propria;
  const char* fim = campo.data() + campo.size();
  const char* p = inicioNumero(campo.data(), fim);
  int v = 0;
  auto r = std::from_chars(p, fim, v);
  if (r.ec != std::errc()) return FormaNumero::nenhuma;
  valor = v;
  return formaDoResto(r.ptr, fim, FormaNumero::propria);
}

bool leInteiro(std::string_view campo, int& valor) {
  return leInteiroCampo(campo, valor) != FormaNumero::nenhuma;
}

FormaNumero leRealCampo(std::string_view campo, float& valor, bool virgulaDecimal) {
  if (leDecimalCurto(campo, valor)) return FormaNumero::propria;
  const char* fim = campo.data() + campo.size();
  const char* p = inicioNumero(campo.data(), fim);
  const char* q = nullptr;
  float v = 0;
  if (!converteReal(p, fim, v, q)) return FormaNumero::nenhuma;
  if (virgulaDecimal && virgulaDecimalEm(p, q, fim)) {
    // The number read again with the comma as its point.
    std::string comPonto(p, fim);
    comPonto[static_cast<size_t>(q - p)] = '.';
    const char* fimPonto = nullptr;
    if (converteReal(comPonto.data(), comPonto.data() + comPonto.size(), v, fimPonto)) {
      valor = v;
      return formaDoResto(p + (fimPonto - comPonto.data()), fim, FormaNumero::virgula);
    }
  }
  valor = v;
  return formaDoResto(q, fim, FormaNumero::propria);
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

char* escreveRealGeral(char* destino, float valor) {
  return std::to_chars(destino, destino + larguraNumero, valor, std::chars_format::general, 6).ptr;
}

void acrescentaReal(std::string& destino, float valor) {
  char texto[larguraNumero];
  destino.append(texto, static_cast<size_t>(escreveReal(texto, valor) - texto));
}

void acrescentaInteiro(std::string& destino, long long valor) {
  char texto[larguraNumero];
  destino.append(texto, static_cast<size_t>(escreveInteiro(texto, valor) - texto));
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
