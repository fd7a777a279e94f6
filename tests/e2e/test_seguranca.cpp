// Data safety of the real program on POSIX: the course lock between sessions and signals, a file
// changed under a session, links, FIFOs, permissions, a file-size limit, skipped lines and their
// backups, formulas in the export. Every run has a time limit, so a hang fails instead of waiting.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "Apoio.h"
#include "Cp1252.h"

namespace {

const std::string est = "12-Estudantes.txt", bloqueio = est + ".lock";
const std::string guardaSessao = "12\n3\n2001\nNovo\n4\n9\n9\n";  // adds 2001, saves, leaves

std::string maquina() {
  char nome[256] = {};
  gethostname(nome, sizeof nome - 1);
  return nome;
}

// Runs the sh script in the scenario's directory, $P being the command that starts pauta, with a
// time limit; answers what the script wrote to ../saida.
std::string script(const Cenario& c, const std::string& texto) {
  const fs::path raiz = c.dir().parent_path();
  c.escreve("../script.sh", "P=" + comandoPauta() + "\n" + texto);
  const int estado = std::system(
      ("cd '" + c.dir().string() + "' && timeout 60 sh ../script.sh 2>../erros").c_str());
  EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << texto << leFicheiro(raiz / "erros");
  return leFicheiro(raiz / "saida");
}

bool contem(const std::string& texto, const std::string& parte) {
  return texto.find(parte) != std::string::npos;
}

std::string ocupado(const std::string& dono) {
  return TXT("12-UC.txt \n\nATENÇÃO: O curso 12 está a ser alterado noutra sessão (") + dono +
         ")\nPara abrir o curso mesmo assim insira 1, para escolher outro curso insira 0\n";
}

// What a session saving `entrada` on the example course leaves in the student file.
std::string gravadoPor(const std::string& entrada) {
  Cenario c;
  c.copiaExemplos();
  c.executa(entrada);
  return c.le(est);
}

// Script lines that set $Q to a command starting pauta as another user when the tests run as
// root, who may write and read every file: permissions are then those of the scenario's
// root-owned files and folder. That user runs a copy of the binary beside the scenario, since the
// build tree may lie where he cannot go.
std::string semPrivilegios() {
  if (getuid() != 0) return "Q=$P\n";
  return "cp $P ../pauta-outro && chmod 755 ../pauta-outro\n"
         "Q='setpriv --reuid=65534 --regid=65534 --clear-groups ../pauta-outro'\n";
}

bool ehLigacao(const Cenario& c, const std::string& nome) { return fs::is_symlink(c.dir() / nome); }

}  // namespace

