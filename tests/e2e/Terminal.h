// pauta run as at a console: standard output and standard error each on a pseudo-terminal of
// its own, standard input on a third one or read from a file. POSIX only.
#ifndef PAUTA_TESTES_TERMINAL_H
#define PAUTA_TESTES_TERMINAL_H

#include <string>
#include <vector>

#include "Cenario.h"

// False where no pseudo-terminal can be had for pauta: on Windows, and when PAUTA_EXECUTAVEL
// names another command (wine would put its own console between them).
bool haTerminais();

// Runs pauta in the scenario's directory with `args`. The terminals pass bytes as written (no
// CR added, nothing echoed), so the output reads back byte for byte. With `entradaNoTerminal`
// `entrada` is typed at a terminal and then the end of input (^D); otherwise it comes from a file.
Resultado executaEmTerminal(const Cenario& cenario, const std::string& entrada,
                            const std::vector<std::string>& args, bool entradaNoTerminal);

// pauta started in the scenario's directory with `args`, its standard input a pipe the test
// writes to, standard error a pipe read only at the end, standard output a pipe or, with
// `saidaNoTerminal`, a pseudo-terminal. POSIX only; every wait has a time limit.
class Processo {
 public:
  Processo(const Cenario& cenario, const std::vector<std::string>& args, bool saidaNoTerminal);
  ~Processo();
  Processo(const Processo&) = delete;
  Processo& operator=(const Processo&) = delete;
  long pid() const { return pid_; }
  // Types `texto` at its standard input.
  void escreve(const std::string& texto) const;
  // Reads standard output until it holds `texto` after what the previous wait found; false if
  // pauta ended or time ran out first.
  bool esperaSaida(const std::string& texto);
  void sinal(int numero) const;
  // Closes standard input, reads both streams to their end and waits for pauta.
  Resultado termina();

 private:
  long pid_ = -1;
  int entrada_ = -1, saida_ = -1, erros_ = -1;
  std::string lido_;
  size_t visto_ = 0;  // where the text the last wait found ends
};

#endif
