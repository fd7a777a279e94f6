#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Captura.h"
#include "Cenario.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"

namespace {

// Loads a file's content the way course loading does: a unit file (its
// lines minus one counted) or a student file (its ALUNO lines counted).
Listacurso carrega(const std::string& conteudo, bool unidades = false, std::string* saida = nullptr) {
  Captura captura;
  LeitorLinhas leitor(conteudo, unidades ? "12-UC.txt" : "12-Estudantes.txt");
  Listacurso curso;
  if (unidades) {
    curso.setUCsCurso(12, static_cast<int>(leitor.contaLinhas() - 1), leitor);
  } else {
    curso.setListaEstudantes(12, static_cast<int>(leitor.contaLinhasComPrimeiroCampo("ALUNO")), leitor);
  }
  if (saida != nullptr) *saida = captura.saida();
  return curso;
}

using Efolios = std::vector<std::pair<float, float>>;  // grade, weight of A, B, C
const Efolios ausentes = {{-1, -1}, {-1, -1}, {-1, -1}};

UC unidade(int codigo, const std::string& nome, int ano, int ects, int opcao, const Efolios& efolios,
           float provaFinal, float recurso, float nota) {
  UC uc;
  uc.setCodigo(codigo);
  uc.setNome(nome);
  uc.setAno(ano);
  uc.setSemestre(2);
  uc.setEcts(ects);
  uc.setOpcaoAvaliacao(opcao);
  for (size_t i = 0; i < efolios.size(); ++i) {
    Efolio e("ABC"[i]);
    e.setNota(efolios[i].first);
    e.setPeso(efolios[i].second);
    uc.setEfolios(e);
  }
  uc.setProvaFinal(provaFinal);
  uc.setProvaRecurso(recurso);
  uc.setNota(nota);
  return uc;
}

// Adds a student through the console dialogue, with his own units.
void acrescenta(Listacurso& curso, const std::string& numero, const std::string& nome,
                const std::vector<UC>& ucs) {
  Captura captura(numero + "\n" + nome + "\n");
  curso.userSetEstudante(ucs, {});
}

// Every field of every student and unit, reals with 9 significant digits,
// so that two descriptions are equal only when the values are.
std::string descreve(const Listacurso& curso) {
  std::ostringstream s;
  s << std::setprecision(9);
  for (const Estudantes& e : curso.getListaEstudantes()) {
    s << "ALUNO " << e.getNumAluno() << '|' << e.getNome() << '\n';
    for (const UC& uc : e.getListaUCs()) {
      s << uc.getCodigo() << '|' << uc.getNome() << '|' << uc.getAno() << '|' << uc.getsemestre()
        << '|' << uc.getEcts() << "|op " << uc.getOpcaoAvaliacao();
      for (const Efolio& f : uc.eFolios) s << '|' << f.getLetra() << ' ' << f.getNota() << ' ' << f.getPeso();
      s << "|F " << uc.getProvaFinal() << "|R " << uc.getProvaRecurso() << "|N " << uc.notaExata()
        << '\n';
    }
  }
  return s.str();
}

std::string soLf(std::string texto) {
  std::string r;
  for (char c : texto) {
    if (c != '\r') r += c;
  }
  return r;
}

const std::string U1 = "21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;80;2;B;75;2;C;90;4;F;9.5;R;-1;N;16";
const std::string U2 = "21037;Estatística;1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14";
const std::string U3 = "21053;Bases de Dados;2;1;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1";

}  // namespace

TEST(Ficheiros, ExemplosIdaEVoltaByteAByte) {
  const std::string ficheiroUC = crlf({"CURSO;12;Engenharia Informática", "21002;Álgebra Linear;1;1;6",
                                       "21037;Estatística;1;2;6",
                                       "21053;Bases de Dados;2;1;6;AVALIACAO;-;F;-;R;-;N;-"});
  std::string saida;
  Listacurso ucs = carrega(ficheiroUC, true, &saida);
  EXPECT_EQ(saida, "");
  std::string linhas;
  for (const UC& uc : ucs.getListaUCsCurso()) uc.gravaFicheiroEstudanteUC(linhas);
  EXPECT_EQ(linhas, crlf({"21002;Álgebra Linear;1;1;6;" "AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1",
                          "21037;Estatística;1;2;6;" "AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1",
                          U3}));

  const std::string ficheiroEstudantes = crlf(
      {"ALUNO;1001;Aluno Um", "21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;80;2;B;75;2;C;90;4;F;9.5;R;-1;N;16",
       U2, U3, "", "ALUNO;1002;Aluno Dois",
       "21002;Álgebra Linear;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;8;R;12;N;12", ""});
  Listacurso estudantes = carrega(ficheiroEstudantes, false, &saida);
  EXPECT_EQ(saida, "");
  EXPECT_EQ(estudantes.getListaEstudantes().size(), 2u);
  EXPECT_EQ(estudantes.conteudoFicheiroEstudantes(), ficheiroEstudantes);

  const std::string enviado = exemplo("12-Estudantes.txt");
  Listacurso curso12 = carrega(enviado, false, &saida);
  EXPECT_EQ(saida, "");
  EXPECT_EQ(curso12.getListaEstudantes().size(), 8u);
  EXPECT_EQ(curso12.conteudoFicheiroEstudantes(), enviado);
}

