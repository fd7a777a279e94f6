#include "LeituraHistorico.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

namespace historico {

namespace {

// A whole field holding a whole number (an optional '-' and digits).
bool leInteiroLongo(std::string_view campo, long long& valor) {
  const char* fim = campo.data() + campo.size();
  const auto [p, erro] = std::from_chars(campo.data(), fim, valor);
  return erro == std::errc() && p == fim;
}

// Reads `n` bytes or up to the end of the file into `destino`.
Estado leBytes(LeituraPorBlocos& ficheiro, size_t n, std::string& destino) {
  destino.resize(n);
  size_t total = 0;
  while (total < n) {
    size_t lidos = 0;
    Estado lido = ficheiro.le(&destino[total], n - total, &lidos);
    if (!lido.ok()) return lido;
    if (lidos == 0) break;
    total += lidos;
  }
  destino.resize(total);
  return Estado();
}

// How a save asks whether a save left open happened, for a history beside
// `ficheiroEstudantes` (none known: it did).
SeguimentoGravacoes::Feita perguntaAoFicheiro(const std::string& ficheiroEstudantes) {
  if (ficheiroEstudantes.empty()) return {};
  return [ficheiroEstudantes](const IdentidadesGravacao& identidades) {
    return gravacaoFeitaNoFicheiro(identidades, ficheiroEstudantes);
  };
}

}  // namespace

std::string ficheiroDaGravacao(const std::string& origem, const std::string& ficheiroEstudantes) {
  const std::string marca = std::string(" ") + prefixoConflito;
  const size_t p = origem.rfind(marca);
  if (p == std::string::npos) return ficheiroEstudantes;
  std::string conflito = origem.substr(p + marca.size());
  const size_t barra = ficheiroEstudantes.find_last_of("/\\");
  if (barra == std::string::npos) return conflito;
  return ficheiroEstudantes.substr(0, barra + 1) + conflito;
}

bool gravacaoFeita(const IdentidadesGravacao& identidades, const IdentidadeFicheiro& atual) {
  return identidades.depois == textoIdentidade(atual);
}

bool gravacaoFeitaNoFicheiro(const IdentidadesGravacao& identidades,
                             const std::string& ficheiroEstudantes) {
  IdentidadeFicheiro atual;
  const std::string ficheiro = ficheiroDaGravacao(identidades.origem, ficheiroEstudantes);
  if (!identificaFicheiro(ficheiro, &atual).ok()) atual = IdentidadeFicheiro();
  return gravacaoFeita(identidades, atual);
}

// --- SeguimentoGravacoes ---

void SeguimentoGravacoes::anula() {
  anuladas_.emplace_back(inicio_, ultima_);
  aberta_ = Aberta::nenhuma;
}

void SeguimentoGravacoes::segue(const LinhaHistorico& linha, std::uint64_t posicao) {
  switch (marcaDe(linha)) {
    case Marca::valor:
      if (aberta_ == Aberta::valores) ultima_ = posicao;
      // A value after a save's identities (no writer of this version puts
      // one there) leaves that save as it stands.
      if (aberta_ == Aberta::identificada) aberta_ = Aberta::nenhuma;
      break;
    case Marca::inicio:
      // A save still without its identities never replaced the file.
      if (aberta_ == Aberta::valores) anula();
      aberta_ = Aberta::valores;
      inicio_ = ultima_ = posicao;
      break;
    case Marca::identidade:
      if (aberta_ != Aberta::valores) break;
      aberta_ = Aberta::identificada;
      identidades_ = {linha.origem, linha.antes, linha.depois};
      ultima_ = posicao;
      break;
    case Marca::concluida:
      aberta_ = Aberta::nenhuma;
      break;
    case Marca::anulada:
      // Written by a writer that could not tell whether a save was open:
      // with none open it voids nothing.
      if (aberta_ != Aberta::nenhuma) anula();
      break;
    case Marca::reparada:
      ++reparadas_;
      break;
    case Marca::outra:
      break;
  }
}

void SeguimentoGravacoes::termina(const Feita& feita) {
  if (aberta_ == Aberta::valores) anula();
  if (aberta_ == Aberta::identificada && feita && !feita(identidades_)) anula();
  aberta_ = Aberta::nenhuma;
}

long SeguimentoGravacoes::qualAnulada(std::uint64_t posicao) const {
  auto depois =
      std::upper_bound(anuladas_.begin(), anuladas_.end(), posicao,
                       [](std::uint64_t p, const std::pair<std::uint64_t, std::uint64_t>& r) {
                         return p < r.first;
                       });
  if (depois == anuladas_.begin()) return -1;
  --depois;
  if (posicao < depois->first || posicao > depois->second) return -1;
  return static_cast<long>(depois - anuladas_.begin());
}

Estado segueFicheiro(const std::string& nome, const std::string& ficheiroEstudantes,
                     SeguimentoGravacoes* gravacoes) {
  LeitorHistorico leitor;
  Estado aberto = leitor.abre(nome);
  if (!aberto.ok()) return aberto;
  std::string_view texto;
  LinhaHistorico linha;
  while (leitor.proxima(texto)) {
    if (leLinha(texto, linha)) gravacoes->segue(linha, leitor.posicao());
  }
  if (leitor.erroLeitura()) return leitor.razaoErro();
  gravacoes->termina(perguntaAoFicheiro(ficheiroEstudantes));
  return Estado();
}

// --- Checking ---

ResultadoVerificacao verifica(LeitorHistorico& leitor, const SeguimentoGravacoes::Feita& feita) {
  ResultadoVerificacao resultado;
  std::string_view texto;
  const bool primeira = leitor.proxima(texto);
  if (leitor.erroLeitura()) {
    resultado.estado = EstadoVerificacao::ilegivel;
    resultado.razao = leitor.razaoErro();
    return resultado;
  }
  // An empty file holds no line yet; a piece of the header is its first
  // line cut short (a writer that died creating it).
  if (!primeira) return resultado;
  resultado.linha = 1;
  if (!leitor.terminada() && std::string_view(cabecalho).substr(0, texto.size()) == texto) {
    resultado.estado = EstadoVerificacao::cortada;
    return resultado;
  }
  if (texto != cabecalho || !leitor.terminada()) {
    resultado.estado = EstadoVerificacao::semCabecalho;
    return resultado;
  }
  std::string anterior = verificacaoInicial;
  LinhaHistorico linha;
  SeguimentoGravacoes gravacoes;
  while (leitor.proxima(texto)) {
    resultado.linha = leitor.numeroLinha();
    // A line too long to be read is no line cut short, wherever it is.
    if (leitor.demasiadoLonga()) {
      resultado.estado = EstadoVerificacao::alterada;
      return resultado;
    }
    if (!leitor.terminada()) {
      resultado.estado = EstadoVerificacao::cortada;
      return resultado;
    }
    if (!leLinha(texto, linha) || verificacaoDoTexto(anterior, texto) != linha.verificacao) {
      resultado.estado = EstadoVerificacao::alterada;
      return resultado;
    }
    gravacoes.segue(linha, leitor.posicao());
    anterior = linha.verificacao;
    ++resultado.linhas;
  }
  if (leitor.erroLeitura()) {
    resultado.estado = EstadoVerificacao::ilegivel;
    resultado.razao = leitor.razaoErro();
    return resultado;
  }
  gravacoes.termina(feita);
  resultado.anuladas = gravacoes.anuladas();
  resultado.reparadas = gravacoes.reparadas();
  resultado.linha = 0;
  return resultado;
}

ResultadoVerificacao verificaFicheiro(const std::string& nome,
                                      const std::string& ficheiroEstudantes) {
  LeitorHistorico leitor;
  ResultadoVerificacao resultado;
  resultado.razao = leitor.abre(nome);
  if (resultado.razao.ok()) return verifica(leitor, perguntaAoFicheiro(ficheiroEstudantes));
  const bool existe = resultado.razao.causa() != Causa::naoExiste;
  resultado.estado = existe ? EstadoVerificacao::ilegivel : EstadoVerificacao::inexistente;
  return resultado;
}

// --- IndiceHistorico ---

Estado IndiceHistorico::abre(const std::string& nome, const std::string& ficheiroEstudantes) {
  entradas_.clear();
  LeitorHistorico leitor;
  Estado aberto = leitor.abre(nome);
  if (!aberto.ok()) return aberto;
  std::string_view texto;
  const bool primeira = leitor.proxima(texto);
  if (leitor.erroLeitura()) return leitor.razaoErro();
  if (primeira && (texto != cabecalho || !leitor.terminada())) {
    return Estado(Causa::historicoInvalido, nome);
  }
  LinhaHistorico linha;
  SeguimentoGravacoes gravacoes;
  while (leitor.proxima(texto)) {
    long long numero = 0;
    if (!leLinha(texto, linha)) continue;
    gravacoes.segue(linha, leitor.posicao());
    if (marcaDe(linha) != Marca::valor || !leInteiroLongo(linha.numero, numero)) continue;
    entradas_.push_back({numero, leitor.posicao(), texto.size()});
  }
  if (leitor.erroLeitura()) return leitor.razaoErro();
  gravacoes.termina(perguntaAoFicheiro(ficheiroEstudantes));
  entradas_.erase(std::remove_if(entradas_.begin(), entradas_.end(),
                                 [&gravacoes](const Entrada& entrada) {
                                   return gravacoes.anulada(entrada.posicao);
                                 }),
                  entradas_.end());
  std::stable_sort(entradas_.begin(), entradas_.end(), [](const Entrada& a, const Entrada& b) {
    return a.numero != b.numero ? a.numero < b.numero : a.posicao > b.posicao;
  });
  entradas_.shrink_to_fit();
  return ficheiro_.abre(nome);
}

bool IndiceHistorico::linhasDoAluno(long long numero, std::vector<LinhaHistorico>& linhas) {
  linhas.clear();
  auto primeira = std::lower_bound(
      entradas_.begin(), entradas_.end(), numero,
      [](const Entrada& entrada, long long valor) { return entrada.numero < valor; });
  for (; primeira != entradas_.end() && primeira->numero == numero; ++primeira) {
    LinhaHistorico linha;
    if (ficheiro_.posiciona(primeira->posicao).ok() &&
        leBytes(ficheiro_, primeira->tamanho, texto_).ok() && leLinha(texto_, linha)) {
      linhas.push_back(std::move(linha));
    }
  }
  return !linhas.empty();
}

}  // namespace historico
