// Program entry of pauta, the grade records of one course.
#include "Consola.h"
#include "Programa.h"

int main(int argc, char* argv[]) {
  // Before any text: usage, export messages and the dialogue alike.
  consolaIniciar();
  return executaPauta(argc, argv);
}
