#include <iomanip>
#include <random>

#include "Apoio.h"
#include "Cp1252.h"

// Both record forms read and written back: stale e-folios, option 2 kept, bad lines refused.
TEST(UC, LeituraEEscrita) {
  const Texto dois = prefixoUC + "2;A;80;3;B;70;3;C;50;2;F;8.5;R;9;N;15",
              sem = "A;-1;-1;B;-1;-1;C;-1;-1;";
  const struct {
    Texto linha, gravada, saida = "";
  } casos[] = {
      {"1001;Unidade X;1;2;6", "1001;Unidade X;1;2;6" + avaliacaoVazia},
      {TXT("1;Física;1;1;6;AVALIACAO;1;A;66.666667;1e-05;B;87.5;2.5;C;-;-;F;8.25;R;-;N;14.7"),
       TXT("1;Física;1;1;6;AVALIACAO;1;A;66.6667;1e-05;B;87.5;2.5;C;-1;-1;F;8.25;R;-1;N;14")},
      {prefixoUC + "0;A;80;3;B;70;3;C;50;2;F;14;R;16;N;16",
       prefixoUC + "0;" + sem + "F;14;R;16;N;16"},
      {prefixoUC + "-1;A;80;3;B;70;3;C;50;2;F;-;R;-;N;-",
       prefixoUC + "-1;" + sem + "F;-1;R;-1;N;-1"},
      {prefixoUC + "-;F;-;R;-;N;3e9", prefixoUC + "-1;" + sem + "F;-1;R;-1;N;2147483647"},
      {dois, dois, avisoIncompativel},
  };
  for (const auto& caso : casos) {
    std::ostringstream avisos;
    EXPECT_EQ(linhaGravada(leUC(caso.linha, &avisos)), caso.gravada + "\r\n");
    EXPECT_EQ(avisos.str(), caso.saida);
  }
  std::ostringstream avisos;
  UC uc;
  for (const Texto& linha :
       std::vector<Texto>{prefixoUC + "1;A;80;3;C;50;2;F;8.5;R;-1;N;15",
                          prefixoUC + "1;A;80;3;B;70;3;C;50;2;F;8.5;N;15",
                          prefixoUC + "1;A;80;3;B;70;3;C;50;2;R;-1;N;15",
                          prefixoUC + "1;A;x;3;B;70;3;C;50;2;F;8.5;R;-1;N;15",
                          prefixoUC + "0;F;abc;R;-1;N;15", prefixoUC + "abc;F;1;R;-1;N;15",
                          prefixoUC + "0;F;1e99;R;-1;N;15", prefixoUC + "0;F;1;R;-1;N;abc",
                          "abc;N;1;1;6", "1;N;1;1", "", "99999999999;N;1;1;6", "1;N;1;x;6"}) {
    EXPECT_FALSE(formato::leUnidade(linha, uc, avisos)) << linha;
  }
  EXPECT_EQ(avisos.str(), "");
}

// The final grade of every assessment path, against the grade already held.
TEST(UC, NotaFinal) {
  const Texto exame = "0;F;", admitido = "1;A;50;4;B;50;4;C;-1;-1;F;",
              naoAdmitido = "1;A;40;4;B;35;4;C;-;-;F;";
  const Texto naoAtualizada = TXT("\nNota final não atualizada\n\n\n"),
              melhoria =
                  TXT("\nATENÇÂO: A nova nota é superior a nota existente, trata-se de uma "
                      "melhoria de nota?\nA Atualizar Nota ...\n\n\n"),
              pesos9 =
                  TXT("\nATENÇÃO: Os pesos dos eFolios somam 9; corrija-os no menu Inserir "
                      "Nota de eFolio para calcular a nota final\n\n\n"),
              pesos3x3 = "1;A;100;3;B;100;3;C;100;3;F;";
  const struct {
    Texto aval;
    int nota;
    Texto atual = "-1", saida = "\n\n";
  } casos[] = {
      {exame + "8;R;12", 12},
      {exame + "14;R;10", 14},
      {exame + "9.5;R;-1", 10},
      {exame + "-1;R;-1", -1},
      {"-1;F;14;R;-1", 0},
      {admitido + "6;R;-1", 10},
      {admitido + "5.4;R;-1", 0},
      {admitido + "5.4;R;7", 11},
      {admitido + "6;R;5", 10},
      {admitido + "6;R;8", 12},
      {admitido + "5.4;R;5.5", 10},
      {admitido + "-1;R;-1", 4},
      {naoAdmitido + "10;R;12", 12},
      {naoAdmitido + "10;R;-1", -1},
      {"1;A;100;8;B;-;-;C;-;-;F;10;R;15", 15},
      {"1;A;0;4;B;100;4;C;-;-;F;6;R;-", 10},
      {"1;A;50;3;B;50;4;C;-1;-1;F;5.5;R;-1", 9},
      {exame + "14.2;R;-1", 14, "12", melhoria},
      {exame + "12.4;R;-1", 12, "12", melhoria},
      {exame + "12;R;-1", 12, "12"},
      {admitido + "8;R;-1", 12, "12"},
      {pesos3x3 + "12;R;-1", -1, "-1", pesos9},
      {pesos3x3 + "12;R;10", 14, "14", pesos9},
      {"1;A;100;3;B;100;3;C;-1;3;F;12;R;-1", 18},
      {exame + "11.6;R;-1", 12, "12", naoAtualizada},
      {exame + "5;R;-1", 8, "8", naoAtualizada},
      {exame + "9.5;R;-1", 10, "8"},
      {exame + "9.6;R;-1", 10, "9.7"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.aval + " N " + caso.atual);
    std::ostringstream c;
    UC uc = ucComAvaliacao(caso.aval + ";N;" + caso.atual);
    uc.atualizaNotaFinal(c);
    EXPECT_EQ(uc.getNota(), caso.nota);
    EXPECT_EQ(c.str(), caso.saida);
  }
  // The sum in the console's current number format, as the e-folio check shows its total.
  std::ostringstream c;
  c << std::fixed << std::setprecision(1);
  UC uc = ucComAvaliacao(pesos3x3 + "12;R;-1;N;-1");
  uc.atualizaNotaFinal(c);
  EXPECT_EQ(c.str(), TXT("\nATENÇÃO: Os pesos dos eFolios somam 9.0; corrija-os no menu Inserir "
                         "Nota de eFolio para calcular a nota final\n\n\n"));
}

