// The course layer may not see the dialogue: this must not compile.
#include "Programa.h"
