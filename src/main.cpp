// Program entry of pauta, the grade records of one course.
#include "Programa.h"

int main(int argc, char* argv[]) { return executaPauta(argc, argv); }