// Report rows (passed units only unless forced, own format after fixed notation); statistics.
TEST(UC, Textos) {
  const Texto x = "1;Unidade X;1;2;6;AVALIACAO;1;A;75;2;B;33.3;3;C;0;3;F;8.5;R;-1;N;";
  std::ostringstream c;
  leUC(x + "9.9").imprimeInfoUC(c);
  c << std::fixed << std::setprecision(1);
  leUC(x + "10").imprimeInfoUC(c);
  leUC("3;Exame;1;1;5;AVALIACAO;0;F;14;R;9.25;N;9.9").imprimeInfoUC(c, 1);
  leUC("4;Estranha;1;1;5;AVALIACAO;2;F;-1;R;-1;N;-1", &c).imprimeInfoUC(c, 1);
  UC uc = leUC(ucExame14);
  uc.imprimeInfoUCcurso(c);
  for (float n : {12.0f, 15.0f}) uc.setAlunoAprovado(), uc.setSomaNotas(n);
  uc.imprimeInfoUCcurso(c);
  EXPECT_EQ(c.str(),
            linhaRelatorio(TXT("Unidade X|6|Contínua|1.50|1.00|0.00|8.50|-|10")) +
                linhaRelatorio("Exame|5|Ex.Final|-|-|-|14.00|9.25|9") + avisoIncompativel +
                linhaRelatorio("Estranha|5||-|-|-|-|-|-") +
                TXT("\nUNIDADE CURRICULAR: Álgebra Linear I\nTotal de Alunos Aprovados: 0\n"
                    "Não existem alunos aprovados, logo não é possivel calcular a média\n"
                    "\nUNIDADE CURRICULAR: Álgebra Linear I\nTotal de Alunos Aprovados: 2\n"
                    "Média: 13.500\n"));
}

// A record written in full is read in one pass; any other goes field by
// field. Both must agree: the same record with a trailing field (which only
// the field-by-field reading takes) reads and writes back the same.
TEST(UC, LeituraDiretaIgualAGeral) {
  const char* const numeros[] = {"-",     "-1",      "0",        "15",      "8.25", "66.6667",
                                 "1e-05", "-0",      "007",      "12.50",   " 3",   "1234567",
                                 "1e3",   "9999.75", "12345678", "0.00001", ".5",   "5.",
                                 "2B",    "4F",      "",         "3e9"};
  const char* const opcoes[] = {"1", "0", "-1", "-", "2", "01", "x"};
  std::mt19937 gerador(3);
  auto numero = [&] { return Texto(numeros[gerador() % std::size(numeros)]); };
  for (int i = 0; i < 3000; ++i) {
    Texto linha = numero() + ";Unidade;" + numero() + ";" + numero() + ";" + numero() +
                  ";AVALIACAO;" + opcoes[gerador() % std::size(opcoes)];
    for (const char* letra : {";A;", ";B;", ";C;"}) linha += letra + numero() + ";" + numero();
    linha += ";F;" + numero() + ";R;" + numero() + ";N;" + numero();
    SCOPED_TRACE(linha);
    std::ostringstream c;
    UC direta, geral;
    const bool lida = formato::leUnidade(linha, direta, c);
    const Texto saidaDireta = c.str();
    ASSERT_EQ(formato::leUnidadeGeral(linha, geral, c), lida);
    EXPECT_EQ(c.str(), saidaDireta + saidaDireta);
    if (lida) {
      EXPECT_EQ(linhaGravada(direta), linhaGravada(geral));
    }
  }
}
