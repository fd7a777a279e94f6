// Values on the edges of the rules, through every place that reads them: stored final grades of
// 10, 9.99, 9.5 and 0 in the dialogue, the export and the report; e-folio weights above 8 left
// by the e-folio menu's way out; HTML specials in course and unit names; one-character names
// that look like formulas through an export and an import.
#include "Apoio.h"
#include "Cp1252.h"
#include "LeituraRelatorio.h"

namespace {

const Texto exameFinal = ";AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;";
const Texto algebra = TXT("100;Álg <i>&</i> \"x\";1;1;6");

// Ana has stored final grades of 10, 9.99 and 9.5; "-" has a 0.
void escreveCursoDeLimiares(const Cenario& c) {
  c.escreve("5-UC.txt", crlf({"CURSO;5;Curso <b>&\"Cinco\"</b>", algebra, "200;Prog;1;2;6",
                              TXT("300;Ética;2;1;6")}));
  c.escreve("5-Estudantes.txt", crlf({"ALUNO;1;Ana", algebra + exameFinal + "10;R;-1;N;10",
                                      "200;Prog;1;2;6" + exameFinal + "9.99;R;-1;N;9.99",
                                      TXT("300;Ética;2;1;6") + exameFinal + "9.5;R;-1;N;9.5", "",
                                      "ALUNO;2;-", algebra + exameFinal + "0;R;-1;N;0", ""}));
}

size_t conta(const Texto& texto, const Texto& procura) {
  size_t n = 0;
  for (size_t p = texto.find(procura); p != Texto::npos; p = texto.find(procura, p + 1)) ++n;
  return n;
}

const Texto melhoria =
    TXT("ATENÇÂO: A nova nota é superior a nota existente, trata-se de uma melhoria de nota?");

}  // namespace

// Only the stored 10 is a pass: in the student's report and totals, the unit statistics, and the
// improvement notice (raising a 10 is one, raising a 9.5 is not).
TEST(Limiares, AprovacaoNoDialogo) {
  Cenario c;
  escreveCursoDeLimiares(c);
  // Consult Ana; raise her 10 to 14 and her 9.5 to 12 by the resit; every unit's statistics.
  const Resultado r =
      c.executa("5\n1\n1\n2\n1\n100\n3\n14\n0\n2\n1\n300\n3\n12\n0\n0\n9\n0\n9\n0\n");
  EXPECT_EQ(r.estado, 0);
  const size_t relatorio = r.saida.find("ALUNO: Ana");
  ASSERT_NE(relatorio, Texto::npos);
  const Texto consulta =
      r.saida.substr(relatorio, r.saida.find("Menu Estudantes", relatorio) - relatorio);
  EXPECT_NE(consulta.find(TXT("Álg <i>&</i>")), Texto::npos);
  EXPECT_EQ(consulta.find("Prog"), Texto::npos);
  EXPECT_EQ(consulta.find(TXT("Ética")), Texto::npos);
  EXPECT_NE(consulta.find(Texto("Total de UC: 1\n\nTotal de ECTS: 6\n\n") + TXT("Média: 10.000")),
            Texto::npos);
  EXPECT_NE(consulta.find("Completou 3.3% dos ECTS"), Texto::npos);

  EXPECT_EQ(conta(r.saida, melhoria), 1u);
  const size_t aviso = r.saida.find(melhoria);
  EXPECT_LT(aviso, r.saida.find("14.00"));
  EXPECT_EQ(r.saida.find(melhoria, r.saida.find("12.00") - 600), Texto::npos);

  // After the changes: 100 is passed by Ana (14) only, 300 by Ana (12), 200 by nobody.
  const size_t estatisticas = r.saida.rfind(TXT("UNIDADE CURRICULAR: Álg"));
  ASSERT_NE(estatisticas, Texto::npos);
  EXPECT_NE(r.saida.find(TXT("Total de Alunos Aprovados: 1\nMédia: 14.000"), estatisticas),
            Texto::npos);
  EXPECT_NE(r.saida.find("UNIDADE CURRICULAR: Prog\nTotal de Alunos Aprovados: 0\n", estatisticas),
            Texto::npos);
  EXPECT_NE(r.saida.find(TXT("Ética\nTotal de Alunos Aprovados: 1\nMédia: 12.000"), estatisticas),
            Texto::npos);
}

