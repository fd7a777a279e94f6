// The grading rules on their own: field ranges at their bounds, admission,
// the weights totalling 8, and the final grade with its decision.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "Cp1252.h"
#include "FormatoDados.h"
#include "Regras.h"
#include "UC.h"

namespace {

// A record read from the assessment part of a unit line ("1;A;80;3;...").
UC registo(const std::string& avaliacao) {
  UC uc;
  std::ostringstream avisos;
  EXPECT_TRUE(formato::leUnidade("1;U;1;1;6;AVALIACAO;" + avaliacao, uc, avisos)) << avaliacao;
  return uc;
}

using regras::Campo;

}  // namespace

TEST(Regras, LimitesDeCadaCampo) {
  const struct {
    Campo campo;
    float maximo;
  } campos[] = {{Campo::notaEfolio, 100},   {Campo::pesoEfolio, 8},  {Campo::pfolio, 12},
                {Campo::pfolioRecurso, 12}, {Campo::exameFinal, 20}, {Campo::exameRecurso, 20}};
  for (const auto& c : campos) {
    SCOPED_TRACE(c.maximo);
    EXPECT_EQ(regras::maximo(c.campo), c.maximo);
    EXPECT_TRUE(regras::valorValido(c.campo, 0));
    EXPECT_TRUE(regras::valorValido(c.campo, c.maximo));
    EXPECT_FALSE(regras::valorValido(c.campo, c.maximo + 0.01f));
    EXPECT_FALSE(regras::valorValido(c.campo, -0.01f));
    // Only an e-folio grade takes -1, meaning no e-folio.
    EXPECT_EQ(regras::valorValido(c.campo, -1), c.campo == Campo::notaEfolio);
  }
  EXPECT_FALSE(regras::numeroAlunoValido(0));
  EXPECT_TRUE(regras::numeroAlunoValido(-5));
  EXPECT_TRUE(regras::opcaoValida(0) && regras::opcaoValida(1));
  EXPECT_FALSE(regras::opcaoValida(-1) || regras::opcaoValida(2));
  EXPECT_FALSE(regras::abaixoMinimoPfolio(5.5f));
  EXPECT_TRUE(regras::abaixoMinimoPfolio(5.49f));
}

// The total is tested first; exactly 3.5 and exactly two graded e-folios admit.
TEST(Regras, AdmissaoAoPfolio) {
  using regras::Admissao;
  EXPECT_EQ(regras::admissaoPfolio(3.5f, 2), Admissao::admitido);
  EXPECT_EQ(regras::admissaoPfolio(3.49f, 1), Admissao::totalInsuficiente);
  EXPECT_EQ(regras::admissaoPfolio(8, 1), Admissao::poucosEfolios);
  EXPECT_TRUE(regras::admitidoPfolio(registo("1;A;50;3;B;50;4;C;-;-;F;-;R;-;N;-")));
  EXPECT_FALSE(regras::admitidoPfolio(registo("1;A;40;3;B;50;4;C;-;-;F;-;R;-;N;-")));
  // The resit goes to the p-folio resit only for an admitted continuous record.
  EXPECT_EQ(regras::campoRecurso(registo("1;A;50;4;B;50;4;C;-;-;F;-;R;-;N;-")),
            Campo::pfolioRecurso);
  EXPECT_EQ(regras::campoRecurso(registo("1;A;100;8;B;-;-;C;-;-;F;-;R;-;N;-")),
            Campo::exameRecurso);
  EXPECT_EQ(regras::campoRecurso(registo("0;F;-;R;-;N;-")), Campo::exameRecurso);
  // The p-folio or exam grade goes by the option alone; admission is asked apart.
  EXPECT_EQ(regras::campoProva(registo("1;A;100;8;B;-;-;C;-;-;F;-;R;-;N;-")), Campo::pfolio);
  EXPECT_EQ(regras::campoProva(registo("0;F;-;R;-;N;-")), Campo::exameFinal);
  EXPECT_FALSE(regras::campoProva(registo("5;F;-;R;-;N;-")).has_value());
}

