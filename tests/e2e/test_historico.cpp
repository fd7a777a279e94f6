// The --historico mode of the real program (the table, its filters, the CSV, the check) and the
// changes that the report shows for each student; the histories are written here with the
// format module's own writer.
#include "Apoio.h"
#include "Cp1252.h"
#include "FormatoHistorico.h"
#include "Terminal.h"

using historico::LinhaHistorico;

namespace {

LinhaHistorico alteracao(const Texto& data, const Texto& numero, const Texto& uc,
                         const Texto& campo, const Texto& antes, const Texto& depois) {
  return {data, "ana", "pc1", "dialogo", numero, uc, campo, antes, depois, ""};
}

// Three saves: a new student, a weight changed by an import, a grade by a session whose save
// ended in a conflict file.
std::vector<LinhaHistorico> tresGravacoes() {
  std::vector<LinhaHistorico> linhas = {
      alteracao("2026-11-30T09:00:00+00:00", "9999", "", "aluno", "", TXT("Zé <b>\"Sá\"</b>")),
      alteracao("2026-12-01T10:00:00+00:00", "1001", "21002", "pesoA", "3", "2.5"),
      alteracao("2026-12-07T14:03:27+00:00", "1001", "21030", "eFolioA", "-1", "66.6667"),
  };
  linhas[1].origem = "importacao:notas.csv";
  linhas[2].utilizador = "rui;x";
  linhas[2].origem = "dialogo conflito:12-Estudantes.txt.conflito";
  return linhas;
}

Texto historicoCom(std::vector<LinhaHistorico> linhas) {
  Texto texto = historico::inicioFicheiro, anterior = historico::verificacaoInicial;
  historico::escreveLinhas(linhas, anterior, texto);
  return texto;
}

Resultado historicoDe(const Cenario& cenario, std::vector<std::string> opcoes,
                      const Texto& locale = "C") {
  opcoes.insert(opcoes.begin(), {"--historico", "12"});
  return cenario.executa("", opcoes, locale);
}

}  // namespace

// The check: an intact file, a line edited, removed or moved, the last line cut, a wrong first
// line, no file at all. The line named counts the header as line 1.
TEST(ModoHistorico, Verificacao) {
  Cenario cenario;
  cenario.copiaExemplos();
  const Texto intacto = historicoCom(tresGravacoes());
  const auto linha = [&](int n) {  // line n of the file, with its line end
    size_t inicio = 0;
    for (int i = 1; i < n; ++i) inicio = intacto.find("\r\n", inicio) + 2;
    return intacto.substr(inicio, intacto.find("\r\n", inicio) + 2 - inicio);
  };
  Texto editado = intacto;
  editado.replace(editado.find(";2.5;"), 5, ";2.6;");
  const struct {
    Texto ficheiro, saida, erros;
  } casos[] = {
      {intacto, TXT("Histórico de 12: 3 linhas verificadas\n"), ""},
      {editado, "", TXT("ERRO: Linha 3 do histórico de 12 foi alterada ou removida\n")},
      {linha(1) + linha(2) + linha(4), "",
       TXT("ERRO: Linha 3 do histórico de 12 foi alterada ou removida\n")},
      {linha(1) + linha(3) + linha(2) + linha(4), "",
       TXT("ERRO: Linha 2 do histórico de 12 foi alterada ou removida\n")},
      {intacto.substr(0, intacto.size() - 2), "",
       TXT("ERRO: Linha 4 do histórico de 12 está cortada (falta-lhe o fim de linha)\n")},
      {"HISTORICO;2\r\n" + linha(2), "",
       TXT("ERRO: O ficheiro 12-Historico.txt não começa pela linha HISTORICO;1\n")},
  };
  for (const auto& caso : casos) {
    cenario.escreve("12-Historico.txt", caso.ficheiro);
    const Resultado r = historicoDe(cenario, {"--verificar"});
    EXPECT_EQ(r.saida, caso.saida);
    EXPECT_EQ(r.erros, caso.erros);
    EXPECT_EQ(r.estado, caso.erros.empty() ? 0 : 2);
  }
  fs::remove(cenario.dir() / "12-Historico.txt");
  for (const std::vector<std::string>& opcoes :
       std::vector<std::vector<std::string>>{{"--verificar"}, {}, {"--aluno", "1"}}) {
    const Resultado r = historicoDe(cenario, opcoes);
    EXPECT_EQ(r.saida, TXT("O curso 12 ainda não tem histórico\n"));
    EXPECT_EQ(r.erros, "");
    EXPECT_EQ(r.estado, 0);
  }
}

