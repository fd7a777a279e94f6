#include <gtest/gtest.h>

#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

#include "Captura.h"
#include "NotasUC.h"

namespace {

struct Valores {
  float nota;
  float peso;
};

// A record with the option and the e-folios A, B, C holding these values.
NotasUC registo(int opcao, Valores a = {-1, -1}, Valores b = {-1, -1}, Valores c = {-1, -1}) {
  NotasUC r;
  r.setOpcaoAvaliacao(opcao);
  const char letras[] = {'A', 'B', 'C'};
  const Valores valores[] = {a, b, c};
  for (int i = 0; i < 3; ++i) {
    Efolio e(letras[i]);
    e.setNota(valores[i].nota);
    e.setPeso(valores[i].peso);
    r.setEfolios(e);
  }
  return r;
}

const std::string perguntaOpcao =
    "Por defeito a Opção de Avaliação definida para as Unidades Curriculares é avaliação "
    "continua, deseja continuar ou redefinir a opção para Exame Final?\n"
    " Continuar com Avaliação Continua - 1\n"
    " Redefinir para Exame Final - 0\n";
const std::string perguntaPfolio =
    "O aluno optou pela avaliação contínua por favor insira o valor da nota do pFolio\n";
const std::string pfolioValido = "Nota do pFolio inserida é válida\n";
const std::string avisoPfolio =
    "\nATENÇÃO: Infelizmente o aluno não atingiu a nota mínima no pFolio, desta forma a nota do "
    "pFolio não será considerada para a nota final\n";
const std::string perguntaExame =
    "\nO aluno optou pela avaliação por Exame Final por favor insira o valor da nota do Exame\n";
const std::string erroExame =
    "ERRO: A nota do Exame Final deverá estar entre 0 e 20, por favor corrija o valor\n";
const std::string perguntaRecurso = "Por favor insira a nota do Exame de Recurso \n";
const std::string erroRecurso =
    "ERRO: A nota do Exame de Recurso deverá estar entre 0 e 20, por favor corrija o valor\n";
const std::string recursoValido = "Nota do Exame de Recurso inserida é válida\n";

}  // namespace

TEST(NotasUC, SomasDosEfolios) {
  NotasUC r = registo(1, {80, 3}, {70, 3});
  EXPECT_FLOAT_EQ(r.getNotaTotalEfolios(), 4.5f);
  EXPECT_EQ(r.getNumEfolios(), 2);
  EXPECT_EQ(registo(1).getNotaTotalEfolios(), 0);
  EXPECT_EQ(registo(1).getNumEfolios(), 0);
  // A grade of 0 is a graded e-folio.
  EXPECT_EQ(registo(1, {0, 4}).getNumEfolios(), 1);
  EXPECT_EQ(registo(1, {0, 4}).getNotaTotalEfolios(), 0);
  // A grade with weight -1, only from a file, subtracts grade / 100.
  EXPECT_FLOAT_EQ(registo(1, {50, 4}, {80, -1}).getNotaTotalEfolios(), 1.2f);
}

TEST(NotasUC, TextosDaTabelaEDoFicheiro) {
  EXPECT_EQ(registo(0).opcaoAvaliacaoToString(), "Ex.Final");
  EXPECT_EQ(registo(1).opcaoAvaliacaoToString(), "Contínua");
  EXPECT_EQ(registo(-1).opcaoAvaliacaoToString(), "-");
  EXPECT_EQ(registo(2).opcaoAvaliacaoToString(), "");
  EXPECT_EQ(NotasUC::getNotaToString(12), "12.00");
  EXPECT_EQ(NotasUC::getNotaToString(5.5f), "5.50");
  EXPECT_EQ(NotasUC::getNotaToString(-1), "-");
  EXPECT_EQ(NotasUC::getNotaFinalToString(14), "14");
  EXPECT_EQ(NotasUC::getNotaFinalToString(9.5f), "9.5");
  EXPECT_EQ(NotasUC::getNotaFinalToString(-1), "-");

  std::string texto = "x;";
  registo(1, {80, 3}, {87.5f, 2.5f}).gravaFicheiroEstudanteUCEfolios(texto);
  EXPECT_EQ(texto, "x;A;80;3;B;87.5;2.5;C;-1;-1;");
  texto.clear();
  NotasUC().gravaFicheiroEstudanteUCEfolios(texto);
  EXPECT_EQ(texto, "");
}

TEST(NotasUC, PerguntaDaOpcaoRepeteAteZeroOuUm) {
  Captura c("2\n-1\n1\n");
  NotasUC r = registo(-1);
  r.userSetOpcaoAvaliacao();
  EXPECT_EQ(c.saida(), perguntaOpcao + "Opção inválida\n" + perguntaOpcao + "Opção inválida\n" +
                           perguntaOpcao);
  EXPECT_EQ(r.getOpcaoAvaliacao(), 1);
}

