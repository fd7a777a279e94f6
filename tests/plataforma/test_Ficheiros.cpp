// The platform module and the course lock on real files in a scratch folder: links, FIFOs,
// leftovers, series of new files, identities.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Apoio.h"
#include "BloqueioCurso.h"
#include "Cp1252.h"
#include "FalhasEscrita.h"
#include "Ficheiros.h"

namespace {

// Pieces out of one text.
Pedacos pedaco(const std::string& texto) {
  return [texto, feito = false](std::string_view& v) mutable {
    if (feito) return false;
    feito = true;
    v = texto;
    return true;
  };
}

// The files of `m` but the private temporary files.
Mapa semTemporarios(Mapa m) {
  for (auto i = m.begin(); i != m.end();)
    i = i->first.find(".tmp.") != Texto::npos ? m.erase(i) : ++i;
  return m;
}

struct Lido {
  Causa causa;
  std::string conteudo, razao;
  IdentidadeFicheiro identidade;
};

Lido lido(const std::string& nome) {
  Lido l;
  const Estado e = leFicheiroNormal(nome, &l.conteudo, &l.identidade);
  l.causa = e.causa();
  l.razao = textoCausa(e);
  return l;
}

// What a failure says after the file's name: "" on success, "NAME: REASON" otherwise.
std::string erro(const Estado& e) { return e.ok() ? "" : textoFalha(e); }

}  // namespace

// Only regular files are read or listed (a link to one counts); the rest answers why, at once.
TEST(Plataforma, SoFicheirosNormais) {
  PastaTemporaria p;
  p.c.escreve("normal", "abc\r\n");
  fs::create_symlink("normal", "ligacao");
  fs::create_symlink("nada", "partida");
  fs::create_directory("pasta");
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  EXPECT_EQ(lido("normal").conteudo, "abc\r\n");
  EXPECT_EQ(lido("ligacao").causa, Causa::nenhuma);
  EXPECT_EQ(lido("inexistente").causa, Causa::naoExiste);
  EXPECT_EQ(lido("partida").causa, Causa::naoExiste);
  for (const auto& [nome, razao] :
       std::map<std::string, std::string>{{"pasta", TXT("é uma pasta")},
                                          {"fifo", TXT("não é um ficheiro normal")},
                                          {"/dev/zero", TXT("não é um ficheiro normal")}}) {
    const Lido l = lido(nome);
    EXPECT_TRUE(l.causa != Causa::naoExiste && l.razao == razao) << nome << ": " << l.razao;
  }
  auto nomes = listaFicheirosNormais(".");
  std::sort(nomes.begin(), nomes.end());
  EXPECT_EQ(nomes, (std::vector<std::string>{"ligacao", "normal"}));
}

// Identities: same bytes, same identity; any change of content, a different one; the identity of
// a replacement is that of the file as read afterwards.
TEST(Plataforma, Identidades) {
  PastaTemporaria p;
  p.c.escreve("a", TXT("conteúdo"));
  p.c.escreve("b", TXT("conteúdo"));
  const IdentidadeFicheiro a = lido("a").identidade, nenhum = lido("c").identidade;
  EXPECT_TRUE(mesmoConteudo(a, lido("b").identidade));
  EXPECT_TRUE(mesmoConteudo(nenhum, IdentidadeFicheiro()));
  EXPECT_FALSE(mesmoConteudo(a, nenhum));
  p.c.escreve("b", TXT("conteúdO"));
  EXPECT_FALSE(mesmoConteudo(a, lido("b").identidade));
  IdentidadeFicheiro escrito;
  const std::vector<std::string> partes = {"um ", "dois ", TXT("três")};
  size_t i = 0;
  ASSERT_TRUE(
      substituiFicheiro(
          "a",
          [&](std::string_view& parte) { return i < partes.size() && (parte = partes[i++], true); },
          &escrito)
          .ok());
  EXPECT_EQ(p.c.le("a"), TXT("um dois três"));
  EXPECT_TRUE(mesmoConteudo(escrito, lido("a").identidade));
  // Read block by block (of any size) or only identified, a file has the same identity.
  p.c.escreve("grande", std::string(200000, 'x') + "fim");
  for (const char* nome : {"a", "grande", "c", "."}) {
    IdentidadeFicheiro so;
    const Lido inteiro = lido(nome);
    EXPECT_EQ(identificaFicheiro(nome, &so).causa(), inteiro.causa) << nome;
    EXPECT_TRUE(mesmoConteudo(so, inteiro.identidade)) << nome;
    LeituraPorBlocos blocos;
    if (!blocos.abre(nome).ok()) continue;
    char bloco[7];
    size_t n = 0;
    std::string lidos;
    do {
      ASSERT_TRUE(blocos.le(bloco, sizeof bloco, &n).ok());
      lidos.append(bloco, n);
    } while (n > 0);
    EXPECT_EQ(lidos, inteiro.conteudo);
    EXPECT_TRUE(mesmoConteudo(blocos.identidade(), inteiro.identidade)) << nome;
    EXPECT_EQ(blocos.identidade().modificacao, inteiro.identidade.modificacao);
  }
}

