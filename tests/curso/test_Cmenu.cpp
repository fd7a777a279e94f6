#include "Apoio.h"
#include "Cp1252.h"

// Which files are courses (exact tables when none and one), last readable record, shared codes.
TEST(Catalogo, FicheirosDeCursoETabela) {
  PastaTemporaria p;
  for (const char* f : {"12-Estudantes.txt", "12-uc.txt", "12-UC.txt.bak", "Eng-Inf-UC.txt",
                        "12--UC.txt", "UC.txt", "-UC.txt"}) {
    p.c.escreve(f, crlf({"CURSO;12;Errado"}));
  }
  fs::create_directory("3-UC.txt");
  p.c.escreve("4-UC.txt",
              crlf({TXT("21002;Álgebra Linear I;1;1;6"), "curso;4;x", TXT("CURSO;y;Ilegível")}));
  auto catalogo = [](int codigo) {
    Listacurso l;
    std::ostringstream avisos, c;
    l.listaFicheiros(avisos);
    l.imprimeCursosDisponiveis(c);
    l.imprimeCursoEscolhido(c, codigo);
    return std::make_pair(l.checkCodigoCurso(codigo), c.str());
  };
  auto tabela = [](const Texto& filas, const Texto& escolhidas) {
    return "\n" + regua + linhaTabela(TXT("Código"), "Nome do Curso", "Ficheiro") + regua + filas +
           regua + "\n" + escolhidas;
  };
  EXPECT_EQ(catalogo(12), std::make_pair(0, tabela("", "")));
  p.c.escreve("12-UC.txt", crlf({TXT("CURSO;12;Licenciatura em Engenharia Informática"),
                                 TXT("21002;Álgebra;1;1;6")}));
  const Texto um = linhaTabela("12", TXT("Licenciatura em Engenharia Informática"), "12-UC.txt");
  EXPECT_EQ(catalogo(12), std::make_pair(1, tabela(um, um)));
  p.c.escreve("-12-UC.txt", crlf({"CURSO;13;Treze"}));
  p.c.escreve("ENG-UC.txt", crlf({"CURSO;14;Catorze"}));
  p.c.escreve("20-UC.txt", crlf({"CURSO;20;Primeiro", TXT("21002;Álgebra;1;1;6"),
                                 "CURSO;30;Segundo", "CURSO;x;Mau"}));
  p.c.escreve("31-UC.txt", crlf({TXT("CURSO;30;Gestão")}));
  const Texto trinta =
      linhaTabela("30", "Segundo", "20-UC.txt") + linhaTabela("30", TXT("Gestão"), "31-UC.txt");
  const auto [achado, saida] = catalogo(30);
  EXPECT_EQ(achado, 1);
  EXPECT_EQ(linhasSemOrdem(saida),
            linhasSemOrdem(tabela(um + linhaTabela("13", "Treze", "-12-UC.txt") +
                                      linhaTabela("14", "Catorze", "ENG-UC.txt") + trinta,
                                  trinta)));
}
