// Fuzz target of the history reader. The input is read as a history file:
// in memory, by the check of the whole chain, and from a file, by the
// writer's reading of its head and tail. Every line that reads as a data
// line must be written back by the writer to the very same fields; a line
// the check accepts must be written back to the same bytes; and when the
// check accepts the whole file, the head-and-tail reading must accept it
// too and find the same last VERIFICACAO.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ApoioFuzz.h"
#include "Cp1252.h"
#include "Ficheiros.h"
#include "FormatoHistorico.h"

using historico::LinhaHistorico;

namespace {

bool mesmosCampos(const LinhaHistorico& a, const LinhaHistorico& b) {
  return a.data == b.data && a.utilizador == b.utilizador && a.maquina == b.maquina &&
         a.origem == b.origem && a.numero == b.numero && a.uc == b.uc && a.campo == b.campo &&
         a.antes == b.antes && a.depois == b.depois;
}

// Reads every line; checks the writer's round trip of those that read.
// Answers the VERIFICACAO of the last line that chains from the start.
void verificaLinhas(std::string_view conteudo, const historico::ResultadoVerificacao& resultado,
                    std::string& ultima) {
  historico::LeitorHistorico leitor(conteudo);
  std::string_view texto;
  std::string anterior = historico::verificacaoInicial;
  ultima = anterior;
  long valida = 0;  // data lines read that the check accepted
  bool primeira = true;
  while (leitor.proxima(texto)) {
    if (primeira) {
      primeira = false;
      continue;
    }
    std::vector<LinhaHistorico> linhas(1);
    if (!historico::leLinha(texto, linhas[0])) continue;
    const LinhaHistorico lida = linhas[0];
    std::string escrito;
    std::string cadeia = anterior;
    historico::escreveLinhas(linhas, cadeia, escrito);
    LinhaHistorico relida;
    VERIFICA(
        escrito.size() >= 2 &&
            historico::leLinha(std::string_view(escrito).substr(0, escrito.size() - 2), relida),
        TXT("a linha escrita não se lê"));
    VERIFICA(mesmosCampos(lida, relida), "a linha relida difere");
    const bool aceite = resultado.estado == historico::EstadoVerificacao::valido ||
                        leitor.numeroLinha() < resultado.linha;
    if (aceite) {
      // The check covers the bytes as they stand; a line in the form the
      // writer gives carries the VERIFICACAO the writer computes.
      if (escrito == std::string(texto) + "\r\n") {
        VERIFICA(lida.verificacao == cadeia, "VERIFICACAO aceite difere da calculada");
      }
      anterior = lida.verificacao;
      ultima = lida.verificacao;
      ++valida;
    }
  }
  if (resultado.estado == historico::EstadoVerificacao::valido) {
    VERIFICA(valida == resultado.linhas, "contagem de linhas verificadas");
  }
}

// A file of this process in the system's temporary folder.
std::string nomeTemporario() {
  const std::string proprio = "fuzz-historico-" + std::to_string(processoAtual()) + ".txt";
  return (std::filesystem::temp_directory_path() / proprio).string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
  const std::string conteudo(reinterpret_cast<const char*>(dados), tamanho);
  historico::LeitorHistorico leitor(conteudo);
  const historico::ResultadoVerificacao resultado = historico::verifica(leitor);
  std::string ultima;
  verificaLinhas(conteudo, resultado, ultima);

  const std::string nome = nomeTemporario();
  std::ofstream(nome, std::ios::binary | std::ios::trunc) << conteudo;
  std::string anterior;
  Estado razao;
  const historico::EstadoFim fim = historico::ultimaVerificacao(nome, anterior, &razao);
  const historico::ResultadoVerificacao doFicheiro = historico::verificaFicheiro(nome);
  std::remove(nome.c_str());
  VERIFICA(doFicheiro.estado == resultado.estado && doFicheiro.linha == resultado.linha &&
               doFicheiro.linhas == resultado.linhas,
           TXT("a leitura por blocos difere da leitura em memória"));
  if (resultado.estado == historico::EstadoVerificacao::valido) {
    VERIFICA(fim == historico::EstadoFim::valido, TXT("um histórico válido foi recusado"));
    VERIFICA(anterior == ultima, TXT("a última VERIFICACAO difere"));
  }
  return 0;
}
