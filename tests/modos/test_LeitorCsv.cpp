// The import's CSV reader: records, quotes, line numbers, separators and
// character sets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LeitorCsv.h"

namespace {

using Registos = std::vector<std::vector<std::string>>;

// Every record of `texto`, each preceded by its line number as a cell.
Registos registos(const std::string& texto) {
  LeitorCsv leitor(texto);
  Registos todos;
  std::vector<std::string> celulas;
  while (leitor.proximo(celulas)) {
    todos.push_back({std::to_string(leitor.linha())});
    todos.back().insert(todos.back().end(), celulas.begin(), celulas.end());
  }
  return todos;
}

}  // namespace

TEST(LeitorCsv, RegistosEAspas) {
  EXPECT_EQ(registos("a;b\r\n\"c;\"\"d\"\"\";\"e\r\nf\"\r\n\r\ng;;\n\"h\"x;i"),
            (Registos{{"1", "a", "b"},
                      {"2", "c;\"d\"", "e\r\nf"},
                      {"4", ""},
                      {"5", "g", "", ""},
                      {"6", "hx", "i"}}));
  EXPECT_EQ(registos(""), Registos{});
  EXPECT_EQ(registos("a\n"), (Registos{{"1", "a"}}));
  LeitorCsv leitor("a;\"b\nc");
  std::vector<std::string> celulas;
  ASSERT_TRUE(leitor.proximo(celulas));
  EXPECT_TRUE(leitor.aspasPorFechar());
  EXPECT_EQ(celulas, (std::vector<std::string>{"a", "b\nc"}));
  EXPECT_FALSE(leitor.proximo(celulas));
}

// ',' only when the first line has no ';'.
TEST(LeitorCsv, Separador) {
  EXPECT_EQ(LeitorCsv("a,b\n1;2").separador(), ',');
  EXPECT_EQ(LeitorCsv("a;b,c\n").separador(), ';');
  EXPECT_EQ(LeitorCsv("a\n1,2").separador(), ';');
  EXPECT_EQ(registos("x,\"8,5\"\n"), (Registos{{"1", "x", "8,5"}}));
}

TEST(LeitorCsv, ConjuntoDeCaracteres) {
  const std::string inesUtf8 = "In\xC3\xAAs", inesCp1252 = "In\xEAs";
  for (const std::string& texto : {"\xEF\xBB\xBF"
                                   "Nome\n" +
                                       inesUtf8,
                                   "Nome\n" + inesUtf8}) {
    LeitorCsv leitor(texto);
    std::vector<std::string> celulas;
    ASSERT_TRUE(leitor.utf8());
    ASSERT_TRUE(leitor.proximo(celulas) && celulas[0] == "Nome");
    ASSERT_TRUE(leitor.proximo(celulas));
    EXPECT_TRUE(leitor.converte(celulas[0]));
    EXPECT_EQ(celulas[0], inesCp1252);
  }
  // Not valid UTF-8: CP1252, left as it is; ASCII alone is CP1252 too.
  LeitorCsv cp1252("Nome\n" + inesCp1252);
  std::string celula = inesCp1252;
  EXPECT_FALSE(cp1252.utf8());
  EXPECT_TRUE(cp1252.converte(celula) && celula == inesCp1252);
  EXPECT_FALSE(LeitorCsv("a;b").utf8());
  // With a byte-order mark, a character CP1252 lacks or a malformed byte is refused.
  LeitorCsv marcado("\xEF\xBB\xBFNome\n");
  for (std::string mau : {std::string("\xC5\x81ukasz"), std::string("In\xEAs")}) {
    const std::string antes = mau;
    EXPECT_FALSE(marcado.converte(mau));
    EXPECT_EQ(mau, antes);
  }
}