// Replacement through a private temporary file: a leftover of a dead process of this machine is
// removed; anything else at a temporary-like name (a live process's file, an old ".tmp", a link, a
// FIFO) is left alone and does not stop the save; a link at an output is refused, a link to the
// student file keeps being a link.
TEST(Plataforma, SubstituicaoSegura) {
  PastaTemporaria p;
  p.c.escreve("f", "velho");
  const pid_t filho = fork();
  if (filho == 0) _exit(0);
  waitpid(filho, nullptr, 0);  // a process id that no longer runs
  const std::string morto = nomeTemporario("f", filho);
  const std::string vivo = nomeTemporario("f", getppid());
  p.c.escreve(morto, TXT("restos de uma gravação morta"));
  p.c.escreve(vivo, TXT("de uma gravação que corre"));
  p.c.escreve("f.tmp", "antigo");
  p.c.escreve("alvo", "intacto");
  fs::create_symlink("alvo", nomeTemporario("f", 999999999));
  ASSERT_EQ(mkfifo(nomeTemporario("f", filho).c_str(), 0600), 0);
  const auto antes = p.c.ficheiros();
  EXPECT_EQ(erro(substituiFicheiro("f", "novo")), "");
  auto esperado = antes;
  esperado.erase(morto);
  esperado["f"] = "novo";
  EXPECT_EQ(p.c.ficheiros(), esperado);
  fs::create_symlink("alvo", "ligado");
  EXPECT_EQ(erro(substituiFicheiro("ligado", "outro")), TXT("ligado: é uma ligação simbólica"));
  EXPECT_EQ(erro(substituiFicheiro("ligado", "pelo alvo", Alvo::seguirLigacao)), "");
  EXPECT_TRUE(fs::is_symlink("ligado"));
  EXPECT_EQ(p.c.le("alvo"), "pelo alvo");
  EXPECT_EQ(erro(substituiFicheiro("ligado", "nome", Alvo::substituirNome)), "");
  EXPECT_FALSE(fs::is_symlink("ligado"));
  EXPECT_EQ(p.c.le("alvo"), "pelo alvo");
  EXPECT_EQ(p.c.le("ligado"), "nome");
  fs::create_directory("pasta");
  EXPECT_EQ(erro(substituiFicheiro("pasta", "x")), TXT("pasta: é uma pasta"));
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  EXPECT_EQ(erro(substituiFicheiro("fifo", "x")), TXT("fifo: não é um ficheiro normal"));
}

// Several files all or nothing: if one cannot be written, none changes.
TEST(Plataforma, SubstituicaoConjunta) {
  PastaTemporaria p;
  std::string qual;
  p.c.escreve("a", "a velho");
  p.c.escreve("b", "b velho");
  {
    const LimiteTamanho limite(100);
    EXPECT_EQ(erro(substituiFicheiros(
                  {{"a", pedaco("a novo")}, {"b", pedaco(std::string(200, 'b'))}}, &qual)),
              "b: ficheiro demasiado grande");
  }
  EXPECT_EQ(qual, "b");
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{"a", "a velho"}, {"b", "b velho"}}));
  {  // the second rename alone fails: the first file, already replaced, is put back
    GravadorEscritas g;
    g.recusa = [](PassoEscrita passo, const Texto&, const Texto& para) {
      return passo == PassoEscrita::renomeacao && para == "b";
    };
    EXPECT_EQ(erro(substituiFicheiros({{"a", pedaco("a novo")}, {"b", pedaco("b novo")}}, &qual)),
              TXT("b: erro de entrada/saída"));
  }
  EXPECT_EQ(qual, "b");
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{"a", "a velho"}, {"b", "b velho"}}));
  fs::create_symlink("a", "c");
  EXPECT_EQ(erro(substituiFicheiros({{"a", pedaco("a novo")}, {"c", pedaco("c")}}, &qual)),
            TXT("c: é uma ligação simbólica"));
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{"a", "a velho"}, {"b", "b velho"}, {"c", "a velho"}}));
  EXPECT_EQ(erro(substituiFicheiros({{"a", pedaco("a novo")}, {"b", pedaco("b novo")}}, &qual)),
            "");
  EXPECT_EQ(p.c.le("a"), "a novo");
  EXPECT_EQ(p.c.le("b"), "b novo");
}

