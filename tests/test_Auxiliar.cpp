// The console readers of whole and real numbers, and the end of input at a prompt.
#include <climits>

#include "Apoio.h"
#include "Auxiliar.h"
#include "Cp1252.h"

static const Texto inv = naoNumerico, fim = "\nA sair ...";
static Texto naoReal(const Texto& t) {
  return TXT("ATENÇÃO: Valor inválido, por favor insira um número Real ( digitos aceitáveis "
             "'1234567890 . -' ): ") +
         t + "\n";
}

// Values read one after another, what is printed, and what stays unread.
TEST(LeituraInteiro, ValoresMensagensEResto) {
  const struct {
    Texto entrada;
    std::vector<int> valores;
    Texto saida, resto;
  } casos[] = {
      {"+5 -7 0042\n", {5, -7, 42}, "", "\n"},
      {"\n\n  \t\n17\n", {17}, "", "\n"},
      {"2147483647\n-2147483648\n", {INT_MAX, INT_MIN}, "", "\n"},
      {"2147483648\n-2147483649\n5\n", {5}, inv + inv, "\n"},
      {"abc 8 9\n-\n7\n", {7}, inv + inv, "\n"},
      {"12abc\n8\n", {12, 8}, inv, "\n"},
      {"3.7\n", {3}, "", ".7\n"},
      {"5", {5}, "", ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.entrada);
    Captura cap(c.entrada);
    for (int v : c.valores) EXPECT_EQ(getIntFromUser(), v);
    EXPECT_EQ(cap.saida(), c.saida);
    EXPECT_EQ(cap.restoEntrada(), c.resto);
  }
}

// Reals: accepted forms, refused words each warned, what stays unread.
TEST(LeituraReal, ValoresAvisosEResto) {
  const Texto recusados[] = {"abc", "1,5", "+5", "1e5", "12.5x", TXT("Ç"),
                             "-",   ".",   "-.", "--5", ".-",    "1" + Texto(40, '0')};
  Texto todos, avisos;
  for (const Texto& t : recusados) todos += t + "\n", avisos += naoReal(t);
  const struct {
    Texto entrada;
    float valor;
    Texto saida, resto;
  } casos[] = {
      {".5\n", 0.5f, "", "\n"},
      {"1.2.3\n", 1.2f, "", "\n"},
      {"5-3\n", 5, "", "\n"},
      {"\n  \n\t-7.\n", -7, "", "\n"},
      {todos + "9.5\n", 9.5f, avisos, "\n"},
      {"8 9\n", 8, "", " 9\n"},
      {"x y 4\n", 4, naoReal("x") + naoReal("y"), "\n"},
      {"0." + Texto(49, '0') + "1\n", 0, "", "\n"},
      {"-0." + Texto(39, '0') + "1\n", 0, "", "\n"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.entrada);
    Captura cap(c.entrada);
    EXPECT_NEAR(getFloatFromUser(), c.valor, 1e-37f);
    EXPECT_EQ(cap.saida(), c.saida);
    EXPECT_EQ(cap.restoEntrada(), c.resto);
  }
}

// Input ending at a prompt: messages of the last failed read first, then the end texts.
TEST(FimEntrada, TextosDeSaida) {
  const struct {
    Texto entrada;
    bool real;
    int leituras, alteracoes;
    Texto saida;
  } casos[] = {
      {"", false, 1, -1, fim},
      {"\n\n  \n", false, 1, -1, fim},
      {" \n\t\n", true, 1, -1, fim},
      {"abc", false, 2, -1, inv + fim},
      {"12abc\n", false, 2, -1, inv + fim},
      {"abc", true, 1, -1, naoReal("abc") + fim},
      {"", false, 1, 1, alteracoesPerdidas},
      {"-.", true, 1, 1, naoReal("-.") + alteracoesPerdidas},
      {"", true, 1, 0, fim},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.entrada);
    Captura cap(c.entrada);
    if (c.alteracoes >= 0) consolaRegistaAlteracoes(&c.alteracoes);
    EXPECT_TRUE(cap.terminaPorFimEntrada([&] {
      for (int i = c.leituras; i--;) c.real ? (void)getFloatFromUser() : (void)getIntFromUser();
    }));
    EXPECT_EQ(cap.saida(), c.saida);
  }
}
