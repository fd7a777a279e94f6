// A save interrupted at every one of its write steps: the dialogue's save, an import, a
// correction, a conflict save and a save that first mends a history (a last line cut short, a save
// left open), each stopped before each step (the numbered pause points of the test build) and
// ended there by SIGINT, SIGTERM, SIGHUP or SIGKILL, or by a power cut (the fault-injecting
// watcher of the writes, in this process). After each: the student file is the old one or the new
// one, whole;
// the history records exactly the save whose replacement happened and its chain checks; the
// process said what happened; a second process, started once the first is gone, enters the
// section without a wait (its wait would be told at once) and closes what the first left open.
#include <signal.h>

#include <fstream>
#include <sstream>

#include "Apoio.h"
#include "CarregaCurso.h"
#include "Correcao.h"
#include "Cp1252.h"
#include "FalhasEscrita.h"
#include "Importacao.h"
#include "ProcessoPausado.h"

namespace {

const Texto est = "12-Estudantes.txt", hist = "12-Historico.txt",
            ficheiroConflito = est + ".conflito";
const Texto interrompido =
    TXT("ATENÇÃO: O programa foi interrompido, as alterações não gravadas foram perdidas");
const Texto conflitoEm =
    TXT("foi alterado por outro programa depois de ser carregado; as alterações desta sessão foram "
        "gravadas em ");
const Texto outro = "ALUNO;3001;De outro programa\r\n\r\n";

bool contem(const Texto& texto, const Texto& parte) { return texto.find(parte) != Texto::npos; }

// The history of the scenario as historicoLegivel reads it ("" without one); with `resolvida` a
// save left open is asked of the files.
Texto legivel(const Cenario& c, bool resolvida) {
  if (!c.existe(hist)) return "";
  return resolvida ? historicoLegivel(c.le(hist), c.dir() / est) : historicoLegivel(c.le(hist));
}

bool haTemporarios(const fs::path& pasta) {
  for (const auto& e : fs::directory_iterator(pasta)) {
    if (contem(e.path().filename().string(), ".tmp.")) return true;
  }
  return false;
}

// The shared fields of a save of this user and machine made at `data`.
historico::LinhaHistorico comumDe(const Texto& data) {
  const DonoBloqueio eu = esteProcesso();
  return {data, eu.utilizador, eu.maquina, "dialogo", "", "", "", "", "", ""};
}

// A history holding one save of an earlier session, whole.
Texto historicoAnterior() {
  const historico::LinhaHistorico comum = comumDe("2026-12-01T10:00:00+00:00");
  historico::EscritorLinhas escritor(comum, historico::verificacaoInicial);
  Texto texto = historico::inicioFicheiro;
  escritor.escreveMarca(historico::Marca::inicio, "", "", texto);
  historico::LinhaHistorico valor = comum;
  valor.numero = "1001";
  valor.uc = "21002";
  valor.campo = "pesoA";
  valor.antes = "3";
  valor.depois = "2.5";
  escritor.escreve(valor, texto);
  escritor.escreveMarca(historico::Marca::identidade, "1:0000000000000000", "2:0000000000000000",
                        texto);
  escritor.escreveMarca(historico::Marca::concluida, "", "", texto);
  return texto;
}

// The same history, then a save left open with its identities (its file never written) and a
// line cut short: what a writer killed at the wrong moments leaves.
Texto historicoInterrompido() {
  Texto texto = historicoAnterior();
  const historico::LinhaHistorico comum = comumDe("2026-12-02T10:00:00+00:00");
  historico::LeitorHistorico leitor(texto);
  std::string_view linha;
  historico::LinhaHistorico ultima;
  while (leitor.proxima(linha)) historico::leLinha(linha, ultima);
  historico::EscritorLinhas escritor(comum, ultima.verificacao);
  escritor.escreveMarca(historico::Marca::inicio, "", "", texto);
  historico::LinhaHistorico valor = comum;
  valor.numero = "1002";
  valor.uc = "21002";
  valor.campo = "pesoB";
  valor.antes = "3";
  valor.depois = "1";
  escritor.escreve(valor, texto);
  escritor.escreveMarca(historico::Marca::identidade, "1:0000000000000000", "9:0000000000000000",
                        texto);
  return texto + "2026-12-02T10:00:01+00:00;rui;pc2;dialogo;1002;2100";
}

// One way of saving, as a run of the test build does it.
struct Gravacao {
  const char* nome;
  std::vector<std::string> args;  // empty: the dialogue
  Texto entrada;
  Texto historicoInicial;  // empty: none
  Texto legivelAntes;      // what it records, once a writer has mended it
  bool conflito;           // another program changes the file before the save
};

const Texto sessao = "12\n3\n2001\nA\n4\n9\n9\n";
const Texto gravacaoAnterior = "dialogo;1001;21002;pesoA;3;2.5\n";
const Gravacao gravacoes[] = {
    {"dialogo", {}, sessao, "", "", false},
    {"importacao", {"--importar", "12", "a.csv"}, "", historicoAnterior(), gravacaoAnterior, false},
    {"correcao", {"--corrigir", "12", "k.csv"}, "", historicoAnterior(), gravacaoAnterior, false},
    {"conflito", {}, sessao, "", "", true},
    {"historico-interrompido", {}, sessao, historicoInterrompido(), gravacaoAnterior, false},
};

// A step of a run, as the test build records it.
struct Passo {
  Texto ponto;   // "passo-N"
  Texto nome;    // "antes-STEP:FILE"
  bool retidos;  // the termination signals are held over it
};

void prepara(const Cenario& c, const Gravacao& g) {
  c.copiaExemplos();
  c.escreve("a.csv", crlf({TXT("Número;Nome"), "9001;Importado A"}));
  c.escreve("b.csv", crlf({TXT("Número;Nome"), "9002;Importado B"}));
  c.escreve("k.csv", crlf({TXT("Número;Código UC;pFolio/Exame"), "1001;21002;10"}));
  if (!g.historicoInicial.empty()) c.escreve(hist, g.historicoInicial);
}

// A run of `g` in `c` stopped at `ponto` (none: not stopped), once the conflict is made unless
// the point comes `antes` the save; `registo` names the file of its steps.
std::unique_ptr<ProcessoPausado> inicia(const Cenario& c, const Gravacao& g, const Texto& ponto,
                                        bool antes, const Texto& registo = "") {
  const bool conflito = g.conflito && !antes;
  Texto pontos = ponto;
  if (conflito) pontos = "gravacao-seccao" + (ponto.empty() ? "" : "," + ponto);
  std::vector<std::string> ambiente;
  if (!registo.empty()) ambiente.push_back("PAUTA_REGISTO_PASSOS=" + registo);
  auto p = std::make_unique<ProcessoPausado>(c, "p", g.entrada, g.args, pontos, ambiente);
  if (conflito) {
    EXPECT_TRUE(p->chegou("gravacao-seccao"));
    c.escreve(est, outro);
    p->liberta("gravacao-seccao");
  }
  return p;
}

// What a run of `g` left, not interrupted, and its steps.
struct Referencia {
  Texto estudantes, conflito, legivel;
  std::vector<Passo> passos;
  size_t primeiroDaGravacao = 0;  // the save's own first step (the lock's come before)
};

Referencia referencia(const Gravacao& g) {
  Cenario c;
  prepara(c, g);
  const Texto registo = (c.dir().parent_path() / "passos").string();
  inicia(c, g, "", false, registo)->fim();
  Referencia r;
  r.estudantes = c.le(est);
  r.conflito = c.le(ficheiroConflito);
  r.legivel = legivel(c, true);
  std::ifstream f(registo);
  int trancas = 0;
  for (Texto linha; std::getline(f, linha);) {
    std::istringstream campos(linha);
    Passo passo;
    Texto retidos;
    campos >> passo.ponto >> passo.nome >> retidos;
    passo.retidos = retidos == "retidos";
    if (contem(passo.nome, "antes-tranca:") && ++trancas == 2)
      r.primeiroDaGravacao = r.passos.size();
    r.passos.push_back(passo);
  }
  return r;
}

// What the history must say after the run of `g`: the lines before, and the save's when done.
Texto esperado(const Gravacao& g, const Referencia& r, bool feita) {
  return feita ? r.legivel : g.legivelAntes;
}

// The second process: an import started once the first is gone, its waits told at once and
// given up at once. It must find the section free and close what the first left open.
void segundoProcesso(const Cenario& c, const Texto& antes) {
  ProcessoPausado segundo(c, "s", "", {"--importar", "12", "b.csv"}, "", {"PAUTA_ESPERAS=0,0"});
  const Resultado r = segundo.fim();
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_FALSE(contem(r.erros, "a aguardar")) << r.erros;
  // Read without asking the files: the voiding and the closing are written, not inferred.
  EXPECT_EQ(legivel(c, false), antes + "importacao:b.csv;9002;;aluno;;Importado B\n");
  EXPECT_EQ(c.executa("", {"--historico", "12", "--verificar"}).estado, 0);
}

// The checks after a run ended at a step: file, history, check, message, leftovers.
void verificaDepois(const Cenario& c, const Gravacao& g, const Referencia& ref, const Resultado& r,
                    int sinal, bool antesDaGravacao) {
  const Texto agora = c.le(est);
  const bool conflito = g.conflito && !antesDaGravacao;
  const Texto antes = conflito ? outro : exemplo(est);
  ASSERT_TRUE(agora == antes || agora == ref.estudantes) << agora;
  const bool feita =
      conflito ? c.existe(ficheiroConflito) : agora == ref.estudantes && agora != antes;
  if (conflito) {
    EXPECT_EQ(agora, outro);
    if (feita) {
      EXPECT_EQ(c.le(ficheiroConflito), ref.conflito);
    }
  }
  // The history tells the same story as the files, and checks (but one that was cut short from
  // the start and that the process did not come to mend: the next writer mends it).
  const bool cortadoIntocado = c.le(hist) == g.historicoInicial && !g.historicoInicial.empty() &&
                               g.historicoInicial.back() != '\n';
  if (!cortadoIntocado) {
    EXPECT_EQ(legivel(c, true), esperado(g, ref, feita));
    EXPECT_EQ(c.executa("", {"--historico", "12", "--verificar"}).estado, 0);
  }
  if (sinal == SIGKILL) {
    EXPECT_EQ(r.estado, -1);
  } else {
    EXPECT_EQ(r.estado, 128 + sinal);
    EXPECT_FALSE(haTemporarios(c.dir()));
    EXPECT_FALSE(c.existe(est + ".lock"));
    if (g.args.empty()) {
      // The dialogue says what became of the changes; the modes end silently.
      const bool perdidas = !antesDaGravacao && !feita;
      EXPECT_EQ(contem(r.saida, interrompido), perdidas) << r.saida;
      if (feita && !conflito) {
        EXPECT_TRUE(contem(r.saida, gravadas(est))) << r.saida;
      }
      if (feita && conflito) {
        EXPECT_TRUE(
            contem(r.saida, "ERRO: O ficheiro " + est + " " + conflitoEm + ficheiroConflito + "\n"))
            << r.saida;
      }
      EXPECT_EQ(r.saida.substr(r.saida.size() - 10), "A sair ...");
    } else {
      EXPECT_EQ(r.erros, "");
    }
  }
  segundoProcesso(c, esperado(g, ref, feita));
}

}  // namespace

