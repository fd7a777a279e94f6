// Support shared by the fuzz targets: a sink for the program's console
// output and the check that stops the run with a message.
#ifndef PAUTA_APOIOFUZZ_H
#define PAUTA_APOIOFUZZ_H

#include <cstdio>
#include <cstdlib>
#include <streambuf>

// Output buffer that discards everything written to it.
class SaidaNula : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char* /*s*/, std::streamsize n) override { return n; }
};

// A broken property is a finding: libFuzzer saves the input on abort.
#define VERIFICA(condicao, mensagem)                                                           \
  do {                                                                                         \
    if (!(condicao)) {                                                                         \
      std::fprintf(stderr, "%s:%d: falhou %s: %s\n", __FILE__, __LINE__, #condicao, mensagem); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)

#endif