// Two sessions on one course: the second is told who holds it and may leave it or take it over;
// SIGTERM ends a session (its texts, exit 128 + 15) and releases its lock; a dead session's lock is
// removed with a warning; an unreadable lock is shown with '?'.
TEST(Seguranca, BloqueioEntreSessoes) {
  Cenario c;
  c.copiaExemplos();
  script(c,
         "mkfifo ../entrada; $P <../entrada >../primeira & primeira=$!; exec 3>../entrada\n"
         "printf '12\\n3\\n2001\\nNovo\\n' >&3\n"
         "for i in $(seq 1200); do grep -q 'Inseriu o estudante' ../primeira && break; sleep 0.05;"
         " done\n"
         "cp " +
             bloqueio +
             " ../bloqueio; echo $primeira > ../pid\n"
             "printf '12\\n7\\n0\\n0\\n' | $P >../segunda\n"
             "kill -TERM $primeira; wait $primeira; echo $? >../estado; ls -a >../depois\n");
  const fs::path raiz = c.dir().parent_path();
  std::string pid = leFicheiro(raiz / "pid");
  pid.pop_back();
  const std::string linha = leFicheiro(raiz / "bloqueio");
  EXPECT_EQ(linha.rfind(pid + ";" + maquina() + ";", 0), 0u) << linha;
  const std::string desde = linha.substr(linha.rfind(';') + 1, 16);
  EXPECT_EQ(linha.size(), linha.rfind(';') + 1 + 16 + 2) << linha;  // YYYY-MM-DD HH:MM CR LF
  const std::string segunda = leFicheiro(raiz / "segunda");
  EXPECT_TRUE(contem(
      segunda, ocupado(TXT("máquina ") + maquina() + ", processo " + pid + ", desde " + desde) +
                   TXT("Opção inválida\nPara abrir o curso mesmo assim insira 1, para "
                       "escolher outro curso insira 0\n\nOs cursos atualmente")))
      << segunda;
  EXPECT_TRUE(contem(segunda, "Insira 0 para sair\n\nA Sair ...")) << segunda;
  EXPECT_FALSE(contem(segunda, "A abrir o Ficheiro"));
  const std::string primeira = leFicheiro(raiz / "primeira");
  const std::string interrompido =
      TXT("\n\nATENÇÃO: O programa foi interrompido, as alterações não gravadas foram perdidas\n"
          "A sair ...");
  EXPECT_EQ(primeira.substr(std::max(primeira.size(), interrompido.size()) - interrompido.size()),
            interrompido);
  EXPECT_EQ(leFicheiro(raiz / "estado"), "143\n");
  EXPECT_FALSE(contem(leFicheiro(raiz / "depois"), bloqueio));
  EXPECT_EQ(c.le(est), exemplo(est));

  // A lock of a live process here: taken over with 1, and released at the end as ours.
  const std::string sempre = "sleep 30 & vivo=$!; printf \"$vivo;" + maquina() +
                             ";outra;2026-01-02 03:04\\r\\n\" >" + bloqueio + "\n";
  const std::string tomado =
      script(c, sempre + "printf '12\\n1\\n9\\n9\\n' | $P >../saida; kill $vivo\n");
  EXPECT_TRUE(contem(tomado, "processo ")) << tomado;
  EXPECT_TRUE(
      contem(tomado, TXT(", desde 2026-01-02 03:04)\nPara abrir o curso mesmo assim insira 1, "
                         "para escolher outro curso insira 0\no número de UCs do curso é: 30")))
      << tomado;
  EXPECT_FALSE(c.existe(bloqueio));

  const std::pair<std::string, std::string> casos[] = {
      {"999999999;" + maquina() + ";antigo;2020-01-01 10:00\r\n",
       TXT("12-UC.txt \n\nATENÇÃO: Foi removido o bloqueio antigo do curso 12 (máquina ") +
           maquina() +
           TXT(", processo 999999999, desde 2020-01-01 10:00)\no número de UCs do curso é: 30\n")},
      {"lixo", ocupado(TXT("máquina ?, processo ?, desde ?"))},
      {"", ocupado(TXT("máquina ?, processo ?, desde ?"))},
      {"1;outra-maquina;x;2026-01-01 00:00", ocupado(TXT("máquina outra-maquina, processo 1, desde "
                                                         "2026-01-01 00:00"))},
      // Another machine's process id says nothing here, not even of no such process running.
      {"999999999;outra-maquina;x;2026-01-01 00:00",
       ocupado(TXT("máquina outra-maquina, processo 999999999, desde 2026-01-01 00:00"))},
  };
  for (const auto& [conteudo, esperado] : casos) {
    c.escreve(bloqueio, conteudo);
    const std::string saida = c.executa("12\n1\n9\n9\n").saida;
    EXPECT_TRUE(contem(saida, esperado)) << saida;
    EXPECT_FALSE(c.existe(bloqueio)) << conteudo;
  }
  // No lock, nothing printed about it; a lock left by no one.
  EXPECT_FALSE(contem(c.executa("12\n9\n9\n").saida, "bloqueio"));
  EXPECT_FALSE(c.existe(bloqueio));
}

