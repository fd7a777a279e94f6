// The command line that explains itself (help, version, what is wrong with the arguments), the
// modes' messages in the locale's character set, and signals: every run ends after its clean-up
// with exit status 128 + the signal's number.
#include <chrono>
#include <csignal>

#include "Apoio.h"
#include "Terminal.h"

namespace {

using Args = std::vector<Texto>;
const Texto est = "12-Estudantes.txt", bloqueio = est + ".lock";

Texto utilizacao(const Cenario& c) { return c.executa("", {"--help"}).saida; }

// The main menu's prompt as a terminal shows it (UTF-8) or as redirected output holds it.
const Texto menuUtf8 = "Introduza o n\xC3\xBAmero da op\xC3\xA7\xC3\xA3o que deseja.\n\n";
const Texto menuCp1252 = TXT("Introduza o número da opção que deseja.\n\n");

bool terminaCom(const Texto& texto, const Texto& fim) {
  return texto.size() >= fim.size() &&
         texto.compare(texto.size() - fim.size(), fim.size(), fim) == 0;
}

}  // namespace

TEST(LinhaDeComandos, AjudaEVersao) {
  Cenario c;
  const Texto uso = utilizacao(c);
  EXPECT_EQ(uso.rfind(TXT("Utilização:\n"), 0), 0u);
  EXPECT_NE(uso.find("pauta -h, --ajuda "), Texto::npos);
  EXPECT_NE(uso.find("pauta -V, --versao "), Texto::npos);
  for (const Texto opcao : {"-h", "--ajuda", "--help"}) {
    EXPECT_EQ(c.executa("", {opcao}).saida, uso) << opcao;
    EXPECT_EQ(c.executa("", {opcao}).estado, 0) << opcao;
  }
  const Resultado versao = c.executa("", {"-V"});
  EXPECT_EQ(versao.estado, 0);
  EXPECT_EQ(versao.saida.rfind("pauta ", 0), 0u);
  EXPECT_EQ(std::count(versao.saida.begin(), versao.saida.end(), '\n'), 1);
  for (const Texto opcao : {"--version", "--versao"}) {
    EXPECT_EQ(c.executa("", {opcao}).saida, versao.saida) << opcao;
  }
  EXPECT_EQ(c.ficheiros().size(), 0u);
}

// Each wrong command line says what is wrong, then the usage, on standard error, status 2.
TEST(LinhaDeComandos, ArgumentosErrados) {
  Cenario c;
  c.copiaExemplos();
  const Texto uso = utilizacao(c);
  const std::pair<Args, Texto> casos[] = {
      {{"--foo"}, TXT("opção desconhecida: --foo")},
      {{"-x", "12"}, TXT("opção desconhecida: -x")},
      {{"12"}, TXT("opção desconhecida: 12")},
      {{"--exportar"}, "--exportar precisa de CODIGO"},
      {{"--exportar", "12", "13"}, "--exportar precisa de CODIGO"},
      {{"--exportar", "doze"}, "--exportar precisa de CODIGO"},
      {{"--relatorio"}, "--relatorio precisa de CODIGO"},
      {{"--importar", "12"}, "--importar precisa de CODIGO e FICHEIRO"},
      {{"--importar", "--verificar", "12"}, "--importar precisa de CODIGO e FICHEIRO"},
  };
  const auto antes = c.ficheiros();
  for (const auto& [args, erro] : casos) {
    const Resultado r = c.executa("", args);
    EXPECT_EQ(r.estado, 2) << args[0];
    EXPECT_EQ(r.saida, "") << args[0];
    EXPECT_EQ(r.erros, "pauta: " + erro + "\n" + uso);
  }
  EXPECT_EQ(c.ficheiros(), antes);
}

// Under a UTF-8 locale the modes write UTF-8 even to files and pipes; the data files and the
// dialogue's redirected output stay CP1252.
TEST(LinhaDeComandos, MensagensSeguemOLocale) {
  if (!haTerminais()) GTEST_SKIP() << "the locale is POSIX's";
  Cenario c;
  c.escreve("7-UC.txt", crlf({TXT("CURSO;7;Ciências"), TXT("100;Álgebra;1;1;6")}));
  const Texto semEstudantes =
      "ATEN\xC3\x87\xC3\x83O: O curso 7 ainda n\xC3\xA3o tem ficheiro de "
      "estudantes\n";
  for (const Texto locale : {"C.UTF-8", "pt_PT.utf8", "en_US.UTF-8"}) {
    const Resultado r = c.executa("", {"--relatorio", "7"}, locale);
    EXPECT_EQ(r.erros, semEstudantes) << locale;
    EXPECT_EQ(r.saida, "Relat\xC3\xB3rio gravado em 7-Relatorio.html\n") << locale;
  }
  EXPECT_EQ(c.executa("", {"--exportar", "7"}, "C").erros, cp1252::deUtf8(semEstudantes));
  EXPECT_NE(c.le("7-Pauta.csv").find(TXT("Número")), Texto::npos);
  const Resultado uso = c.executa("", {"--ajuda"}, "C.UTF-8");
  EXPECT_EQ(uso.saida, cp1252::paraUtf8(c.executa("", {"--ajuda"}).saida));
  const Resultado mau = c.executa("", {"--nada"}, "C.UTF-8");
  EXPECT_EQ(mau.erros.rfind("pauta: op\xC3\xA7\xC3\xA3o desconhecida: --nada\n", 0), 0u);
  EXPECT_EQ(c.executa("0\n", {}, "C.UTF-8").saida, c.executa("0\n", {}, "C").saida);
  EXPECT_NE(c.executa("0\n", {}, "C.UTF-8").saida.find(TXT("Ciências")), Texto::npos);
}

