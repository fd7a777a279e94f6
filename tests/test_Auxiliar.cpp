// The console readers: whole numbers, real numbers, and what happens when
// standard input ends at a prompt.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "Auxiliar.h"
#include "Captura.h"
#include "Consola.h"

namespace {

const std::string invalido =
    "O valor que inseriu é inválido ( Não numérico )\n"
    "Por favor insira um valor válido\n";

std::string avisoReal(const std::string& token) {
  return "ATENÇÃO: Valor inválido, por favor insira um número Real ( digitos aceitáveis "
         "'1234567890 . -' ): " +
         token + "\n";
}

// One integer read from `entrada`; `saida` gets what was printed.
int umInteiro(const std::string& entrada, std::string& saida) {
  Captura c(entrada);
  int v = getIntFromUser();
  saida = c.saida();
  return v;
}

float umReal(const std::string& entrada, std::string& saida) {
  Captura c(entrada);
  float v = getFloatFromUser();
  saida = c.saida();
  return v;
}

}  // namespace

TEST(LeituraInteiro, ValoresAceitesSemMensagens) {
  std::string saida;
  EXPECT_EQ(umInteiro("42\n", saida), 42);
  EXPECT_EQ(saida, "");
  EXPECT_EQ(umInteiro("+5\n", saida), 5);
  EXPECT_EQ(umInteiro("0042\n", saida), 42);
  EXPECT_EQ(umInteiro("-7\n", saida), -7);
  EXPECT_EQ(umInteiro("2147483647\n", saida), INT_MAX);
  EXPECT_EQ(umInteiro("-2147483648\n", saida), INT_MIN);
  EXPECT_EQ(saida, "");
  // Empty and blank lines draw no reaction: the reader keeps waiting.
  EXPECT_EQ(umInteiro("\n\n  \t\n\n17\n", saida), 17);
  EXPECT_EQ(saida, "");
}

TEST(LeituraInteiro, RecusadosDaoAsDuasMensagensEDescartamALinha) {
  std::string saida;
  EXPECT_EQ(umInteiro("2147483648\n5\n", saida), 5);
  EXPECT_EQ(saida, invalido);
  EXPECT_EQ(umInteiro("-2147483649\n6\n", saida), 6);
  EXPECT_EQ(saida, invalido);
  // The whole rest of the line goes, however many tokens it holds.
  EXPECT_EQ(umInteiro("abc 8 9\n7\n", saida), 7);
  EXPECT_EQ(saida, invalido);
  EXPECT_EQ(umInteiro("-\nx\n3\n", saida), 3);
  EXPECT_EQ(saida, invalido + invalido);
}

TEST(LeituraInteiro, ORestoDaLinhaFicaParaALeituraSeguinte) {
  {
    // 12abc: 12 at once; the next read fails on the letters before the user
    // types anything, throws them away with the line end, then waits.
    Captura c("12abc\n8\n");
    EXPECT_EQ(getIntFromUser(), 12);
    EXPECT_EQ(c.saida(), "");
    EXPECT_EQ(getIntFromUser(), 8);
    EXPECT_EQ(c.saida(), invalido);
  }
  {
    Captura c("3.7\n");
    EXPECT_EQ(getIntFromUser(), 3);
    EXPECT_EQ(c.restoEntrada(), ".7\n");
  }
  {
    Captura c("4 9\n");
    EXPECT_EQ(getIntFromUser(), 4);
    EXPECT_EQ(getIntFromUser(), 9);
    EXPECT_EQ(c.saida(), "");
  }
}

TEST(LeituraReal, ConversaoDoInicioDoToken) {
  std::string saida;
  EXPECT_FLOAT_EQ(umReal("12.5\n", saida), 12.5f);
  EXPECT_FLOAT_EQ(umReal("-3\n", saida), -3.0f);
  EXPECT_FLOAT_EQ(umReal(".5\n", saida), 0.5f);
  EXPECT_FLOAT_EQ(umReal("7.\n", saida), 7.0f);
  EXPECT_FLOAT_EQ(umReal("1.2.3\n", saida), 1.2f);
  EXPECT_FLOAT_EQ(umReal("5-3\n", saida), 5.0f);
  EXPECT_FLOAT_EQ(umReal("10-\n", saida), 10.0f);
  EXPECT_FLOAT_EQ(umReal("\n  \n\t0\n", saida), 0.0f);
  EXPECT_EQ(saida, "");
  // A value too small for single precision reads as 0 or a subnormal.
  float pequeno = umReal("0." + std::string(49, '0') + "1\n", saida);
  EXPECT_EQ(saida, "");
  EXPECT_GE(pequeno, 0.0f);
  EXPECT_LT(pequeno, 1e-37f);
  pequeno = umReal("-0." + std::string(39, '0') + "1\n", saida);
  EXPECT_EQ(saida, "");
  EXPECT_LE(pequeno, 0.0f);
  EXPECT_GT(pequeno, -1e-37f);

  Captura c("8 9\n");
  EXPECT_FLOAT_EQ(getFloatFromUser(), 8.0f);
  EXPECT_EQ(c.restoEntrada(), " 9\n");
}