// Every step of every way of saving, ended by each signal.
TEST(Interrupcoes, SinalAntesDeCadaPasso) {
  for (const Gravacao& g : gravacoes) {
    SCOPED_TRACE(g.nome);
    const Referencia ref = referencia(g);
    ASSERT_GT(ref.passos.size(), ref.primeiroDaGravacao);
    ASSERT_GT(ref.primeiroDaGravacao, 0u);
    for (size_t i = 0; i < ref.passos.size(); ++i) {
      const Passo& passo = ref.passos[i];
      for (const int sinal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(passo.ponto + " " + passo.nome + " " + strsignal(sinal));
        Cenario c;
        prepara(c, g);
        const bool antes = i < ref.primeiroDaGravacao;
        auto p = inicia(c, g, passo.ponto, antes);
        ASSERT_TRUE(p->chegou(passo.ponto));
        kill(p->pid(), sinal);
        // Held over the step: the process goes on to it, then ends.
        if (passo.retidos && sinal != SIGKILL) p->liberta(passo.ponto);
        const Resultado r = p->fim();
        verificaDepois(c, g, ref, r, sinal, antes);
      }
    }
  }
}

namespace {

// Runs `g` in this process, in the current folder, under `gravador` (the dialogue's save through
// the course's own save, with the student the session adds; the import through its entry).
void gravaAqui(const Gravacao& g) {
  if (!g.args.empty()) {
    if (g.args[0] == "--corrigir") {
      EXPECT_EQ(executaCorrecao({12, "k.csv", "", false}), 0);
    } else {
      EXPECT_EQ(executaImportacao(12, "a.csv", false), 0);
    }
    return;
  }
  Listacurso unidades, estudantes;
  std::ostringstream mensagens;
  ASSERT_TRUE(carregaCursoSemDialogo(12, unidades, estudantes, mensagens)) << mensagens.str();
  ConsolaTeste novo("2001\nA\n");
  estudantes.userSetEstudante(novo.consola, unidades.getListaUCsCurso(),
                              estudantes.getListaEstudantes());
  if (g.conflito) std::ofstream(est, std::ios::binary | std::ios::trunc) << outro;
  EXPECT_NE(estudantes.gravaEstudantes(est, mensagens), Listacurso::Gravacao::falhou)
      << mensagens.str();
}

// The files of a power cut's aftermath in a new scenario: the processes are gone, and so are the
// locks and temporary files they would have removed.
void reconstroi(const Cenario& c, const Mapa& queda) {
  for (const auto& [nome, conteudo] : queda) {
    if (contem(nome, ".tmp.") || contem(nome, ".lock") || contem(nome, ".seccao")) continue;
    c.escreve(nome, conteudo);
  }
}

}  // namespace

