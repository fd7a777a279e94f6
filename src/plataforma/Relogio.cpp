// The current time, fixed by tests when they ask, and the clock of the
// waits. (horaLocal and the pause itself are the system's: SistemaPosix.cpp,
// SistemaWindows.cpp.)
#include "Relogio.h"

#include <chrono>
#include <cstdlib>

#include "Sistema.h"

namespace {

std::optional<std::time_t>& fixado() {
  static std::optional<std::time_t> instante = [] {
    std::optional<std::time_t> doAmbiente;
#ifdef PAUTA_PONTOS_PAUSA
    const char* texto = std::getenv("PAUTA_RELOGIO");
    if (texto != nullptr && *texto != '\0') {
      doAmbiente = static_cast<std::time_t>(std::strtoll(texto, nullptr, 10));
    }
#endif
    return doAmbiente;
  }();
  return instante;
}

// The simulated clock, in milliseconds, while time is simulated.
struct TempoSimulado {
  bool ativo = false;
  std::int64_t agora = 0;
};

TempoSimulado& tempoSimulado() {
  static TempoSimulado tempo = [] {
    TempoSimulado doAmbiente;
#ifdef PAUTA_PONTOS_PAUSA
    const char* texto = std::getenv("PAUTA_TEMPO_SIMULADO");
    doAmbiente.ativo = texto != nullptr && *texto != '\0';
#endif
    return doAmbiente;
  }();
  return tempo;
}

// The durations, and whether the limit came from the environment of the
// test build (a mode's minute then does not replace it).
struct Duracoes {
  DuracoesEspera valores;
  bool limiteDado = false;
};

Duracoes& duracoes() {
  static Duracoes atuais = [] {
    Duracoes doAmbiente;
#ifdef PAUTA_PONTOS_PAUSA
    const char* texto = std::getenv("PAUTA_ESPERAS");
    if (texto != nullptr && *texto != '\0') {
      char* resto = nullptr;
      doAmbiente.valores.aviso = std::strtol(texto, &resto, 10);
      if (*resto == ',') {
        doAmbiente.valores.limite = std::strtol(resto + 1, nullptr, 10);
        doAmbiente.limiteDado = true;
      }
    }
#endif
    return doAmbiente;
  }();
  return atuais;
}

const long umMinuto = 60000;

}  // namespace

std::time_t instanteAtual() {
  const std::optional<std::time_t>& f = fixado();
  return f ? *f : std::time(nullptr);
}

void fixaRelogio(std::optional<std::time_t> instante) { fixado() = instante; }

std::int64_t milissegundosDecorridos() {
  const TempoSimulado& simulado = tempoSimulado();
  if (simulado.ativo) return simulado.agora;
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void pausaMilissegundos(long ms) {
  TempoSimulado& simulado = tempoSimulado();
  if (simulado.ativo) {
    simulado.agora += ms;
    return;
  }
  sistema::dorme(ms);
}

void simulaTempo(bool simulado) {
  tempoSimulado().ativo = simulado;
  tempoSimulado().agora = 0;
}

DuracoesEspera duracoesEspera() { return duracoes().valores; }

void desisteAoMinuto() {
  // A limit the test build took from its environment stays as it was.
  if (!duracoes().limiteDado) duracoes().valores.limite = umMinuto;
}

void fixaDuracoesEspera(const DuracoesEspera& novas) {
  duracoes().valores = novas;
  duracoes().limiteDado = true;
}
