#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Captura.h"
#include "Estudantes.h"
#include "LeitorLinhas.h"

namespace {

const std::string ficheiro = "12-Estudantes.txt";
const std::string u1 = "21002;Álgebra Linear I;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14";
const std::string u2 = "21037;Estatística;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;5;R;-1;N;9";
const std::string u3 = "21053;Bases de Dados;2;1;12;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;16";
const std::string u4 = "21071;Sistemas;2;2;6";

UC le(const std::string& linha) {
  UC uc;
  EXPECT_TRUE(UC::interpreta(linha, uc)) << linha;
  return uc;
}

Estudantes estudante(const std::string& nome, std::initializer_list<std::string> linhas) {
  Estudantes e;
  e.setNumAluno(1001);
  e.setNome(nome);
  for (const std::string& l : linhas) e.adicionaUC(le(l));
  return e;
}

// A unit that only matters for the totals: its ECTS and final grade.
std::string unidade(int codigo, int ects, const std::string& nota) {
  return std::to_string(codigo) + ";U;1;1;" + std::to_string(ects) +
         ";AVALIACAO;0;F;-1;R;-1;N;" + nota;
}

// Reads the block that follows the student record (the first line of
// `conteudo`), as the course loader does.
struct Bloco {
  bool lido;
  Estudantes estudante;
  std::string saida;
  std::string seguinte;  // the next line left for the caller, or "<fim>"
};
Bloco leBloco(const std::string& conteudo) {
  Captura c;
  LeitorLinhas leitor(conteudo, ficheiro);
  std::string_view linha;
  EXPECT_TRUE(leitor.proximaLinha(linha));
  Bloco b{false, Estudantes(), "", "<fim>"};
  b.lido = Estudantes::leBloco(linha.substr(6), leitor, b.estudante);
  b.saida = c.saida();
  if (leitor.proximaLinha(linha)) b.seguinte = std::string(linha);
  return b;
}

std::vector<int> codigos(const Estudantes& e) {
  std::vector<int> v;
  for (const UC& uc : e.getListaUCs()) v.push_back(uc.getCodigo());
  return v;
}

std::string cel(const std::string& texto, size_t largura) {
  return texto.size() >= largura ? texto : texto + std::string(largura - texto.size(), ' ');
}

const std::string regua = std::string(155, '-') + "\n";
const std::string cabecalho = cel("", 8) + cel("UC", 49) + cel("ECTS", 8) +
                              cel("Opção Avaliação", 21) + cel("eFA", 10) + cel("eFB", 10) +
                              cel("eFC", 7) + cel("pF/Ex.Final", 12) + cel("Ex.Recurso", 12) +
                              cel("Nota Final", 10) + "\n";

}  // namespace

TEST(Estudantes, BlocoDoFicheiro) {
  Bloco b = leBloco(crlf({"ALUNO;1234;Nome Exemplo", u1, u2, "", "ALUNO;1235;Outro"}));
  ASSERT_TRUE(b.lido);
  EXPECT_EQ(b.estudante.getNumAluno(), 1234);
  EXPECT_EQ(b.estudante.getNome(), "Nome Exemplo");
  EXPECT_EQ(codigos(b.estudante), (std::vector<int>{21002, 21037}));
  EXPECT_EQ(b.seguinte, "ALUNO;1235;Outro");
  EXPECT_EQ(b.saida, "");

  // The last unit line ends the file, with or without its line end.
  b = leBloco(crlf({"ALUNO;1;A", u1, u2}));
  EXPECT_EQ(codigos(b.estudante), (std::vector<int>{21002, 21037}));
  EXPECT_EQ(b.seguinte, "<fim>");
  b = leBloco("ALUNO;1;A\r\n" + u1 + "\r\n" + u2);
  EXPECT_EQ(codigos(b.estudante), (std::vector<int>{21002, 21037}));

  // No units: the record followed by the empty line, or last in the file.
  b = leBloco(crlf({"ALUNO;1;A", "", u1}));
  EXPECT_TRUE(codigos(b.estudante).empty());
  EXPECT_EQ(b.seguinte, u1);
  b = leBloco("ALUNO;1;A");
  EXPECT_TRUE(b.lido);
  EXPECT_TRUE(codigos(b.estudante).empty());

  // A line of one character ends the block too.
  b = leBloco(crlf({"ALUNO;1;A", u1, "x", u2}));
  EXPECT_EQ(codigos(b.estudante), (std::vector<int>{21002}));
  EXPECT_EQ(b.seguinte, u2);

  // The name is all the rest of the record; without it the name is empty.
  b = leBloco(crlf({"ALUNO;7;Silva; Jr."}));
  EXPECT_EQ(b.estudante.getNome(), "Silva; Jr.");
  b = leBloco(crlf({"ALUNO;7"}));
  EXPECT_EQ(b.estudante.getNumAluno(), 7);
  EXPECT_EQ(b.estudante.getNome(), "");
}

