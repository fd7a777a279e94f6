// The export mode of the real program: both CSV files, the arguments and its failures.
#include "Apoio.h"
#include "Cp1252.h"
#include "ProcessoPausado.h"

// ';' cells, CR LF rows, '"' quoting with inner quotes doubled, as a spreadsheet reads them.
static std::vector<std::vector<Texto>> leCsv(const Texto& t) {
  std::vector<std::vector<Texto>> celulas(1, {""});
  bool aspas = false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (aspas && t.compare(i, 2, "\"\"") == 0)
      celulas.back().back() += t[i++];
    else if (t[i] == '"')
      aspas = !aspas;
    else if (!aspas && t[i] == ';')
      celulas.back().emplace_back();
    else if (!aspas && t[i] == '\n')
      celulas.push_back({""});
    else if (aspas || t[i] != '\r')
      celulas.back().back() += t[i];
  }
  celulas.pop_back();
  return celulas;
}

// Both files byte for byte and read back as cells; the student file untouched.
TEST(Exportar, OsDoisFicheiros) {
  const Texto alg = TXT("100;Álgebra;1;1;6;AVALIACAO;");
  const Texto pr = TXT("200;Programação \"C\";1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;");
  const Texto est = crlf({TXT("ALUNO;1;Ana; a \"Rápida\""),
                          alg + "1;A;80;2;B;75;2.5;C;66.6667;3.5;F;9.5;R;-1;N;15",
                          pr + "8;R;12;N;12", "", "ALUNO;2;Bruno", "", "ALUNO;1;Ana Duplicada",
                          alg + "-;F;-;R;-;N;-", pr + "6;R;-1;N;6", ""});
  Cenario c;
  c.escreve("5-UC.txt", crlf({"CURSO;5;Curso Pequeno", TXT("100;Álgebra;1;1;6"),
                              TXT("200;Programação \"C\";1;2;6"), TXT("300;Ética;2;1;4")}));
  c.escreve("5-Estudantes.txt", est);
  const auto hora = fs::last_write_time(c.dir() / "5-Estudantes.txt");
  Resultado r = c.executa("", {"--exportar", "5"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_EQ(r.saida, "Exportados 5-Pauta.csv e 5-Estatisticas.csv\n");
  EXPECT_EQ(r.erros, "");
  const Texto ana = TXT("1;\"Ana; a \"\"Rápida\"\"\";"), prog = TXT("\"Programação \"\"C\"\"\";");
  EXPECT_EQ(
      c.le("5-Pauta.csv"),
      crlf({TXT("Número;Nome;Código UC;Unidade Curricular;Ano;Semestre;ECTS;Avaliação;eFolio A;"
                "Peso A;eFolio B;Peso B;eFolio C;Peso C;pFolio/Exame;Recurso;Nota Final;Aprovado"),
            ana + TXT("100;Álgebra;1;1;6;Contínua;80;2;75;2,5;66,6667;3,5;9,5;;15;Sim"),
            ana + "200;" + prog + "1;2;6;Exame Final;;;;;;;8;12;12;Sim",
            TXT("1;Ana Duplicada;100;Álgebra;1;1;6;;;;;;;;;;;Não"),
            "1;Ana Duplicada;200;" + prog + TXT("1;2;6;Exame Final;;;;;;;6;;6;Não")}));
  EXPECT_EQ(c.le("5-Estatisticas.csv"),
            crlf({TXT("Código UC;Unidade Curricular;ECTS;Inscritos;Aprovados;Média dos aprovados;"
                      "10;11;12;13;14;15;16;17;18;19;20;Em avaliação"),
                  TXT("100;Álgebra;6;2;1;15,000;0;0;0;0;0;1;0;0;0;0;0;0"),
                  "200;" + prog + "6;2;1;12,000;0;0;1;0;0;0;0;0;0;0;0;0",
                  TXT("300;Ética;4;0;0;;0;0;0;0;0;0;0;0;0;0;0;0")}));
  const auto pauta = leCsv(c.le("5-Pauta.csv")), estatisticaUC = leCsv(c.le("5-Estatisticas.csv"));
  ASSERT_TRUE(pauta.size() == 5 && estatisticaUC.size() == 4);
  for (const auto& linha : pauta) EXPECT_EQ(linha.size(), 18u);
  for (const auto& linha : estatisticaUC) EXPECT_EQ(linha.size(), 18u);
  EXPECT_EQ((std::vector<Texto>{pauta[1][1], pauta[2][3], pauta[1][12], estatisticaUC[2][5],
                                estatisticaUC[3][5]}),
            (std::vector<Texto>{TXT("Ana; a \"Rápida\""), TXT("Programação \"C\""), "66,6667",
                                "12,000", ""}));
  EXPECT_EQ(c.ficheiros().size(), 4u);
  EXPECT_EQ(c.le("5-Estudantes.txt"), est);
  EXPECT_EQ(fs::last_write_time(c.dir() / "5-Estudantes.txt"), hora);
}

// Bad arguments, a missing course and an unwritable CSV: exit 2, stderr only, nothing left.
TEST(Exportar, Falhas) {
  Cenario c;
  c.copiaExemplos();
  const auto antes = c.ficheiros();
  const Texto uso = c.executa("", {"--help"}).saida;
  EXPECT_NE(uso.find("--exportar"), Texto::npos);
  for (const std::vector<Texto>& args : std::vector<std::vector<Texto>>{
           {"--exportar"}, {"--exportar", "12x"}, {"--exportar", "12", "13"}, {"12"}, {""}}) {
    Resultado r = c.executa("0\n", args);
    EXPECT_TRUE(r.estado == 2 && r.saida.empty() && r.erros.find(uso) != Texto::npos)
        << args.back() << " status " << r.estado << " stderr " << r.erros;
  }
  fs::create_directory(c.dir() / "12-Pauta.csv");
  for (const Texto codigo : {"99", "12"}) {
    Resultado r = c.executa("", {"--exportar", codigo});
    const Texto desdeErro = r.erros.substr(std::min(r.erros.find("ERRO:"), r.erros.size()));
    EXPECT_TRUE(r.estado == 2 && r.saida.empty())
        << codigo << " status " << r.estado << " stdout " << r.saida << " stderr " << r.erros;
    EXPECT_EQ(desdeErro, codigo == "99"
                             ? r.erros
                             : naoGravou("12-Pauta.csv", TXT("12-Pauta.csv: é uma pasta")));
    EXPECT_EQ(std::count(desdeErro.begin(), desdeErro.end(), '\n'), 1) << r.erros;
  }
  EXPECT_EQ(c.ficheiros(), antes);
}

// Both new files written, the statistics file alone cannot be replaced (a folder with a file took
// its place meanwhile): the grade sheet, replaced first, is put back; exit 2, neither changed.
TEST(Exportar, SoOSegundoFicheiroFalha) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("12-Pauta.csv", "pauta antiga\r\n");
  c.escreve("12-Estatisticas.csv", "antigas\r\n");
  ProcessoPausado e(c, "e", "", {"--exportar", "12"}, "temporarios-escritos");
  ASSERT_TRUE(e.chegou("temporarios-escritos"));
  fs::remove(c.dir() / "12-Estatisticas.csv");
  fs::create_directory(c.dir() / "12-Estatisticas.csv");
  c.escreve("12-Estatisticas.csv/dentro", "x");
  e.liberta("temporarios-escritos");
  const Resultado r = e.fim();
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.saida, "");
  EXPECT_EQ(r.erros, naoGravou("12-Estatisticas.csv", TXT("12-Estatisticas.csv: é uma pasta")));
  EXPECT_EQ(c.le("12-Pauta.csv"), "pauta antiga\r\n");
  EXPECT_EQ(c.le("12-Estatisticas.csv/dentro"), "x");
  for (const auto& f : fs::directory_iterator(c.dir())) {
    EXPECT_EQ(f.path().filename().string().find(".tmp."), std::string::npos) << f.path();
  }
}

