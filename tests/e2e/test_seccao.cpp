// The course's critical section between processes: a POSIX lock on the companion's first byte
// (as a Samba server takes for a Windows client) keeps pauta out and one on another byte does
// not; a wait is told once, naming the holder, a mode gives it up after its minute (time
// simulated) and Ctrl-C ends the dialogue's; without OS locks (the lock call answering as ENOLCK)
// ten sessions saving at once are one writer at a time, and a section file of a dead process is
// taken as stale.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Apoio.h"
#include "Cp1252.h"
#include "ProcessoPausado.h"

namespace {

const Texto est = "12-Estudantes.txt", seccao = est + ".seccao", trinco = seccao + ".lock";
const Texto conflitoEm =
    TXT("foi alterado por outro programa depois de ser carregado; as alterações desta sessão foram "
        "gravadas em ");

bool contem(const Texto& texto, const Texto& parte) { return texto.find(parte) != Texto::npos; }

std::string maquina() {
  char nome[256] = {};
  gethostname(nome, sizeof nome - 1);
  return nome;
}

Texto aguarda(const Texto& maquina, const Texto& processo) {
  return TXT("ATENÇÃO: Outra sessão está a gravar o curso 12 (") + maquina + ", processo " +
         processo + "); a aguardar...\n";
}

// Another process holding a POSIX write lock (F_SETLK, the process's own kind, as a file server
// takes) on bytes [inicio, inicio + 1) of `nome` until destroyed.
class TrancaAlheia {
 public:
  TrancaAlheia(const fs::path& nome, off_t inicio) {
    int canal[2];
    EXPECT_EQ(pipe(canal), 0);
    int pronto[2];
    EXPECT_EQ(pipe(pronto), 0);
    filho_ = fork();
    if (filho_ == 0) {
      close(canal[1]);
      const int f = open(nome.c_str(), O_RDWR | O_CREAT, 0666);
      struct flock trinco = {};
      trinco.l_type = F_WRLCK;
      trinco.l_whence = SEEK_SET;
      trinco.l_start = inicio;
      trinco.l_len = 1;
      const char ok = f >= 0 && fcntl(f, F_SETLK, &trinco) == 0 ? '1' : '0';
      (void)!write(pronto[1], &ok, 1);
      char c;
      (void)!read(canal[0], &c, 1);  // until the parent closes its end
      _exit(0);
    }
    close(canal[0]);
    close(pronto[1]);
    fim_ = canal[1];
    char ok = '0';
    EXPECT_EQ(read(pronto[0], &ok, 1), 1);
    EXPECT_EQ(ok, '1');
    close(pronto[0]);
  }
  ~TrancaAlheia() { larga(); }
  void larga() {
    if (filho_ <= 0) return;
    close(fim_);
    waitpid(filho_, nullptr, 0);
    filho_ = -1;
  }

 private:
  pid_t filho_ = -1;
  int fim_ = -1;
};

pid_t processoMorto() {
  const pid_t filho = fork();
  if (filho == 0) _exit(0);
  waitpid(filho, nullptr, 0);
  return filho;
}

}  // namespace

// A lock another process holds on the companion's first byte keeps an import out: its wait is
// told once (no holder's line: "?") and given up after a minute of simulated time, saying why,
// with nothing written; one on another byte keeps nobody out.
TEST(Seccao, TrancaDeOutroProcessoNoPrimeiroByte) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("a.csv", crlf({TXT("Número;Nome"), "9001;Importado"}));
  {
    TrancaAlheia alheia(c.dir() / seccao, 0);
    ProcessoPausado p(c, "p", "", {"--importar", "12", "a.csv"}, "", {"PAUTA_TEMPO_SIMULADO=1"});
    const Resultado r = p.fim();
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.erros, aguarda("?", "?") + TXT("ERRO: Não foi possivel bloquear o curso 12 (") +
                           seccao + ": ocupado)\n");
    EXPECT_EQ(r.saida, "");
    EXPECT_FALSE(c.existe(est + ".lock"));
    EXPECT_EQ(c.le(est), exemplo(est));
  }
  TrancaAlheia outroByte(c.dir() / seccao, 1);
  ProcessoPausado p(c, "q", "", {"--importar", "12", "a.csv"}, "", {"PAUTA_ESPERAS=0,0"});
  const Resultado r = p.fim();
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_EQ(r.erros, "");
  EXPECT_TRUE(contem(c.le(est), "ALUNO;9001;Importado\r\n"));
}

