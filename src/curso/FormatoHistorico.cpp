#include "FormatoHistorico.h"

#include <algorithm>
#include <ctime>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "Cp1252.h"
#include "Numeros.h"
#include "Relogio.h"

namespace historico {

namespace {

const size_t numeroCampos = 10;
const size_t digitosVerificacao = 16;

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

bool eVerificacao(std::string_view texto) {
  if (texto.size() != digitosVerificacao) return false;
  return std::all_of(texto.begin(), texto.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The VERIFICACAO of the nine fields `campos`, as written, after `anterior`.
std::string verificacaoDosCampos(std::string_view anterior, std::string_view campos) {
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
  return verificacaoDosCampos(anterior, campos);
}

void escreveLinhas(std::vector<LinhaHistorico>& linhas, std::string& anterior,
                   std::string& destino) {
  for (LinhaHistorico& linha : linhas) {
    const size_t inicio = destino.size();
    acrescentaCampos(destino, linha);
    linha.verificacao = verificacaoDosCampos(anterior, std::string_view(destino).substr(inicio));
    destino.append(1, ';').append(linha.verificacao).append("\r\n");
    anterior = linha.verificacao;
  }
}

bool leLinha(std::string_view texto, LinhaHistorico& linha) {
  if (texto.size() > limiteLinha) return false;
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

std::string verificacaoDoTexto(std::string_view anterior, std::string_view texto) {
  return verificacaoDosCampos(anterior, texto.substr(0, texto.rfind(';')));
}

Marca marcaDe(const LinhaHistorico& linha) {
  if (!linha.numero.empty()) return Marca::valor;
  for (Marca marca :
       {Marca::inicio, Marca::identidade, Marca::concluida, Marca::anulada, Marca::reparada}) {
    if (linha.campo == campoMarca(marca)) return marca;
  }
  return Marca::outra;
}

const char* campoMarca(Marca marca) {
  switch (marca) {
    case Marca::inicio:
      return marcaInicio;
    case Marca::identidade:
      return marcaIdentidade;
    case Marca::concluida:
      return marcaConcluida;
    case Marca::anulada:
      return marcaAnulada;
    case Marca::reparada:
      return marcaReparada;
    case Marca::valor:
    case Marca::outra:
      break;
  }
  return "";
}

std::string textoIdentidade(const IdentidadeFicheiro& identidade) {
  if (!identidade.existe) return "-";
  std::string texto = std::to_string(identidade.tamanho) + ":";
  std::string hex(digitosVerificacao, '0');
  std::uint64_t valor = identidade.hash;
  for (size_t i = digitosVerificacao; i-- > 0; valor >>= 4) hex[i] = "0123456789abcdef"[valor & 15];
  return texto + hex;
}

EscritorLinhas::EscritorLinhas(const LinhaHistorico& comum, std::string_view anterior,
                               std::string_view fimLinha)
    : fimLinha_(fimLinha) {
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
  destino += fimLinha_;
}

void EscritorLinhas::escreveMarca(Marca marca, std::string_view antes, std::string_view depois,
                                  std::string& destino) {
  LinhaHistorico linha;
  linha.campo = campoMarca(marca);
  linha.antes.assign(antes);
  linha.depois.assign(depois);
  escreve(linha, destino);
}

std::string_view EscritorLinhas::ultima() const {
  return std::string_view(bytes_).substr(0, digitosVerificacao);
}

}  // namespace historico
