// Grade entry, run on the real program: the unit choice, the option question,
// the grade-entry and e-folio menus, and when they count as unsaved changes
// (seen by whether leaving asks to save).
#include <gtest/gtest.h>

#include <string>

#include "Cenario.h"
#include "Textos.h"

using namespace Textos;

namespace {

// Main menu option 2 for a student, up to the unit prompt.
std::string ateAUnidade() {
  return inicioCurso5() + menuGeral() + escolheu(2) + escolhaAluno() + tabelaAlunos(alunos5()) +
         pedidoUC(ucs5());
}

// Back to the main menu and out through the consultation loop.
std::string saidaSemPergunta() { return menuGeral() + consulta() + fim(); }
std::string saidaComPergunta() { return menuGeral() + consulta() + perguntaGravar() + fim(); }

}  // namespace

// A code that is not a unit of the course asks again; a final-exam record
// refuses e-folios (line end, warning, then the record and menu again); 9 is
// not an option there. None of it is a change.
TEST(InserirNotas, UnidadeErradaEExameFinalSemEfolios) {
  Cenario c;
  preparaCurso5(c);
  const auto antes = c.ficheiros();
  Resultado r = c.executa("5\n2\n11\n999\n102\n1\n9\n0\n9\n9\n");
  const std::string fisica =
      relatorioUC("Ana Sá", {"Física", "5", "Ex.Final", "-", "-", "-", "12.00", "-", "12"}) + menuNotas();
  EXPECT_EQ(r.saida, ateAUnidade() + ucInexistente() + pedidoUC(ucs5()) + fisica +
                         exameFinalSemEfolios() + fisica + invalida(9) + fisica + saidaSemPergunta());
  EXPECT_EQ(c.ficheiros(), antes);
}

// First entry in a unit without option: the warning and the option question
// (an invalid answer repeats it). Choosing the option and going back at once
// is not a change.
TEST(InserirNotas, OpcaoNaPrimeiraEntradaNaoContaComoAlteracao) {
  Cenario c;
  preparaCurso5(c);
  const auto antes = c.ficheiros();
  Resultado r = c.executa("5\n2\n11\n101\n2\n0\n0\n9\n9\n");
  EXPECT_EQ(r.saida, ateAUnidade() + semOpcao() + "Opção inválida\n" + perguntaOpcao() +
                         relatorioUC("Ana Sá", {"Álgebra", "6", "Ex.Final", "-", "-", "-", "-", "-", "-"}) +
                         menuNotas() + saidaSemPergunta());
  EXPECT_EQ(c.ficheiros(), antes);
}

// The e-folio menu: 0 and 4 are invalid (0 does not go back), 8 validates
// each time it is chosen, 9 with bad weights stays, 9 with good weights
// recomputes the grade, returns to the grade-entry menu and marks a change.
TEST(InserirNotas, MenuEfolio) {
  Cenario c;
  preparaCurso5(c);
  const auto antes = c.ficheiros();
  Resultado r = c.executa("5\n2\n11\n101\n1\n1\n0\n4\n1\n80\n3\n8\n8\n9\n2\n70\n5\n9\n0\n9\n9\n0\n");
  LinhaUC algebra{"Álgebra", "6", "Contínua", "-", "-", "-", "-", "-", "-"};
  std::string esperado = ateAUnidade() + semOpcao() + relatorioUC("Ana Sá", algebra) + menuNotas();
  esperado += menuEfolio() + invalida(0) + menuEfolio() + invalida(4) + menuEfolio();
  esperado += "Insira a Nota em Percentagem do eFolio A:\ninsira o Peso da Nota do Efolio A:\n";
  algebra.efA = "2.40";
  esperado += relatorioUC("Ana Sá", algebra) + menuEfolio();
  // Before any report the weights print in the default notation.
  const std::string pesos = pesosInvalidos("3", "0", "0", "3");
  esperado += "A validar os valores inseridos... \n" + pesos + menuEfolio();
  esperado += "A validar os valores inseridos... \n" + pesos + menuEfolio();
  esperado += pesos + menuEfolio();
  esperado += "Insira a Nota em Percentagem do eFolio B:\ninsira o Peso da Nota do Efolio B:\n";
  algebra.efB = "3.50";
  esperado += relatorioUC("Ana Sá", algebra) + menuEfolio();
  algebra.nota = "6";  // 2.4 + 3.5 with no p-folio yet
  esperado += "Valores dos eFolios são Válidos\n" + notaAtualizada() + voltouMenuNotas() +
              relatorioUC("Ana Sá", algebra) + menuNotas() + saidaComPergunta();
  EXPECT_EQ(r.saida, esperado);
  EXPECT_EQ(c.ficheiros(), antes);
}

// A p-folio refused for want of e-folio marks still counts as a change: the
// question comes at the end.
TEST(InserirNotas, PfolioRecusadoContaComoAlteracao) {
  Cenario c;
  preparaCurso5(c);
  const auto antes = c.ficheiros();
  Resultado r = c.executa("5\n2\n22\n102\n2\n0\n9\n9\n0\n");
  const std::string fisica =
      relatorioUC("Rui Luz", {"Física", "5", "Contínua", "1.20", "-", "-", "-", "-", "-"}) + menuNotas();
  EXPECT_EQ(r.saida,
            ateAUnidade() + fisica +
                "\nATENÇÃO Infelizmente o aluno não atingiu a nota mínima nos eFolios para poder ser "
                "admitido ao pFolio \nNão é possivel inserir a nota do pFolio \n" +
                notaAtualizada() + fisica + saidaComPergunta());
  EXPECT_EQ(c.ficheiros(), antes);
}
