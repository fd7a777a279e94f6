// The import's rows against a course in memory: enrolment, grades with the
// dialogue's rules, the final grade, and the reason given for each bad row.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Correcao.h"
#include "Cp1252.h"
#include "FormatoDados.h"
#include "Importacao.h"

namespace {

UC unidade(const std::string& linha) {
  UC uc;
  std::ostringstream avisos;
  EXPECT_TRUE(formato::leUnidade(linha, uc, avisos)) << linha;
  return uc;
}

// A course of two units and one student, Ana (1001), who takes both: unit
// 100 in continuous assessment with e-folios A and B, p-folio 8, final 14;
// unit 200 with no option chosen yet.
struct Curso {
  std::vector<UC> unidades{unidade(TXT("100;Álgebra;1;1;6")), unidade(TXT("200;Física;1;2;6"))};
  std::vector<Estudantes> estudantes;
  std::vector<std::string> erros;

  Curso() {
    Estudantes ana;
    ana.setNumAluno(1001);
    ana.setNome("Ana");
    ana.adicionaUC(
        unidade(TXT("100;Álgebra;1;1;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8;R;-1;N;14")));
    ana.adicionaUC(unidade(TXT("200;Física;1;2;6;AVALIACAO;-1;F;-;R;-;N;-")));
    estudantes.push_back(ana);
  }
  ResumoImportacao importa(const std::string& csv) {
    erros.clear();
    return importaPauta(csv, unidades, estudantes, erros);
  }
  ResumoImportacao corrige(const std::string& csv) {
    erros.clear();
    return importaPauta(csv, unidades, estudantes, erros, Regime::correcao);
  }
  const UC& uc(size_t aluno, size_t indice) const {
    return estudantes[aluno].getListaUCs()[indice];
  }
  std::string linhaFicheiro(size_t aluno, size_t indice) const {
    std::string linha;
    formato::gravaFicheiroEstudanteUC(uc(aluno, indice), linha);
    return linha;
  }
};

const std::string cabecalho =
    TXT("Número;Nome;Código UC;Avaliação;eFolio A;Peso A;eFolio B;Peso B;eFolio C;Peso C;"
        "pFolio/Exame;Recurso\r\n");

std::string resumo(const ResumoImportacao& r) { return textoResumo(false, "f.csv", r); }

}  // namespace

// A list of numbers and names enrols the new ones in every unit, with the
// units as the course gives them; a known student with his name is no change.
TEST(Importacao, ListaDeAlunos) {
  Curso curso;
  const ResumoImportacao r =
      curso.importa(TXT("Nome;Número\n Bruno ;2002\nAna;1001\n;;\n'-Rui;-7\n"));
  EXPECT_EQ(curso.erros, std::vector<std::string>{});
  EXPECT_EQ(resumo(r),
            TXT("Importado f.csv: 2 alunos novos, 0 notas alteradas, 1 linhas sem alterações"));
  ASSERT_EQ(curso.estudantes.size(), 3u);
  EXPECT_EQ(curso.estudantes[1].getNome(), "Bruno");
  EXPECT_EQ(curso.estudantes[2].getNome(), "-Rui");  // the export's formula guard removed
  EXPECT_EQ(curso.estudantes[2].getNumAluno(), -7);
  EXPECT_EQ(curso.linhaFicheiro(1, 1), TXT("200;Física;1;2;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;"
                                           "F;-1;R;-1;N;-1\r\n"));
  EXPECT_EQ(textoResumo(true, "f.csv", r).substr(0, 16), "Verificado f.csv");
}

