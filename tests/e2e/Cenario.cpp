#include "Cenario.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#ifndef _WIN32
#include <sys/wait.h>
#endif
namespace fs = std::filesystem;

static std::string aspas(const std::string& texto) {
  std::string r = "'";
  for (char c : texto) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

static void escreveEm(const fs::path& caminho, const std::string& conteudo) {
  std::ofstream f(caminho, std::ios::binary);
  if (!(f << conteudo)) throw std::runtime_error("cannot write " + caminho.string());
}

std::string leFicheiro(const fs::path& caminho) {
  std::ostringstream o;
  o << std::ifstream(caminho, std::ios::binary).rdbuf();
  return o.str();
}
std::string exemplo(const std::string& nome) { return leFicheiro(fs::path(PAUTA_EXEMPLOS) / nome); }

std::string comandoPauta() {
  const char* env = std::getenv("PAUTA_EXECUTAVEL");
  return env != nullptr && *env != '\0' ? env : aspas(PAUTA_BINARIO);
}
std::string semCr(std::string t) {
  if (std::getenv("PAUTA_SAIDA_CRLF") == nullptr) return t;
  for (size_t p = 0; (p = t.find("\r\n", p)) != std::string::npos;) t.erase(p, 1);
  return t;
}

Cenario::Cenario() {
  std::mt19937_64 gerador(std::random_device{}());
  do {
    raiz_ = fs::temp_directory_path() / ("pauta-e2e-" + std::to_string(gerador()));
  } while (!fs::create_directory(raiz_));
  fs::create_directory(dir_ = raiz_ / "curso");
}
Cenario::~Cenario() {
  std::error_code erro;
  fs::permissions(raiz_, fs::perms::owner_all, fs::perm_options::add, erro);
  fs::remove_all(raiz_, erro);
}

void Cenario::escreve(const std::string& nome, const std::string& conteudo) const {
  escreveEm(dir_ / nome, conteudo);
}

void Cenario::copiaExemplos(int curso) const {
  const std::string prefixo = std::to_string(curso) + "-";
  for (const auto& e : fs::directory_iterator(PAUTA_EXEMPLOS)) {
    // The course's data files only (examples/ also holds another course and a picture of a
    // report).
    const std::string nome = e.path().filename().string();
    if (e.is_regular_file() && e.path().extension() == ".txt" && nome.rfind(prefixo, 0) == 0) {
      fs::copy_file(e.path(), dir_ / nome);
    }
  }
}

Resultado Cenario::executa(const std::string& entrada, const std::vector<std::string>& args,
                           const std::string& locale) const {
  const fs::path in = raiz_ / "stdin", out = raiz_ / "stdout", err = raiz_ / "stderr";
  escreveEm(in, entrada);
  // The modes' messages follow the locale: the tests fix it (wine needs the caller's own).
  const char* outro = std::getenv("PAUTA_EXECUTAVEL");
  const bool nativo = outro == nullptr || *outro == '\0';
  std::string cmd = "cd " + aspas(dir_.string()) + " && ";
  if (nativo) cmd += "LC_ALL=" + aspas(locale) + " ";
  if (nativo && relogio_) {
    cmd += "PAUTA_RELOGIO=" + std::to_string(static_cast<long long>(*relogio_)) + " ";
    cmd += aspas(PAUTA_BINARIO_PAUSAS);
  } else {
    cmd += comandoPauta();
  }
  for (const std::string& a : args) cmd += " " + aspas(a);
  cmd += " < " + aspas(in.string()) + " > " + aspas(out.string()) + " 2> " + aspas(err.string());
  const auto corre = [&] {
    const int bruto = std::system(cmd.c_str());
#ifdef _WIN32
    const int estado = bruto;
#else
    const int estado = WIFEXITED(bruto) ? WEXITSTATUS(bruto) : -1;
#endif
    return Resultado{semCr(leFicheiro(out)), semCr(leFicheiro(err)), estado};
  };
  Resultado r = corre();
  // Under wine a start now and then fails before pauta runs: wine exits 1 without a byte on
  // either stream. pauta itself always prints something and exits 0 or 2, so with
  // PAUTA_REPETE_ARRANQUE set such a run, and no other, is made once more.
  const bool naoArrancou = r.saida.empty() && r.erros.empty() && r.estado != 0 && r.estado != 2;
  if (naoArrancou && std::getenv("PAUTA_REPETE_ARRANQUE") != nullptr) {
    std::fprintf(stderr, "(pauta did not start: status %d and no output; started again)\n",
                 r.estado);
    r = corre();
  }
  return r;
}
std::string Cenario::le(const std::string& nome) const { return leFicheiro(dir_ / nome); }
std::map<std::string, std::string> Cenario::ficheiros() const {
  std::map<std::string, std::string> mapa;
  for (const auto& e : fs::directory_iterator(dir_)) {
    const std::string nome = e.path().filename().string();
    // The empty companion of a course's critical section stays for good
    // once a save or a lock has used it; it holds nothing.
    const bool companheiro = nome.size() > 7 && nome.compare(nome.size() - 7, 7, ".seccao") == 0 &&
                             e.is_regular_file() && fs::file_size(e.path()) == 0;
    if (e.is_regular_file() && !companheiro) mapa[nome] = leFicheiro(e.path());
  }
  return mapa;
}
