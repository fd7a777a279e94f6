// One e-folio (A, B or C) of a student in a unit: its grade in percent and
// its weight, the points of the 20-point scale that 100 percent is worth.
#ifndef PAUTA_EFOLIO_H
#define PAUTA_EFOLIO_H

#include <string>
#include <string_view>

#include "ConsolaES.h"

class Efolio {
 public:
  // An absent e-folio: grade -1, weight -1.
  explicit Efolio(char letra);
  virtual ~Efolio();

  char getLetra() const { return letra; }
  float getNota() const { return nota; }
  float getPeso() const { return peso; }
  void setLetra(char l) { letra = l; }
  void setNota(float n) { nota = n; }
  void setPeso(float p) { peso = p; }

  // Console dialogue: asks for the grade (0..100, or -1 for none) and, for
  // a grade, the weight (0..8), repeating each question until the value is
  // in range. Ends with both -1 or a grade in range with a weight in range.
  void userSetEfolio(const Consola& consola, char letra);

  // The contribution to the final grade, peso x nota / 100; -1 when absent.
  float calculaNotaFinalEfolio() const;

  // The contribution as a table text with 2 decimals; "-" when absent.
  std::string valorImpressaoNotaEfolio() const;

 private:
  char letra;
  float nota;
  float peso;
};

#endif
