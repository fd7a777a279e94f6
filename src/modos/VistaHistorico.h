// The --historico mode: a course's history of saved changes shown as a
// table (or a CSV for spreadsheets) with the lines of one student, one unit
// or from one day on, and the check of the whole history.
#ifndef PAUTA_VISTAHISTORICO_H
#define PAUTA_VISTAHISTORICO_H

#include <string>
#include <string_view>

// What was asked for: the lines of course nCurso that match every filter
// given, or the check of its history.
struct PedidoHistorico {
  int nCurso = 0;
  bool verificar = false;
  bool csv = false;
  bool porAluno = false;
  long long aluno = 0;
  bool porUc = false;
  long long uc = 0;
  std::string desde;  // "AAAA-MM-DD", or empty for every date
};

// Whether `texto` is a date "AAAA-MM-DD" (month 1..12, day 1..31).
bool eDataFiltro(std::string_view texto);

// Shows the selected lines on standard output, oldest first: a table with
// aligned columns (none shown as "-", an option by its name), or with `csv`
// the CSV of the export's conventions (values as the history holds them).
// A course without a history says "O curso CODE ainda não tem histórico";
// one whose lines all fall outside the filters says "Nenhuma alteração
// corresponde ao pedido" on standard error. Lines that cannot be read are
// named on standard error and left out. A course without its unit file is
// an error: "ERRO: O curso CODE não existe nesta pasta (falta CODE-UC.txt)".
// With `verificar`, checks the first line and the chain of every line:
// "Histórico de CODE: N linhas verificadas", or an "ERRO:" line on standard
// error naming the first line that breaks it. Answers the exit status.
int executaHistorico(const PedidoHistorico& pedido);

#endif
