#include "Apoio.h"
#include "Cp1252.h"

// A student's block in the student file, and the line left for the caller.
TEST(Estudantes, Bloco) {
  const Texto b = "ALUNO;2;B", f = "12-Estudantes.txt";
  const struct {
    Texto conteudo, lido, resto, saida = "";
  } casos[] = {
      {crlf({"ALUNO;1234;Nome Exemplo", ucExame14, ucContinua9, "", b}),
       "1234 Nome Exemplo: 21002 21037", b},
      {crlf({"ALUNO;1;A", ucExame14, ucContinua9}), "1 A: 21002 21037", "<fim>"},
      {"ALUNO;1;A\r\n" + ucExame14 + "\r\n" + ucContinua9, "1 A: 21002 21037", "<fim>"},
      {crlf({"ALUNO;1;A", "", ucExame14}), "1 A:", ucExame14},
      {"ALUNO;1;A", "1 A:", "<fim>"},
      {crlf({"ALUNO;1;A", ucExame14, b, ucContinua9}), "1 A: 21002", b},
      {crlf({"ALUNO;1;A", ucExame14, "abc", ucContinua9, ""}), "1 A: 21002 21037", "<fim>",
       erroLinha(3, f)},
      {crlf({"ALUNO;abc;Nome", ucExame14, "", ucContinua9}), "falhou", ucExame14, erroLinha(1, f)},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.conteudo);
    std::ostringstream c;
    LeitorLinhas leitor(caso.conteudo, f, c);
    std::string_view linha;
    ASSERT_TRUE(leitor.proximaLinha(linha));
    Estudantes e;
    Texto lido = formato::leBlocoAluno(linha.substr(6), leitor, e)
                     ? std::to_string(e.getNumAluno()) + " " + e.getNome() + ":"
                     : "falhou";
    for (const UC& uc : e.getListaUCs()) lido += " " + std::to_string(uc.getCodigo());
    EXPECT_EQ(lido, caso.lido);
    EXPECT_EQ(leitor.proximaLinha(linha) ? Texto(linha) : "<fim>", caso.resto);
    EXPECT_EQ(c.str(), caso.saida);
  }
}

// The list of units is sized exactly, whatever the guess of its size.
TEST(Estudantes, BlocoSemEspacoSobrante) {
  const Texto bloco = crlf({"ALUNO;1;A", ucExame14, ucContinua9, ucExame14, ""});
  for (size_t previstas : {0, 1, 3, 40}) {
    std::ostringstream mensagens;
    LeitorLinhas leitor(bloco, "f", mensagens);
    std::string_view linha;
    ASSERT_TRUE(leitor.proximaLinha(linha));
    Estudantes e;
    ASSERT_TRUE(formato::leBlocoAluno(linha.substr(6), leitor, e, previstas));
    EXPECT_EQ(e.getListaUCs().size(), 3u);
    EXPECT_EQ(e.getListaUCs().capacity(), 3u) << previstas;
  }
}

// Full report (passed units, totals, average, share of the 180 ECTS), one-unit report, saving.
TEST(Estudantes, Relatorios) {
  std::ostringstream c;
  Estudantes e = estudante("Ana Sousa", {ucExame14, ucContinua9, ucContinua16, ucSemAvaliacao});
  const TotalEctsCurso curso;
  e.imprimeInfoEstudante(c, curso);
  e.imprimeInfoEstudante(c, 21071);
  e.imprimeInfoEstudante(c, 99999);
  estudante("", {ucComEctsENota(0, "15"), ucComEctsENota(6, "9")}).imprimeMedia(c);
  estudante("", {ucComEctsENota(120, "10"), ucComEctsENota(60, "20")})
      .imprimePercentagemCurso(c, curso);
  estudante("", {ucComEctsENota(120, "10"), ucComEctsENota(66, "20")})
      .imprimePercentagemCurso(c, curso);
  const Texto uma = "ALUNO: Ana Sousa\n\n" + cabecalhoRelatorio, banner = "\t\t" + Texto(48, '#');
  EXPECT_EQ(c.str(), TXT("ALUNO: Ana Sousa\nUnidades curriculares onde obteve aprovação\n\n") +
                         cabecalhoRelatorio +
                         linhaRelatorio(TXT("Álgebra Linear I|6|Ex.Final|-|-|-|14.00|-|14")) +
                         linhaRelatorio(TXT("BD|12|Contínua|1.50|1.00|0.00|8.50|-|16")) + regua +
                         TXT("\nTotal de UC: 2\n\nTotal de ECTS: 18\n\nMédia: 15.333\n"
                             "\nCompletou 10.0% dos ECTS do Curso \n") +
                         uma + linhaRelatorio("Sistemas|6|-|-|-|-|-|-|-") + uma +
                         TXT("\nMédia: -\n\nCompletou 100.0% dos ECTS do Curso \n\n") + banner +
                         "\n\t\t########## PARABENS COMPLETOU O CURSO ##########\n" + banner +
                         "\n\nCompletou 103.3% dos ECTS do Curso \n");
  Texto texto;
  formato::gravaFicheiroEstudanteUC(e, texto);
  EXPECT_EQ(texto, linhaGravada(leUC(ucExame14)) + linhaGravada(leUC(ucContinua9)) +
                       linhaGravada(leUC(ucContinua16)) + linhaGravada(leUC(ucSemAvaliacao)));
}