// A folder where the lock cannot be created: a warning, and the session goes on; a save there
// fails with the real reason (the companion of the section cannot be created), in the dialogue
// and in the import; a student file without read permission does not open the course and is left
// alone.
TEST(Seguranca, SemPermissao) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("a.csv", crlf({TXT("Número;Nome"), "9;Nove"}));
  const fs::perms leitura = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(c.dir(), leitura);
  fs::permissions(c.dir() / "a.csv", leitura);
  const std::string saida = script(c, semPrivilegios() + "printf '12\\n9\\n9\\n' | $Q >../saida\n");
  EXPECT_TRUE(
      contem(saida, TXT("12-UC.txt \n\nATENÇÃO: Não foi possivel bloquear o curso 12; outra "
                        "sessão pode alterar os mesmos ficheiros\no número de UCs")))
      << saida;
  const std::string razao = naoGravou(est, TXT("12-Estudantes.txt.seccao: sem permissão"));
  const std::string gravar =
      script(c, semPrivilegios() + "printf '" + guardaSessao + "0\\n' | $Q >../saida\n");
  EXPECT_TRUE(contem(gravar, TXT("### GRAVAR ALTERAÇÕES NO FICHEIRO ###\n") + razao)) << gravar;
  const std::string importar = script(
      c, semPrivilegios() + "LC_ALL=C $Q --importar 12 a.csv >/dev/null 2>../saida || true\n");
  EXPECT_TRUE(contem(importar, razao)) << importar;
  EXPECT_EQ(c.le(est), exemplo(est));

  fs::permissions(c.dir(), fs::perms::owner_all | leitura);
  fs::permissions(c.dir() / est, fs::perms::owner_write);
  const std::string fechado = script(c, semPrivilegios() + "printf '12\\n0\\n' | $Q >../saida\n");
  EXPECT_TRUE(contem(fechado, TXT("ERRO: O ficheiro 12-Estudantes.txt existe mas não pode ser lido "
                                  "(sem permissão); o curso 12 não foi aberto\n\nOs cursos")))
      << fechado;
  EXPECT_EQ(c.le(est), exemplo(est));
}

// The student file changed between loading and saving: the session's version goes to the first
// free conflict file, the file is untouched; the next save compares with the file as it is then.
TEST(Seguranca, FicheiroAlteradoPorOutroPrograma) {
  Cenario c;
  c.copiaExemplos();
  c.escreve(est + ".conflito", "antigo");
  const std::string saida =
      script(c,
             "{ printf '12\\n3\\n2001\\nNovo\\n'; for i in $(seq 1200); do grep -q 'Inseriu o "
             "estudante' ../saida && break; sleep 0.05; done; printf 'mudado\\r\\n' >>" +
                 est + "; printf '4\\n3\\n2002\\nOutra\\n4\\n9\\n9\\n'; } | $P >../saida\n");
  const std::string conflito =
      TXT("ERRO: O ficheiro 12-Estudantes.txt foi alterado por outro programa depois "
          "de ser carregado; as alterações desta sessão foram gravadas em "
          "12-Estudantes.txt.conflito.1\n");
  EXPECT_TRUE(contem(saida, TXT("### GRAVAR ALTERAÇÕES NO FICHEIRO ###\n") + conflito + "\n\n"))
      << saida;
  EXPECT_TRUE(contem(saida, gravadas(est)) &&
              saida.find(gravadas(est)) == saida.rfind(gravadas(est)));
  EXPECT_FALSE(contem(saida, TXT("Existem alterações por gravar")));
  const std::string umNovo = gravadoPor(guardaSessao);
  EXPECT_EQ(c.le(est + ".conflito.1"), umNovo);
  EXPECT_EQ(c.le(est + ".conflito"), "antigo");
  EXPECT_EQ(c.le(est), gravadoPor("12\n3\n2001\nNovo\n3\n2002\nOutra\n4\n9\n9\n"));
  // The history names the conflict file of the first save; the second records only its own.
  EXPECT_EQ(historicoLegivel(c.le("12-Historico.txt")),
            "dialogo conflito:12-Estudantes.txt.conflito.1;2001;;aluno;;Novo\n"
            "dialogo;2002;;aluno;;Outra\n");
}