// The same stored grades in the grade sheet, the statistics file and the report page; a 0 is a
// final grade like any other in the report's totals.
TEST(Limiares, AprovacaoNaExportacaoENoRelatorio) {
  Cenario c;
  escreveCursoDeLimiares(c);
  ASSERT_EQ(c.executa("", {"--exportar", "5"}).estado, 0);
  const Texto pauta = c.le("5-Pauta.csv");
  EXPECT_NE(pauta.find(";10;;10;Sim\r\n"), Texto::npos);
  EXPECT_NE(pauta.find(TXT(";9,99;;9;Não\r\n")), Texto::npos);
  EXPECT_NE(pauta.find(TXT(";9,5;;9;Não\r\n")), Texto::npos);
  EXPECT_NE(pauta.find(TXT(";0;;0;Não\r\n")), Texto::npos);
  const auto estatisticas = celulasCsv(c.le("5-Estatisticas.csv"));
  ASSERT_EQ(estatisticas.size(), 4u);
  EXPECT_EQ(estatisticas[1][4], "1");
  EXPECT_EQ(estatisticas[1][5], "10,000");
  EXPECT_EQ(estatisticas[2][4], "0");
  EXPECT_EQ(estatisticas[3][4], "0");

  ASSERT_EQ(c.executa("", {"--relatorio", "5"}).estado, 0);
  const Texto pagina = c.le("5-Relatorio.html");
  EXPECT_EQ(textoApos(pagina, "class=\"n com-resultado\"", 0), "4");
  EXPECT_EQ(textoApos(pagina, "class=\"n aprovacoes\"", 0), "1");
  EXPECT_EQ(textoApos(pagina, "class=\"n taxa\"", 0), "25,0 %");
  const auto figuras = figurasDaPagina(pagina);
  ASSERT_EQ(figuras.size(), 3u);
  EXPECT_EQ(
      figuras[0].aprovados + figuras[0].comResultado + figuras[0].barras[0] + figuras[0].barras[10],
      "1211");
  EXPECT_EQ(figuras[1].aprovados + figuras[1].barras[9], "01");
  EXPECT_TRUE(mesmasFiguras(pagina, c.le("5-Estatisticas.csv")));
}

// Course and unit names are text everywhere in the page, attributes included.
TEST(Limiares, NomesComCaracteresDeHtml) {
  Cenario c;
  escreveCursoDeLimiares(c);
  ASSERT_EQ(c.executa("", {"--relatorio", "5"}).estado, 0);
  const Texto pagina = c.le("5-Relatorio.html");
  EXPECT_EQ(pagina.find("<i>"), Texto::npos);
  EXPECT_EQ(pagina.find("<b>"), Texto::npos);
  EXPECT_EQ(pagina.find("\"x\""), Texto::npos);
  EXPECT_NE(pagina.find("<h1>Curso &lt;b&gt;&amp;&quot;Cinco&quot;&lt;/b&gt;</h1>"), Texto::npos);
  EXPECT_NE(pagina.find("aria-label=\"Distribui\xC3\xA7\xC3\xA3o das notas finais de "
                        "\xC3\x81lg &lt;i&gt;&amp;&lt;/i&gt; &quot;x&quot;\""),
            Texto::npos);
}

