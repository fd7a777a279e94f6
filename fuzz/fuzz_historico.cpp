// Fuzz target of the history reader. The input is read as a history file:
// by the check of the whole chain (in memory, and from a file by blocks)
// and by the next writer's reading of its head and tail. Every line that
// reads as a data line must be written back by the writer to the very same
// fields; a line the check accepts must be written back to the same bytes;
// the two readings of the whole file must agree; and when the check accepts
// every whole line, the writer's reading must find the same last
// VERIFICACAO, and a line appended after its cut must check too.
#include <algorithm>
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
#include "FimHistorico.h"
#include "FormatoHistorico.h"
#include "LeituraHistorico.h"

using historico::LinhaHistorico;

namespace {

bool mesmosCampos(const LinhaHistorico& a, const LinhaHistorico& b) {
  return a.data == b.data && a.utilizador == b.utilizador && a.maquina == b.maquina &&
         a.origem == b.origem && a.numero == b.numero && a.uc == b.uc && a.campo == b.campo &&
         a.antes == b.antes && a.depois == b.depois;
}

// Reads every line; checks the writer's round trip of those that read.
// Sets `ultima` to the VERIFICACAO of the last line that chains from the
// start.
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

// The next writer's reading of `conteudo`.
historico::FimHistorico fimDe(const std::string& conteudo) {
  historico::FimHistorico fim;
  const Estado lido = historico::examinaFim(
      conteudo.size(),
      [&conteudo](std::uint64_t posicao, std::size_t maximo, std::string* texto) {
        *texto = posicao < conteudo.size() ? conteudo.substr(posicao, maximo) : std::string();
        return Estado();
      },
      &fim);
  VERIFICA(lido.ok(), TXT("a leitura do fim falhou em memória"));
  return fim;
}

// Appends one line after the writer's cut of `conteudo`, as a save would.
std::string acrescentado(const std::string& conteudo, const historico::FimHistorico& fim) {
  std::string texto = conteudo.substr(0, fim.semCabecalho ? 0 : fim.corte);
  if (fim.semCabecalho) texto = historico::inicioFicheiro;
  LinhaHistorico comum{"d", "u", "m", "o", "", "", "", "", "", ""};
  const std::string anterior = fim.semCabecalho ? historico::verificacaoInicial : fim.anterior;
  const std::string fimLinha = fim.semCabecalho ? historico::fimLinhaCrLf : fim.fimLinha;
  historico::EscritorLinhas escritor(comum, anterior, fimLinha);
  escritor.escreveMarca(historico::Marca::reparada, "1", "", texto);
  return texto;
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
  const historico::ResultadoVerificacao doFicheiro = historico::verificaFicheiro(nome);
  std::remove(nome.c_str());
  VERIFICA(doFicheiro.estado == resultado.estado && doFicheiro.linha == resultado.linha &&
               doFicheiro.linhas == resultado.linhas,
           TXT("a leitura por blocos difere da leitura em memória"));

  const historico::FimHistorico fim = fimDe(conteudo);
  const bool valido = resultado.estado == historico::EstadoVerificacao::valido;
  // Every whole line checks and only the last one lacks its line end: the
  // line cut short is the file's last line (no line feed in it, not even in
  // quotes, or the two readings may place its start apart).
  const long finsDeLinha = static_cast<long>(std::count(conteudo.begin(), conteudo.end(), '\n'));
  const bool cortadoNoFim = resultado.estado == historico::EstadoVerificacao::cortada &&
                            resultado.linha == finsDeLinha + 1;
  if (valido || cortadoNoFim) {
    VERIFICA(fim.dano == historico::Dano::nenhum,
             TXT("um histórico válido foi dado por danificado"));
    if (valido && !conteudo.empty()) {
      VERIFICA(fim.corte == conteudo.size(), TXT("um histórico válido seria cortado"));
      VERIFICA(fim.anterior == ultima, TXT("a última VERIFICACAO difere"));
    }
    const std::string depois = acrescentado(conteudo, fim);
    historico::LeitorHistorico releitor(depois);
    VERIFICA(historico::verifica(releitor).estado == historico::EstadoVerificacao::valido,
             TXT("a linha acrescentada depois do corte não verifica"));
  }
  return 0;
}
