// The seam under every write the program makes to a file or a folder, as a
// fault-injection file system (leveldb's Env, ninja's DiskInterface): each
// step of a write (a file created, bytes written or appended, a flush, a
// cut, a rename, a link, a removal, a folder flushed, the course's section
// locked) goes through here. A test installs an observer that learns each
// step before it is taken and may make it fail with the cause it chooses;
// it can then tell what a power cut would leave (what was not flushed is
// lost). In the test build of the program (PAUTA_PONTOS_PAUSA) every step is
// also a pause point, "antes-STEP:NAME" (Pausas.h), so that a test can stop
// another process right before any step. The program itself installs no
// observer. Only the clean-up of every way out (Limpeza.h), which a signal
// handler runs and so must be async-signal-safe, and the release of a
// course lock, which shares its code (removeSeComecaPor), call the system
// directly.
#ifndef PAUTA_ESCRITAS_H
#define PAUTA_ESCRITAS_H

#include <string>

#include "Estado.h"

enum class PassoEscrita {
  criacao,        // `nome` created (a temporary file, a lock, a history)
  escrita,        // bytes written to `nome` (appended, for a history)
  descarga,       // `nome` flushed to disk
  renomeacao,     // `nome` renamed to `para` (replacing what is there, unless
                  // the name is given only while free)
  ligacao,        // a hard link `para` made to `nome`
  remocao,        // the name `nome` removed
  descargaPasta,  // the folder `nome` flushed to disk
  corte,          // `nome` cut back to an earlier size
  tranca,         // the lock of the companion `nome` first tried (the course's section)
};

// The name of a step as the pause points and the tests write it ("criacao",
// "descargaPasta", ...).
const char* nomePasso(PassoEscrita passo);

class ObservadorEscritas {
 public:
  virtual ~ObservadorEscritas() = default;
  // Called before each step, with the file's name (and the new name of a
  // rename or link). Causa::nenhuma lets the step be taken; any other cause
  // makes it fail, untaken, with that cause (Causa::semTrancas for `tranca`:
  // a file system without locks).
  virtual Causa passo(PassoEscrita passo, const std::string& nome, const std::string& para) = 0;
};
// Installs `observador` for every later step (nullptr: none).
void observaEscritas(ObservadorEscritas* observador);

#endif
