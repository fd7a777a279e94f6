// What the grade history adds to a save of the dialogue on a generated
// course: the comparison after one grade is entered (the student pictured
// before his change, as the dialogue does), the picture's reset after the
// save, and the append of two lines to an existing history, flushed (the
// median of 21 appends). Build against a build tree's layer libraries:
//   g++ -O2 -std=c++17 -Isrc/plataforma -Isrc/modelo -Isrc/curso
//       bench/historico.cpp -Lbuild-bench -lpauta_curso -lpauta_modelo
//       -lpauta_plataforma -lpauta_ganchos -o historico
//   ./historico DIR   (DIR holding 77-UC.txt and 77-Estudantes.txt of gera_curso.py)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "CarregaCurso.h"
#include "FormatoHistorico.h"
#include "Listacurso.h"
#include "RetratoEstudantes.h"

namespace {
using Relogio = std::chrono::steady_clock;
double ms(Relogio::time_point a, Relogio::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || chdir(argv[1]) != 0) return 2;
  Listacurso unidades, estudantes;
  if (!carregaCursoSemDialogo(77, unidades, estudantes, std::cerr)) return 1;
  const std::vector<Estudantes>& alunos = estudantes.getListaEstudantes();
  RetratoEstudantes retrato;
  retrato.inicia(alunos.size());
  retrato.guarda(0, alunos[0]);
  std::istringstream entrada("15\n");
  std::ostringstream saida;
  Consola consola{entrada, saida};
  estudantes.userSetNotaProvaFinalUCEstudante(consola, alunos[0].getNumAluno(), 21002);
  estudantes.atualizaNotaFinalUCEstudante(saida, alunos[0].getNumAluno(), 21002);
  historico::LinhaHistorico linha;
  long linhas = 0;
  const auto t0 = Relogio::now();
  comparaEstudantes(retrato, alunos, linha, [&linhas](historico::LinhaHistorico&) { ++linhas; });
  const auto t1 = Relogio::now();
  retrato.inicia(alunos.size());
  const auto t2 = Relogio::now();
  std::vector<double> acrescentos;
  for (int k = 0; k < 21; ++k) {
    const auto a = Relogio::now();
    std::string anterior, texto;
    Estado erro;
    FicheiroAcrescentado f;
    if (!f.abre("77-Historico.txt", historico::inicioFicheiro).ok()) return 1;
    historico::ultimaVerificacao("77-Historico.txt", anterior, &erro);
    linha.data = historico::dataAgora();
    historico::EscritorLinhas escritor(linha, anterior);
    escritor.escreve(linha, texto);
    escritor.escreve(linha, texto);
    if (!f.acrescenta(texto).ok() || !f.descarrega().ok()) return 1;
    acrescentos.push_back(ms(a, Relogio::now()));
  }
  std::sort(acrescentos.begin(), acrescentos.end());
  std::printf("comparison %.3f ms (%ld lines), picture reset %.3f ms, append + flush %.2f ms\n",
              ms(t0, t1), linhas, ms(t1, t2), acrescentos[10]);
}