// The table with every line (none as "-"), the filters (alone and together), the CSV with its
// guards and decimal commas (values as the history holds them), UTF-8 under a UTF-8 locale, and
// wrong arguments.
TEST(ModoHistorico, TabelaFiltrosECsv) {
  Cenario cenario;
  cenario.copiaExemplos();
  cenario.escreve("12-Historico.txt", historicoCom(tresGravacoes()));
  const Texto cabecalho =
      "Data                       Utilizador  Origem                                       "
      "Aluno  UC     Campo    Antes  Depois\n" +
      Texto(128, '-') + "\n";
  const Texto l1 =
      "2026-11-30 09:00:00+00:00  ana         dialogo                                      "
      "9999          aluno           " +
      Texto(TXT("Zé <b>\"Sá\"</b>")) + "\n";
  const Texto l2 =
      "2026-12-01 10:00:00+00:00  ana         importacao:notas.csv                         "
      "1001   21002  pesoA    3      2.5\n";
  const Texto l3 =
      "2026-12-07 14:03:27+00:00  rui;x       dialogo conflito:12-Estudantes.txt.conflito  "
      "1001   21030  eFolioA  -      66.6667\n";
  Resultado r = historicoDe(cenario, {});
  EXPECT_EQ(r.saida, cabecalho + l1 + l2 + l3);
  EXPECT_EQ(r.erros, "");
  EXPECT_EQ(r.estado, 0);

  const auto linhasDe = [&](std::vector<std::string> opcoes) {
    const Texto saida = historicoDe(cenario, std::move(opcoes)).saida;
    return saida.substr(saida.find('\n', saida.find('\n') + 1) + 1);
  };
  EXPECT_EQ(linhasDe({"--aluno", "1001"}), l2 + l3);
  EXPECT_EQ(linhasDe({"--uc", "21030"}), l3);
  EXPECT_EQ(linhasDe({"--desde", "2026-12-01"}), l2 + l3);
  EXPECT_EQ(linhasDe({"--desde", "2026-12-02", "--aluno", "1001", "--uc", "21002"}), "");
  // A filter that matches nothing says so, beside the empty table or CSV.
  for (const std::vector<std::string>& opcoes :
       std::vector<std::vector<std::string>>{{"--aluno", "5"}, {"--uc", "5", "--csv"}}) {
    const Resultado vazio = historicoDe(cenario, opcoes);
    EXPECT_EQ(vazio.erros, TXT("Nenhuma alteração corresponde ao pedido\n"));
    EXPECT_EQ(vazio.estado, 0);
  }
  if (haTerminais()) {  // a UTF-8 locale (not under wine, whose console is CP1252)
    EXPECT_EQ(historicoDe(cenario, {}, "C.UTF-8").saida, cp1252::paraUtf8(r.saida));
  }

  r = historicoDe(cenario, {"--csv", "--aluno", "09999"}, "C.UTF-8");
  // (Under wine the CR LF read back from the console is LF, so a CR too many would show.)
  EXPECT_EQ(r.saida,
            semCr(crlf({TXT("Data;Utilizador;Máquina;Origem;Número;Código UC;Campo;Antes;Depois"),
                        TXT("2026-11-30T09:00:00+00:00;ana;pc1;dialogo;9999;;aluno;;\"Zé "
                            "<b>\"\"Sá\"\"</b>\"")})));
  EXPECT_EQ(r.estado, 0);
  r = historicoDe(cenario, {"--csv", "--uc", "21030"}, "C.UTF-8");
  EXPECT_EQ(r.saida.substr(r.saida.find('\n') + 1),
            semCr("2026-12-07T14:03:27+00:00;\"rui;x\";pc1;dialogo conflito:12-Estudantes.txt."
                  "conflito;1001;21030;eFolioA;-1;66,6667\r\n"));

  for (const std::vector<std::string>& opcoes :
       std::vector<std::vector<std::string>>{{"--historico"},
                                             {"--historico", "12", "13"},
                                             {"--historico", "12", "--aluno"},
                                             {"--historico", "12", "--csv", "--csv"},
                                             {"--historico", "12", "--verificar", "--aluno", "1"},
                                             {"--historico", "12", "--outra"}}) {
    r = cenario.executa("", opcoes);
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.saida, "");
    EXPECT_EQ(r.erros.rfind("pauta: --historico precisa de CODIGO", 0), 0u) << r.erros;
  }
  EXPECT_NE(cenario.executa("", {"--help"}).saida.find("pauta --historico CODIGO --verificar"),
            std::string::npos);

  // A value an option cannot take names itself; a course without its unit file is no course.
  const struct {
    std::vector<std::string> opcoes;
    Texto erro;
  } errados[] = {
      {{"12", "--desde", "07-12-2026"},
       "ERRO: --desde precisa de uma data AAAA-MM-DD (recebeu: 07-12-2026)\n"},
      {{"12", "--desde", "2026-13-01"},
       "ERRO: --desde precisa de uma data AAAA-MM-DD (recebeu: 2026-13-01)\n"},
      {{"12", "--aluno", "abc"},
       TXT("ERRO: --aluno precisa de um número de aluno (recebeu: abc)\n")},
      {{"12", "--csv", "--uc", "1x"}, TXT("ERRO: --uc precisa de um código de UC (recebeu: 1x)\n")},
      {{"99"}, TXT("ERRO: O curso 99 não existe nesta pasta (falta 99-UC.txt)\n")},
      {{"99", "--verificar"}, TXT("ERRO: O curso 99 não existe nesta pasta (falta 99-UC.txt)\n")},
  };
  for (const auto& errado : errados) {
    std::vector<std::string> opcoes = errado.opcoes;
    opcoes.insert(opcoes.begin(), "--historico");
    r = cenario.executa("", opcoes);
    EXPECT_EQ(r.erros, errado.erro);
    EXPECT_EQ(r.saida, "");
    EXPECT_EQ(r.estado, 2);
  }
}

