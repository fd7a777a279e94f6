#include "Apoio.h"
#include "RetratoEstudantes.h"

namespace {

// What the comparison gives: "NUMERO;UC;CAMPO;ANTES;DEPOIS" per line, the other fields as given.
std::vector<Texto> compara(const RetratoEstudantes& retrato, const std::vector<Estudantes>& agora) {
  historico::LinhaHistorico modelo;
  modelo.origem = "dialogo";
  std::vector<Texto> linhas;
  comparaEstudantes(retrato, agora, modelo, [&linhas](historico::LinhaHistorico& l) {
    EXPECT_EQ(l.origem, "dialogo");
    linhas.push_back(l.numero + ";" + l.uc + ";" + l.campo + ";" + l.antes + ";" + l.depois);
  });
  return linhas;
}

Estudantes numerado(int numero, const Texto& nome, std::vector<Texto> ucs) {
  Estudantes e = estudante(nome, std::move(ucs));
  e.setNumAluno(numero);
  return e;
}

}  // namespace

// Every field of a unit, in file order; students and units in order; only what the student file
// would write differently.
TEST(RetratoEstudantes, CadaValorAlterado) {
  std::vector<Estudantes> alunos = {numerado(7, "Um", {ucContinua16, ucExame14}),
                                    numerado(8, "Dois", {ucContinua9})};
  RetratoEstudantes retrato;
  retrato.inicia(alunos.size());
  EXPECT_TRUE(compara(retrato, alunos).empty());

  // Each student pictured before his change; a change to one not pictured is not seen.
  retrato.guarda(0, alunos[0]);
  alunos[0].alteraListaUCs()[1].setProvaFinal(3);
  alunos[1].alteraListaUCs()[0].setNota(7);
  EXPECT_EQ(compara(retrato, alunos), (std::vector<Texto>{"7;21002;pFolio/Exame;14;3"}));
  alunos[0].alteraListaUCs()[1].setProvaFinal(14);
  alunos[1].alteraListaUCs()[0].setNota(9);
  retrato.guardaTodos(alunos);
  UC& bd = alunos[0].alteraListaUCs()[0];
  bd.setOpcaoAvaliacao(0);
  bd.procuraEfolio('A')->setNota(80);
  bd.procuraEfolio('A')->setPeso(2.5f);
  bd.procuraEfolio('B')->setNota(33.3f);  // the same value: no line
  bd.procuraEfolio('B')->setPeso(-1);
  bd.procuraEfolio('C')->setNota(-1);
  bd.procuraEfolio('C')->setPeso(66.66667f);
  bd.setProvaFinal(12);
  bd.setProvaRecurso(9.75f);
  bd.setNota(16.9f);  // written truncated: still 16
  alunos[1].alteraListaUCs()[0].setNota(12);
  EXPECT_EQ(compara(retrato, alunos),
            (std::vector<Texto>{"7;21053;opcao;1;0", "7;21053;eFolioA;75;80", "7;21053;pesoA;2;2.5",
                                "7;21053;pesoB;3;-1", "7;21053;eFolioC;0;-1",
                                "7;21053;pesoC;3;66.6667", "7;21053;pFolio/Exame;8.5;12",
                                "7;21053;Recurso;-1;9.75", "8;21037;NotaFinal;9;12"}));

  // Once saved, the same values are no change; changed and changed back is none; a real whose
  // bits differ but whose text is the same is none.
  retrato.inicia(alunos.size());
  retrato.guardaTodos(alunos);
  EXPECT_TRUE(compara(retrato, alunos).empty());
  bd.setProvaFinal(3);
  bd.setProvaFinal(12);
  bd.procuraEfolio('C')->setPeso(66.666672f);
  EXPECT_TRUE(compara(retrato, alunos).empty());
}

