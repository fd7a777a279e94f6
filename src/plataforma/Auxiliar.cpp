#include "Auxiliar.h"

#include <istream>
#include <limits>
#include <ostream>

#include "Cp1252.h"
#include "Numeros.h"

namespace {

void descartaLinha(std::istream& entrada) {
  entrada.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

bool soCaracteresReais(const std::string& token) {
  return token.find_first_not_of("1234567890.-") == std::string::npos;
}

}  // namespace

int getIntFromUser(const Consola& consola) {
  std::istream& entrada = consola.entrada();
  for (;;) {
    entrada >> std::ws;
    if (entrada.eof() || !entrada.good()) throw FimEntrada();
    int valor = 0;
    if (entrada >> valor) return valor;
    entrada.clear();
    descartaLinha(entrada);
    consola.saida() << TXT("O valor que inseriu é inválido ( Não numérico )") << std::endl;
    consola.saida() << TXT("Por favor insira um valor válido") << std::endl;
  }
}

float getFloatFromUser(const Consola& consola) {
  std::string token;
  for (;;) {
    if (!(consola.entrada() >> token)) throw FimEntrada();
    float valor = 0;
    if (soCaracteresReais(token) && leRealConsola(token, valor)) return valor;
    consola.saida() << TXT("ATENÇÃO: Valor inválido, por favor insira um número Real ( digitos "
                           "aceitáveis '1234567890 . -' ): ")
                    << token << std::endl;
  }
}

std::string getLinhaFromUser(const Consola& consola) {
  descartaLinha(consola.entrada());
  if (consola.entrada().eof()) throw FimEntrada();
  return leLinhaInteira(consola);
}

std::string leLinhaInteira(const Consola& consola) {
  std::istream& entrada = consola.entrada();
  const std::size_t substituidosAntes = consola.caracteresSubstituidos();
  std::string linha;
  if (!std::getline(entrada, linha)) throw FimEntrada();
  if (!linha.empty() && linha.back() == '\r') linha.pop_back();
  if (consola.caracteresSubstituidos() != substituidosAntes) {
    consola.saida()
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
