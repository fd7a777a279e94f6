// Shared by the grading-model tests: units read from record texts, and the
// dialogue and report texts the model prints.
#ifndef PAUTA_TESTES_MODELO_H
#define PAUTA_TESTES_MODELO_H

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "Estudantes.h"

namespace modelo {

inline UC le(const std::string& linha) {
  UC uc;
  EXPECT_TRUE(UC::interpreta(linha, uc)) << linha;
  return uc;
}
const std::string P = "1;U;1;1;6;AVALIACAO;";
inline UC reg(const std::string& avaliacao) { return le(P + avaliacao); }  // a unit "1;U;1;1;6"
// The unit's line in the student file.
inline std::string grava(const UC& uc, std::string t = "") { return uc.gravaFicheiroEstudanteUC(t), t; }

// A report row: margin, then the '|'-separated cells filled with blanks to their widths.
inline std::string fila(const std::string& campos) {
  const size_t w[] = {50, 10, 18, 10, 10, 10, 12, 12, 10};
  std::string s(8, ' '), c;
  std::istringstream in(campos);
  for (size_t i = 0; getline(in, c, '|'); ++i) s += c.append(w[i] - std::min(w[i], c.size()), ' ');
  return s + "\n";
}

const std::string nota = "Insira a Nota em Percentagem do eFolio ";
inline std::string peso(char l) { return std::string("insira o Peso da Nota do Efolio ") + l + ":\n"; }
const std::string erroNota = "\nERRO: Valor de Nota inválido, insira um valor entre 0 e 100, ou -1 "
                             "no caso não haver eFolio ";
inline std::string erro(const std::string& prova, const char* maximo) {
  return "ERRO: A nota do " + prova + " deverá estar entre 0 e " + maximo +
         ", por favor corrija o valor\n";
}
inline std::string ok(const std::string& prova) { return "Nota do " + prova + " inserida é válida\n"; }
inline std::string aviso(const std::string& p) {
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

inline Estudantes estudante(const std::string& nome, std::vector<std::string> linhas) {
  Estudantes e;
  e.setNome(nome);
  for (const std::string& l : linhas) e.adicionaUC(le(l));
  return e;
}
// A unit that only matters for the totals: its ECTS and final grade.
inline std::string unidade(int ects, const std::string& nota) {
  return "1;U;1;1;" + std::to_string(ects) + ";AVALIACAO;0;F;-1;R;-1;N;" + nota;
}

}  // namespace modelo

#endif
