// The menus of the student part of the dialogue and the two texts of the
// student choice. It only prints, on the stream it is given; the caller
// reads and acts on the answer.
#ifndef PAUTA_EMENU_H
#define PAUTA_EMENU_H

#include <iosfwd>
#include <string>

#include "Cmenu.h"

class Emenu : public Cmenu {
 public:
  Emenu();
  ~Emenu() override;

  // The main menu "#### Menu Estudantes ####" and the closing lines.
  void imprimeOpcoesGerais(std::ostream& saida) const;
  // The grade-entry menu and the closing lines.
  void imprimeOpcoesInserirNota(std::ostream& saida) const;
  // The e-folio menu (after one line end, not two) and the closing lines.
  void imprimeOpcoesEfolio(std::ostream& saida) const;
  // The closing lines alone: an empty line, the request for an option, an
  // empty line.
  void imprimeIntroduzaOpcao(std::ostream& saida) const;
  // The prompt for a student number.
  void imprimeEscolhaAluno(std::ostream& saida) const;
  // The message for a number that no student has.
  void imprimeNumAlunoInvalido(std::ostream& saida) const;

  const int larguraOpcao;
  const int larguraTexto;

 private:
  void imprimeTitulo(std::ostream& saida, const std::string& titulo) const;
  void imprimeOpcao(std::ostream& saida, const std::string& numero, const std::string& texto) const;
};

#endif
