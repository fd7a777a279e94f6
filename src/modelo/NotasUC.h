// The assessment record of one student in one unit: the option chosen
// (continuous assessment or final exam), the three e-folios, the p-folio or
// exam grade and the resit grade, with the console dialogues that change
// them and the checks of their values. Base class of UC.
#ifndef PAUTA_NOTASUC_H
#define PAUTA_NOTASUC_H

#include <iosfwd>
#include <string>
#include <vector>

#include "ConsolaES.h"
#include "Efolio.h"

// Values of opcaoAvaliacao.
const int opcaoNaoEscolhida = -1;
const int opcaoExameFinal = 0;
const int opcaoContinua = 1;

class NotasUC {
 public:
  // Option -1, both grades -1, no e-folios.
  NotasUC();
  virtual ~NotasUC();
  // Declared destructors suppress the implicit moves; restore them so that
  // units move (instead of copying their e-folios) when a vector grows.
  NotasUC(const NotasUC&) = default;
  NotasUC(NotasUC&&) = default;
  NotasUC& operator=(const NotasUC&) = default;
  NotasUC& operator=(NotasUC&&) = default;

  // Appends an absent e-folio (grade -1, weight -1) with that letter.
  void setEfolios(char letra);
  // Appends a copy of `efolio`.
  void setEfolios(const Efolio& efolio);

  int getOpcaoAvaliacao() const { return opcaoAvaliacao; }
  int acessaOpcaoAvaliacao() const { return opcaoAvaliacao; }
  void setOpcaoAvaliacao(int opcao) { opcaoAvaliacao = opcao; }
  float getProvaFinal() const { return provaFinal; }
  float getProvaRecurso() const { return provaRecurso; }
  void setProvaFinal(float nota) { provaFinal = nota; }
  void setProvaRecurso(float nota) { provaRecurso = nota; }

  // A copy of the e-folios, in the order A, B, C.
  std::vector<Efolio> getCopiaeFolios() const { return eFolios; }
  // The e-folio with that letter, or nullptr when the record has none (a
  // record read with an invalid option may hold no e-folios).
  Efolio* procuraEfolio(char letra);
  const Efolio* procuraEfolio(char letra) const;

  // Sum of the contributions of the graded e-folios (grade 0 or more).
  float getNotaTotalEfolios() const;
  // Number of graded e-folios.
  int getNumEfolios() const;
  // Admission to the p-folio and its resit: e-folio total at least 3.5 and
  // at least two graded e-folios.
  bool admitidoPfolio() const;

  // "Ex.Final", "Contínua", "-", or empty for any other option.
  std::string opcaoAvaliacaoToString() const;
  // "-" for -1, else the grade with 2 decimals.
  static std::string getNotaToString(float nota);
  // "-" for -1, else the grade in default notation (14, 9.5).
  static std::string getNotaFinalToString(float nota);

  // Dialogues on `consola`. The option question runs first whenever the
  // option is still -1; each dialogue ends once a value passed its check (or
  // the p-folio was refused). FimEntrada passes through.
  void userSetOpcaoAvaliacao(const Consola& consola);
  void userSetNotaEfolio(const Consola& consola, char letra);
  void userSetNotaProvaFinal(const Consola& consola);
  void userSetNotaExameRecurso(const Consola& consola);

  // Checks of the stored values: print the verdict on `saida`, answer 1
  // valid, 0 not.
  int validaDadosEfolios(std::ostream& saida) const;
  int validaNotaPfolio(std::ostream& saida) const;
  int validaNotaPfolioRecurso(std::ostream& saida) const;
  int validaNotaExameFinal(std::ostream& saida) const;
  int validaNotaRecurso(std::ostream& saida) const;

  std::vector<Efolio> eFolios;

 private:
  void pedeNotaExameFinal(const Consola& consola);
  void pedeNotaPfolio(const Consola& consola);
  bool pedeNotaResitExame(const Consola& consola);
  bool pedeNotaPfolioRecurso(const Consola& consola);
  void explicaExameRecurso(std::ostream& saida) const;

  int opcaoAvaliacao;
  float provaFinal;
  float provaRecurso;
};

#endif
