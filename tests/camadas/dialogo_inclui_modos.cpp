// The dialogue may not see the modes: this must not compile.
#include "Importacao.h"