// A power cut before every write step of every way of saving (the watcher of the writes tells
// what the disk would hold: what was not flushed is lost): the files and the history tell one
// story, the history checks, and the next writer closes what was left open.
TEST(Interrupcoes, QuedaDeEnergiaEmCadaPasso) {
  for (const Gravacao& g : gravacoes) {
    SCOPED_TRACE(g.nome);
    std::vector<Mapa> quedas;
    Referencia ref;
    Texto antes;
    {
      PastaTemporaria pasta;
      prepara(pasta.c, g);
      antes = pasta.c.le(est);
      GravadorEscritas gravador;
      gravaAqui(g);
      quedas = gravador.quedas;
      quedas.push_back(gravador.aposQueda());
      ref.estudantes = pasta.c.le(est);
      ref.conflito = pasta.c.le(ficheiroConflito);
      ref.legivel = legivel(pasta.c, true);
    }
    ASSERT_GT(quedas.size(), 5u);
    for (size_t i = 0; i < quedas.size(); ++i) {
      SCOPED_TRACE("queda antes do passo " + std::to_string(i + 1));
      Cenario c;
      reconstroi(c, quedas[i]);
      const Texto agora = c.le(est);
      const Texto velho = g.conflito ? outro : antes;
      ASSERT_TRUE(agora == velho || agora == ref.estudantes || (g.conflito && agora == antes))
          << agora;
      const bool feita =
          g.conflito ? c.existe(ficheiroConflito) : agora == ref.estudantes && agora != antes;
      if (feita && g.conflito) {
        EXPECT_EQ(c.le(ficheiroConflito), ref.conflito);
      }
      const bool cortadoIntocado = c.le(hist) == g.historicoInicial &&
                                   !g.historicoInicial.empty() && g.historicoInicial.back() != '\n';
      if (!cortadoIntocado) {
        EXPECT_EQ(legivel(c, true), esperado(g, ref, feita));
        EXPECT_EQ(c.executa("", {"--historico", "12", "--verificar"}).estado, 0);
      }
      segundoProcesso(c, esperado(g, ref, feita));
    }
  }
}
