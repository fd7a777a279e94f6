// The correction mode: a sheet laid out as the import's (the export's grade
// sheet, or any part of it) whose values replace the course's, lower or
// higher; the cell "-" puts a value back to none. Every value is checked
// with the dialogue's rules, rows are applied all or none, each final grade
// is recomputed and kept even when lower, and every change goes on the
// grade history with the sheet's name and the reason given.
#ifndef PAUTA_CORRECAO_H
#define PAUTA_CORRECAO_H

#include <string>
#include <string_view>

#include "Importacao.h"

struct PedidoCorrecao {
  int nCurso = 0;
  std::string ficheiro;  // as the command line gave it
  std::string motivo;    // as the command line gave it; empty: none
  bool verificar = false;
};

// The summary line, without line end: "Corrigidos: N valores de M alunos
// (K notas finais desceram)", or "Nada a corrigir"; for a check,
// "Verificado FICHEIRO: N valores de M alunos a corrigir (K notas finais
// desceriam)" or "Verificado FICHEIRO: Nada a corrigir".
std::string textoResumoCorrecao(bool verificar, std::string_view ficheiro,
                                const ResumoImportacao& resumo);

// The correction mode: course nCurso under its lock as the import takes it
// (none for a check), the sheet applied as aplicaFolha does in
// Regime::correcao, its history lines with the origin
// "correcao:FICHEIRO[ motivo:TEXTO]", then the summary on standard output.
// Answers the exit status (estadoFalha on any failure).
int executaCorrecao(const PedidoCorrecao& pedido);

#endif
