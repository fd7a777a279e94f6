// A curricular unit: its identity (code, name, year, semester, ECTS) and,
// through its NotasUC base, one student's assessment in it with his final
// grade. The course keeps one per unit-file line (then only the identity
// and the pass statistics matter); every student owns one per unit he takes.
#ifndef PAUTA_UC_H
#define PAUTA_UC_H

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "NotasUC.h"
#include "Regras.h"

// Layout of the tables of units and students.
const char separador = ' ';
const int larguraInicial = 8;
const int larguraCodigo = 15;
const int larguraNome = 50;
const int larguraOpcaoAv = 18;
const int larguraEfolio = 10;
const int larguraExame = 12;
const int larguraEcts = 10;
const int larguraNota = 10;
const int larguraFicheiro = 10;
const char linha = '-';
const int larguraLinha = 155;
const int precisaoMedia = 3;
const int precisaoPercentagemCurso = 1;

class UC : public NotasUC {
 public:
  // Empty name, zero statistics, no assessment values.
  UC();
  ~UC() override;
  // Moves, suppressed by the declared destructor, are cheap: a unit owns a
  // name and e-folios on the heap.
  UC(const UC&) = default;
  UC(UC&&) = default;
  UC& operator=(const UC&) = default;
  UC& operator=(UC&&) = default;

  int getCodigo() const { return codigo; }
  std::string getNome() const { return nome; }
  const std::string& nomeUC() const { return nome; }
  int getAno() const { return ano; }
  int getsemestre() const { return semestre; }
  int getEcts() const { return ects; }
  // The final grade truncated toward zero (-1 for none), saturated at the
  // limits of int.
  int getNota() const;
  float notaExata() const { return nota; }
  int getAlunosAprovados() const { return static_cast<int>(somaAlunosAprovados); }
  void setCodigo(int c) { codigo = c; }
  void setNome(std::string n) { nome = std::move(n); }
  void setAno(int a) { ano = a; }
  void setSemestre(int s) { semestre = s; }
  void setEcts(int e) { ects = e; }
  void setNota(float n) { nota = n; }

  // Whether the unit is passed, by its truncated final grade.
  bool aprovado() const { return regras::aprovada(getNota()); }

  // Statistics of a course-level unit: one more student passed; add a grade.
  void setAlunoAprovado() { ++somaAlunosAprovados; }
  void setSomaNotas(float n) { somaNotas += n; }
  // Sets both statistics back to 0 before they are rebuilt.
  void limpaEstatisticas();
  // The average grade of the students passed; not a number when none was.
  float mediaAprovados() const { return regras::mediaAprovados(somaNotas, somaAlunosAprovados); }

  // Computes the final grade from the assessment record and stores the
  // rounded grade when the rule says so; answers the rule's decision (no
  // grade is computed from e-folios that weigh more than 8).
  regras::Decisao recalculaNotaFinal();
  // The same by the correction's rule (regras::notaFinalCorrigida): the
  // grade is stored even when lower, and is -1 when nothing gives one.
  regras::Decisao corrigeNotaFinal();
  // The same, printing the improvement, no-update or weights message on
  // `saida`.
  void atualizaNotaFinal(std::ostream& saida);

  // The printing operations write on `saida`, in its current number format.
  // The unit's row of a student report; imprimeInfoUC(saida) prints it only
  // for a passed unit, imprimeInfoUC(saida, int) always.
  void imprimeInfoUC(std::ostream& saida) const;
  void imprimeInfoUC(std::ostream& saida, int flag) const;
  // The unit's row of the table of units: code and name.
  void imprimeUCcodigoNome(std::ostream& saida) const;
  // The unit's statistics: students passed and their average (leaves
  // `saida` in fixed notation with 3 decimals when there is one).
  void imprimeInfoUCcurso(std::ostream& saida) const;

 private:
  int codigo;
  std::string nome;
  int ano;
  int semestre;
  int ects;
  float nota;
  std::uint32_t somaAlunosAprovados;
  float somaNotas;
};

// The positions of the units of a list by code, in list order (a code may
// repeat), so that a lookup by code does not walk the whole list.
using IndiceUCs = std::unordered_map<int, std::vector<size_t>>;
IndiceUCs indexaUCs(const std::vector<UC>& ucs);

#endif
