#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Captura.h"
#include "LeitorLinhas.h"

namespace {

std::vector<std::string> linhas(const std::string& conteudo) {
  LeitorLinhas leitor(conteudo, "x.txt");
  std::vector<std::string> resultado;
  std::string_view linha;
  while (leitor.proximaLinha(linha)) resultado.emplace_back(linha);
  EXPECT_EQ(leitor.contaLinhas(), static_cast<long>(resultado.size()));
  return resultado;
}

}  // namespace

// CR LF and a lone LF both end a line; a CR anywhere else stays in the
// line; a last line without a line end counts, nothing after the last line
// end does. Only a first field exactly equal to the keyword is counted.
TEST(LeitorLinhas, LinhasContagensEPrimeiroCampo) {
  using V = std::vector<std::string>;
  EXPECT_EQ(linhas("a;b\r\n\r\nc\nd\re\r\n\nfim"), (V{"a;b", "", "c", "d\re", "", "fim"}));
  EXPECT_EQ(linhas("a\r\nb\r\n"), (V{"a", "b"}));
  EXPECT_EQ(linhas("\r\n"), V{""});
  EXPECT_EQ(linhas(""), V{});

  LeitorLinhas leitor(crlf({"ALUNO;1;A", "aluno;2;B", " ALUNO;3;C", "ALUNO ;4;D", "ALUNOS;5;E", "ALUNO",
                            "ALUNO;", "x;ALUNO", ""}) + "ALUNO;9;sem fim de linha",
                      "x.txt");
  EXPECT_EQ(leitor.contaLinhasComPrimeiroCampo("ALUNO"), 4);
}

// A line handed back is returned again with its number; the message names
// the line last returned and the file.
TEST(LeitorLinhas, NumerosDeLinhaEMensagem) {
  Captura captura;
  LeitorLinhas leitor("um\ndois\r\ntres", "5-Estudantes.txt");
  std::string_view linha;
  ASSERT_TRUE(leitor.proximaLinha(linha) && leitor.proximaLinha(linha));
  leitor.devolveLinha();
  ASSERT_TRUE(leitor.proximaLinha(linha));
  EXPECT_EQ(linha, "dois");
  EXPECT_EQ(leitor.numeroLinha(), 2);
  EXPECT_FALSE(leitor.houveLinhasIgnoradas());
  ASSERT_TRUE(leitor.proximaLinha(linha));
  leitor.ignoraLinha();
  EXPECT_FALSE(leitor.proximaLinha(linha));
  EXPECT_TRUE(leitor.houveLinhasIgnoradas());
  EXPECT_EQ(captura.saida(), "ERRO: Linha 3 do ficheiro 5-Estudantes.txt ignorada\n");

  std::string conteudo;
  EXPECT_FALSE(LeitorLinhas::leFicheiro("/", conteudo));  // a directory is not a file
}
