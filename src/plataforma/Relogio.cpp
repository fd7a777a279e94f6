// The current time, fixed by tests when they ask.
#include "Relogio.h"

#include <cstdlib>

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

}  // namespace

std::time_t instanteAtual() {
  const std::optional<std::time_t>& f = fixado();
  return f ? *f : std::time(nullptr);
}

bool horaLocal(std::time_t instante, std::tm& local) {
#ifdef _WIN32
  return localtime_s(&local, &instante) == 0;
#else
  return localtime_r(&instante, &local) != nullptr;
#endif
}

void fixaRelogio(std::optional<std::time_t> instante) { fixado() = instante; }
