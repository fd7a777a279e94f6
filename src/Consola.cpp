#include "Consola.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "Cp1252.h"

namespace {

const int* volatile flagAlteracoes = nullptr;
volatile Limpeza limpezaRegistada = nullptr;

const char* const textoPerdidas =
    "ATENÇÃO: A entrada de dados terminou, as alterações não gravadas foram perdidas";
const char* const textoSair = "A sair ...";

// The end texts a signal prints, made beforehand in the console's encoding:
// a signal handler can only hand ready bytes to the system.
std::string fimSinalSemAlteracoes;
std::string fimSinalComAlteracoes;

[[noreturn]] void terminaProcesso() {
  std::cout.flush();
  std::exit(0);
}

AcaoFimEntrada acaoFimEntrada = terminaProcesso;

#ifndef _WIN32

unsigned codigoUnicode(unsigned char byte) { return cp1252::paraUnicode(byte); }

char byteCp1252(unsigned codigo) {
  const int byte = cp1252::deUnicode(codigo);
  return byte < 0 ? '?' : static_cast<char>(byte);
}

// Output buffer that re-encodes CP1252 bytes as UTF-8 for a terminal.
class SaidaUtf8 : public std::streambuf {
 public:
  explicit SaidaUtf8(std::streambuf* destino) : destino_(destino) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return 0;
    unsigned cp = codigoUnicode(static_cast<unsigned char>(c));
    char bytes[3];
    int n = 0;
    if (cp < 0x80) {
      bytes[n++] = static_cast<char>(cp);
    } else if (cp < 0x800) {
      bytes[n++] = static_cast<char>(0xC0 | (cp >> 6));
      bytes[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      bytes[n++] = static_cast<char>(0xE0 | (cp >> 12));
      bytes[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      bytes[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return destino_->sputn(bytes, n) == n ? c : traits_type::eof();
  }
  int sync() override { return destino_->pubsync(); }

 private:
  std::streambuf* destino_;
};

// Input buffer that decodes typed UTF-8 into CP1252 bytes.
class EntradaUtf8 : public std::streambuf {
 public:
  explicit EntradaUtf8(std::streambuf* origem) : origem_(origem) {}

 protected:
  int_type underflow() override {
    int_type c = origem_->sbumpc();
    if (traits_type::eq_int_type(c, traits_type::eof())) return c;
    unsigned char primeiro = static_cast<unsigned char>(c);
    unsigned codigo = primeiro;
    int seguintes = 0;
    if (primeiro >= 0xF0) {
      codigo = primeiro & 0x07;
      seguintes = 3;
    } else if (primeiro >= 0xE0) {
      codigo = primeiro & 0x0F;
      seguintes = 2;
    } else if (primeiro >= 0xC0) {
      codigo = primeiro & 0x1F;
      seguintes = 1;
    } else if (primeiro >= 0x80) {
      codigo = 0xFFFD;  // a stray continuation byte
    }
    for (int i = 0; i < seguintes; ++i) {
      int_type prox = origem_->sgetc();
      if (traits_type::eq_int_type(prox, traits_type::eof()) ||
          (static_cast<unsigned char>(prox) & 0xC0) != 0x80) {
        codigo = 0xFFFD;
        break;
      }
      origem_->sbumpc();
      codigo = (codigo << 6) | (static_cast<unsigned char>(prox) & 0x3F);
    }
    atual_ = byteCp1252(codigo);
    setg(&atual_, &atual_, &atual_ + 1);
    return traits_type::to_int_type(atual_);
  }

 private:
  std::streambuf* origem_;
  char atual_ = 0;
};

#endif

// `texto` (CP1252) as the console shows it: UTF-8 on a terminal other than
// Windows', the bytes themselves elsewhere.
std::string paraConsola(const std::string& texto) {
#ifndef _WIN32
  if (isatty(STDOUT_FILENO)) return cp1252::paraUtf8(texto);
#endif
  return texto;
}

// Writes ready bytes to standard output without the streams.
void escreveDireto(const std::string& texto) {
#ifdef _WIN32
  DWORD escritos = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), texto.data(), static_cast<DWORD>(texto.size()),
            &escritos, nullptr);
#else
  size_t feito = 0;
  while (feito < texto.size()) {
    const ssize_t n = write(STDOUT_FILENO, texto.data() + feito, texto.size() - feito);
    if (n <= 0) break;
    feito += static_cast<size_t>(n);
  }
#endif
}

// Ends the dialogue on a signal, as at the end of input.
void terminaPorSinal() {
  const int* flag = flagAlteracoes;
  escreveDireto(flag != nullptr && *flag != 0 ? fimSinalComAlteracoes : fimSinalSemAlteracoes);
  consolaLimpa();
}

#ifdef _WIN32
BOOL WINAPI aoEventoConsola(DWORD /*evento*/) {
  terminaPorSinal();
  ExitProcess(0);
  return TRUE;
}
#else
void aoSinal(int /*sinal*/) {
  terminaPorSinal();
  _exit(0);
}
#endif

}  // namespace

void consolaIniciar() {
#ifdef _WIN32
  SetConsoleOutputCP(1252);
  SetConsoleCP(1252);
#else
  if (isatty(STDOUT_FILENO)) {
    // Never freed: the standard streams outlive every static object.
    std::cout.rdbuf(new SaidaUtf8(std::cout.rdbuf()));
  }
  if (isatty(STDIN_FILENO)) {
    std::cin.rdbuf(new EntradaUtf8(std::cin.rdbuf()));
  }
#endif
}

void consolaRegistaAlteracoes(const int* alteracoes) { flagAlteracoes = alteracoes; }

void consolaDefineAcaoFimEntrada(AcaoFimEntrada acao) {
  acaoFimEntrada = acao != nullptr ? acao : terminaProcesso;
}

void consolaRegistaLimpeza(Limpeza limpeza) { limpezaRegistada = limpeza; }

void consolaLimpa() {
  const Limpeza limpeza = limpezaRegistada;
  limpezaRegistada = nullptr;
  if (limpeza != nullptr) limpeza();
}

void consolaTrataSinais() {
  fimSinalSemAlteracoes = paraConsola(std::string("\n") + textoSair);
  fimSinalComAlteracoes = paraConsola(std::string("\n") + textoPerdidas + "\n" + textoSair);
#ifdef _WIN32
  SetConsoleCtrlHandler(aoEventoConsola, TRUE);
#else
  struct sigaction acao = {};
  acao.sa_handler = aoSinal;
  sigfillset(&acao.sa_mask);
  for (int sinal : {SIGINT, SIGTERM, SIGHUP}) sigaction(sinal, &acao, nullptr);
#endif
}

void consolaFimEntrada() {
  std::cout << std::endl;
  if (flagAlteracoes != nullptr && *flagAlteracoes != 0) std::cout << textoPerdidas << std::endl;
  std::cout << textoSair << std::flush;
  consolaLimpa();
  acaoFimEntrada();
  std::abort();  // an end-of-input action must not return
}
