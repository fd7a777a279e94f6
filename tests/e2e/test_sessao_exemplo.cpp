// Whole sessions, run on the real program: adding, saving and leaving, the
// last save question, the statistics, the end of input with unsaved changes,
// and a long session on the example course checked against the file it saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Cenario.h"
#include "Textos.h"

using namespace Textos;

namespace {

// Option 3 of the main menu adding student 33 (number and name typed right).
std::string insere33() { return menuGeral() + escolheu(3) + pedeNumero() + pedeNome() + inseriu(); }

// The block that a student added at the console gets in the file: every unit
// of the course with nothing chosen and no grades.
std::string blocoNovo(const std::string& alunoLinha, const std::string& ficheiroUCs) {
  std::string bloco = alunoLinha + "\r\n";
  std::istringstream linhas(ficheiroUCs);
  std::string linha;
  std::getline(linhas, linha);  // the course record
  while (std::getline(linhas, linha)) {
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    std::string campos;
    std::istringstream ss(linha);
    std::string campo;
    for (int i = 0; i < 5 && std::getline(ss, campo, ';'); ++i) campos += campo + ";";
    bloco += campos + "AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1\r\n";
  }
  return bloco + "\r\n";
}

// Replaces the one occurrence of `antigo` in `texto`.
std::string troca(std::string texto, const std::string& antigo, const std::string& novo) {
  const size_t pos = texto.find(antigo);
  EXPECT_NE(pos, std::string::npos) << antigo;
  EXPECT_EQ(texto.find(antigo, pos + 1), std::string::npos) << antigo;
  if (pos != std::string::npos) texto.replace(pos, antigo.size(), novo);
  return texto;
}

size_t ocorrencias(const std::string& texto, const std::string& parte) {
  size_t n = 0;
  for (size_t p = texto.find(parte); p != std::string::npos; p = texto.find(parte, p + 1)) ++n;
  return n;
}

}  // namespace

// Insert (a number in use and 0 refused first), save, leave: the file gets
// the new student last and no question is asked at the end.
TEST(Sessao, InserirGravarESairSemPergunta) {
  Cenario c;
  preparaCurso5(c);
  Resultado r = c.executa("5\n3\n22\n0\n33\nEva Reis\n4\n9\n9\n");
  EXPECT_EQ(r.saida,
            inicioCurso5() + menuGeral() + escolheu(3) + pedeNumero() +
                "Já Existe um aluno com esse número de Aluno, por favor insira um número diferente\n"
                "ERRO: O número 0 não pode ser usado como número de Aluno, por favor insira um número "
                "diferente\n" +
                pedeNome() + inseriu() + menuGeral() + escolheu(4) + gravado("5-Estudantes.txt") +
                menuGeral() + consulta() + fim());
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(c.le("5-Estudantes.txt"), estudantesCurso5() + blocoNovo("ALUNO;33;Eva Reis", ucsCurso5()));
  EXPECT_FALSE(c.existe("5-Estudantes.txt.tmp"));
}

// Insert and leave: the question; an invalid answer repeats the two answer
// lines; 0 leaves without writing.
TEST(Sessao, InserirESairSemGravar) {
  Cenario c;
  preparaCurso5(c);
  const auto antes = c.ficheiros();
  Resultado r = c.executa("5\n3\n33\nEva Reis\n9\n9\n5\n0\n");
  EXPECT_EQ(r.saida, inicioCurso5() + insere33() + menuGeral() + consulta() + perguntaGravar() +
                         "A Opção que inseriu é inválida\n" + respostasGravar() + fim());
  EXPECT_EQ(c.ficheiros(), antes);
}