// A student beyond the picture is new: his name, then what his units hold that is not "none".
TEST(RetratoEstudantes, AlunoNovo) {
  std::vector<Estudantes> alunos = {numerado(7, "Um", {ucSemAvaliacao})};
  RetratoEstudantes retrato;
  retrato.inicia(alunos.size());
  alunos.push_back(numerado(9, TXT("Zé; \"o novo\""), {ucSemAvaliacao, ucExame14}));
  EXPECT_EQ(compara(retrato, alunos),
            (std::vector<Texto>{TXT("9;;aluno;;Zé; \"o novo\""), "9;21002;opcao;-1;0",
                                "9;21002;pFolio/Exame;-1;14", "9;21002;NotaFinal;-1;14"}));
  retrato.inicia(0);
  EXPECT_EQ(compara(retrato, alunos).size(), 5u);
  retrato.inicia(alunos.size());
  EXPECT_TRUE(compara(retrato, alunos).empty());
}

// Removals give their lines first, in the order made, with what the file held (not a change
// made since); the students and units after a removed one are still matched to their own
// pictures; a new student removed was never in the file and gives nothing.
TEST(RetratoEstudantes, Remocoes) {
  std::vector<Estudantes> alunos = {numerado(7, "Um", {ucContinua16, ucExame14}),
                                    numerado(8, "Dois", {ucContinua9, ucExame14}),
                                    numerado(9, "Tres", {ucExame14})};
  RetratoEstudantes retrato;
  retrato.inicia(alunos.size());
  retrato.guarda(0, alunos[0]);
  alunos[0].alteraListaUCs()[1].setProvaFinal(3);  // not saved: the file still holds 14
  retrato.removeAluno(0, alunos[0]);
  alunos.erase(alunos.begin());
  retrato.removeUC(0, 0, alunos[0]);
  alunos[0].removeUC(0);
  alunos[0].alteraListaUCs()[0].setProvaFinal(12);
  alunos.push_back(numerado(10, "Novo", {ucExame14}));
  retrato.removeAluno(2, alunos[2]);
  alunos.pop_back();
  retrato.guardaTodos(alunos);
  alunos[1].alteraListaUCs()[0].setNota(15);
  const Texto exame14 =
      TXT("21002;Álgebra Linear I;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;"
          "F;14;R;-1;N;14");
  EXPECT_EQ(compara(retrato, alunos),
            (std::vector<Texto>{
                "7;;aluno;Um;",
                "7;21053;uc;21053;BD;2;1;12;AVALIACAO;1;A;75;2;B;33.3;3;C;0;3;F;8.5;R;-1;N;16;",
                "7;21002;uc;" + exame14 + ";",
                TXT("8;21037;uc;21037;Estatística;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;5;R;-1;"
                    "N;9;"),
                "8;21002;pFolio/Exame;14;12", "9;21002;NotaFinal;14;15"}));
  // Once saved, the removals are behind.
  retrato.inicia(alunos.size());
  EXPECT_TRUE(compara(retrato, alunos).empty());
}

// The writer of one save's lines gives the bytes of the format's general writer, quoting and
// chain included.
TEST(RetratoEstudantes, EscritorDasLinhasDeUmaGravacao) {
  std::vector<historico::LinhaHistorico> linhas(3);
  for (historico::LinhaHistorico& l : linhas) {
    l = {"2026-12-07T14:03:27+01:00",
         "ana;b",
         "pc\"1",
         "importacao:a;b.csv",
         "9",
         "21002",
         "eFolioA",
         "-1",
         "66.6667",
         ""};
  }
  linhas[1].depois = TXT("Zé; \"o novo\"\r\n");
  linhas[2].uc.clear();
  std::string anterior = historico::verificacaoInicial, esperado;
  historico::escreveLinhas(linhas, anterior, esperado);
  historico::EscritorLinhas escritor(linhas[0], historico::verificacaoInicial);
  std::string escrito;
  for (const historico::LinhaHistorico& l : linhas) escritor.escreve(l, escrito);
  EXPECT_EQ(escrito, esperado);
}
