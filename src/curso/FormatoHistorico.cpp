#include "FormatoHistorico.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <utility>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "Cp1252.h"
#include "Numeros.h"
#include "Relogio.h"

namespace historico {

namespace {

const size_t numeroCampos = 10;
const size_t digitosVerificacao = 16;
// Bytes of the file read at a time.
const size_t blocoHistorico = 1 << 16;
// The tail first read to find the last line; widened while no whole line
// fits in it.
const size_t janelaInicial = 4096;

// Seconds since 1970-01-01 of a civil date and time taken as UTC (the
// proleptic Gregorian calendar), to find the local time's offset without
// relying on strftime's "%z", which not every C library writes alike.
long long segundosCivis(const std::tm& t) {
  long long ano = t.tm_year + 1900LL;
  const long long mes = t.tm_mon + 1;
  ano -= mes <= 2 ? 1 : 0;
  const long long era = (ano >= 0 ? ano : ano - 399) / 400;
  const long long anoDaEra = ano - era * 400;
  const long long diaDoAno = (153 * (mes + (mes > 2 ? -3 : 9)) + 2) / 5 + t.tm_mday - 1;
  const long long diaDaEra = anoDaEra * 365 + anoDaEra / 4 - anoDaEra / 100 + diaDoAno;
  const long long dias = era * 146097 + diaDaEra - 719468;
  return dias * 86400 + t.tm_hour * 3600LL + t.tm_min * 60LL + t.tm_sec;
}

bool precisaAspas(std::string_view texto) {
  return texto.find_first_of(";\"\r\n") != std::string_view::npos;
}

// A whole field holding a whole number (an optional '-' and digits).
bool leInteiroLongo(std::string_view campo, long long& valor) {
  const char* fim = campo.data() + campo.size();
  const auto [p, erro] = std::from_chars(campo.data(), fim, valor);
  return erro == std::errc() && p == fim;
}

bool eVerificacao(std::string_view texto) {
  if (texto.size() != digitosVerificacao) return false;
  return std::all_of(texto.begin(), texto.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The VERIFICACAO of the nine fields `campos`, as written, after `anterior`.
std::string verificacaoDoTexto(std::string_view anterior, std::string_view campos) {
  std::string bytes;
  bytes.reserve(anterior.size() + 1 + campos.size());
  bytes.append(anterior).append(1, ';').append(campos);
  std::uint64_t valor = XXH3_64bits(bytes.data(), bytes.size());
  std::string hex(digitosVerificacao, '0');
  for (size_t i = digitosVerificacao; i-- > 0; valor >>= 4) hex[i] = "0123456789abcdef"[valor & 15];
  return hex;
}

// The nine fields of `linha` before VERIFICACAO, as they are written.
void acrescentaCampos(std::string& destino, const LinhaHistorico& linha) {
  const std::string* campos[] = {&linha.data,   &linha.utilizador, &linha.maquina,
                                 &linha.origem, &linha.numero,     &linha.uc,
                                 &linha.campo,  &linha.antes,      &linha.depois};
  bool primeiro = true;
  for (const std::string* campo : campos) {
    if (!primeiro) destino += ';';
    primeiro = false;
    acrescentaCampo(destino, *campo);
  }
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

}  // namespace

bool origemDeCorrecao(std::string_view origem) {
  const auto comeca = [&](std::string_view prefixo) {
    return origem.substr(0, prefixo.size()) == prefixo;
  };
  const std::string_view remocao = origemRemocao;
  return comeca(prefixoCorrecao) ||
         (comeca(remocao) && (origem.size() == remocao.size() || origem[remocao.size()] == ' '));
}

std::string dataAgora() {
  const std::time_t instante = instanteAtual();
  std::tm local{};
  if (!horaLocal(instante, local)) return "";
  char texto[32];
  std::strftime(texto, sizeof texto, "%Y-%m-%dT%H:%M:%S", &local);
  const long long deslocamento = segundosCivis(local) - static_cast<long long>(instante);
  const long long minutos = (deslocamento < 0 ? -deslocamento : deslocamento) / 60;
  std::string data = texto;
  data += deslocamento < 0 ? '-' : '+';
  const int horas = static_cast<int>(minutos / 60);
  const int resto = static_cast<int>(minutos % 60);
  data += static_cast<char>('0' + horas / 10);
  data += static_cast<char>('0' + horas % 10);
  data += ':';
  data += static_cast<char>('0' + resto / 10);
  data += static_cast<char>('0' + resto % 10);
  return data;
}

std::string textoValor(float valor) {
  char texto[larguraNumero];
  return std::string(texto, escreveReal(texto, valor));
}

std::string textoOpcao(int opcao) { return std::to_string(opcao); }

void acrescentaCampo(std::string& destino, std::string_view texto) {
  if (!precisaAspas(texto)) {
    destino.append(texto);
    return;
  }
  destino += '"';
  for (char c : texto) {
    if (c == '"') destino += '"';
    destino += c;
  }
  destino += '"';
}

std::string verificacao(std::string_view anterior, const LinhaHistorico& linha) {
  std::string campos;
  acrescentaCampos(campos, linha);
  return verificacaoDoTexto(anterior, campos);
}

void escreveLinhas(std::vector<LinhaHistorico>& linhas, std::string& anterior,
                   std::string& destino) {
  for (LinhaHistorico& linha : linhas) {
    const size_t inicio = destino.size();
    acrescentaCampos(destino, linha);
    linha.verificacao = verificacaoDoTexto(anterior, std::string_view(destino).substr(inicio));
    destino.append(1, ';').append(linha.verificacao).append("\r\n");
    anterior = linha.verificacao;
  }
}

bool leLinha(std::string_view texto, LinhaHistorico& linha) {
  std::string* campos[numeroCampos] = {
      &linha.data, &linha.utilizador, &linha.maquina, &linha.origem, &linha.numero,
      &linha.uc,   &linha.campo,      &linha.antes,   &linha.depois, &linha.verificacao};
  size_t i = 0;
  for (size_t n = 0; n < numeroCampos; ++n) {
    std::string& campo = *campos[n];
    campo.clear();
    if (i < texto.size() && texto[i] == '"') {
      for (++i;; ++i) {
        if (i >= texto.size()) return false;
        if (texto[i] == '"') {
          if (i + 1 < texto.size() && texto[i + 1] == '"') {
            ++i;
          } else {
            ++i;
            break;
          }
        }
        campo += texto[i];
      }
      // Only a cell that needs them is quoted: a line is read only in the
      // one form it is written in, which its VERIFICACAO covers.
      if (!precisaAspas(campo)) return false;
    } else {
      const size_t fim = std::min(texto.find(';', i), texto.size());
      campo.assign(texto.substr(i, fim - i));
      if (campo.find('"') != std::string::npos) return false;
      i = fim;
    }
    const bool ultimo = n + 1 == numeroCampos;
    if (i == texto.size()) return ultimo && eVerificacao(linha.verificacao);
    if (ultimo || texto[i] != ';') return false;
    ++i;
  }
  return false;
}

// --- LeitorHistorico ---

LeitorHistorico::LeitorHistorico(std::string_view conteudo) : dados_(conteudo) {}

LeitorHistorico::LeitorHistorico() = default;

Estado LeitorHistorico::abre(const std::string& nome) {
  Estado leitura = ficheiro_.abre(nome);
  buffer_.clear();
  dados_ = buffer_;
  inicio_ = 0;
  descartados_ = 0;
  deFicheiro_ = leitura.ok();
  esgotado_ = !deFicheiro_;
  numero_ = 0;
  proximoNumero_ = 1;
  return leitura;
}

bool LeitorHistorico::leBloco() {
  if (esgotado_) return false;
  buffer_.erase(0, inicio_);
  descartados_ += inicio_;
  inicio_ = 0;
  const size_t antes = buffer_.size();
  buffer_.resize(antes + blocoHistorico);
  size_t lidos = 0;
  Estado lido = ficheiro_.le(&buffer_[antes], blocoHistorico, &lidos);
  if (!lido.ok()) {
    razao_ = std::move(lido);
    erro_ = true;
    lidos = 0;
  }
  buffer_.resize(antes + lidos);
  dados_ = buffer_;
  if (lidos == 0) esgotado_ = true;
  return lidos > 0;
}

bool LeitorHistorico::proxima(std::string_view& linha) {
  size_t i = inicio_;
  bool entreAspas = false;
  long fins = 0;  // line feeds inside the line (in quoted fields)
  for (;;) {
    if (i >= dados_.size()) {
      const size_t lido = i - inicio_;
      const bool mais = leBloco();
      i = inicio_ + lido;
      if (mais) continue;
      if (i == inicio_) return false;
      crlf_ = false;
      break;
    }
    const char c = dados_[i];
    if (c == '"') entreAspas = !entreAspas;
    if (c == '\n') {
      if (!entreAspas && i > inicio_ && dados_[i - 1] == '\r') {
        crlf_ = true;
        break;
      }
      ++fins;
    }
    ++i;
  }
  const size_t fimTexto = crlf_ ? i - 1 : i;
  linha = dados_.substr(inicio_, fimTexto - inicio_);
  posicao_ = descartados_ + inicio_;
  numero_ = proximoNumero_;
  proximoNumero_ += fins + 1;
  inicio_ = crlf_ ? i + 1 : i;
  return true;
}

// --- Checking ---

ResultadoVerificacao verifica(LeitorHistorico& leitor) {
  ResultadoVerificacao resultado;
  std::string_view texto;
  const bool primeira = leitor.proxima(texto);
  if (leitor.erroLeitura()) {
    resultado.estado = EstadoVerificacao::ilegivel;
    resultado.razao = leitor.razaoErro();
    return resultado;
  }
  if (!primeira || texto != cabecalho || !leitor.terminadaCrLf()) {
    resultado.estado = EstadoVerificacao::semCabecalho;
    resultado.linha = 1;
    return resultado;
  }
  std::string anterior = verificacaoInicial;
  LinhaHistorico linha;
  while (leitor.proxima(texto)) {
    resultado.linha = leitor.numeroLinha();
    if (!leitor.terminadaCrLf()) {
      resultado.estado = EstadoVerificacao::cortada;
      return resultado;
    }
    if (!leLinha(texto, linha) ||
        verificacaoDoTexto(anterior, texto.substr(0, texto.rfind(';'))) != linha.verificacao) {
      resultado.estado = EstadoVerificacao::alterada;
      return resultado;
    }
    anterior = linha.verificacao;
    ++resultado.linhas;
  }
  if (leitor.erroLeitura()) {
    resultado.estado = EstadoVerificacao::ilegivel;
    resultado.razao = leitor.razaoErro();
    return resultado;
  }
  resultado.linha = 0;
  return resultado;
}

ResultadoVerificacao verificaFicheiro(const std::string& nome) {
  LeitorHistorico leitor;
  ResultadoVerificacao resultado;
  resultado.razao = leitor.abre(nome);
  if (resultado.razao.ok()) return verifica(leitor);
  const bool existe = resultado.razao.causa() != Causa::naoExiste;
  resultado.estado = existe ? EstadoVerificacao::ilegivel : EstadoVerificacao::inexistente;
  return resultado;
}

// --- IndiceHistorico ---

Estado IndiceHistorico::abre(const std::string& nome) {
  entradas_.clear();
  LeitorHistorico leitor;
  Estado aberto = leitor.abre(nome);
  if (!aberto.ok()) return aberto;
  std::string_view texto;
  if (!leitor.proxima(texto) || texto != cabecalho || !leitor.terminadaCrLf()) {
    if (leitor.erroLeitura()) return leitor.razaoErro();
    return Estado(Causa::historicoInvalido, nome);
  }
  LinhaHistorico linha;
  while (leitor.proxima(texto)) {
    long long numero = 0;
    if (!leLinha(texto, linha) || !leInteiroLongo(linha.numero, numero)) continue;
    entradas_.push_back({numero, leitor.posicao(), texto.size()});
  }
  if (leitor.erroLeitura()) return leitor.razaoErro();
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

// --- Appending ---

EstadoFim ultimaVerificacao(const std::string& nome, std::string& anterior, Estado* razao) {
  LeituraPorBlocos ficheiro;
  *razao = ficheiro.abre(nome);
  if (razao->causa() == Causa::naoExiste) return EstadoFim::inexistente;
  if (!razao->ok()) return EstadoFim::invalido;
  const std::string_view inicio = inicioFicheiro;
  std::string lido;
  *razao = leBytes(ficheiro, inicio.size(), lido);
  if (!razao->ok()) return EstadoFim::invalido;
  if (lido != inicio) {
    *razao = Estado(Causa::historicoInvalido, nome);
    return EstadoFim::invalido;
  }
  const std::uint64_t tamanho = ficheiro.tamanhoAoAbrir();
  LinhaHistorico linha;
  for (std::uint64_t janela = janelaInicial;; janela *= 4) {
    const std::uint64_t desde = tamanho > inicio.size() + janela ? tamanho - janela : inicio.size();
    std::string cauda;
    *razao = ficheiro.posiciona(desde);
    if (razao->ok()) *razao = leBytes(ficheiro, static_cast<size_t>(tamanho - desde), cauda);
    if (!razao->ok()) return EstadoFim::invalido;
    if (cauda.size() != tamanho - desde) break;  // it shrank while being read
    if (cauda.empty()) {
      anterior = verificacaoInicial;
      return EstadoFim::valido;
    }
    if (cauda.size() < 2 || cauda.compare(cauda.size() - 2, 2, "\r\n") != 0) break;
    // The last line starts after the nearest CR LF that leaves a readable
    // line (a quoted field may hold a CR LF of its own), or at the window's
    // start when that is the end of the header.
    const size_t fim = cauda.size() - 2;
    for (size_t p = fim; p-- > 0;) {
      const bool comeco =
          p == 0 ? desde == inicio.size() : cauda[p - 1] == '\n' && p >= 2 && cauda[p - 2] == '\r';
      if (comeco && leLinha(std::string_view(cauda).substr(p, fim - p), linha)) {
        anterior = linha.verificacao;
        return EstadoFim::valido;
      }
    }
    if (desde == inicio.size()) break;
  }
  *razao = Estado(Causa::historicoInvalido, nome);
  return EstadoFim::invalido;
}

namespace {

// acrescentaCampo, with a plain loop for the short fields of every line.
void acrescentaCampoCurto(std::string& destino, std::string_view texto) {
  for (char c : texto) {
    if (c == ';' || c == '"' || c == '\r' || c == '\n') {
      acrescentaCampo(destino, texto);
      return;
    }
  }
  destino.append(texto);
}

}  // namespace

EscritorLinhas::EscritorLinhas(const LinhaHistorico& comum, std::string_view anterior) {
  for (const std::string* campo : {&comum.data, &comum.utilizador, &comum.maquina, &comum.origem}) {
    acrescentaCampo(prefixo_, *campo);
    prefixo_ += ';';
  }
  bytes_.assign(anterior);
  bytes_ += ';';
}

void EscritorLinhas::escreve(const LinhaHistorico& linha, std::string& destino) {
  const size_t inicio = digitosVerificacao + 1;
  bytes_.resize(inicio);
  bytes_ += prefixo_;
  for (const std::string* campo : {&linha.numero, &linha.uc, &linha.campo, &linha.antes}) {
    acrescentaCampoCurto(bytes_, *campo);
    bytes_ += ';';
  }
  acrescentaCampoCurto(bytes_, linha.depois);
  std::uint64_t valor = XXH3_64bits(bytes_.data(), bytes_.size());
  destino.append(bytes_, inicio, std::string::npos);
  destino += ';';
  // The new VERIFICACAO, written in the line and kept as the next one's start.
  for (size_t i = digitosVerificacao; i-- > 0; valor >>= 4)
    bytes_[i] = "0123456789abcdef"[valor & 15];
  destino.append(bytes_, 0, digitosVerificacao);
  destino += "\r\n";
}

}  // namespace historico