// A built course is written, read back equal but for what the file cannot
// keep (6 significant digits, whole final grades, the e-folios of options
// 0 and -1), and then rewrites to the same bytes.
TEST(Ficheiros, EscritoLeDeVoltaIgualEReescreveIgual) {
  Listacurso curso;
  acrescenta(curso, "1001", "Inês Conceição Almeida",
             {unidade(21002, "Álgebra Linear I", 1, 6, 1, {{80, 3}, {70, 3}, {50, 2}}, 8.5f, -1, 14),
              unidade(21037, "Estatística", 1, 6, 0, {{50, 2}, {60, 3}, {70, 3}}, 9, 13, 13),
              unidade(21048, "Física Geral", 2, 6, -1, {{10, 1}, {-1, -1}, {20, 4}}, -1, -1, -1)});
  acrescenta(curso, "1002", "Nome; com; pontos e vírgulas",
             {unidade(-3, "Análise Matemática I", 1, 6, 1, {{66.666667f, 2.5f}, {1e-05f, 2.5f}, {-1, -1}}, 12,
                      5.75f, 14.7f)});
  acrescenta(curso, "-5", "", {});
  acrescenta(curso, "1001", "Repetido", {unidade(21046, "EDA", 2, 7, 0, ausentes, 0.5f, 19.25f, 19)});
  const std::string escrito = curso.conteudoFicheiroEstudantes();
  EXPECT_EQ(escrito,
            crlf({"ALUNO;1001;Inês Conceição Almeida",
                  "21002;Álgebra Linear I;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14",
                  "21037;Estatística;1;2;6;AVALIACAO;0;A;50;2;B;60;3;C;70;3;F;9;R;13;N;13",
                  "21048;Física Geral;2;2;6;AVALIACAO;-1;A;10;1;B;-1;-1;C;20;4;F;-1;R;-1;N;-1", "",
                  "ALUNO;1002;Nome; com; pontos e vírgulas",
                  "-3;Análise Matemática I;1;2;6;AVALIACAO;1;A;66.6667;2.5;B;1e-05;2.5;C;-1;-1;F;12;R;5.75;N;14",
                  "", "ALUNO;-5;", "", "ALUNO;1001;Repetido",
                  "21046;EDA;2;2;7;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;0.5;R;19.25;N;19", ""}));

  Listacurso esperado;
  acrescenta(esperado, "1001", "Inês Conceição Almeida",
             {unidade(21002, "Álgebra Linear I", 1, 6, 1, {{80, 3}, {70, 3}, {50, 2}}, 8.5f, -1, 14),
              unidade(21037, "Estatística", 1, 6, 0, ausentes, 9, 13, 13),
              unidade(21048, "Física Geral", 2, 6, -1, ausentes, -1, -1, -1)});
  acrescenta(esperado, "1002", "Nome; com; pontos e vírgulas",
             {unidade(-3, "Análise Matemática I", 1, 6, 1, {{66.6667f, 2.5f}, {0.00001f, 2.5f}, {-1, -1}}, 12,
                      5.75f, 14)});
  acrescenta(esperado, "-5", "", {});
  acrescenta(esperado, "1001", "Repetido", {unidade(21046, "EDA", 2, 7, 0, ausentes, 0.5f, 19.25f, 19)});

  std::string saida;
  Listacurso lido = carrega(escrito, false, &saida);
  EXPECT_EQ(saida, "");
  EXPECT_EQ(descreve(lido), descreve(esperado));
  const std::string reescrito = lido.conteudoFicheiroEstudantes();
  EXPECT_EQ(reescrito, esperado.conteudoFicheiroEstudantes());
  EXPECT_EQ(carrega(reescrito).conteudoFicheiroEstudantes(), reescrito);

  // No students: an empty file, which reads back as no students.
  EXPECT_EQ(Listacurso().conteudoFicheiroEstudantes(), "");
  EXPECT_TRUE(carrega("").getListaEstudantes().empty());
}