TEST(Estudantes, BlocoComLinhasProblematicas) {
  // A student record in place of the separator closes the block and is left
  // for the caller.
  Bloco b = leBloco(crlf({"ALUNO;1;A", u1, "ALUNO;2;B", u2}));
  EXPECT_EQ(codigos(b.estudante), (std::vector<int>{21002}));
  EXPECT_EQ(b.seguinte, "ALUNO;2;B");

  // An unreadable unit line is reported with its line number and skipped.
  b = leBloco(crlf({"ALUNO;1;A", u1, "abc;x;1;1;6", u2, ""}));
  EXPECT_EQ(b.saida, "ERRO: Linha 3 do ficheiro 12-Estudantes.txt ignorada\n");
  EXPECT_EQ(codigos(b.estudante), (std::vector<int>{21002, 21037}));
  EXPECT_EQ(b.seguinte, "<fim>");

  // A record whose number is not a number: reported, nothing read.
  b = leBloco(crlf({"ALUNO;abc;Nome", u1, ""}));
  EXPECT_FALSE(b.lido);
  EXPECT_EQ(b.saida, "ERRO: Linha 1 do ficheiro 12-Estudantes.txt ignorada\n");
  EXPECT_EQ(b.seguinte, u1);
}

TEST(Estudantes, Totais) {
  Captura c;
  Estudantes e = estudante("A", {unidade(1, 6, "14"), unidade(2, 6, "9.9"), unidade(3, 12, "16.5"),
                                 unidade(4, 6, "-1")});
  EXPECT_EQ(e.calculaTotalUCs(), 2);
  EXPECT_EQ(e.calculaTotalEcts(), 18);
  EXPECT_FLOAT_EQ(e.calculaMedia(), (84.0f + 192.0f) / 18);
  EXPECT_FLOAT_EQ(e.calculaPercentagemCurso(), 10.0f);
  e.imprimeMedia();
  e.imprimePercentagemCurso();
  EXPECT_EQ(c.saida(), "\nMédia: 15.333\n\nCompletou 10.0% dos ECTS do Curso \n");
  EXPECT_EQ(estudante("B", {unidade(1, 6, "10.0")}).calculaTotalUCs(), 1);

  // The course statistics gain his passed units, with truncated grades.
  std::vector<UC> curso = {le(u4), le("3;U;1;1;12"), le("1;U;1;1;6")};
  e.setAprovados(curso);
  e.setAprovados(curso);
  EXPECT_EQ(curso[0].getAlunosAprovados(), 0);
  EXPECT_EQ(curso[1].getAlunosAprovados(), 2);
  EXPECT_EQ(curso[1].getSomaNotas(), 32);
  EXPECT_EQ(curso[2].getAlunosAprovados(), 2);
  EXPECT_EQ(curso[2].getSomaNotas(), 28);
}

