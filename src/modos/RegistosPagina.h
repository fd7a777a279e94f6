// The students' records as the report page carries them: each student's
// units in one short line of text, which the page's own script turns into
// the rows of his table when they are looked at or printed, and the texts
// that many rows share (the units' names, the e-folio cells, the option and
// result words) written once. A course of 20,000 students in 30 units gives
// a page of some 13 MB this way, where one table cell per value gave 86 MB,
// and a browser lays out only the rows that are shown.
//
// A student's line holds one record per unit he takes, in order, separated
// by ';'; a record is the fields R,N,F,S,A,B,C,U separated by ',', the empty
// ones at its end left out:
//   R  the result and the option: 'a' passed, 'r' failed, 's' no grade,
//      'v' still in assessment followed by the e-folios' sum ("v6.0"); in
//      lower case for a final exam (option 0), in capitals for continuous
//      assessment (option 1), for any other option followed by it ("s-1")
//   N  the final grade; F the p-folio or exam, S the resit, as the student
//      file writes them; empty for none
//   A, B, C  the e-folio's entry in the e-folio cells' table, in base 36;
//      empty for none
//   U  the unit's entry in the units' table, in base 36; empty for the
//      entry after the previous record's (the first entry for the first
//      record)
#ifndef PAUTA_REGISTOSPAGINA_H
#define PAUTA_REGISTOSPAGINA_H

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Estudantes.h"
#include "TextoPagina.h"
#include "UC.h"

class RegistosPagina {
 public:
  // The course's units are the first entries of the units' table, in
  // order; `unidades` must outlive this object.
  explicit RegistosPagina(const std::vector<UC>& unidades);

  // Appends the line of `estudante`'s records, without its line end (empty
  // when he takes no unit); its units and e-folio cells join the tables.
  // `estudante` must outlive this object.
  void acrescentaRegistos(TextoPagina& pagina, const Estudantes& estudante);

  // Appends the JSON object the page's script reads: the units' table
  // ("u": code, name escaped for HTML, ECTS), the e-folio cells ("e"), the
  // texts of the options ("o") and results ("r", "v" holding '#' where the
  // e-folios' sum goes), the rows' classes ("c"), the records' header ("h")
  // and the texts of the students' index search ("t"). No '<' stands in
  // it, so it cannot end the script element.
  void acrescentaDados(TextoPagina& pagina) const;

  // The entry of `uc` in the units' table, added when it has none.
  size_t entradaUnidade(const UC& uc);
  // The entry of the e-folio cell of `efolio` ("80 % × 3 = 2,40"), added
  // when it has none.
  size_t entradaEfolio(const Efolio& efolio);

 private:
  struct Unidade {
    int codigo;
    std::string_view nome;
    int ects;
  };
  static std::string chave(int codigo, std::string_view nome, int ects);
  void acrescentaRegisto(TextoPagina& pagina, const UC& uc);

  std::vector<Unidade> unidades_;
  std::unordered_map<std::string, size_t> porChave_;
  std::vector<std::string> efolios_;
  std::unordered_map<std::uint64_t, size_t> porValores_;
  // The entry of the previous record; the first record expects entry 0.
  size_t anterior_ = static_cast<size_t>(-1);
  std::string campos_;  // the fields of a record
};

#endif
