// The primitives of ConsolaSistema.h on Windows.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <csignal>

#include "ConsolaSistema.h"

namespace sistema {

namespace {

// The exit status of a run ended by signal `sinal`, as a shell reports it.
const int baseEstadoSinal = 128;
const int sinalDeFecho = 1;  // SIGHUP's number elsewhere

void (*volatile terminacao)() = nullptr;

BOOL WINAPI aoEventoConsola(DWORD evento) {
  void (*termina)() = terminacao;
  if (termina != nullptr) termina();
  // Ctrl-C and Ctrl-Break as SIGINT; closing the console, logging off or
  // shutting down as SIGHUP.
  const bool teclado = evento == CTRL_C_EVENT || evento == CTRL_BREAK_EVENT;
  ExitProcess(static_cast<UINT>(baseEstadoSinal + (teclado ? SIGINT : sinalDeFecho)));
  return TRUE;
}

}  // namespace

bool eTerminal(int descritor) { return _isatty(descritor) != 0; }

const bool terminalUtf8 = false;
const bool linhaDeComandosUtf8 = false;

bool localeUtf8() { return false; }

void preparaPaginasDeCodigo() {
  SetConsoleOutputCP(1252);
  SetConsoleCP(1252);
}

void saidaBinaria() { _setmode(descritorSaida, _O_BINARY); }

void escreveDireto(const std::string& texto) {
  DWORD escritos = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), texto.data(), static_cast<DWORD>(texto.size()),
            &escritos, nullptr);
}

void instalaTerminacao(void (*aoTerminar)()) {
  terminacao = aoTerminar;
  SetConsoleCtrlHandler(aoEventoConsola, TRUE);
}

}  // namespace sistema
