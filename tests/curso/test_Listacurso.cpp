#include "Apoio.h"
#include "Cp1252.h"

// Well-formed files (CR LF or LF only) load silently and rewrite to the expected bytes; every
// non-blank line that gives nothing (stray, after a block cut short, a skipped record) is named.
TEST(Ficheiros, LeituraEReescrita) {
  const Texto par = crlf({"ALUNO;1001;Aluno Um", linhaAlgebra, linhaEstatistica, linhaBases, "",
                          "ALUNO;1002;Aluno Dois", linhaEstatistica, ""});
  const Texto variado = crlf(
      {TXT("ALUNO;1001;Inês Conceição"),
       TXT("21002;Álgebra I;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14"),
       TXT("21037;Estatística;1;2;6;AVALIACAO;0;A;50;2;B;60;3;C;70;3;F;9;R;13;N;13"),
       TXT("21048;Física;2;2;6;AVALIACAO;-1;A;10;1;B;-1;-1;C;20;4;F;-1;R;-1;N;-1"), "",
       TXT("ALUNO;1002;Nome; com; vírgulas"),
       TXT("-3;Análise I;1;2;6;AVALIACAO;1;A;66.6667;2.5;B;1e-05;2.5;C;-1;-1;F;12;R;5.75;N;14"), "",
       "ALUNO;-5;", ""});
  Texto limpo = variado;  // the e-folios of options 0 and -1 are not kept
  for (const Texto velho : {"A;50;2;B;60;3;C;70;3", "A;10;1;B;-1;-1;C;20;4"}) {
    limpo.replace(limpo.find(velho), velho.size(), "A;-1;-1;B;-1;-1;C;-1;-1");
  }
  auto erros = [](std::vector<int> numeros) {
    Texto texto;
    for (int n : numeros) texto += erroLinha(n, "12-Estudantes.txt");
    return texto;
  };
  const struct {
    Texto ficheiro, esperado, saida;
  } casos[] = {
      {par, par, ""},
      {limpo, limpo, ""},
      {"", "", ""},
      {variado, limpo, ""},
      {exemplo("12-Estudantes.txt"), exemplo("12-Estudantes.txt"), ""},
      {crlf({"ALUNO;1;A", linhaAlgebra, " \t ", "ALUNO;2;B", "  \r", linhaEstatistica}),
       crlf({"ALUNO;1;A", linhaAlgebra, "", "ALUNO;2;B", ""}), erros({6})},
      {"\xEF\xBB\xBF" + crlf({"ALUNO;1;A", linhaAlgebra, "", "ALUNO;2;B", ""}),
       crlf({"ALUNO;1;A", linhaAlgebra, "", "ALUNO;2;B", ""}), ""},
      {crlf({"texto solto",
             "ALUNO;1001;Um",
             linhaAlgebra,
             linhaEstatistica,
             "",
             "",
             "",
             linhaBases,
             "ALUNO;1002;Sem UCs",
             "",
             "aluno;3;x",
             linhaAlgebra,
             "ALUNO",
             linhaAlgebra,
             "ALUNO;",
             linhaEstatistica,
             "x",
             "ALUNO;1001;Repetido",
             linhaBases,
             ""}) +
           TXT("ALUNO;1005;Último"),
       crlf({"ALUNO;1001;Um", linhaAlgebra, linhaEstatistica, "", "ALUNO;1002;Sem UCs", "",
             "ALUNO;1001;Repetido", linhaBases, "", TXT("ALUNO;1005;Último"), ""}),
       erros({1, 8, 11, 12, 13, 14, 15, 16, 17})},
      {crlf({"ALUNO;1;A", linhaAlgebra}) + linhaEstatistica,
       crlf({"ALUNO;1;A", linhaAlgebra, linhaEstatistica, ""}), ""},
      {crlf({"ALUNO;1;A", linhaAlgebra, "x", linhaEstatistica, "ALUNO;2;B", "ALUNO", linhaBases}),
       crlf({"ALUNO;1;A", linhaAlgebra, "", "ALUNO;2;B", ""}), erros({3, 4, 6, 7})},
      {crlf({"ALUNO;1;A", TXT("21002;Álgebra;1;1;6")}),
       crlf({"ALUNO;1;A", TXT("21002;Álgebra;1;1;6") + avaliacaoVazia, ""}), ""},
      {crlf({"aluno;1;A", linhaAlgebra}), "", erros({1, 2})},
  };
  for (const auto& k : casos) {
    SCOPED_TRACE(k.ficheiro);
    Texto soLf = k.ficheiro, saida;
    soLf.erase(std::remove(soLf.begin(), soLf.end(), '\r'), soLf.end());
    for (const Texto& f : {k.ficheiro, soLf}) {
      EXPECT_EQ(carregaCurso(f, &saida).conteudoFicheiroEstudantes(), k.esperado);
      EXPECT_EQ(saida, k.saida);
    }
  }
}