// The table names the option; none is "-" before and after. The CSV keeps the values as the
// history holds them, and at a terminal it is shown in UTF-8 like every other text.
TEST(ModoHistorico, OpcaoNaTabelaECsvNoTerminal) {
  Cenario cenario;
  cenario.copiaExemplos();
  std::vector<LinhaHistorico> linhas = {
      alteracao("2026-12-01T10:00:00+00:00", TXT("1002"), "21097", "opcao", "-1", "0"),
      alteracao("2026-12-01T10:00:00+00:00", TXT("1003"), "21048", "opcao", "-1", "1"),
      alteracao("2026-12-01T10:00:00+00:00", TXT("1003"), "21048", "NotaFinal", "14", "-1"),
  };
  linhas[0].utilizador = TXT("zé");
  cenario.escreve("12-Historico.txt", historicoCom(linhas));
  const Resultado r = historicoDe(cenario, {});
  EXPECT_NE(r.saida.find("21097  opcao      -      Exame Final\n"), Texto::npos) << r.saida;
  EXPECT_NE(r.saida.find(TXT("21048  opcao      -      Contínua\n")), Texto::npos);
  EXPECT_NE(r.saida.find("21048  NotaFinal  14     -\n"), Texto::npos);
  const Resultado csv = historicoDe(cenario, {"--csv"});
  EXPECT_NE(csv.saida.find(semCr(";1002;21097;opcao;-1;0\r\n")), Texto::npos);
  if (haTerminais()) {
    const Texto tela = executaEmTerminal(cenario, "", {"--historico", "12", "--csv"}, false).saida;
    EXPECT_EQ(tela, cp1252::paraUtf8(csv.saida));
    EXPECT_NE(tela.find("z\xC3\xA9;pc1"), Texto::npos);
  }
}

