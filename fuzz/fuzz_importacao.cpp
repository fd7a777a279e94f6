// Fuzz target of the import: the input is a CSV file imported into a small
// course in memory, and applied to it as a correction. Nothing may crash;
// when the import accepts the file, the students it leaves must survive a
// save (the student file reads back with the same students and no skipped
// line), and exporting their grade sheet and importing it again must find no
// error and change nothing; when the correction accepts it, correcting the
// result with its own grade sheet must find no error and change nothing.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ApoioFuzz.h"
#include "Exportacao.h"
#include "FormatoCsv.h"
#include "FormatoDados.h"
#include "Importacao.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"

namespace {

UC unidade(const std::string& linha) {
  UC uc;
  std::ostringstream avisos;
  formato::leUnidade(linha, uc, avisos);
  return uc;
}

Estudantes estudante(int numero, const std::string& nome, const std::vector<std::string>& ucs) {
  Estudantes e;
  e.setNumAluno(numero);
  e.setNome(nome);
  for (const std::string& linha : ucs) e.adicionaUC(unidade(linha));
  return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
  static SaidaNula nula;
  std::streambuf* anterior = std::cout.rdbuf(&nula);
  const std::vector<UC> unidades = {unidade("100;Algebra;1;1;6"), unidade("200;Fisica;1;2;6")};
  std::vector<Estudantes> estudantes = {
      estudante(1, "Ana",
                {"100;Algebra;1;1;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8;R;-1;N;14",
                 "200;Fisica;1;2;6;AVALIACAO;-1;F;-;R;-;N;-"}),
      estudante(2, "Bruno", {"100;Algebra;1;1;6;AVALIACAO;0;F;9;R;12;N;12"}),
      // Values out of every range, as only a data file can hold them.
      estudante(3, "Caio",
                {"100;Algebra;1;1;6;AVALIACAO;1;A;150;9;B;-1;3;C;50;-1;F;13;R;-2;N;30",
                 "200;Fisica;1;2;6;AVALIACAO;7;A;1;1;B;2;2;C;3;3;F;1;R;1;N;1"})};
  const std::string texto(reinterpret_cast<const char*>(dados), tamanho);
  std::vector<Estudantes> corrigidos = estudantes;
  std::vector<std::string> erros;
  importaPauta(texto, unidades, estudantes, erros);
  std::vector<std::string> errosCorrecao;
  importaPauta(texto, unidades, corrigidos, errosCorrecao, Regime::correcao);
  if (erros.empty()) {
    Listacurso curso;
    curso.alteraListaEstudantes() = estudantes;
    LeitorLinhas ficheiro(curso.conteudoFicheiroEstudantes(), "1-Estudantes.txt");
    Listacurso lido;
    lido.setListaEstudantes(1, 1, ficheiro);
    VERIFICA(!ficheiro.houveLinhasIgnoradas(), "linhas ignoradas no ficheiro gravado");
    VERIFICA(lido.getListaEstudantes().size() == estudantes.size(), "alunos perdidos");

    // The export's texts must be the CP1252 the import reads: a build that
    // keeps its literals in UTF-8 (clang without the conversion of texts)
    // cannot check the round trip.
    if (std::string(csv::colunaNumero) !=
        "N\xFA"
        "mero") {
      std::cout.rdbuf(anterior);
      return 0;
    }
    std::vector<Estudantes> copia = estudantes;
    std::vector<std::string> errosVolta;
    const ResumoImportacao volta =
        importaPauta(conteudoPauta(estudantes), unidades, copia, errosVolta);
    VERIFICA(errosVolta.empty(), "a pauta exportada tem erros");
    VERIFICA(!volta.alterado, "a pauta exportada altera o curso");
  }
  if (errosCorrecao.empty() && std::string(csv::colunaNumero) ==
                                   "N\xFA"
                                   "mero") {
    std::vector<std::string> errosVolta;
    const ResumoImportacao volta =
        importaPauta(conteudoPauta(corrigidos), unidades, corrigidos, errosVolta, Regime::correcao);
    VERIFICA(errosVolta.empty(), "a pauta corrigida tem erros");
    VERIFICA(!volta.alterado, "a pauta corrigida altera o curso");
  }
  std::cout.rdbuf(anterior);
  return 0;
}