// Names that a spreadsheet would take for a formula are exported guarded and imported back
// as they were, the one-character ones and one that already starts with an apostrophe.
TEST(Limiares, NomesQueParecemFormulasIdaEVolta) {
  Cenario c;
  c.escreve("5-UC.txt", crlf({"CURSO;5;Cinco", "200;Prog;1;2;6"}));
  const std::vector<Texto> nomes = {"-", "=", "+", "@", "'=1+1", "'", "''-"};
  Texto alunos;
  for (size_t i = 0; i < nomes.size(); ++i) {
    alunos += crlf({"ALUNO;" + std::to_string(i + 1) + ";" + nomes[i],
                    "200;Prog;1;2;6" + exameFinal + "12;R;-1;N;12", ""});
  }
  c.escreve("5-Estudantes.txt", alunos);
  ASSERT_EQ(c.executa("", {"--exportar", "5"}).estado, 0);
  const Texto pauta = c.le("5-Pauta.csv");
  for (const char* guardado : {"1;'-;", "2;'=;", "3;'+;", "4;'@;", "5;''=1+1;", "6;';", "7;'''-;"})
    EXPECT_NE(pauta.find("\r\n" + Texto(guardado) + "200;"), Texto::npos) << guardado;
  const Resultado r = c.executa("", {"--importar", "5", "5-Pauta.csv"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_EQ(r.saida, TXT("Importado 5-Pauta.csv: 0 alunos novos, 0 notas alteradas, 7 linhas sem "
                         "alterações\n"));
  EXPECT_EQ(c.le("5-Estudantes.txt"), alunos);
}

// A row that gives both grades of a unit whose option was never chosen, and no option: one error
// for the row, naming the missing option once.
TEST(Limiares, NotasSemOpcaoUmSoErro) {
  Cenario c;
  c.escreve("5-UC.txt", crlf({"CURSO;5;Cinco", "200;Prog;1;2;6"}));
  const Texto estudantes = crlf(
      {"ALUNO;1;Ana", "200;Prog;1;2;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1", ""});
  c.escreve("5-Estudantes.txt", estudantes);
  c.escreve("notas.csv",
            crlf({TXT("Número;Nome;Código UC;pFolio/Exame;Recurso"), "1;Ana;200;12;14"}));
  const Resultado r = c.executa("", {"--importar", "5", "notas.csv"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(conta(r.erros, TXT("falta a opção de avaliação")), 1u) << r.erros;
  EXPECT_EQ(conta(r.erros, "ERRO: Linha 2"), 1u) << r.erros;
  EXPECT_EQ(c.le("5-Estudantes.txt"), estudantes);
}

// E-folios A, B and C graded 100 with weight 3 each, left through the e-folio menu's way out:
// neither the p-folio 12 nor the p-folio resit 10 gives a final grade (it would be 21 and 19),
// each says why, and the record is saved, exported and counted without one.
TEST(Limiares, PesosAcimaDeOitoNaoDaoNotaFinal) {
  Cenario c;
  c.copiaExemplos();
  const Resultado r = c.executa(
      TXT("12\n3\n1009\nMónica\n2\n1009\n21002\n1\n"    // new student, her grades in 21002
          "1\n1\n100\n3\n2\n100\n3\n3\n100\n3\n9\n0\n"  // A, B, C 100 weight 3; out unchecked
          "2\n12\n3\n10\n0\n4\n9\n9\n"));               // p-folio 12, resit 10, back, save
  EXPECT_EQ(r.estado, 0);
  EXPECT_NE(r.saida.find(erroPesos("3", "3", "3", "9")), Texto::npos);
  const Texto aviso =
      TXT("\nATENÇÃO: Os pesos dos eFolios somam 9; corrija-os no menu Inserir "
          "Nota de eFolio para calcular a nota final\n\n\n");
  EXPECT_NE(r.saida.find(TXT("Nota do pFolio inserida é válida\n") + aviso), Texto::npos);
  EXPECT_EQ(conta(r.saida, aviso), 2u);
  EXPECT_EQ(r.saida.find("21 "), Texto::npos);
  const Texto unidade =
      TXT("21002;Álgebra Linear I;1;1;6;AVALIACAO;1;A;100;3;B;100;3;C;100;3;F;12;R;10;N;-1\r\n");
  EXPECT_NE(c.le("12-Estudantes.txt").find(TXT("ALUNO;1009;Mónica\r\n") + unidade), Texto::npos);

  ASSERT_EQ(c.executa("", {"--exportar", "12"}).estado, 0);
  EXPECT_NE(c.le("12-Pauta.csv")
                .find(TXT("1009;Mónica;21002;Álgebra Linear I;1;1;6;Contínua;100;3;"
                          "100;3;100;3;12;10;;Não\r\n")),
            Texto::npos);
  const auto estatisticas = celulasCsv(c.le("12-Estatisticas.csv"));
  ASSERT_GT(estatisticas.size(), 1u);
  EXPECT_EQ(estatisticas[1][0], "21002");
  EXPECT_EQ(estatisticas[1][3], "9");  // enrolled, the example's 8 and her
  EXPECT_EQ(estatisticas[1][4], "8");  // passed: the example's 8

  // The import that gives her a p-folio says why her final grade stays as it is.
  c.escreve("notas.csv", crlf({TXT("Número;Código UC;pFolio/Exame"), "1009;21002;11"}));
  const Resultado importacao = c.executa("", {"--importar", "12", "notas.csv"});
  EXPECT_EQ(importacao.estado, 0);
  EXPECT_EQ(importacao.erros,
            TXT("ATENÇÃO: Linha 2: os pesos dos eFolios somam 9; corrija-os para calcular a nota "
                "final\n"));
  EXPECT_NE(c.le("12-Estudantes.txt").find(TXT("C;100;3;F;11;R;10;N;-1\r\n")), Texto::npos);
}

// A resit exam of 15, entered while the record was not admitted to the p-folio, cannot become a
// p-folio resit once the e-folios admit it: the values would give 23, so the final grade stays.
TEST(Limiares, RecursoAcimaDoPfolioNaoDaNotaFinalAcimaDeVinte) {
  Cenario c;
  c.copiaExemplos();
  const Resultado r =
      c.executa(TXT("12\n3\n1009\nMónica\n2\n1009\n21002\n1\n"  // new student, her grades in 21002
                    "3\n15\n"                                   // resit exam 15 (not admitted yet)
                    "1\n1\n100\n3\n2\n100\n3\n3\n100\n2\n9\n"   // A, B, C 100 (3, 3, 2), validated
                    "0\n4\n9\n9\n"));                           // back, save
  EXPECT_EQ(r.estado, 0);
  const Texto aviso =
      TXT("Valores dos eFolios são Válidos\n\nATENÇÃO: As notas deste registo dão a nota final 23, "
          "acima de 20; corrija-as no menu Inserir Notas para calcular a nota final\n\n\n");
  EXPECT_NE(r.saida.find(aviso), Texto::npos) << r.saida;
  EXPECT_NE(c.le("12-Estudantes.txt")
                .find(TXT("21002;Álgebra Linear I;1;1;6;AVALIACAO;1;A;100;3;B;100;3;C;100;2;F;-1;"
                          "R;15;N;15\r\n")),
            Texto::npos);
}
