// The report page: escaping of data texts, a self-contained UTF-8 page, every record of every
// student, and unit figures that are the statistics file's.
#include "Apoio.h"
#include "Cp1252.h"
#include "Exportacao.h"
#include "LeituraRelatorio.h"
#include "RegistosPagina.h"
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

// One page for a small course: self-contained, UTF-8, names as text, the overview, every record.
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
  // Nothing from elsewhere: three inline scripts (the records' lines, their tables, the code),
  // no external resource, links only inside the page.
  EXPECT_EQ(ocorrencias(pagina, "<script"), 3u);
  EXPECT_EQ(ocorrencias(pagina, "<script type=\"text/plain\" id=\"registos\">"), 1u);
  EXPECT_EQ(ocorrencias(pagina, "<script type=\"application/json\" id=\"dados-registos\">"), 1u);
  EXPECT_EQ(pagina.find("src="), std::string::npos);
  EXPECT_EQ(pagina.find("url("), std::string::npos);
  EXPECT_EQ(ocorrencias(pagina, "href=\""), ocorrencias(pagina, "href=\"#"));
  EXPECT_EQ(ocorrencias(pagina, "http"), ocorrencias(pagina, "http://www.w3.org/2000/svg"));
  // Data texts escaped wherever they stand; the course's name, total and the time of making.
  EXPECT_EQ(ocorrencias(pagina, utf8(nomePerigosoEscapado)), 2u);  // index and heading
  EXPECT_NE(pagina.find("<h1>Curso &amp; &lt;Companhia&gt;</h1>"), std::string::npos);
  EXPECT_NE(pagina.find(utf8(TXT("<span class=\"ects-curso\">180</span> ECTS · relatório"))),
            std::string::npos);
  EXPECT_NE(pagina.find("<time>07/12/2026 10:30</time>"), std::string::npos);
  // Totals: students, units, final results, in assessment, passes, rate.
  EXPECT_NE(pagina.find("<td class=\"n estudantes\">2</td><td class=\"n unidades\">2</td>"
                        "<td class=\"n com-resultado\">2</td><td class=\"n em-avaliacao\">0</td>"
                        "<td class=\"n aprovacoes\">1</td><td class=\"n taxa\">50,0 %</td>"),
            std::string::npos);
  // The overview: a row per unit linked to its section; Ética, below the course's 50 %, marked.
  EXPECT_NE(pagina.find(utf8(TXT(
                "<tr><td class=\"n codigo\">100</td><td class=\"nome\"><a href=\"#uc-1\">Álgebra"
                "</a></td><td class=\"n ano\">1</td><td class=\"n semestre\">1</td><td class=\"n "
                "ects\">6</td><td class=\"n inscritos\">2</td><td class=\"n com-resultado\">1</td>"
                "<td class=\"n em-avaliacao\">0</td><td class=\"n aprovados\">1</td><td class=\"n "
                "taxa\">100,0 %</td><td class=\"n media\">14,000</td></tr>"))),
            std::string::npos);
  EXPECT_NE(pagina.find(utf8(TXT("<tr class=\"abaixo\"><td class=\"n codigo\">200</td><td "
                                 "class=\"nome\"><a href=\"#uc-2\">Ética &amp; Lei</a>"))),
            std::string::npos);
  EXPECT_EQ(ocorrencias(pagina, "&#9660;</abbr>"), 1u);
  EXPECT_NE(pagina.find("(50,0 %).</p>"), std::string::npos);
  // Each student's totals, then his records in their short form for the page's script.
  EXPECT_NE(
      pagina.find(utf8(TXT("<h3>1001 — ") + nomePerigosoEscapado +
                       TXT("</h3><p class=ident>ECTS aprovados: 6 · média ponderada: 14,000 · "
                           "3,3 % dos 180 ECTS do curso</p>"))),
      std::string::npos);
  EXPECT_NE(pagina.find(utf8(TXT("<h3>1002 — Bruno</h3><p class=ident>ECTS aprovados: 0 · média "
                                 "ponderada: — · 0,0 % dos 180 ECTS do curso</p>"))),
            std::string::npos);
  EXPECT_EQ(ocorrencias(pagina, "<table class=registo></table>"), 2u);
  EXPECT_EQ(linhasRegistos(pagina), (std::vector<std::string>{"A,14,8.5,,0,1,2;r,6,6", "s-1"}));
  EXPECT_NE(pagina.find(utf8(TXT("{\"u\":[[100,\"Álgebra\",6],[200,\"Ética &amp; Lei\",4]],"
                                 "\"e\":[\"80 % × 3 = 2,40\",\"70 % × 3 = 2,10\","
                                 "\"50 % × 2 = 1,00\"],"))),
            std::string::npos);
  // The students' index, folded; every link to an anchor that exists.
  EXPECT_NE(pagina.find(utf8(TXT("<details id=\"indice-estudantes\"><summary>Índice dos "
                                 "estudantes (2)</summary>"))),
            std::string::npos);
  for (const char* ancora : {"uc-1", "uc-2", "al-1", "al-2", "unidades", "estudantes"}) {
    EXPECT_NE(pagina.find(std::string("href=\"#") + ancora + "\""), std::string::npos);
    EXPECT_TRUE(pagina.find(std::string("id=\"") + ancora + "\"") != std::string::npos ||
                pagina.find(std::string("id=") + ancora + ">") != std::string::npos);
  }
  // Two bar charts of 21 bars each, failing and passing grades told apart.
  EXPECT_EQ(ocorrencias(pagina, "<svg "), 2u);
  EXPECT_EQ(ocorrencias(pagina, "<g class=\"barra rp\""), 20u);
  EXPECT_EQ(ocorrencias(pagina, "<g class=\"barra ap\""), 22u);
}

