#include "Apoio.h"

// Saving writes the exact bytes, no temporary file left; a failure leaves the old file as it was.
TEST(Gravacao, BytesExactosEFalhas) {
  Pasta p;
  const S antigo = "conteúdo antigo, mais comprido do que o novo" + valido + valido;
  p.c.escreve(nome, antigo);
  Listacurso k = carrega(valido);
  fs::create_directory(nome + ".tmp");
  EXPECT_EQ(grava(k), FALHA);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, antigo}}));
  fs::remove(nome + ".tmp");
  EXPECT_EQ(grava(k), OK);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, valido}}));
  fs::rename(nome, "guardado");
  fs::create_directory(nome);
  EXPECT_EQ(grava(k), FALHA);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{"guardado", valido}}));
}

// After skipped lines, the first good save copies the original to NAME.bak; no copy, no save.
TEST(Gravacao, CopiaDoOriginalSoNaPrimeiraGravacao) {
  Pasta p;
  const S mau = crlf({"ALUNO;1001;Um", U1, "21037;Estatística;1;2", "", "ALUNO;x;Mau", "",
                      "ALUNO;1002;Dois", ""});
  p.c.escreve(nome, mau);
  Listacurso k = carrega(mau);
  fs::create_directory(nome + ".bak");
  EXPECT_EQ(grava(k), FALHA);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, mau}}));
  fs::remove(nome + ".bak");
  EXPECT_EQ(grava(k).second, "ATENÇÃO: Foram ignoradas linhas do ficheiro original, que foi "
                             "copiado para " + nome + ".bak\n" + OK.second);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, valido}, {nome + ".bak", mau}}));
  p.c.escreve(nome + ".bak", "mudado");
  EXPECT_EQ(grava(k), OK);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, valido}, {nome + ".bak", "mudado"}}));
}