// A dialogue whose save must wait for another session's says so once, naming that session's
// machine and process, and keeps waiting; Ctrl-C ends it there (its lost changes said, its lock
// released) and the other session's save goes on. One that waits to the end finds the file the
// other saved, and writes its conflict file.
TEST(Seccao, EsperaDoDialogo) {
  for (const bool interrompe : {true, false}) {
    SCOPED_TRACE(interrompe);
    Cenario c;
    c.copiaExemplos();
    ProcessoPausado a(c, "a", "12\n3\n2001\nA\n4\n9\n9\n", {},
                      "gravacao-seccao,temporario-escrito");
    ASSERT_TRUE(a.chegou("gravacao-seccao"));
    ProcessoPausado b(c, "b", "12\n1\n3\n2002\nB\n4\n9\n9\n", {}, "gravacao-seccao,seccao-aguarda",
                      {"PAUTA_ESPERAS=0"});
    ASSERT_TRUE(b.chegou("gravacao-seccao"));  // took the course over, its student added
    a.liberta("gravacao-seccao");
    ASSERT_TRUE(a.chegou("temporario-escrito"));  // inside its save's section
    b.liberta("gravacao-seccao");
    ASSERT_TRUE(b.chegou("seccao-aguarda"));
    const Texto aviso = aguarda(maquina(), std::to_string(a.pid()));
    if (interrompe) {
      kill(b.pid(), SIGINT);
      const Resultado rb = b.fim();
      EXPECT_EQ(rb.estado, 128 + SIGINT);
      EXPECT_TRUE(contem(rb.saida, TXT("### GRAVAR ALTERAÇÕES NO FICHEIRO ###\n") + aviso + "\n" +
                                       TXT("ATENÇÃO: O programa foi interrompido, as alterações "
                                           "não gravadas foram perdidas\nA sair ...")))
          << rb.saida;
      a.liberta("temporario-escrito");
      EXPECT_TRUE(contem(a.fim().saida, gravadas(est)));
      EXPECT_FALSE(c.existe(est + ".lock"));
      EXPECT_FALSE(c.existe(est + ".conflito"));
      continue;
    }
    b.liberta("seccao-aguarda");  // still waiting
    a.liberta("temporario-escrito");
    const Resultado ra = a.fim(), rb = b.fim();
    EXPECT_TRUE(contem(ra.saida, gravadas(est)));
    EXPECT_TRUE(contem(rb.saida,
                       aviso + "ERRO: O ficheiro " + est + " " + conflitoEm + est + ".conflito\n"))
        << rb.saida;
    EXPECT_EQ(rb.saida.find(aviso), rb.saida.rfind(aviso));
  }
}

// Without OS locks (the lock call answering ENOLCK through the seam of the test build), ten
// sessions that took the course over save at once: the section, a file created exclusively, lets
// one in at a time, so exactly one replaces the file and the nine others each write their own
// conflict file, all told so; the history records the ten, checks, and the section's file is gone.
TEST(Seccao, SemTrancasDezSessoes) {
  Cenario c;
  c.copiaExemplos();
  const std::vector<std::string> semTrancas = {"PAUTA_SEM_TRANCAS=1"};
  std::vector<std::unique_ptr<ProcessoPausado>> sessoes;
  for (int i = 0; i < 10; ++i) {
    const Texto aluno = std::to_string(3000 + i);
    const Texto entrada =
        (i == 0 ? "12\n" : "12\n1\n") + Texto("3\n") + aluno + "\nS" + aluno + "\n4\n9\n9\n";
    sessoes.push_back(std::make_unique<ProcessoPausado>(c, "s" + std::to_string(i), entrada,
                                                        std::vector<std::string>{},
                                                        "gravacao-seccao", semTrancas));
    ASSERT_TRUE(sessoes.back()->chegou("gravacao-seccao"));
  }
  for (auto& s : sessoes) s->liberta("gravacao-seccao");
  int gravadas10 = 0;
  std::set<Texto> conflitos;
  Texto vencedor;
  for (int i = 0; i < 10; ++i) {
    const Resultado r = sessoes[static_cast<size_t>(i)]->fim();
    const Texto aluno = "ALUNO;" + std::to_string(3000 + i) + ";";
    if (contem(r.saida, gravadas(est))) {
      ++gravadas10;
      vencedor = aluno;
      continue;
    }
    const size_t em = r.saida.find(conflitoEm);
    ASSERT_NE(em, Texto::npos) << r.saida;
    const Texto nome =
        r.saida.substr(em + conflitoEm.size(), r.saida.find('\n', em) - em - conflitoEm.size());
    EXPECT_TRUE(conflitos.insert(nome).second) << nome;
    EXPECT_TRUE(contem(c.le(nome), aluno)) << nome;
  }
  EXPECT_EQ(gravadas10, 1);
  EXPECT_EQ(conflitos.size(), 9u);
  EXPECT_TRUE(contem(c.le(est), vencedor));
  for (int i = 0; i < 10; ++i) {
    const Texto aluno = "ALUNO;" + std::to_string(3000 + i) + ";";
    if (aluno != vencedor) {
      EXPECT_FALSE(contem(c.le(est), aluno));
    }
  }
  const Texto legivel = historicoLegivel(c.le("12-Historico.txt"), c.dir() / est);
  for (int i = 0; i < 10; ++i) {
    EXPECT_TRUE(contem(legivel, std::to_string(3000 + i) + ";;aluno;;S")) << legivel;
  }
  EXPECT_EQ(c.executa("", {"--historico", "12", "--verificar"}).estado, 0);
  EXPECT_FALSE(c.existe(trinco));
}

