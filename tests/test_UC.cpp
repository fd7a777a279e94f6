#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "Captura.h"
#include "Estudantes.h"
#include "LeitorLinhas.h"

namespace {

UC le(const std::string& linha) {
  UC uc;
  EXPECT_TRUE(UC::interpreta(linha, uc)) << linha;
  return uc;
}
const std::string P = "1;U;1;1;6;AVALIACAO;";
UC reg(const std::string& avaliacao) { return le(P + avaliacao); }  // a unit "1;U;1;1;6"
// The unit's line in the student file.
std::string grava(const UC& uc, std::string t = "") { return uc.gravaFicheiroEstudanteUC(t), t; }

// A report row: margin, then the '|'-separated cells filled with blanks to their widths.
std::string fila(const std::string& campos) {
  const size_t w[] = {50, 10, 18, 10, 10, 10, 12, 12, 10};
  std::string s(8, ' '), c;
  std::istringstream in(campos);
  for (size_t i = 0; getline(in, c, '|'); ++i) s += c.append(w[i] - std::min(w[i], c.size()), ' ');
  return s + "\n";
}

const std::string nota = "Insira a Nota em Percentagem do eFolio ";
std::string peso(char l) { return std::string("insira o Peso da Nota do Efolio ") + l + ":\n"; }
const std::string erroNota = "\nERRO: Valor de Nota inválido, insira um valor entre 0 e 100, ou -1 "
                             "no caso não haver eFolio ";
std::string erro(const std::string& prova, const char* maximo) {
  return "ERRO: A nota do " + prova + " deverá estar entre 0 e " + maximo +
         ", por favor corrija o valor\n";
}
std::string ok(const std::string& prova) { return "Nota do " + prova + " inserida é válida\n"; }
std::string aviso(const std::string& p) {
  return ok("pFolio") + "\nATENÇÃO: Infelizmente o aluno não atingiu a nota mínima no " + p +
         ", desta forma a nota do " + p + " não será considerada para a nota final\n";
}
const std::string erroPeso =
    "\nERRO: Valor do peso inválido, insira um valor entre 0 e 8,\n"
    " tenha em conta que a soma dos pesos de todos os eFolios não pode ultrapassar 8\n";
const std::string opcao =
    "Por defeito a Opção de Avaliação definida para as Unidades Curriculares é avaliação "
    "continua, deseja continuar ou redefinir a opção para Exame Final?\n"
    " Continuar com Avaliação Continua - 1\n Redefinir para Exame Final - 0\n";
const std::string pF =
    "O aluno optou pela avaliação contínua por favor insira o valor da nota do pFolio\n";
const std::string exF =
    "\nO aluno optou pela avaliação por Exame Final por favor insira o valor da nota do Exame\n";
const std::string rec = "Por favor insira a nota do Exame de Recurso \n";
const std::string minimo = "\nATENÇÃO Infelizmente o aluno não atingiu a nota mínima nos eFolios "
                           "para poder ser admitido ao pFolio";
const std::string contagem = "\nATENÇÃO: O aluno tem que ser avaliado em pelo menos 2 efolios "
                             "para poder ser admitido no pFolio";
const std::string aExame = "\nDesta forma fica admitido a Exame de Recurso \n" + rec;
const std::string pR = "O aluno optou pela avaliação contínua e obteve os requisitos para ser "
                       "admitido a pFolio de Recurso, por favor insira o valor da nota do pFolio "
                       "de Recurso\n";
const std::string incompativel =
    "Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 para Exame Final ou "
    "1 para Avaliação Contínua\n";
const std::string sem = "A;-1;-1;B;-1;-1;C;-1;-1;";  // no e-folios
const std::string u1 = "21002;Álgebra Linear I;1;1;6;AVALIACAO;0;F;14;R;-1;N;14";
const std::string u2 = "21037;Estatística;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;5;R;-1;N;9";
const std::string u3 = "21053;BD;2;1;12;AVALIACAO;1;A;75;2;B;33.3;3;C;0;3;F;8.5;R;-;N;16";
const std::string u4 = "21071;Sistemas;2;2;6";
const std::string regua = std::string(155, '-') + "\n";
const std::string topo = regua + "        UC" + std::string(47, ' ') +
                         "ECTS    Opção Avaliação      eFA       eFB       eFC    pF/Ex.Final "
                         "Ex.Recurso  Nota Final\n" + regua;

Estudantes estudante(const std::string& nome, std::vector<std::string> linhas) {
  Estudantes e;
  e.setNome(nome);
  for (const std::string& l : linhas) e.adicionaUC(le(l));
  return e;
}
// A unit that only matters for the totals: its ECTS and final grade.
std::string unidade(int ects, const std::string& nota) {
  return "1;U;1;1;" + std::to_string(ects) + ";AVALIACAO;0;F;-1;R;-1;N;" + nota;
}

}  // namespace

