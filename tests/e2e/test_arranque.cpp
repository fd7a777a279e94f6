// Start-up and course choice, run on the real program: the banner, the
// catalogue, the course prompt and each way of answering it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Cenario.h"

namespace {

const std::string regua = std::string(155, '-') + "\n";
const std::string cabecalho =
    std::string(8, ' ') + "Código" + std::string(9, ' ') + "Nome do Curso" + std::string(37, ' ') + "Ficheiro  \n";

const std::string inicio = "\nQuivra - Dravelho - Aluno Olvarin Tesk nº4455302 \n";

// The catalogue heading, table and prompt, with the given table rows.
std::string listagem(const std::string& linhas) {
  return "\nOs cursos atualmente disponíveis para serem carregados são:\n"
         "\n" +
         regua + cabecalho + regua + linhas + regua +
         "\n"
         "Insira o código do curso que deseja consultar\n"
         "Insira 0 para sair\n";
}

// The example course's row of the catalogue.
const std::string linhaExemplo = std::string(8, ' ') + "12" + std::string(13, ' ') +
                                 "Licenciatura em Engenharia Informática" + std::string(12, ' ') + "12-UC.txt \n";

const std::string naoExiste = "O curso seleccionado não existe, por favor insira um curso da lista\n";
const std::string invalido =
    "O valor que inseriu é inválido ( Não numérico )\n"
    "Por favor insira um valor válido\n";

}  // namespace

TEST(Arranque, ZeroTerminaLogoSemTocarEmFicheiros) {
  Cenario c;
  c.copiaExemplos();
  const auto antes = c.ficheiros();
  Resultado r = c.executa("0\n");
  EXPECT_EQ(r.saida, inicio + listagem(linhaExemplo) + "\nA Sair ...");
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(c.ficheiros(), antes);
}

TEST(Arranque, ZeroTerminaMesmoComUmCursoDeCodigoZero) {
  Cenario c;
  c.escreve("0-UC.txt", "CURSO;0;Curso zero\r\n");
  Resultado r = c.executa("0\n");
  const std::string linha = std::string(8, ' ') + "0" + std::string(14, ' ') + "Curso zero" +
                            std::string(40, ' ') + "0-UC.txt  \n";
  EXPECT_EQ(r.saida, inicio + listagem(linha) + "\nA Sair ...");
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(c.ficheiros().size(), 1u);
}

TEST(Arranque, CodigoErradoRepeteAListagemDepoisCursoEscolhido) {
  Cenario c;
  c.copiaExemplos();
  const auto antes = c.ficheiros();
  Resultado r = c.executa("99\n-12\n12\n9\n9\n");
  const std::string esperado = inicio + listagem(linhaExemplo) + naoExiste + listagem(linhaExemplo) + naoExiste +
                               listagem(linhaExemplo) + "O curso escolhido foi:\n\n" + linhaExemplo + "\n";
  EXPECT_EQ(r.saida.substr(0, esperado.size()), esperado);
  // The course is then loaded and its menus run; 9 and 9 leave them.
  EXPECT_GT(r.saida.size(), esperado.size());
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(c.ficheiros(), antes);
}

TEST(Arranque, CatalogoVazioSoAceitaZero) {
  Cenario c;
  std::filesystem::create_directory(c.dir() / "3-UC.txt");
  c.escreve("4-UC.txt", "21002;Álgebra Linear I;1;1;6\r\n");
  c.escreve("12-Estudantes.txt", "ALUNO;1001;Inês\r\n\r\n");
  Resultado r = c.executa("12\n0\n");
  EXPECT_EQ(r.saida, inicio + listagem("") + naoExiste + listagem("") + "\nA Sair ...");
  EXPECT_EQ(r.estado, 0);
}

TEST(Arranque, RespostaNaoNumericaNaoRepeteOPrompt) {
  Cenario c;
  c.copiaExemplos();
  Resultado r = c.executa("abc\n   \n-\n0\n");
  EXPECT_EQ(r.saida, inicio + listagem(linhaExemplo) + invalido + invalido + "\nA Sair ...");
  EXPECT_EQ(r.estado, 0);

  // "7x": 7 is taken and is not listed; the x then fails the next read
  // before anything more is typed.
  r = c.executa("7x\n0\n");
  EXPECT_EQ(r.saida, inicio + listagem(linhaExemplo) + naoExiste + listagem(linhaExemplo) + invalido + "\nA Sair ...");
  EXPECT_EQ(r.estado, 0);
}

TEST(Arranque, FimDaEntradaNoPromptDoCurso) {
  Cenario c;
  c.copiaExemplos();
  const auto antes = c.ficheiros();
  Resultado r = c.executa("");
  EXPECT_EQ(r.saida, inicio + listagem(linhaExemplo) + "\nA sair ...");
  EXPECT_EQ(r.estado, 0);

  r = c.executa("99\n\n");
  EXPECT_EQ(r.saida, inicio + listagem(linhaExemplo) + naoExiste + listagem(linhaExemplo) + "\nA sair ...");
  EXPECT_EQ(r.estado, 0);

  r = c.executa("abc");
  EXPECT_EQ(r.saida, inicio + listagem(linhaExemplo) + invalido + "\nA sair ...");
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(c.ficheiros(), antes);
}
