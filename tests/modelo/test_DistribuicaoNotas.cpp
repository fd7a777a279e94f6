// How the final grades of the course's units are spread over the students.
#include <numeric>

#include "Apoio.h"
#include "Cp1252.h"
#include "DistribuicaoNotas.h"

// A student with two records of one unit is enrolled once and counted twice, as the pass
// statistics count him; grades off the scale, records without a final result (no grade, an exam
// never sat, continuous assessment still in progress) and units outside the course stay out of
// the bars; the passes of the bars are the statistics' passes.
TEST(DistribuicaoNotas, ContagensPorUnidade) {
  const std::string algebra = TXT("100;Álgebra;1;1;6;AVALIACAO;0;F;");
  const std::string fisica = TXT("200;Física;1;2;6;AVALIACAO;");
  const std::string emCurso = "1;A;80;3;B;70;3;C;50;2;F;-1;R;-1;N;6";
  Listacurso unidades = carregaCurso(crlf({"CURSO;1;C", TXT("100;Álgebra;1;1;6"),
                                           TXT("200;Física;1;2;6"), TXT("300;Ética;2;1;4")}),
                                     nullptr, true);
  const std::vector<Estudantes> estudantes = {
      estudante("Ana", {algebra + "14;R;-1;N;14", algebra + "9;R;-1;N;9", fisica + emCurso}),
      estudante("Rui", {algebra + "20;R;-1;N;20", fisica + "0;F;25;R;-1;N;25",
                        "999;Outra;1;1;6;AVALIACAO;0;F;12;R;-1;N;12"}),
      estudante("Eva", {algebra + "0;R;-1;N;0", algebra + "-1;R;-1;N;7"}),
      estudante("Sem UCs", {})};
  unidades.setInfoUCsCurso(estudantes);
  const auto distribuicoes = distribuiNotas(unidades.getListaUCsCurso(), estudantes);
  ASSERT_EQ(distribuicoes.size(), 3u);

  const DistribuicaoUC& deAlgebra = distribuicoes[0];
  EXPECT_EQ(deAlgebra.inscritos, 3);
  EXPECT_EQ(deAlgebra.comResultado, 4);  // the exam never sat holds a 7, but no result
  EXPECT_EQ(deAlgebra.emAvaliacao, 0);
  std::array<long long, 21> esperado{};
  esperado[0] = esperado[9] = esperado[14] = esperado[20] = 1;
  EXPECT_EQ(deAlgebra.porNota, esperado);

  const DistribuicaoUC& deFisica = distribuicoes[1];
  EXPECT_EQ(deFisica.inscritos, 2);
  EXPECT_EQ(deFisica.comResultado, 1);  // the 25 read from a file: a result, in no bar
  EXPECT_EQ(deFisica.emAvaliacao, 1);   // the 6 of the e-folios alone: no result yet
  EXPECT_EQ(deFisica.porNota, (std::array<long long, 21>{}));
  EXPECT_EQ(distribuicoes[2].inscritos, 0);

  const auto passesNasBarras = [&](size_t i) {
    const auto& porNota = distribuicoes[i].porNota;
    return std::accumulate(porNota.begin() + 10, porNota.end(), 0LL);
  };
  const std::vector<UC>& ucs = unidades.getListaUCsCurso();
  EXPECT_EQ(passesNasBarras(0), ucs[0].getAlunosAprovados());
  EXPECT_EQ(passesNasBarras(2), ucs[2].getAlunosAprovados());
  EXPECT_EQ(ucs[1].getAlunosAprovados(), 1);  // the 25 is a pass off the scale
}