// Without OS locks, a section's file left by a process of this machine that no longer runs is
// stale: removed, and the save goes on; one of a live process is waited for (the wait told with
// its holder) and given up by a mode.
TEST(Seccao, SemTrancasFicheiroAbandonado) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("a.csv", crlf({TXT("Número;Nome"), "9001;Importado"}));
  const std::vector<std::string> ambiente = {"PAUTA_SEM_TRANCAS=1", "PAUTA_TEMPO_SIMULADO=1"};
  c.escreve(trinco, std::to_string(getpid()) + ";" + maquina() + ";outro\r\n");
  ProcessoPausado vivo(c, "v", "", {"--importar", "12", "a.csv"}, "", ambiente);
  const Resultado rv = vivo.fim();
  EXPECT_EQ(rv.estado, 2);
  EXPECT_EQ(rv.erros, aguarda(maquina(), std::to_string(getpid())) +
                          TXT("ERRO: Não foi possivel bloquear o curso 12 (") + trinco +
                          ": ocupado)\n");
  EXPECT_EQ(c.le(est), exemplo(est));

  c.escreve(trinco, std::to_string(processoMorto()) + ";" + maquina() + ";outro\r\n");
  c.escreve(trinco + ".quebra", std::to_string(processoMorto()) + ";" + maquina() + ";outro\r\n");
  ProcessoPausado p(c, "p", "", {"--importar", "12", "a.csv"}, "", ambiente);
  const Resultado r = p.fim();
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_FALSE(contem(r.erros, "a aguardar")) << r.erros;
  EXPECT_TRUE(contem(c.le(est), "ALUNO;9001;Importado\r\n"));
  EXPECT_FALSE(c.existe(trinco));
}

// The clean-up never waits for a lock: while another process holds the course's section, the
// removal of a lock that still names this process (what a signal's clean-up does) goes on at once
// without the section, and one that names another is left.
TEST(Seccao, LimpezaNuncaEspera) {
  Cenario c;
  c.copiaExemplos();
  ProcessoPausado a(c, "a", "12\n3\n2001\nA\n4\n9\n9\n", {}, "temporario-escrito");
  ASSERT_TRUE(a.chegou("temporario-escrito"));  // inside its save's section
  const Texto nosso = (c.dir() / "nosso.lock").string(),
              alheio = (c.dir() / "alheio.lock").string();
  c.escreve("nosso.lock", "1;m;u\r\n");
  c.escreve("alheio.lock", "2;m;u\r\n");
  const Texto companheira = (c.dir() / seccao).string();
  removeSeComecaPor(nosso.c_str(), "1;m;", 4, companheira.c_str());
  removeSeComecaPor(alheio.c_str(), "1;m;", 4, companheira.c_str());
  EXPECT_FALSE(c.existe("nosso.lock"));
  EXPECT_TRUE(c.existe("alheio.lock"));
  a.liberta("temporario-escrito");
  EXPECT_TRUE(contem(a.fim().saida, gravadas(est)));
}
