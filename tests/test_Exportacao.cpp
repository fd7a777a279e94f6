#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Captura.h"
#include "Cenario.h"
#include "Exportacao.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"

// Line breaks never come from the data files, but a cell holding one must
// still stay one cell.
TEST(Exportacao, CelulaComMudancaDeLinhaVaiEntreAspas) {
  EXPECT_EQ(celulaCsv("a\r\nb"), "\"a\r\nb\"");
  EXPECT_EQ(celulaCsv("a\nb"), "\"a\nb\"");
}

// Every unit of the example course: the passed count and the average are
// those the dialogue's unit statistics print, and the grade columns add up
// to the passed count.
TEST(Exportacao, EstatisticasSaoAsDoDialogo) {
  Listacurso unidades;
  Listacurso estudantes;
  std::string csv;
  std::string dialogo;
  {
    Captura captura;
    LeitorLinhas fUCs(exemplo("12-UC.txt"), "12-UC.txt");
    unidades.setUCsCurso(12, 30, fUCs);
    LeitorLinhas fEstudantes(exemplo("12-Estudantes.txt"), "12-Estudantes.txt");
    estudantes.setListaEstudantes(12, 8, fEstudantes);
    csv = conteudoEstatisticas(unidades, estudantes.getListaEstudantes());
    unidades.imprimeInfoTodasUCscurso();
    dialogo = captura.saida();
  }
  std::istringstream linhas(csv);
  std::string linha;
  std::getline(linhas, linha);  // the header
  size_t pos = 0;
  int n = 0;
  for (; std::getline(linhas, linha, '\n'); ++n) {
    std::vector<std::string> c;
    std::istringstream campos(linha);  // the last cell keeps the CR, which stoi skips
    for (std::string campo; std::getline(campos, campo, ';');) c.push_back(campo);
    ASSERT_EQ(c.size(), 17u) << linha;
    std::string media = c[5];
    for (char& ch : media) ch = ch == ',' ? '.' : ch;
    const std::string esperado =
        "UNIDADE CURRICULAR: " + c[1] + "\nTotal de Alunos Aprovados: " + c[4] + "\n" +
        (media.empty() ? "Não existem alunos aprovados, logo não é possivel calcular a média\n"
                       : "Média: " + media + "\n");
    pos = dialogo.find(esperado, pos);
    ASSERT_NE(pos, std::string::npos) << esperado;
    int soma = 0;
    for (size_t j = 6; j < c.size(); ++j) soma += std::stoi(c[j]);
    EXPECT_EQ(soma, std::stoi(c[4])) << c[1];
    EXPECT_GE(std::stoi(c[3]), std::stoi(c[4])) << c[1];
  }
  EXPECT_EQ(n, 30);
}