// Well-formed variations: none of them prints anything. The result is
// shown as the file the students would be written to.
TEST(Ficheiros, RegrasDeLeitura) {
  const std::vector<std::pair<std::string, std::string>> casos = {
      // stray lines, several empty lines, a block without units, lines
      // after "ALUNO" and "ALUNO;" with nothing, duplicate numbers, a last
      // record line without a line end
      {crlf({"texto solto", "ALUNO;1001;Um", U1, U2, "", "", "", U3, "ALUNO;1002;Sem UCs", "",
             "aluno;1003;minúsculas", U1, " ALUNO;1004;espaço", "ALUNO", U1, "ALUNO;", U2, "x",
             "ALUNO;1001;Repetido", U3, ""}) +
           "ALUNO;1005;Último",
       crlf({"ALUNO;1001;Um", U1, U2, "", "ALUNO;1002;Sem UCs", "", "ALUNO;1001;Repetido", U3, "",
             "ALUNO;1005;Último", ""})},
      // the last unit record without a line end is read once
      {crlf({"ALUNO;1;A", U1}) + U3, crlf({"ALUNO;1;A", U1, U3, ""})},
      // a line of one character ends the block; what follows is top level
      {crlf({"ALUNO;1;A", U1, "x", U2, "ALUNO;2;B", U3}), crlf({"ALUNO;1;A", U1, "", "ALUNO;2;B", U3, ""})},
      // "ALUNO" alone inside a block ends it, and gives no student
      {crlf({"ALUNO;1;A", U1, "ALUNO", U2, "ALUNO;2;B", U3}), crlf({"ALUNO;1;A", U1, "", "ALUNO;2;B", U3, ""})},
      // "ALUNO;" and "ALUNO" alone as the only records: no students
      {crlf({"ALUNO;", U1, "", "ALUNO"}), ""},
      // a unit-file-style record without assessment part in a block
      {crlf({"ALUNO;1;A", "21002;Álgebra Linear;1;1;6"}),
       crlf({"ALUNO;1;A", "21002;Álgebra Linear;1;1;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1", ""})},
  };
  for (const auto& [ficheiro, esperado] : casos) {
    SCOPED_TRACE(ficheiro);
    std::string saida;
    EXPECT_EQ(carrega(ficheiro, false, &saida).conteudoFicheiroEstudantes(), esperado);
    EXPECT_EQ(saida, "");
    EXPECT_EQ(carrega(soLf(ficheiro), false, &saida).conteudoFicheiroEstudantes(), esperado);
    EXPECT_EQ(saida, "");
  }
}

TEST(Ficheiros, LinhasMalFormadasIgnoradasComMensagem) {
  const std::string ficheiro = crlf({
      "ALUNO;1001;Um",                                                                 // 1
      U1,                                                                              // 2
      "21037;Estatística;1;2;6;AVALIACAO;1;A;50;2;B;60;3;F;9;R;-1;N;9",                // 3 no C
      "abc;Nome;1;1;6",                                                                // 4
      "21053;Bases de Dados;2;1",                                                      // 5
      "ALUNO;1002",                                                                    // 6
      U2,                                                                              // 7
      "ALUNO;abc;Nome Inválido",                                                       // 8
      U3,                                                                              // 9
      "",                                                                              // 10
      "ALUNO;99999999999;Grande",                                                      // 11
      "",                                                                              // 12
      "ALUNO;1003;Três",                                                               // 13
      "21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;80;2;B;75;2;C;90;4;F;x;R;-1;N;16",     // 14
      "21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;oito;2;B;75;2;C;90;4;F;9;R;-1;N;16",   // 15
      U3,                                                                              // 16
  });
  std::string saida;
  Listacurso curso = carrega(ficheiro, false, &saida);
  std::string mensagens;
  for (int n : {3, 4, 5, 8, 11, 14, 15}) {
    mensagens += "ERRO: Linha " + std::to_string(n) + " do ficheiro 12-Estudantes.txt ignorada\n";
  }
  EXPECT_EQ(saida, mensagens);
  EXPECT_EQ(curso.conteudoFicheiroEstudantes(),
            crlf({"ALUNO;1001;Um", U1, "", "ALUNO;1002;", U2, "", "ALUNO;1003;Três", U3, ""}));

  // Unit file: an empty line is skipped silently, an unreadable line with
  // the message; an invalid option is reported and the unit kept.
  Listacurso ucs = carrega(crlf({"CURSO;12;Engenharia", "21002;Álgebra Linear;1;1;6", "", "21037;Estatística;1;2",
                                 "21053;Bases de Dados;2;1;6;AVALIACAO;-;F;-;R;-;N;-",
                                 "21099;Opção;1;1;6;AVALIACAO;7;F;-;R;-;N;-", "-x;Sem código;1;1;6"}),
                           true, &saida);
  EXPECT_EQ(saida,
            "ERRO: Linha 4 do ficheiro 12-UC.txt ignorada\n"
            "Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 para Exame Final ou "
            "1 para Avaliação Contínua\n"
            "ERRO: Linha 7 do ficheiro 12-UC.txt ignorada\n");
  std::vector<int> codigos;
  for (const UC& uc : ucs.getListaUCsCurso()) codigos.push_back(uc.getCodigo());
  EXPECT_EQ(codigos, (std::vector<int>{21002, 21053, 21099}));
}

