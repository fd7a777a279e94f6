// The course's own ECTS total (the fourth field of its course record) in the dialogue, the
// export and the report of the real program; records still in assessment in the export and the
// report.
#include "Apoio.h"
#include "Cp1252.h"
#include "LeituraRelatorio.h"

namespace {

// A course of two units of 60 ECTS: Ana passed both, Rui one.
const Texto exame = ";AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;";
const Texto estudantes120 =
    crlf({"ALUNO;1;Ana", "100;Um;1;1;60" + exame + "15;R;-1;N;15",
          "200;Dois;1;2;60" + exame + "12;R;-1;N;12", "", "ALUNO;2;Rui",
          "100;Um;1;1;60" + exame + "11;R;-1;N;11", "200;Dois;1;2;60" + exame + "4;R;-1;N;4", ""});

void escreveCurso(const Cenario& c, const Texto& registoCurso) {
  c.escreve("13-UC.txt", crlf({registoCurso, "100;Um;1;1;60", "200;Dois;1;2;60"}));
  c.escreve("13-Estudantes.txt", estudantes120);
}

// Chooses course 13, consults Ana then Rui, leaves without saving.
const Texto consultaAmbos = "13\n1\n1\n1\n2\n9\n9\n";

const Texto parabens = "\n\t\t" + Texto(48, '#') +
                       "\n\t\t########## PARABENS COMPLETOU O CURSO ##########\n\t\t" +
                       Texto(48, '#') + "\n";

const Texto aviso75 =
    TXT("ATENÇÃO: Linha 1 do ficheiro 13-UC.txt: total de ECTS '7,5' inválido; usado 180\n");

}  // namespace

// 120 of a 120-ECTS course complete it: 100.0 % and the banner; 60 are half of it. The catalogue
// still lists the course by its first three fields. A fourth field that is not a number stays
// ignored without a word: the dialogue is byte for byte that of a course without it.
TEST(TotalDoCurso, NoDialogo) {
  Cenario c;
  escreveCurso(c, TXT("CURSO;13;Mestrado em Engenharia Informática;120"));
  const Resultado r = c.executa(consultaAmbos);
  EXPECT_EQ(r.estado, 0);
  EXPECT_NE(r.saida.find(linhaTabela("13", TXT("Mestrado em Engenharia Informática"), "13-UC.txt")),
            Texto::npos);
  EXPECT_NE(r.saida.find("Completou 100.0% dos ECTS do Curso \n" + parabens), Texto::npos);
  EXPECT_NE(r.saida.find("Completou 50.0% dos ECTS do Curso \n"), Texto::npos);
  EXPECT_EQ(r.saida.find(TXT("ATENÇÃO")), Texto::npos);

  Cenario sem, extra;
  escreveCurso(sem, "CURSO;13;Mestrado");
  escreveCurso(extra, "CURSO;13;Mestrado;extra");
  const Resultado semQuarto = sem.executa(consultaAmbos);
  EXPECT_NE(semQuarto.saida.find("Completou 66.7% dos ECTS do Curso \n"), Texto::npos);
  EXPECT_EQ(semQuarto.saida.find("PARABENS"), Texto::npos);
  EXPECT_EQ(extra.executa(consultaAmbos).saida, semQuarto.saida);

  // An invalid total is named once, where the units are loaded, and 180 is used.
  Cenario invalido;
  escreveCurso(invalido, "CURSO;13;Mestrado;7,5");
  const Resultado avisado = invalido.executa(consultaAmbos);
  Texto esperado = semQuarto.saida;
  const Texto carregadas = TXT("o número de UCs do curso é: 2\n");
  esperado.insert(esperado.find(carregadas) + carregadas.size(), aviso75);
  EXPECT_EQ(avisado.saida, esperado);
}