// Power cuts, as the fault-injecting watcher of the writes makes them: at every step of a
// replacement, a series of new files and a joint replacement, each file holds its old or its new
// content, whole, and once they have answered, the new one. Each file is flushed before it is
// renamed or linked into place, its folder after.
TEST(Plataforma, QuedasDeEnergia) {
  PastaTemporaria p;
  const Mapa velho = {{"a", "a velho"}, {"b", "b velho"}, {"f", "velho"}};
  for (const auto& [nome, conteudo] : velho) p.c.escreve(nome, conteudo);
  const Mapa novo = {{"a", "a novo"}, {"b", "b novo"}, {"f", "novo"}, {"f.bak", "copia"}};
  std::string escrito, qual;
  GravadorEscritas g;
  ASSERT_EQ(erro(substituiFicheiro("f", "novo")), "");
  EXPECT_EQ(g.passos, (std::vector<Texto>{"criacao f.tmp.*", "escrita f.tmp.*", "descarga f.tmp.*",
                                          "renomeacao f.tmp.* f", "descargaPasta ."}));
  g.passos.clear();
  ASSERT_EQ(erro(gravaFicheiroNovo("f.bak", "copia", "f", &escrito)), "");
  EXPECT_EQ(g.passos, (std::vector<Texto>{"criacao f.bak.tmp.*", "escrita f.bak.tmp.*",
                                          "descarga f.bak.tmp.*", "ligacao f.bak.tmp.* f.bak",
                                          "remocao f.bak.tmp.*", "descargaPasta ."}));
  g.passos.clear();
  ASSERT_EQ(erro(substituiFicheiros({{"a", pedaco("a novo")}, {"b", pedaco("b novo")}}, &qual)),
            "");
  EXPECT_EQ(std::vector<Texto>(g.passos.begin(), g.passos.begin() + 6),
            (std::vector<Texto>{"criacao a.tmp.*", "escrita a.tmp.*", "descarga a.tmp.*",
                                "criacao b.tmp.*", "escrita b.tmp.*", "descarga b.tmp.*"}));
  for (const Mapa& queda : g.quedas) {
    for (const auto& [nome, conteudo] : semTemporarios(queda)) {
      EXPECT_TRUE(conteudo == novo.at(nome) || (velho.count(nome) && conteudo == velho.at(nome)))
          << nome << ": " << conteudo;
    }
  }
  g.simulaQueda();
  EXPECT_EQ(semTemporarios(p.c.ficheiros()), novo);
}

// A link to a file on another file system, where no rename from beside the link can reach: the
// temporary file is made beside the target, the target replaced, the link kept.
TEST(Plataforma, LigacaoParaOutroSistemaDeFicheiros) {
  PastaTemporaria p;
  struct stat aqui = {}, memoria = {};
  if (stat(".", &aqui) != 0 || stat("/dev/shm", &memoria) != 0 || aqui.st_dev == memoria.st_dev) {
    GTEST_SKIP() << "/dev/shm is not another file system here";
  }
  const std::string alvo = "/dev/shm/pauta-teste-" + std::to_string(getpid());
  struct Remove {
    std::string nome;
    ~Remove() { fs::remove(nome); }
  } remove{alvo};
  std::ofstream(alvo, std::ios::binary) << "velho";
  if (!fs::exists(alvo)) GTEST_SKIP() << "/dev/shm cannot be written";
  fs::create_symlink(alvo, "ligado");
  EXPECT_EQ(erro(substituiFicheiro("ligado", "novo", Alvo::seguirLigacao)), "");
  EXPECT_TRUE(fs::is_symlink("ligado"));
  EXPECT_EQ(p.c.le("ligado"), "novo");
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{"ligado", "novo"}}));
}

// The new reasons in words.
TEST(Plataforma, RazoesEmPalavras) {
  PastaTemporaria p;
  EXPECT_EQ(erro(substituiFicheiro(std::string(300, 'n'), "x")),
            std::string(300, 'n') + ": nome demasiado longo");
  EXPECT_EQ(erro(substituiFicheiro("nao/existe", "x")), TXT("nao/existe: não existe"));
  std::string lido;
  EXPECT_EQ(leFicheiroCurto("nada", 4096, &lido).causa(), Causa::naoExiste);
  p.c.escreve("vazio", "");
  EXPECT_EQ(leFicheiroCurto("vazio", 4096, &lido).causa(), Causa::naoNormal);
  p.c.escreve("longo", std::string(4097, 'x'));
  EXPECT_EQ(leFicheiroCurto("longo", 4096, &lido).causa(), Causa::demasiadoGrande);
  p.c.escreve("curto", std::string(4096, 'x'));
  EXPECT_TRUE(leFicheiroCurto("curto", 4096, &lido).ok());
  EXPECT_EQ(lido.size(), 4096u);
  fs::create_symlink("curto", "ligacao");
  EXPECT_EQ(leFicheiroCurto("ligacao", 4096, &lido).causa(), Causa::ligacao);
}

