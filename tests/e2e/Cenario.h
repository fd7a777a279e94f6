// End-to-end scenarios: the real pauta binary run in a fresh temporary
// directory holding given data files, with a scripted standard input.
#ifndef PAUTA_TESTES_CENARIO_H
#define PAUTA_TESTES_CENARIO_H

#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct Resultado {
  std::string saida;  // standard output, byte for byte
  std::string erros;  // standard error
  int estado;         // exit status (-1 when the process did not exit)
};

// A scratch working directory, removed on destruction. The binary is the
// one built with the tests, unless the environment variable PAUTA_EXECUTAVEL
// names another command (for example "wine /path/pauta.exe"); with
// PAUTA_SAIDA_CRLF set, the CR LF line ends of a Windows console are read
// back as LF.
class Cenario {
 public:
  Cenario();
  ~Cenario();
  Cenario(const Cenario&) = delete;
  Cenario& operator=(const Cenario&) = delete;

  // Writes a file (bytes as given) into the working directory.
  void escreve(const std::string& nome, const std::string& conteudo) const;
  // Copies the example course into the working directory.
  void copiaExemplos() const;
  // Runs pauta with `entrada` as standard input and the given arguments.
  Resultado executa(const std::string& entrada, const std::vector<std::string>& argumentos = {}) const;

  std::string le(const std::string& nome) const;
  bool existe(const std::string& nome) const;
  // Name -> content of every regular file in the working directory.
  std::map<std::string, std::string> ficheiros() const;
  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path raiz_;  // holds dir_ and the stdin/stdout files
  std::filesystem::path dir_;
};

// Reads a whole file in binary mode ("" if it cannot be read).
std::string leFicheiroBinario(const std::filesystem::path& caminho);

// The example course files, as shipped.
std::string exemplo(const std::string& nome);

#endif
