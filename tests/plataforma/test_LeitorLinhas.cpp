#include <vector>

#include "Apoio.h"

namespace {

// The lines a reader hands out, with their numbers; every second line is
// handed back once and read again.
std::vector<Texto> lidas(LeitorLinhas& leitor) {
  std::vector<Texto> linhas;
  std::string_view linha;
  bool devolvida = false;
  while (leitor.proximaLinha(linha)) {
    linhas.push_back(Texto(linha) + "@" + std::to_string(leitor.numeroLinha()));
    devolvida = !devolvida && linhas.size() % 2 == 0;
    if (devolvida) leitor.devolveLinha();
  }
  return linhas;
}

// Blocks of a text, as a file would give them; fails after `falhaApos` blocks.
FonteBlocos blocosDe(const Texto& texto, size_t falhaApos = 1000000) {
  size_t posicao = 0, blocos = 0;
  return [texto, posicao, blocos, falhaApos](char* destino, size_t maximo, size_t* n) mutable {
    if (blocos++ == falhaApos) return false;
    *n = texto.copy(destino, maximo, posicao);
    posicao += *n;
    return true;
  };
}

}  // namespace

// Read block by block, a file gives the lines of its whole content whatever the size of the
// blocks: line ends and CR LF split between two blocks, lines longer than a block, a line handed
// back across a new block; the count of student records is the same.
TEST(LeitorLinhas, PorBlocos) {
  const Texto conteudos[] = {
      "",
      "ALUNO;1;A\r\nx\r\n\r\nALUNO;2\r\nALUNO\r\nALUNOS;3\r\n",
      "a\nb\r\n\r\n\n" + Texto(40, 'z') + "\r\nfim sem quebra",
      "\r\n\r\r\nALUNO;\r",
  };
  for (const Texto& conteudo : conteudos) {
    LeitorLinhas inteiro(conteudo, "f");
    const std::vector<Texto> esperadas = lidas(inteiro);
    for (size_t bloco : {1, 2, 3, 7, 64}) {
      SCOPED_TRACE(conteudo + " / " + std::to_string(bloco));
      LeitorLinhas leitor(blocosDe(conteudo), "f", std::cout, bloco);
      EXPECT_EQ(lidas(leitor), esperadas);
      EXPECT_FALSE(leitor.erroLeitura());
      // Counted, then read again from the start by the same reader, as a
      // student file is loaded: the second reading is a fresh one.
      LeitorLinhas contagem(blocosDe("\xEF\xBB\xBF"
                                     "contagem\r\nALUNO;9"),
                            "f", std::cout, bloco);
      EXPECT_EQ(contagem.contaRestantesComPrimeiroCampo("ALUNO"), 1);
      contagem.converteDeUtf8();
      contagem.recomeca(blocosDe(conteudo));
      EXPECT_EQ(lidas(contagem), esperadas);
      EXPECT_NE(contagem.marca(), cp1252::Marca::utf8);
      contagem.recomeca(blocosDe(conteudo));
      EXPECT_EQ(contagem.contaRestantesComPrimeiroCampo("ALUNO"),
                inteiro.contaLinhasComPrimeiroCampo("ALUNO"));
    }
  }
  // A source that fails: the lines stop there, and the reader says so.
  LeitorLinhas falha(blocosDe("um\ndois\ntres\n", 1), "f", std::cout, 5);
  std::string_view linha;
  EXPECT_TRUE(falha.proximaLinha(linha) && linha == "um");
  EXPECT_TRUE(falha.proximaLinha(linha) && linha == "do");
  EXPECT_FALSE(falha.proximaLinha(linha));
  EXPECT_TRUE(falha.erroLeitura());
}