// Grades are applied in the order e-folios, p-folio or exam, resit, then the
// final grade is recomputed; an e-folio (grade and weight) counts once.
TEST(Importacao, NotasENotaFinal) {
  Curso curso;
  ResumoImportacao r = curso.importa(cabecalho + TXT("1001;Ana;200;Contínua;80;3;70;3;50;2;8,5;\r\n"
                                                     "1001;;100;Contínua;;;;;;;9.5;\r\n"));
  EXPECT_EQ(curso.erros, std::vector<std::string>{});
  EXPECT_EQ(resumo(r),
            TXT("Importado f.csv: 0 alunos novos, 5 notas alteradas, 0 linhas sem alterações"));
  EXPECT_EQ(curso.linhaFicheiro(0, 1), TXT("200;Física;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;"
                                           "F;8.5;R;-1;N;14\r\n"));
  EXPECT_EQ(curso.uc(0, 0).notaExata(), 15);  // 5.5 + 9.5
  // A lower new grade leaves the final grade as it was, as the dialogue does.
  r = curso.importa(cabecalho + "1001;Ana;100;;;;;;;;6;\r\n");
  EXPECT_EQ(curso.uc(0, 0).getProvaFinal(), 6);
  EXPECT_EQ(curso.uc(0, 0).notaExata(), 15);
  // An e-folio removed with -1 loses its weight; the weights must still total 8.
  r = curso.importa(cabecalho + "1001;Ana;100;;80;5;;;-1;\r\n");
  EXPECT_EQ(curso.erros, std::vector<std::string>{});
  EXPECT_EQ(r.notasAlteradas, 2);
  EXPECT_EQ(curso.linhaFicheiro(0, 0).substr(0, 55),
            TXT("100;Álgebra;1;1;6;AVALIACAO;1;A;80;5;B;70;3;C;-1;-1;F;6"));
}

// Cells equal to the stored values change nothing and are not checked: the
// export of any course imports back without a word, odd values included.
TEST(Importacao, ValoresIguaisNaoSaoAlteracoes) {
  Curso curso;
  curso.estudantes[0].setUC(1, unidade(TXT("200;Física;1;2;6;AVALIACAO;-1;F;25;R;-1;N;25")));
  const std::string antes = curso.linhaFicheiro(0, 0) + curso.linhaFicheiro(0, 1);
  const ResumoImportacao r =
      curso.importa(TXT("Peso A,eFolio A,Código UC,Número,pFolio/Exame,Nota Final,Avaliação,Outra\n"
                        "3,80.0,100,1001,8,99,Contínua,x\n"
                        "3,80,100,1001,,,,\n"
                        ",,200,1001,25,,,\n"));
  EXPECT_EQ(curso.erros, std::vector<std::string>{});
  EXPECT_EQ(resumo(r),
            TXT("Importado f.csv: 0 alunos novos, 0 notas alteradas, 3 linhas sem alterações"));
  EXPECT_FALSE(r.alterado);
  EXPECT_EQ(curso.linhaFicheiro(0, 0) + curso.linhaFicheiro(0, 1), antes);
}

// Every kind of bad row gives its line and a reason naming the column; the
// rows are checked all the same, and a bad row changes nothing.
TEST(Importacao, LinhasComErros) {
  Curso curso;
  const std::string ana = "1001;Ana;";
  curso.importa(cabecalho +
                "0;Zero\r\n"                         // 2
                "12a;X\r\n"                          // 3
                "3003\r\n"                           // 4
                "1001;Ana Maria\r\n"                 // 5
                + ana + "999\r\n"                    // 6
                + ana + "1x\r\n"                     // 7
                + ana + "100;Exame Final\r\n"        // 8
                + ana + "100;Sim\r\n"                // 9
                + ana + "200;;;;;;;;12\r\n"          // 10
                + ana + "200;Exame Final;50\r\n"     // 11
                + ana + "100;;101;3;70;-1;50;2\r\n"  // 12
                + ana + "100;;80;3;70;3;50;3\r\n"    // 13
                + ana + "100;;;;;;;;12,5;13\r\n"     // 14
                + ana + "100;;30;3;10;3;;;9\r\n"     // 15
                + ana + "100;;;;;;-1;2\r\n"          // 16
                + ana + "100;;;;;;;;oito\r\n"        // 17
                + ana + ";;;;;;;;12\r\n"             // 18
                + ana +
                "200;Exame Final;;;;;;;21;\r\n"    // 19
                "1001;Ana;100;;;;;;;;;;extra\r\n"  // 20
                + ana +
                TXT("200;Contínua;60\r\n"        // 21
                    "2002;\"Rui\r\nLopes\"\r\n"  // 22
                    "1001;\"Ana\r\n"));          // 24
  const std::vector<std::string> esperados = {
      TXT("Linha 2: Número: o número 0 não pode ser usado como número de aluno"),
      TXT("Linha 3: Número: '12a' não é um número de aluno"),
      "Linha 4: Nome: falta o nome do novo aluno",
      TXT("Linha 5: Nome: o aluno 1001 chama-se 'Ana', não 'Ana Maria'"),
      TXT("Linha 6: Código UC: a UC 999 não existe no curso"),
      TXT("Linha 7: Código UC: '1x' não é um código de UC"),
      TXT("Linha 8: Avaliação: o aluno já tem a opção Contínua nesta UC"),
      TXT("Linha 9: Avaliação: 'Sim' não é Contínua nem Exame Final"),
      TXT("Linha 10: Avaliação: falta a opção de avaliação da UC (Contínua ou Exame Final)"),
      "Linha 11: eFolio A: o aluno optou por Exame Final nesta UC",
      "Linha 12: eFolio A: '101' fora do intervalo de 0 a 100 (-1: sem eFolio)",
      "Linha 12: Peso B: '-1' fora do intervalo de 0 a 8",
      TXT("Linha 13: Pesos: os pesos dos eFolios somam 9 e têm de somar 8"),
      "Linha 14: pFolio/Exame: '12,5' fora do intervalo de 0 a 12",
      "Linha 14: Recurso: '13' fora do intervalo de 0 a 12",
      TXT("Linha 15: pFolio/Exame: o aluno não foi admitido ao pFolio: os eFolios somam 2,2, o "
          "mínimo é 3,5"),
      TXT("Linha 16: Peso C: o eFolio C sem nota não tem peso"),
      TXT("Linha 17: pFolio/Exame: 'oito' não é um número"),
      TXT("Linha 18: Código UC: falta o código da UC das notas"),
      "Linha 19: pFolio/Exame: '21' fora do intervalo de 0 a 20",
      TXT("Linha 20: a linha tem mais células do que o cabeçalho"),
      "Linha 21: Peso A: falta o peso do eFolio A",
      "Linha 22: Nome: o nome tem quebras de linha ou outros caracteres de controlo",
      TXT("Linha 24: aspas abertas que não fecham até ao fim do ficheiro"),
  };
  EXPECT_EQ(curso.erros, esperados);
  EXPECT_EQ(curso.estudantes.size(), 1u);
  EXPECT_EQ(curso.linhaFicheiro(0, 1), TXT("200;Física;1;2;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;"
                                           "F;-1;R;-1;N;-1\r\n"));
}

