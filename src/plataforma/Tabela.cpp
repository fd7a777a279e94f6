#include "Tabela.h"

#include <iomanip>
#include <ostream>
#include <string>

#include "Numeros.h"

void celula(std::ostream& saida, const std::string& texto, int largura, char enchimento) {
  saida << std::left << std::setfill(enchimento) << std::setw(largura) << texto;
}

void celula(std::ostream& saida, long long numero, int largura, char enchimento) {
  celula(saida, std::to_string(numero), largura, enchimento);
}

void celula(std::string& destino, std::string_view texto, int largura, char enchimento) {
  destino += texto;
  if (largura > 0 && texto.size() < static_cast<size_t>(largura)) {
    destino.append(static_cast<size_t>(largura) - texto.size(), enchimento);
  }
}

void celula(std::string& destino, long long numero, int largura, char enchimento) {
  char texto[larguraNumero];
  celula(destino,
         std::string_view(texto, static_cast<size_t>(escreveInteiro(texto, numero) - texto)),
         largura, enchimento);
}

void imprimeLinha(std::ostream& saida, const std::string& linha) {
  saida.write(linha.data(), static_cast<std::streamsize>(linha.size()));
  saida.put('\n');
  saida.flush();
}

void regua(std::ostream& saida, int largura, char caracter) {
  celula(saida, std::string(), largura, caracter);
  saida << std::endl;
}
