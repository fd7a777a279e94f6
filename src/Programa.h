// The run of the program: start-up and course choice, course loading, the
// main menu loop with the grade-entry menus, and the unit consultation.
#ifndef PAUTA_PROGRAMA_H
#define PAUTA_PROGRAMA_H

#include "ConsolaES.h"

// Runs the program with its command-line arguments and answers the exit
// status. Without arguments: the interactive dialogue on the working
// directory; --exportar CODIGO: the export of that course to CSV files;
// --relatorio CODIGO: the course's HTML report page;
// --versao, --help: the version or the usage text. Any other command line:
// the usage text on standard error, status 2. The console is set up first
// (consolaIniciar).
int executaPauta(int argc, char* argv[]);

// The interactive dialogue on `consola`, from the banner to "A sair ...".
// When input ends at a prompt it says goodbye there (the lost-changes
// warning when there were unsaved changes) and returns. Answers 0.
int executaDialogo(const Consola& consola);

#endif
