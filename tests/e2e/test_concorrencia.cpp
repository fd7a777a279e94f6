// Several pauta processes on one course, their interleavings driven deterministically: each
// process runs the build with pause points (pauta_pausas) and stops at a named point until the
// test, which knows the other process has reached its own point, lets it go (FIFOs, no sleeping).
// Covered: two saves after a take-over, a load (and the export and report) while a save is between
// writing and renaming, two imports on a stale lock, an import against a dialogue save, a
// take-over of a linked lock. (Signals and kills at every step: test_interrupcoes.)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "Apoio.h"
#include "Cp1252.h"
#include "ProcessoPausado.h"

namespace {

const std::string est = "12-Estudantes.txt", bloqueio = est + ".lock";

bool contem(const std::string& texto, const std::string& parte) {
  return texto.find(parte) != std::string::npos;
}

// What a session saving `entrada` on the example course leaves in the student file.
std::string gravadoPor(const std::string& entrada) {
  Cenario c;
  c.copiaExemplos();
  c.executa(entrada);
  return c.le(est);
}

std::string maquina() {
  char nome[256] = {};
  gethostname(nome, sizeof nome - 1);
  return nome;
}

pid_t processoMorto() {
  const pid_t filho = fork();
  if (filho == 0) _exit(0);
  waitpid(filho, nullptr, 0);
  return filho;
}

bool haTemporarios(const Cenario& c) {
  for (const auto& e : fs::directory_iterator(c.dir())) {
    if (contem(e.path().filename().string(), ".tmp.")) return true;
  }
  return false;
}

const std::string conflitoEm =
    TXT("foi alterado por outro programa depois de ser carregado; as alterações desta sessão foram "
        "gravadas em ");

// Two sessions that both opened the course (the second took it over) save: the first replaces
// the file, the second, which asked for the critical section while the first was inside it,
// finds the file changed and writes its conflict file. Both are told exactly that.
TEST(Concorrencia, DuasGravacoesDepoisDeTomarOCurso) {
  Cenario c;
  c.copiaExemplos();
  const std::string entradaA = "12\n3\n2001\nA\n4\n9\n9\n",
                    entradaB = "12\n1\n3\n2002\nB\n4\n9\n9\n";
  ProcessoPausado a(c, "a", entradaA, {}, "gravacao-seccao,temporario-escrito");
  ASSERT_TRUE(a.chegou("gravacao-seccao"));
  ProcessoPausado b(c, "b", entradaB, {}, "gravacao-seccao");
  ASSERT_TRUE(b.chegou("gravacao-seccao"));
  a.liberta("gravacao-seccao");
  ASSERT_TRUE(a.chegou("temporario-escrito"));  // inside the section, its file written
  b.liberta("gravacao-seccao");                 // waits for the section
  a.liberta("temporario-escrito");
  const Resultado ra = a.fim(), rb = b.fim();
  EXPECT_TRUE(contem(ra.saida, gravadas(est))) << ra.saida;
  EXPECT_TRUE(contem(rb.saida, TXT("está a ser alterado noutra sessão"))) << rb.saida;
  EXPECT_TRUE(contem(rb.saida, "ERRO: O ficheiro " + est + " " + conflitoEm + est + ".conflito\n"))
      << rb.saida;
  EXPECT_FALSE(contem(rb.saida, gravadas(est)));
  EXPECT_EQ(c.le(est), gravadoPor(entradaA));
  EXPECT_EQ(c.le(est + ".conflito"), gravadoPor("12\n3\n2002\nB\n4\n9\n9\n"));
  EXPECT_FALSE(c.existe(bloqueio));
  EXPECT_FALSE(haTemporarios(c));
}

// While a save has written its temporary file and not yet renamed it, the export and the report
// load the old file whole; a session that opens the course meanwhile waits for the save to end,
// then loads the new file whole.
TEST(Concorrencia, CarregarDuranteUmaGravacao) {
  Cenario c;
  c.copiaExemplos();
  Cenario referencia;
  referencia.copiaExemplos();
  ASSERT_EQ(referencia.executa("", {"--exportar", "12"}).estado, 0);
  const std::string entrada = "12\n3\n2001\nA\n4\n9\n9\n";
  ProcessoPausado a(c, "a", entrada, {}, "temporario-escrito");
  ASSERT_TRUE(a.chegou("temporario-escrito"));
  const Resultado exportar = c.executa("", {"--exportar", "12"});
  EXPECT_EQ(exportar.estado, 0) << exportar.erros;
  EXPECT_EQ(c.le("12-Pauta.csv"), referencia.le("12-Pauta.csv"));
  EXPECT_EQ(c.le("12-Estatisticas.csv"), referencia.le("12-Estatisticas.csv"));
  const Resultado relatorio = c.executa("", {"--relatorio", "12"});
  EXPECT_EQ(relatorio.estado, 0) << relatorio.erros;
  EXPECT_TRUE(contem(relatorio.saida, "12-Relatorio.html"));
  EXPECT_EQ(c.le(est), exemplo(est));
  ProcessoPausado leitor(c, "l", "12\n1\n9\n9\n", {}, "bloqueio-seccao");
  ASSERT_TRUE(leitor.chegou("bloqueio-seccao"));
  leitor.liberta("bloqueio-seccao");  // waits for the save's section
  a.liberta("temporario-escrito");
  const Resultado ra = a.fim(), rl = leitor.fim();
  EXPECT_TRUE(contem(ra.saida, gravadas(est))) << ra.saida;
  EXPECT_TRUE(contem(rl.saida, TXT("O número de Estudantes carregados é 9\n"))) << rl.saida;
  EXPECT_EQ(c.le(est), gravadoPor(entrada));
  EXPECT_FALSE(haTemporarios(c));
}

// Two imports find a stale lock: the first decides it is stale and replaces it inside the
// critical section; the second, which waited for the section, finds the first one's live lock and
// refuses with the hint; the first one's student is in the file.
TEST(Concorrencia, DuasImportacoesComBloqueioAntigo) {
  Cenario c;
  c.copiaExemplos();
  const pid_t morto = processoMorto();
  c.escreve(bloqueio, std::to_string(morto) + ";" + maquina() + ";x;2026-01-01 00:00\r\n");
  c.escreve("a.csv", crlf({TXT("Número;Nome"), "9001;Importado A"}));
  c.escreve("b.csv", crlf({TXT("Número;Nome"), "9002;Importado B"}));
  ProcessoPausado a(c, "a", "", {"--importar", "12", "a.csv"}, "bloqueio-lido,gravacao-seccao");
  ASSERT_TRUE(a.chegou("bloqueio-lido"));
  ProcessoPausado b(c, "b", "", {"--importar", "12", "b.csv"}, "bloqueio-seccao");
  ASSERT_TRUE(b.chegou("bloqueio-seccao"));
  b.liberta("bloqueio-seccao");  // waits for the section
  a.liberta("bloqueio-lido");
  ASSERT_TRUE(a.chegou("gravacao-seccao"));  // a holds the course lock now
  const Resultado rb = b.fim();
  EXPECT_EQ(rb.estado, 2);
  EXPECT_TRUE(contem(rb.erros, TXT("ATENÇÃO: O curso 12 está a ser alterado noutra sessão")));
  EXPECT_TRUE(contem(rb.erros, "processo " + std::to_string(a.pid())));
  EXPECT_TRUE(contem(rb.erros, TXT("Se nenhuma sessão tiver o curso aberto, apague o ficheiro "
                                   "12-Estudantes.txt.lock\n")));
  EXPECT_FALSE(contem(rb.erros, "bloqueio antigo"));
  a.liberta("gravacao-seccao");
  const Resultado ra = a.fim();
  EXPECT_EQ(ra.estado, 0) << ra.erros;
  EXPECT_TRUE(contem(ra.erros, TXT("ATENÇÃO: Foi removido o bloqueio antigo do curso 12")));
  EXPECT_TRUE(contem(c.le(est), "ALUNO;9001;Importado A\r\n"));
  EXPECT_FALSE(contem(c.le(est), "9002"));
  EXPECT_FALSE(c.existe(bloqueio));
}

// A session that opened a course without a student file, which another program creates before the
// save: the session's version goes to the conflict file, the other program's file is kept.
TEST(Concorrencia, FicheiroCriadoDuranteUmaSessaoSemEle) {
  Cenario c;
  c.copiaExemplos();
  fs::remove(c.dir() / est);
  ProcessoPausado d(c, "d", "12\n3\n2001\nA\n4\n9\n9\n", {}, "gravacao-seccao");
  ASSERT_TRUE(d.chegou("gravacao-seccao"));
  const std::string outro = "ALUNO;3001;De outro programa\r\n\r\n";
  c.escreve(est, outro);
  d.liberta("gravacao-seccao");
  const Resultado rd = d.fim();
  EXPECT_TRUE(contem(rd.saida, "ERRO: O ficheiro " + est + " " + conflitoEm + est + ".conflito\n"))
      << rd.saida;
  EXPECT_FALSE(contem(rd.saida, gravadas(est)));
  EXPECT_EQ(c.le(est), outro);
  EXPECT_TRUE(contem(c.le(est + ".conflito"), "ALUNO;2001;A\r\n"));
}

// An import and a dialogue session that took the course over from it save at the same time: the
// dialogue, inside the section first, replaces the file; the import finds it changed, writes its
// conflict file and exits 2. Nothing is lost, nobody is told a falsehood.
TEST(Concorrencia, ImportacaoContraGravacaoDoDialogo) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("a.csv", crlf({TXT("Número;Nome"), "9001;Importado"}));
  ProcessoPausado i(c, "i", "", {"--importar", "12", "a.csv"}, "gravacao-seccao");
  ASSERT_TRUE(i.chegou("gravacao-seccao"));
  const std::string entrada = "12\n1\n3\n2002\nB\n4\n9\n9\n";
  ProcessoPausado d(c, "d", entrada, {}, "temporario-escrito");
  ASSERT_TRUE(d.chegou("temporario-escrito"));
  i.liberta("gravacao-seccao");
  d.liberta("temporario-escrito");
  const Resultado rd = d.fim(), ri = i.fim();
  EXPECT_TRUE(contem(rd.saida, gravadas(est))) << rd.saida;
  EXPECT_EQ(ri.estado, 2);
  EXPECT_EQ(ri.saida, "");
  EXPECT_TRUE(contem(ri.erros, "ERRO: O ficheiro " + est + " " + conflitoEm + est + ".conflito\n"))
      << ri.erros;
  EXPECT_EQ(c.le(est), gravadoPor("12\n3\n2002\nB\n4\n9\n9\n"));
  EXPECT_TRUE(contem(c.le(est + ".conflito"), "ALUNO;9001;Importado\r\n"));
}

