// End-to-end scenarios: the real pauta binary run in a fresh temporary directory holding given
// data files. PAUTA_EXECUTAVEL may name another command to run (e.g. "wine pauta.exe"); with
// PAUTA_SAIDA_CRLF set, the CR LF line ends of a Windows console are read back as LF; with
// PAUTA_REPETE_ARRANQUE set, a run that ended before pauta started (no output at all, a status
// pauta never gives) is made once more.
#ifndef PAUTA_TESTES_CENARIO_H
#define PAUTA_TESTES_CENARIO_H

#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct Resultado {
  std::string saida, erros;  // standard output and error, byte for byte
  int estado;                // exit status (-1 when the process did not exit)
};

class Cenario {  // a scratch working directory, removed on destruction
 public:
  Cenario();
  ~Cenario();
  Cenario(const Cenario&) = delete;
  Cenario& operator=(const Cenario&) = delete;
  void escreve(const std::string& nome, const std::string& conteudo) const;
  void copiaExemplos(int curso = 12) const;  // the data files of an example course
  // Runs pauta with LC_ALL=`locale` (left as it is when PAUTA_EXECUTAVEL names another command).
  Resultado executa(const std::string& entrada, const std::vector<std::string>& args = {},
                    const std::string& locale = "C") const;
  // Later runs read the clock at `instante` (the test build of pauta, which takes it from
  // PAUTA_RELOGIO), so that their dates compare across runs; a command named by
  // PAUTA_EXECUTAVEL runs on the real clock.
  void fixaRelogio(std::time_t instante) { relogio_ = instante; }
  std::string le(const std::string& nome) const;
  bool existe(const std::string& nome) const { return std::filesystem::exists(dir_ / nome); }
  // name -> content of every file (but the empty companions "*.seccao" of the courses' critical
  // sections, which stay once used)
  std::map<std::string, std::string> ficheiros() const;
  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path raiz_, dir_;  // raiz_ holds dir_ and the standard streams' files
  std::optional<std::time_t> relogio_;
};

std::string leFicheiro(const std::filesystem::path& caminho);  // binary; "" if unreadable
std::string exemplo(const std::string& nome);                  // an example course file
std::string comandoPauta();            // the shell command that starts pauta
std::string semCr(std::string texto);  // CR LF read back as LF, if PAUTA_SAIDA_CRLF is set

#endif
