// A student of the loaded course: number, name and, by value, the units he
// takes with his assessment in each. Grade operations reach a unit by code;
// the student also computes his totals, prints his report and writes his
// unit lines to the student file.
#ifndef PAUTA_ESTUDANTES_H
#define PAUTA_ESTUDANTES_H

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "ConsolaES.h"
#include "Regras.h"
#include "UC.h"

// The course's total of ECTS credits, which a student's share is measured
// against: its course record's, or regras::totalEctsPorOmissao.
struct TotalEctsCurso {
  int ects = regras::totalEctsPorOmissao;
};

class Estudantes {
 public:
  // Empty name, no units.
  Estudantes();
  virtual ~Estudantes();
  // Moves, suppressed by the declared destructor, hand over the units
  // instead of copying every one of them.
  Estudantes(const Estudantes&) = default;
  Estudantes(Estudantes&&) = default;
  Estudantes& operator=(const Estudantes&) = default;
  Estudantes& operator=(Estudantes&&) = default;

  // A new student asked for on `consola`: a number that is neither 0 nor
  // used by a student of `listaEstComp`, then the name; he takes a copy of
  // every unit of `listaUCsCurso`. FimEntrada passes through.
  static Estudantes pedeNovoEstudante(const Consola& consola, const std::vector<UC>& listaUCsCurso,
                                      const std::vector<Estudantes>& listaEstComp);

  int getNumAluno() const { return numAluno; }
  void setNumAluno(int n) { numAluno = n; }
  std::string getNome() const { return nome; }
  // The name without a copy (a long name is handed out as it is held).
  const std::string& nomeSemCopia() const { return nome; }
  const std::string& nomeAluno() const { return nome; }
  void setNome(std::string n) { nome = std::move(n); }
  void setMediaAluno(float m) { mediaAluno = m; }
  const std::vector<UC>& getListaUCs() const { return listaUCs; }
  size_t numeroUCs() const { return listaUCs.size(); }
  void adicionaUC(const UC& uc) { listaUCs.push_back(uc); }
  // His units, to be filled in place (the reading of the student file).
  std::vector<UC>& alteraListaUCs() { return listaUCs; }
  // Replaces his unit at `posicao` (an index into getListaUCs()).
  void setUC(size_t posicao, UC uc) { listaUCs[posicao] = std::move(uc); }
  // Removes his unit at `posicao` (an index into getListaUCs()); the units
  // after it move up one place.
  void removeUC(size_t posicao) {
    listaUCs.erase(listaUCs.begin() + static_cast<std::ptrdiff_t>(posicao));
  }

  // Per-unit operations: act on every unit whose code is `codigoUC`; do
  // nothing when the student does not take it. The dialogues run on
  // `consola`, the messages go to `saida`.
  void userSetNotaEfolioUC(const Consola& consola, int codigoUC, char letra);
  void userSetNotaProvaFinalUC(const Consola& consola, int codigoUC);
  void userSetExameRecursoUC(const Consola& consola, int codigoUC);
  void userSetOpcaoAvaliacaoUC(const Consola& consola, int codigoUC);
  void atualizaNotaFinalUC(std::ostream& saida, int codigoUC);
  // The option of the first unit with the code, or 2 when he does not take it.
  int checkOpcaoAvaliacaoUC(int codigoUC) const;
  // The e-folio weight check of the units with the code (the last one's
  // verdict). A unit whose option is neither 0 nor 1, or a unit he does not
  // take, answers 1 without printing.
  int validaDadosEfoliosUC(std::ostream& saida, int codigoUC) const;

  // Adds his passed units to the statistics of the course-level units with
  // the same code (`indice`, made by indexaUCs from `listaUCsCurso`, finds
  // them).
  void setAprovados(std::vector<UC>& listaUCsCurso, const IndiceUCs& indice) const;

  // Totals over the passed units.
  int calculaTotalUCs() const;
  long long calculaTotalEcts() const;
  // ECTS-weighted average of the truncated grades; stored in mediaAluno.
  // Not a number when the passed units total 0 ECTS.
  float calculaMedia();
  // The same average without storing it.
  float mediaPonderada() const;
  // Passed ECTS as a percentage of the course's total.
  float calculaPercentagemCurso(TotalEctsCurso curso) const;

  // The printing operations write on `saida`, in its current number format.
  // His row of the table of students.
  void imprimeEstudante(std::ostream& saida) const;
  // The same row appended to `destino`, without the line end.
  void acrescentaLinhaTabela(std::string& destino) const;
  // The full report: passed units and the four totals, the share measured
  // against the course's total. Leaves `saida` in fixed notation with 1
  // decimal.
  void imprimeInfoEstudante(std::ostream& saida, TotalEctsCurso curso);
  // The report restricted to one unit, whatever its grade, without totals.
  void imprimeInfoEstudante(std::ostream& saida, int codigoUC) const;
  void imprimeTotalUCs(std::ostream& saida) const;
  void imprimeTotalEcts(std::ostream& saida) const;
  void imprimeMedia(std::ostream& saida);
  // "Completou X% dos ECTS do Curso", and the banner when he passed them all.
  void imprimePercentagemCurso(std::ostream& saida, TotalEctsCurso curso) const;

 private:
  // The two questions of pedeNovoEstudante.
  static int pedeNumeroAluno(const Consola& consola, const std::vector<Estudantes>& listaEstComp);
  static std::string pedeNomeAluno(const Consola& consola);

  int numAluno;
  std::string nome;
  float mediaAluno;
  std::vector<UC> listaUCs;
};

#endif