// The pass mark on truncated grades, the improvement it decides, and the
// passed students' average, which is no number when none passed.
TEST(Regras, AprovacaoMelhoriaEMedia) {
  EXPECT_TRUE(regras::aprovada(10));
  EXPECT_FALSE(regras::aprovada(9));
  using regras::Decisao;
  EXPECT_EQ(regras::decideNotaFinal(10, 10.5f).decisao, Decisao::melhoria);
  // The same grade again is no improvement, nor is it kept from being stored.
  const regras::NotaFinal igual = regras::decideNotaFinal(12, 12);
  EXPECT_EQ(igual.decisao, Decisao::atualizada);
  EXPECT_TRUE(igual.guarda);
  EXPECT_EQ(regras::decideNotaFinal(9, 12).decisao, Decisao::atualizada);
  const regras::NotaFinal menor = regras::decideNotaFinal(12, 11.4f);
  EXPECT_EQ(menor.decisao, Decisao::naoAtualizada);
  EXPECT_FALSE(menor.guarda);
  const regras::NotaFinal primeira = regras::decideNotaFinal(-1, 9.5f);
  EXPECT_TRUE(primeira.guarda);
  EXPECT_EQ(primeira.nota, 10);
  EXPECT_EQ(regras::mediaAprovados(31, 2), 15.5f);
  EXPECT_TRUE(std::isnan(regras::mediaAprovados(0, 0)));
}

// Every one-decimal triple that adds up to 8 is accepted, whatever single
// precision makes of its sum; a total off by 0.0001 or more is not.
TEST(Regras, PesosTotalizamOito) {
  int recusados = 0;
  for (int a = 0; a <= 80; ++a) {
    for (int b = 0; a + b <= 80; ++b) {
      const std::string texto = "1;A;50;" + std::to_string(a / 10.0) + ";B;50;" +
                                std::to_string(b / 10.0) + ";C;50;" +
                                std::to_string((80 - a - b) / 10.0) + ";F;-;R;-;N;-";
      recusados += !regras::pesosTotalizamOito(regras::totalPesos(registo(texto).eFolios));
    }
  }
  EXPECT_EQ(recusados, 0);
  EXPECT_TRUE(regras::pesosTotalizamOito(8.00009f));
  EXPECT_FALSE(regras::pesosTotalizamOito(7.9998f));
  EXPECT_FALSE(regras::pesosTotalizamOito(8.0002f));
  // A weight of -1 counts as 0; a grade without weight is not the point here.
  const UC r = registo("1;A;-1;3;B;50;-1;C;50;5;F;-;R;-;N;-");
  EXPECT_EQ(regras::pesosContados(r.eFolios), (std::vector<float>{3, 0, 5}));
  EXPECT_TRUE(regras::pesosTotalizamOito(regras::totalPesos(r.eFolios)));
}

// The dialogue's e-folio check applies the same tolerance.
TEST(Regras, VerificacaoDoDialogoComTolerancia) {
  std::ostringstream saida;
  const UC r = registo("1;A;50;1.8;B;50;3.1;C;50;3.1;F;-;R;-;N;-");
  EXPECT_EQ(r.validaDadosEfolios(saida), 1);
  EXPECT_EQ(saida.str(), TXT("Valores dos eFolios são Válidos\n"));
}

// Only graded e-folios count: weights above 8 (beyond the check's tolerance)
// leave the final grade uncomputed, in continuous assessment only.
TEST(Regras, PesosAvaliadosAcimaDeOito) {
  const struct {
    const char* avaliacao;
    float pesos;
    bool excedidos;
  } casos[] = {
      {"1;A;100;3;B;100;3;C;100;3;F;12;R;-;N;-", 9, true},
      {"1;A;100;3;B;100;3;C;-1;3;F;12;R;-;N;-", 6, false},   // C has no grade
      {"1;A;100;3;B;100;-1;C;100;6;F;12;R;-;N;-", 9, true},  // a weight of -1 is 0
      {"1;A;50;3;B;50;3;C;50;2.0001;F;12;R;-;N;-", 8.0001f, false},
      {"1;A;50;3;B;50;3;C;50;2.0002;F;12;R;-;N;-", 8.0002f, true},
      {"0;A;100;5;B;100;5;C;100;5;F;12;R;-;N;-", 0, false},  // no e-folios in an exam
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.avaliacao);
    const UC uc = registo(caso.avaliacao);
    EXPECT_FLOAT_EQ(regras::pesosAvaliados(uc.eFolios), caso.pesos);
    EXPECT_EQ(regras::pesosExcedidos(uc), caso.excedidos);
    const regras::NotaFinal nova = regras::novaNotaFinal(uc, 14);
    EXPECT_EQ(nova.decisao == regras::Decisao::pesosExcedidos, caso.excedidos);
    if (caso.excedidos) {
      EXPECT_FALSE(nova.guarda);
    }
  }
}