// The share and the banner are taken of the course's own total: 120 ECTS complete a course of
// 120, and 60 of 120 are half of it; 180 is the total when the course gives none.
TEST(Estudantes, PercentagemDoTotalDoCurso) {
  const Estudantes sessenta = estudante("", {ucComEctsENota(60, "12")});
  const Estudantes centoVinte = estudante("", {ucComEctsENota(60, "12"), ucComEctsENota(60, "15")});
  EXPECT_FLOAT_EQ(sessenta.calculaPercentagemCurso(TotalEctsCurso{120}), 50.0f);
  EXPECT_FLOAT_EQ(sessenta.calculaPercentagemCurso(TotalEctsCurso()), 60.0f / 180 * 100);
  std::ostringstream c;
  centoVinte.imprimePercentagemCurso(c, TotalEctsCurso{120});
  centoVinte.imprimePercentagemCurso(c, TotalEctsCurso());
  sessenta.imprimePercentagemCurso(c, TotalEctsCurso{60});
  const Texto banner = "\t\t" + Texto(48, '#') + "\n";
  const Texto parabens =
      "\n" + banner + "\t\t########## PARABENS COMPLETOU O CURSO ##########\n" + banner;
  EXPECT_EQ(c.str(), "\nCompletou 100.0% dos ECTS do Curso \n" + parabens +
                         "\nCompletou 66.7% dos ECTS do Curso \n"
                         "\nCompletou 100.0% dos ECTS do Curso \n" +
                         parabens);
}

// A new student from the console: number refused when taken or 0, name from a fresh line.
TEST(Estudantes, NovoNaConsola) {
  const std::vector<UC> curso = {leUC(ucSemAvaliacao), leUC(ucExame14)};
  std::vector<Estudantes> existentes(1);
  existentes[0].setNumAluno(1001);
  ConsolaTeste c("1001\n0\n-5 lixo\nNome Novo\n8\n\nDepois\n");
  Estudantes e = Estudantes::pedeNovoEstudante(c.consola, curso, existentes);
  EXPECT_EQ(
      c.escrito(),
      TXT("\nInsira o número de Aluno do Estudante\n"
          "Já Existe um aluno com esse número de Aluno, por favor insira um número diferente\n"
          "ERRO: O número 0 não pode ser usado como número de Aluno, por favor insira um "
          "número diferente\n\nInsira o Nome do Estudante\n"));
  EXPECT_EQ(std::to_string(e.getNumAluno()) + " " + e.getNome(), "-5 Nome Novo");
  EXPECT_EQ(linhaGravada(e.getListaUCs()[1]), linhaGravada(curso[1]));
  EXPECT_EQ(Estudantes::pedeNovoEstudante(c.consola, curso, existentes).getNome(), "");
  EXPECT_EQ(c.restoEntrada(), "Depois\n");
}

// A name of more than 200 characters is refused and the next line typed is the answer; 200 pass.
TEST(Estudantes, NomeDemasiadoLongo) {
  const Texto longo(201, 'x'), limite(200, 'y');
  ConsolaTeste c("7\n" + longo + "\n" + longo + "x\n" + limite + "\nDepois\n");
  const Estudantes e = Estudantes::pedeNovoEstudante(c.consola, {}, {});
  const Texto erro = TXT("ERRO: O nome não pode ter mais de 200 caracteres\n");
  EXPECT_EQ(
      c.escrito(),
      TXT("\nInsira o número de Aluno do Estudante\n\nInsira o Nome do Estudante\n") + erro + erro);
  EXPECT_EQ(e.getNome(), limite);
  EXPECT_EQ(c.restoEntrada(), "Depois\n");
}