// Links where a save would write: never followed, their targets byte for byte as before. A link
// at an output of a mode is refused, exit 2, nothing written anywhere; a link at a temporary-like
// name, a conflict or a backup name is left alone. A student file that is a link stays one, its
// target replaced with the mode and owner kept, nothing beside the target touched.
TEST(Seguranca, Ligacoes) {
  Cenario c;
  c.copiaExemplos();
  const fs::path alvo = c.dir().parent_path() / "alvo";
  const std::string protegido = TXT("não escrever aqui\r\n");
  c.escreve("../alvo", protegido);
  fs::create_symlink(alvo, c.dir() / (est + ".tmp"));
  const std::string saida = c.executa(guardaSessao).saida;
  EXPECT_TRUE(contem(saida, gravadas(est))) << saida;
  EXPECT_EQ(leFicheiro(alvo), protegido);
  EXPECT_TRUE(ehLigacao(c, est + ".tmp"));
  EXPECT_EQ(c.le(est), gravadoPor(guardaSessao));
  fs::remove(c.dir() / (est + ".tmp"));
  c.escreve(est, exemplo(est));

  // Every output of the modes.
  for (const std::string saidaModo : {"12-Pauta.csv", "12-Estatisticas.csv", "12-Relatorio.html"}) {
    SCOPED_TRACE(saidaModo);
    fs::create_symlink(alvo, c.dir() / saidaModo);
    const auto antes = c.ficheiros();
    const bool relatorio = saidaModo == "12-Relatorio.html";
    Resultado r = c.executa("", {relatorio ? "--relatorio" : "--exportar", "12"});
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.erros, naoGravou(saidaModo, saidaModo + TXT(": é uma ligação simbólica")));
    EXPECT_EQ(leFicheiro(alvo), protegido);
    EXPECT_EQ(c.ficheiros(), antes);
    EXPECT_TRUE(ehLigacao(c, saidaModo));
    fs::remove(c.dir() / saidaModo);
  }

  // The grade history is never appended to through a link: nothing is saved, the changes stay
  // unsaved.
  fs::remove(c.dir() / "12-Historico.txt");
  fs::create_symlink(alvo, c.dir() / "12-Historico.txt");
  const std::string semHistorico = c.executa(guardaSessao).saida;
  EXPECT_TRUE(
      contem(semHistorico, naoGravou(est, TXT("12-Historico.txt: é uma ligação simbólica"))))
      << semHistorico;
  EXPECT_TRUE(contem(semHistorico, alteracoesPerdidas));
  EXPECT_EQ(c.le(est), exemplo(est));
  EXPECT_EQ(leFicheiro(alvo), protegido);
  EXPECT_TRUE(ehLigacao(c, "12-Historico.txt"));
  fs::remove(c.dir() / "12-Historico.txt");

  // Conflict and backup names: the next free name is used, the link left alone.
  fs::create_symlink(alvo, c.dir() / (est + ".conflito"));
  fs::create_symlink(alvo, c.dir() / (est + ".bak"));
  c.escreve(est, exemplo(est) + "solto\r\n");
  const std::string conflito =
      script(c,
             "{ printf '12\\n3\\n2001\\nNovo\\n'; for i in $(seq 1200); do grep -q 'Inseriu o "
             "estudante' ../saida && break; sleep 0.05; done; printf 'mudado\\r\\n' >>" +
                 est + "; printf '4\\n9\\n9\\n'; } | $P >../saida\n");
  EXPECT_TRUE(contem(conflito, est + ".conflito.1")) << conflito;
  EXPECT_EQ(leFicheiro(alvo), protegido);
  EXPECT_TRUE(ehLigacao(c, est + ".conflito"));
  EXPECT_TRUE(c.existe(est + ".conflito.1"));
  c.escreve(est, exemplo(est) + "solto\r\n");
  const std::string copia = c.executa(guardaSessao).saida;
  EXPECT_TRUE(contem(copia, copiado(est + ".bak.1"))) << copia;
  EXPECT_EQ(leFicheiro(alvo), protegido);
  EXPECT_TRUE(ehLigacao(c, est + ".bak"));
  c.escreve(est, exemplo(est));

  // The student file as a link to a file of mode 0640 owned by someone else; a file named like
  // an old temporary file beside the target stays.
  const fs::path real = c.dir().parent_path() / "real.txt";
  fs::rename(c.dir() / est, real);
  fs::create_symlink(real, c.dir() / est);
  c.escreve("../real.txt.tmp", "de outro programa");
  chmod(real.c_str(), 0640);
  const bool dono = getuid() == 0 && chown(real.c_str(), 1234, 1235) == 0;
  EXPECT_TRUE(contem(c.executa(guardaSessao).saida, gravadas(est)));
  EXPECT_TRUE(ehLigacao(c, est));
  EXPECT_EQ(leFicheiro(real), gravadoPor(guardaSessao));
  struct stat info = {};
  ASSERT_EQ(stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  if (dono) {
    EXPECT_TRUE(info.st_uid == 1234 && info.st_gid == 1235);
  }
  EXPECT_EQ(leFicheiro(real.string() + ".tmp"), "de outro programa");
  for (const auto& e : fs::directory_iterator(c.dir().parent_path())) {
    const std::string nome = e.path().filename().string();
    EXPECT_TRUE(nome.find(".tmp.") == std::string::npos) << nome;
  }
}