// A resit entered after the p-folio resit was refused (a wrong value shows the
// refusal again), the statistics seeing it, and saving at the last question.
TEST(Sessao, NotaDeRecursoGravadaNoFim) {
  Cenario c;
  preparaCurso5(c);
  Resultado r = c.executa("5\n2\n22\n102\n3\n25\n11\n0\n9\n0\n9\n1\n");
  LinhaUC fisica{"Física", "5", "Contínua", "1.20", "-", "-", "-", "-", "-"};
  const std::string recusa =
      "\nATENÇÃO Infelizmente o aluno não atingiu a nota mínima nos eFolios para poder ser admitido "
      "ao pFolio de Recurso\nDesta forma fica admitido a Exame de Recurso \n"
      "Por favor insira a nota do Exame de Recurso \n";
  std::string esperado = inicioCurso5() + menuGeral() + escolheu(2) + escolhaAluno() +
                         tabelaAlunos(alunos5()) + pedidoUC(ucs5()) + relatorioUC("Rui Luz", fisica) +
                         menuNotas() + recusa +
                         "ERRO: A nota do Exame de Recurso deverá estar entre 0 e 20, por favor corrija "
                         "o valor\n" +
                         recusa + "Nota do Exame de Recurso inserida é válida\n" + notaAtualizada();
  fisica.recurso = "11.00";
  fisica.nota = "11";
  esperado += relatorioUC("Rui Luz", fisica) + menuNotas() + menuGeral() + consulta() +
              estatistica("Álgebra", 2, "13.500") + estatistica("Física", 2, "11.500") +
              estatistica("Química", 0, "") + consulta() + perguntaGravar() +
              gravado("5-Estudantes.txt") + fim();
  EXPECT_EQ(r.saida, esperado);
  EXPECT_EQ(c.le("5-Estudantes.txt"),
            troca(estudantesCurso5(), "F;-1;R;-1;N;-1\r\n\r\nALUNO;7", "F;-1;R;11;N;11\r\n\r\nALUNO;7"));
}

// One unit, all units, a wrong code, an unlisted answer, and the same figures
// every time they are rebuilt.
TEST(Sessao, EstatisticasRepetidasDaoOMesmo) {
  Cenario c;
  preparaCurso5(c);
  Resultado r = c.executa("5\n9\n1\n101\n0\n1\n999\n7\n1\n101\n0\n9\n");
  const std::string algebra = estatistica("Álgebra", 2, "13.500");
  const std::string todas = algebra + estatistica("Física", 1, "12.000") + estatistica("Química", 0, "");
  EXPECT_EQ(r.saida, inicioCurso5() + menuGeral() + consulta() + pedidoConsulta(ucs5()) + algebra +
                         consulta() + todas + consulta() + pedidoConsulta(ucs5()) + ucInexistente() +
                         consulta() + consulta() + pedidoConsulta(ucs5()) + algebra + consulta() +
                         todas + consulta() + fim());
}

// A save that fails (a directory stands where the temporary file goes): at
// option 4 the change stays unsaved, at the last question the error and the
// question again from its answer lines; 0 then leaves with nothing written.
TEST(Sessao, GravacaoFalhadaNaPerguntaFinal) {
  Cenario c;
  preparaCurso5(c);
  std::filesystem::create_directory(c.dir() / "5-Estudantes.txt.tmp");
  const auto antes = c.ficheiros();
  Resultado r = c.executa("5\n3\n33\nEva Reis\n4\n9\n9\n1\n0\n");
  EXPECT_EQ(r.saida, inicioCurso5() + insere33() + menuGeral() + escolheu(4) +
                         erroGravar("5-Estudantes.txt") + menuGeral() + consulta() + perguntaGravar() +
                         erroGravar("5-Estudantes.txt") + respostasGravar() + fim());
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(c.ficheiros(), antes);
}

// Input ending with unsaved changes, at the main menu, at the new student's
// name line and at the last question: the warning, and nothing written.
// Without changes only "A sair ...".
TEST(Sessao, FimDaEntrada) {
  Cenario c;
  preparaCurso5(c);
  const auto antes = c.ficheiros();

  Resultado r = c.executa("5\n3\n33\nEva Reis\n");
  EXPECT_EQ(r.saida, inicioCurso5() + insere33() + menuGeral() + fimEntradaComAlteracoes());
  EXPECT_EQ(r.estado, 0);

  r = c.executa("5\n3\n33\nEva Reis\n3\n44\n");
  EXPECT_EQ(r.saida, inicioCurso5() + insere33() + menuGeral() + escolheu(3) + pedeNumero() +
                         pedeNome() + fimEntradaComAlteracoes());
  EXPECT_EQ(r.estado, 0);

  r = c.executa("5\n3\n33\nEva Reis\n9\n9\n");
  EXPECT_EQ(r.saida, inicioCurso5() + insere33() + menuGeral() + consulta() + perguntaGravar() +
                         fimEntradaComAlteracoes());

  r = c.executa("5\n");
  EXPECT_EQ(r.saida, inicioCurso5() + menuGeral() + fim());
  EXPECT_EQ(c.ficheiros(), antes);
}

