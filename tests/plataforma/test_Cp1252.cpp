// CP1252 <-> UTF-8 conversions and the texts converted while compiling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Cp1252.h"

// Every byte goes to UTF-8 and back unchanged, but the five undefined ones.
TEST(Cp1252, IdaEVoltaDeTodosOsBytes) {
  for (int b = 1; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const bool indefinido = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    std::size_t perdidos = 0;
    EXPECT_EQ(cp1252::deUtf8(cp1252::paraUtf8(byte), &perdidos), indefinido ? "?" : byte) << b;
    EXPECT_EQ(perdidos, indefinido ? 1u : 0u) << b;
  }
  EXPECT_EQ(cp1252::paraUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
}

// Characters outside CP1252 and malformed UTF-8 become '?', each counted once.
TEST(Cp1252, SubstituicoesEValidade) {
  const struct {
    std::string utf8, cp1252;
    std::size_t perdidos;
    bool valido;
  } casos[] = {
      {"\xC5\x81ukasz", "?ukasz", 1, true},  // U+0141, not in CP1252
      {"a\xF0\x9F\x98\x80", "a?", 1, true},  // an emoji
      {"\xC3", "?", 1, false},               // cut short
      {"\xC0\xAF", "??", 2, false},          // overlong
      {"\xED\xA0\x80", "???", 3, false},     // surrogate
      {"\xEF\xBF\xBD", "?", 1, true},        // U+FFFD itself
      {"Jo\xC3\xA3o \xE2\x82\xAC", "Jo\xE3o \x80", 0, true},
  };
  for (const auto& c : casos) {
    std::size_t perdidos = 99;
    EXPECT_EQ(cp1252::deUtf8(c.utf8, &perdidos), c.cp1252) << c.utf8;
    EXPECT_EQ(perdidos, c.perdidos) << c.utf8;
    EXPECT_EQ(cp1252::utf8Valido(c.utf8), c.valido) << c.utf8;
  }
}

TEST(Cp1252, TextosConvertidosAoCompilar) {
  EXPECT_EQ(std::string(TXT("Código: é € ç")),
            "C\xF3"
            "digo: \xE9 \x80 \xE7");
  EXPECT_EQ(std::string(TXT("ascii")), "ascii");
}

// A data file is UTF-8 only when it has non-ASCII bytes and is strictly valid throughout, piece
// after piece; the characters CP1252 lacks are counted.
TEST(Cp1252, AnaliseDeFicheiros) {
  const struct {
    std::vector<std::string> pedacos;
    bool utf8;
    std::size_t sem;
  } casos[] = {
      {{"ALUNO;1;Ana\r\n", "ALUNO;2;Rui\r\n"}, false, 0},          // ASCII: CP1252 as always
      {{"ALUNO;1;In\xC3\xAAs\r\n", "\xE2\x82\xAC\r\n"}, true, 0},  // ê, €
      {{"Jo\xC3\xA3o\r\n", "Jo\xE3o\r\n"}, false, 0},              // one CP1252 line spoils it
      {{"\xC0\xAF"}, false, 0},                                    // overlong
      {{"\xED\xA0\x80"}, false, 0},                                // surrogate
      {{"\xC5\x81ukasz \xF0\x9F\x98\x80"}, true, 2},               // Ł and an emoji
  };
  for (const auto& c : casos) {
    cp1252::AnaliseTexto analise;
    for (const std::string& p : c.pedacos) analise.acrescenta(p);
    EXPECT_EQ(analise.utf8(), c.utf8) << c.pedacos[0];
    if (c.utf8) {
      EXPECT_EQ(analise.semRepresentacao(), c.sem) << c.pedacos[0];
    }
  }
  EXPECT_EQ(cp1252::marcaInicial("\xEF\xBB\xBF"
                                 "CURSO"),
            cp1252::Marca::utf8);
  EXPECT_EQ(cp1252::marcaInicial("\xFF\xFE"
                                 "C"),
            cp1252::Marca::utf16);
  EXPECT_EQ(cp1252::marcaInicial("\xFE\xFF"), cp1252::Marca::utf16);
  EXPECT_EQ(cp1252::marcaInicial("\xEF\xBB"), cp1252::Marca::nenhuma);
}

// The analysis skips plain ASCII many bytes at a time: a non-ASCII character (valid UTF-8, a
// character CP1252 lacks, or a CP1252 byte) found wherever it lies in a long line, at every offset
// against the blocks, and a sequence cut at the end of a piece; once the text shows it is no UTF-8,
// what follows changes nothing.
TEST(Cp1252, AnaliseSaltaBlocosAscii) {
  const struct {
    std::string alto;
    bool utf8;
    std::size_t sem;
  } altos[] = {{"\xC3\xA9", true, 0}, {"\xC5\x81", true, 1}, {"\xE9", false, 0}};
  for (const auto& a : altos) {
    for (std::size_t antes = 0; antes < 20; ++antes) {
      const std::string linha = std::string(antes, 'x') + a.alto + std::string(antes % 9, 'y');
      cp1252::AnaliseTexto analise;
      analise.acrescenta(std::string(37, 'a'));
      EXPECT_FALSE(analise.utf8());
      analise.acrescenta(linha);
      EXPECT_EQ(analise.utf8(), a.utf8) << antes;
      if (a.utf8) {
        EXPECT_EQ(analise.semRepresentacao(), a.sem) << antes;
      }
      analise.acrescenta(std::string(antes, 'z') + "\xC3");  // cut short: no UTF-8 after all
      EXPECT_FALSE(analise.utf8()) << antes;
      analise.acrescenta("\xC3\xA9");
      EXPECT_FALSE(analise.utf8()) << antes;
    }
  }
}

// The control bytes that terminals act on: TAB never, DEL and ESC always,
// LF and CR only where line ends are not permitted (a name, not a page).
TEST(Cp1252, BytesDeControlo) {
  using cp1252::FinsDeLinha;
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    const bool fimLinha = b == '\n' || b == '\r';
    const bool controlo = (b < 0x20 && b != '\t') || b == 0x7F;
    EXPECT_EQ(cp1252::byteDeControlo(byte, FinsDeLinha::controlo), controlo) << b;
    EXPECT_EQ(cp1252::byteDeControlo(byte, FinsDeLinha::permitidos), controlo && !fimLinha) << b;
  }
}