// Each unreadable line is reported with its number; the rest still loads.
TEST(Ficheiros, LinhasMalFormadas) {
  Texto saida, esperado;
  const Texto alg = TXT("21002;Álgebra;1;1;6;AVALIACAO;1;A;");
  const Texto mau = crlf({"ALUNO;1001;Um", linhaAlgebra,
                          TXT("21037;Estatística;1;2;6;AVALIACAO;1;A;5;2;B;6;3;F;9;R;-1;N;9"),
                          "abc;Nome;1;1;6", "21053;Bases;2;1", "ALUNO;1002", linhaEstatistica,
                          "ALUNO;abc;Mau", linhaBases, "", "ALUNO;99999999999;Grande", "",
                          TXT("ALUNO;1003;Três"), alg + "8;2;B;7;2;C;9;4;F;x;R;-1;N;16",
                          alg + "oito;2;B;7;2;C;9;4;F;9;R;-1;N;16", linhaBases});
  EXPECT_EQ(carregaCurso(mau, &saida).conteudoFicheiroEstudantes(),
            crlf({"ALUNO;1001;Um", linhaAlgebra, "", "ALUNO;1002;", linhaEstatistica, "",
                  TXT("ALUNO;1003;Três"), linhaBases, ""}));
  for (int n : {3, 4, 5, 8, 9, 11, 14, 15}) esperado += erroLinha(n, "12-Estudantes.txt");
  EXPECT_EQ(saida, esperado);

  const Listacurso ucs =
      carregaCurso(crlf({"CURSO;12;E", TXT("21002;Álgebra;1;1;6"), "", TXT("21037;Estatística;1;2"),
                         "21053;Bases;2;1;6;AVALIACAO;-;F;-;R;-;N;-", TXT("-x;Sem código;1;1;6")}),
                   &saida, true);
  EXPECT_EQ(saida, erroLinha(4, "12-UC.txt") + erroLinha(6, "12-UC.txt"));
  Texto unidades;
  for (const UC& uc : ucs.getListaUCsCurso()) formato::gravaFicheiroEstudanteUC(uc, unidades);
  EXPECT_EQ(unidades, crlf({TXT("21002;Álgebra;1;1;6") + avaliacaoVazia,
                            "21053;Bases;2;1;6" + avaliacaoVazia}));
}

