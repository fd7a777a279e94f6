#include "Gravacao.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool descarregaNoDisco(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

bool escreveTudo(const std::string& nome, const Pedacos& pedacos) {
  std::FILE* f = std::fopen(nome.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = true;
  std::string_view pedaco;
  while (ok && pedacos(pedaco)) {
    ok = std::fwrite(pedaco.data(), 1, pedaco.size(), f) == pedaco.size();
  }
  ok = descarregaNoDisco(f) && ok;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace

bool gravaFicheiroSeguro(const std::string& nome, const std::string& conteudo) {
  bool entregue = false;
  return gravaFicheiroSeguro(nome, [&](std::string_view& pedaco) {
    if (entregue) return false;
    pedaco = conteudo;
    entregue = true;
    return true;
  });
}

bool gravaFicheiroSeguro(const std::string& nome, const Pedacos& pedacos) {
  const std::string temporario = nome + ".tmp";
  std::error_code erro;
  // Never write through whatever stands at the temporary name unless it is
  // a plain file (a directory there must make the save fail, untouched).
  if (std::filesystem::exists(temporario, erro) &&
      !std::filesystem::is_regular_file(temporario, erro)) {
    return false;
  }
  if (!escreveTudo(temporario, pedacos)) {
    std::filesystem::remove(temporario, erro);
    return false;
  }
  std::filesystem::rename(temporario, nome, erro);
  if (erro) {
    std::error_code ignorado;
    std::filesystem::remove(temporario, ignorado);
    return false;
  }
  return true;
}

bool copiaFicheiro(const std::string& origem, const std::string& destino) {
  std::error_code erro;
  std::filesystem::copy_file(origem, destino, std::filesystem::copy_options::overwrite_existing,
                             erro);
  return !erro;
}
