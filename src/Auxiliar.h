// Console input helpers: every number the user types is read here, with
// validation and re-asking. The caller prints the question and checks the
// range of what comes back.
#ifndef PAUTA_AUXILIAR_H
#define PAUTA_AUXILIAR_H

#include <string>

// Reads the next whole number from standard input (formatted extraction:
// whitespace skipped, optional sign, digits; what follows stays unread).
// On a non-numeric start or an out-of-range value prints the two
// "inválido" lines, discards the rest of the line and tries again. When
// input ends, ends the run through consolaFimEntrada().
int getIntFromUser();

// Reads the next whitespace-delimited token as a real number. A token with
// a character outside "1234567890.-", with no number at its start, or
// whose value overflows single precision is echoed in a warning and the
// next token is read. The longest leading number of the token is
// converted; the rest of the token is ignored. When input ends, ends the
// run through consolaFimEntrada().
float getFloatFromUser();

// Discards what is left of the current input line, then reads one whole
// line (a trailing CR is dropped). When typed characters of that line had
// to be replaced by '?' (see consolaIniciar), says so. When input ends
// first, ends the run through consolaFimEntrada().
std::string getLinhaFromUser();

// Copies a NUL-terminated character array into a new string.
std::string charArrayToString(const char* texto);

#endif
