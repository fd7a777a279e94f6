// The table of modes: the dialogue only without an option (an empty word is an unknown option,
// not the dialogue), each spelling of a mode finds that mode and nothing else, and course codes
// are digits with an optional sign that fit an int.
#include <gtest/gtest.h>

#include "LinhaComandos.h"

TEST(LinhaComandos, ProcuraDosModos) {
  const Modo* dialogo = procuraModo(nullptr);
  ASSERT_NE(dialogo, nullptr);
  for (const char* desconhecida : {"", "12", "-", "--", "--EXPORTAR", "--exportar=12", "-hV"}) {
    EXPECT_EQ(procuraModo(desconhecida), nullptr) << desconhecida;
  }
  const Modo* ajuda = procuraModo("-h");
  const Modo* versao = procuraModo("-V");
  EXPECT_EQ(procuraModo("--ajuda"), ajuda);
  EXPECT_EQ(procuraModo("--help"), ajuda);
  EXPECT_EQ(procuraModo("--versao"), versao);
  EXPECT_EQ(procuraModo("--version"), versao);
  const Modo* modos[] = {dialogo,
                         ajuda,
                         versao,
                         procuraModo("--exportar"),
                         procuraModo("--importar"),
                         procuraModo("--relatorio")};
  for (size_t i = 0; i < std::size(modos); ++i) {
    ASSERT_NE(modos[i], nullptr) << i;
    for (size_t j = 0; j < i; ++j) EXPECT_NE(modos[i], modos[j]) << i << " " << j;
  }
}

TEST(LinhaComandos, CodigoDoCurso) {
  int codigo = 0;
  EXPECT_TRUE(leCodigoCurso("12", codigo));
  EXPECT_EQ(codigo, 12);
  EXPECT_TRUE(leCodigoCurso("-3", codigo));
  EXPECT_EQ(codigo, -3);
  EXPECT_TRUE(leCodigoCurso("2147483647", codigo));
  EXPECT_EQ(codigo, 2147483647);
  for (const char* errado : {"", "-", "+3", " 12", "12 ", "1.0", "doze", "0x1", "2147483648"}) {
    EXPECT_FALSE(leCodigoCurso(errado, codigo)) << errado;
  }
}