// Numbers written another way than the program writes them. In the student file a real's
// decimal comma is read as meant, without a word; any other text after a number is read as the
// leading number and said once per field, in line order with the lines skipped, and a line
// skipped says nothing of its numbers. The unit file takes no decimal comma. Saved, every number
// is in the program's own form.
TEST(Ficheiros, NumerosEscritosDeOutraForma) {
  auto lido = [](int linha, const Texto& ficheiro, const Texto& texto, const Texto& valor) {
    return TXT("ATENÇÃO: Linha ") + std::to_string(linha) + " do ficheiro " + ficheiro + ": '" +
           texto + "' foi lido como " + valor + "\n";
  };
  const Texto est = "12-Estudantes.txt", alg = TXT("21002;Álgebra;1;1;6;AVALIACAO;1;A;");
  const Texto exame = TXT("21037;Estatística;1;2;6");
  const Texto ficheiro =
      crlf({"ALUNO;1001x;Um", alg + "80,5;3;B;70;2,5;C;50;2,5;F;8,5;R;-1;N;14,5",
            exame + "x;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;12abc;R; 13 ;N;13.9x",
            "21053;Bases;2;1;6;AVALIACAO;1.0;A;50;3;B;50;3;C;50;2;F;-;R;-;N;-",
            alg + "8a;2;B;7;2;C;9;4;F;oito;R;-1;N;16", ""});
  Texto saida;
  const Listacurso curso = carregaCurso(ficheiro, &saida);
  EXPECT_EQ(saida, lido(1, est, "1001x", "1001") + lido(3, est, "6x", "6") +
                       lido(3, est, "12abc", "12") + lido(3, est, "13.9x", "13") +
                       lido(4, est, "1.0", "1") + erroLinha(5, est));
  EXPECT_EQ(curso.conteudoFicheiroEstudantes(),
            crlf({"ALUNO;1001;Um", alg + "80.5;3;B;70;2.5;C;50;2.5;F;8.5;R;-1;N;14",
                  exame + ";AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;12;R;13;N;13",
                  "21053;Bases;2;1;6;AVALIACAO;1;A;50;3;B;50;3;C;50;2;F;-1;R;-1;N;-1", ""}));

  // The e-folio groups of an invalid option, read and then given up, say nothing.
  carregaCurso(crlf({"ALUNO;1;A", "21053;Bases;2;1;6;AVALIACAO;2;A;8x;2;B;7;F;9;R;-1;N;9x"}),
               &saida);
  EXPECT_EQ(saida, TXT("Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 "
                       "para Exame Final ou 1 para Avaliação Contínua\n") +
                       lido(2, est, "9x", "9"));

  // At most 20 notices a file, then how many more; the lines skipped are all said.
  Texto muitos, esperado;
  for (int i = 1; i <= 23; ++i) {
    muitos += crlf({"ALUNO;" + std::to_string(i) + "x;A", ""});
    if (i <= 20) esperado += lido(2 * i - 1, est, std::to_string(i) + "x", std::to_string(i));
  }
  carregaCurso(muitos + crlf({"solto"}), &saida);
  EXPECT_EQ(saida, esperado + erroLinha(47, est) +
                       TXT("ATENÇÃO: ... e mais 3 valores do ficheiro 12-Estudantes.txt lidos da "
                           "mesma forma\n"));

  const Texto uc = "12-UC.txt";
  carregaCurso(crlf({"CURSO;12;E", TXT("21002;Álgebra;1;1;7,5"), exame + ".5",
                     "21053;Bases;2;1;6;AVALIACAO;0;F;12,5;R;-;N;-"}),
               &saida, true);
  EXPECT_EQ(saida, lido(2, uc, "7,5", "7") + lido(3, uc, "6.5", "6") + lido(4, uc, "12,5", "12"));

  // Whether the file held any such number, a decimal comma alone included: its first save keeps
  // a copy.
  for (const auto& [texto, outraForma] :
       {std::pair<Texto, bool>{crlf({"ALUNO;1;A", alg + "80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14"}),
                               false},
        {crlf({"ALUNO;1;A", alg + "80;3;B;70;3;C;50;2;F;8,5;R;-1;N;14"}), true},
        {crlf({"ALUNO;1 ;A"}), false},
        {crlf({"ALUNO;1a;A"}), true}}) {
    std::ostringstream mensagens;
    LeitorLinhas f(texto, est, mensagens);
    std::vector<Estudantes> lidos;
    formato::leFicheiroEstudantes(f, lidos);
    EXPECT_EQ(f.houveNumerosOutraForma(), outraForma) << texto;
  }
}