// Loading is quiet: problems in the files go to stderr as the program's lines and only they; a
// missing student file is a course without students, an unreadable one an error.
TEST(Exportar, ProblemasDoCarregamento) {
  const std::string cabecalhoPauta =
      TXT("Número;Nome;Código UC;Unidade Curricular;Ano;Semestre;ECTS;Avaliação;eFolio A;Peso A;"
          "eFolio B;Peso B;eFolio C;Peso C;pFolio/Exame;Recurso;Nota Final;Aprovado\r\n");
  const std::string exportados = "Exportados 7-Pauta.csv e 7-Estatisticas.csv\n";
  Cenario cenario;
  cenario.escreve("7-UC.txt", crlf({"CURSO;7;Sete", TXT("100;Álgebra;1;1;6"), "linha estragada"}));

  Resultado semEstudantes = cenario.executa("", {"--exportar", "7"});
  EXPECT_EQ(semEstudantes.estado, 0);
  EXPECT_EQ(semEstudantes.saida, exportados);
  EXPECT_EQ(
      semEstudantes.erros,
      erroLinha(3, "7-UC.txt") + TXT("ATENÇÃO: O curso 7 ainda não tem ficheiro de estudantes\n"));
  EXPECT_EQ(cenario.le("7-Pauta.csv"), cabecalhoPauta);
  EXPECT_FALSE(cenario.existe("7-Estudantes.txt"));

  const std::string estudantes = crlf(
      {"ALUNO;1;Ana", TXT("100;Álgebra;1;1;6;AVALIACAO;2;F;9;R;-1;N;-1"), "", "ALUNO;x;Mau", ""});
  cenario.escreve("7-Estudantes.txt", estudantes);
  Resultado comProblemas = cenario.executa("", {"--exportar", "7"});
  EXPECT_EQ(comProblemas.estado, 0);
  EXPECT_EQ(comProblemas.saida, exportados);
  EXPECT_EQ(comProblemas.erros,
            erroLinha(3, "7-UC.txt") +
                TXT("Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 para "
                    "Exame Final ou 1 para Avaliação Contínua\n") +
                erroLinha(4, "7-Estudantes.txt"));
  EXPECT_EQ(cenario.le("7-Estudantes.txt"), estudantes);

  fs::remove(cenario.dir() / "7-Estudantes.txt");
  fs::create_directory(cenario.dir() / "7-Estudantes.txt");
  const auto antes = cenario.ficheiros();
  Resultado ilegivel = cenario.executa("", {"--exportar", "7"});
  EXPECT_EQ(ilegivel.estado, 2);
  EXPECT_EQ(ilegivel.saida, "");
  EXPECT_EQ(ilegivel.erros,
            erroLinha(3, "7-UC.txt") +
                TXT("ERRO: O ficheiro 7-Estudantes.txt existe mas não pode ser lido (é uma "
                    "pasta); o curso 7 não foi aberto\n"));
  EXPECT_EQ(cenario.ficheiros(), antes);
}
