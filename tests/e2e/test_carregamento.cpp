#include <gtest/gtest.h>

#include <string>

#include "Captura.h"
#include "Cenario.h"

namespace {

const std::string unidades = crlf({"CURSO;5;Curso Cinco", "21002;Álgebra Linear;1;1;6", "21037;Estatística;1;2;6",
                                   "21053;Bases de Dados;2;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;-;R;-;N;-"});
const std::string U1 = "21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;80;2;B;75;2;C;90;4;F;9.5;R;-1;N;16";
const std::string regua(155, '-');

// What course loading printed: from after the chosen course's row and its
// empty line up to the main menu's own two leading line ends.
std::string carregamento(const std::string& saida) {
  size_t linha = saida.find("O curso escolhido foi:\n\n");
  if (linha == std::string::npos) return "(curso não escolhido)";
  size_t inicio = saida.find("\n\n", linha + 24) + 2;
  size_t fim = saida.find("\n\n        #### Menu Estudantes ####", inicio);
  if (fim == std::string::npos) return "(sem menu principal)";
  return saida.substr(inicio, fim - inicio);
}

std::string abrir(const std::string& resto) {
  return "\nA abrir o Ficheiro de estudantes 5-Estudantes.txt\n\n" + resto + "\n";
}

size_t ocorrencias(const std::string& texto, const std::string& parte) {
  size_t n = 0;
  for (size_t p = texto.find(parte); p != std::string::npos; p = texto.find(parte, p + 1)) ++n;
  return n;
}

}  // namespace

// Only lines whose first field is exactly ALUNO are counted; a line holding
// only ALUNO counts but gives no student.
TEST(Carregamento, ContagensEEstudantesCarregados) {
  Cenario c;
  c.escreve("5-UC.txt", unidades);
  c.escreve("5-Estudantes.txt", crlf({"ALUNO;1001;Um", U1, "", "aluno;1002;minúsculas", " ALUNO;1003;espaço",
                                      "ALUNOS;1004;plural", "ALUNO", U1}));
  Resultado r = c.executa("5\n1\n0\n9\n9\n");
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(carregamento(r.saida),
            "o número de UCs do curso é: 3\n" + abrir("O número de Estudantes carregados é 2\n"));
  const std::string tabela = regua + "\n        Nº de Aluno    Nome do Aluno\n" + regua + "\n        1001           Um" +
                             std::string(48, ' ') + "\n" + regua + "\n\n";
  EXPECT_NE(r.saida.find(tabela), std::string::npos) << r.saida;
}

TEST(Carregamento, FicheiroDeUnidadesVazioOuSoComOCurso) {
  {
    // The catalogue lists course 5 from another file; 5-UC.txt is empty.
    Cenario c;
    c.escreve("6-UC.txt", "CURSO;5;Curso Cinco\r\n");
    c.escreve("5-UC.txt", "");
    Resultado r = c.executa("5\n9\n9\n");
    EXPECT_EQ(carregamento(r.saida),
              "o número de UCs do curso é: -1\n" +
                  abrir("Não foi possivel abrir o ficheiro 5-Estudantes.txt\n"));
  }
  {
    Cenario c;
    c.escreve("5-UC.txt", "CURSO;5;Curso Cinco\r\n");
    c.escreve("5-Estudantes.txt", crlf({"texto", U1, "aluno;1;x"}));
    Resultado r = c.executa("5\n1\n0\n9\n9\n");
    EXPECT_EQ(carregamento(r.saida),
              "o número de UCs do curso é: 0\n" + abrir("O número de Estudantes carregados é 0\n"));
    EXPECT_NE(r.saida.find("Nome do Aluno\n" + regua + "\n" + regua + "\n\n"), std::string::npos);
  }
}