// A file cut at any byte: earlier students whole, the last one cut short at most.
TEST(Ficheiros, CortadoEmQualquerByte) {
  const Texto inteiro =
      crlf({TXT("ALUNO;1001;Inês"), linhaAlgebra, linhaEstatistica, "", "ALUNO;1002;", "",
            "ALUNO;1003;Nome; com;", linhaBases,
            TXT("21002;Álgebra;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;8;R;12.5;N;12"), ""});
  auto escrito = [](const Estudantes& e) {
    std::vector<Texto> v{"ALUNO;" + std::to_string(e.getNumAluno()) + ";" + e.getNome()};
    for (const UC& uc : e.getListaUCs()) formato::gravaFicheiroEstudanteUC(uc, v.emplace_back());
    return v;
  };
  const std::vector<Estudantes> todos = carregaCurso(inteiro).getListaEstudantes();
  for (size_t corte = 0; corte <= inteiro.size(); ++corte) {
    SCOPED_TRACE(corte);
    const Texto parte = inteiro.substr(0, corte);
    const std::vector<Estudantes> lidos = carregaCurso(parte).getListaEstudantes();
    size_t n = 0;
    for (size_t p = parte.find("ALUNO;"); p != Texto::npos; p = parte.find("ALUNO;", p + 1))
      n += corte > p + 6;
    ASSERT_EQ(lidos.size(), n);
    for (size_t i = 0; i + 1 < n; ++i) EXPECT_EQ(escrito(lidos[i]), escrito(todos[i]));
    if (n == 0) continue;
    std::vector<Texto> ultimo = escrito(lidos.back()), certo = escrito(todos[n - 1]);
    if (ultimo[0].back() == ';') ultimo[0].pop_back();
    EXPECT_EQ((certo[0] + "\r").compare(0, ultimo[0].size(), ultimo[0]), 0) << ultimo[0];
    ASSERT_LE(ultimo.size(), certo.size());
    for (size_t j = 1; j + 1 < ultimo.size(); ++j) EXPECT_EQ(ultimo[j], certo[j]);
    EXPECT_TRUE(ultimo.size() < 2 || ultimo.back() == certo[ultimo.size() - 1] ||
                ultimo.back().compare(0, 6, parte, parte.rfind('\n') + 1, 6) == 0)
        << ultimo.back();
  }
}

// Repeated numbers answer from the first or last student; statistics rebuilt; tables exact.
TEST(Curso, RepetidosEstatisticasETabelas) {
  const Texto alg = TXT("21002;Álgebra Linear;1;1;6;AVALIACAO;");
  Listacurso est =
      carregaCurso(crlf({"ALUNO;1001;Primeiro", linhaAlgebra, linhaEstatistica, "",
                         "ALUNO;1002;Outro", alg + "0;A;-1;-1;B;-1;-1;C;-1;-1;F;9;R;-1;N;9", "",
                         "ALUNO;1001;Segundo", alg + "1;A;80;2;B;75;2;C;90;2;F;9.5;R;-1;N;13"}));
  Listacurso ucs = carregaCurso(
      crlf({"CURSO;12;E", "-7;Negativa;1;1;6", TXT("21002;Álgebra Linear;1;1;6")}), nullptr, true);
  EXPECT_EQ(est.checkOpcaoAvaliacaoUCEstudante(1001, 21037), 0);
  EXPECT_EQ(est.checkOpcaoAvaliacaoUCEstudante(1001, -7), 2);
  ConsolaTeste c("-5\nNovo Aluno\n");
  EXPECT_EQ(est.validaDadosEfoliosUCEstudantes(c.saida, 1001, 21002), 0);
  est.userSetEstudante(c.consola, ucs.getCopiaListaUCsCurso(), est.getListaEstudantes());
  std::ostringstream tabelas;
  for (int vez = 0; vez < 2; ++vez) {
    ucs.setInfoUCsCurso(est.getListaEstudantes());
    ucs.imprimeInfoUCcurso(tabelas, 21002);
  }
  for (const Listacurso* k : {&est, &ucs}) {
    k->imprimeEstudantesDisponiveis(tabelas), k->imprimeInfoUCs(tabelas);
  }
  const Texto media = estatisticaUC(TXT("Álgebra Linear"), 2, "14.500");
  const Texto cabE = regua + margem + TXT("Nº de Aluno    Nome do Aluno\n") + regua;
  const Texto cabU = regua + margem + TXT("Código         Nome da Unidade Curricular\n") + regua;
  const Texto tabelaE = cabE + linhaTabela("1001", "Primeiro") + linhaTabela("1002", "Outro") +
                        linhaTabela("1001", "Segundo") + linhaTabela("-5", "Novo Aluno") + regua +
                        "\n";
  const Texto tabelaU =
      cabU + linhaTabela("-7", "Negativa") + linhaTabela("21002", TXT("Álgebra Linear")) + regua;
  EXPECT_EQ(tabelas.str(), media + media + tabelaE + cabU + regua + cabE + regua + "\n" + tabelaU);
}

