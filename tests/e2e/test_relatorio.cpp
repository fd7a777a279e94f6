// The report mode of the real program: the page of the example course, its failures.
#include "Apoio.h"
#include "Cp1252.h"
#include "LeituraRelatorio.h"

// The example course: one line on stdout, nothing on stderr, the data files only read, and the
// page's figures equal to those of the statistics file that --exportar writes.
TEST(ModoRelatorio, CursoDeExemplo) {
  Cenario cenario;
  cenario.copiaExemplos();
  const auto dados = cenario.ficheiros();
  Resultado r = cenario.executa("", {"--relatorio", "12"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.saida, TXT("Relatório gravado em 12-Relatorio.html\n"));
  EXPECT_EQ(r.erros, "");
  const std::string pagina = cenario.le("12-Relatorio.html");
  EXPECT_EQ(pagina.rfind("<!DOCTYPE html>", 0), 0u);
  auto depois = cenario.ficheiros();
  depois.erase("12-Relatorio.html");
  EXPECT_EQ(depois, dados);

  ASSERT_EQ(cenario.executa("", {"--exportar", "12"}).estado, 0);
  EXPECT_TRUE(mesmasFiguras(pagina, cenario.le("12-Estatisticas.csv")));
  EXPECT_NE(cenario.executa("", {"--help"}).saida.find("pauta --relatorio CODIGO"),
            std::string::npos);
}

// Loading problems as in --exportar; a page that cannot be written leaves the old one.
TEST(ModoRelatorio, Falhas) {
  Cenario cenario;
  cenario.escreve("7-UC.txt", crlf({"CURSO;7;Sete", TXT("100;Álgebra;1;1;6")}));
  Resultado semEstudantes = cenario.executa("", {"--relatorio", "7"});
  EXPECT_EQ(semEstudantes.estado, 0);
  EXPECT_EQ(semEstudantes.saida, TXT("Relatório gravado em 7-Relatorio.html\n"));
  EXPECT_EQ(semEstudantes.erros, TXT("ATENÇÃO: O curso 7 ainda não tem ficheiro de estudantes\n"));
  EXPECT_NE(cenario.le("7-Relatorio.html").find("<td class=\"n estudantes\">0</td>"),
            std::string::npos);

  Resultado semCurso = cenario.executa("", {"--relatorio", "99"});
  EXPECT_EQ(semCurso.estado, 2);
  EXPECT_EQ(semCurso.saida, "");
  EXPECT_EQ(semCurso.erros,
            TXT("ERRO: O curso 99 não existe: não foi possivel ler o ficheiro 99-UC.txt\n"));

  fs::remove(cenario.dir() / "7-Relatorio.html");
  fs::create_directory(cenario.dir() / "7-Relatorio.html");
  const auto antes = cenario.ficheiros();
  Resultado naoGrava = cenario.executa("", {"--relatorio", "7"});
  EXPECT_EQ(naoGrava.estado, 2);
  EXPECT_EQ(naoGrava.saida, "");
  EXPECT_EQ(naoGrava.erros,
            TXT("ATENÇÃO: O curso 7 ainda não tem ficheiro de estudantes\n") +
                naoGravou("7-Relatorio.html", TXT("7-Relatorio.html: é uma pasta")));
  EXPECT_EQ(cenario.ficheiros(), antes);

  for (const std::vector<std::string>& argumentos : std::vector<std::vector<std::string>>{
           {"--relatorio"}, {"--relatorio", "7x"}, {"--relatorio", "7", "8"}}) {
    Resultado r = cenario.executa("", argumentos);
    EXPECT_TRUE(r.estado == 2 && r.saida.empty() &&
                r.erros.rfind(TXT("pauta: --relatorio precisa de CODIGO\nUtilização:"), 0) == 0)
        << argumentos.back();
  }
}