// Grade-entry dialogues: texts, ranges, admission, saved values (depois), input left unread.
TEST(NotasUC, Dialogos) {
  const std::string eA = nota + "A:\n" + erroNota + "A\n", inv = "Opção inválida\n";
  const auto dicaC = "Para o caso de não existir eFolio C inserir -1 na Nota\n" + nota + "C:\n";
  const struct { std::string registo, acao, entrada, depois, saida, resto = "\n"; } casos[] = {
      {"1;A;-;-;B;-;-;C;-;-", "A", "100.5\n-0.5\n-2\n100\n8.5\n-1\n8\n", "A;100;8;B;-1;-1",
       eA + eA + eA + nota + "A:\n" + peso('A') + erroPeso + peso('A') + erroPeso + peso('A')},
      {"-1", "B", "2\n-1\n1\n0\n0\n", "1;A;-1;-1;B;0;0",
       opcao + inv + opcao + inv + opcao + nota + "B:\n" + peso('B')},
      {"1;A;-;-;B;-;-;C;50;2", "C", "120\n-1\nx\n", "C;-1;-1", dicaC + erroNota + "C\n" + dicaC,
       "\nx\n"},
      {"0", "B", "", "0;A;-1;-1;B;-1;-1",
       "ATENÇÃO: Não é possivel inserir notas de eFolio, o aluno optou por Exame Final nesta "
       "Unidade Curricular\n", ""},
      {"1;A;50;3;B;50;4;C;-;-", "F", "12.5\n-0.1\n5.5\n", "F;5.5;R;-1",
       pF + erro("pFolio", "12") + pF + erro("pFolio", "12") + pF + ok("pFolio")},
      {"1;A;50;4;B;50;4;C;-;-", "F", "5.4\n", "F;5.4;R;-1", pF + aviso("pFolio")},
      {"1;A;40;3;B;50;4;C;-;-", "F", "7\n", "F;-1;R;-1",
       minimo + " \nNão é possivel inserir a nota do pFolio \n", "7\n"},
      {"1;A;100;8;B;-;-;C;-;-", "F", "7\n", "F;-1;R;-1", contagem + "\n", "7\n"},
      {"-1", "F", "0\n-1\n20.5\n20\n", "0;A;-1;-1;B;-1;-1;C;-1;-1;F;20;R;-1",
       opcao + exF + erro("Exame Final", "20") + exF + erro("Exame Final", "20") + exF +
           ok("Exame Final")},
      {"1;A;50;2;B;50;2;C;-;-", "R", "25\n15\n", "F;-1;R;15",
       minimo + " de Recurso" + aExame + erro("Exame de Recurso", "20") + minimo + " de Recurso" +
           aExame + ok("Exame de Recurso")},
      {"1;A;100;8;B;-;-;C;-;-", "R", "15\n", "F;-1;R;15",
       contagem + " de recurso" + aExame + ok("Exame de Recurso")},
      {"1;A;50;4;B;50;4;C;-;-", "R", "15\n5\n", "F;-1;R;5",
       pR + erro("pFolio de Recurso", "12") + pR + aviso("pFolio de Recurso")},
      {"0", "R", "21\n0\n", "F;-1;R;0",
       rec + erro("Exame de Recurso", "20") + rec + ok("Exame de Recurso")},
      // An option read as neither 0 nor 1: p-folio entry refused (one ERRO: line); resit exam.
      {"2;A;50;4;B;50;4;C;-;-", "F", "9\n", "2;A;50;4;B;50;4;C;-1;-1;F;-1;R;-1", "ERRO:\n", "9\n"},
      {"2;A;50;4;B;50;4;C;-;-", "R", "9\n", "F;-1;R;9", rec + ok("Exame de Recurso")},
  };
  for (const auto& d : casos) {
    SCOPED_TRACE(d.registo + " " + d.acao + " " + d.entrada);
    UC r = reg(d.registo + ";F;-;R;-;N;-");
    Captura c(d.entrada);
    if (d.acao == "F") r.userSetNotaProvaFinal();
    if (d.acao == "R") r.userSetNotaExameRecurso();
    if (d.acao < "D") r.userSetNotaEfolio(d.acao[0]);
    std::string saida = c.saida(), g = grava(r);
    if (d.saida == "ERRO:\n") saida = saida.substr(0, 5) + saida.substr(saida.find('\n'));
    EXPECT_EQ(saida, d.saida);
    EXPECT_NE(g.find(d.depois + ";"), g.npos) << g;
    EXPECT_EQ(c.restoEntrada(), d.resto);
  }
}