// The course record's fourth field gives the course's total of ECTS: a whole number from 1 to
// 999. Absent, or not beginning with a digit, it is ignored as before (180); any other text that
// begins with a digit is named once on loading, and 180 is used. Only the first line counts.
TEST(Ficheiros, TotalDeEctsDoCurso) {
  const Texto unidade = TXT("21002;Álgebra;1;1;6");
  const auto carrega = [&](const Texto& primeira, const Texto& resto = "") {
    Texto mensagens;
    const Listacurso k = carregaCurso(crlf({primeira, unidade}) + resto, &mensagens, true);
    EXPECT_EQ(k.getListaUCsCurso().size(), 1u) << primeira;
    return std::make_pair(k.getTotalEctsCurso().ects, mensagens);
  };
  const auto aviso = [](const Texto& campo) {
    return TXT("ATENÇÃO: Linha 1 do ficheiro 12-UC.txt: total de ECTS '") + campo +
           TXT("' inválido; usado 180\n");
  };
  using R = std::pair<int, Texto>;
  EXPECT_EQ(carrega(TXT("CURSO;12;Mestrado em Engenharia Informática;120")), R(120, ""));
  EXPECT_EQ(carrega("CURSO;12;Mestrado;120;mais;campos"), R(120, ""));
  EXPECT_EQ(carrega("CURSO;12;Curta;1"), R(1, ""));
  EXPECT_EQ(carrega("CURSO;12;Longa;999"), R(999, ""));
  EXPECT_EQ(carrega("CURSO;12;Zeros;0090"), R(90, ""));
  for (const char* ignorado :
       {"CURSO;12;Engenharia", "CURSO;12;Engenharia;extra", "CURSO;12;Engenharia;",
        "CURSO;12;Engenharia;-60", "CURSO;12;Engenharia; 120", "CURSO;12", "12;Engenharia;120;x",
        "curso;12;Engenharia;120"}) {
    EXPECT_EQ(carrega(ignorado), R(180, "")) << ignorado;
  }
  // The loader never needed the code: a record whose code is no number still gives its total.
  EXPECT_EQ(carrega("CURSO;x;Sem;60"), R(60, ""));
  for (const char* invalido : {"7,5", "0", "000", "1000", "120abc", "12.5", "99999999999"}) {
    EXPECT_EQ(carrega(Texto("CURSO;12;Engenharia;") + invalido), R(180, aviso(invalido)))
        << invalido;
  }
  // A second course record further down gives nothing: the loader reads the first line only.
  EXPECT_EQ(carrega("CURSO;12;Primeiro", crlf({"CURSO;12;Segundo;60"})),
            R(180, erroLinha(3, "12-UC.txt")));
}
