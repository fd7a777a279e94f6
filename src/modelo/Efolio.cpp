#include "Efolio.h"

#include <ostream>

#include "Auxiliar.h"
#include "Cp1252.h"
#include "Numeros.h"
#include "Regras.h"

Efolio::Efolio(char l) : letra(l), nota(-1), peso(-1) {}

Efolio::~Efolio() = default;

void Efolio::userSetEfolio(const Consola& consola, char l) {
  std::ostream& saida = consola.saida();
  float valor = 0;
  for (;;) {
    if (l == 'C')
      saida << TXT("Para o caso de não existir eFolio C inserir -1 na Nota") << std::endl;
    saida << "Insira a Nota em Percentagem do eFolio " << l << ":" << std::endl;
    valor = getFloatFromUser(consola);
    if (regras::valorValido(regras::Campo::notaEfolio, valor)) break;
    saida << std::endl;
    saida << TXT("ERRO: Valor de Nota inválido, insira um valor entre 0 e 100, ou -1 no caso não "
                 "haver eFolio ")
          << l << std::endl;
  }
  nota = valor;
  if (nota == -1) {
    peso = -1;
    return;
  }
  for (;;) {
    saida << "insira o Peso da Nota do Efolio " << l << ":" << std::endl;
    valor = getFloatFromUser(consola);
    if (regras::valorValido(regras::Campo::pesoEfolio, valor)) break;
    saida << std::endl;
    saida << TXT("ERRO: Valor do peso inválido, insira um valor entre 0 e 8,") << std::endl;
    saida << TXT(" tenha em conta que a soma dos pesos de todos os eFolios não pode ultrapassar 8")
          << std::endl;
  }
  peso = valor;
}

float Efolio::calculaNotaFinalEfolio() const {
  if (nota == -1) return -1;
  return peso * nota / 100;
}

std::string Efolio::valorImpressaoNotaEfolio() const {
  if (nota == -1) return "-";
  return textoFixo(calculaNotaFinalEfolio(), 2);
}