// A lock that is a symbolic link is unreadable ("?" for its holder); taking it over replaces the
// link with a lock file of this session and never writes to the link's target.
TEST(Concorrencia, TomarUmBloqueioQueELigacao) {
  Cenario c;
  c.copiaExemplos();
  const fs::path alvo = c.dir().parent_path() / "alvo";
  c.escreve("../alvo", "intacto");
  fs::create_symlink(alvo, c.dir() / bloqueio);
  ProcessoPausado d(c, "d", "12\n1\n3\n2001\nA\n4\n9\n9\n", {}, "gravacao-seccao");
  ASSERT_TRUE(d.chegou("gravacao-seccao"));
  EXPECT_FALSE(fs::is_symlink(c.dir() / bloqueio));
  EXPECT_EQ(c.le(bloqueio).rfind(std::to_string(d.pid()) + ";" + maquina() + ";", 0), 0u)
      << c.le(bloqueio);
  EXPECT_EQ(leFicheiro(alvo), "intacto");
  d.liberta("gravacao-seccao");
  const Resultado rd = d.fim();
  EXPECT_TRUE(contem(rd.saida, TXT("(máquina ?, processo ?, desde ?)"))) << rd.saida;
  EXPECT_TRUE(contem(rd.saida, gravadas(est)));
  EXPECT_EQ(leFicheiro(alvo), "intacto");
  EXPECT_FALSE(c.existe(bloqueio));
}

