// Named pause points for tests of interleavings between processes. They
// work in the test build of the program only (PAUTA_PONTOS_PAUSA: the
// pauta_pausas executable), which links this file compiled with them; the
// program links it without, and every point is then a call that does
// nothing.
#ifndef PAUTA_PAUSAS_H
#define PAUTA_PAUSAS_H

#include <string>

// Whether this build has the pause points (the test build).
bool pontosPausaCompilados();

// In the test build, when the environment variable PAUTA_PAUSA names `ponto`
// (a list separated by commas may name several) and PAUTA_PAUSA_CANAL is a
// path prefix P, writes one byte to the FIFO P.NOME.chegou (waiting for the
// test to read it), then waits until the test writes to the FIFO
// P.NOME.continua; each point pauses once, and a point without its FIFOs
// does not pause. Besides the points the code names ("temporario-a-meio":
// a temporary file's first piece written and another to come; "temporario-escrito": written and
// flushed, not yet renamed, "bloqueio-escrito" for the lock;
// "temporarios-escritos": all of a joint replacement; "seccao-aguarda": a
// wait for the course's section just told; and those of the course layer), every write step is one,
// "antes-STEP:FILE" (Escritas.h), and also "passo-N", N its number among the process's steps from 1
// (a step repeated on one file is reached by its number).
void pontoPausa(const char* ponto);

// In the test build, when the environment variable PAUTA_REGISTO_PASSOS
// names a file, appends `descricao` to it as a line: the write steps of a
// run, for a test that then stops a run before each one.
void registaPasso(const std::string& descricao);

// In the test build, whether the environment variable PAUTA_SEM_TRANCAS asks
// the program to take the folder for one whose file system has no locks
// (the section's lock answers as ENOLCK would); false in the program.
bool semTrancasPedido();

#endif
