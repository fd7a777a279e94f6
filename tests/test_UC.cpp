#include <gtest/gtest.h>

#include <climits>
#include <iomanip>
#include <iostream>
#include <string>

#include "Captura.h"
#include "UC.h"

namespace {

UC le(const std::string& linha) {
  UC uc;
  EXPECT_TRUE(UC::interpreta(linha, uc)) << linha;
  return uc;
}

// Left-aligned cell filled with blanks to `largura`.
std::string cel(const std::string& texto, size_t largura) {
  return texto.size() >= largura ? texto : texto + std::string(largura - texto.size(), ' ');
}

void esperaEfolios(const UC& uc, const std::string& esperado) {
  std::string texto;
  for (const Efolio& e : uc.getCopiaeFolios()) {
    texto += e.getLetra();
    texto += ":" + std::to_string(e.getNota()) + "/" + std::to_string(e.getPeso()) + " ";
  }
  EXPECT_EQ(texto, esperado);
}

const std::string ausentes = "A:-1.000000/-1.000000 B:-1.000000/-1.000000 C:-1.000000/-1.000000 ";
const std::string incompativel =
    "Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 para Exame Final ou "
    "1 para Avaliação Contínua\n";

// A record with these values and the final grade computed from them.
struct Final {
  int nota;
  std::string mensagens;
};
Final calcula(const std::string& avaliacao, const std::string& notaAtual) {
  Captura c;
  UC uc = le("1;U;1;1;6;AVALIACAO;" + avaliacao + ";N;" + notaAtual);
  uc.atualizaNotaFinal();
  return {uc.getNota(), c.saida()};
}

const std::string exame = "0;A;-1;-1;B;-1;-1;C;-1;-1;F;";
// E-folio total 4.0 from two graded e-folios.
const std::string quatro = "1;A;50;4;B;50;4;C;-1;-1;F;";
const std::string naoAtualizada = "\nNota final não atualizada\n\n\n";
const std::string melhoria =
    "\nATENÇÂO: A nova nota é superior a nota existente, trata-se de uma melhoria de nota?\n"
    "A Atualizar Nota ...\n\n\n";

}  // namespace

TEST(UC, RegistoDoFicheiroDeUnidades) {
  for (const std::string linha : {"1001;Unidade X;1;2;6", "1001;Unidade X;1;2;6;",
                                  "1001;Unidade X;1;2;6;AVALIACAO;-;F;-;R;-;N;-"}) {
    UC uc = le(linha);
    EXPECT_EQ(uc.getCodigo(), 1001) << linha;
    EXPECT_EQ(uc.getNome(), "Unidade X");
    EXPECT_EQ(uc.getAno(), 1);
    EXPECT_EQ(uc.getsemestre(), 2);
    EXPECT_EQ(uc.getEcts(), 6);
    EXPECT_EQ(uc.getAlunosAprovados(), 0);
    EXPECT_EQ(uc.getSomaNotas(), 0);
    EXPECT_EQ(uc.getOpcaoAvaliacao(), -1);
    esperaEfolios(uc, ausentes);
    EXPECT_EQ(uc.getProvaFinal(), -1);
    EXPECT_EQ(uc.getProvaRecurso(), -1);
    EXPECT_EQ(uc.getNota(), -1);
  }
  Captura c;
  le("1001;Unidade X;1;2;6").imprimeInfoUC(1);
  EXPECT_EQ(c.saida(), cel("", 8) + cel("Unidade X", 50) + cel("6", 10) + cel("-", 18) +
                           cel("-", 10) + cel("-", 10) + cel("-", 10) + cel("-", 12) +
                           cel("-", 12) + cel("-", 10) + "\n");
}