// Continuous assessment needs weights adding up to 8; the listing follows the console notation.
TEST(NotasUC, PesosTemDeSomarOito) {
  auto lista = [](const std::string& v, const std::string& total) {
    return "\nERRO: O peso total dos eFolios tem que ser 8, por favor corrija os valores\n"
           "Os pesos que estão definidos neste momento são:\neFolio A - " + v + "\neFolio B - " +
           v + "\neFolio C - " + v + "\nTotal do peso neste momento é " + total + "\n";
  };
  Captura c;
  EXPECT_EQ(reg("1;A;50;2.5;B;50;2.5;C;-1;3;F;-;R;-;N;-").validaDadosEfolios(), 1);
  EXPECT_EQ(reg("1;A;50;3;B;50;3;C;50;3;F;-;R;-;N;-").validaDadosEfolios(), 0);
  EXPECT_EQ(reg("0;F;-;R;-;N;-").validaDadosEfolios(), 0);
  std::cout << std::fixed << std::setprecision(1);
  EXPECT_EQ(reg("1;A;-;-;B;-;-;C;-;-;F;-;R;-;N;-").validaDadosEfolios(), 0);
  EXPECT_EQ(c.saida(), "Valores dos eFolios são Válidos\n" + lista("3", "9") + lista("0.0", "0.0"));
}

// Both record forms read and written back: stale e-folios, option 2 kept, bad lines refused.
TEST(UC, LeituraEEscrita) {
  const std::string dois = P + "2;A;80;3;B;70;3;C;50;2;F;8.5;R;9;N;15";
  const struct { std::string linha, gravada, saida = ""; } casos[] = {
      {"1001;Unidade X;1;2;6", "1001;Unidade X;1;2;6;AVALIACAO;-1;" + sem + "F;-1;R;-1;N;-1"},
      {"1;Física;1;1;6;AVALIACAO;1;A;66.666667;1e-05;B;87.5;2.5;C;-;-;F;8.25;R;-;N;14.7",
       "1;Física;1;1;6;AVALIACAO;1;A;66.6667;1e-05;B;87.5;2.5;C;-1;-1;F;8.25;R;-1;N;14"},
      {P + "0;A;80;3;B;70;3;C;50;2;F;14;R;16;N;16", P + "0;" + sem + "F;14;R;16;N;16"},
      {P + "-1;A;80;3;B;70;3;C;50;2;F;-;R;-;N;-", P + "-1;" + sem + "F;-1;R;-1;N;-1"},
      {P + "-;F;-;R;-;N;3e9", P + "-1;" + sem + "F;-1;R;-1;N;2147483647"},
      {dois, dois, incompativel},
  };
  for (const auto& caso : casos) {
    Captura c;
    EXPECT_EQ(grava(le(caso.linha)), caso.gravada + "\r\n");
    EXPECT_EQ(c.saida(), caso.saida);
  }
  Captura c;
  UC uc;
  for (const std::string& linha : std::vector<std::string>{
           P + "1;A;80;3;C;50;2;F;8.5;R;-1;N;15", P + "1;A;80;3;B;70;3;C;50;2;F;8.5;N;15",
           P + "1;A;80;3;B;70;3;C;50;2;R;-1;N;15", P + "1;A;x;3;B;70;3;C;50;2;F;8.5;R;-1;N;15",
           P + "0;F;abc;R;-1;N;15", P + "abc;F;1;R;-1;N;15", P + "0;F;1e99;R;-1;N;15",
           P + "0;F;1;R;-1;N;abc", "abc;N;1;1;6", "1;N;1;1", "", "99999999999;N;1;1;6",
           "1;N;1;x;6"}) {
    EXPECT_FALSE(UC::interpreta(linha, uc)) << linha;
  }
  EXPECT_EQ(c.saida(), "");
}

