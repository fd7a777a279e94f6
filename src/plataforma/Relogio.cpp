// The current time, fixed by tests when they ask. (horaLocal is the
// system's: SistemaPosix.cpp, SistemaWindows.cpp.)
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

void fixaRelogio(std::optional<std::time_t> instante) { fixado() = instante; }