// The short form of a student's records: the result's letter in the case of the option (other
// options written out; the e-folios' sum while in assessment), the empty fields at the end left
// out, each e-folio cell once in its table, the unit's entry only where it does not follow the
// previous one (a unit outside the course, or with another name, gets an entry of its own).
TEST(Relatorio, RegistosCompactos) {
  const std::vector<UC> curso = {leUC("100;A;1;1;6"), leUC("200;B;1;2;6"), leUC("300;C;2;1;4")};
  const std::string efolios = "A;80;3;B;70;3;C;50;2;";
  const Estudantes aluno = estudante(
      "x", {"200;B;1;2;6;AVALIACAO;1;" + efolios + "F;-1;R;-1;N;6",
            "300;C;2;1;4;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;7",
            "100;A;1;1;6;AVALIACAO;1;A;80;3;B;-1;-1;C;50;2;F;12;R;-1;N;15",
            "999;Fora;1;1;6;AVALIACAO;-1;F;-1;R;-1;N;-1",
            "100;A outra;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;4.25;R;9.5;N;10",
            "300;C;2;1;4;AVALIACAO;2;A;80;3;F;-1;R;-1;N;-1"});  // an option read, not chosen
  RegistosPagina registos(curso);
  TextoPagina pagina;
  registos.acrescentaRegistos(pagina, aluno);
  pagina += '|';
  registos.acrescentaRegistos(pagina, estudante("y", {"100;A;1;1;6", "200;B;1;2;6"}));
  pagina += '|';
  registos.acrescentaDados(pagina);
  std::string texto;
  std::string_view fatia;
  while (pagina.proximaFatia(fatia, 1000)) texto += fatia;
  EXPECT_EQ(texto.substr(0, texto.find("|{")),
            "V5.5,6,,,0,1,2,1;s,7;A,15,12,,0,,2,0;s-1,,,,,,,3;a,10,4.25,9.5;s2,,,,,,,2|s-1;s-1");
  EXPECT_NE(texto.find(TXT("{\"u\":[[100,\"A\",6],[200,\"B\",6],[300,\"C\",4],[999,\"Fora\",6],"
                           "[100,\"A outra\",6]],\"e\":[\"80 % × 3 = 2,40\",\"70 % × 3 = 2,10\","
                           "\"50 % × 2 = 1,00\"],")),
            std::string::npos);
  EXPECT_NE(texto.find(TXT("\"v\":\"em avaliação (# de 8 nos eFolios)\"")), std::string::npos);
}

// The data block holds no '<' whatever the names hold, so a name cannot end the script element
// or add markup; quotes, backslashes and line breaks stay inside their JSON string.
TEST(Relatorio, DadosSemFimDeScript) {
  const std::string perigoso = "</script><script>alert(1)</script>\"\\\n\t";
  const std::vector<UC> curso = {leUC("1;" + perigoso + ";1;1;6")};
  RegistosPagina registos(curso);
  TextoPagina pagina;
  registos.acrescentaDados(pagina);
  std::string texto;
  std::string_view fatia;
  while (pagina.proximaFatia(fatia, 1000)) texto += fatia;
  EXPECT_EQ(texto.find('<'), std::string::npos);
  EXPECT_NE(texto.find(
                "[[1,\"&lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt;&quot;\\\\\\n\\t\",6]]"),
            std::string::npos);
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
  EXPECT_EQ(textoApos(pagina, "class=\"n com-resultado\"", algebra), "2");
  EXPECT_EQ(textoApos(pagina, "class=\"n taxa\"", algebra), "50,0 %");
  EXPECT_EQ(textoApos(pagina, "class=\"n taxa\"", lei), "0,0 %");
  // The course's rate: one pass among three graded records.
  EXPECT_EQ(textoApos(pagina, "class=\"n taxa\"", 0), "33,3 %");
}
