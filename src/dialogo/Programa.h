// The interactive dialogue: start-up and course choice, the course lock,
// course loading, the main menu loop with the grade-entry menus, and the
// unit consultation.
#ifndef PAUTA_PROGRAMA_H
#define PAUTA_PROGRAMA_H

#include "ConsolaES.h"

// The interactive dialogue on `consola`, on the working directory, from the
// banner to "A sair ...". The course opened is locked until it returns.
// When input ends at a prompt it says goodbye there (the lost-changes
// warning when there were unsaved changes) and returns. Answers 0.
int executaDialogo(const Consola& consola);

#endif
