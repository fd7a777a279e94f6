// The console a dialogue talks through: the stream it reads the user's
// answers from and the stream it writes its texts to. The program's is
// standard input and output; tests and harnesses hand in streams in memory.
// Nothing here touches the terminal: that is Consola.h's business.
#ifndef PAUTA_CONSOLAES_H
#define PAUTA_CONSOLAES_H

#include <cstddef>
#include <iosfwd>
#include <stdexcept>

// Thrown by the console readers (Auxiliar.h) when the input ends at a
// prompt. The dialogue catches it in one place and ends the run there.
class FimEntrada : public std::runtime_error {
 public:
  FimEntrada() : std::runtime_error("fim da entrada") {}
};

// A handle on the two streams, cheap to copy: the readers and the dialogue
// take it by const reference and still read and write through it.
class Consola {
 public:
  // Answers how many typed characters the input's decoder has replaced by
  // '?' so far (see consolaIniciar).
  using ContaSubstituidos = std::size_t (*)();

  // Reads from `entrada`, writes to `saida`; both must outlive the console.
  // Without `contaSubstituidos` no typed character is ever replaced.
  Consola(std::istream& entrada, std::ostream& saida, ContaSubstituidos contaSubstituidos = nullptr)
      : entrada_(&entrada), saida_(&saida), contaSubstituidos_(contaSubstituidos) {}

  std::istream& entrada() const { return *entrada_; }
  std::ostream& saida() const { return *saida_; }
  std::size_t caracteresSubstituidos() const {
    return contaSubstituidos_ != nullptr ? contaSubstituidos_() : 0;
  }

 private:
  std::istream* entrada_;
  std::ostream* saida_;
  ContaSubstituidos contaSubstituidos_;
};

#endif
