// Named pause points for tests of interleavings between processes. They
// work in the test build of the program only (PAUTA_PONTOS_PAUSA: the
// pauta_pausas executable), which links this file compiled with them; the
// program links it without, and every point is then a call that does
// nothing.
#ifndef PAUTA_PAUSAS_H
#define PAUTA_PAUSAS_H

// Whether this build has the pause points (the test build).
bool pontosPausaCompilados();

// In the test build, when the environment variable PAUTA_PAUSA names `ponto`
// (a list separated by commas may name several) and PAUTA_PAUSA_CANAL is a
// path prefix P, writes one byte to the FIFO P.NOME.chegou (waiting for the
// test to read it), then waits until the test writes to the FIFO
// P.NOME.continua; each point pauses once, and a point without its FIFOs
// does not pause. Besides the points the code names ("temporario-a-meio":
// a temporary file's first piece written; "temporario-escrito": written and
// flushed, not yet renamed, "bloqueio-escrito" for the lock;
// "temporarios-escritos": all of a joint replacement; and those of the
// course layer), every write step is one, "antes-STEP:FILE" (Escritas.h).
void pontoPausa(const char* ponto);

#endif
