#include "Auxiliar.h"

#include <iostream>
#include <limits>

#include "Consola.h"
#include "Cp1252.h"
#include "Numeros.h"

namespace {

void descartaLinha() { std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n'); }

bool soCaracteresReais(const std::string& token) {
  return token.find_first_not_of("1234567890.-") == std::string::npos;
}

}  // namespace

int getIntFromUser() {
  for (;;) {
    std::cin >> std::ws;
    if (std::cin.eof() || !std::cin.good()) consolaFimEntrada();
    int valor = 0;
    if (std::cin >> valor) return valor;
    std::cin.clear();
    descartaLinha();
    std::cout << TXT("O valor que inseriu é inválido ( Não numérico )") << std::endl;
    std::cout << TXT("Por favor insira um valor válido") << std::endl;
  }
}

float getFloatFromUser() {
  std::string token;
  for (;;) {
    if (!(std::cin >> token)) consolaFimEntrada();
    float valor = 0;
    if (soCaracteresReais(token) && leRealConsola(token, valor)) return valor;
    std::cout << TXT("ATENÇÃO: Valor inválido, por favor insira um número Real ( digitos "
                     "aceitáveis '1234567890 . -' ): ")
              << token << std::endl;
  }
}

std::string getLinhaFromUser() {
  descartaLinha();
  if (std::cin.eof()) consolaFimEntrada();
  const std::size_t substituidosAntes = consolaCaracteresSubstituidos();
  std::string linha;
  if (!std::getline(std::cin, linha)) consolaFimEntrada();
  if (!linha.empty() && linha.back() == '\r') linha.pop_back();
  if (consolaCaracteresSubstituidos() != substituidosAntes) {
    std::cout
        << TXT("ATENÇÃO: Os caracteres sem representação em CP1252 foram substituídos por '?'")
        << std::endl;
  }
  return linha;
}

std::string charArrayToString(const char* texto) {
  std::string resultado;
  if (texto == nullptr) return resultado;
  for (const char* p = texto; *p != '\0'; ++p) resultado += *p;
  return resultado;
}