// The report folds each student's changes in his record, newest first and escaped; a course
// without a history has no such section.
TEST(ModoHistorico, Relatorio) {
  Cenario cenario;
  cenario.copiaExemplos();
  ASSERT_EQ(cenario.executa("", {"--relatorio", "12"}).estado, 0);
  const Texto semHistorico = cenario.le("12-Relatorio.html");
  EXPECT_EQ(semHistorico.find("historico"), Texto::npos);

  cenario.escreve("12-Historico.txt", historicoCom(tresGravacoes()));
  const Resultado r = cenario.executa("", {"--relatorio", "12"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.erros, "");
  const Texto pagina = cenario.le("12-Relatorio.html");
  const size_t aluno = pagina.find("<h3>1001 \xE2\x80\x94 ");  // the number, an em dash, the name
  const size_t fim = pagina.find("</article>", aluno);
  const size_t detalhes = pagina.find("<details class=\"historico\">", aluno);
  ASSERT_LT(detalhes, fim);
  EXPECT_EQ(pagina.find("<details", fim), Texto::npos);  // 9999 is not in the student file
  const Texto seccao = pagina.substr(detalhes, fim - detalhes);
  EXPECT_NE(seccao.find(u8"<summary>Alterações gravadas (2)</summary>"), Texto::npos);
  EXPECT_LT(seccao.find("<td>eFolioA<td>-1<td>66,6667"), seccao.find("<td>pesoA<td>3<td>2,5"));
  EXPECT_NE(seccao.find("<td>2026-12-07 14:03:27+00:00<td>rui;x"), Texto::npos);
  EXPECT_NE(seccao.find("<td>rui;x<td>dialogo conflito:12-Estudantes.txt.conflito"), Texto::npos);

  // Names and users are escaped like every text of the page.
  std::vector<LinhaHistorico> linhas = tresGravacoes();
  linhas[1].utilizador = "<i>&";
  cenario.escreve("12-Historico.txt", historicoCom(linhas));
  ASSERT_EQ(cenario.executa("", {"--relatorio", "12"}).estado, 0);
  EXPECT_NE(cenario.le("12-Relatorio.html").find("<td>&lt;i&gt;&amp;<td>"), Texto::npos);
}

// A save interrupted before its file was replaced is left out of the table and the CSV, which say
// how many were (on standard error); the check counts it with a last line cut short that a save
// cut off, and passes.
TEST(ModoHistorico, GravacoesAnuladasEReparadas) {
  Cenario cenario;
  cenario.copiaExemplos();
  LinhaHistorico comum = alteracao("2026-12-01T10:00:00+00:00", "", "", "", "", "");
  historico::EscritorLinhas escritor(comum, historico::verificacaoInicial);
  Texto texto = historico::inicioFicheiro;
  const auto gravacao = [&](const Texto& numero, historico::Marca fecho) {
    escritor.escreveMarca(historico::Marca::inicio, "", "", texto);
    escritor.escreve(alteracao("", numero, "21002", "pesoA", "3", "2"), texto);
    escritor.escreveMarca(historico::Marca::identidade, "1:0000000000000000", "2:0000000000000000",
                          texto);
    escritor.escreveMarca(fecho, "", "", texto);
  };
  gravacao("1001", historico::Marca::concluida);
  gravacao("1002", historico::Marca::anulada);
  escritor.escreveMarca(historico::Marca::reparada, "40", "", texto);
  cenario.escreve("12-Historico.txt", texto);
  Resultado r = historicoDe(cenario, {});
  EXPECT_TRUE(r.saida.find("  1001  ") != Texto::npos) << r.saida;
  EXPECT_EQ(r.saida.find("  1002  "), Texto::npos) << r.saida;
  EXPECT_EQ(r.saida.find("inicio"), Texto::npos) << r.saida;
  EXPECT_EQ(r.erros, TXT("ATENÇÃO: 1 gravação anulada (interrompida antes de substituir o "
                         "ficheiro) não é mostrada\n"));
  EXPECT_EQ(r.estado, 0);
  r = historicoDe(cenario, {"--csv"});
  EXPECT_EQ(std::count(r.saida.begin(), r.saida.end(), '\n'), 2) << r.saida;
  EXPECT_EQ(r.erros, TXT("ATENÇÃO: 1 gravação anulada (interrompida antes de substituir o "
                         "ficheiro) não é mostrada\n"));
  // A filter that leaves the voided save out leaves out its notice too.
  EXPECT_EQ(historicoDe(cenario, {"--aluno", "1001"}).erros, "");
  r = historicoDe(cenario, {"--verificar"});
  EXPECT_EQ(r.saida, TXT("Histórico de 12: 9 linhas verificadas; 1 gravação anulada; 1 linha "
                         "cortada reparada\n"));
  EXPECT_EQ(r.estado, 0);
}

// A file at the history's name that is no history never blocks a save: it is set aside unchanged
// under the first free NAME.danificado[.N], the save says so and starts a new history.
TEST(ModoHistorico, HistoricoDanificado) {
  Cenario cenario;
  cenario.copiaExemplos();
  cenario.escreve("12-Historico.txt.danificado", "outro");
  cenario.escreve("12-Historico.txt", "Folha de notas\r\n1;2\r\n");
  cenario.escreve("a.csv", crlf({TXT("Número;Nome"), "9001;Importado"}));
  const Resultado r = cenario.executa("", {"--importar", "12", "a.csv"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_EQ(r.erros, TXT("ATENÇÃO: O histórico 12-Historico.txt está danificado (não começa pela "
                         "linha HISTORICO;1) e foi guardado como 12-Historico.txt.danificado.1; "
                         "começa um histórico novo\n"));
  EXPECT_EQ(cenario.le("12-Historico.txt.danificado.1"), "Folha de notas\r\n1;2\r\n");
  EXPECT_EQ(cenario.le("12-Historico.txt.danificado"), "outro");
  EXPECT_EQ(historicoLegivel(cenario.le("12-Historico.txt")),
            "importacao:a.csv;9001;;aluno;;Importado\n");

  Texto estragado = cenario.le("12-Historico.txt") + "estragada;\"\r\n";
  cenario.escreve("12-Historico.txt", estragado);
  const Resultado d = cenario.executa("12\n3\n2001\nNovo\n4\n9\n9\n");
  EXPECT_NE(d.saida.find(TXT("Escolheu a opção 4 \n### GRAVAR ALTERAÇÕES NO FICHEIRO ###\n"
                             "ATENÇÃO: O histórico 12-Historico.txt está danificado (a última "
                             "linha não pode ser lida) e foi guardado como "
                             "12-Historico.txt.danificado.2; começa um histórico novo\n\n ----")),
            Texto::npos)
      << d.saida;
  EXPECT_EQ(cenario.le("12-Historico.txt.danificado.2"), estragado);
  EXPECT_EQ(historicoLegivel(cenario.le("12-Historico.txt")), "dialogo;2001;;aluno;;Novo\n");
}
