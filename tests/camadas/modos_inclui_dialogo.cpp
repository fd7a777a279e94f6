// The modes may not see the dialogue: this must not compile.
#include "Emenu.h"
