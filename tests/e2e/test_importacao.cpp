// The import mode of the real program: round trip with the export, a list
// of students, bad rows, the check-only mode and the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "Apoio.h"
#include "Cenario.h"
#include "Cp1252.h"

namespace {

namespace fs = std::filesystem;

std::string linhasCrLf(const std::vector<std::string>& linhas) {
  std::string texto;
  for (const std::string& l : linhas) texto += l + "\r\n";
  return texto;
}

const std::string unidadesPequenas = linhasCrLf(
    {"CURSO;5;Curso Pequeno", TXT("100;Álgebra;1;1;6"), TXT("200;Programação \"C\";1;2;6")});
const std::string semAvaliacao = ";AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1";

// The summary line of an import that changed nothing.
std::string nadaMudou(const std::string& ficheiro, int linhas) {
  return "Importado " + ficheiro + ": 0 alunos novos, 0 notas alteradas, " +
         std::to_string(linhas) + TXT(" linhas sem alterações\n");
}

}  // namespace

// Exporting and importing the grade sheet changes nothing, not even the
// file's time: the example course, and one with repeated numbers, a unit
// taken twice, quotes, ';' and a leading '=' in names, and odd grades.
TEST(Importar, IdaEVoltaComAExportacao) {
  Cenario exemplo;
  exemplo.copiaExemplos();
  const std::string alunosExemplo = exemplo.le("12-Estudantes.txt");
  const auto hora = fs::last_write_time(exemplo.dir() / "12-Estudantes.txt");
  ASSERT_EQ(exemplo.executa("", {"--exportar", "12"}).estado, 0);
  const Resultado r = exemplo.executa("", {"--importar", "12", "12-Pauta.csv"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_EQ(r.saida.substr(0, 55), nadaMudou("12-Pauta.csv", 0).substr(0, 55));
  EXPECT_EQ(r.erros.find("ERRO"), std::string::npos) << r.erros;
  EXPECT_EQ(exemplo.le("12-Estudantes.txt"), alunosExemplo);
  EXPECT_EQ(fs::last_write_time(exemplo.dir() / "12-Estudantes.txt"), hora);
  EXPECT_FALSE(exemplo.existe("12-Historico.txt"));  // nothing changed, nothing recorded

  Cenario c;
  const std::string alg = TXT("100;Álgebra;1;1;6;AVALIACAO;");
  const std::string alunos = linhasCrLf(
      {TXT("ALUNO;1;Ana; a \"Rápida\""), alg + "1;A;80;2;B;75;2.5;C;66.6667;3.5;F;9.5;R;-1;N;15",
       alg + "0;A;-1;-1;B;-1;-1;C;-1;-1;F;25;R;-1;N;7", "", "ALUNO;2;=Bruno", "",
       "ALUNO;1;Ana Duplicada", alg + "-;F;-;R;-;N;-", alg + "1;A;-1;3;B;50;1;C;1;1;F;2;R;-1;N;9",
       ""});
  c.escreve("5-UC.txt", unidadesPequenas);
  c.escreve("5-Estudantes.txt", alunos);
  ASSERT_EQ(c.executa("", {"--exportar", "5"}).estado, 0);
  const Resultado r2 = c.executa("", {"--importar", "5", "5-Pauta.csv"});
  EXPECT_EQ(r2.saida, nadaMudou("5-Pauta.csv", 4)) << r2.erros;
  EXPECT_EQ(c.le("5-Estudantes.txt"), alunos);
}

// A value the export wrote is the value the course holds: a student file that holds more digits
// than the files write (66.66667, 8.333333, a weight of 2.666667) imports its own export back
// with no change, no save and no history line.
TEST(Importar, ValoresComMaisAlgarismosQueAExportacao) {
  Cenario c;
  const std::string alg = TXT("100;Álgebra;1;1;6;AVALIACAO;");
  const std::string alunos =
      linhasCrLf({"ALUNO;1;Ana",
                  alg + "1;A;66.66667;2.666667;B;75;2.666667;C;50;2.666666;"
                        "F;8.333333;R;-1;N;15",
                  alg + "0;A;-1;-1;B;-1;-1;C;-1;-1;F;12.34567;R;14.44444;N;14", ""});
  c.escreve("5-UC.txt", unidadesPequenas);
  c.escreve("5-Estudantes.txt", alunos);
  ASSERT_EQ(c.executa("", {"--exportar", "5"}).estado, 0);
  EXPECT_NE(c.le("5-Pauta.csv").find(";66,6667;2,66667;75;2,66667;50;2,66667;8,33333;;15;"),
            std::string::npos);
  const Resultado r = c.executa("", {"--importar", "5", "5-Pauta.csv"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_EQ(r.saida, nadaMudou("5-Pauta.csv", 2)) << r.erros;
  EXPECT_EQ(c.le("5-Estudantes.txt"), alunos);
  EXPECT_FALSE(c.existe("5-Historico.txt"));
  // A value another way than the file writes it is a change all the same.
  c.escreve("notas.csv", linhasCrLf({TXT("Número;Código UC;pFolio/Exame"), "1;100;8,3333"}));
  EXPECT_EQ(c.executa("", {"--importar", "--verificar", "5", "notas.csv"}).saida,
            TXT("Verificado notas.csv: 0 alunos novos, 1 notas alteradas, 0 linhas sem "
                "alterações\n"));
}

// A list of students (UTF-8 with a byte-order mark, ',' separated) enrols
// the new ones in every unit of a course that had no student file yet.
TEST(Importar, ListaDeAlunosCriaOFicheiro) {
  Cenario c;
  c.escreve("5-UC.txt", unidadesPequenas);
  c.escreve("inscritos.csv",
            "\xEF\xBB\xBFN\xC3\xBAmero,Nome\n1001,In\xC3\xAAs\n1002,\"Rui, o Novo\"\n");
  const Resultado r = c.executa("", {"--importar", "5", "inscritos.csv"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(
      r.saida,
      TXT("Importado inscritos.csv: 2 alunos novos, 0 notas alteradas, 0 linhas sem alterações\n"));
  EXPECT_EQ(c.le("5-Estudantes.txt"),
            linhasCrLf({TXT("ALUNO;1001;Inês"), TXT("100;Álgebra;1;1;6") + semAvaliacao,
                        TXT("200;Programação \"C\";1;2;6") + semAvaliacao, "",
                        "ALUNO;1002;Rui, o Novo", TXT("100;Álgebra;1;1;6") + semAvaliacao,
                        TXT("200;Programação \"C\";1;2;6") + semAvaliacao, ""}));
  // Grades for one of them, in CP1252 with the columns in another order.
  c.escreve("notas.csv", linhasCrLf({TXT("Código UC;Número;Avaliação;pFolio/Exame;Recurso"),
                                     "200;1002;Exame Final;8,5;12.5", "100;1001;;;"}));
  const Resultado notas = c.executa("", {"--importar", "5", "notas.csv"});
  EXPECT_EQ(
      notas.saida,
      TXT("Importado notas.csv: 0 alunos novos, 2 notas alteradas, 1 linhas sem alterações\n"));
  EXPECT_NE(c.le("5-Estudantes.txt")
                .find(TXT("200;Programação \"C\";1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;"
                          "F;8.5;R;12.5;N;13\r\n")),
            std::string::npos);
  // Each import on record under the sheet's name: the new students, then the values changed.
  EXPECT_EQ(historicoLegivel(c.le("5-Historico.txt")),
            TXT("importacao:inscritos.csv;1001;;aluno;;Inês\n"
                "importacao:inscritos.csv;1002;;aluno;;Rui, o Novo\n"
                "importacao:notas.csv;1002;200;opcao;-1;0\n"
                "importacao:notas.csv;1002;200;pFolio/Exame;-1;8.5\n"
                "importacao:notas.csv;1002;200;Recurso;-1;12.5\n"
                "importacao:notas.csv;1002;200;NotaFinal;-1;13\n"));
}

// Any bad row: every error on standard error and the closing line, exit 2, no file changed;
// --verificar reports the same way and writes nothing even when all is well.
TEST(Importar, ErrosEVerificacao) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("mau.csv", linhasCrLf({TXT("Número;Nome;Código UC;pFolio/Exame"), "1001;;21002;13",
                                   "9;Nove", "1001;Outra", "1001;;21002;;x"}));
  c.escreve("bom.csv", linhasCrLf({TXT("Número;Nome"), "9;Nove"}));
  const auto antes = c.ficheiros();
  const Resultado r = c.executa("", {"--importar", "12", "mau.csv"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.saida, "");
  const std::string erros = r.erros.substr(std::min(r.erros.find("ERRO"), r.erros.size()));
  EXPECT_EQ(erros,
            TXT("ERRO: Linha 2: pFolio/Exame: '13' fora do intervalo de 0 a 12\n"
                "ERRO: Linha 4: Nome: o aluno 1001 chama-se 'Inês Conceição Almeida', não 'Outra'\n"
                "ERRO: Linha 5: a linha tem mais células do que o cabeçalho\n"
                "ERRO: 3 linhas com erros; nada foi importado\n"));
  const Resultado v = c.executa("", {"--importar", "--verificar", "12", "mau.csv"});
  EXPECT_EQ(v.estado, 2);
  EXPECT_EQ(v.erros.substr(std::min(v.erros.find("ERRO"), v.erros.size())),
            erros.substr(0, erros.rfind(';')) + "\n");
  const Resultado ok = c.executa("", {"--importar", "--verificar", "12", "bom.csv"});
  EXPECT_EQ(ok.estado, 0);
  EXPECT_EQ(
      ok.saida,
      TXT("Verificado bom.csv: 1 alunos novos, 0 notas alteradas, 0 linhas sem alterações\n"));
  EXPECT_EQ(c.ficheiros(), antes);
}

TEST(Importar, LinhaDeComando) {
  Cenario c;
  c.copiaExemplos();
  const std::string uso = c.executa("", {"--help"}).saida;
  EXPECT_NE(uso.find("--importar --verificar CODIGO FICHEIRO"), std::string::npos);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--importar", "12"},
           {"--importar", "--verificar", "12"},
           {"--importar", "x", "f.csv"},
           {"--importar", "12", "f.csv", "g.csv"},
           {"--importar", "--verificar", "--verificar", "12", "f.csv"}}) {
    const Resultado r = c.executa("", args);
    EXPECT_TRUE(r.estado == 2 && r.saida.empty() &&
                r.erros == "pauta: --importar precisa de CODIGO e FICHEIRO\n" + uso)
        << args.back();
  }
  const Resultado semFicheiro = c.executa("", {"--importar", "12", "falta.csv"});
  EXPECT_EQ(semFicheiro.estado, 2);
  EXPECT_NE(
      semFicheiro.erros.find(TXT("ERRO: Não foi possivel ler o ficheiro falta.csv (não existe)\n")),
      std::string::npos);
  const Resultado semCurso = c.executa("", {"--importar", "99", "falta.csv"});
  EXPECT_EQ(semCurso.estado, 2);
  EXPECT_EQ(semCurso.erros,
            TXT("ERRO: O curso 99 não existe: não foi possivel ler o ficheiro 99-UC.txt\n"));
}

// A course another session holds: its holder on standard error, exit 2, nothing changed, the lock
// left to its owner; --verificar, which writes nothing, does not need the lock. A finished
// import leaves no lock behind.
TEST(Importar, CursoBloqueado) {
  Cenario c;
  c.copiaExemplos();
  const std::string bloqueio = "1;outra-maquina;x;2026-01-01 00:00\r\n";
  c.escreve("12-Estudantes.txt.lock", bloqueio);
  c.escreve("lista.csv", linhasCrLf({TXT("Número;Nome"), "9;Nove"}));
  const auto antes = c.ficheiros();
  const Resultado r = c.executa("", {"--importar", "12", "lista.csv"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.saida, "");
  EXPECT_EQ(r.erros,
            TXT("ATENÇÃO: O curso 12 está a ser alterado noutra sessão (máquina outra-maquina, "
                "processo 1, desde 2026-01-01 00:00)\n"
                "Se nenhuma sessão tiver o curso aberto, apague o ficheiro "
                "12-Estudantes.txt.lock\n"));
  EXPECT_EQ(c.ficheiros(), antes);
  EXPECT_EQ(c.executa("", {"--importar", "--verificar", "12", "lista.csv"}).estado, 0);
  EXPECT_EQ(c.ficheiros(), antes);
  // Another machine's lock whose process id runs nowhere here is no less held.
  c.escreve("12-Estudantes.txt.lock", "999999999;outra-maquina;x;2026-01-01 00:00\r\n");
  const auto comMorto = c.ficheiros();
  const Resultado morto = c.executa("", {"--importar", "12", "lista.csv"});
  EXPECT_EQ(morto.estado, 2);
  EXPECT_EQ(morto.erros,
            TXT("ATENÇÃO: O curso 12 está a ser alterado noutra sessão (máquina outra-maquina, "
                "processo 999999999, desde 2026-01-01 00:00)\n"
                "Se nenhuma sessão tiver o curso aberto, apague o ficheiro "
                "12-Estudantes.txt.lock\n"));
  EXPECT_EQ(c.ficheiros(), comMorto);

  fs::remove(c.dir() / "12-Estudantes.txt.lock");
  EXPECT_EQ(c.executa("", {"--importar", "12", "lista.csv"}).estado, 0);
  EXPECT_FALSE(c.existe("12-Estudantes.txt.lock"));
  EXPECT_NE(c.le("12-Estudantes.txt").find("ALUNO;9;Nove\r\n"), std::string::npos);
}

// A mode on a course the folder does not have says so and creates nothing there, not even the
// companion of the course's section.
TEST(Importar, CursoQueAPastaNaoTem) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("a.csv", linhasCrLf({TXT("Número;Nome"), "9;Nove"}));
  const auto nomes = [&c] {
    std::set<std::string> todos;
    for (const auto& e : fs::directory_iterator(c.dir())) todos.insert(e.path().filename());
    return todos;
  };
  const auto antes = nomes();
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--importar", "99", "a.csv"},
                                             {"--historico", "99"},
                                             {"--historico", "99", "--verificar"},
                                             {"--exportar", "99"},
                                             {"--relatorio", "99"}}) {
    SCOPED_TRACE(args[0]);
    const Resultado r = c.executa("", args);
    EXPECT_EQ(r.estado, 2);
    EXPECT_NE(r.erros.find("99"), std::string::npos) << r.erros;
    EXPECT_EQ(nomes(), antes);
  }
}

// A header cell of any length is echoed at most 200 characters long.
TEST(Importar, CabecalhoEnorme) {
  Cenario c;
  c.copiaExemplos();
  const std::string enorme(1 << 20, 'x');
  c.escreve("a.csv", linhasCrLf({"Nome;" + enorme, "Ana;1"}));
  const Resultado r = c.executa("", {"--importar", "12", "a.csv"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.erros, TXT("ERRO: Linha 1: falta a coluna Número (cabeçalho lido: Nome | ") +
                         std::string(200, 'x') +
                         "...)\nERRO: 1 linhas com erros; nada foi importado\n");
}