TEST(Estudantes, PercentagemDoCurso) {
  const std::string banner = std::string(48, '#');
  Captura c;
  estudante("A", {unidade(1, 60, "10"), unidade(2, 60, "20"), unidade(3, 60, "12")})
      .imprimePercentagemCurso();
  estudante("A", {unidade(1, 60, "10"), unidade(2, 60, "20"), unidade(3, 66, "12")})
      .imprimePercentagemCurso();
  EXPECT_EQ(c.saida(), "\nCompletou 100.0% dos ECTS do Curso \n\n\t\t" + banner +
                           "\n\t\t########## PARABENS COMPLETOU O CURSO ##########\n\t\t" + banner +
                           "\n" + "\nCompletou 103.3% dos ECTS do Curso \n");
}

TEST(Estudantes, SemEctsAprovadosNaoHaMedia) {
  for (auto e : {estudante("A", {}), estudante("A", {unidade(1, 6, "9")}),
                 estudante("A", {unidade(1, 0, "15")})}) {
    Captura c;
    e.imprimeMedia();
    EXPECT_EQ(c.saida(), "\nMédia: -\n");
    EXPECT_EQ(std::cout.flags() & std::ios_base::floatfield, std::ios_base::fixed);
    EXPECT_EQ(std::cout.precision(), 3);
    e.imprimePercentagemCurso();
    EXPECT_EQ(std::cout.precision(), 1);
  }
  Captura c;
  Estudantes e = estudante("Zé", {unidade(1, 0, "15")});
  e.imprimeInfoEstudante();
  EXPECT_EQ(c.saida(), "ALUNO: Zé\nUnidades curriculares onde obteve aprovação\n\n" + regua +
                           cabecalho + regua +
                           cel("", 8) + cel("U", 50) + cel("0", 10) + cel("Ex.Final", 18) +
                           cel("-", 10) + cel("-", 10) + cel("-", 10) + cel("-", 12) +
                           cel("-", 12) + cel("15", 10) + "\n" + regua +
                           "\nTotal de UC: 1\n\nTotal de ECTS: 0\n\nMédia: -\n"
                           "\nCompletou 0.0% dos ECTS do Curso \n");
}

TEST(Estudantes, Relatorios) {
  Estudantes e = estudante("Ana Sousa", {u1, u2, u3, u4});
  const std::string linha1 = cel("", 8) + cel("Álgebra Linear I", 50) + cel("6", 10) +
                             cel("Ex.Final", 18) + cel("-", 10) + cel("-", 10) + cel("-", 10) +
                             cel("14.00", 12) + cel("-", 12) + cel("14", 10) + "\n";
  const std::string linha3 = cel("", 8) + cel("Bases de Dados", 50) + cel("12", 10) +
                             cel("Contínua", 18) + cel("2.40", 10) + cel("2.10", 10) +
                             cel("1.00", 10) + cel("8.50", 12) + cel("-", 12) + cel("16", 10) +
                             "\n";
  {
    Captura c;
    e.imprimeInfoEstudante();
    EXPECT_EQ(c.saida(), "ALUNO: Ana Sousa\nUnidades curriculares onde obteve aprovação\n\n" +
                             regua + cabecalho + regua + linha1 + linha3 + regua +
                             "\nTotal de UC: 2\n\nTotal de ECTS: 18\n\nMédia: 15.333\n"
                             "\nCompletou 10.0% dos ECTS do Curso \n");
    EXPECT_EQ(std::cout.flags() & std::ios_base::floatfield, std::ios_base::fixed);
    EXPECT_EQ(std::cout.precision(), 1);
  }
  {
    // One unit, shown whatever its grade; no closing rule, no totals.
    Captura c;
    e.imprimeInfoEstudante(21071);
    e.imprimeInfoEstudante(99999);
    const std::string inicio = "ALUNO: Ana Sousa\n\n" + regua + cabecalho + regua;
    EXPECT_EQ(c.saida(), inicio + cel("", 8) + cel("Sistemas", 50) + cel("6", 10) +
                             cel("-", 18) + cel("-", 10) + cel("-", 10) + cel("-", 10) +
                             cel("-", 12) + cel("-", 12) + cel("-", 10) + "\n" + inicio);
  }
}

