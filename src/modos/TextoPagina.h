// The text of a page while it is made (CP1252): its own bytes, and the
// long texts it shows (a name of many megabytes read from a damaged file)
// held by reference and escaped for HTML only as the page is handed out, a
// slice at a time, so that such a text is never copied whole.
#ifndef PAUTA_TEXTOPAGINA_H
#define PAUTA_TEXTOPAGINA_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// CP1252 text made safe to stand in HTML text or a quoted attribute: '&',
// '<', '>', '"' and '\'' become references, and control characters other
// than TAB, LF and CR become '?'.
std::string escapaHtml(std::string_view texto);

class TextoPagina {
 public:
  TextoPagina& operator+=(std::string_view texto) {
    proprio_.append(texto);
    return *this;
  }
  TextoPagina& operator+=(char c) {
    proprio_ += c;
    return *this;
  }
  // `texto` escaped with escapaHtml. A long one is held by reference: it
  // must outlive the handing out of this text.
  void acrescentaEscapado(std::string_view texto);
  // The bytes held, long texts counted by their length before escaping.
  size_t size() const { return proprio_.size() + longos_; }
  bool empty() const { return size() == 0; }
  // Sets `fatia` to the next at most `maximo` bytes of the text (about
  // that much for an escaped long text), valid until the next call or
  // change, and answers true; answers false once it was all handed out.
  bool proximaFatia(std::string_view& fatia, size_t maximo);
  // Forgets everything, handed out or not.
  void clear();

 private:
  // A long text shown where proprio_ had `posicao` bytes.
  struct Referencia {
    size_t posicao;
    std::string_view texto;
  };
  std::string proprio_;
  std::vector<Referencia> referencias_;
  size_t longos_ = 0;
  // Where the handing out is: in proprio_, in referencias_, and in the
  // long text being handed out.
  size_t posicao_ = 0;
  size_t referencia_ = 0;
  size_t dentro_ = 0;
  std::string escapado_;  // the slice of a long text last handed out
};

// Appends a whole number in decimal.
void acrescentaInteiro(TextoPagina& pagina, long long valor);

// A real as the page shows it: `casas` decimals with a decimal comma, or an
// em dash when it is not a number.
std::string textoReal(float valor, int casas);
// `parte` as a percentage of `total` with one decimal ("87,5 %"); an em
// dash when `total` is 0.
std::string textoTaxa(long long parte, long long total);

#endif
