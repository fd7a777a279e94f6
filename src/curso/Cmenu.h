// One course of the catalogue (code, name and the unit file it came from),
// with the layout constants of the catalogue table, which the menus share.
#ifndef PAUTA_CMENU_H
#define PAUTA_CMENU_H

#include <iosfwd>
#include <string>

#include "Cp1252.h"

class Cmenu {
 public:
  // Sets the constants; empty name and file name, code 0.
  Cmenu();
  // Builds the entry from the unit file `nomeF`: code and name come from
  // the last course record ("CURSO;code;name") whose code can be read. A
  // file in UTF-8 is converted to CP1252; one in UTF-16 is not read. What
  // the reading has to say about the file's lines goes to `avisos`.
  Cmenu(const std::string& nomeF, std::ostream& avisos);
  Cmenu(const Cmenu&) = default;
  virtual ~Cmenu();

  // True when the file could be read and held a course record with a code;
  // only such entries are listed.
  bool valido() const { return valido_; }
  // Why an entry that is not valid is left out ("não tem a linha
  // CURSO;código;nome", "está em UTF-16", or the platform's reason); empty
  // when the file has gone since the listing.
  const std::string& razaoNaoListado() const { return razao_; }
  // What the file's text turned out to be.
  const cp1252::AnaliseTexto& analise() const { return analise_; }

  // The entry as one row of the catalogue table, on `saida`.
  void imprimeCurso(std::ostream& saida) const;

  int getCodigo() const { return codigo; }
  std::string getNome() const { return nome; }
  std::string getNomeFicheiro() const { return nomeFicheiro; }
  void setCodigo(int c) { codigo = c; }
  void setNome(std::string n) { nome = std::move(n); }
  void setNomeFicheiro(std::string n) { nomeFicheiro = std::move(n); }

  const char separador;
  const int larguraInicial;
  const int larguraCodigo;
  const int larguraNome;
  const char linha;
  const int larguraFicheiro;

 private:
  int codigo;
  std::string nome;
  std::string nomeFicheiro;
  bool valido_;
  std::string razao_;
  cp1252::AnaliseTexto analise_;
};

#endif