TEST(NotasUC, NotaDeEfolioPedeAOpcaoPrimeiro) {
  {
    Captura c("0\n");
    NotasUC r = registo(-1);
    r.userSetNotaEfolio('B');
    EXPECT_EQ(c.saida(), perguntaOpcao +
                             "ATENÇÃO: Não é possivel inserir notas de eFolio, o aluno optou por "
                             "Exame Final nesta Unidade Curricular\n");
    EXPECT_EQ(r.getOpcaoAvaliacao(), 0);
    EXPECT_EQ(r.eFolios[1].getNota(), -1);
  }
  {
    Captura c("1\n80\n3\n");
    NotasUC r = registo(-1);
    r.userSetNotaEfolio('B');
    EXPECT_EQ(c.saida(), perguntaOpcao + "Insira a Nota em Percentagem do eFolio B:\n" +
                             "insira o Peso da Nota do Efolio B:\n");
    EXPECT_EQ(r.eFolios[0].getNota(), -1);
    EXPECT_EQ(r.eFolios[1].getNota(), 80);
    EXPECT_EQ(r.eFolios[1].getPeso(), 3);
  }
}

TEST(NotasUC, PesosTemDeSomarOito) {
  const std::string validos = "Valores dos eFolios são Válidos\n";
  auto listagem = [](const std::string& a, const std::string& b, const std::string& c,
                     const std::string& total) {
    return "\nERRO: O peso total dos eFolios tem que ser 8, por favor corrija os valores\n"
           "Os pesos que estão definidos neste momento são:\n"
           "eFolio A - " +
           a + "\neFolio B - " + b + "\neFolio C - " + c + "\nTotal do peso neste momento é " +
           total + "\n";
  };
  {
    Captura c;
    EXPECT_EQ(registo(1, {50, 3}, {50, 3}, {50, 2}).validaDadosEfolios(), 1);
    EXPECT_EQ(registo(1, {50, 4}, {50, 4}).validaDadosEfolios(), 1);
    EXPECT_EQ(registo(1, {50, 2.5f}, {50, 2.5f}, {50, 3}).validaDadosEfolios(), 1);
    // Only the weight counts: no grade but weight 3 still adds 3.
    EXPECT_EQ(registo(1, {50, 3}, {50, 2}, {-1, 3}).validaDadosEfolios(), 1);
    EXPECT_EQ(c.saida(), validos + validos + validos + validos);
  }
  {
    Captura c;
    EXPECT_EQ(registo(1, {50, 3}, {50, 3}, {50, 3}).validaDadosEfolios(), 0);
    EXPECT_EQ(registo(1).validaDadosEfolios(), 0);
    EXPECT_EQ(c.saida(), listagem("3", "3", "3", "9") + listagem("0", "0", "0", "0"));
  }
  {
    // After a report left the console in fixed notation the listing follows it.
    Captura c;
    std::cout << std::fixed << std::setprecision(1);
    EXPECT_EQ(registo(1, {50, 3}, {50, 3}, {50, 3}).validaDadosEfolios(), 0);
    EXPECT_EQ(c.saida(), listagem("3.0", "3.0", "3.0", "9.0"));
  }
  {
    Captura c;
    EXPECT_EQ(registo(0, {50, 4}, {50, 4}).validaDadosEfolios(), 0);
    EXPECT_EQ(registo(-1, {50, 4}, {50, 4}).validaDadosEfolios(), 0);
    EXPECT_EQ(c.saida(), "");
  }
}

TEST(NotasUC, AdmissaoAoPfolio) {
  {
    // 1.5 + 2.0 is exactly 3.5: admitted.
    Captura c("7\n");
    NotasUC r = registo(1, {50, 3}, {50, 4});
    r.userSetNotaProvaFinal();
    EXPECT_EQ(c.saida(), perguntaPfolio + pfolioValido);
    EXPECT_EQ(r.getProvaFinal(), 7);
  }
  {
    // 1.2 + 2.0 = 3.2: refused, nothing read.
    Captura c("7\n");
    NotasUC r = registo(1, {40, 3}, {50, 4});
    r.userSetNotaProvaFinal();
    EXPECT_EQ(c.saida(),
              "\nATENÇÃO Infelizmente o aluno não atingiu a nota mínima nos eFolios para poder ser "
              "admitido ao pFolio \n"
              "Não é possivel inserir a nota do pFolio \n");
    EXPECT_EQ(r.getProvaFinal(), -1);
    EXPECT_EQ(c.restoEntrada(), "7\n");
  }
  {
    // Total 8 from a single e-folio: refused by the count.
    Captura c("7\n");
    NotasUC r = registo(1, {100, 8});
    r.userSetNotaProvaFinal();
    EXPECT_EQ(c.saida(),
              "\nATENÇÃO: O aluno tem que ser avaliado em pelo menos 2 efolios para poder ser "
              "admitido no pFolio\n");
    EXPECT_EQ(r.getProvaFinal(), -1);
  }
}

