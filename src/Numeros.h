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
  const bool simples = valor > -1e4f && valor < 1e4f &&
                       quartos == static_cast<float>(static_cast<int>(quartos));
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

// Appends the fields of a line to `destino` through a small buffer of its
// own, emptied when full and at the end: a line of many short fields then
// costs a few appends to the (long) destination instead of one per field.
// Everything but the emptying is inline: a unit's line is some twenty
// fields, and a call per field would cost more than the field itself.
class Acumulador {
 public:
  explicit Acumulador(std::string& destino) : destino_(destino) {}
  ~Acumulador() { despeja(); }
  Acumulador(const Acumulador&) = delete;
  Acumulador& operator=(const Acumulador&) = delete;

  // As acrescentaInteiro and acrescentaReal.
  void inteiro(long long valor) {
    garante(larguraNumero);
    p_ = escreveInteiro(p_, valor);
  }
  void real(float valor) {
    garante(larguraNumero);
    p_ = escreveReal(p_, valor);
  }
  void texto(std::string_view t) {
    if (!garante(t.size())) {
      destino_.append(t);  // longer than the whole buffer
      return;
    }
    std::memcpy(p_, t.data(), t.size());
    p_ += t.size();
  }
  void caracter(char c) {
    garante(1);
    *p_++ = c;
  }

  // Appends what the buffer holds to the destination.
  void despeja() {
    destino_.append(buffer_, static_cast<size_t>(p_ - buffer_));
    p_ = buffer_;
  }

 private:
  // Makes room for `n` characters, emptying the buffer if needed; false
  // when `n` exceeds the whole buffer (the buffer is then empty).
  bool garante(size_t n) {
    if (static_cast<size_t>(buffer_ + sizeof buffer_ - p_) >= n) return true;
    despeja();
    return n <= sizeof buffer_;
  }

  std::string& destino_;
  char buffer_[256];
  char* p_ = buffer_;
};

#endif