// Header names match whatever their case, accents and blanks around them; a missing column
// shows the header as read.
TEST(Importacao, Cabecalho) {
  Curso curso;
  curso.importa(TXT("Nome;Código UC\r\n1;Ana\r\n"));
  EXPECT_EQ(curso.erros, std::vector<std::string>{TXT(
                             "Linha 1: falta a coluna Número (cabeçalho lido: Nome | Código UC)")});
  curso.importa(TXT("Número;Recurso; NÚMERO \r\n"));
  EXPECT_EQ(curso.erros,
            (std::vector<std::string>{TXT("Linha 1: a coluna Número aparece mais de uma vez"),
                                      TXT("Linha 1: falta a coluna Código UC das notas "
                                          "(cabeçalho lido: Número | Recurso | NÚMERO)")}));
  curso.importa("");
  EXPECT_EQ(curso.erros,
            std::vector<std::string>{TXT("Linha 1: falta a coluna Número (cabeçalho lido: )")});
  curso.importa(TXT(" numero ;NOME;codigo uc;AVALIAÇÃO;pfolio/exame\r\n9;Nove;100;Exame;\r\n"));
  EXPECT_EQ(curso.erros, std::vector<std::string>{
                             TXT("Linha 2: AVALIAÇÃO: 'Exame' não é Contínua nem Exame Final")});
}

// A UTF-8 file is read as such; a character CP1252 lacks is an error for its row.
TEST(Importacao, Utf8) {
  Curso curso;
  curso.importa("N\xC3\xBAmero;Nome\n2002;In\xC3\xAAs\n2003;\xC5\x81ukasz\n");
  EXPECT_EQ(curso.erros,
            std::vector<std::string>{TXT("Linha 3: Nome: caracteres que o CP1252 não tem")});
  curso.estudantes.resize(1);
  curso.importa("\xEF\xBB\xBFN\xC3\xBAmero;Nome\n2002;In\xC3\xAAs\n2003;Jo\xE3o\n");
  EXPECT_EQ(curso.erros, std::vector<std::string>{TXT("Linha 3: Nome: texto UTF-8 inválido")});
  curso.estudantes.resize(1);
  EXPECT_EQ(curso.importa("N\xFAmero;Nome\n2002;In\xEAs\n").alunosNovos, 1);  // CP1252
  EXPECT_EQ(curso.estudantes.back().getNome(), TXT("Inês"));
}

