#include "Cenario.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string aspas(const std::string& texto) {
  std::string r = "'";
  for (char c : texto) {
    if (c == '\'') {
      r += "'\\''";
    } else {
      r += c;
    }
  }
  return r + "'";
}

std::string comandoPauta() {
  const char* env = std::getenv("PAUTA_EXECUTAVEL");
  if (env != nullptr && *env != '\0') return env;
  return aspas(PAUTA_BINARIO);
}

void escreveBinario(const fs::path& caminho, const std::string& conteudo) {
  std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
  f.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
  if (!f) throw std::runtime_error("cannot write " + caminho.string());
}

std::string semCr(const std::string& texto) {
  std::string r;
  r.reserve(texto.size());
  for (size_t i = 0; i < texto.size(); ++i) {
    if (texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') continue;
    r += texto[i];
  }
  return r;
}

}  // namespace

std::string leFicheiroBinario(const fs::path& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string exemplo(const std::string& nome) {
  return leFicheiroBinario(fs::path(PAUTA_EXEMPLOS) / nome);
}

Cenario::Cenario() {
  std::random_device rd;
  std::mt19937_64 gerador(rd());
  for (;;) {
    raiz_ = fs::temp_directory_path() / ("pauta-e2e-" + std::to_string(gerador()));
    if (fs::create_directory(raiz_)) break;
  }
  dir_ = raiz_ / "curso";
  fs::create_directory(dir_);
}

Cenario::~Cenario() {
  std::error_code erro;
  fs::permissions(raiz_, fs::perms::owner_all, fs::perm_options::add, erro);
  fs::remove_all(raiz_, erro);
}

void Cenario::escreve(const std::string& nome, const std::string& conteudo) const {
  escreveBinario(dir_ / nome, conteudo);
}

void Cenario::copiaExemplos() const {
  for (const auto& entrada : fs::directory_iterator(PAUTA_EXEMPLOS)) {
    if (entrada.is_regular_file()) fs::copy_file(entrada.path(), dir_ / entrada.path().filename());
  }
}

Resultado Cenario::executa(const std::string& entrada, const std::vector<std::string>& argumentos) const {
  const fs::path ficheiroEntrada = raiz_ / "stdin";
  const fs::path ficheiroSaida = raiz_ / "stdout";
  const fs::path ficheiroErros = raiz_ / "stderr";
  escreveBinario(ficheiroEntrada, entrada);
  std::string comando = "cd " + aspas(dir_.string()) + " && " + comandoPauta();
  for (const std::string& a : argumentos) comando += " " + aspas(a);
  comando += " < " + aspas(ficheiroEntrada.string()) + " > " + aspas(ficheiroSaida.string()) +
             " 2> " + aspas(ficheiroErros.string());
  int bruto = std::system(comando.c_str());
  Resultado r;
#ifdef _WIN32
  r.estado = bruto;
#else
  r.estado = WIFEXITED(bruto) ? WEXITSTATUS(bruto) : -1;
#endif
  r.saida = leFicheiroBinario(ficheiroSaida);
  r.erros = leFicheiroBinario(ficheiroErros);
  if (std::getenv("PAUTA_SAIDA_CRLF") != nullptr) {
    r.saida = semCr(r.saida);
    r.erros = semCr(r.erros);
  }
  return r;
}

std::string Cenario::le(const std::string& nome) const { return leFicheiroBinario(dir_ / nome); }

bool Cenario::existe(const std::string& nome) const { return fs::exists(dir_ / nome); }

std::map<std::string, std::string> Cenario::ficheiros() const {
  std::map<std::string, std::string> mapa;
  for (const auto& entrada : fs::directory_iterator(dir_)) {
    if (entrada.is_regular_file()) mapa[entrada.path().filename().string()] = leFicheiroBinario(entrada.path());
  }
  return mapa;
}
