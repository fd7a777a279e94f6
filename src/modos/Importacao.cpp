// The import and correction modes' handling of a sheet: reading the file,
// the summary, the row errors on standard error, and the save through the
// course's lock.
#include "Importacao.h"

#include <algorithm>
#include <iostream>

#include "AlteracaoCurso.h"
#include "Cp1252.h"
#include "Execucao.h"
#include "Ficheiros.h"
#include "FormatoHistorico.h"

namespace {

// Row errors shown at most before "... e mais M erros".
const size_t maximoErrosMostrados = 20;

}  // namespace

std::string textoResumo(bool verificar, std::string_view ficheiro, const ResumoImportacao& resumo) {
  std::string texto = verificar ? "Verificado " : "Importado ";
  texto += ficheiro;
  texto += ": " + std::to_string(resumo.alunosNovos) + " alunos novos, " +
           std::to_string(resumo.notasAlteradas) + " notas alteradas, " +
           std::to_string(resumo.linhasSemAlteracoes) + TXT(" linhas sem alterações");
  return texto;
}

namespace {

const char* recusaSemLinhas(std::string_view texto) {
  if (texto.empty()) return TXT(" está vazio");
  if (texto.substr(0, 2) == "PK") {
    return TXT(" é uma folha de cálculo (xlsx ou ods), não um ficheiro CSV; grave-a como CSV");
  }
  if (cp1252::marcaInicial(texto) == cp1252::Marca::utf16) {
    return TXT(" está em UTF-16; grave-o como CSV em UTF-8 ou CP1252");
  }
  return nullptr;
}

void imprimeErros(const std::vector<std::string>& erros, long linhasComErros,
                  const PedidoFolha& pedido) {
  const size_t mostrados = std::min(erros.size(), maximoErrosMostrados);
  for (size_t i = 0; i < mostrados; ++i) std::cerr << "ERRO: " << erros[i] << std::endl;
  if (erros.size() > mostrados) {
    std::cerr << "... e mais " << erros.size() - mostrados << " erros" << std::endl;
  }
  std::cerr << "ERRO: " << linhasComErros << " linhas com erros";
  if (!pedido.verificar) {
    std::cerr << (pedido.regime == Regime::correcao ? "; nada foi corrigido"
                                                    : "; nada foi importado");
  }
  std::cerr << std::endl;
}

// Reads the file to import, saying why it cannot be read or is no CSV text.
bool leFicheiroImportado(const std::string& ficheiro, std::string& texto) {
  const Estado lido = leFicheiroNormal(ficheiro, &texto);
  if (!lido.ok()) {
    std::cerr << TXT("ERRO: Não foi possivel ler o ficheiro ")
              << cp1252::deLinhaDeComandos(ficheiro) << " (" << textoCausa(lido) << ")"
              << std::endl;
    return false;
  }
  if (const char* recusa = recusaSemLinhas(texto)) {
    std::cerr << "ERRO: " << cp1252::deLinhaDeComandos(ficheiro) << recusa << std::endl;
    return false;
  }
  return true;
}

}  // namespace

bool aplicaFolha(const PedidoFolha& pedido, int nCurso, const Listacurso& unidades,
                 Listacurso& estudantes, ResumoImportacao& resumo) {
  std::string texto;
  if (!leFicheiroImportado(pedido.ficheiro, texto)) return false;
  std::vector<std::string> erros;
  resumo = importaPauta(texto, unidades.getListaUCsCurso(), estudantes.alteraListaEstudantes(),
                        erros, pedido.regime);
  if (!erros.empty()) {
    imprimeErros(erros, resumo.linhasComErros, pedido);
    return false;
  }
  // One write for them all: a correction of a whole course may warn of
  // every final grade.
  std::string avisos;
  for (const std::string& aviso : resumo.avisos) avisos.append(TXT("ATENÇÃO: ")) += aviso + "\n";
  std::cerr << avisos << std::flush;
  return pedido.verificar || !resumo.alterado || gravaAlteracoes(estudantes, nCurso, pedido.origem);
}

int executaImportacao(int nCurso, const std::string& ficheiro, bool verificar) {
  const std::string nome = cp1252::deLinhaDeComandos(ficheiro);
  const PedidoFolha pedido{ficheiro, verificar, Regime::importacao,
                           historico::prefixoImportacao + nome};
  return alteraCurso(nCurso, verificar, [&](const Listacurso& unidades, Listacurso& estudantes) {
    ResumoImportacao resumo;
    if (!aplicaFolha(pedido, nCurso, unidades, estudantes, resumo)) return estadoFalha;
    std::cout << textoResumo(verificar, nome, resumo) << std::endl;
    return 0;
  });
}
