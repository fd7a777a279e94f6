// The real program at a console: on a terminal the CP1252 texts of standard output and standard
// error are shown as UTF-8, typed UTF-8 is read as CP1252, and control bytes from the data files
// are shown as '?'; redirected, the same run passes its bytes unchanged.
#include "Apoio.h"
#include "Cp1252.h"
#include "Terminal.h"

namespace {

// A terminal shows what a redirected run writes, control bytes masked, in UTF-8.
Texto comoNoTerminal(Texto cp1252) {
  for (char& c : cp1252) {
    const auto b = static_cast<unsigned char>(c);
    if ((b < 0x20 && c != '\t' && c != '\n' && c != '\r') || b == 0x7F) c = '?';
  }
  return cp1252::paraUtf8(cp1252);
}

class Terminal : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haTerminais()) GTEST_SKIP() << "no pseudo-terminal for this pauta";
    cenario.copiaExemplos();
  }
  // The same run redirected and at terminals: output and errors the same, but for the encoding
  // and the line end after the dialogue's last text on a terminal.
  void comparaComRedirecionado(const Texto& entrada, const std::vector<Texto>& args, int estado) {
    const Resultado redirecionado = cenario.executa(entrada, args);
    const Resultado terminal = executaEmTerminal(cenario, entrada, args, false);
    EXPECT_EQ(redirecionado.estado, estado);
    EXPECT_EQ(terminal.estado, estado);
    EXPECT_EQ(terminal.saida, comoNoTerminal(redirecionado.saida) + (args.empty() ? "\n" : ""));
    EXPECT_EQ(terminal.erros, comoNoTerminal(redirecionado.erros));
    EXPECT_FALSE(redirecionado.saida.empty() && redirecionado.erros.empty());
  }
  Cenario cenario;
};

const Texto utilizacaoUtf8 = "Utiliza\xC3\xA7\xC3\xA3o:\n";  // in UTF-8 whatever the compiler

}  // namespace

// Usage on standard output and, after a wrong command line, on standard error; export errors.
TEST_F(Terminal, LinhaDeComandoEmUtf8) {
  comparaComRedirecionado("", {"--help"}, 0);
  comparaComRedirecionado("", {"--exportar", "12x"}, 2);
  comparaComRedirecionado("", {"--exportar", "99"}, 2);
  EXPECT_EQ(executaEmTerminal(cenario, "", {"--help"}, false).saida.rfind(utilizacaoUtf8, 0), 0u);
  EXPECT_EQ(
      executaEmTerminal(cenario, "", {"--bad"}, false)
          .erros.rfind("pauta: op\xC3\xA7\xC3\xA3o desconhecida: --bad\n" + utilizacaoUtf8, 0),
      0u);
}

// A whole dialogue: consulting, statistics, the end of input with unsaved changes.
TEST_F(Terminal, DialogoEmUtf8) {
  comparaComRedirecionado("12\n1\n1001\n9\n0\n9\n", {}, 0);
  comparaComRedirecionado(TXT("12\n3\n1009\nJoão\n"), {}, 0);
}

// Escape sequences and other control bytes in names from the files reach a terminal as '?'.
TEST_F(Terminal, BytesDeControloDosDados) {
  cenario.escreve("12-UC.txt", crlf({"CURSO;12;Curso\x1b[2J Apagado", "21002;Uni\x07\x7f;1;1;6"}));
  cenario.escreve("12-Estudantes.txt", crlf({"ALUNO;1001;Nome\x1b]0;titulo\x07\tFim", ""}));
  const Texto entrada = "12\n1\n1001\n9\n0\n9\n";
  comparaComRedirecionado(entrada, {}, 0);
  const Texto terminal = executaEmTerminal(cenario, entrada, {}, false).saida;
  EXPECT_NE(terminal.find("Curso?[2J Apagado"), Texto::npos);
  EXPECT_NE(terminal.find("Nome?]0;titulo?\tFim"), Texto::npos);
  EXPECT_NE(terminal.find("Uni??"), Texto::npos);
  EXPECT_NE(cenario.executa(entrada).saida.find("Curso\x1b[2J Apagado"), Texto::npos);
}

// A name typed in UTF-8: stored in CP1252; characters CP1252 lacks become '?', with a warning.
TEST_F(Terminal, NomesEscritosNoTeclado) {
  const Texto aviso =
      TXT("ATENÇÃO: Os caracteres sem representação em CP1252 foram substituídos por '?'\n");
  const Texto entrada =
      "12\n3\n1009\nIn\xC3\xAAs \xE2\x82\xAC\n3\n1010\n\xC5\x81ukasz \xF0\x9F\x98\x80 "
      "S\xC3\xA1\n4\n9\n9\n";
  const Resultado r = executaEmTerminal(cenario, entrada, {}, true);
  EXPECT_EQ(r.estado, 0);
  const Texto pedeNome = "\nInsira o Nome do Estudante\n", inseriu = "Inseriu o estudante \n";
  EXPECT_NE(r.saida.find(comoNoTerminal(pedeNome + inseriu)), Texto::npos);
  EXPECT_NE(r.saida.find(comoNoTerminal(pedeNome + aviso + inseriu)), Texto::npos);
  EXPECT_EQ(r.saida.find(comoNoTerminal(aviso)), r.saida.rfind(comoNoTerminal(aviso)));
  const Texto gravado = cenario.le("12-Estudantes.txt");
  EXPECT_NE(gravado.find("ALUNO;1009;In\xEAs \x80\r\n"), Texto::npos);
  EXPECT_NE(gravado.find("ALUNO;1010;?ukasz ? S\xE1\r\n"), Texto::npos);

  // Redirected, the same bytes are kept as they are, without a word.
  Cenario outro;
  outro.copiaExemplos();
  const Resultado redirecionado = outro.executa(entrada);
  EXPECT_EQ(redirecionado.saida.find(aviso), Texto::npos);
  EXPECT_NE(outro.le("12-Estudantes.txt").find("ALUNO;1010;\xC5\x81ukasz \xF0\x9F\x98\x80 S"),
            Texto::npos);
}

// Typed bytes go through the data files' strict decoder: an overlong form (here of 'A', of '/'
// and of a line end) or a surrogate is a '?', never the character it would spell.
TEST_F(Terminal, SequenciasMalFormadasNoTeclado) {
  const Texto entrada = "12\n3\n1011\nX\xC1\x81\xE0\x80\xAF\xC0\x8A\xED\xA0\x80Y\n4\n9\n9\n";
  const Resultado r = executaEmTerminal(cenario, entrada, {}, true);
  EXPECT_EQ(r.estado, 0);
  EXPECT_NE(cenario.le("12-Estudantes.txt").find("ALUNO;1011;X????Y\r\n"), Texto::npos);
}
