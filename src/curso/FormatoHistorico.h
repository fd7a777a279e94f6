// The grade history's lines (provisional, until the format module lands).
#ifndef PAUTA_FORMATOHISTORICO_H
#define PAUTA_FORMATOHISTORICO_H

#include <string>
#include <string_view>
#include <vector>

namespace historico {

struct LinhaHistorico {
  std::string data, utilizador, maquina, origem, numero, uc, campo, antes, depois;
  std::string verificacao;
};
const char* const cabecalho = "HISTORICO;1";
std::string nomeFicheiroHistorico(int nCurso);
std::string dataAgora();
void escreveLinhas(std::vector<LinhaHistorico>& linhas, std::string& anterior, std::string& destino);
bool leLinha(std::string_view texto, LinhaHistorico& linha);
std::string verificacao(std::string_view anterior, const LinhaHistorico& linha);

}  // namespace historico

#endif
