#include "Apoio.h"

// Saving writes the exact bytes, no temporary file left; a failure leaves the old file as it was.
TEST(Gravacao, BytesExactosEFalhas) {
  PastaTemporaria p;
  const Texto antigo =
      "conteúdo antigo, mais comprido do que o novo" + ficheiroValido + ficheiroValido;
  p.c.escreve(ficheiroEstudantes, antigo);
  Listacurso k = carregaCurso(ficheiroValido);
  fs::create_directory(ficheiroEstudantes + ".tmp");
  EXPECT_EQ(gravaCurso(k), falhouGravar);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{ficheiroEstudantes, antigo}}));
  fs::remove(ficheiroEstudantes + ".tmp");
  EXPECT_EQ(gravaCurso(k), gravouBem);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{ficheiroEstudantes, ficheiroValido}}));
  fs::rename(ficheiroEstudantes, "guardado");
  fs::create_directory(ficheiroEstudantes);
  EXPECT_EQ(gravaCurso(k), falhouGravar);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{"guardado", ficheiroValido}}));
}

// After skipped lines, the first good save copies the original to NAME.bak; no copy, no save.
TEST(Gravacao, CopiaDoOriginalSoNaPrimeiraGravacao) {
  PastaTemporaria p;
  const Texto mau = crlf({"ALUNO;1001;Um", linhaAlgebra, "21037;Estatística;1;2", "", "ALUNO;x;Mau",
                          "", "ALUNO;1002;Dois", ""});
  p.c.escreve(ficheiroEstudantes, mau);
  Listacurso k = carregaCurso(mau);
  fs::create_directory(ficheiroEstudantes + ".bak");
  EXPECT_EQ(gravaCurso(k), falhouGravar);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{ficheiroEstudantes, mau}}));
  fs::remove(ficheiroEstudantes + ".bak");
  EXPECT_EQ(gravaCurso(k).second,
            "ATENÇÃO: Foram ignoradas linhas do ficheiro original, que foi "
            "copiado para " +
                ficheiroEstudantes + ".bak\n" + gravouBem.second);
  EXPECT_EQ(p.c.ficheiros(),
            (Mapa{{ficheiroEstudantes, ficheiroValido}, {ficheiroEstudantes + ".bak", mau}}));
  p.c.escreve(ficheiroEstudantes + ".bak", "mudado");
  EXPECT_EQ(gravaCurso(k), gravouBem);
  EXPECT_EQ(p.c.ficheiros(),
            (Mapa{{ficheiroEstudantes, ficheiroValido}, {ficheiroEstudantes + ".bak", "mudado"}}));
}
