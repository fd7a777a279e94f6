// The history as a save appends to it: a last line cut short cut off and recorded, a save left
// open closed by what the file holds, LF line ends followed, a file that is no history set aside
// under the first free name with a new one started, and what may not be appended to refused with
// its reason. Nothing complete is ever rewritten: what was there stays the start of the file.
#include <fstream>

#include "Apoio.h"
#include "EscritaHistorico.h"
#include "FalhasEscrita.h"
#include "LeituraHistorico.h"

using historico::Dano;
using historico::EscritaHistorico;
using historico::LinhaHistorico;

namespace {

const Texto hist = "12-Historico.txt";

LinhaHistorico quem() {
  const DonoBloqueio eu = esteProcesso();
  LinhaHistorico l;
  l.data = "2026-12-07T14:03:27+00:00";
  l.utilizador = eu.utilizador;
  l.maquina = eu.maquina;
  return l;
}

LinhaHistorico valor(const Texto& numero) {
  LinhaHistorico l;
  l.numero = numero;
  l.uc = "21002";
  l.campo = "pesoA";
  l.antes = "3";
  l.depois = "2";
  return l;
}

IdentidadeFicheiro identidade(std::uint64_t tamanho, std::uint64_t hash) {
  IdentidadeFicheiro i;
  i.existe = true;
  i.tamanho = tamanho;
  i.hash = hash;
  return i;
}

struct Gravada {
  Estado erro;
  Dano dano = Dano::nenhum;
  Texto posto;
};

// One save of student `numero` through a new writer: prepared against the file `atual`, its
// lines with the identities `antes` and `depois`, concluded when `feita`, voided otherwise.
Gravada grava(const Texto& numero, const IdentidadeFicheiro& atual, bool feita = true) {
  Gravada g;
  EscritaHistorico h(hist, ficheiroEstudantes, quem());
  g.erro = h.prepara(atual, "dialogo", &g.dano, &g.posto);
  if (!g.erro.ok()) return g;
  g.erro = h.comeca("dialogo");
  if (g.erro.ok()) g.erro = h.escreve(valor(numero));
  if (g.erro.ok()) g.erro = h.identifica(atual, identidade(7, 7));
  if (!g.erro.ok()) return g;
  if (feita) {
    h.conclui();
  } else {
    h.anula();
  }
  return g;
}

// A save that only prepares (a save that changes nothing) against `atual`.
Gravada prepara(const IdentidadeFicheiro& atual) {
  Gravada g;
  EscritaHistorico h(hist, ficheiroEstudantes, quem());
  g.erro = h.prepara(atual, "dialogo", &g.dano, &g.posto);
  return g;
}

historico::ResultadoVerificacao verifica(const Texto& conteudo) {
  historico::LeitorHistorico leitor(conteudo);
  return historico::verifica(leitor);
}

}  // namespace

// Saves appended one after another: each stands, the chain checks, and the file only grows.
TEST(EscritaHistorico, GravacoesSeguidas) {
  PastaTemporaria p;
  EXPECT_TRUE(grava("1", identidade(1, 1)).erro.ok());
  const Texto uma = p.c.le(hist);
  EXPECT_EQ(uma.rfind(historico::inicioFicheiro, 0), 0u);
  EXPECT_TRUE(grava("2", identidade(7, 7), false).erro.ok());
  EXPECT_TRUE(grava("3", identidade(7, 7)).erro.ok());
  const Texto tres = p.c.le(hist);
  EXPECT_EQ(tres.rfind(uma, 0), 0u);
  EXPECT_EQ(historicoLegivel(tres), "dialogo;1;21002;pesoA;3;2\ndialogo;3;21002;pesoA;3;2\n");
  EXPECT_EQ(verifica(tres).anuladas, 1);
  EXPECT_TRUE(prepara(identidade(7, 7)).erro.ok());  // nothing left open: nothing written
  EXPECT_EQ(p.c.le(hist), tres);
}

// A save left open with its identities is closed by the next writer: "concluida" when the file
// holds its DEPOIS, "anulada" when it does not; one left without them is voided; one whose last
// line was cut short is cut back to its last whole line, the repair recorded.
TEST(EscritaHistorico, FechaOQueFicouAberto) {
  const auto aberta = [](bool identificada) {
    LinhaHistorico comum = quem();
    comum.origem = "dialogo";
    historico::EscritorLinhas e(comum, historico::verificacaoInicial);
    Texto texto = historico::inicioFicheiro;
    e.escreveMarca(historico::Marca::inicio, "", "", texto);
    e.escreve(valor("1"), texto);
    if (identificada) {
      e.escreveMarca(historico::Marca::identidade, "-",
                     historico::textoIdentidade(identidade(7, 7)), texto);
    }
    return texto;
  };
  const struct {
    Texto antes;
    IdentidadeFicheiro atual;
    Texto legivel;
    long anuladas, reparadas;
  } casos[] = {
      {aberta(true), identidade(7, 7), "dialogo;1;21002;pesoA;3;2\n", 0, 0},
      {aberta(true), identidade(8, 8), "", 1, 0},
      {aberta(false), identidade(7, 7), "", 1, 0},
      {aberta(true) + "2026-12-07T14:03:28+00:00;", identidade(7, 7), "dialogo;1;21002;pesoA;3;2\n",
       0, 1},
      {aberta(true) + "\r", identidade(8, 8), "", 1, 1},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.antes);
    PastaTemporaria p;
    p.c.escreve(hist, caso.antes);
    const Gravada g = prepara(caso.atual);
    EXPECT_TRUE(g.erro.ok()) << textoFalha(g.erro);
    EXPECT_EQ(g.dano, Dano::nenhum);
    const Texto depois = p.c.le(hist);
    const Texto inteiro = caso.antes.substr(0, caso.antes.rfind('\n') + 1);
    EXPECT_EQ(depois.rfind(inteiro, 0), 0u);  // the whole lines stay, as they were
    // The next save's reading, without the files: the closing is written.
    EXPECT_EQ(historicoLegivel(depois), caso.legivel);
    const historico::ResultadoVerificacao v = verifica(depois);
    EXPECT_EQ(v.estado, historico::EstadoVerificacao::valido);
    EXPECT_EQ(v.anuladas, caso.anuladas);
    EXPECT_EQ(v.reparadas, caso.reparadas);
  }
}

