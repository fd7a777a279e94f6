// The program's one source of the current time: the history's dates, the
// lock's "since" and the report's "generated at" all read it here, so that
// tests can fix it. Also the clock that measures a wait for the course's
// critical section, the pauses of that wait and how long it lasts before it
// is told and before a mode gives up, all of which tests can set too.
#ifndef PAUTA_RELOGIO_H
#define PAUTA_RELOGIO_H

#include <cstdint>
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

// --- Waits ---

// Milliseconds of a clock that only goes forward (its origin means
// nothing): the measure of a wait.
std::int64_t milissegundosDecorridos();
// Pauses this process for `ms` milliseconds.
void pausaMilissegundos(long ms);
// With `simulado`, time is simulated: a pause takes no time and moves the
// clock above forward by its length, so that a test sees a wait of a
// minute end at once, after the same steps. For tests; the test build of
// the program simulates it when PAUTA_TEMPO_SIMULADO is set.
void simulaTempo(bool simulado);

// How long a wait for the course's critical section goes on before it is
// told (once), and before it gives up (negative: never), in milliseconds.
struct DuracoesEspera {
  long aviso = 2000;
  long limite = -1;
};
// The durations of this process: a wait is told after 2 s and never given
// up, unless desisteAoMinuto was called. The test build of the program takes
// them from PAUTA_ESPERAS="AVISO,LIMITE" when it is set.
DuracoesEspera duracoesEspera();
// A mode beside the dialogue: its waits give up after 60 s.
void desisteAoMinuto();
// Sets the durations (for tests).
void fixaDuracoesEspera(const DuracoesEspera& novas);

#endif
