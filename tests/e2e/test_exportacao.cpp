#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "Captura.h"
#include "Cenario.h"

namespace fs = std::filesystem;

namespace {

const std::string unidadesPequeno = crlf({
    "CURSO;5;Curso Pequeno",
    "100;Álgebra;1;1;6",
    "200;Programação \"C\";1;2;6",
    "300;Ética;2;1;4",
});

// Line 13 cannot be read as a unit record: reported on loading, skipped.
const std::string estudantesPequeno = crlf({
    "ALUNO;1;Ana; a \"Rápida\"",
    "100;Álgebra;1;1;6;AVALIACAO;1;A;80;2;B;75;2.5;C;66.6667;3.5;F;9.5;R;-1;N;15",
    "200;Programação \"C\";1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;8;R;12;N;12",
    "",
    "ALUNO;2;Bruno",
    "",
    "ALUNO;1;Ana Duplicada",
    "100;Álgebra;1;1;6;AVALIACAO;-;F;-;R;-;N;-",
    "200;Programação \"C\";1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;6;R;-1;N;6",
    "",
    "ALUNO;3;Carla",
    "100;Álgebra;1;1;6;AVALIACAO;1;A;50;2;B;-1;-1;C;40;3;F;4;R;5.5;N;9",
    "999;sem campos",
    "200;Programação \"C\";1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;13;R;-1;N;13",
    "",
});

const std::string pautaEsperada = crlf({
    "Número;Nome;Código UC;Unidade Curricular;Ano;Semestre;ECTS;Avaliação;eFolio A;Peso A;"
    "eFolio B;Peso B;eFolio C;Peso C;pFolio/Exame;Recurso;Nota Final;Aprovado",
    "1;\"Ana; a \"\"Rápida\"\"\";100;Álgebra;1;1;6;Contínua;80;2;75;2,5;66,6667;3,5;9,5;;15;Sim",
    "1;\"Ana; a \"\"Rápida\"\"\";200;\"Programação \"\"C\"\"\";1;2;6;Exame Final;;;;;;;8;12;12;Sim",
    "1;Ana Duplicada;100;Álgebra;1;1;6;;;;;;;;;;;Não",
    "1;Ana Duplicada;200;\"Programação \"\"C\"\"\";1;2;6;Exame Final;;;;;;;6;;6;Não",
    "3;Carla;100;Álgebra;1;1;6;Contínua;50;2;;;40;3;4;5,5;9;Não",
    "3;Carla;200;\"Programação \"\"C\"\"\";1;2;6;Exame Final;;;;;;;13;;13;Sim",
});

const std::string estatisticasEsperadas = crlf({
    "Código UC;Unidade Curricular;ECTS;Inscritos;Aprovados;Média dos aprovados;"
    "10;11;12;13;14;15;16;17;18;19;20",
    "100;Álgebra;6;3;1;15,000;0;0;0;0;0;1;0;0;0;0;0",
    "200;\"Programação \"\"C\"\"\";6;3;2;12,500;0;0;1;1;0;0;0;0;0;0;0",
    "300;Ética;4;0;0;;0;0;0;0;0;0;0;0;0;0;0",
});

// ';'-separated CSV with CR LF rows and '"' quoting (inner quotes doubled),
// read as a spreadsheet reads it.
std::vector<std::vector<std::string>> leCsv(const std::string& t) {
  std::vector<std::vector<std::string>> linhas(1, std::vector<std::string>(1));
  bool aspas = false;
  for (size_t i = 0; i < t.size(); ++i) {
    std::string& celula = linhas.back().back();
    if (aspas && t[i] == '"' && i + 1 < t.size() && t[i + 1] == '"') {
      celula += t[i++];
    } else if (t[i] == '"') {
      aspas = !aspas;
    } else if (!aspas && t[i] == ';') {
      linhas.back().emplace_back();
    } else if (!aspas && t.compare(i, 2, "\r\n") == 0) {
      linhas.emplace_back(1);
      ++i;
    } else {
      celula += t[i];
    }
  }
  EXPECT_EQ(linhas.back(), std::vector<std::string>(1)) << "last row without CR LF";
  linhas.pop_back();
  return linhas;
}

// Ages the student file, so that any rewrite would show in its time.
fs::file_time_type envelhece(const Cenario& c, const std::string& nome) {
  const fs::file_time_type antigo = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(c.dir() / nome, antigo);
  return fs::last_write_time(c.dir() / nome);
}

// The names of the regular files of the working directory.
std::set<std::string> nomes(const Cenario& c) {
  std::set<std::string> r;
  for (const auto& f : c.ficheiros()) r.insert(f.first);
  return r;
}

size_t ocorrencias(const std::string& texto, const std::string& parte) {
  size_t n = 0;
  for (size_t p = texto.find(parte); p != std::string::npos; p = texto.find(parte, p + 1)) ++n;
  return n;
}

}  // namespace