TEST(LeituraReal, TokensRecusadosSaoEcoadosNoAviso) {
  // Foreign characters, then tokens of accepted characters that hold no
  // number at their start, then a value beyond single precision.
  const std::string recusados[] = {"abc", "1,5", "+5", "1e5", "12.5x", "Ç",
                                   "-",   ".",   "-.", "--5", ".-",    "1" + std::string(40, '0')};
  std::string entrada, esperado;
  for (const std::string& t : recusados) {
    entrada += t + "\n";
    esperado += avisoReal(t);
  }
  std::string saida;
  EXPECT_FLOAT_EQ(umReal(entrada + "9.5\n", saida), 9.5f);
  EXPECT_EQ(saida, esperado);
  // Tokens on one line are tried one by one.
  EXPECT_FLOAT_EQ(umReal("x y 4\n", saida), 4.0f);
  EXPECT_EQ(saida, avisoReal("x") + avisoReal("y"));
}

TEST(FimEntrada, AmbosOsLeitoresTerminamComAsMensagensCertas) {
  const std::string fim = "\nA sair ...";
  for (const char* entrada : {"", "\n\n  \n"}) {
    Captura c(entrada);
    EXPECT_TRUE(c.terminaPorFimEntrada([] { getIntFromUser(); }));
    EXPECT_EQ(c.saida(), fim);
  }
  for (const char* entrada : {"", " \n\t\n"}) {
    Captura c(entrada);
    EXPECT_TRUE(c.terminaPorFimEntrada([] { getFloatFromUser(); }));
    EXPECT_EQ(c.saida(), fim);
  }
  // A failed read as the last input still prints its messages first, with
  // or without a final line end.
  for (const char* entrada : {"abc", "abc\n", "-", "12abc\n"}) {
    Captura c(entrada);
    EXPECT_TRUE(c.terminaPorFimEntrada([] {
      getIntFromUser();
      getIntFromUser();
    }));
    EXPECT_EQ(c.saida(), invalido + fim) << entrada;
  }
  {
    Captura c("abc");
    EXPECT_TRUE(c.terminaPorFimEntrada([] { getFloatFromUser(); }));
    EXPECT_EQ(c.saida(), avisoReal("abc") + fim);
  }
  {
    // A number with no line end after it is still a number.
    Captura c("5");
    EXPECT_FALSE(c.terminaPorFimEntrada([] { EXPECT_EQ(getIntFromUser(), 5); }));
  }
}

TEST(FimEntrada, AvisaQuandoHaAlteracoesPorGravar) {
  const std::string perdidas =
      "\nATENÇÃO: A entrada de dados terminou, as alterações não gravadas foram perdidas\n"
      "A sair ...";
  int alteracoes = 1;
  {
    Captura c("");
    consolaRegistaAlteracoes(&alteracoes);
    EXPECT_TRUE(c.terminaPorFimEntrada([] { getIntFromUser(); }));
    EXPECT_EQ(c.saida(), perdidas);
  }
  {
    Captura c("-.");
    consolaRegistaAlteracoes(&alteracoes);
    EXPECT_TRUE(c.terminaPorFimEntrada([] { getFloatFromUser(); }));
    EXPECT_EQ(c.saida(), avisoReal("-.") + perdidas);
  }
  {
    // The flag is read when input ends: once saved, no warning.
    Captura c("");
    consolaRegistaAlteracoes(&alteracoes);
    alteracoes = 0;
    EXPECT_TRUE(c.terminaPorFimEntrada([] { getFloatFromUser(); }));
    EXPECT_EQ(c.saida(), "\nA sair ...");
  }
}

TEST(CharArrayToString, CopiaOsCaracteresAteAoNul) {
  EXPECT_EQ(charArrayToString(""), "");
  char nome[] = "12-UC.txt";
  std::string copia = charArrayToString(nome);
  nome[0] = 'X';
  EXPECT_EQ(copia, "12-UC.txt");
  EXPECT_EQ(charArrayToString("Ciências"), "Ciências");
  const char comNul[] = "ab\0cd";
  EXPECT_EQ(charArrayToString(comNul), "ab");
}