TEST(Estudantes, OperacoesPorUnidade) {
  Captura c;
  Estudantes e = estudante("A", {u1, u2, "30;U;1;1;6;AVALIACAO;3;F;-1;R;-1;N;-1"});
  EXPECT_EQ(e.checkOpcaoAvaliacaoUC(21002), 0);
  EXPECT_EQ(e.checkOpcaoAvaliacaoUC(21037), 1);
  EXPECT_EQ(e.checkOpcaoAvaliacaoUC(555), 2);
  std::string antes = c.saida();
  // A unit he does not take, or one with an option read as neither 0 nor 1,
  // passes silently so that the e-folio menu can be left.
  EXPECT_EQ(e.validaDadosEfoliosUC(555), 1);
  EXPECT_EQ(e.validaDadosEfoliosUC(30), 1);
  EXPECT_EQ(c.saida(), antes);
  EXPECT_EQ(e.validaDadosEfoliosUC(21037), 1);
  EXPECT_EQ(e.validaDadosEfoliosUC(21002), 0);
}

TEST(Estudantes, LinhasDoFicheiro) {
  Estudantes e = estudante(
      "A", {"1001;Unidade X;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-;N;15",
            "5;Física;1;1;6;AVALIACAO;1;A;66.666667;1e-05;B;50;4;C;-1;-1;F;8.25;R;12;N;14.7",
            "21037;Estatística;1;2;6;AVALIACAO;0;A;80;3;B;70;3;C;50;2;F;14;R;-1;N;14", u4});
  std::string texto = "ALUNO;1001;A\r\n";
  e.gravaFicheiroEstudanteUC(texto);
  EXPECT_EQ(texto,
            "ALUNO;1001;A\r\n"
            "1001;Unidade X;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;15\r\n"
            "5;Física;1;1;6;AVALIACAO;1;A;66.6667;1e-05;B;50;4;C;-1;-1;F;8.25;R;12;N;14\r\n"
            "21037;Estatística;1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14\r\n"
            "21071;Sistemas;2;2;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1\r\n");
}

TEST(Estudantes, NovoEstudanteNaConsola) {
  std::vector<UC> curso = {le(u4), le(u1), le(u3)};
  std::vector<Estudantes> existentes = {estudante("X", {})};
  {
    Captura c("1001\n0\n-5\nNome Novo\n");
    Estudantes e(curso, existentes);
    EXPECT_EQ(c.saida(),
              "\nInsira o número de Aluno do Estudante\n"
              "Já Existe um aluno com esse número de Aluno, por favor insira um número diferente\n"
              "ERRO: O número 0 não pode ser usado como número de Aluno, por favor insira um "
              "número diferente\n"
              "\nInsira o Nome do Estudante\n");
    EXPECT_EQ(e.getNumAluno(), -5);
    EXPECT_EQ(e.getNome(), "Nome Novo");
    EXPECT_EQ(codigos(e), (std::vector<int>{21071, 21002, 21053}));
    EXPECT_EQ(e.getListaUCs()[1].getProvaFinal(), 14);
  }
  {
    // What follows the number on its line is not the name.
    Captura c("7 lixo\nJoão Silva\n");
    Estudantes e(curso, existentes);
    EXPECT_EQ(e.getNumAluno(), 7);
    EXPECT_EQ(e.getNome(), "João Silva");
  }
  {
    Captura c("8\n\nDepois\n");
    Estudantes e(curso, existentes);
    EXPECT_EQ(e.getNome(), "");
    EXPECT_EQ(c.restoEntrada(), "Depois\n");
  }
}
