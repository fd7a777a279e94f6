// Program entry of pauta, the grade records of one course: the first
// argument chooses a mode from the command line's table (none: the
// dialogue), which sets up the console and runs.
#include "Consola.h"
#include "Ficheiros.h"
#include "LinhaComandos.h"

int main(int argc, char* argv[]) {
  // Once for the whole run: a file-size limit makes a write fail instead of
  // killing the program, and every way out, a signal included, removes this
  // process's temporary files and releases the course lock it holds.
  ignoraLimiteTamanho();
  consolaRegistaLimpeza(limpezaFinal);
  const char* opcao = argc > 1 ? argv[1] : nullptr;
  const Argumentos argumentos(argv + (argc > 1 ? 2 : argc), argv + argc);
  const Modo* modo = procuraModo(opcao);
  if (modo == nullptr) return opcaoDesconhecida(opcao);
  return executaModo(*modo, opcao, argumentos);
}
