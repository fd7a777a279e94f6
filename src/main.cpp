// Program entry of pauta, the grade records of one course.
#include "Programa.h"

int main(int argc, char* argv[]) {
  // Sets up the console for the dialogue or the mode chosen, then runs it.
  return executaPauta(argc, argv);
}
