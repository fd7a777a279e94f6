#include <iomanip>

#include "Apoio.h"

// Grade-entry dialogues: texts, ranges, admission, saved values (depois), input left unread.
TEST(NotasUC, Dialogos) {
  const S eA = nota + "A:\n" + erroNota + "A\n", inv = "Opção inválida\n";
  const auto dicaC = "Para o caso de não existir eFolio C inserir -1 na Nota\n" + nota + "C:\n";
  const struct { S registo, acao, entrada, depois, saida, resto = "\n"; } casos[] = {
      {"1;A;-;-;B;-;-;C;-;-", "A", "100.5\n-0.5\n-2\n100\n8.5\n-1\n8\n", "A;100;8;B;-1;-1",
       eA + eA + eA + nota + "A:\n" + peso('A') + erroPeso + peso('A') + erroPeso + peso('A')},
      {"-1", "B", "2\n-1\n1\n0\n0\n", "1;A;-1;-1;B;0;0",
       opcao + inv + opcao + inv + opcao + nota + "B:\n" + peso('B')},
      {"1;A;-;-;B;-;-;C;50;2", "C", "120\n-1\nx\n", "C;-1;-1", dicaC + erroNota + "C\n" + dicaC,
       "\nx\n"},
      {"0", "B", "", "0;A;-1;-1;B;-1;-1",
       "ATENÇÃO: Não é possivel inserir notas de eFolio, o aluno optou por Exame Final nesta "
       "Unidade Curricular\n", ""},
      {"1;A;50;3;B;50;4;C;-;-", "F", "12.5\n-0.1\n5.5\n", "F;5.5;R;-1",
       pF + erro("pFolio", "12") + pF + erro("pFolio", "12") + pF + ok("pFolio")},
      {"1;A;50;4;B;50;4;C;-;-", "F", "5.4\n", "F;5.4;R;-1", pF + aviso("pFolio")},
      {"1;A;40;3;B;50;4;C;-;-", "F", "7\n", "F;-1;R;-1",
       minimo + " \nNão é possivel inserir a nota do pFolio \n", "7\n"},
      {"1;A;100;8;B;-;-;C;-;-", "F", "7\n", "F;-1;R;-1", contagem + "\n", "7\n"},
      {"-1", "F", "0\n-1\n20.5\n20\n", "0;A;-1;-1;B;-1;-1;C;-1;-1;F;20;R;-1",
       opcao + exF + erro("Exame Final", "20") + exF + erro("Exame Final", "20") + exF +
           ok("Exame Final")},
      {"1;A;50;2;B;50;2;C;-;-", "R", "25\n15\n", "F;-1;R;15",
       minimo + " de Recurso" + aExame + erro("Exame de Recurso", "20") + minimo + " de Recurso" +
           aExame + ok("Exame de Recurso")},
      {"1;A;100;8;B;-;-;C;-;-", "R", "15\n", "F;-1;R;15",
       contagem + " de recurso" + aExame + ok("Exame de Recurso")},
      {"1;A;50;4;B;50;4;C;-;-", "R", "15\n5\n", "F;-1;R;5",
       pR + erro("pFolio de Recurso", "12") + pR + aviso("pFolio de Recurso")},
      {"0", "R", "21\n0\n", "F;-1;R;0",
       rec + erro("Exame de Recurso", "20") + rec + ok("Exame de Recurso")},
      // An option read as neither 0 nor 1: p-folio entry refused (one ERRO: line); resit exam.
      {"2;A;50;4;B;50;4;C;-;-", "F", "9\n", "2;A;50;4;B;50;4;C;-1;-1;F;-1;R;-1", "ERRO:\n", "9\n"},
      {"2;A;50;4;B;50;4;C;-;-", "R", "9\n", "F;-1;R;9", rec + ok("Exame de Recurso")},
  };
  for (const auto& d : casos) {
    SCOPED_TRACE(d.registo + " " + d.acao + " " + d.entrada);
    UC r = reg(d.registo + ";F;-;R;-;N;-");
    Captura c(d.entrada);
    if (d.acao == "F") r.userSetNotaProvaFinal();
    if (d.acao == "R") r.userSetNotaExameRecurso();
    if (d.acao < "D") r.userSetNotaEfolio(d.acao[0]);
    S saida = c.saida(), g = grava(r);
    if (d.saida == "ERRO:\n") saida = saida.substr(0, 5) + saida.substr(saida.find('\n'));
    EXPECT_EQ(saida, d.saida);
    EXPECT_NE(g.find(d.depois + ";"), g.npos) << g;
    EXPECT_EQ(c.restoEntrada(), d.resto);
  }
}

// Continuous assessment needs weights adding up to 8; the listing follows the console notation.
TEST(NotasUC, PesosTemDeSomarOito) {
  Captura c;
  EXPECT_EQ(reg("1;A;50;2.5;B;50;2.5;C;-1;3;F;-;R;-;N;-").validaDadosEfolios(), 1);
  EXPECT_EQ(reg("1;A;50;3;B;50;3;C;50;3;F;-;R;-;N;-").validaDadosEfolios(), 0);
  EXPECT_EQ(reg("0;F;-;R;-;N;-").validaDadosEfolios(), 0);
  std::cout << std::fixed << std::setprecision(1);
  EXPECT_EQ(reg("1;A;-;-;B;-;-;C;-;-;F;-;R;-;N;-").validaDadosEfolios(), 0);
  EXPECT_EQ(c.saida(), "Valores dos eFolios são Válidos\n" + pesos("3", "3", "3", "9") +
                           pesos("0.0", "0.0", "0.0", "0.0"));
}
