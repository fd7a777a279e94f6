#include "Consola.h"

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

// Unicode code points of the CP1252 bytes 0x80..0x9F; 0 marks the five
// bytes that CP1252 leaves undefined (shown as U+FFFD).
// clang-format off
const unsigned short cp1252Alto[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0};
// clang-format on

unsigned codigoUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    unsigned cp = cp1252Alto[byte - 0x80];
    return cp != 0 ? cp : 0xFFFD;
  }
  return byte;
}

char byteCp1252(unsigned codigo) {
  if (codigo < 0x80 || (codigo >= 0xA0 && codigo <= 0xFF)) {
    return static_cast<char>(codigo);
  }
  for (unsigned i = 0; i < 32; ++i) {
    if (cp1252Alto[i] != 0 && cp1252Alto[i] == codigo) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
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
