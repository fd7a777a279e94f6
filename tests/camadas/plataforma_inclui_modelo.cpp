// The platform may not see the model: this must not compile.
#include "UC.h"
