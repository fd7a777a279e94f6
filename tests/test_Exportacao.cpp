#include <gtest/gtest.h>

#include "Exportacao.h"

// A cell holding a line break stays one cell.
TEST(Exportacao, CelulaComMudancaDeLinha) { EXPECT_EQ(celulaCsv("a\r\nb"), "\"a\r\nb\""); }
