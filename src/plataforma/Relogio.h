// The program's one source of the current time: the history's dates, the
// lock's "since" and the report's "generated at" all read it here, so that
// tests can fix it.
#ifndef PAUTA_RELOGIO_H
#define PAUTA_RELOGIO_H

#include <ctime>
#include <optional>

// Now, in seconds since the epoch: the real clock, unless fixed (below).
std::time_t instanteAtual();

// Breaks `instante` into local civil time; false when the C library cannot.
bool horaLocal(std::time_t instante, std::tm& local);

// Fixes this process's clock at `instante` (std::nullopt: the real clock
// again). For tests; the test build of the program (pauta_pausas) also takes
// the instant from the environment variable PAUTA_RELOGIO.
void fixaRelogio(std::optional<std::time_t> instante);

#endif