// New files never replace anything, not even a link: the first free name of the series is used.
TEST(Plataforma, FicheirosNovosNumerados) {
  PastaTemporaria p;
  std::string escrito;
  p.c.escreve("modelo", "m");
  chmod("modelo", 0640);
  p.c.escreve("alvo", "intacto");
  fs::create_symlink("alvo", "x.bak");
  for (const char* esperado : {"x.bak.1", "x.bak.2"}) {
    EXPECT_EQ(erro(gravaFicheiroNovo("x.bak", esperado, "modelo", &escrito)), "");
    EXPECT_EQ(escrito, esperado);
    EXPECT_EQ(p.c.le(esperado), std::string(esperado));
    struct stat info = {};
    stat(esperado, &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
  }
  EXPECT_EQ(p.c.le("alvo"), "intacto");
  for (const auto& e : fs::directory_iterator(".")) {
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
  }
}

// The lock: created once, never through a link; its line read back field by field, '?' for what
// is missing; a second handle of this process finds it taken by this process; released when
// its handle goes, and only while it names this process.
TEST(Plataforma, BloqueioDoCurso) {
  PastaTemporaria p;
  Estado razao;
  DonoBloqueio dono;
  {
    BloqueioCurso bloqueio;
    EXPECT_EQ(bloqueio.adquire("c.lock", &dono, &razao), Bloqueio::obtido);
    const DonoBloqueio eu = leLinhaBloqueio(p.c.le("c.lock"));
    EXPECT_EQ(eu.processo, std::to_string(getpid()));
    EXPECT_EQ(eu.maquina, nomeMaquina());
    EXPECT_EQ(p.c.le("c.lock"), linhaBloqueio(eu) + "\r\n");
    {
      BloqueioCurso segundo;
      EXPECT_EQ(segundo.adquire("c.lock", &dono, &razao), Bloqueio::ocupado);
      EXPECT_EQ(linhaBloqueio(dono), linhaBloqueio(eu));
      EXPECT_FALSE(segundo.detido());
    }
    EXPECT_EQ(p.c.le("c.lock"), linhaBloqueio(eu) + "\r\n");  // the refused one removes nothing
  }
  EXPECT_FALSE(fs::exists("c.lock"));

  // While held, the clean-up of every way out (a signal's) releases it.
  {
    BloqueioCurso bloqueio;
    EXPECT_EQ(bloqueio.adquire("c.lock", &dono, &razao), Bloqueio::obtido);
    limpezaFinal();
    EXPECT_FALSE(fs::exists("c.lock"));
  }

  fs::create_symlink("alvo", "l.lock");
  EXPECT_EQ(criaFicheiroExclusivo("l.lock", "x").causa(), Causa::jaExiste);
  EXPECT_FALSE(fs::exists("alvo"));

  {
    BloqueioCurso bloqueio;
    EXPECT_EQ(bloqueio.adquire("c.lock", &dono, &razao), Bloqueio::obtido);
    p.c.escreve("c.lock", "1;outra;u;2026-01-01 00:00\r\n");  // taken over by someone else
  }
  EXPECT_EQ(p.c.le("c.lock"), "1;outra;u;2026-01-01 00:00\r\n");
  EXPECT_EQ(linhaBloqueio(leLinhaBloqueio("7;h")), "7;h;?;?");
  EXPECT_EQ(linhaBloqueio(leLinhaBloqueio(";;u;d;mais\r\nlixo")), "?;?;u;d");
  EXPECT_EQ(linhaBloqueio(leLinhaBloqueio("12a;h;u;d")), "?;h;u;d");

  // Another machine's lock: its process id says nothing here, even of no process running here.
  for (const std::string pid : {"1", "999999999"}) {
    const std::string outra = pid + ";outra-maquina;u;2026-01-01 00:00\r\n";
    p.c.escreve("o.lock", outra);
    BloqueioCurso bloqueio;
    EXPECT_EQ(bloqueio.adquire("o.lock", &dono, &razao), Bloqueio::ocupado) << pid;
    EXPECT_EQ(linhaBloqueio(dono), pid + ";outra-maquina;u;2026-01-01 00:00");
    EXPECT_EQ(p.c.le("o.lock"), outra);
  }
}
