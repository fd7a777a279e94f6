// In-process console for tests: scripted standard input, captured standard
// output, and a way to observe the end-of-input rule without ending the
// test process.
#ifndef PAUTA_TESTES_CAPTURA_H
#define PAUTA_TESTES_CAPTURA_H

#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>

// While alive, std::cin reads `entrada` and std::cout writes to a buffer;
// the console number format starts from the stream defaults. Everything is
// restored on destruction.
class Captura {
 public:
  explicit Captura(const std::string& entrada = "");
  ~Captura();
  Captura(const Captura&) = delete;
  Captura& operator=(const Captura&) = delete;

  // Everything written to std::cout so far.
  std::string saida() const { return saida_.str(); }
  // Everything left unread in the scripted input.
  std::string restoEntrada();

  // Runs `f`; answers true if it ended because standard input ran out (the
  // end-of-input texts are then in saida()), false if it returned normally.
  template <class F>
  bool terminaPorFimEntrada(F f);

 private:
  std::istringstream entrada_;
  std::ostringstream saida_;
  std::streambuf* cinOriginal_;
  std::streambuf* coutOriginal_;
  std::ios_base::fmtflags flags_;
  std::streamsize precisao_;
  char enchimento_;
};

// Thrown by the end-of-input action that tests install.
struct FimEntradaTeste {};

// Installs an end-of-input action that throws FimEntradaTeste.
void instalaFimEntradaTeste();

template <class F>
bool Captura::terminaPorFimEntrada(F f) {
  instalaFimEntradaTeste();
  try {
    f();
  } catch (const FimEntradaTeste&) {
    return true;
  }
  return false;
}

// Joins lines, each followed by CR LF, as the data files hold them.
std::string crlf(std::initializer_list<std::string> linhas);

#endif
