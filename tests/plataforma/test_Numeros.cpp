#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "Apoio.h"
#include "Numeros.h"

namespace {

Texto comPrintf(float v) {
  char t[64];
  std::snprintf(t, sizeof t, "%g", static_cast<double>(v));
  return t;
}

Texto escrito(float v) {
  char t[larguraNumero];
  return Texto(t, escreveReal(t, v));
}

bool mesmosBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

// The shortcut for whole numbers and quarters writes what %g writes, and so
// does the general path for everything else.
TEST(Numeros, RealComoPrintf) {
  for (int q = -40010; q <= 40010; ++q) ASSERT_EQ(escrito(q / 4.0f), comPrintf(q / 4.0f)) << q;
  for (float v : {-0.0f, 1e-05f, 66.666667f, 9999.75f, 10000.25f, -10000.0f, 1e-45f, 3.4e38f, 0.1f,
                  123456.0f, 1234567.0f}) {
    EXPECT_EQ(escrito(v), comPrintf(v)) << v;
  }
  std::mt19937 gerador(12);
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t bits = static_cast<std::uint32_t>(gerador());
    float v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isnan(v)) continue;
    ASSERT_EQ(escrito(v), comPrintf(v)) << bits;
  }
}

// The direct readers of short numbers give the general conversion's value
// bit for bit, and refuse what they cannot read whole.
TEST(Numeros, LeiturasCurtas) {
  const char alfabeto[] = "0123456789.-;x";
  std::mt19937 gerador(7);
  int aceites = 0;
  for (int i = 0; i < 300000; ++i) {
    Texto campo(1 + gerador() % 10, ' ');
    for (char& c : campo) c = alfabeto[gerador() % (i % 3 == 0 ? 14 : 11)];
    float real = 0;
    if (leDecimalCurto(campo, real)) {
      ++aceites;
      ASSERT_TRUE(mesmosBits(real, std::strtof(campo.c_str(), nullptr))) << campo;
      float geral = 0;
      ASSERT_TRUE(leReal(campo, geral));
      ASSERT_TRUE(mesmosBits(real, geral)) << campo;
    }
    int inteiro = 0;
    if (leInteiroCurto(campo, inteiro)) {
      ASSERT_EQ(inteiro, std::strtol(campo.c_str(), nullptr, 10)) << campo;
    }
  }
  EXPECT_GT(aceites, 10000);
  float r = 5;
  int n = 5;
  for (const char* c : {"", "-", ".5", "5.", "1.2.3", "12345678", "1234.5678", "1e5", " 1", "1;"}) {
    EXPECT_FALSE(leDecimalCurto(c, r)) << c;
  }
  for (const char* c : {"", "-", "1234567890", "+1", "1.0", " 1", "1;"}) {
    EXPECT_FALSE(leInteiroCurto(c, n)) << c;
  }
  EXPECT_EQ(r, 5);
  EXPECT_EQ(n, 5);
  ASSERT_TRUE(leDecimalCurto("-0", r));
  EXPECT_TRUE(std::signbit(r));
  ASSERT_TRUE(leDecimalCurto("9999999", r));
  EXPECT_EQ(r, 9999999.0f);
  ASSERT_TRUE(leInteiroCurto("-999999999", n));
  EXPECT_EQ(n, -999999999);
  // Read up to a ';': where the field ends.
  const Texto linha = "8.25;x";
  EXPECT_EQ(leDecimalCurto(linha.data(), linha.data() + linha.size(), r), linha.data() + 4);
}

// How a data-file field holds its number: alone (blanks around it allowed), with a decimal
// comma read as the point where the field allows one, with other text after it (read as its
// leading number), or not at all (the value left alone).
TEST(Numeros, FormaDoCampo) {
  using F = FormaNumero;
  const struct {
    const char* campo;
    F formaInteiro;
    int inteiro;
    F formaReal;  // a decimal comma allowed
    float real;
    F formaSemVirgula;
    float semVirgula;
  } casos[] = {
      {"12", F::propria, 12, F::propria, 12, F::propria, 12},
      {" 12 \t", F::propria, 12, F::propria, 12, F::propria, 12},
      {"12abc", F::comResto, 12, F::comResto, 12, F::comResto, 12},
      {"7,5", F::comResto, 7, F::virgula, 7.5f, F::comResto, 7},
      {"7.5", F::comResto, 7, F::propria, 7.5f, F::propria, 7.5f},
      {"-2,25 ", F::comResto, -2, F::virgula, -2.25f, F::comResto, -2},
      {"14,5x", F::comResto, 14, F::comResto, 14.5f, F::comResto, 14},
      {"1.5,2", F::comResto, 1, F::comResto, 1.5f, F::comResto, 1.5f},
      {"14,", F::comResto, 14, F::comResto, 14, F::comResto, 14},
      {"14,,5", F::comResto, 14, F::comResto, 14, F::comResto, 14},
      {"1e5", F::comResto, 1, F::propria, 1e5f, F::propria, 1e5f},
      {",5", F::nenhuma, 99, F::nenhuma, 99, F::nenhuma, 99},
      {"abc", F::nenhuma, 99, F::nenhuma, 99, F::nenhuma, 99},
      {"", F::nenhuma, 99, F::nenhuma, 99, F::nenhuma, 99},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.campo);
    int inteiro = 99;
    float real = 99, semVirgula = 99;
    EXPECT_EQ(leInteiroCampo(caso.campo, inteiro), caso.formaInteiro);
    EXPECT_EQ(inteiro, caso.inteiro);
    EXPECT_EQ(leRealCampo(caso.campo, real, true), caso.formaReal);
    EXPECT_EQ(real, caso.real);
    EXPECT_EQ(leRealCampo(caso.campo, semVirgula, false), caso.formaSemVirgula);
    EXPECT_EQ(semVirgula, caso.semVirgula);
  }
}
