// The causes the platform's callers decide by, each made to happen through the seam of the write
// steps: a name taken meanwhile, a file system without hard links or without locks, a history to
// be created, a lock that cannot be created; and the one table of words for the causes.
#include <set>

#include "Apoio.h"
#include "BloqueioCurso.h"
#include "Cp1252.h"
#include "FalhasEscrita.h"
#include "Ficheiros.h"

namespace {

std::string erro(const Estado& e) { return e.ok() ? "" : textoFalha(e); }

// The files of the folder but the private temporary ones.
bool semTemporarios(const Mapa& ficheiros) {
  for (const auto& [nome, conteudo] : ficheiros) {
    if (nome.find(".tmp.") != Texto::npos) return false;
  }
  return true;
}

}  // namespace

// Every cause has its own words, from one table; the cause the system names by number alone says
// its number; a failure reads "NAME: REASON" and the message of a failed save names both files.
TEST(Escritas, PalavrasDeCadaCausa) {
  std::set<std::string> textos;
  const Causa causas[] = {Causa::semPermissao, Causa::discoCheio,      Causa::pasta,
                          Causa::ligacao,      Causa::naoNormal,       Causa::naoExiste,
                          Causa::jaExiste,     Causa::soLeitura,       Causa::nomeLongo,
                          Causa::ocupado,      Causa::demasiadoGrande, Causa::historicoInvalido,
                          Causa::entradaSaida, Causa::semTrancas};
  for (const Causa c : causas) {
    const Estado e(c, "f");
    EXPECT_FALSE(e.ok());
    EXPECT_TRUE(textos.insert(textoCausa(e)).second) << textoCausa(e);
  }
  EXPECT_EQ(textoCausa(Estado(Causa::outra, "f", 95)), "erro 95");
  EXPECT_EQ(textoFalha(Estado(Causa::semPermissao, "12-Pauta.csv")),
            TXT("12-Pauta.csv: sem permissão"));
  EXPECT_EQ(textoErroGravacao("12-Estudantes.txt", Estado(Causa::pasta, "12-Historico.txt")),
            TXT("ERRO: Não foi possivel gravar o ficheiro 12-Estudantes.txt (12-Historico.txt: é "
                "uma pasta)"));
  EXPECT_TRUE(Estado().ok());
  EXPECT_TRUE(Estado(Causa::nenhuma, "f").ok());
  EXPECT_EQ(Estado(Causa::ocupado, "a").sobre("b").nome(), "b");
  EXPECT_EQ(Estado().sobre("b").nome(), "");
}

// A private temporary name taken by another process between the choice and the creation: another
// name is tried. Any other cause fails, naming the file being written.
TEST(Escritas, NomeTemporarioTomado) {
  PastaTemporaria p;
  GravadorEscritas g;
  int criacoes = 0;
  g.recusa = [&](PassoEscrita passo, const Texto&, const Texto&) {
    return passo == PassoEscrita::criacao && criacoes++ == 0;
  };
  g.causaRecusa = Causa::jaExiste;
  EXPECT_EQ(erro(substituiFicheiro("f", "novo")), "");
  EXPECT_EQ(p.c.le("f"), "novo");
  EXPECT_EQ(criacoes, 2);
  criacoes = 0;
  g.causaRecusa = Causa::semPermissao;
  EXPECT_EQ(erro(substituiFicheiro("f", "outro")), TXT("f: sem permissão"));
  EXPECT_EQ(p.c.le("f"), "novo");
}

// A new numbered file: a name taken between the check and the link is passed over for the next;
// a file system without hard links gets the file moved under the free name instead; when neither
// can be done the failure names the file, and no temporary file is left.
TEST(Escritas, FicheiroNovoSemNomeLivre) {
  PastaTemporaria p;
  std::string escrito;
  {
    GravadorEscritas g;
    g.recusa = [](PassoEscrita passo, const Texto&, const Texto& para) {
      return passo == PassoEscrita::ligacao && para == "x.bak";
    };
    g.causaRecusa = Causa::jaExiste;
    EXPECT_EQ(erro(gravaFicheiroNovo("x.bak", "um", "", &escrito)), "");
    EXPECT_EQ(escrito, "x.bak.1");
  }
  {
    GravadorEscritas g;
    g.recusa = [](PassoEscrita passo, const Texto&, const Texto&) {
      return passo == PassoEscrita::ligacao;
    };
    g.causaRecusa = Causa::outra;
    EXPECT_EQ(erro(gravaFicheiroNovo("y.bak", "dois", "", &escrito)), "");
    EXPECT_EQ(escrito, "y.bak");
    EXPECT_EQ(semAleatorio(g.passos.back()), "descargaPasta .");
    EXPECT_EQ(semAleatorio(g.passos[g.passos.size() - 2]), "renomeacao y.bak.tmp.* y.bak");
  }
  {
    GravadorEscritas g;
    g.recusa = [](PassoEscrita passo, const Texto&, const Texto&) {
      return passo == PassoEscrita::ligacao || passo == PassoEscrita::renomeacao;
    };
    g.causaRecusa = Causa::discoCheio;
    EXPECT_EQ(erro(gravaFicheiroNovo("z.bak", "tres", "", &escrito)), "z.bak: disco cheio");
  }
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{"x.bak.1", "um"}, {"y.bak", "dois"}}));
}

