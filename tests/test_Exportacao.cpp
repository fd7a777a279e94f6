#include <gtest/gtest.h>

#include <string>

#include "Exportacao.h"

// A cell holding a line break stays one cell; a text a spreadsheet would take for a formula gets
// an apostrophe first (quoted as any other cell when it needs quotes); other texts stay as they
// are.
TEST(Exportacao, CelulasDeTexto) {
  const std::pair<std::string, std::string> casos[] = {
      {"a\r\nb", "\"a\r\nb\""},
      {"=1+1", "'=1+1"},
      {"+351 Nome", "'+351 Nome"},
      {"-Rui", "'-Rui"},
      {"@SOMA(A1)", "'@SOMA(A1)"},
      {"\tTab", "'\tTab"},
      {"\rx", "\"'\rx\""},
      {"=A1;B1", "\"'=A1;B1\""},
      {"Ana=Rui-3", "Ana=Rui-3"},
      {"", ""},
      {"'já guardado", "'já guardado"},
  };
  for (const auto& [texto, celula] : casos) EXPECT_EQ(celulaCsv(texto), celula) << texto;
}
