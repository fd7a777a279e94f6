#include "Correcao.h"

#include <iostream>

#include "AlteracaoCurso.h"
#include "Cp1252.h"
#include "Execucao.h"
#include "FormatoHistorico.h"

std::string textoResumoCorrecao(bool verificar, std::string_view ficheiro,
                                const ResumoImportacao& resumo) {
  std::string texto;
  if (verificar) texto.append("Verificado ").append(ficheiro).append(": ");
  if (!resumo.alterado) return texto + "Nada a corrigir";
  if (!verificar) texto += "Corrigidos: ";
  texto += std::to_string(resumo.valoresCorrigidos) + " valores de " +
           std::to_string(resumo.alunosCorrigidos) + " alunos" +
           (verificar ? " a corrigir (" : " (") + std::to_string(resumo.notasDesceram) +
           (verificar ? " notas finais desceriam)" : " notas finais desceram)");
  return texto;
}

int executaCorrecao(const PedidoCorrecao& pedido) {
  const std::string nome = cp1252::deLinhaDeComandos(pedido.ficheiro);
  const PedidoFolha folha{
      pedido.ficheiro, pedido.verificar, Regime::correcao,
      origemComMotivo(historico::prefixoCorrecao + nome, cp1252::deLinhaDeComandos(pedido.motivo))};
  return alteraCurso(
      pedido.nCurso, pedido.verificar, [&](const Listacurso& unidades, Listacurso& estudantes) {
        ResumoImportacao resumo;
        if (!aplicaFolha(folha, pedido.nCurso, unidades, estudantes, resumo)) {
          return estadoFalha;
        }
        std::cout << textoResumoCorrecao(pedido.verificar, nome, resumo) << std::endl;
        return 0;
      });
}
