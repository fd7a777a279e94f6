// The course layer sees the model and the platform below it: this compiles.
#include "Cp1252.h"
#include "UC.h"

int unidadeDeTeste() { return UC().getCodigo(); }
