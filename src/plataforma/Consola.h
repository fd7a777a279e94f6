// Console/platform layer: makes the CP1252 dialogue readable on every
// console, and says goodbye the same way whether standard input ran out or
// a signal ended the dialogue.
#ifndef PAUTA_CONSOLA_H
#define PAUTA_CONSOLA_H

#include <cstddef>
#include <iosfwd>
#include <string>

// Prepares the console for CP1252 text; call first thing in main, before
// any output (later calls do nothing). On Windows sets the console input
// and output code pages to 1252. Elsewhere, standard output and standard
// error, each when it is a terminal, show their CP1252 bytes as UTF-8, and
// when standard input is a terminal typed UTF-8 is turned into CP1252 ('?'
// for characters outside it). On every system a control byte other than
// TAB, LF and CR written to a terminal is shown as '?'. Redirected streams
// pass byte for byte.
void consolaIniciar();

// Prepares the console for the messages of a mode beside the dialogue, as
// consolaIniciar does, and moreover, on Linux and macOS, writes standard
// output and standard error as UTF-8 when they go to a file or a pipe and
// the locale's character set is UTF-8 (LC_ALL, LC_CTYPE, LANG).
void consolaIniciarMensagens();

// The same for a mode whose standard output is data in CP1252 (a CSV for a
// spreadsheet): standard error as consolaIniciarMensagens, standard output
// as consolaIniciar (UTF-8 on a terminal, byte for byte when redirected,
// whatever the locale; on Windows in binary mode, so that its CR LF line
// ends pass as they are).
void consolaIniciarDados();

// Whether standard output is a terminal.
bool consolaSaidaNoTerminal();

// How many typed characters CP1252 cannot hold have been replaced by '?'
// so far (always 0 while standard input is not a terminal). The dialogue's
// console (ConsolaES.h) asks it.
std::size_t consolaCaracteresSubstituidos();

// Registers the unsaved-changes flag of the running dialogue (nullptr for
// none). It is read only when a signal ends the dialogue, to warn that
// changes were lost, and cleared by consolaGravacaoFeita.
void consolaRegistaAlteracoes(int* alteracoes);

// The unsaved changes are now in a file (the student file replaced, or a
// conflict file named): clears the registered flag and, until
// consolaGravacaoAnunciada, a signal that ends the dialogue prints `texto`
// (CP1252, each line with its end: what the save says when it is done)
// where it would warn that changes were lost. Called with the termination
// signals held, right after the rename.
void consolaGravacaoFeita(const std::string& texto);
// The save has said it itself: a signal no longer repeats it.
void consolaGravacaoAnunciada();

// Registers the clean-up that a signal below runs before the process ends
// (nullptr for none); set once at start-up. It runs inside a signal
// handler, so it must be async-signal-safe: it removes what the objects of
// the session could not (temporary files, the course lock).
using Limpeza = void (*)();
void consolaRegistaLimpeza(Limpeza limpeza);

// From now on Ctrl-C, SIGTERM and SIGHUP (on Windows the console's Ctrl-C,
// Ctrl-Break and close events) end the dialogue: a line end, "ATENÇÃO: O
// programa foi interrompido, ..." when the flag is set, "A sair ..." (and a
// line end on a terminal), the clean-up, exit status 128 + the signal's
// number (Ctrl-Break counts as SIGINT, the close event as SIGHUP).
void consolaTrataSinais();
// The same for a mode beside the dialogue: the clean-up only, no text.
void consolaTrataSinaisModo();

// The goodbye when input has ended at a prompt, on `saida`: a line end, the
// lost-changes warning when `alteracoesPerdidas`, and "A sair ..." (with a
// line end on a terminal), flushed.
void consolaImprimeFimEntrada(std::ostream& saida, bool alteracoesPerdidas);

#endif
