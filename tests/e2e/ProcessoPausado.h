// A pauta process of the build with pause points (pauta_pausas), started in the background in a
// scenario and stopped at named points until the test lets it go (FIFOs, no sleeping): the
// interleavings of processes and the moments of a kill are driven, never timed.
#ifndef PAUTA_TESTES_PROCESSOPAUSADO_H
#define PAUTA_TESTES_PROCESSOPAUSADO_H

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Cenario.h"

// A pauta process started in the background, with pause points.
class ProcessoPausado {
 public:
  // Starts pauta_pausas in the scenario with `entrada` on standard input, stopping at each point
  // of `pontos` (comma-separated) until released; `ambiente` adds variables ("NAME=VALUE").
  ProcessoPausado(const Cenario& c, const std::string& nome, const std::string& entrada,
                  const std::vector<std::string>& args, const std::string& pontos,
                  const std::vector<std::string>& ambiente = {})
      : raiz_(c.dir().parent_path()), canal_((raiz_ / nome).string()) {
    for (const std::string& ponto : separa(pontos)) {
      mkfifo((canal_ + "." + ponto + ".chegou").c_str(), 0600);
      mkfifo((canal_ + "." + ponto + ".continua").c_str(), 0600);
    }
    const std::string in = canal_ + ".in";
    c.escreve("../" + nome + ".in", entrada);
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(c.dir().c_str()) != 0) _exit(126);
      setenv("PAUTA_PAUSA", pontos.c_str(), 1);
      setenv("LC_ALL", "C", 1);  // the modes' messages in CP1252, as the tests expect
      setenv("PAUTA_PAUSA_CANAL", canal_.c_str(), 1);
      for (const std::string& variavel : ambiente) {
        const size_t igual = variavel.find('=');
        setenv(variavel.substr(0, igual).c_str(), variavel.substr(igual + 1).c_str(), 1);
      }
      const int fdIn = open(in.c_str(), O_RDONLY);
      const int fdOut = open((canal_ + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int fdErr = open((canal_ + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(fdIn, 0);
      dup2(fdOut, 1);
      dup2(fdErr, 2);
      std::vector<char*> argv{const_cast<char*>(PAUTA_BINARIO_PAUSAS)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(PAUTA_BINARIO_PAUSAS, argv.data());
      _exit(127);
    }
  }
  ~ProcessoPausado() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  ProcessoPausado(const ProcessoPausado&) = delete;
  ProcessoPausado& operator=(const ProcessoPausado&) = delete;

  // Waits (at most a minute, as a guard against a hang) until the process stops at `ponto`.
  bool chegou(const std::string& ponto) {
    const int fd = open((canal_ + "." + ponto + ".chegou").c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    pollfd p{fd, POLLIN, 0};
    bool ok = poll(&p, 1, 60000) == 1 && (p.revents & POLLIN);
    char c;
    ok = ok && read(fd, &c, 1) == 1;
    close(fd);
    return ok;
  }
  // Lets the process go on from `ponto`.
  void liberta(const std::string& ponto) {
    const int fd = open((canal_ + "." + ponto + ".continua").c_str(), O_WRONLY);
    if (fd >= 0) {
      (void)!write(fd, "1", 1);
      close(fd);
    }
  }
  // Waits for the end of the process (estado -1 when a signal killed it).
  Resultado fim() {
    int estado = 0;
    waitpid(pid_, &estado, 0);
    pid_ = -1;
    return Resultado{leFicheiro(canal_ + ".out"), leFicheiro(canal_ + ".err"),
                     WIFEXITED(estado) ? WEXITSTATUS(estado) : -1};
  }
  pid_t pid() const { return pid_; }

 private:
  static std::vector<std::string> separa(const std::string& pontos) {
    std::vector<std::string> r;
    std::string atual;
    for (char c : pontos + ",") {
      if (c != ',') {
        atual += c;
      } else if (!atual.empty()) {
        r.push_back(atual);
        atual.clear();
      }
    }
    return r;
  }

  std::filesystem::path raiz_;
  std::string canal_;
  pid_t pid_ = -1;
};

#endif