TEST(Exportar, EscreveOsDoisFicheirosSemTocarNosDados) {
  Cenario c;
  c.escreve("5-UC.txt", unidadesPequeno);
  c.escreve("5-Estudantes.txt", estudantesPequeno);
  const fs::file_time_type hora = envelhece(c, "5-Estudantes.txt");

  Resultado r = c.executa("", {"--exportar", "5"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.saida, "Exportados 5-Pauta.csv e 5-Estatisticas.csv\n");
  // The loading messages and the skipped line go to standard error.
  EXPECT_NE(r.erros.find("o número de UCs do curso é: 3\n"), std::string::npos);
  EXPECT_NE(r.erros.find("O número de Estudantes carregados é 4\n"), std::string::npos);
  EXPECT_NE(r.erros.find("ERRO: Linha 13 do ficheiro 5-Estudantes.txt ignorada\n"),
            std::string::npos);

  EXPECT_EQ(c.le("5-Pauta.csv"), pautaEsperada);
  EXPECT_EQ(c.le("5-Estatisticas.csv"), estatisticasEsperadas);
  // Read back, quoted text is one cell and decimals keep their comma.
  const auto pauta = leCsv(c.le("5-Pauta.csv"));
  ASSERT_EQ(pauta.size(), 7u);
  for (const auto& linha : pauta) EXPECT_EQ(linha.size(), 18u);
  EXPECT_EQ(pauta[1][1], "Ana; a \"Rápida\"");
  EXPECT_EQ(pauta[2][3], "Programação \"C\"");
  EXPECT_EQ(pauta[1][12], "66,6667");
  EXPECT_EQ(pauta[5][15], "5,5");
  const auto estatisticas = leCsv(c.le("5-Estatisticas.csv"));
  ASSERT_EQ(estatisticas.size(), 4u);
  for (const auto& linha : estatisticas) EXPECT_EQ(linha.size(), 17u);
  EXPECT_EQ(estatisticas[2][5], "12,500");
  EXPECT_EQ(estatisticas[3][5], "");
  // Nothing else: no temporary file, no copy of the student file, which is
  // left byte for byte and time for time as it was.
  EXPECT_EQ(c.ficheiros().size(), 4u);
  EXPECT_EQ(c.le("5-Estudantes.txt"), estudantesPequeno);
  EXPECT_EQ(fs::last_write_time(c.dir() / "5-Estudantes.txt"), hora);
}

TEST(Exportar, LinhaDeComandoAjudaVersaoEErros) {
  Cenario c;
  c.copiaExemplos();
  const auto antes = c.ficheiros();

  Resultado r = c.executa("", {"--help"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_NE(r.saida.find("--exportar CODIGO"), std::string::npos);
  EXPECT_NE(r.saida.find("--versao"), std::string::npos);
  EXPECT_EQ(r.erros, "");
  const std::string utilizacao = r.saida;

  r = c.executa("", {"--versao"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.saida.rfind("pauta ", 0), 0u);
  EXPECT_EQ(ocorrencias(r.saida, "\n"), 1u);

  const std::vector<std::vector<std::string>> errados = {
      {"--exportar"}, {"--exportar", "abc"}, {"--exportar", "12x"}, {"--exportar", "12", "13"},
      {"--exporta", "12"}, {"12"}, {"--versao", "12"}, {"--help", "x"}, {""}};
  for (const auto& argumentos : errados) {
    r = c.executa("0\n", argumentos);
    EXPECT_EQ(r.estado, 2) << argumentos[0];
    EXPECT_EQ(r.saida, "") << argumentos[0];
    EXPECT_NE(r.erros.find(utilizacao), std::string::npos) << argumentos[0];
  }

  // Without arguments it is still the dialogue.
  r = c.executa("0\n");
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.saida.substr(r.saida.size() - 11), "\nA Sair ...");
  EXPECT_EQ(c.ficheiros(), antes);
}

TEST(Exportar, FalhasDao2ENaoDeixamFicheiros) {
  Cenario c;
  c.copiaExemplos();
  const auto exemplos = nomes(c);
  const std::string estudantes = c.le("12-Estudantes.txt");
  const fs::file_time_type hora = envelhece(c, "12-Estudantes.txt");

  // A course without a unit file.
  Resultado r = c.executa("", {"--exportar", "99"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.saida, "");
  EXPECT_EQ(r.erros.rfind("ERRO:", 0), 0u);
  EXPECT_EQ(ocorrencias(r.erros, "\n"), 1u);
  EXPECT_EQ(nomes(c), exemplos);

  // The grade sheet cannot be written: a directory stands in its place.
  fs::create_directory(c.dir() / "12-Pauta.csv");
  r = c.executa("", {"--exportar", "12"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.saida, "");
  EXPECT_EQ(ocorrencias(r.erros, "ERRO:"), 1u);
  EXPECT_NE(r.erros.find("ERRO: Não foi possivel gravar o ficheiro 12-Pauta.csv\n"),
            std::string::npos);
  EXPECT_EQ(nomes(c), exemplos);
  EXPECT_FALSE(c.existe("12-Pauta.csv.tmp"));

  // The statistics cannot be written: the grade sheet of an earlier export
  // is left as it was, and no new statistics file appears.
  fs::remove(c.dir() / "12-Pauta.csv");
  c.escreve("12-Pauta.csv", "antiga\r\n");
  fs::create_directory(c.dir() / "12-Estatisticas.csv");
  r = c.executa("", {"--exportar", "12"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(ocorrencias(r.erros, "ERRO:"), 1u);
  EXPECT_NE(r.erros.find("12-Estatisticas.csv"), std::string::npos);
  EXPECT_EQ(c.le("12-Pauta.csv"), "antiga\r\n");
  EXPECT_EQ(nomes(c).size(), exemplos.size() + 1);

  // Without an earlier grade sheet, the one just written is taken away.
  fs::remove(c.dir() / "12-Pauta.csv");
  r = c.executa("", {"--exportar", "12"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(nomes(c), exemplos);
  EXPECT_EQ(c.le("12-Estudantes.txt"), estudantes);
  EXPECT_EQ(fs::last_write_time(c.dir() / "12-Estudantes.txt"), hora);
}
