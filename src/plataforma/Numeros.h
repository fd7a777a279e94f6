// Conversions between numbers and the text of the data files and the
// console: one place for every number that is read or written as text.
#ifndef PAUTA_NUMEROS_H
#define PAUTA_NUMEROS_H

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

// Reads a whole number from the start of a field: leading blanks skipped, an
// optional sign, then digits; anything after them is ignored ("12abc" is
// 12). Returns false, leaving `valor` alone, when no digit starts the field
// or the number does not fit an int.
bool leInteiro(std::string_view campo, int& valor);

// How a data-file field holds its number.
enum class FormaNumero {
  propria,   // the number alone (blanks around it allowed)
  virgula,   // a real whose decimal comma was read as its point (14,5)
  comResto,  // a number followed by other characters, left out (12abc, 7.5 read whole)
  nenhuma,   // no number starts the field; the value is left alone
};

// Reads a whole number as leInteiro does, and says how the field holds it.
FormaNumero leInteiroCampo(std::string_view campo, int& valor);

// Reads a real as leReal does, and says how the field holds it. With
// `virgulaDecimal` a ',' between the digits of the whole part and a digit
// after it is the decimal point ("14,5" is 14.5; "1.5,2" is 1.5 and a rest).
FormaNumero leRealCampo(std::string_view campo, float& valor, bool virgulaDecimal);

// Reads a real number from the start of a field the same way (decimal point
// '.', optional exponent). Returns false when no number starts the field or
// it overflows single precision; a value too small reads as 0 or subnormal.
bool leReal(std::string_view campo, float& valor);

// A data-file grade or weight field: exactly "-" reads as -1, anything else
// as leReal. Returns false when the field is neither.
bool leRealOuTraco(std::string_view campo, float& valor);

// The real reader's conversion of a console token made only of digits,
// points and minus signs: the longest leading number is taken. Returns false
// when the token does not begin with a number or the value overflows.
bool leRealConsola(const std::string& token, float& valor);

// The short numbers of the data files, read directly: nearly every number
// that the program writes. Each reads from `p` up to the first ';' or
// `fim`, and answers where it stopped, or nullptr, leaving `valor` alone,
// when the text there is not such a number.
//
// A whole number: an optional '-' and 1 to 9 digits (always an int); the
// value leInteiro gives.
inline const char* leInteiroCurto(const char* p, const char* fim, int& valor) {
  const bool negativo = p != fim && *p == '-';
  if (negativo) ++p;
  const char* inicio = p;
  int v = 0;
  for (; p != fim && *p != ';'; ++p) {
    const unsigned digito = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (digito > 9 || p - inicio == 9) return nullptr;
    v = v * 10 + static_cast<int>(digito);
  }
  if (p == inicio) return nullptr;
  valor = negativo ? -v : v;
  return p;
}

// A real: an optional '-', digits and at most one point with digits on
// both sides, at most 7 digits in all (15, -1, 8.25, 66.6667); the value
// leReal gives. Its digits make a whole number below 2^24 and its scale a
// power of ten up to 10^7, both exact floats, so one division, correctly
// rounded, gives the very value of the general conversion.
inline const char* leDecimalCurto(const char* p, const char* fim, float& valor) {
  static const float potencias[] = {1, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
  const int maximoDigitos = 7;
  const bool negativo = p != fim && *p == '-';
  if (negativo) ++p;
  int digitos = 0;
  int decimais = -1;  // digits after the point; -1 while there is no point
  int v = 0;
  for (; p != fim && *p != ';'; ++p) {
    const unsigned digito = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (digito <= 9 && digitos < maximoDigitos) {
      v = v * 10 + static_cast<int>(digito);
      ++digitos;
      if (decimais >= 0) ++decimais;
    } else if (*p == '.' && decimais < 0 && digitos > 0) {
      decimais = 0;
    } else {
      return nullptr;
    }
  }
  if (digitos == 0 || decimais == 0) return nullptr;
  float f = static_cast<float>(v);
  if (decimais > 0) f /= potencias[decimais];
  valor = negativo ? -f : f;
  return p;
}

// The same for a whole field: true when all of it is such a number;
// `valor` is left alone otherwise.
inline bool leInteiroCurto(std::string_view campo, int& valor) {
  const char* fim = campo.data() + campo.size();
  int v = 0;
  if (leInteiroCurto(campo.data(), fim, v) != fim) return false;
  valor = v;
  return true;
}
inline bool leDecimalCurto(std::string_view campo, float& valor) {
  const char* fim = campo.data() + campo.size();
  float v = 0;
  if (leDecimalCurto(campo.data(), fim, v) != fim) return false;
  valor = v;
  return true;
}

// Appends a real in the manner of printf's %g with 6 significant digits
// (80, 12.5, -1, 66.6667, 1e-05).
void acrescentaReal(std::string& destino, float valor);

// A real in fixed notation with `casas` decimals, as printf's %.Nf.
std::string textoFixo(float valor, int casas);

// A real in the default notation of a stream (printf's %g, 6 digits).
std::string textoGeral(float valor);

// Appends a whole number in decimal.
void acrescentaInteiro(std::string& destino, long long valor);

// Room that escreveInteiro and escreveReal may need.
const size_t larguraNumero = 32;

// Writes a whole number in decimal at `destino`; returns the end.
inline char* escreveInteiro(char* destino, long long valor) {
  return std::to_chars(destino, destino + larguraNumero, valor).ptr;
}

// Writes a real as printf's %g with 6 significant digits (the general
// conversion); returns the end. escreveReal takes it only for values that
// are not simple quarters.
char* escreveRealGeral(char* destino, float valor);

// Writes a real as printf's %g with 6 significant digits; returns the end.
// Grades and weights are mostly whole numbers or quarters (12, 2.5, 8.25).
// Such a value below 10000 has at most 6 significant digits, so %g writes
// it exactly: the whole part, then ".25", ".5" or ".75"; this is much
// cheaper than the general conversion. Minus zero ("-0") takes the general
// path.
inline char* escreveReal(char* destino, float valor) {
  const float quartos = valor * 4;
  const bool emGama = valor > -1e4f && valor < 1e4f;
  const bool simples = emGama && quartos == static_cast<float>(static_cast<int>(quartos));
  if (!simples || (valor == 0 && std::signbit(valor))) return escreveRealGeral(destino, valor);
  int q = static_cast<int>(quartos);
  if (q < 0) {
    *destino++ = '-';
    q = -q;
  }
  destino = escreveInteiro(destino, q / 4);
  // The three characters are always copied (there is room), the end moves
  // by the fraction's length: no branch on data that varies line to line.
  static const char fracoes[4][4] = {"", ".25", ".5", ".75"};
  static const int tamanhos[4] = {0, 3, 2, 3};
  std::memcpy(destino, fracoes[q % 4], 3);
  return destino + tamanhos[q % 4];
}

// Copies `texto` to `destino`; returns the end.
inline char* escreveTexto(char* destino, std::string_view texto) {
  std::memcpy(destino, texto.data(), texto.size());
  return destino + texto.size();
}

#endif
