// A program of the platform alone that calls a function of the course
// layer, declared by hand to get past the includes: it must not link.
#include <string>

std::string nomeBloqueio(int nCurso);

int main() { return static_cast<int>(nomeBloqueio(12).size()); }
