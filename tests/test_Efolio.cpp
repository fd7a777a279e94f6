#include <gtest/gtest.h>

#include <string>

#include "Captura.h"
#include "Efolio.h"

namespace {

const std::string perguntaA = "Insira a Nota em Percentagem do eFolio A:\n";
const std::string perguntaC = "Insira a Nota em Percentagem do eFolio C:\n";
const std::string dicaC = "Para o caso de não existir eFolio C inserir -1 na Nota\n";
const std::string erroNotaA =
    "\nERRO: Valor de Nota inválido, insira um valor entre 0 e 100, ou -1 no caso não haver "
    "eFolio A\n";
const std::string erroNotaC =
    "\nERRO: Valor de Nota inválido, insira um valor entre 0 e 100, ou -1 no caso não haver "
    "eFolio C\n";
const std::string pesoA = "insira o Peso da Nota do Efolio A:\n";
const std::string erroPeso =
    "\nERRO: Valor do peso inválido, insira um valor entre 0 e 8,\n"
    " tenha em conta que a soma dos pesos de todos os eFolios não pode ultrapassar 8\n";

Efolio efolio(char letra, float nota, float peso) {
  Efolio e(letra);
  e.setNota(nota);
  e.setPeso(peso);
  return e;
}

}  // namespace

TEST(Efolio, DialogoRecusaValoresForaDosLimitesEAceitaOsLimites) {
  {
    Captura c("100.5\n-0.5\n-2\n75\n8.5\n-1\n2\n");
    Efolio e('A');
    e.userSetEfolio('A');
    EXPECT_EQ(c.saida(), perguntaA + erroNotaA + perguntaA + erroNotaA + perguntaA + erroNotaA +
                             perguntaA + pesoA + erroPeso + pesoA + erroPeso + pesoA);
    EXPECT_EQ(e.getNota(), 75);
    EXPECT_EQ(e.getPeso(), 2);
  }
  {
    Captura c("0\n8\n100\n0\n");
    Efolio a('A');
    Efolio b('B');
    a.userSetEfolio('A');
    b.userSetEfolio('B');
    EXPECT_EQ(a.getNota(), 0);
    EXPECT_EQ(a.getPeso(), 8);
    EXPECT_EQ(b.getNota(), 100);
    EXPECT_EQ(b.getPeso(), 0);
    EXPECT_EQ(b.calculaNotaFinalEfolio(), 0);
  }
}

TEST(Efolio, MenosUmDaEfolioAusenteSemPerguntarPeso) {
  // For A the hint line is not printed, yet -1 is accepted.
  {
    Captura c("-1\n");
    Efolio e = efolio('A', 80, 3);
    e.userSetEfolio('A');
    EXPECT_EQ(c.saida(), perguntaA);
    EXPECT_EQ(e.getNota(), -1);
    EXPECT_EQ(e.getPeso(), -1);
  }
  // For C the hint precedes the first question and every repeated one.
  {
    Captura c("120\n-1\nresto\n");
    Efolio e = efolio('C', 50, 2);
    e.userSetEfolio('C');
    EXPECT_EQ(c.saida(), dicaC + perguntaC + erroNotaC + dicaC + perguntaC);
    EXPECT_EQ(e.getNota(), -1);
    EXPECT_EQ(e.getPeso(), -1);
    EXPECT_EQ(c.restoEntrada(), "\nresto\n");
  }
}

TEST(Efolio, ContribuicaoETextoDaTabela) {
  EXPECT_EQ(efolio('A', 75, 2).calculaNotaFinalEfolio(), 1.5f);
  EXPECT_EQ(efolio('A', 75, 2).valorImpressaoNotaEfolio(), "1.50");
  EXPECT_EQ(efolio('A', 100, 8).valorImpressaoNotaEfolio(), "8.00");
  EXPECT_EQ(efolio('A', 0, 3).valorImpressaoNotaEfolio(), "0.00");
  EXPECT_FLOAT_EQ(efolio('A', 33.3f, 3).calculaNotaFinalEfolio(), 0.999f);
  EXPECT_EQ(efolio('A', 33.3f, 3).valorImpressaoNotaEfolio(), "1.00");
  // A grade with weight -1 (possible only from a file) is not range-checked.
  EXPECT_FLOAT_EQ(efolio('A', 80, -1).calculaNotaFinalEfolio(), -0.8f);
  Efolio ausente('C');
  EXPECT_EQ(ausente.getLetra(), 'C');
  EXPECT_EQ(ausente.calculaNotaFinalEfolio(), -1);
  EXPECT_EQ(ausente.valorImpressaoNotaEfolio(), "-");
}

TEST(Efolio, TextoDoFicheiro) {
  Efolio e('X');
  ASSERT_TRUE(Efolio::interpreta("80;3;", 'A', e));
  EXPECT_EQ(e.getLetra(), 'A');
  EXPECT_EQ(e.getNota(), 80);
  EXPECT_EQ(e.getPeso(), 3);
  ASSERT_TRUE(Efolio::interpreta("87.5;2.5;", 'B', e));
  EXPECT_EQ(e.getNota(), 87.5f);
  EXPECT_EQ(e.getPeso(), 2.5f);
  ASSERT_TRUE(Efolio::interpreta("-;-;", 'C', e));
  EXPECT_EQ(e.getNota(), -1);
  EXPECT_EQ(e.getPeso(), -1);
  ASSERT_TRUE(Efolio::interpreta("-1;-1;", 'C', e));
  EXPECT_EQ(e.getNota(), -1);
  EXPECT_EQ(e.getPeso(), -1);

  // Fields that are neither "-" nor a number are refused and change nothing.
  Efolio intacto = efolio('A', 70, 4);
  EXPECT_FALSE(Efolio::interpreta("abc;3;", 'B', intacto));
  EXPECT_FALSE(Efolio::interpreta("80;;", 'B', intacto));
  EXPECT_FALSE(Efolio::interpreta("", 'B', intacto));
  EXPECT_EQ(intacto.getLetra(), 'A');
  EXPECT_EQ(intacto.getNota(), 70);
  EXPECT_EQ(intacto.getPeso(), 4);
}