TEST(UC, RegistoDoFicheiroDeEstudantes) {
  UC uc = le("1001;Unidade X;1;2;6;AVALIACAO;1;A;80;3;B;87.5;2.5;C;-;-;F;8.5;R;-1;N;15");
  EXPECT_EQ(uc.getOpcaoAvaliacao(), 1);
  esperaEfolios(uc, "A:80.000000/3.000000 B:87.500000/2.500000 C:-1.000000/-1.000000 ");
  EXPECT_EQ(uc.getProvaFinal(), 8.5f);
  EXPECT_EQ(uc.getProvaRecurso(), -1);
  EXPECT_EQ(uc.getNota(), 15);

  // Options 0 and -1 ignore whatever e-folio values the line holds.
  uc = le("1;U;1;1;6;AVALIACAO;0;A;80;3;B;70;3;C;50;2;F;14;R;16;N;16");
  EXPECT_EQ(uc.getOpcaoAvaliacao(), 0);
  esperaEfolios(uc, ausentes);
  EXPECT_EQ(uc.getProvaFinal(), 14);
  EXPECT_EQ(uc.getProvaRecurso(), 16);
  EXPECT_EQ(uc.getNota(), 16);
  uc = le("1;U;1;1;6;AVALIACAO;-1;A;80;3;B;70;3;C;50;2;F;-;R;-;N;-");
  EXPECT_EQ(uc.getOpcaoAvaliacao(), -1);
  esperaEfolios(uc, ausentes);
  EXPECT_EQ(uc.getProvaFinal(), -1);
  EXPECT_EQ(uc.getNota(), -1);
  // A parsed unit starts with zero statistics, whatever it held before.
  uc.setAlunoAprovado();
  uc.setSomaNotas(12);
  ASSERT_TRUE(UC::interpreta("1;U;1;1;6", uc));
  EXPECT_EQ(uc.getAlunosAprovados(), 0);
  EXPECT_EQ(uc.getSomaNotas(), 0);
}

TEST(UC, OpcaoIncompativelGuardaTudo) {
  Captura c;
  UC uc = le("7;U;1;1;6;AVALIACAO;2;A;80;3;B;70;3;C;50;2;F;8.5;R;9;N;15");
  EXPECT_EQ(c.saida(), incompativel);
  EXPECT_EQ(uc.getOpcaoAvaliacao(), 2);
  esperaEfolios(uc, "A:80.000000/3.000000 B:70.000000/3.000000 C:50.000000/2.000000 ");
  EXPECT_EQ(uc.getProvaFinal(), 8.5f);
  EXPECT_EQ(uc.getProvaRecurso(), 9);
  EXPECT_EQ(uc.getNota(), 15);
  std::string texto;
  uc.gravaFicheiroEstudanteUC(texto);
  EXPECT_EQ(texto, "7;U;1;1;6;AVALIACAO;2;A;80;3;B;70;3;C;50;2;F;8.5;R;9;N;15\r\n");

  // Without the e-folio groups: three absent e-folios, the grades still read.
  uc = le("7;U;1;1;6;AVALIACAO;5;F;8.5;R;9;N;15");
  EXPECT_EQ(uc.getOpcaoAvaliacao(), 5);
  esperaEfolios(uc, ausentes);
  EXPECT_EQ(uc.getProvaFinal(), 8.5f);
  EXPECT_EQ(uc.getNota(), 15);
}

TEST(UC, RegistosIlegiveis) {
  Captura c;
  UC uc;
  for (const std::string linha : {
           "abc;Nome;1;1;6",
           "1001;Nome;1;1",
           "",
           "99999999999;Nome;1;1;6",
           "1001;Nome;1;x;6",
           "1;U;1;1;6;AVALIACAO;1;A;80;3;C;50;2;F;8.5;R;-1;N;15",
           "1;U;1;1;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;N;15",
           "1;U;1;1;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;R;-1;N;15",
           "1;U;1;1;6;AVALIACAO;0;F;abc;R;-1;N;15",
           "1;U;1;1;6;AVALIACAO;0;F;1;R;-1;N;abc",
           "1;U;1;1;6;AVALIACAO;1;A;x;3;B;70;3;C;50;2;F;8.5;R;-1;N;15",
           "1;U;1;1;6;AVALIACAO;abc;F;1;R;-1;N;15",
           "1;U;1;1;6;AVALIACAO;0;F;1e99;R;-1;N;15",
       }) {
    EXPECT_FALSE(UC::interpreta(linha, uc)) << linha;
  }
  EXPECT_EQ(c.saida(), "");
}

