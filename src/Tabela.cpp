#include "Tabela.h"

#include <iomanip>
#include <ostream>
#include <string>

void celula(std::ostream& saida, const std::string& texto, int largura, char enchimento) {
  saida << std::left << std::setfill(enchimento) << std::setw(largura) << texto;
}

void celula(std::ostream& saida, long long numero, int largura, char enchimento) {
  celula(saida, std::to_string(numero), largura, enchimento);
}

void regua(std::ostream& saida, int largura, char caracter) {
  celula(saida, std::string(), largura, caracter);
  saida << std::endl;
}
