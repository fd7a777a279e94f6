// The menus of the student part of the dialogue and the two texts of the
// student choice. It only prints; the caller reads and acts on the answer.
#ifndef PAUTA_EMENU_H
#define PAUTA_EMENU_H

#include <string>

#include "Cmenu.h"

class Emenu : public Cmenu {
 public:
  Emenu();
  ~Emenu() override;

  // The main menu "#### Menu Estudantes ####" and the closing lines.
  void imprimeOpcoesGerais() const;
  // The grade-entry menu and the closing lines.
  void imprimeOpcoesInserirNota() const;
  // The e-folio menu (after one line end, not two) and the closing lines.
  void imprimeOpcoesEfolio() const;
  // The closing lines alone: an empty line, the request for an option, an
  // empty line.
  void imprimeIntroduzaOpcao() const;
  // The prompt for a student number.
  void imprimeEscolhaAluno() const;
  // The message for a number that no student has.
  void imprimeNumAlunoInvalido() const;

  const int larguraOpcao;
  const int larguraTexto;

 private:
  void imprimeTitulo(const std::string& titulo) const;
  void imprimeOpcao(const std::string& numero, const std::string& texto) const;
};

#endif
