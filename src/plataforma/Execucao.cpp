#include "Execucao.h"

#include "Versao.h"

std::string textoVersao() { return std::string("pauta ") + PAUTA_VERSAO; }