// A lock longer than 4 KiB is not read whole: unreadable, "?" for its holder, and the import
// refuses with the hint.
TEST(Concorrencia, BloqueioEnormeIlegivel) {
  Cenario c;
  c.copiaExemplos();
  c.escreve(bloqueio, "1;m;u;2026-01-01 00:00" + std::string(8192, ' ') + "\r\n");
  c.escreve("a.csv", crlf({TXT("Número;Nome"), "9001;Importado"}));
  const Resultado r = c.executa("", {"--importar", "12", "a.csv"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.erros, TXT("ATENÇÃO: O curso 12 está a ser alterado noutra sessão (máquina ?, "
                         "processo ?, desde ?)\nSe nenhuma sessão tiver o curso aberto, apague o "
                         "ficheiro 12-Estudantes.txt.lock\n"));
}

// A leftover temporary file of a killed save is removed by the next save of the same file; one
// of a live process is left alone.
TEST(Concorrencia, RestosDeUmProcessoMorto) {
  // The names hold this system's process ids, which another build's system (wine) cannot see.
  const char* outro = std::getenv("PAUTA_EXECUTAVEL");
  if (outro != nullptr && *outro != '\0') GTEST_SKIP() << "process ids of another system";
  Cenario c;
  c.copiaExemplos();
  const std::string morto = nomeTemporario(est, processoMorto());
  const std::string vivo = nomeTemporario(est, getpid());
  c.escreve(morto, "meio escrito");
  c.escreve(vivo, "a ser escrito");
  EXPECT_TRUE(contem(c.executa("12\n3\n2001\nA\n4\n9\n9\n").saida, gravadas(est)));
  EXPECT_FALSE(c.existe(morto));
  EXPECT_EQ(c.le(vivo), "a ser escrito");
}

}  // namespace
