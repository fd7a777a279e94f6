// The per-system primitives under the console (Consola.cpp) and the command
// line: each is defined in ConsolaPosix.cpp and in ConsolaWindows.cpp, and
// the build compiles the one of its system. Only this folder uses them.
#ifndef PAUTA_CONSOLASISTEMA_H
#define PAUTA_CONSOLASISTEMA_H

#include <string>

namespace sistema {

// The standard streams' descriptors.
const int descritorEntrada = 0;
const int descritorSaida = 1;
const int descritorErros = 2;

// Whether `descritor` is a terminal (a console).
bool eTerminal(int descritor);
// Whether a terminal shows UTF-8 and types it (POSIX), instead of the
// CP1252 of a console set to code page 1252 (Windows).
extern const bool terminalUtf8;
// Whether the command line's words come in UTF-8 (POSIX) or in the ANSI
// code page (Windows).
extern const bool linhaDeComandosUtf8;
// Whether the locale's character set is UTF-8: the first of LC_ALL,
// LC_CTYPE and LANG that is set names it (POSIX); never on Windows.
bool localeUtf8();

// Sets the console's input and output code pages to 1252 (Windows).
void preparaPaginasDeCodigo();
// Standard output in binary mode, so that CR LF passes as it is (Windows).
void saidaBinaria();

// Writes ready bytes to standard output without the streams; safe in a
// signal handler.
void escreveDireto(const std::string& texto);

// From now on Ctrl-C, SIGTERM and SIGHUP (on Windows the console's Ctrl-C,
// Ctrl-Break and close events) run `aoTerminar` and end the process with
// 128 + the signal's number (Ctrl-Break counts as SIGINT, the close event
// as SIGHUP).
void instalaTerminacao(void (*aoTerminar)());

}  // namespace sistema

#endif
