// CP1252 (Windows-1252), the character set of every text of the program:
// the code point of each byte, conversions to and from UTF-8, and the
// compile-time conversion of the program's own texts, which the sources
// keep as readable UTF-8.
#ifndef PAUTA_CP1252_H
#define PAUTA_CP1252_H

#include <cstddef>
#include <string>
#include <string_view>

namespace cp1252 {

// Code points of the bytes 0x80..0x9F; 0 marks the five bytes that CP1252
// leaves undefined. Every other byte is its own code point.
// clang-format off
constexpr char32_t kAlto[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
// clang-format on

constexpr char32_t kSubstituto = 0xFFFD;  // U+FFFD REPLACEMENT CHARACTER

// The code point of a CP1252 byte; U+FFFD for the five undefined bytes.
constexpr char32_t paraUnicode(unsigned char byte) noexcept {
  if (byte < 0x80 || byte > 0x9F) return byte;
  return kAlto[byte - 0x80] != 0 ? kAlto[byte - 0x80] : kSubstituto;
}

// The CP1252 byte (0..255) of a code point, or -1 when CP1252 has none.
constexpr int deUnicode(char32_t codigo) noexcept {
  if (codigo < 0x80 || (codigo >= 0xA0 && codigo <= 0xFF)) return static_cast<int>(codigo);
  for (int i = 0; i < 32; ++i) {
    if (kAlto[i] != 0 && kAlto[i] == codigo) return 0x80 + i;
  }
  return -1;
}

// Whether the line ends LF and CR count among the control bytes.
enum class FinsDeLinha { controlo, permitidos };

// True for the bytes a terminal acts on instead of showing: the C0 controls
// but TAB, and DEL; LF and CR too unless `finsDeLinha` permits them.
constexpr bool byteDeControlo(unsigned char byte, FinsDeLinha finsDeLinha) noexcept {
  if (byte == '\n' || byte == '\r') return finsDeLinha == FinsDeLinha::controlo;
  return (byte < 0x20 && byte != '\t') || byte == 0x7F;
}

// How many continuation bytes a UTF-8 sequence announces by its first byte
// `primeiro`: 0 for ASCII, 1 to 3 for a lead byte (every byte from 0xF0 on
// counts as a 4-byte lead), -1 for a continuation byte.
constexpr int seguintesUtf8(unsigned char primeiro) noexcept {
  if (primeiro < 0x80) return 0;
  return primeiro >= 0xF0 ? 3 : primeiro >= 0xE0 ? 2 : primeiro >= 0xC0 ? 1 : -1;
}

// Decodes the UTF-8 sequence that starts at texto[i] and advances i past
// it. A malformed sequence (bad lead byte, missing or bad continuation,
// overlong form, surrogate, beyond U+10FFFF) gives U+FFFD and advances i by
// one byte only.
constexpr char32_t leUtf8(const char* texto, std::size_t tamanho, std::size_t& i) noexcept {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(texto[k]); };
  const unsigned char primeiro = byte(i);
  if (primeiro < 0x80) return ++i, primeiro;
  const int seguintes = seguintesUtf8(primeiro);
  if (primeiro > 0xF4 || seguintes < 0 || i + static_cast<std::size_t>(seguintes) >= tamanho) {
    return ++i, kSubstituto;
  }
  char32_t codigo = primeiro & (0x3F >> seguintes);
  for (int k = 1; k <= seguintes; ++k) {
    const unsigned char c = byte(i + static_cast<std::size_t>(k));
    if ((c & 0xC0) != 0x80) return ++i, kSubstituto;
    codigo = (codigo << 6) | (c & 0x3F);
  }
  const char32_t minimo = seguintes == 1 ? 0x80 : seguintes == 2 ? 0x800 : 0x10000;
  if (codigo < minimo || codigo > 0x10FFFF || (codigo >= 0xD800 && codigo <= 0xDFFF)) {
    return ++i, kSubstituto;
  }
  i += static_cast<std::size_t>(seguintes) + 1;
  return codigo;
}

// Appends the UTF-8 form of CP1252 text to `destino`.
void acrescentaUtf8(std::string& destino, std::string_view texto);
// The UTF-8 form of CP1252 text.
std::string paraUtf8(std::string_view texto);

// The CP1252 form of UTF-8 text. A character CP1252 cannot hold, or a
// malformed sequence, becomes '?'; `substituidos` (when given) receives how
// many were replaced.
std::string deUtf8(std::string_view texto, std::size_t* substituidos = nullptr);

// True when `texto` is well-formed UTF-8 (ASCII alone counts).
bool utf8Valido(std::string_view texto);

// A word of the command line as the program's CP1252 output shows it: a
// POSIX command line gives it in UTF-8 (converted when it is valid UTF-8);
// on Windows it is taken as it is.
std::string deLinhaDeComandos(const std::string& palavra);

// What a data file's text turns out to be, learnt piece by piece (each
// piece ending at a line end or at the end of the text, so that no
// character is cut): UTF-8 when it holds a byte of 0x80 or more and is
// valid UTF-8 throughout; CP1252 otherwise.
class AnaliseTexto {
 public:
  // Once a byte has shown the text is no UTF-8 the answer is known, and
  // the rest is not looked at.
  void acrescenta(std::string_view pedaco) {
    if (valido_) analisa(pedaco);
  }
  bool utf8() const { return altos_ && valido_; }
  // Characters CP1252 cannot hold (valid only while utf8()).
  std::size_t semRepresentacao() const { return semRepresentacao_; }