// A history whose line ends an editor made LF: read, checked, and appended to with LF.
TEST(EscritaHistorico, FinsDeLinhaLf) {
  PastaTemporaria p;
  EXPECT_TRUE(grava("1", identidade(1, 1)).erro.ok());
  Texto lf = p.c.le(hist);
  for (size_t i = 0; (i = lf.find("\r\n", i)) != Texto::npos;) lf.erase(i, 1);
  p.c.escreve(hist, lf);
  EXPECT_TRUE(grava("2", identidade(7, 7)).erro.ok());
  const Texto depois = p.c.le(hist);
  EXPECT_EQ(depois.rfind(lf, 0), 0u);
  EXPECT_EQ(depois.find('\r'), Texto::npos);
  EXPECT_EQ(historicoLegivel(depois), "dialogo;1;21002;pesoA;3;2\ndialogo;2;21002;pesoA;3;2\n");
}

// A file that is no history (a wrong first line, a whole last line that cannot be read) is set
// aside unchanged under the first free name NAME.danificado[.N] and a new history starts; nothing
// but a piece of the header is written anew.
TEST(EscritaHistorico, DanificadoPostoDeParte) {
  PastaTemporaria p;
  p.c.escreve(hist + ".danificado", "ocupado");
  const struct {
    Texto conteudo;
    Dano dano;
  } casos[] = {
      {"NOTAS\r\n1;2;3\r\n", Dano::cabecalho},
      {Texto(historico::inicioFicheiro) + "linha;estragada\r\n", Dano::ultimaLinha},
  };
  int n = 1;
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.conteudo);
    p.c.escreve(hist, caso.conteudo);
    const Gravada g = grava("1", identidade(1, 1));
    EXPECT_TRUE(g.erro.ok()) << textoFalha(g.erro);
    EXPECT_EQ(g.dano, caso.dano);
    const Texto posto = hist + ".danificado." + std::to_string(n++);
    EXPECT_EQ(g.posto, posto);
    EXPECT_EQ(p.c.le(posto), caso.conteudo);
    EXPECT_EQ(historicoLegivel(p.c.le(hist)), "dialogo;1;21002;pesoA;3;2\n");
  }
  EXPECT_EQ(p.c.le(hist + ".danificado"), "ocupado");
  p.c.escreve(hist, "HISTO");
  const Gravada g = grava("2", identidade(1, 1));
  EXPECT_EQ(g.dano, Dano::nenhum);
  EXPECT_EQ(p.c.le(hist).rfind(historico::inicioFicheiro, 0), 0u);
  EXPECT_EQ(historicoLegivel(p.c.le(hist)), "dialogo;2;21002;pesoA;3;2\n");
  EXPECT_EQ(verifica(p.c.le(hist)).reparadas, 1);
}

// What may not be appended to fails the save's lines with its reason, and is left as it was: a
// second name of the file (a hard link that may lie outside the folder), a symbolic link, a
// folder. A save without lines is not failed by it.
TEST(EscritaHistorico, RecusadosComARazao) {
  PastaTemporaria p;
  fs::create_directory("fora");
  p.c.escreve("fora/alvo", historico::inicioFicheiro);
  const struct {
    std::function<void()> cria;
    Texto razao;
  } casos[] = {
      {[] { fs::create_hard_link("fora/alvo", hist); },
       TXT("é uma ligação física (tem mais de um nome)")},
      {[] { fs::create_symlink("fora/alvo", hist); }, TXT("é uma ligação simbólica")},
      {[] { fs::create_directory(hist); }, TXT("é uma pasta")},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.razao);
    caso.cria();
    EXPECT_TRUE(prepara(identidade(1, 1)).erro.ok());
    EXPECT_EQ(textoFalha(grava("1", identidade(1, 1)).erro), hist + ": " + caso.razao);
    EXPECT_EQ(p.c.le("fora/alvo"), historico::inicioFicheiro);
    fs::remove(hist);
  }
}
