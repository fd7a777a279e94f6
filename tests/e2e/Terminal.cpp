#include "Terminal.h"

#include <cstdlib>
#include <stdexcept>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#endif

#ifdef _WIN32

bool haTerminais() { return false; }
Resultado executaEmTerminal(const Cenario&, const std::string&, const std::vector<std::string>&,
                            bool) {
  throw std::runtime_error("no pseudo-terminals here");
}
Processo::Processo(const Cenario&, const std::vector<std::string>&, bool) {
  throw std::runtime_error("no POSIX processes here");
}
Processo::~Processo() = default;
bool Processo::esperaSaida(const std::string&) { return false; }
void Processo::escreve(const std::string&) const {}
void Processo::sinal(int) const {}
Resultado Processo::termina() { return {"", "", -1}; }

#else

namespace {

const int segundosMaximos = 60;  // a run that takes longer has hung

struct Terminal {
  int mestre = -1, escravo = -1;
};

// A pseudo-terminal that shows bytes as written and echoes nothing typed; canonical input, so
// ^D at the start of a line is the end of input.
Terminal abreTerminal() {
  Terminal t;
  if (openpty(&t.mestre, &t.escravo, nullptr, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  termios modo{};
  tcgetattr(t.escravo, &modo);
  modo.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  modo.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
  tcsetattr(t.escravo, TCSANOW, &modo);
  return t;
}

void escreveTudo(int fd, const std::string& texto) {
  for (size_t feito = 0; feito < texto.size();) {
    const ssize_t n = write(fd, texto.data() + feito, texto.size() - feito);
    if (n <= 0) throw std::runtime_error("cannot type at the terminal");
    feito += static_cast<size_t>(n);
  }
}

// Reads both masters until every slave is closed (read fails with EIO) or time runs out.
bool recolhe(int saida, int erros, std::string& textoSaida, std::string& textoErros) {
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(segundosMaximos);
  pollfd fds[] = {{saida, POLLIN, 0}, {erros, POLLIN, 0}};
  std::string* destinos[] = {&textoSaida, &textoErros};
  int abertos = 2;
  while (abertos > 0) {
    if (std::chrono::steady_clock::now() > limite) return false;
    if (poll(fds, 2, 100) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char bloco[4096];
      const ssize_t n = read(fds[i].fd, bloco, sizeof bloco);
      if (n > 0) {
        destinos[i]->append(bloco, static_cast<size_t>(n));
      } else {
        fds[i].fd = -1;
        --abertos;
      }
    }
  }
  return true;
}

}  // namespace

bool haTerminais() {
  const char* outro = std::getenv("PAUTA_EXECUTAVEL");
  return outro == nullptr || *outro == '\0';
}

Resultado executaEmTerminal(const Cenario& cenario, const std::string& entrada,
                            const std::vector<std::string>& args, bool entradaNoTerminal) {
  const std::string ficheiroEntrada = (cenario.dir().parent_path() / "stdin-terminal").string();
  if (!entradaNoTerminal) std::ofstream(ficheiroEntrada, std::ios::binary) << entrada;
  const Terminal saida = abreTerminal(), erros = abreTerminal(), teclado = abreTerminal();
  std::vector<std::string> palavras{PAUTA_BINARIO};
  palavras.insert(palavras.end(), args.begin(), args.end());
  const pid_t filho = fork();
  if (filho == 0) {
    setsid();
    const int in = entradaNoTerminal ? teclado.escravo : open(ficheiroEntrada.c_str(), O_RDONLY);
    if (in < 0 || dup2(in, 0) < 0 || dup2(saida.escravo, 1) < 0 || dup2(erros.escravo, 2) < 0 ||
        chdir(cenario.dir().c_str()) != 0) {
      _exit(127);
    }
    for (int fd : {saida.mestre, erros.mestre, teclado.mestre, saida.escravo, erros.escravo,
                   teclado.escravo, in}) {
      if (fd > 2) close(fd);
    }
    std::vector<char*> argv;
    for (std::string& p : palavras) argv.push_back(p.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  for (int fd : {saida.escravo, erros.escravo, teclado.escravo}) close(fd);
  if (entradaNoTerminal) escreveTudo(teclado.mestre, entrada + "\x04");
  Resultado r{"", "", -1};
  const bool acabou = recolhe(saida.mestre, erros.mestre, r.saida, r.erros);
  if (!acabou) kill(filho, SIGKILL);
  int estado = 0;
  waitpid(filho, &estado, 0);
  for (int fd : {saida.mestre, erros.mestre, teclado.mestre}) close(fd);
  if (acabou && WIFEXITED(estado)) r.estado = WEXITSTATUS(estado);
  return r;
}

namespace {

// Reads what `fd` has to `destino`; false at its end (or on an error).
bool leDisponivel(int fd, std::string& destino, int milissegundos) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, milissegundos) <= 0) return true;
  char bloco[4096];
  const ssize_t n = read(fd, bloco, sizeof bloco);
  if (n <= 0) return false;
  destino.append(bloco, static_cast<size_t>(n));
  return true;
}

}  // namespace

Processo::Processo(const Cenario& cenario, const std::vector<std::string>& args,
                   bool saidaNoTerminal) {
  int entrada[2], erros[2], saida[2];
  if (pipe(entrada) != 0 || pipe(erros) != 0) throw std::runtime_error("pipe failed");
  if (saidaNoTerminal) {
    const Terminal t = abreTerminal();
    saida[0] = t.mestre;
    saida[1] = t.escravo;
  } else if (pipe(saida) != 0) {
    throw std::runtime_error("pipe failed");
  }
  std::vector<std::string> palavras{PAUTA_BINARIO};
  palavras.insert(palavras.end(), args.begin(), args.end());
  const pid_t filho = fork();
  if (filho == 0) {
    setsid();
    if (dup2(entrada[0], 0) < 0 || dup2(saida[1], 1) < 0 || dup2(erros[1], 2) < 0 ||
        chdir(cenario.dir().c_str()) != 0) {
      _exit(127);
    }
    for (int fd : {entrada[0], entrada[1], saida[0], saida[1], erros[0], erros[1]}) {
      if (fd > 2) close(fd);
    }
    std::vector<char*> argv;
    for (std::string& p : palavras) argv.push_back(p.data());
    argv.push_back(nullptr);
    setenv("LC_ALL", "C", 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(entrada[0]);
  close(saida[1]);
  close(erros[1]);
  pid_ = filho;
  entrada_ = entrada[1];
  saida_ = saida[0];
  erros_ = erros[0];
}

Processo::~Processo() {
  if (pid_ > 0) {
    kill(static_cast<pid_t>(pid_), SIGKILL);
    waitpid(static_cast<pid_t>(pid_), nullptr, 0);
  }
  for (int fd : {entrada_, saida_, erros_}) {
    if (fd >= 0) close(fd);
  }
}

bool Processo::esperaSaida(const std::string& texto) {
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(segundosMaximos);
  while (lido_.find(texto, visto_) == std::string::npos) {
    if (std::chrono::steady_clock::now() > limite || !leDisponivel(saida_, lido_, 100)) {
      return false;
    }
  }
  visto_ = lido_.find(texto, visto_) + texto.size();
  return true;
}

void Processo::sinal(int numero) const { kill(static_cast<pid_t>(pid_), numero); }

void Processo::escreve(const std::string& texto) const { escreveTudo(entrada_, texto); }

Resultado Processo::termina() {
  close(entrada_);
  entrada_ = -1;
  Resultado r{"", "", -1};
  const bool acabou = recolhe(saida_, erros_, r.saida, r.erros);
  r.saida = lido_ + r.saida;
  if (!acabou) kill(static_cast<pid_t>(pid_), SIGKILL);
  int estado = 0;
  waitpid(static_cast<pid_t>(pid_), &estado, 0);
  pid_ = -1;
  if (acabou && WIFEXITED(estado)) r.estado = WEXITSTATUS(estado);
  return r;
}

#endif