// The final grade of every assessment path, against the grade already held.
TEST(UC, NotaFinal) {
  const std::string E = "0;F;", Q = "1;A;50;4;B;50;4;C;-1;-1;F;", N = "1;A;40;5;B;35;4;C;-;-;F;";
  const std::string naoAtualizada = "\nNota final não atualizada\n\n\n",
                    melhoria = "\nATENÇÂO: A nova nota é superior a nota existente, trata-se de "
                               "uma melhoria de nota?\nA Atualizar Nota ...\n\n\n";
  const struct { std::string aval; int nota; std::string atual = "-1", saida = "\n\n"; } casos[] = {
      {E + "8;R;12", 12}, {E + "14;R;10", 14}, {E + "9.5;R;-1", 10}, {E + "-1;R;-1", -1},
      {"-1;F;14;R;-1", 0}, {Q + "6;R;-1", 10}, {Q + "5.4;R;-1", 0}, {Q + "5.4;R;7", 11},
      {Q + "6;R;5", 10}, {Q + "6;R;8", 12}, {Q + "5.4;R;5.5", 10}, {Q + "-1;R;-1", 4},
      {N + "10;R;12", 12}, {N + "10;R;-1", -1}, {"1;A;100;8;B;-;-;C;-;-;F;10;R;15", 15},
      {"1;A;0;4;B;100;4;C;-;-;F;6;R;-", 10}, {"1;A;50;3;B;50;4;C;-1;-1;F;5.5;R;-1", 9},
      {E + "14.2;R;-1", 14, "12", melhoria}, {E + "12.4;R;-1", 12, "12", melhoria},
      {E + "11.6;R;-1", 12, "12", naoAtualizada}, {E + "5;R;-1", 8, "8", naoAtualizada},
      {E + "9.5;R;-1", 10, "8"}, {E + "9.6;R;-1", 10, "9.7"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.aval + " N " + caso.atual);
    Captura c;
    UC uc = reg(caso.aval + ";N;" + caso.atual);
    uc.atualizaNotaFinal();
    EXPECT_EQ(uc.getNota(), caso.nota);
    EXPECT_EQ(c.saida(), caso.saida);
  }
}

// Report rows (passed units only unless forced, own format after fixed notation); statistics.
TEST(UC, Textos) {
  const std::string x = "1;Unidade X;1;2;6;AVALIACAO;1;A;75;2;B;33.3;3;C;0;3;F;8.5;R;-1;N;";
  Captura c;
  le(x + "9.9").imprimeInfoUC();
  std::cout << std::fixed << std::setprecision(1);
  le(x + "10").imprimeInfoUC();
  le("3;Exame;1;1;5;AVALIACAO;0;F;14;R;9.25;N;9.9").imprimeInfoUC(1);
  le("4;Estranha;1;1;5;AVALIACAO;2;F;-1;R;-1;N;-1").imprimeInfoUC(1);
  UC uc = le(u1);
  uc.imprimeInfoUCcurso();
  for (float n : {12.0f, 15.0f}) uc.setAlunoAprovado(), uc.setSomaNotas(n);
  uc.imprimeInfoUCcurso();
  EXPECT_EQ(c.saida(), fila("Unidade X|6|Contínua|1.50|1.00|0.00|8.50|-|10") +
                           fila("Exame|5|Ex.Final|-|-|-|14.00|9.25|9") + incompativel +
                           fila("Estranha|5||-|-|-|-|-|-") +
                           "\nUNIDADE CURRICULAR: Álgebra Linear I\nTotal de Alunos Aprovados: 0\n"
                           "Não existem alunos aprovados, logo não é possivel calcular a média\n"
                           "\nUNIDADE CURRICULAR: Álgebra Linear I\nTotal de Alunos Aprovados: 2\n"
                           "Média: 13.500\n");
}