// Lines that cannot be read are reported right after the count of their
// file, and loading goes on.
TEST(Carregamento, LinhasIgnoradasDepoisDaContagem) {
  Cenario c;
  c.escreve("5-UC.txt", unidades + crlf({"", "21099;Incompleta;1", "21104;Arquitetura;1;2;6"}));
  c.escreve("5-Estudantes.txt",
            crlf({"ALUNO;1001;Um", "aluno;1002;x", U1, "21037;Estatística", "", "ALUNO;um;Mau", "", "ALUNO;1003;Três"}));
  Resultado r = c.executa("5\n1\n0\n9\n9\n");
  EXPECT_EQ(carregamento(r.saida), "o número de UCs do curso é: 6\n"
                                   "ERRO: Linha 6 do ficheiro 5-UC.txt ignorada\n" +
                                       abrir("O número de Estudantes carregados é 3\n"
                                             "ERRO: Linha 2 do ficheiro 5-Estudantes.txt ignorada\n"
                                             "ERRO: Linha 4 do ficheiro 5-Estudantes.txt ignorada\n"
                                             "ERRO: Linha 6 do ficheiro 5-Estudantes.txt ignorada\n"));
  EXPECT_NE(r.saida.find("1001           Um"), std::string::npos);
  EXPECT_NE(r.saida.find("1003           Três"), std::string::npos);
}

// Saving from the menu after a load with skipped lines: the original is
// kept as .bak, the new file holds the students and the one added.
TEST(Carregamento, GravarDepoisDeLinhasIgnoradas) {
  Cenario c;
  c.escreve("5-UC.txt", unidades);
  const std::string original = crlf({"ALUNO;1001;Um", U1, "21037;Estatística", ""});
  c.escreve("5-Estudantes.txt", original);
  Resultado r = c.executa("5\n3\n-7\nTrês; Silva\n4\n9\n9\n");
  EXPECT_EQ(r.estado, 0);
  EXPECT_NE(r.saida.find("ATENÇÃO: Foram ignoradas linhas do ficheiro original, que foi copiado para "
                         "5-Estudantes.txt.bak\n\n ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO "
                         "5-Estudantes.txt ----------\n\n"),
            std::string::npos)
      << r.saida;
  EXPECT_EQ(r.saida.find("Existem alterações por gravar"), std::string::npos);
  EXPECT_EQ(c.le("5-Estudantes.txt.bak"), original);
  EXPECT_EQ(c.le("5-Estudantes.txt"),
            crlf({"ALUNO;1001;Um", U1, "", "ALUNO;-7;Três; Silva",
                  "21002;Álgebra Linear;1;1;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1",
                  "21037;Estatística;1;2;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1",
                  "21053;Bases de Dados;2;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1", ""}));
  EXPECT_EQ(c.ficheiros().size(), 3u);  // no temporary file left
}

// A save that fails keeps the changes pending: the question at the end is
// asked, and answering 1 fails again and asks again.
TEST(Carregamento, GravacaoFalhadaMantemAlteracoes) {
  Cenario c;
  c.escreve("5-UC.txt", unidades);
  const std::string original = crlf({"ALUNO;1001;Um", U1, ""});
  c.escreve("5-Estudantes.txt", original);
  std::filesystem::create_directory(c.dir() / "5-Estudantes.txt.tmp");
  Resultado r = c.executa("5\n3\n1002\nDois\n4\n9\n9\n1\n0\n");
  EXPECT_EQ(r.estado, 0);
  EXPECT_NE(r.saida.find("### GRAVAR ALTERAÇÕES NO FICHEIRO ###\n"
                         "ERRO: Não foi possivel gravar o ficheiro 5-Estudantes.txt\n"),
            std::string::npos);
  EXPECT_EQ(ocorrencias(r.saida, "ERRO: Não foi possivel gravar o ficheiro 5-Estudantes.txt\n"), 2u);
  EXPECT_EQ(ocorrencias(r.saida, "Para sair sem gravar insira 0\n"), 2u);
  EXPECT_EQ(ocorrencias(r.saida, "AS ALTERAÇÕES FORAM GRAVADAS"), 0u);
  EXPECT_EQ(c.le("5-Estudantes.txt"), original);
  EXPECT_FALSE(c.existe("5-Estudantes.txt.bak"));
}
