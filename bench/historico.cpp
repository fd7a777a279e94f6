// What the grade history adds to a save of the dialogue on a generated
// course: the comparison after one grade is entered (the student pictured
// before his change, as the dialogue does), the picture's reset after the
// save, and what a save writes to an existing history: its end read, the
// save's marks and two lines appended and flushed, the closing mark (the
// median of 21 saves). Build against a build tree's layer libraries:
//   g++ -O2 -std=c++17 -Isrc/plataforma -Isrc/modelo -Isrc/curso
//       bench/historico.cpp -Lbuild-bench -lpauta_curso -lpauta_modelo
//       -lpauta_plataforma -lpauta_ganchos -lpauta_plataforma -o historico
//   ./historico DIR   (DIR holding 77-UC.txt and 77-Estudantes.txt of gera_curso.py)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "CarregaCurso.h"
#include "EscritaHistorico.h"
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
    historico::LinhaHistorico quem;
    quem.data = historico::dataAgora();
    historico::EscritaHistorico h("77-Historico.txt", "77-Estudantes.txt", quem);
    historico::Dano dano = historico::Dano::nenhum;
    std::string posto;
    IdentidadeFicheiro identidade;
    if (!h.prepara(identidade, "dialogo", &dano, &posto).ok() || !h.comeca("dialogo").ok() ||
        !h.escreve(linha).ok() || !h.escreve(linha).ok() ||
        !h.identifica(identidade, identidade).ok()) {
      return 1;
    }
    h.conclui();
    acrescentos.push_back(ms(a, Relogio::now()));
  }
  std::sort(acrescentos.begin(), acrescentos.end());
  std::printf("comparison %.3f ms (%ld lines), picture reset %.3f ms, history of a save %.2f ms\n",
              ms(t0, t1), linhas, ms(t1, t2), acrescentos[10]);
}
