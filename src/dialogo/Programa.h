// The run of the program: start-up and course choice, course loading, the
// main menu loop with the grade-entry menus, and the unit consultation.
#ifndef PAUTA_PROGRAMA_H
#define PAUTA_PROGRAMA_H

#include "ConsolaES.h"

// Runs the program with its command-line arguments and answers the exit
// status. Without arguments: the interactive dialogue on the working
// directory; --exportar CODIGO: the export of that course to CSV files;
// --importar [--verificar] CODIGO FICHEIRO: the import of a sheet;
// --relatorio CODIGO: the course's HTML report page; -V/--versao/--version,
// -h/--ajuda/--help: the version or the usage text. An unknown option, or
// wrong arguments, are named on standard error before the usage text,
// status 2. The console is set up first (consolaIniciar for the dialogue,
// consolaIniciarMensagens for the modes).
int executaPauta(int argc, char* argv[]);

// The interactive dialogue on `consola`, from the banner to "A sair ...".
// When input ends at a prompt it says goodbye there (the lost-changes
// warning when there were unsaved changes) and returns. Answers 0.
int executaDialogo(const Consola& consola);

#endif