 private:
  // Skips plain ASCII eight bytes at a time and decodes the rest.
  void analisa(std::string_view pedaco);

  bool altos_ = false;
  bool valido_ = true;
  std::size_t semRepresentacao_ = 0;
};

// The byte-order mark a text starts with.
enum class Marca { nenhuma, utf8, utf16 };
Marca marcaInicial(std::string_view texto);
// The UTF-8 mark's bytes.
constexpr std::string_view kMarcaUtf8 = "\xEF\xBB\xBF";
// `texto` without the UTF-8 mark it may start with.
std::string_view semMarcaUtf8(std::string_view texto);

// --- The program's own texts ---

// A text converted at compile time; `texto` is NUL-terminated.
template <std::size_t N>
struct Literal {
  char texto[N]{};
};

// Not constexpr: reached while converting a text at compile time, it makes
// that text no constant expression. (Never reached at run time.)
void semRepresentacaoCp1252() noexcept;

// Converts a UTF-8 literal to CP1252 while compiling. A character that
// CP1252 cannot hold or malformed UTF-8 is not a constant expression, so
// the build fails instead of printing a wrong text.
template <std::size_t N>
constexpr Literal<N> converteLiteral(const char (&utf8)[N]) noexcept {
  Literal<N> resultado;
  std::size_t j = 0;
  for (std::size_t i = 0; i + 1 < N;) {
    const char32_t codigo = leUtf8(utf8, N - 1, i);
    const int byte = codigo == kSubstituto ? -1 : deUnicode(codigo);
    if (byte < 0) semRepresentacaoCp1252();
    resultado.texto[j++] = static_cast<char>(byte);
  }
  return resultado;
}

// The compiler must have read this UTF-8 source as UTF-8 (MSVC needs
// /utf-8), or every converted text would be wrong.
static_assert(sizeof(u8"é") == 3 && u8"é"[0] == '\xC3' && u8"é"[1] == '\xA9',
              "the sources must be compiled as UTF-8");
static_assert(converteLiteral(u8"Ação").texto[1] == '\xE7' &&
                  converteLiteral(u8"€").texto[0] == '\x80',
              "UTF-8 to CP1252 conversion of texts");

}  // namespace cp1252

// A text of the program written in the source as UTF-8, as a pointer to its
// CP1252 bytes made while compiling (static storage, NUL-terminated). C++17
// has no portable way to turn a string literal into a converted array
// without naming a constant for each, hence this one macro.
#define TXT(literal)                                                     \
  ([]() noexcept -> const char* {                                        \
    static constexpr ::cp1252::Literal<sizeof(u8##literal)> convertido = \
        ::cp1252::converteLiteral(u8##literal);                          \
    return convertido.texto;                                             \
  }())

#endif