// Rows for the same student and unit may repeat a value, written any way that reads the same, but
// not give another: the later row is an error naming the row that gave it first. A row with an
// error gives nothing, and the file's own values are not rows.
TEST(Importacao, LinhasRepetidas) {
  Curso curso;
  const ResumoImportacao r =
      curso.importa(cabecalho + TXT("1001;Ana;200;Contínua;80;3;70;3;50;2;;\r\n"  // 2
                                    "1001;Ana;200;continua;80;3;;;;;8,5;\r\n"     // 3
                                    "1001;Ana;200;;80,0;3;;;;;;\r\n"              // 4
                                    "1001;Ana;200;;;;75;;;;;\r\n"                 // 5
                                    "1001;Ana;200;Exame Final;;;;;;;9;\r\n"       // 6
                                    "2002;Bruno;100;Exame Final;;;;;;;12;\r\n"    // 7
                                    "2002;Bruno;100;;;;;;;;12,0;\r\n"             // 8
                                    "2002;bruno;100;;;;;;;;13;\r\n"               // 9
                                    "1001;Ana;100;;;;;;;;oito;\r\n"               // 10
                                    "1001;Ana;100;;;;;;;;9;\r\n"));               // 11
  EXPECT_EQ(curso.erros,
            (std::vector<std::string>{
                TXT("Linha 5: o aluno 1001 na UC 200 já tem outro valor de eFolio B na linha 2"),
                TXT("Linha 6: o aluno 1001 na UC 200 já tem outro valor de Avaliação na linha 2"),
                TXT("Linha 6: o aluno 1001 na UC 200 já tem outro valor de pFolio/Exame na "
                    "linha 3"),
                TXT("Linha 9: o aluno 2002 na UC 100 já tem outro valor de pFolio/Exame na "
                    "linha 7"),
                TXT("Linha 10: pFolio/Exame: 'oito' não é um número")}));
  EXPECT_EQ(r.linhasComErros, 4);
}

// A known student's name matches whatever its case, accents and runs of blanks, and the course
// keeps its own spelling; another name is an error. The number column has other names.
TEST(Importacao, NomesEColunaDoNumero) {
  Curso curso;
  curso.estudantes[0].setNome(TXT("João Gonçalves Pereira"));
  ResumoImportacao r =
      curso.importa(TXT("Nº;Nome\r\n1001;JOÃO GONÇALVES PEREIRA\r\n"
                        "1001; Joao  Goncalves\tPereira \r\n"
                        "1001;João Pereira\r\n"));
  EXPECT_EQ(curso.erros, std::vector<std::string>{TXT(
                             "Linha 4: Nome: o aluno 1001 chama-se 'João Gonçalves Pereira', não "
                             "'João Pereira'")});
  EXPECT_EQ(r.linhasSemAlteracoes, 2);
  EXPECT_EQ(curso.estudantes[0].getNome(), TXT("João Gonçalves Pereira"));
  for (const char* numero : {TXT("N.º"), "No", TXT("Número")}) {
    r = curso.importa(std::string(numero) + TXT(";Nome\r\n1001;joão gonçalves pereira\r\n"));
    EXPECT_EQ(curso.erros, std::vector<std::string>{}) << numero;
    EXPECT_EQ(r.linhasSemAlteracoes, 1) << numero;
  }
}