// The export does not show the total: its files are those of the course without it, and an
// invalid total is named on standard error. The report measures each student against it.
TEST(TotalDoCurso, NaExportacaoENoRelatorio) {
  Cenario c, sem, invalido;
  escreveCurso(c, "CURSO;13;Mestrado;120");
  escreveCurso(sem, "CURSO;13;Mestrado");
  escreveCurso(invalido, "CURSO;13;Mestrado;7,5");
  for (const Cenario* k : {&c, &sem}) {
    const Resultado r = k->executa("", {"--exportar", "13"});
    EXPECT_EQ(r.estado, 0);
    EXPECT_EQ(r.erros, "");
  }
  const Resultado r = invalido.executa("", {"--exportar", "13"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.erros, aviso75);
  for (const char* f : {"13-Pauta.csv", "13-Estatisticas.csv"}) {
    EXPECT_EQ(c.le(f), sem.le(f));
    EXPECT_EQ(invalido.le(f), sem.le(f));
  }

  ASSERT_EQ(c.executa("", {"--relatorio", "13"}).estado, 0);
  const Texto pagina = c.le("13-Relatorio.html");
  EXPECT_NE(pagina.find("<span class=\"ects-curso\">120</span> ECTS"), Texto::npos);
  EXPECT_NE(pagina.find("100,0 % dos 120 ECTS do curso"), Texto::npos);
  EXPECT_NE(pagina.find("50,0 % dos 120 ECTS do curso"), Texto::npos);
  const Resultado semTotal = invalido.executa("", {"--relatorio", "13"});
  EXPECT_EQ(semTotal.estado, 0);
  EXPECT_EQ(semTotal.erros, aviso75);
  EXPECT_NE(invalido.le("13-Relatorio.html").find("66,7 % dos 180"), Texto::npos);
}

// A continuous-assessment record admitted to the p-folio, with neither p-folio nor resit, holds
// the e-folios' sum (6) as its grade: the grade sheet says it is in assessment, the statistics
// and the report count it apart, and the pass rates are over the final results only; an exam
// never sat is no result either. The student file is only read.
TEST(EmAvaliacao, NaExportacaoENoRelatorio) {
  Cenario c;
  const Texto um = "100;Um;1;1;6;AVALIACAO;";
  c.escreve("4-UC.txt", crlf({"CURSO;4;Quatro", "100;Um;1;1;6"}));
  const Texto estudantes =
      crlf({"ALUNO;1;Ana", um + "1;A;80;3;B;70;3;C;50;2;F;-1;R;-1;N;6", "", "ALUNO;2;Rui",
            um + "0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14", "", "ALUNO;3;Eva",
            um + "0;A;-1;-1;B;-1;-1;C;-1;-1;F;8;R;-1;N;8", "", "ALUNO;4;Ivo",
            um + "0;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1", ""});
  c.escreve("4-Estudantes.txt", estudantes);
  ASSERT_EQ(c.executa("", {"--exportar", "4"}).estado, 0);
  const auto pauta = celulasCsv(c.le("4-Pauta.csv"));
  ASSERT_EQ(pauta.size(), 5u);
  EXPECT_EQ(pauta[1][16] + "|" + pauta[1][17], TXT("6|Em avaliação"));
  EXPECT_EQ(pauta[2][16] + "|" + pauta[2][17], "14|Sim");
  EXPECT_EQ(pauta[3][16] + "|" + pauta[3][17], TXT("8|Não"));
  EXPECT_EQ(pauta[4][16] + "|" + pauta[4][17], TXT("|Não"));
  EXPECT_EQ(c.le("4-Estatisticas.csv"),
            crlf({TXT("Código UC;Unidade Curricular;ECTS;Inscritos;Aprovados;Média dos aprovados;"
                      "10;11;12;13;14;15;16;17;18;19;20;Em avaliação"),
                  "100;Um;6;4;1;14,000;0;0;0;0;1;0;0;0;0;0;0;1"}));

  ASSERT_EQ(c.executa("", {"--relatorio", "4"}).estado, 0);
  const Texto pagina = c.le("4-Relatorio.html");
  EXPECT_NE(pagina.find("<td class=\"n com-resultado\">2</td><td class=\"n em-avaliacao\">1</td>"
                        "<td class=\"n aprovacoes\">1</td><td class=\"n taxa\">50,0 %</td>"),
            Texto::npos);
  const auto figuras = figurasDaPagina(pagina);
  ASSERT_EQ(figuras.size(), 1u);
  EXPECT_EQ(figuras[0].comResultado + "|" + figuras[0].emAvaliacao + "|" + figuras[0].barras[6] +
                "|" + figuras[0].barras[8],
            "2|1|0|1");
  EXPECT_EQ(linhasRegistos(pagina),
            (std::vector<Texto>{"V5.5,6,,,0,1,2", "a,14,14", "r,8,8", "s"}));
  EXPECT_NE(pagina.find(cp1252::paraUtf8(TXT("\"v\":\"em avaliação (# de 8 nos eFolios)\""))),
            Texto::npos);
  EXPECT_TRUE(mesmasFiguras(pagina, c.le("4-Estatisticas.csv")));
  EXPECT_EQ(c.le("4-Estudantes.txt"), estudantes);
}

// The second example course, a master's of 120 ECTS: listed by its name, Marta's 120 ECTS
// complete it, Duarte's 60 are half of it; a save writes its student file back byte for byte;
// its export and report go without a word on standard error.
TEST(TotalDoCurso, CursoDeExemplo) {
  Cenario c;
  c.copiaExemplos(13);
  const auto ficheiros = c.ficheiros();
  ASSERT_EQ(ficheiros.size(), 2u);
  const Resultado r = c.executa("13\n1\n2001\n1\n2002\n4\n9\n9\n");
  EXPECT_EQ(r.estado, 0);
  EXPECT_NE(r.saida.find(linhaTabela("13", TXT("Mestrado em Engenharia Informática"), "13-UC.txt")),
            Texto::npos);
  EXPECT_NE(r.saida.find("Total de ECTS: 120\n\nM"), Texto::npos);
  EXPECT_NE(r.saida.find("Completou 100.0% dos ECTS do Curso \n" + parabens), Texto::npos);
  EXPECT_NE(r.saida.find("Completou 50.0% dos ECTS do Curso \n"), Texto::npos);
  EXPECT_EQ(c.le("13-Estudantes.txt"), exemplo("13-Estudantes.txt"));
  for (const char* modo : {"--exportar", "--relatorio"}) {
    const Resultado m = c.executa("", {modo, "13"});
    EXPECT_EQ(m.estado, 0);
    EXPECT_EQ(m.erros, "");
  }
  EXPECT_TRUE(mesmasFiguras(c.le("13-Relatorio.html"), c.le("13-Estatisticas.csv")));
}
