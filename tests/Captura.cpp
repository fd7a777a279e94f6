#include "Captura.h"

#include "Consola.h"

Captura::Captura(const std::string& entrada)
    : entrada_(entrada),
      cinOriginal_(std::cin.rdbuf(entrada_.rdbuf())),
      coutOriginal_(std::cout.rdbuf(saida_.rdbuf())),
      flags_(std::cout.flags()),
      precisao_(std::cout.precision()),
      enchimento_(std::cout.fill()) {
  std::cin.clear();
  std::cout.flags(std::ios_base::skipws | std::ios_base::dec);
  std::cout.precision(6);
  std::cout.fill(' ');
}

Captura::~Captura() {
  std::cin.rdbuf(cinOriginal_);
  std::cin.clear();
  std::cout.rdbuf(coutOriginal_);
  std::cout.flags(flags_);
  std::cout.precision(precisao_);
  std::cout.fill(enchimento_);
  consolaRegistaAlteracoes(nullptr);
}

std::string Captura::restoEntrada() {
  std::string resto;
  std::cin.clear();
  std::getline(std::cin, resto, '\0');
  return resto;
}

namespace {
[[noreturn]] void lancaFimEntrada() { throw FimEntradaTeste{}; }
}  // namespace

void instalaFimEntradaTeste() { consolaDefineAcaoFimEntrada(lancaFimEntrada); }

std::string crlf(std::initializer_list<std::string> linhas) {
  std::string texto;
  for (const std::string& l : linhas) texto += l + "\r\n";
  return texto;
}
