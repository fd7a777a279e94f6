// The numbers of a data file's record as its readers take them: the ones
// written another way than the program writes them are kept and told to
// the line reader once the whole record is read (FormatoDados.h).
#ifndef PAUTA_NUMEROSLIDOS_H
#define PAUTA_NUMEROSLIDOS_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "LeitorLinhas.h"
#include "Numeros.h"
#include "UC.h"

namespace formato {

// The final grade as the student file writes it: its whole part.
inline std::string textoNotaFinal(float nota) {
  UC uc;
  uc.setNota(nota);
  return std::to_string(uc.getNota());
}

// The numbers of one record read field by field, and those written another
// way than the program writes them, kept until the whole record is read: a
// line that is then skipped says nothing of its numbers.
class NumerosLidos {
 public:
  explicit NumerosLidos(bool virgulaDecimal) : virgulaDecimal_(virgulaDecimal) {}

  // A whole-number field; false when no number starts it.
  bool inteiro(std::string_view campo, int& valor) {
    const FormaNumero forma = leInteiroCampo(campo, valor);
    if (forma == FormaNumero::comResto) guarda(campo, std::to_string(valor));
    return forma != FormaNumero::nenhuma;
  }
  // A real field, "-" for -1; false when it is neither. The final grade
  // (`notaFinal`) is written back as its whole part.
  bool real(std::string_view campo, float& valor, bool notaFinal = false) {
    if (campo == "-") {
      valor = -1;
      return true;
    }
    const FormaNumero forma = leRealCampo(campo, valor, virgulaDecimal_);
    if (forma == FormaNumero::virgula) virgulas_ = true;
    if (forma == FormaNumero::comResto) {
      guarda(campo, notaFinal ? textoNotaFinal(valor) : textoGeral(valor));
    }
    return forma != FormaNumero::nenhuma;
  }
  // How many numbers read another way are kept; forgets those kept after
  // the first `guardados` (fields that will be read again).
  size_t guardados() const { return avisos_.size(); }
  void esquece(size_t guardados) {
    avisos_.erase(avisos_.begin() + static_cast<std::ptrdiff_t>(guardados), avisos_.end());
  }
  // Tells `ficheiro`, on its line last read, of the numbers read another
  // way, in field order.
  void conta(LeitorLinhas& ficheiro) const {
    if (virgulas_) ficheiro.notaNumeroLido();
    for (const auto& [texto, valor] : avisos_) ficheiro.avisaNumeroLido(texto, valor);
  }

 private:
  void guarda(std::string_view campo, std::string valor) {
    avisos_.emplace_back(std::string(campo), std::move(valor));
  }

  bool virgulaDecimal_;
  bool virgulas_ = false;
  std::vector<std::pair<std::string, std::string>> avisos_;
};

}  // namespace formato

#endif
