#include "Consola.h"

#include "Cp1252.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

const int* flagAlteracoes = nullptr;

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

void consolaFimEntrada() {
  std::cout << std::endl;
  if (flagAlteracoes != nullptr && *flagAlteracoes != 0) {
    std::cout << "ATENÇÃO: A entrada de dados terminou, as alterações não gravadas foram perdidas"
              << std::endl;
  }
  std::cout << "A sair ..." << std::flush;
  acaoFimEntrada();
  std::abort();  // an end-of-input action must not return
}
