// Console input helpers: every number the user types is read here, with
// validation and re-asking, from the console the caller hands in. The caller
// prints the question and checks the range of what comes back.
#ifndef PAUTA_AUXILIAR_H
#define PAUTA_AUXILIAR_H

#include <string>

#include "ConsolaES.h"

// Reads the next whole number (formatted extraction: whitespace skipped,
// optional sign, digits; what follows stays unread). On a non-numeric start
// or an out-of-range value prints the two "inválido" lines, discards the
// rest of the line and tries again. Throws FimEntrada when input ends.
int getIntFromUser(const Consola& consola);

// Reads the next whitespace-delimited token as a real number. A token with
// a character outside "1234567890.-", with no number at its start, or
// whose value overflows single precision is echoed in a warning and the
// next token is read. The longest leading number of the token is
// converted; the rest of the token is ignored. Throws FimEntrada when input
// ends.
float getFloatFromUser(const Consola& consola);

// Discards what is left of the current input line, then reads one whole
// line (a trailing CR is dropped). When typed characters of that line had
// to be replaced by '?', says so. Throws FimEntrada when input ends first.
std::string getLinhaFromUser(const Consola& consola);
// The same without discarding anything first: the next whole line.
std::string leLinhaInteira(const Consola& consola);

// Copies a NUL-terminated character array into a new string.
std::string charArrayToString(const char* texto);

#endif
