// The cell rules shared by the export and the import, each way.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "Cp1252.h"
#include "FormatoCsv.h"
#include "NotasUC.h"

// A cell holding a line break stays one cell; a text a spreadsheet would take for a formula gets
// an apostrophe first (quoted as any other cell when it needs quotes); other texts stay as they
// are.
TEST(FormatoCsv, CelulasDeTexto) {
  const std::pair<std::string, std::string> casos[] = {
      {"a\r\nb", "\"a\r\nb\""},
      {TXT("Ana; a \"Rápida\""), TXT("\"Ana; a \"\"Rápida\"\"\"")},
      {"=1+1", "'=1+1"},
      {"+351 Nome", "'+351 Nome"},
      {"-Rui", "'-Rui"},
      {"@SOMA(A1)", "'@SOMA(A1)"},
      {"\tTab", "'\tTab"},
      {"\rx", "\"'\rx\""},
      {"=A1;B1", "\"'=A1;B1\""},
      {"Ana=Rui-3", "Ana=Rui-3"},
      {"", ""},
      {TXT("'já guardado"), TXT("'já guardado")},
  };
  for (const auto& [texto, celula] : casos) EXPECT_EQ(csv::celula(texto), celula) << texto;
}

// Handed out by slices, a cell is the same cell, also when a quote or the
// guard falls at a slice's edge.
TEST(FormatoCsv, CelulaPorFatias) {
  const std::string longo = std::string(65535, 'N') + "\"" + std::string(70000, 'M');
  for (const std::string& texto :
       {longo, "=" + longo, std::string(200000, 'x'), std::string("-"), std::string("a;b")}) {
    csv::FatiasCelula fatias(texto);
    std::string junto;
    int conta = 0;
    while (!fatias.acabou() && ++conta < 100) junto += fatias.proxima();
    EXPECT_EQ(junto, csv::celula(texto)) << texto.substr(0, 10);
  }
}

// Decimals are written with a comma and read with a comma or a point; a
// cell with anything else is not a number.
TEST(FormatoCsv, Decimais) {
  EXPECT_EQ(csv::textoDecimal(8.5f), "8,5");
  EXPECT_EQ(csv::textoDecimal(66.66666f), "66,6667");
  EXPECT_EQ(csv::textoDecimal(0.00001f), "1e-05");
  const struct {
    std::string texto;
    float valor;
  } bons[] = {{"8,5", 8.5f}, {"8.5", 8.5f}, {" 12 ", 12},        {"-1", -1},
              {",5", 0.5f},  {"7,", 7},     {"1e-05", 0.00001f}, {"+3", 3}};
  for (const auto& c : bons) {
    float v = 0;
    EXPECT_TRUE(csv::leDecimal(c.texto, v)) << c.texto;
    EXPECT_FLOAT_EQ(v, c.valor) << c.texto;
  }
  for (const std::string mau : {"", " ", "8,5,1", "1.000,5", "8 5", "abc", "12a", "nan", "inf", "-",
                                ",", "1e", "1e400", "0x10"}) {
    float v = 0;
    EXPECT_FALSE(csv::leDecimal(mau, v)) << mau;
  }
  int n = 0;
  EXPECT_TRUE(csv::leInteiroCelula(" 1001 ", n) && n == 1001);
  EXPECT_TRUE(csv::leInteiroCelula("-5", n) && n == -5);
  for (const std::string mau : {"", "10.5", "1001a", "99999999999", "1 001"}) {
    EXPECT_FALSE(csv::leInteiroCelula(mau, n)) << mau;
  }
}

TEST(FormatoCsv, OpcaoEProtecaoDeFormulas) {
  for (int opcao : {opcaoContinua, opcaoExameFinal, opcaoNaoEscolhida}) {
    int lida = 7;
    EXPECT_TRUE(csv::leOpcao(csv::textoOpcao(opcao), lida) && lida == opcao);
  }
  // The option's words match whatever their case, accents and blanks.
  for (const char* continua : {"continua", "CONT\xCDNUA", " Cont\xEDnua\t"}) {
    int lida = 7;
    EXPECT_TRUE(csv::leOpcao(continua, lida) && lida == opcaoContinua) << continua;
  }
  for (const char* exame : {"Exame final", "exame  final",
                            "EXAME\xA0"
                            "FINAL"}) {
    int lida = 7;
    EXPECT_TRUE(csv::leOpcao(exame, lida) && lida == opcaoExameFinal) << exame;
  }
  int lida = 0;
  for (const char* outra : {"Continuada", "Exame", "ExameFinal", "1", "Sim"}) {
    EXPECT_FALSE(csv::leOpcao(outra, lida)) << outra;
  }
  EXPECT_EQ(csv::semProtecao("'=SOMA(A1)"), "=SOMA(A1)");
  EXPECT_EQ(csv::semProtecao("'-Ana"), "-Ana");
  EXPECT_EQ(csv::semProtecao("'Ana"), "'Ana");
  EXPECT_EQ(csv::semProtecao("'"), "'");
  EXPECT_TRUE(csv::pareceFormula("@x") && !csv::pareceFormula("Ana") && !csv::pareceFormula(""));
  EXPECT_EQ(csv::semBrancos(" \tA b \t"), "A b");
}

// The key texts are compared by: case, accents and runs of blanks do not count, any other
// character does; the number column has other names.
TEST(FormatoCsv, Chaves) {
  EXPECT_EQ(csv::chaveTexto(TXT("  JOÃO   GONÇALVES\tPEREIRA ")), "joao goncalves pereira");
  EXPECT_EQ(csv::chaveTexto(TXT("ŠŽŸÐÞ")), csv::chaveTexto(TXT("szyðþ")));
  EXPECT_NE(csv::chaveTexto("Joao-Goncalves"), csv::chaveTexto("Joao Goncalves"));
  for (const char* numero : {TXT("Nº"), TXT(" n.º "), "No"}) {
    EXPECT_EQ(csv::chaveColuna(numero), "numero") << numero;
  }
}