// A student as the lines he would be written as.
std::vector<std::string> comoEscrito(const Estudantes& e) {
  std::vector<std::string> linhas{"ALUNO;" + std::to_string(e.getNumAluno()) + ";" + e.getNome()};
  for (const UC& uc : e.getListaUCs()) {
    linhas.emplace_back();
    uc.gravaFicheiroEstudanteUC(linhas.back());
  }
  return linhas;
}

// A valid file cut at every length gives the students of the whole file up
// to the cut; the last one may have a shorter record (a cut between CR and
// LF leaves the CR in the name), fewer units, or a last unit that reads
// differently because its line was cut.
TEST(Ficheiros, FicheiroCortadoEmQualquerByte) {
  const std::string completo =
      crlf({"ALUNO;1001;Inês", U1, U2, "", "ALUNO;1002;", "", "ALUNO;1003;Nome; com ponto e vírgula", U3,
            "21002;Álgebra Linear;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;8;R;12.5;N;12", ""});
  std::vector<std::vector<std::string>> inteiros;
  const Listacurso todos = carrega(completo);
  for (const Estudantes& e : todos.getListaEstudantes()) inteiros.push_back(comoEscrito(e));
  ASSERT_EQ(inteiros.size(), 3u);

  for (size_t corte = 0; corte <= completo.size(); ++corte) {
    SCOPED_TRACE("corte em " + std::to_string(corte));
    const std::string parte = completo.substr(0, corte);
    std::vector<std::vector<std::string>> lidos;
    const Listacurso curso = carrega(parte);
    for (const Estudantes& e : curso.getListaEstudantes()) lidos.push_back(comoEscrito(e));
    size_t esperados = 0;  // records with something after "ALUNO;"
    for (size_t p = parte.find("ALUNO;"); p != std::string::npos; p = parte.find("ALUNO;", p + 1)) {
      esperados += corte > p + 6;
    }
    ASSERT_EQ(lidos.size(), esperados);
    if (lidos.empty()) continue;
    for (size_t i = 0; i + 1 < lidos.size(); ++i) EXPECT_EQ(lidos[i], inteiros[i]);
    const std::vector<std::string>& ultimo = lidos.back();
    const std::vector<std::string>& inteiro = inteiros[lidos.size() - 1];
    std::string registo = ultimo[0];
    if (registo.back() == ';') registo.pop_back();  // a name cut away entirely
    EXPECT_EQ((inteiro[0] + "\r").compare(0, registo.size(), registo), 0) << ultimo[0];
    ASSERT_LE(ultimo.size(), inteiro.size());
    for (size_t j = 1; j + 1 < ultimo.size(); ++j) EXPECT_EQ(ultimo[j], inteiro[j]);
    if (ultimo.size() > 1 && ultimo.back() != inteiro[ultimo.size() - 1]) {
      const std::string linhaCortada = parte.substr(parte.rfind('\n') + 1);
      EXPECT_EQ(linhaCortada.compare(0, 6, ultimo.back(), 0, 6), 0) << linhaCortada;
    }
  }
}
