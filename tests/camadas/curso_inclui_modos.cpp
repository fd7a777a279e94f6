// The course layer may not see the modes: this must not compile.
#include "Relatorio.h"
