#include <gtest/gtest.h>

#include "Cenario.h"

// The harness itself: a run that leaves at the course prompt touches nothing.
TEST(Cenario, ZeroNoPrimeiroPromptNaoTocaEmFicheiros) {
  Cenario c;
  c.copiaExemplos();
  auto antes = c.ficheiros();
  Resultado r = c.executa("0\n");
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.saida.substr(r.saida.size() - 11), "\nA Sair ...");
  EXPECT_EQ(c.ficheiros(), antes);
}
