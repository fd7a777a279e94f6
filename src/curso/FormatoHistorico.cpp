#include "FormatoHistorico.h"

#include <cstdio>
#include <ctime>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace historico {

namespace {

void acrescentaCelula(std::string& d, const std::string& t) {
  if (t.find_first_of(";\"\r\n") == std::string::npos) {
    d += t;
    return;
  }
  d += '"';
  for (char c : t) {
    if (c == '"') d += '"';
    d += c;
  }
  d += '"';
}

void campos(const LinhaHistorico& l, std::string& d) {
  d += l.data;
  d += ';';
  acrescentaCelula(d, l.utilizador);
  d += ';';
  acrescentaCelula(d, l.maquina);
  d += ';';
  acrescentaCelula(d, l.origem);
  d += ';';
  d += l.numero;
  d += ';';
  d += l.uc;
  d += ';';
  d += l.campo;
  d += ';';
  d += l.antes;
  d += ';';
  acrescentaCelula(d, l.depois);
}

}  // namespace

std::string nomeFicheiroHistorico(int nCurso) { return std::to_string(nCurso) + "-Historico.txt"; }

std::string dataAgora() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char b[40];
  std::strftime(b, sizeof b, "%Y-%m-%dT%H:%M:%S%z", &local);
  std::string s = b;
  s.insert(s.size() - 2, ":");
  return s;
}

std::string verificacao(std::string_view anterior, const LinhaHistorico& linha) {
  std::string t(anterior);
  t += ';';
  campos(linha, t);
  char b[17];
  std::snprintf(b, sizeof b, "%016llx", static_cast<unsigned long long>(XXH3_64bits(t.data(), t.size())));
  return b;
}

void escreveLinhas(std::vector<LinhaHistorico>& linhas, std::string& anterior, std::string& destino) {
  for (LinhaHistorico& l : linhas) {
    l.verificacao = verificacao(anterior, l);
    campos(l, destino);
    destino += ';';
    destino += l.verificacao;
    destino += "\r\n";
    anterior = l.verificacao;
  }
}

bool leLinha(std::string_view texto, LinhaHistorico& linha) {
  std::vector<std::string> f(1);
  bool aspas = false;
  for (size_t i = 0; i < texto.size(); ++i) {
    char c = texto[i];
    if (aspas) {
      if (c == '"') {
        if (i + 1 < texto.size() && texto[i + 1] == '"') {
          f.back() += '"';
          ++i;
        } else {
          aspas = false;
        }
      } else {
        f.back() += c;
      }
    } else if (c == '"') {
      aspas = true;
    } else if (c == ';') {
      f.emplace_back();
    } else {
      f.back() += c;
    }
  }
  if (f.size() != 10) return false;
  linha = {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
  return true;
}

}  // namespace historico