// A student file linked to a file on another file system (/dev/shm), where no rename from beside
// the link can reach: the save replaces the target and the link stays.
TEST(Seguranca, LigacaoParaOutroSistemaDeFicheiros) {
  Cenario c;
  c.copiaExemplos();
  struct stat aqui = {}, memoria = {};
  if (stat(c.dir().c_str(), &aqui) != 0 || stat("/dev/shm", &memoria) != 0 ||
      aqui.st_dev == memoria.st_dev) {
    GTEST_SKIP() << "/dev/shm is not another file system here";
  }
  const fs::path alvo = "/dev/shm/" + c.dir().parent_path().filename().string() + "-" + est;
  struct Remove {
    fs::path nome;
    ~Remove() { fs::remove(nome); }
  } remove{alvo};
  std::error_code erro;
  fs::copy_file(c.dir() / est, alvo, erro);
  if (erro) GTEST_SKIP() << "/dev/shm cannot be written";
  fs::remove(c.dir() / est);
  fs::create_symlink(alvo, c.dir() / est);
  const std::string saida = c.executa(guardaSessao).saida;
  EXPECT_TRUE(contem(saida, gravadas(est))) << saida;
  EXPECT_TRUE(ehLigacao(c, est));
  EXPECT_EQ(leFicheiro(alvo), gravadoPor(guardaSessao));
}

// FIFOs and devices named like data files are never opened for reading: nothing hangs. A student
// file that cannot be read does not open the course, and is left alone.
TEST(Seguranca, FicheirosQueNaoSaoNormais) {
  Cenario c;
  c.copiaExemplos();
  ASSERT_EQ(mkfifo((c.dir() / "13-UC.txt").c_str(), 0600), 0);
  const std::string lista = script(c, "printf '13\\n0\\n' | $P >../saida\n");
  EXPECT_TRUE(contem(lista, TXT("ATENÇÃO: O ficheiro 13-UC.txt não foi listado (não é um ficheiro "
                                "normal)\n")))
      << lista;
  EXPECT_FALSE(contem(lista, "13-UC.txt \n")) << lista;
  EXPECT_TRUE(contem(lista, TXT("O curso seleccionado não existe")));

  const std::string naoAberto =
      TXT("ERRO: O ficheiro 12-Estudantes.txt existe mas não pode ser lido (");
  fs::remove(c.dir() / est);
  ASSERT_EQ(mkfifo((c.dir() / est).c_str(), 0600), 0);
  const std::string fifo = script(c, "printf '12\\n0\\n' | $P >../saida\n");
  EXPECT_TRUE(
      contem(fifo, "\n\nA abrir o Ficheiro de estudantes 12-Estudantes.txt\n\n" + naoAberto +
                       TXT("não é um ficheiro normal); o curso 12 não foi aberto\n\nOs cursos ")))
      << fifo;
  EXPECT_TRUE(contem(fifo, "Insira 0 para sair\n\nA Sair ..."));
  EXPECT_FALSE(c.existe(bloqueio));
  fs::remove(c.dir() / est);
  fs::create_symlink("/dev/zero", c.dir() / est);
  const Resultado zero = c.executa("", {"--exportar", "12"});
  EXPECT_EQ(zero.estado, 2);
  EXPECT_TRUE(contem(zero.erros, naoAberto + TXT("não é um ficheiro normal); o curso 12 não foi "
                                                 "aberto\n")))
      << zero.erros;
  EXPECT_FALSE(c.existe("12-Pauta.csv"));

  // A FIFO at the grade history's name: never opened, nothing saved.
  fs::remove(c.dir() / est);
  c.escreve(est, exemplo(est));
  ASSERT_EQ(mkfifo((c.dir() / "12-Historico.txt").c_str(), 0600), 0);
  const std::string historico = script(c, "printf '" + guardaSessao + "' | $P >../saida\n");
  EXPECT_TRUE(contem(historico, naoGravou(est, TXT("12-Historico.txt: não é um ficheiro normal"))))
      << historico;
  EXPECT_EQ(c.le(est), exemplo(est));
}

