// Every operation of the program on files, one header per concern; include
// this one for all of them:
//   Estado.h     what an operation answers: success, or a cause and the
//                   name it concerns (the user's words made where printed)
//   Leitura.h       reading a file whole, by blocks or short; identities
//   Substituicao.h  safe replacement of one file or several, new numbered
//                   files, removal
//   Temporario.h    the private temporary file under every safe write
//   Acrescentado.h  a file that only grows (the history)
//   Seccao.h        the course's critical section (waits told, given up)
//                   and the lock primitives
//   Limpeza.h       the clean-up of every way out, signals included
//   Identidades.h   this process, machine and user; folder listings
//   Escritas.h      the seam every write step goes through, for tests (the
//                   steps themselves, for this folder only, in Passos.h)
//   Pausas.h        pause points of the test build
// The operating system is reached only through Sistema.h, defined in
// SistemaPosix.cpp and SistemaWindows.cpp.
#ifndef PAUTA_FICHEIROS_H
#define PAUTA_FICHEIROS_H

#include "Acrescentado.h"
#include "Escritas.h"
#include "Estado.h"
#include "Identidades.h"
#include "Leitura.h"
#include "Limpeza.h"
#include "Pausas.h"
#include "Seccao.h"
#include "Substituicao.h"
#include "Temporario.h"

#endif