// Values outside their ranges (a resit exam kept once the record is admitted, a p-folio edited
// into the file) never give a final grade above 20: none is computed, by either rule.
TEST(Regras, NotaFinalNuncaAcimaDeVinte) {
  const struct {
    const char* avaliacao;
    float calculada;
  } casos[] = {
      {"1;A;100;3;B;100;3;C;100;2;F;-1;R;15;N;15", 23},
      {"1;A;100;3;B;100;3;C;100;2;F;15;R;-1;N;-1", 23},
      {"1;A;100;3;B;100;3;C;100;2;F;12;R;-1;N;-1", 20},  // the highest grade there is
      {"0;F;21;R;-1;N;-1", 21},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.avaliacao);
    const UC uc = registo(caso.avaliacao);
    EXPECT_FLOAT_EQ(regras::notaCalculada(uc), caso.calculada);
    const bool acima = caso.calculada > 20;
    for (const regras::NotaFinal& nova :
         {regras::novaNotaFinal(uc, uc.getNota()), regras::notaFinalCorrigida(uc)}) {
      EXPECT_EQ(nova.decisao == regras::Decisao::acimaDeVinte, acima);
      EXPECT_EQ(nova.guarda, !acima);
    }
  }
}

// A corrected record's final grade is the dialogue's formula on its values, whatever the stored
// grade: lower grades are kept, and a record that gives none has -1.
TEST(Regras, NotaFinalCorrigida) {
  const struct {
    const char* avaliacao;
    float nota;
  } casos[] = {
      {"1;A;80;3;B;70;3;C;50;2;F;8.5;R;-;N;20", 14},   // 5.5 + 8.5
      {"1;A;80;3;B;70;3;C;50;2;F;5;R;-;N;16", 0},      // a p-folio below 5.5 counts for nothing
      {"1;A;80;3;B;70;3;C;50;2;F;-;R;-;N;16", 6},      // in assessment: the e-folios alone
      {"0;F;9.5;R;-;N;-", 10},                         // halves away from zero
      {"0;F;-;R;-;N;14", -1},                          // an exam never sat
      {"-1;F;-;R;-;N;12", -1},                         // no option
      {"1;A;-1;-1;B;-1;-1;C;-1;-1;F;-;R;-;N;10", -1},  // not admitted, no resit
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.avaliacao);
    const UC uc = registo(caso.avaliacao);
    const regras::NotaFinal nova = regras::notaFinalCorrigida(uc);
    EXPECT_TRUE(nova.guarda);
    EXPECT_EQ(nova.nota, caso.nota);
    // The same formula as the dialogue's for a record without a grade yet.
    if (regras::opcaoValida(uc.getOpcaoAvaliacao())) {
      EXPECT_EQ(nova.nota, regras::novaNotaFinal(uc, -1).nota);
    }
  }
  const regras::NotaFinal excedidos =
      regras::notaFinalCorrigida(registo("1;A;100;3;B;100;3;C;100;3;F;12;R;-;N;15"));
  EXPECT_EQ(excedidos.decisao, regras::Decisao::pesosExcedidos);
  EXPECT_FALSE(excedidos.guarda);
}

// A record holds grades when anything but its option and weights has a value; its e-folios are
// as a record starts when none has a grade or a weight.
TEST(Regras, RegistoComNotasESemEfolios) {
  const UC soPesos = registo("1;A;-1;3;B;-1;-1;C;-1;-1;F;-;R;-;N;-");
  EXPECT_FALSE(regras::temNotas(soPesos, -1));
  EXPECT_TRUE(regras::temNotas(soPesos, 0));
  EXPECT_TRUE(regras::temNotas(registo("0;F;0;R;-;N;-"), -1));
  EXPECT_TRUE(regras::temNotas(registo("0;F;-;R;0;N;-"), -1));
  EXPECT_TRUE(regras::temNotas(registo("1;A;-1;-1;B;0;3;C;-1;-1;F;-;R;-;N;-"), -1));
  EXPECT_FALSE(regras::semEfolios(soPesos.eFolios));
  EXPECT_TRUE(regras::semEfolios(registo("1;A;-1;-1;B;-1;-1;C;-1;-1;F;9;R;-;N;-").eFolios));
}
