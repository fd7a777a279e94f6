// The console readers of whole and real numbers and of lines, and the end of input at a prompt.
#include <climits>
#include <streambuf>
#include <utility>

#include "Apoio.h"
#include "Auxiliar.h"
#include "Consola.h"
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
    ConsolaTeste cap(c.entrada);
    for (int v : c.valores) EXPECT_EQ(getIntFromUser(cap.consola), v);
    EXPECT_EQ(cap.escrito(), c.saida);
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
    ConsolaTeste cap(c.entrada);
    EXPECT_NEAR(getFloatFromUser(cap.consola), c.valor, 1e-37f);
    EXPECT_EQ(cap.escrito(), c.saida);
    EXPECT_EQ(cap.restoEntrada(), c.resto);
  }
}

// Input ending at a prompt: the messages of the last failed read, then FimEntrada.
TEST(FimEntrada, LancadaPelosLeitores) {
  const struct {
    Texto entrada;
    int leitor, leituras;  // 0 whole numbers, 1 reals, 2 lines
    Texto saida;
  } casos[] = {
      {"", 0, 1, ""},
      {"\n\n  \n", 0, 1, ""},
      {" \n\t\n", 1, 1, ""},
      {"abc", 0, 2, inv},
      {"12abc\n", 0, 2, inv},
      {"abc", 1, 1, naoReal("abc")},
      {"-.", 1, 1, naoReal("-.")},
      {"", 2, 1, ""},
      {"5", 2, 1, ""},
      {"5\n", 2, 1, ""},
      {"5\nNome", 2, 2, ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.entrada);
    ConsolaTeste cap(c.entrada);
    EXPECT_THROW(
        for (int i = c.leituras; i--;) {
          if (c.leitor == 0) (void)getIntFromUser(cap.consola);
          if (c.leitor == 1) (void)getFloatFromUser(cap.consola);
          if (c.leitor == 2) (void)getLinhaFromUser(cap.consola);
        },
        FimEntrada);
    EXPECT_EQ(cap.escrito(), c.saida);
  }
}

// The goodbye when input ends, with and without changes lost.
TEST(FimEntrada, TextosDeSaida) {
  for (bool perdidas : {false, true}) {
    std::ostringstream saida;
    consolaImprimeFimEntrada(saida, perdidas);
    EXPECT_EQ(saida.str(), perdidas ? alteracoesPerdidas : fim);
  }
}

// Input without a buffer that counts every '?' taken from it as a character its decoder
// replaced, as the terminal's decoder does.
std::size_t substituidos = 0;
class EntradaComSubstituicoes : public std::streambuf {
 public:
  explicit EntradaComSubstituicoes(Texto texto) : texto_(std::move(texto)) {}

 protected:
  int_type underflow() override {
    return posicao_ < texto_.size() ? traits_type::to_int_type(texto_[posicao_])
                                    : traits_type::eof();
  }
  int_type uflow() override {
    const int_type c = underflow();
    if (traits_type::eq_int_type(c, traits_type::eof())) return c;
    ++posicao_;
    if (c == '?') ++substituidos;
    return c;
  }

 private:
  Texto texto_;
  std::size_t posicao_ = 0;
};

// A line: the rest of the current line is dropped first; only its own replacements are told.
TEST(LeituraLinha, RestoDaLinhaESubstituicoes) {
  const Texto aviso =
      TXT("ATENÇÃO: Os caracteres sem representação em CP1252 foram substituídos por '?'\n");
  EntradaComSubstituicoes buffer("7 resto\r\nJos? ?\r\n8 ? lixo\nAna\r\n");
  std::istream entrada(&buffer);
  std::ostringstream saida;
  const Consola consola(entrada, saida, [] { return substituidos; });
  EXPECT_EQ(getIntFromUser(consola), 7);
  EXPECT_EQ(getLinhaFromUser(consola), "Jos? ?");
  EXPECT_EQ(saida.str(), aviso);
  EXPECT_EQ(getIntFromUser(consola), 8);
  EXPECT_EQ(getLinhaFromUser(consola), "Ana");
  EXPECT_EQ(saida.str(), aviso);
  EXPECT_EQ(substituidos, 3u);
}
