// The command line: one table of the program's modes (the dialogue, the
// export, the import, the report, the history, the version and the help),
// each with its spellings, the arguments it needs, its lines of the usage
// text, its console set-up and its entry. main looks the first argument up
// in it.
#ifndef PAUTA_LINHACOMANDOS_H
#define PAUTA_LINHACOMANDOS_H

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// The words after the option.
using Argumentos = std::vector<std::string>;

struct Modo;

// The mode of the option `opcao`, the program's first argument: the
// dialogue when there is none (nullptr); nullptr for an unknown option.
const Modo* procuraModo(const char* opcao);

// Sets up the console for `modo` and runs it with `argumentos`; answers its
// exit status. Wrong arguments are named on standard error ("pauta: OPCAO
// precisa de ...") before the usage text, status 2.
int executaModo(const Modo& modo, const char* opcao, const Argumentos& argumentos);

// An unknown option: "pauta: opção desconhecida: OPCAO" on standard error
// before the usage text; answers 2.
int opcaoDesconhecida(const char* opcao);

// The usage text, one line or more per mode, in the table's order.
void imprimeUtilizacao(std::ostream& saida);

// Reads a course code given on the command line: an optional '-' and digits
// only, fitting an int.
bool leCodigoCurso(std::string_view texto, int& codigo);

#endif
