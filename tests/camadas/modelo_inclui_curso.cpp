// The model may not see the course layer: this must not compile.
#include "Listacurso.h"