// A student's block in the student file, and the line left for the caller.
TEST(Estudantes, Bloco) {
  const std::string b = "ALUNO;2;B", erro = " do ficheiro 12-Estudantes.txt ignorada\n";
  const struct { std::string conteudo, lido, resto, saida = ""; } casos[] = {
      {crlf({"ALUNO;1234;Nome Exemplo", u1, u2, "", b}), "1234 Nome Exemplo: 21002 21037", b},
      {crlf({"ALUNO;1;A", u1, u2}), "1 A: 21002 21037", "<fim>"},
      {"ALUNO;1;A\r\n" + u1 + "\r\n" + u2, "1 A: 21002 21037", "<fim>"},
      {crlf({"ALUNO;1;A", "", u1}), "1 A:", u1},
      {"ALUNO;1;A", "1 A:", "<fim>"},
      {crlf({"ALUNO;1;A", u1, b, u2}), "1 A: 21002", b},
      {crlf({"ALUNO;1;A", u1, "abc", u2, ""}), "1 A: 21002 21037", "<fim>", "ERRO: Linha 3" + erro},
      {crlf({"ALUNO;abc;Nome", u1, "", u2}), "falhou", u1, "ERRO: Linha 1" + erro},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.conteudo);
    Captura c;
    LeitorLinhas leitor(caso.conteudo, "12-Estudantes.txt");
    std::string_view linha;
    ASSERT_TRUE(leitor.proximaLinha(linha));
    Estudantes e;
    std::string lido = Estudantes::leBloco(linha.substr(6), leitor, e)
                           ? std::to_string(e.getNumAluno()) + " " + e.getNome() + ":" : "falhou";
    for (const UC& uc : e.getListaUCs()) lido += " " + std::to_string(uc.getCodigo());
    EXPECT_EQ(lido, caso.lido);
    EXPECT_EQ(leitor.proximaLinha(linha) ? std::string(linha) : "<fim>", caso.resto);
    EXPECT_EQ(c.saida(), caso.saida);
  }
}

// Full report (passed units, totals, average, share of the 180 ECTS), one-unit report, saving.
TEST(Estudantes, Relatorios) {
  Captura c;
  Estudantes e = estudante("Ana Sousa", {u1, u2, u3, u4});
  e.imprimeInfoEstudante();
  e.imprimeInfoEstudante(21071);
  e.imprimeInfoEstudante(99999);
  estudante("", {unidade(0, "15"), unidade(6, "9")}).imprimeMedia();
  estudante("", {unidade(120, "10"), unidade(60, "20")}).imprimePercentagemCurso();
  estudante("", {unidade(120, "10"), unidade(66, "20")}).imprimePercentagemCurso();
  const std::string uma = "ALUNO: Ana Sousa\n\n" + topo, banner = "\t\t" + std::string(48, '#');
  EXPECT_EQ(c.saida(),
            "ALUNO: Ana Sousa\nUnidades curriculares onde obteve aprovação\n\n" + topo +
                fila("Álgebra Linear I|6|Ex.Final|-|-|-|14.00|-|14") +
                fila("BD|12|Contínua|1.50|1.00|0.00|8.50|-|16") + regua +
                "\nTotal de UC: 2\n\nTotal de ECTS: 18\n\nMédia: 15.333\n"
                "\nCompletou 10.0% dos ECTS do Curso \n" + uma + fila("Sistemas|6|-|-|-|-|-|-|-") +
                uma + "\nMédia: -\n\nCompletou 100.0% dos ECTS do Curso \n\n" + banner +
                "\n\t\t########## PARABENS COMPLETOU O CURSO ##########\n" + banner +
                "\n\nCompletou 103.3% dos ECTS do Curso \n");
  std::string texto;
  e.gravaFicheiroEstudanteUC(texto);
  EXPECT_EQ(texto, grava(le(u1)) + grava(le(u2)) + grava(le(u3)) + grava(le(u4)));
}

// A new student from the console: number refused when taken or 0, name from a fresh line.
TEST(Estudantes, NovoNaConsola) {
  const std::vector<UC> curso = {le(u4), le(u1)};
  std::vector<Estudantes> existentes(1);
  existentes[0].setNumAluno(1001);
  Captura c("1001\n0\n-5 lixo\nNome Novo\n8\n\nDepois\n");
  Estudantes e(curso, existentes);
  EXPECT_EQ(c.saida(),
            "\nInsira o número de Aluno do Estudante\n"
            "Já Existe um aluno com esse número de Aluno, por favor insira um número diferente\n"
            "ERRO: O número 0 não pode ser usado como número de Aluno, por favor insira um "
            "número diferente\n\nInsira o Nome do Estudante\n");
  EXPECT_EQ(std::to_string(e.getNumAluno()) + " " + e.getNome(), "-5 Nome Novo");
  EXPECT_EQ(grava(e.getListaUCs()[1]), grava(curso[1]));
  EXPECT_EQ(Estudantes(curso, existentes).getNome(), "");
  EXPECT_EQ(c.restoEntrada(), "Depois\n");
}
