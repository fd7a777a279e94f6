// The primitives of ConsolaSistema.h on POSIX (Linux, macOS).
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <cstdlib>

#include "ConsolaSistema.h"

namespace sistema {

namespace {

// The exit status of a run ended by signal `sinal`, as a shell reports it.
const int baseEstadoSinal = 128;

void (*volatile terminacao)() = nullptr;

void aoSinal(int sinal) {
  void (*termina)() = terminacao;
  if (termina != nullptr) termina();
  _exit(baseEstadoSinal + sinal);
}

}  // namespace

bool eTerminal(int descritor) { return isatty(descritor) != 0; }

const bool terminalUtf8 = true;
const bool linhaDeComandosUtf8 = true;

bool localeUtf8() {
  for (const char* variavel : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* valor = std::getenv(variavel);
    if (valor == nullptr || *valor == '\0') continue;
    std::string nome;
    for (const char* c = valor; *c != '\0'; ++c) {
      if (*c != '-' && *c != '_')
        nome += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    return nome.find("utf8") != std::string::npos;
  }
  return false;
}

void preparaPaginasDeCodigo() {}

void saidaBinaria() {}

void escreveDireto(const std::string& texto) {
  size_t feito = 0;
  while (feito < texto.size()) {
    const ssize_t n = write(STDOUT_FILENO, texto.data() + feito, texto.size() - feito);
    if (n <= 0) break;
    feito += static_cast<size_t>(n);
  }
}

void instalaTerminacao(void (*aoTerminar)()) {
  terminacao = aoTerminar;
  struct sigaction acao = {};
  acao.sa_handler = aoSinal;
  sigfillset(&acao.sa_mask);
  for (int sinal : {SIGINT, SIGTERM, SIGHUP}) sigaction(sinal, &acao, nullptr);
}

}  // namespace sistema