TEST(UC, NotaFinalExameERecurso) {
  EXPECT_EQ(calcula(exame + "8;R;12", "-1").nota, 12);
  EXPECT_EQ(calcula(exame + "14;R;10", "-1").nota, 14);
  EXPECT_EQ(calcula(exame + "9.5;R;-1", "-1").nota, 10);
  EXPECT_EQ(calcula(exame + "12.5;R;-1", "-1").nota, 13);
  EXPECT_EQ(calcula(exame + "-1;R;-1", "-1").nota, -1);
  // Option not chosen: the computed grade is 0.
  EXPECT_EQ(calcula("-1;F;14;R;-1", "-1").nota, 0);
}

TEST(UC, NotaFinalAvaliacaoContinua) {
  EXPECT_EQ(calcula(quatro + "6;R;-1", "-1").nota, 10);
  EXPECT_EQ(calcula(quatro + "5.4;R;-1", "-1").nota, 0);
  EXPECT_EQ(calcula(quatro + "5.4;R;7", "-1").nota, 11);
  EXPECT_EQ(calcula(quatro + "6;R;5", "-1").nota, 10);
  EXPECT_EQ(calcula(quatro + "6;R;8", "-1").nota, 12);
  EXPECT_EQ(calcula(quatro + "5.4;R;5.5", "-1").nota, 10);
  EXPECT_EQ(calcula(quatro + "-1;R;-1", "-1").nota, 4);
  // Not admitted (total 3.4, or one graded e-folio): the resit exam alone.
  const std::string tresQuatro = "1;A;40;5;B;35;4;C;-1;-1;F;";
  EXPECT_EQ(calcula(tresQuatro + "10;R;12", "-1").nota, 12);
  EXPECT_EQ(calcula(tresQuatro + "10;R;-1", "-1").nota, -1);
  EXPECT_EQ(calcula("1;A;100;8;B;-1;-1;C;-1;-1;F;10;R;15", "-1").nota, 15);
  // Exactly at both minimums: 3.5 + 5.5.
  EXPECT_EQ(calcula("1;A;50;3;B;50;4;C;-1;-1;F;5.5;R;-1", "-1").nota, 9);
}

TEST(UC, NotaFinalFaceANotaExistente) {
  const struct {
    std::string avaliacao, atual;
    int nota;
    std::string mensagens;
  } casos[] = {
      {exame + "14.2;R;-1", "12", 14, melhoria},
      {exame + "12.4;R;-1", "12", 12, melhoria},
      {exame + "11.6;R;-1", "12", 12, naoAtualizada},
      {exame + "5;R;-1", "8", 8, naoAtualizada},
      {exame + "9.5;R;-1", "8", 10, "\n\n"},
      // The current grade compares truncated: 9.7 is 9, not yet passed.
      {exame + "9.6;R;-1", "9.7", 10, "\n\n"},
      {exame + "-1;R;-1", "-1", -1, "\n\n"},
      {quatro + "5.4;R;-1", "-1", 0, "\n\n"},
  };
  for (const auto& caso : casos) {
    Final f = calcula(caso.avaliacao, caso.atual);
    EXPECT_EQ(f.nota, caso.nota) << caso.avaliacao << " / " << caso.atual;
    EXPECT_EQ(f.mensagens, caso.mensagens) << caso.avaliacao << " / " << caso.atual;
  }
}

