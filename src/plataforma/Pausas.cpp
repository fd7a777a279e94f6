#include "Pausas.h"

#ifdef PAUTA_PONTOS_PAUSA

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

// Whether the environment asks for a pause at `ponto`, not taken before;
// sets `canal` to the prefix of its FIFOs.
bool pausaPedida(const char* ponto, std::string* canal) {
  static std::vector<std::string> feitos;
  const char* pedidos = std::getenv("PAUTA_PAUSA");
  const char* prefixo = std::getenv("PAUTA_PAUSA_CANAL");
  if (pedidos == nullptr || prefixo == nullptr) return false;
  const std::string lista = std::string(",") + pedidos + ",";
  if (lista.find(std::string(",") + ponto + ",") == std::string::npos) return false;
  for (const std::string& f : feitos) {
    if (f == ponto) return false;
  }
  feitos.emplace_back(ponto);
  *canal = prefixo;
  return true;
}

}  // namespace

bool pontosPausaCompilados() { return true; }

// Opening a FIFO waits for the other end: the one for writing until the
// test reads, the one for reading until the test writes and closes it.
void pontoPausa(const char* ponto) {
  std::string canal;
  if (!pausaPedida(ponto, &canal)) return;
  const std::string base = canal + "." + ponto;
  std::error_code erro;
  if (std::filesystem::exists(base + ".chegou", erro)) std::ofstream(base + ".chegou") << '1';
  if (!std::filesystem::exists(base + ".continua", erro)) return;
  std::ifstream continua(base + ".continua");
  continua.ignore(std::numeric_limits<std::streamsize>::max());
}

void registaPasso(const std::string& descricao) {
  const char* registo = std::getenv("PAUTA_REGISTO_PASSOS");
  if (registo == nullptr || *registo == '\0') return;
  std::ofstream(registo, std::ios::app) << descricao << '\n';
}

bool semTrancasPedido() {
  const char* pedido = std::getenv("PAUTA_SEM_TRANCAS");
  return pedido != nullptr && *pedido != '\0';
}

#else

bool pontosPausaCompilados() { return false; }

bool semTrancasPedido() { return false; }

void registaPasso(const std::string& /*descricao*/) {}

void pontoPausa(const char* /*ponto*/) {}

#endif