// The example course end to end: consult, every kind of grade, a student
// added, saved, then the statistics; the saved file checked byte for byte.
TEST(SessaoExemplo, TodasAsOpcoes) {
  Cenario c;
  c.copiaExemplos();
  const std::string entrada =
      "12\n"
      "1\n1002\n"                                        // consult (fixed notation from now on)
      "2\n1001\n21002\n2\n11.5\n0\n"                     // p-folio raising a passed grade
      "2\n1003\n21048\n1\n1\n"                           // option question, e-folio menu
      "1\n75\n3\n2\n90\n2.5\n3\n60\n3\n8\n3\n60\n2.5\n8\n9\n"  // A, B, C, weights 8.5, then 8
      "2\n8.5\n0\n"                                      // p-folio
      "2\n1002\n21097\n0\n2\n8\n3\n12.5\n0\n"            // final exam, then resit
      "2\n1004\n21104\n3\n12\n0\n"                       // resit exam for want of e-folios
      "2\n1007\n21002\n1\n0\n"                           // e-folios refused: final exam
      "3\n1001\n1009\nMónica Ribeiro\n"                  // a student added
      "1\n1009\n"                                        // and consulted
      "4\n9\n"                                           // saved
      "1\n21002\n0\n0\n9\n";                             // statistics, then out without question
  Resultado r = c.executa(entrada);
  const std::string& s = r.saida;
  EXPECT_EQ(r.estado, 0);

  const std::string quebra = "\r\n";
  std::string esperado = exemplo("12-Estudantes.txt");
  esperado = troca(esperado, "A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14", "A;80;3;B;70;3;C;50;2;F;11.5;R;-1;N;17");
  esperado = troca(esperado,
                   "F;-1;R;-1;N;5" + quebra +
                       "21048;Ética e Práticas de Engenharia;1;1;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1",
                   "F;-1;R;-1;N;5" + quebra +
                       "21048;Ética e Práticas de Engenharia;1;1;6;AVALIACAO;1;A;75;3;B;90;2.5;C;60;2.5;F;8.5;R;-1;N;15");
  esperado = troca(esperado,
                   "C;70;3;F;9.75;R;-1;N;15" + quebra +
                       "21097;Redes de Comunicação;2;2;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1",
                   "C;70;3;F;9.75;R;-1;N;15" + quebra +
                       "21097;Redes de Comunicação;2;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;8;R;12.5;N;13");
  esperado = troca(esperado, "C;25;2;F;-1;R;7.5;N;8", "C;25;2;F;-1;R;12;N;12");
  esperado += blocoNovo("ALUNO;1009;Mónica Ribeiro", exemplo("12-UC.txt"));
  EXPECT_EQ(c.le("12-Estudantes.txt"), esperado);
  EXPECT_EQ(c.ficheiros().size(), 2u);  // no temporary file, no backup

  // The consulted report, and the notation it leaves behind in the weight listing.
  EXPECT_NE(s.find("\nTotal de UC: 14\n\nTotal de ECTS: 82\n\nMédia: 13.671\n\nCompletou 45.6% dos ECTS do Curso \n"),
            std::string::npos);
  EXPECT_NE(s.find("ATENÇÂO: A nova nota é superior a nota existente, trata-se de uma melhoria de "
                   "nota?\nA Atualizar Nota ...\n"),
            std::string::npos);
  EXPECT_NE(s.find(pesosInvalidos("3.0", "2.5", "3.0", "8.5")), std::string::npos);
  EXPECT_EQ(ocorrencias(s, "Valores dos eFolios são Válidos\n"), 2u);
  EXPECT_EQ(ocorrencias(s, voltouMenuNotas()), 1u);
  EXPECT_NE(s.find(exameFinalSemEfolios()), std::string::npos);
  EXPECT_NE(s.find("Já Existe um aluno com esse número de Aluno"), std::string::npos);
  // The new student last in the table, and his report with nothing passed.
  EXPECT_NE(s.find(margem() + celula("1009", 15) + celula("Mónica Ribeiro", 50) + "\n" + regra() + "\n"),
            std::string::npos);
  EXPECT_NE(s.find(relatorio("Mónica Ribeiro", {}, "0", "0", "-", "0.0")), std::string::npos);
  EXPECT_NE(s.find(gravado("12-Estudantes.txt")), std::string::npos);
  // Statistics with the session's grades, the same on every rebuild.
  EXPECT_EQ(ocorrencias(s, estatistica("Álgebra Linear I", 8, "15.375")), 3u);
  EXPECT_EQ(ocorrencias(s, estatistica("Redes de Comunicação", 4, "14.250")), 2u);
  EXPECT_EQ(ocorrencias(s, estatistica("Ética e Práticas de Engenharia", 7, "13.000")), 2u);
  EXPECT_EQ(ocorrencias(s, "UNIDADE CURRICULAR: "), 61u);
  EXPECT_EQ(s.find("Existem alterações por gravar"), std::string::npos);
  EXPECT_EQ(s.substr(s.size() - fim().size()), fim());
}