TEST(UC, LinhaDoRelatorio) {
  const std::string linhaUC =
      "1001;Unidade X;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;";
  const std::string esperado = cel("", 8) + cel("Unidade X", 50) + cel("6", 10) +
                               cel("Contínua", 18) + cel("2.40", 10) + cel("2.10", 10) +
                               cel("1.00", 10) + cel("8.50", 12) + cel("-", 12);
  Captura c;
  le(linhaUC + "9.9").imprimeInfoUC();
  EXPECT_EQ(c.saida(), "");
  // Grade texts keep their own format after a report set fixed notation.
  std::cout << std::fixed << std::setprecision(1);
  le(linhaUC + "10").imprimeInfoUC();
  EXPECT_EQ(c.saida(), esperado + cel("10", 10) + "\n");

  Captura c2;
  le("3;Exame;1;1;5;AVALIACAO;0;F;14;R;9.25;N;9.9").imprimeInfoUC(1);
  le("4;Estranha;1;1;5;AVALIACAO;2;F;-1;R;-1;N;-1").imprimeInfoUC(1);
  EXPECT_EQ(c2.saida(), cel("", 8) + cel("Exame", 50) + cel("5", 10) + cel("Ex.Final", 18) +
                            cel("-", 10) + cel("-", 10) + cel("-", 10) + cel("14.00", 12) +
                            cel("9.25", 12) + cel("9", 10) + "\n" + incompativel + cel("", 8) +
                            cel("Estranha", 50) + cel("5", 10) + cel("", 18) + cel("-", 10) +
                            cel("-", 10) + cel("-", 10) + cel("-", 12) + cel("-", 12) +
                            cel("-", 10) + "\n");
}

TEST(UC, LinhaDaListaDeUnidades) {
  Captura c;
  const std::string nomeLongo(52, 'n');
  UC uc = le("-7;" + nomeLongo + ";1;1;6");
  uc.imprimeUCcodigoNome();
  le("21002;Álgebra Linear I;1;1;6").imprimeUCcodigoNome();
  EXPECT_EQ(c.saida(), cel("", 8) + cel("-7", 15) + nomeLongo + "\n" + cel("", 8) +
                           cel("21002", 15) + cel("Álgebra Linear I", 50) + "\n");
}

TEST(UC, Estatisticas) {
  Captura c;
  UC uc = le("21002;Álgebra Linear I;1;1;6");
  uc.imprimeInfoUCcurso();
  uc.setAlunoAprovado();
  uc.setAlunoAprovado();
  uc.setSomaNotas(12);
  uc.setSomaNotas(15);
  EXPECT_EQ(uc.getAlunosAprovados(), 2);
  EXPECT_EQ(uc.getSomaNotas(), 27);
  uc.imprimeInfoUCcurso();
  EXPECT_EQ(c.saida(),
            "\nUNIDADE CURRICULAR: Álgebra Linear I\nTotal de Alunos Aprovados: 0\n"
            "Não existem alunos aprovados, logo não é possivel calcular a média\n"
            "\nUNIDADE CURRICULAR: Álgebra Linear I\nTotal de Alunos Aprovados: 2\n"
            "Média: 13.500\n");
  // The average leaves the console in fixed notation with 3 decimals.
  EXPECT_EQ(std::cout.flags() & std::ios_base::floatfield, std::ios_base::fixed);
  EXPECT_EQ(std::cout.precision(), 3);
  uc.limpaEstatisticas();
  EXPECT_EQ(uc.getAlunosAprovados(), 0);
  EXPECT_EQ(uc.getSomaNotas(), 0);
}

TEST(UC, NotaTruncadaSatura) {
  UC uc;
  uc.setNota(13.7f);
  EXPECT_EQ(uc.getNota(), 13);
  uc.setNota(-1);
  EXPECT_EQ(uc.getNota(), -1);
  uc.setNota(1e20f);
  EXPECT_EQ(uc.getNota(), INT_MAX);
  uc.setNota(-1e20f);
  EXPECT_EQ(uc.getNota(), INT_MIN);
  EXPECT_EQ(le("1;U;1;1;6;AVALIACAO;0;F;1;R;-1;N;3e9").getNota(), INT_MAX);
}
