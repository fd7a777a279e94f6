// The report page: escaping of data texts, a self-contained UTF-8 page, every record of every
// student, and unit figures that are the statistics file's.
#include "Apoio.h"
#include "Cp1252.h"
#include "Exportacao.h"
#include "LeituraRelatorio.h"
#include "Relatorio.h"

namespace {

const std::string nomePerigoso = TXT("<script>alert(\"x\")</script> & 'Zé' <b>");
const std::string nomePerigosoEscapado =
    TXT("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; &apos;Zé&apos; &lt;b&gt;");

IdentificacaoCurso cursoDeTeste() {
  IdentificacaoCurso curso;
  curso.codigo = 5;
  curso.nome = "Curso & <Companhia>";
  curso.geradoEm = "07/12/2026 10:30";
  return curso;
}

std::string utf8(const std::string& textoDoPrograma) { return cp1252::paraUtf8(textoDoPrograma); }

size_t ocorrencias(const std::string& texto, const std::string& procurado) {
  size_t conta = 0;
  for (size_t i = texto.find(procurado); i != std::string::npos; i = texto.find(procurado, i + 1)) {
    ++conta;
  }
  return conta;
}

}  // namespace

TEST(Relatorio, EscapaTextosDosDados) {
  EXPECT_EQ(escapaHtml(nomePerigoso), nomePerigosoEscapado);
  EXPECT_EQ(escapaHtml("sem nada"), "sem nada");
  EXPECT_EQ(escapaHtml(std::string("a\x1b[31mb\x7f\tc\0d", 12)), "a?[31mb?\tc?d");
}

// A page text hands out what was put in it, in order, long texts escaped as
// they go out: two long names side by side, one at the very start, short
// ones escaped where they stand; slices no longer than asked.
TEST(Relatorio, TextoDaPaginaPorFatias) {
  const std::string longo1 = std::string(100000, 'a') + "<&>";
  const std::string longo2 = "\"" + std::string(70000, 'b');
  TextoPagina pagina;
  pagina.acrescentaEscapado(longo1);
  pagina += "<p>";
  pagina.acrescentaEscapado(nomePerigoso);
  pagina.acrescentaEscapado(longo2);
  pagina.acrescentaEscapado(longo1);
  pagina += '!';
  const std::string esperado = escapaHtml(longo1) + "<p>" + nomePerigosoEscapado +
                               escapaHtml(longo2) + escapaHtml(longo1) + "!";
  std::string junto;
  std::string_view fatia;
  while (pagina.proximaFatia(fatia, 1000)) {
    EXPECT_LE(fatia.size(), 1000u * 6);
    junto += fatia;
  }
  EXPECT_EQ(junto, esperado);
  pagina.clear();
  EXPECT_TRUE(pagina.empty());
  EXPECT_FALSE(pagina.proximaFatia(fatia, 1000));
}

// One page for a small course: self-contained, UTF-8, names as text, every record.
TEST(Relatorio, PaginaDeUmCursoPequeno) {
  const std::string algebra = TXT("100;Álgebra;1;1;6;AVALIACAO;");
  Listacurso unidades = carregaCurso(
      crlf({"CURSO;5;C", TXT("100;Álgebra;1;1;6"), TXT("200;Ética & Lei;2;1;4")}), nullptr, true);
  std::vector<Estudantes> estudantes = {
      estudante(nomePerigoso, {algebra + "1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14",
                               TXT("200;Ética & Lei;2;1;4;AVALIACAO;0;F;6;R;-1;N;6")}),
      estudante("Bruno", {algebra + "-1;F;-1;R;-1;N;-1"})};
  estudantes[0].setNumAluno(1001);
  estudantes[1].setNumAluno(1002);
  const std::string pagina = conteudoRelatorio(cursoDeTeste(), unidades, estudantes);

  EXPECT_EQ(
      pagina.rfind("<!DOCTYPE html>\n<html lang=\"pt\">\n<head>\n<meta charset=\"utf-8\">", 0), 0u);
  EXPECT_TRUE(cp1252::utf8Valido(pagina));
  EXPECT_EQ(pagina.substr(pagina.size() - 8), "</html>\n");
  // Nothing from elsewhere: no script, no external resource, links only inside the page.
  EXPECT_EQ(pagina.find("<script"), std::string::npos);
  EXPECT_EQ(pagina.find("src="), std::string::npos);
  EXPECT_EQ(pagina.find("url("), std::string::npos);
  EXPECT_EQ(ocorrencias(pagina, "href=\""), ocorrencias(pagina, "href=\"#"));
  EXPECT_EQ(ocorrencias(pagina, "http"), ocorrencias(pagina, "http://www.w3.org/2000/svg"));
  // Data texts escaped wherever they stand; the course's name and the time of making.
  EXPECT_EQ(ocorrencias(pagina, utf8(nomePerigosoEscapado)), 2u);  // contents and heading
  EXPECT_NE(pagina.find("<h1>Curso &amp; &lt;Companhia&gt;</h1>"), std::string::npos);
  EXPECT_NE(pagina.find("<time>07/12/2026 10:30</time>"), std::string::npos);
  EXPECT_NE(pagina.find(utf8(TXT("<td>200<td>Ética &amp; Lei"))), std::string::npos);
  // Totals: students, units, graded records, passes, rate.
  EXPECT_NE(pagina.find("<td class=\"n estudantes\">2</td><td class=\"n unidades\">2</td>"
                        "<td class=\"n com-nota\">2</td><td class=\"n aprovacoes\">1</td>"
                        "<td class=\"n taxa\">50,0 %</td>"),
            std::string::npos);
  // Each student's whole record with the dialogue's texts, decimal comma; his totals.
  EXPECT_NE(pagina.find(utf8(TXT("<tr class=ap><td>100<td>Álgebra<td>6<td>Contínua<td>2,40<td>2,10"
                                 "<td>1,00<td>8,50<td>-<td>14<td>Aprovado\n"))),
            std::string::npos);
  EXPECT_NE(pagina.find("<tr class=rp><td>200"), std::string::npos);
  EXPECT_NE(pagina.find("<td>6,00<td>-<td>6<td>Reprovado\n"), std::string::npos);
  EXPECT_NE(pagina.find("<tr class=pe><td>100"), std::string::npos);
  EXPECT_NE(pagina.find("<td>Por avaliar\n"), std::string::npos);
  EXPECT_NE(pagina.find(utf8(TXT("<b class=\"ects\">6</b> · média ponderada: <b class=\"media\">"
                                 "14,000</b> · <b class=\"percentagem\">3,3 %</b> dos 180 ECTS"))),
            std::string::npos);
  EXPECT_NE(
      pagina.find(utf8(TXT("<b class=\"ects\">0</b> · média ponderada: <b class=\"media\">—</b>"))),
      std::string::npos);
  // Contents: a link to every unit and every student, each to an anchor that exists.
  for (const char* ancora : {"uc-1", "uc-2", "al-1", "al-2"}) {
    EXPECT_NE(pagina.find(std::string("href=\"#") + ancora + "\""), std::string::npos);
    EXPECT_NE(pagina.find(std::string("id=\"") + ancora + "\""), std::string::npos);
  }
  // Two bar charts of 21 bars each, failing and passing grades told apart.
  EXPECT_EQ(ocorrencias(pagina, "<svg "), 2u);
  EXPECT_EQ(ocorrencias(pagina, "<g class=\"barra rp\""), 20u);
  EXPECT_EQ(ocorrencias(pagina, "<g class=\"barra ap\""), 22u);
}