// Ctrl-C at the main menu, the output on a terminal: with unsaved changes the interruption is
// said, the last line ends, the lock is gone and the file untouched; exit 130.
TEST(Sinais, CtrlCComAlteracoesPorGravar) {
  if (!haTerminais()) GTEST_SKIP() << "POSIX signals on the real binary";
  Cenario c;
  c.copiaExemplos();
  Processo p(c, {}, true);
  p.escreve("12\n3\n2001\nNovo\n");
  // The menu shown again after the student was added: the dialogue waits for an answer.
  ASSERT_TRUE(p.esperaSaida("Inseriu o estudante"));
  ASSERT_TRUE(p.esperaSaida(menuUtf8));
  EXPECT_TRUE(c.existe(bloqueio));
  p.sinal(SIGINT);
  const Resultado r = p.termina();
  EXPECT_EQ(r.estado, 130);
  EXPECT_TRUE(terminaCom(r.saida,
                         "\nATEN\xC3\x87\xC3\x83O: O programa foi interrompido, as "
                         "altera\xC3\xA7\xC3\xB5"
                         "es n\xC3\xA3o gravadas foram "
                         "perdidas\nA sair ...\n"))
      << r.saida.substr(r.saida.size() - std::min<size_t>(r.saida.size(), 200));
  EXPECT_FALSE(c.existe(bloqueio));
  EXPECT_EQ(c.le(est), exemplo(est));
}

// Ctrl-C and SIGHUP with nothing to lose, the output redirected: "A sair ..." as ever, without a
// line end; the lock released; exit 130 and 129.
TEST(Sinais, SemAlteracoesRedirecionado) {
  if (!haTerminais()) GTEST_SKIP() << "POSIX signals on the real binary";
  for (const auto& [sinal, estado] : {std::pair<int, int>{SIGINT, 130}, {SIGHUP, 129}}) {
    Cenario c;
    c.copiaExemplos();
    Processo p(c, {}, false);
    p.escreve("12\n");
    ASSERT_TRUE(p.esperaSaida(menuCp1252));
    EXPECT_TRUE(c.existe(bloqueio));
    p.sinal(sinal);
    const Resultado r = p.termina();
    EXPECT_EQ(r.estado, estado);
    EXPECT_TRUE(terminaCom(r.saida, menuCp1252 + "\nA sair ...")) << sinal;
    EXPECT_FALSE(c.existe(bloqueio));
  }
}

// An import stopped by SIGTERM while it holds the lock (its standard error, unread, is full of
// the reports of a long student file): the lock is released, nothing written, exit 143.
TEST(Sinais, ImportacaoLibertaOBloqueio) {
  if (!haTerminais()) GTEST_SKIP() << "POSIX signals on the real binary";
  Cenario c;
  c.copiaExemplos();
  Texto mau = exemplo(est);
  for (int i = 0; i < 40000; ++i) mau += "linha solta\r\n";
  c.escreve(est, mau);
  c.escreve("lista.csv", TXT("Número;Nome\r\n9;Nove\r\n"));
  Processo p(c, {"--importar", "12", "lista.csv"}, false);
  const Texto dono = std::to_string(p.pid()) + ";";
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (c.le(bloqueio).rfind(dono, 0) != 0 && std::chrono::steady_clock::now() < limite) {
  }
  ASSERT_EQ(c.le(bloqueio).rfind(dono, 0), 0u);
  p.sinal(SIGTERM);
  const Resultado r = p.termina();
  EXPECT_EQ(r.estado, 143);
  EXPECT_EQ(r.saida, "");
  EXPECT_FALSE(c.existe(bloqueio));
  EXPECT_EQ(c.le(est), mau);
  EXPECT_FALSE(c.existe(est + ".bak"));
}
