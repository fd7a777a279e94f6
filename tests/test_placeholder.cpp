#include <gtest/gtest.h>
TEST(Arranque, Compila) { SUCCEED(); }
