#include "Limpeza.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "Seccao.h"
#include "Sistema.h"

namespace {

const std::size_t tamanhoNome = 4096;

// Copies `texto` with its NUL into `destino` (tamanhoNome bytes); false
// when it does not fit.
bool copia(char* destino, const std::string& texto) {
  if (texto.size() >= tamanhoNome) return false;
  std::memcpy(destino, texto.c_str(), texto.size() + 1);
  return true;
}

// Marks a slot used once its fields are complete: a signal handler never
// sees it half filled.
void marcaUsado(volatile std::sig_atomic_t& usado) {
  std::atomic_signal_fence(std::memory_order_seq_cst);
  usado = 1;
}

// --- This process's temporary files.
const std::size_t maximoTemporarios = 16;
struct Temporario {
  char nome[tamanhoNome];
  volatile std::sig_atomic_t usado;
};
Temporario temporarios[maximoTemporarios];

// --- Files removed while they still start with given bytes (the course
// locks this process holds, a section's file and the one held while a stale
// one is removed).
const std::size_t maximoCondicionais = 6;
struct RemocaoCondicional {
  char nome[tamanhoNome];
  char prefixo[tamanhoNome];
  char seccao[tamanhoNome];
  std::size_t tamanhoPrefixo;
  volatile std::sig_atomic_t usado;
};
RemocaoCondicional condicionais[maximoCondicionais];

template <typename Registo, std::size_t N>
void esquece(Registo (&registos)[N], int registo) {
  if (registo >= 0 && static_cast<std::size_t>(registo) < N) {
    registos[static_cast<std::size_t>(registo)].usado = 0;
  }
}

}  // namespace

int registaTemporario(const std::string& nome) {
  for (std::size_t i = 0; i < maximoTemporarios; ++i) {
    Temporario& t = temporarios[i];
    if (t.usado) continue;
    if (!copia(t.nome, nome)) return -1;
    marcaUsado(t.usado);
    return static_cast<int>(i);
  }
  return -1;
}

void esqueceTemporario(int registo) { esquece(temporarios, registo); }

int registaRemocaoNaSaida(const std::string& nome, const std::string& prefixo,
                          const std::string& seccao) {
  for (const std::string* texto : {&nome, &prefixo, &seccao}) {
    if (texto->size() >= tamanhoNome) return -1;
  }
  for (std::size_t i = 0; i < maximoCondicionais; ++i) {
    RemocaoCondicional& r = condicionais[i];
    if (r.usado) continue;
    (void)copia(r.nome, nome);
    (void)copia(r.prefixo, prefixo);
    (void)copia(r.seccao, seccao);
    r.tamanhoPrefixo = prefixo.size();
    marcaUsado(r.usado);
    return static_cast<int>(i);
  }
  return -1;
}

void esqueceRemocaoNaSaida(int registo) { esquece(condicionais, registo); }

void limpezaFinal() {
  const int erroAnterior = errno;
  for (Temporario& t : temporarios) {
    if (!t.usado) continue;
    t.usado = 0;
    sistema::apaga(t.nome);
  }
  for (RemocaoCondicional& r : condicionais) {
    if (!r.usado) continue;
    r.usado = 0;
    removeSeComecaPor(r.nome, r.prefixo, r.tamanhoPrefixo, r.seccao);
  }
  errno = erroAnterior;
}