// The figures of every unit, bars included, are those of the statistics file.
TEST(Relatorio, FigurasSaoAsDasEstatisticas) {
  PastaTemporaria pasta;
  pasta.c.copiaExemplos();
  Listacurso unidades = carregaCurso(leFicheiro(pasta.c.dir() / "12-UC.txt"), nullptr, true);
  const Listacurso estudantes = carregaCurso(leFicheiro(pasta.c.dir() / "12-Estudantes.txt"));
  const std::vector<Estudantes>& lista = estudantes.getListaEstudantes();
  const std::string pagina = conteudoRelatorio(cursoDeTeste(), unidades, lista);
  const std::string estatisticas = conteudoEstatisticas(unidades, lista);
  EXPECT_TRUE(mesmasFiguras(pagina, estatisticas));
  EXPECT_EQ(figurasDaPagina(pagina).size(), 30u);

  // Rebuilt from zero: a second page is the same page.
  EXPECT_EQ(conteudoRelatorio(cursoDeTeste(), unidades, lista), pagina);
}

// A course without units or students is still a whole page.
TEST(Relatorio, CursoVazio) {
  Listacurso unidades;
  IdentificacaoCurso semNome = cursoDeTeste();
  semNome.nome.clear();
  const std::string pagina = conteudoRelatorio(semNome, unidades, {});
  EXPECT_NE(pagina.find("<h1>Curso 5</h1>"), std::string::npos);
  EXPECT_NE(pagina.find("<td class=\"n taxa\">\xE2\x80\x94</td>"), std::string::npos);
  EXPECT_EQ(pagina.substr(pagina.size() - 8), "</html>\n");
}

// A unit's pass rate counts the passes among the records that have a final grade: students who
// take the unit without one yet are not failures.
TEST(Relatorio, TaxaDeAprovacaoDeCadaUnidade) {
  const std::string exame = TXT("100;Álgebra;1;1;6;AVALIACAO;0;F;");
  Listacurso unidades =
      carregaCurso(crlf({"CURSO;5;C", TXT("100;Álgebra;1;1;6"), "200;Lei;2;1;4"}), nullptr, true);
  std::vector<Estudantes> estudantes = {
      estudante("Ana", {exame + "14;R;-1;N;14", "200;Lei;2;1;4;AVALIACAO;0;F;6;R;-1;N;6"}),
      estudante("Bruno", {exame + "7;R;-1;N;7"}), estudante("Rui", {exame + "-1;R;-1;N;-1"}),
      estudante("Eva", {exame + "-1;R;-1;N;-1"})};
  const std::string pagina = conteudoRelatorio(cursoDeTeste(), unidades, estudantes);
  const size_t algebra = pagina.find("<article class=\"uc\"");
  const size_t lei = pagina.find("<article class=\"uc\"", algebra + 1);
  ASSERT_NE(lei, std::string::npos);
  // 100: four enrolled, two graded, one passed; 200: one enrolled and graded, none passed.
  EXPECT_EQ(textoApos(pagina, "class=\"n inscritos\"", algebra), "4");
  EXPECT_EQ(textoApos(pagina, "class=\"n com-nota\"", algebra), "2");
  EXPECT_EQ(textoApos(pagina, "class=\"n taxa\"", algebra), "50,0 %");
  EXPECT_EQ(textoApos(pagina, "class=\"n taxa\"", lei), "0,0 %");
  // The course's rate: one pass among three graded records.
  EXPECT_EQ(textoApos(pagina, "class=\"n taxa\"", 0), "33,3 %");
}
