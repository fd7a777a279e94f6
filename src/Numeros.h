// Conversions between numbers and the text of the data files and the
// console: one place for every number that is read or written as text.
#ifndef PAUTA_NUMEROS_H
#define PAUTA_NUMEROS_H

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

// Appends the fields of a line to `destino` through a small buffer of its
// own, emptied when full and at the end: a line of many short fields then
// costs a few appends to the (long) destination instead of one per field.
class Acumulador {
 public:
  explicit Acumulador(std::string& destino) : destino_(destino) {}
  ~Acumulador() { despeja(); }
  Acumulador(const Acumulador&) = delete;
  Acumulador& operator=(const Acumulador&) = delete;

  // As acrescentaInteiro and acrescentaReal.
  void inteiro(long long valor);
  void real(float valor);
  void texto(std::string_view t);
  void caracter(char c) {
    garante(1);
    *p_++ = c;
  }

  // Appends what the buffer holds to the destination.
  void despeja();

 private:
  void garante(size_t n);

  std::string& destino_;
  char buffer_[256];
  char* p_ = buffer_;
};

#endif