// A file-size limit is an ordinary write error: the usual text, the original intact, no temporary
// file, the changes still unsaved.
TEST(Seguranca, LimiteDeTamanho) {
  Cenario c;
  c.copiaExemplos();
  const std::string saida =
      script(c,
             "( ulimit -f 4; printf '12\\n3\\n2001\\nNovo\\n4\\n9\\n9\\n0\\n' | $P ) | "
             "cat >../saida\n");
  EXPECT_TRUE(contem(saida, naoGravou(est, est + ": ficheiro demasiado grande"))) << saida;
  EXPECT_TRUE(contem(saida, TXT("ATENÇÃO: Existem alterações por gravar")));
  EXPECT_EQ(c.le(est), exemplo(est));
  for (const auto& e : fs::directory_iterator(c.dir())) {
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
  }
}

// Every kind of line the loader does not use is reported, and the first save of each session
// keeps the original under a backup name of its own.
TEST(Seguranca, LinhasIgnoradasEAsCopias) {
  const std::string u =
      TXT("21002;Álgebra Linear I;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14");
  const std::string mau =
      "\xEF\xBB\xBF" + crlf({"ALUNO;1;Depois da marca UTF-8", u, "", TXT("aluno;2;minúsculas"), u,
                             "", "ALUNO;3;Cortado", u, "", u, TXT("ALUNO;x;Número mau"), u, "",
                             "ALUNO;4;Bom", u, "", "lixo no fim"});
  Cenario c;
  c.copiaExemplos();
  for (const std::string& copia : {est + ".bak", est + ".bak.1"}) {
    c.escreve(est, mau);
    const std::string saida = c.executa("12\n3\n2001\nNovo\n4\n9\n9\n").saida;
    std::string erros;
    for (int n : {4, 5, 10, 11, 12, 17}) erros += erroLinha(n, est);
    EXPECT_TRUE(contem(saida, TXT("O número de Estudantes carregados é 4\n") + erros + "\n"))
        << saida;
    EXPECT_TRUE(contem(saida, copiado(copia) + gravadas(est))) << saida;
    EXPECT_EQ(c.le(copia), mau);
  }
  EXPECT_EQ(c.le(est + ".bak"), mau);
}

// Export cells that a spreadsheet would run as formulas start with an apostrophe.
TEST(Seguranca, FormulasNaExportacao) {
  Cenario c;
  c.escreve("5-UC.txt", crlf({"CURSO;5;Curso", "1;=1+1;1;1;6"}));
  c.escreve("5-Estudantes.txt", crlf({"ALUNO;1;=HYPERLINK(\"x\")", "1;=1+1;1;1;6", "",
                                      "ALUNO;2;@Ana", "1;=1+1;1;1;6", "", "ALUNO;3;-Rui", ""}));
  ASSERT_EQ(c.executa("", {"--exportar", "5"}).estado, 0);
  const std::string pauta = c.le("5-Pauta.csv");
  EXPECT_TRUE(contem(pauta, "\r\n1;\"'=HYPERLINK(\"\"x\"\")\";1;'=1+1;1;1;6;;")) << pauta;
  EXPECT_TRUE(contem(pauta, "\r\n2;'@Ana;1;'=1+1;")) << pauta;
  EXPECT_TRUE(contem(c.le("5-Estatisticas.csv"), "\r\n1;'=1+1;6;2;0;;"));
}