TEST(NotasUC, LimitesDoPfolioEDoExame) {
  {
    Captura c("12.5\n-0.1\n12\n");
    NotasUC r = registo(1, {50, 4}, {50, 4});
    r.userSetNotaProvaFinal();
    const std::string erro =
        "ERRO: A nota do pFolio deverá estar entre 0 e 12, por favor corrija o valor\n";
    EXPECT_EQ(c.saida(), perguntaPfolio + erro + perguntaPfolio + erro + perguntaPfolio +
                             pfolioValido);
    EXPECT_EQ(r.getProvaFinal(), 12);
  }
  for (float nota : {5.5f, 5.4f, 0.0f}) {
    Captura c;
    NotasUC r = registo(1, {50, 4}, {50, 4});
    r.setProvaFinal(nota);
    EXPECT_EQ(r.validaNotaPfolio(), 1);
    EXPECT_EQ(c.saida(), nota < 5.5f ? pfolioValido + avisoPfolio : pfolioValido) << nota;
  }
  {
    // The option question comes first; then the exam range is 0..20.
    Captura c("0\n-1\n20.5\n20\n0\n");
    NotasUC r = registo(-1);
    r.userSetNotaProvaFinal();
    EXPECT_EQ(c.saida(), perguntaOpcao + perguntaExame + erroExame + perguntaExame + erroExame +
                             perguntaExame + "Nota do Exame Final inserida é válida\n");
    EXPECT_EQ(r.getProvaFinal(), 20);
    r.userSetNotaProvaFinal();
    EXPECT_EQ(r.getProvaFinal(), 0);
  }
}

TEST(NotasUC, RecursoConformeAdmissao) {
  {
    // Refused the p-folio resit: resit exam 0..20, the explanation again
    // before every repeated question.
    const std::string explicacao =
        "\nATENÇÃO Infelizmente o aluno não atingiu a nota mínima nos eFolios para poder ser "
        "admitido ao pFolio de Recurso\n"
        "Desta forma fica admitido a Exame de Recurso \n";
    Captura c("25\n15\n");
    NotasUC r = registo(1, {50, 2}, {50, 2});
    r.userSetNotaExameRecurso();
    EXPECT_EQ(c.saida(), explicacao + perguntaRecurso + erroRecurso + explicacao +
                             perguntaRecurso + recursoValido);
    EXPECT_EQ(r.getProvaRecurso(), 15);
  }
  {
    Captura c("15\n");
    NotasUC r = registo(1, {100, 8});
    r.userSetNotaExameRecurso();
    EXPECT_EQ(c.saida(),
              "\nATENÇÃO: O aluno tem que ser avaliado em pelo menos 2 efolios para poder ser "
              "admitido no pFolio de recurso\n"
              "Desta forma fica admitido a Exame de Recurso \n" +
                  perguntaRecurso + recursoValido);
  }
  {
    // Admitted: the p-folio resit, 0..12, with the minimum warning.
    const std::string pergunta =
        "O aluno optou pela avaliação contínua e obteve os requisitos para ser admitido a pFolio "
        "de Recurso, por favor insira o valor da nota do pFolio de Recurso\n";
    Captura c("15\n5\n");
    NotasUC r = registo(1, {50, 4}, {50, 4});
    r.userSetNotaExameRecurso();
    EXPECT_EQ(c.saida(),
              pergunta +
                  "ERRO: A nota do pFolio de Recurso deverá estar entre 0 e 12, por favor corrija "
                  "o valor\n" +
                  pergunta + pfolioValido +
                  "\nATENÇÃO: Infelizmente o aluno não atingiu a nota mínima no pFolio de "
                  "Recurso, desta forma a nota do pFolio de Recurso não será considerada para a "
                  "nota final\n");
    EXPECT_EQ(r.getProvaRecurso(), 5);
  }
  {
    Captura c("21\n0\n");
    NotasUC r = registo(0);
    r.userSetNotaExameRecurso();
    EXPECT_EQ(c.saida(), perguntaRecurso + erroRecurso + perguntaRecurso + recursoValido);
    EXPECT_EQ(r.getProvaRecurso(), 0);
  }
}

TEST(NotasUC, OpcaoInvalidaDoFicheiro) {
  // P-folio/exam entry is refused with one error line and changes nothing;
  // the resit is the resit exam; e-folio entry is refused.
  Captura c("9\n");
  NotasUC r = registo(2, {50, 4}, {50, 4});
  r.setProvaFinal(8);
  r.userSetNotaProvaFinal();
  std::string saida = c.saida();
  EXPECT_EQ(saida.rfind("ERRO:", 0), 0u) << saida;
  EXPECT_EQ(saida.find('\n'), saida.size() - 1) << saida;
  EXPECT_EQ(r.getProvaFinal(), 8);
  EXPECT_EQ(r.getOpcaoAvaliacao(), 2);

  r.userSetNotaExameRecurso();
  EXPECT_EQ(c.saida(), saida + perguntaRecurso + recursoValido);
  EXPECT_EQ(r.getProvaRecurso(), 9);
}
