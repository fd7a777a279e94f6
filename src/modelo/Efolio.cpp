#include "Efolio.h"

#include <ostream>

#include "Auxiliar.h"
#include "Cp1252.h"
#include "Numeros.h"
#include "Regras.h"

Efolio::Efolio(char l) : letra(l), nota(-1), peso(-1) {}

Efolio::~Efolio() = default;

namespace {

// Asks for the grade of e-folio `l` until a valid one (-1: no e-folio).
float pedeNotaEfolio(const Consola& consola, char l) {
  std::ostream& saida = consola.saida();
  for (;;) {
    if (l == 'C')
      saida << TXT("Para o caso de não existir eFolio C inserir -1 na Nota") << std::endl;
    saida << "Insira a Nota em Percentagem do eFolio " << l << ":" << std::endl;
    const float valor = getFloatFromUser(consola);
    if (regras::valorValido(regras::Campo::notaEfolio, valor)) return valor;
    saida << std::endl;
    saida << TXT("ERRO: Valor de Nota inválido, insira um valor entre 0 e 100, ou -1 no caso não "
                 "haver eFolio ")
          << l << std::endl;
  }
}

// Asks for the weight of e-folio `l` until a valid one.
float pedePesoEfolio(const Consola& consola, char l) {
  std::ostream& saida = consola.saida();
  for (;;) {
    saida << "insira o Peso da Nota do Efolio " << l << ":" << std::endl;
    const float valor = getFloatFromUser(consola);
    if (regras::valorValido(regras::Campo::pesoEfolio, valor)) return valor;
    saida << std::endl;
    saida << TXT("ERRO: Valor do peso inválido, insira um valor entre 0 e 8,") << std::endl;
    saida << TXT(" tenha em conta que a soma dos pesos de todos os eFolios não pode ultrapassar 8")
          << std::endl;
  }
}

}  // namespace

void Efolio::userSetEfolio(const Consola& consola, char l) {
  nota = pedeNotaEfolio(consola, l);
  peso = nota == -1 ? -1 : pedePesoEfolio(consola, l);
}

float Efolio::calculaNotaFinalEfolio() const {
  if (nota == -1) return -1;
  return peso * nota / 100;
}

std::string Efolio::valorImpressaoNotaEfolio() const {
  if (nota == -1) return "-";
  return textoFixo(calculaNotaFinalEfolio(), 2);
}
