// The main menu, run on the real program: the exact bytes of the three
// menus, the invalid answers, the student choice and its way back.
#include <gtest/gtest.h>

#include <string>

#include "Cenario.h"
#include "Textos.h"

using namespace Textos;

namespace {

const LinhaUC algebraRui{"Álgebra", "6", "Contínua", "2.40", "2.10", "1.00", "8.50", "-", "14"};

}  // namespace

// Grade entry down to the e-folio menu and back: each menu with its blank runs
// and its leading line ends (one before the e-folio menu, two before the others).
TEST(Menus, OsTresMenusByteAByte) {
  Cenario c;
  preparaCurso5(c);
  const auto antes = c.ficheiros();
  Resultado r = c.executa("5\n2\n22\n101\n1\n9\n0\n9\n9\n0\n");
  EXPECT_EQ(r.saida, inicioCurso5() + menuGeral() + escolheu(2) + escolhaAluno() +
                         tabelaAlunos(alunos5()) + pedidoUC(ucs5()) + relatorioUC("Rui Luz", algebraRui) +
                         menuNotas() + menuEfolio() + "Valores dos eFolios são Válidos\n" +
                         notaAtualizada() + voltouMenuNotas() + relatorioUC("Rui Luz", algebraRui) +
                         menuNotas() + menuGeral() + consulta() + perguntaGravar() + fim());
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(c.ficheiros(), antes);

  // The texts above, spelled out where a fill of blanks is easy to get wrong.
  EXPECT_NE(r.saida.find("\n        2    Inserir Notas  \n        3    Inserir Estudante\n"),
            std::string::npos);
  EXPECT_NE(r.saida.find("deseja.\n\n\n        #### Menu Estudantes -> Inserir Nota -> "),
            std::string::npos);
}

// Unlisted answers name themselves; 0 at the student prompt goes back without
// asking anything more; saving with nothing changed writes nothing.
TEST(MenuPrincipal, RespostasInvalidasVoltarESemAlteracoes) {
  Cenario c;
  preparaCurso5(c);
  const auto antes = c.ficheiros();
  Resultado r = c.executa("5\n0\n-3\n5\n6\n7\n8\n10\n1\n0\n2\n0\n4\n9\n9\n");
  std::string esperado = inicioCurso5();
  for (int opcao : {0, -3, 5, 6, 7, 8, 10}) esperado += menuGeral() + invalida(opcao);
  esperado += menuGeral() + escolheu(1) + escolhaAluno() + tabelaAlunos(alunos5());
  esperado += menuGeral() + escolheu(2) + escolhaAluno() + tabelaAlunos(alunos5());
  esperado += menuGeral() + escolheu(4) + semAlteracoes();
  esperado += menuGeral() + consulta() + fim();
  EXPECT_EQ(r.saida, esperado);
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(c.ficheiros(), antes);
}

// An unknown number: the message, then the prompt and the table again; a
// listed one: the student's full report.
TEST(MenuPrincipal, NumeroInexistenteDepoisConsulta) {
  Cenario c;
  preparaCurso5(c);
  Resultado r = c.executa("5\n1\n99\n22\n9\n9\n");
  EXPECT_EQ(r.saida, inicioCurso5() + menuGeral() + escolheu(1) + escolhaAluno() +
                         tabelaAlunos(alunos5()) + alunoInexistente() + escolhaAluno() +
                         tabelaAlunos(alunos5()) +
                         relatorio("Rui Luz", {algebraRui}, "1", "6", "14.000", "3.3") + menuGeral() +
                         consulta() + fim());
}

// No student file: both options show an empty table, every number but 0 is
// unknown, and nothing is created on leaving.
TEST(MenuPrincipal, ListaDeAlunosVazia) {
  Cenario c;
  c.escreve("5-UC.txt", ucsCurso5());
  Resultado r = c.executa("5\n1\n11\n0\n2\n-4\n0\n9\n9\n");
  const std::string vazia = tabelaAlunos({});
  EXPECT_EQ(r.saida, inicio("5", "Curso de Teste", 3, -1) + menuGeral() + escolheu(1) +
                         escolhaAluno() + vazia + alunoInexistente() + escolhaAluno() + vazia +
                         menuGeral() + escolheu(2) + escolhaAluno() + vazia + alunoInexistente() +
                         escolhaAluno() + vazia + menuGeral() + consulta() + fim());
  EXPECT_FALSE(c.existe("5-Estudantes.txt"));
}

// A student numbered 0 is never taken unasked: the prompt and the table come
// first, and 0 still means back.
TEST(MenuPrincipal, AlunoNumeroZeroNaoSaltaOPrompt) {
  Cenario c;
  c.escreve("5-UC.txt", ucsCurso5());
  c.escreve("5-Estudantes.txt",
            crlf({"ALUNO;0;Zé Nulo", "102;Física;1;2;5;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;15;R;-1;N;15",
                  "", "ALUNO;22;Rui Luz", ""}));
  Resultado r = c.executa("5\n1\n0\n2\n0\n9\n9\n");
  const std::string tabela = tabelaAlunos({{"0", "Zé Nulo"}, {"22", "Rui Luz"}});
  EXPECT_EQ(r.saida, inicio("5", "Curso de Teste", 3, 2) + menuGeral() + escolheu(1) +
                         escolhaAluno() + tabela + menuGeral() + escolheu(2) + escolhaAluno() +
                         tabela + menuGeral() + consulta() + fim());
}