// The course's section on a file system without locks lets the save go on without it; a lock
// that fails otherwise fails the save, naming the companion.
TEST(Escritas, SeccaoSemTrancas) {
  PastaTemporaria p;
  GravadorEscritas g;
  g.recusa = [](PassoEscrita passo, const Texto&, const Texto&) {
    return passo == PassoEscrita::tranca;
  };
  g.causaRecusa = Causa::semTrancas;
  Listacurso k = carregaCurso(ficheiroValido);
  EXPECT_EQ(gravaCurso(k), gravouBem);
  EXPECT_EQ(p.c.le(ficheiroEstudantes), ficheiroValido);
  g.causaRecusa = Causa::ocupado;
  EXPECT_EQ(gravaCurso(k), falhouGravar(ficheiroEstudantes + ".seccao: ocupado"));
  SeccaoCurso seccao;
  EXPECT_EQ(erro(seccao.entra("c")), "c.seccao: ocupado");
  g.causaRecusa = Causa::semTrancas;
  EXPECT_EQ(erro(seccao.entra("c")), "");
}

// A file that only grows: created whole with its first line (a private temporary file linked to
// the name), opened as it is when there; an append that fails says which file and why; a last piece
// cut off; a folder, a symbolic link and a second name of a file (a hard link) refused.
TEST(Escritas, FicheiroAcrescentado) {
  PastaTemporaria p;
  {
    GravadorEscritas g;
    FicheiroAcrescentado h;
    EXPECT_EQ(erro(h.abre("h")), TXT("h: não existe"));
    EXPECT_EQ(erro(h.cria("h", "CABECALHO\r\n")), "");
    EXPECT_EQ(h.tamanho(), 11u);
    EXPECT_EQ(erro(h.acrescenta("linha\r\n")), "");
    EXPECT_EQ(g.passos, (std::vector<Texto>{"criacao h.tmp.*", "escrita h.tmp.*",
                                            "descarga h.tmp.*", "ligacao h.tmp.* h",
                                            "remocao h.tmp.*", "descargaPasta .", "escrita h"}));
  }
  EXPECT_EQ(p.c.le("h"), "CABECALHO\r\nlinha\r\n");
  p.c.escreve("h", "CABECALHO\r\nvelha\r\nmeia");
  {
    GravadorEscritas g;
    FicheiroAcrescentado h;
    EXPECT_EQ(erro(h.cria("h", "OUTRO\r\n")), "");  // taken: the one there is opened
    std::string lido;
    EXPECT_EQ(erro(h.le(11, 100, &lido)), "");
    EXPECT_EQ(lido, "velha\r\nmeia");
    EXPECT_EQ(erro(h.corta(18)), "");
    EXPECT_EQ(erro(h.acrescenta("nova\r\n")), "");
    EXPECT_EQ(p.c.le("h"), "CABECALHO\r\nvelha\r\nnova\r\n");
    EXPECT_EQ(h.tamanho(), 24u);
    g.recusa = [](PassoEscrita passo, const Texto&, const Texto&) {
      return passo == PassoEscrita::escrita;
    };
    g.causaRecusa = Causa::discoCheio;
    EXPECT_EQ(erro(h.acrescenta("mais\r\n")), "h: disco cheio");
  }
  fs::create_directory("pasta");
  fs::create_symlink("h", "ligacao");
  fs::create_hard_link("h", "outro-nome");
  FicheiroAcrescentado h;
  EXPECT_EQ(erro(h.abre("pasta")), TXT("pasta: é uma pasta"));
  EXPECT_EQ(erro(h.abre("ligacao")), TXT("ligacao: é uma ligação simbólica"));
  EXPECT_EQ(erro(h.abre("h")), TXT("h: é uma ligação física (tem mais de um nome)"));
  EXPECT_EQ(p.c.le("h"), "CABECALHO\r\nvelha\r\nnova\r\n");
}

// The course lock that cannot be created (a read-only folder): the session goes on without it;
// one that exists is someone else's.
TEST(Escritas, BloqueioImpossivel) {
  PastaTemporaria p;
  GravadorEscritas g;
  g.recusa = [](PassoEscrita passo, const Texto& nome, const Texto&) {
    return passo == PassoEscrita::criacao && nome.rfind("c.lock", 0) == 0;
  };
  g.causaRecusa = Causa::soLeitura;
  BloqueioCurso bloqueio;
  DonoBloqueio dono;
  Estado razao;
  EXPECT_EQ(bloqueio.adquire("c.lock", &dono, &razao), Bloqueio::impossivel);
  EXPECT_EQ(erro(razao), TXT("c.lock: sistema de ficheiros só de leitura"));
  EXPECT_FALSE(bloqueio.detido());
  EXPECT_TRUE(semTemporarios(p.c.ficheiros()));
  g.recusa = nullptr;
  p.c.escreve("c.lock", "1;outra;u;2026-01-01 00:00\r\n");
  EXPECT_EQ(criaFicheiroExclusivo("c.lock", "x").causa(), Causa::jaExiste);
  EXPECT_EQ(bloqueio.adquire("c.lock", &dono, &razao), Bloqueio::ocupado);
}