// A correction replaces values lower or higher, "-" takes one back to none, and the final grade
// is the one the corrected values give, stored even when lower and said when it went down.
TEST(Correcao, ValoresSubstituidosELimpos) {
  Curso curso;
  ResumoImportacao r = curso.corrige(cabecalho + "1001;Ana;100;;;;;;;;6;\r\n");
  EXPECT_EQ(curso.erros, std::vector<std::string>{});
  EXPECT_EQ(curso.uc(0, 0).notaExata(), 12);  // 5.5 + 6, rounded
  EXPECT_EQ(r.avisos,
            std::vector<std::string>{"Aluno 1001, UC 100: nota final 14 corrigida para 12"});
  EXPECT_EQ(textoResumoCorrecao(false, "f.csv", r),
            "Corrigidos: 1 valores de 1 alunos (1 notas finais desceram)");
  EXPECT_EQ(textoResumoCorrecao(true, "f.csv", r),
            "Verificado f.csv: 1 valores de 1 alunos a corrigir (1 notas finais desceriam)");
  // The p-folio back to none: the e-folios' sum alone; an e-folio with its weight, the weights
  // still totalling 8.
  r = curso.corrige(cabecalho + "1001;;100;;80;4;-;;50;4;-;\r\n");
  EXPECT_EQ(curso.erros, std::vector<std::string>{});
  EXPECT_EQ(curso.linhaFicheiro(0, 0),
            TXT("100;Álgebra;1;1;6;AVALIACAO;1;A;80;4;B;-1;-1;C;50;4;F;-1;R;-1;N;5\r\n"));
  EXPECT_EQ(r.valoresCorrigidos, 5);  // pesoA, eFolioB, pesoB, pesoC, the p-folio
  EXPECT_EQ(r.notasDesceram, 1);
  // The same values again: nothing to correct, the final grade not recomputed.
  r = curso.corrige(cabecalho + "1001;;100;;80;4;-;-;50;4;-;\r\n");
  EXPECT_FALSE(r.alterado);
  EXPECT_EQ(textoResumoCorrecao(false, "f.csv", r), "Nada a corrigir");
  // Every e-folio back to none is the record as it started: no weights to total.
  r = curso.corrige(cabecalho + "1001;;100;;-;;-;;-;;;\r\n");
  EXPECT_EQ(curso.erros, std::vector<std::string>{});
  EXPECT_EQ(curso.linhaFicheiro(0, 0),
            TXT("100;Álgebra;1;1;6;AVALIACAO;1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1\r\n"));
  EXPECT_EQ(r.avisos,
            std::vector<std::string>{"Aluno 1001, UC 100: nota final 5 corrigida para -"});
  // "-" takes the option back to none; grades then need one, as in the import.
  curso.corrige(cabecalho + "1001;;100;-;;;;;;;;\r\n1001;;100;;;;;;;;9;\r\n");
  EXPECT_EQ(curso.uc(0, 0).getOpcaoAvaliacao(), opcaoNaoEscolhida);
  EXPECT_EQ(curso.erros, std::vector<std::string>{TXT(
                             "Linha 3: Avaliação: falta a opção de avaliação da UC (Contínua ou "
                             "Exame Final)")});
}

// A correction cannot make a record the dialogue could not: e-folios that leave the student
// without admission while his p-folio stays, a resit out of the range the new admission gives,
// weights that do not total 8; nor enrol anyone, nor give one cell two values. The import keeps
// refusing "-".
TEST(Correcao, RegrasMantidas) {
  const std::pair<std::string, std::string> casos[] = {
      {"1001;;100;;10;;;;;;;",
       TXT("Linha 2: pFolio/Exame: o aluno não foi admitido ao pFolio: os eFolios somam 3,4, o "
           "mínimo é 3,5")},
      {"1001;;100;;-;;;;;;;", TXT("Linha 2: Pesos: os pesos dos eFolios somam 5 e têm de somar 8")},
      {"2002;Rui;100;;;;;;;;;", TXT("Linha 2: Número: o aluno 2002 não existe no curso")},
      {"1001;;100;;;;;;;;6;\r\n1001;;100;;;;;;;;-;",
       TXT("Linha 3: o aluno 1001 na UC 100 já tem outro valor de pFolio/Exame na linha 2")},
  };
  for (const auto& [linhas, erro] : casos) {
    Curso curso;
    curso.corrige(cabecalho + linhas + "\r\n");
    EXPECT_EQ(curso.erros, std::vector<std::string>{erro}) << linhas;
  }
  // Admitted with e-folios worth 3.5 (A at 20), a resit of 15 is out of the p-folio resit's range.
  Curso curso;
  curso.estudantes[0].setUC(0, unidade(TXT("100;Álgebra;1;1;6;AVALIACAO;1;A;-1;-1;B;-1;-1;C;-1;"
                                           "-1;F;-1;R;15;N;15")));
  curso.corrige(cabecalho + "1001;;100;;50;4;50;3;0;1;;\r\n");
  EXPECT_EQ(curso.erros,
            std::vector<std::string>{"Linha 2: Recurso: '15' fora do intervalo de 0 a 12"});
  // The import too: counted as a p-folio resit, it would give 3.5 + 15 (8 + 20 at most).
  const std::vector<std::string> erros = curso.erros;
  curso.importa(cabecalho + "1001;;100;;50;4;50;3;0;1;;\r\n");
  EXPECT_EQ(curso.erros, erros);
  curso.importa(cabecalho + "1001;;100;;;;;;;;-;\r\n");
  EXPECT_EQ(curso.erros,
            std::vector<std::string>{TXT("Linha 2: pFolio/Exame: '-' não é um número")});
}
