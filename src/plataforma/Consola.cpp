#include "Consola.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>

#include "ConsolaSistema.h"
#include "Cp1252.h"

namespace {

int* volatile flagAlteracoes = nullptr;
volatile Limpeza limpezaRegistada = nullptr;

const char* const textoPerdidas =
    TXT("ATENÇÃO: A entrada de dados terminou, as alterações não gravadas foram perdidas");
const char* const textoInterrompido =
    TXT("ATENÇÃO: O programa foi interrompido, as alterações não gravadas foram perdidas");
const char* const textoSair = "A sair ...";

// Whether a signal ends the dialogue (with its texts) or a mode (silently).
volatile bool sinalNoDialogo = false;

// The end texts a signal prints, made beforehand in the console's encoding:
// a signal handler can only hand ready bytes to the system.
std::string fimSinalSemAlteracoes;
std::string fimSinalComAlteracoes;
// "A sair ..." as a signal ends it, and the end of a save done but not yet
// announced (set while `gravacaoPorAnunciar`).
std::string fimSinal;
std::string fimSinalGravacao;
volatile std::sig_atomic_t gravacaoPorAnunciar = 0;

// --- Terminals ---

// Output buffer in front of a terminal (or of a UTF-8 locale's file). With
// `controlos` a control byte (an escape sequence in a name read from a data
// file, say) is shown as '?', so data cannot drive the terminal; with
// `utf8` the CP1252 bytes are re-encoded as UTF-8.
class SaidaTerminal : public std::streambuf {
 public:
  SaidaTerminal(std::streambuf* destino, bool utf8, bool controlos = true)
      : destino_(destino), utf8_(utf8), controlos_(controlos) {}

 protected:
  std::streamsize xsputn(const char* texto, std::streamsize n) override {
    std::string bytes;
    for (std::streamsize i = 0; i < n; ++i) {
      const unsigned char byte = static_cast<unsigned char>(texto[i]);
      const char visivel =
          controlos_ && cp1252::byteDeControlo(byte, cp1252::FinsDeLinha::permitidos)
              ? '?'
              : static_cast<char>(byte);
      if (utf8_) {
        cp1252::acrescentaUtf8(bytes, std::string_view(&visivel, 1));
      } else {
        bytes += visivel;
      }
    }
    const auto tamanho = static_cast<std::streamsize>(bytes.size());
    return destino_->sputn(bytes.data(), tamanho) == tamanho ? n : 0;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return 0;
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }
  int sync() override { return destino_->pubsync(); }

 private:
  std::streambuf* destino_;
  bool utf8_;
  bool controlos_;
};

// Characters typed at a terminal that CP1252 cannot hold, replaced so far.
std::size_t caracteresSubstituidos = 0;

// Input buffer that decodes typed UTF-8 into CP1252 bytes with the strict
// decoder of the data files; a character CP1252 cannot hold, or a malformed
// sequence (an overlong form or a surrogate too), becomes '?' and is
// counted.
class EntradaUtf8 : public std::streambuf {
 public:
  explicit EntradaUtf8(std::streambuf* origem) : origem_(origem) {}

 protected:
  int_type underflow() override {
    const int_type c = origem_->sbumpc();
    if (traits_type::eq_int_type(c, traits_type::eof())) return c;
    char sequencia[4] = {traits_type::to_char_type(c)};
    std::size_t tamanho = 1;
    // The continuation bytes that follow, as many as the first byte
    // announces at most: a byte that cuts the sequence short is left for
    // the next character.
    const int seguintes = cp1252::seguintesUtf8(static_cast<unsigned char>(sequencia[0]));
    while (static_cast<int>(tamanho) <= seguintes) {
      const int_type prox = origem_->sgetc();
      if (traits_type::eq_int_type(prox, traits_type::eof()) ||
          (static_cast<unsigned char>(prox) & 0xC0) != 0x80) {
        break;
      }
      sequencia[tamanho++] = traits_type::to_char_type(origem_->sbumpc());
    }
    std::size_t lidos = 0;
    const char32_t codigo = cp1252::leUtf8(sequencia, tamanho, lidos);
    const int byte =
        lidos == tamanho && codigo != cp1252::kSubstituto ? cp1252::deUnicode(codigo) : -1;
    if (byte < 0) ++caracteresSubstituidos;
    atual_ = byte < 0 ? '?' : static_cast<char>(byte);
    setg(&atual_, &atual_, &atual_ + 1);
    return traits_type::to_int_type(atual_);
  }

 private:
  std::streambuf* origem_;
  char atual_ = 0;
};

using sistema::descritorEntrada;
using sistema::descritorErros;
using sistema::descritorSaida;
using sistema::eTerminal;

// `texto` (CP1252) as the console shows it: UTF-8 on a terminal that shows
// UTF-8, the bytes themselves elsewhere.
std::string paraConsola(const std::string& texto) {
  if (sistema::terminalUtf8 && eTerminal(descritorSaida)) return cp1252::paraUtf8(texto);
  return texto;
}

// Ends the run on a signal: the dialogue's end texts first, then the
// clean-up.
void terminaPorSinal() {
  if (sinalNoDialogo) {
    const int* flag = flagAlteracoes;
    if (gravacaoPorAnunciar) {
      sistema::escreveDireto(fimSinalGravacao);
    } else {
      sistema::escreveDireto(flag != nullptr && *flag != 0 ? fimSinalComAlteracoes
                                                           : fimSinalSemAlteracoes);
    }
  }
  const Limpeza limpeza = limpezaRegistada;
  if (limpeza != nullptr) limpeza();
}

// Puts a terminal buffer in front of `saida` when `descritor` is a terminal.
// Never freed: the standard streams outlive every static object.
void preparaSaida(std::ostream& saida, int descritor) {
  if (!eTerminal(descritor)) return;
  // A Windows console shows code page 1252 itself.
  saida.rdbuf(new SaidaTerminal(saida.rdbuf(), sistema::terminalUtf8));
}

void preparaEntrada() {
  if (sistema::terminalUtf8 && eTerminal(descritorEntrada)) {
    std::cin.rdbuf(new EntradaUtf8(std::cin.rdbuf()));
  }
}

}  // namespace

namespace {

// Answers true the first time only: the console is set up once.
bool primeiraIniciacao() {
  static bool iniciada = false;
  if (iniciada) return false;
  iniciada = true;
  sistema::preparaPaginasDeCodigo();
  return true;
}

// Makes `saida` UTF-8 when it goes to a file or a pipe under a UTF-8 locale
// (a terminal is taken care of by preparaSaida).
void preparaSaidaLocale(std::ostream& saida, int descritor) {
  if (!eTerminal(descritor) && sistema::localeUtf8()) {
    saida.rdbuf(new SaidaTerminal(saida.rdbuf(), true, false));
  }
}

}  // namespace

void consolaIniciar() {
  if (!primeiraIniciacao()) return;
  preparaSaida(std::cout, descritorSaida);
  preparaSaida(std::cerr, descritorErros);
  preparaEntrada();
}

void consolaIniciarMensagens() {
  if (!primeiraIniciacao()) return;
  for (auto [saida, descritor] : {std::pair<std::ostream*, int>{&std::cout, descritorSaida},
                                  std::pair<std::ostream*, int>{&std::cerr, descritorErros}}) {
    preparaSaida(*saida, descritor);
    preparaSaidaLocale(*saida, descritor);
  }
  preparaEntrada();
}

void consolaIniciarDados() {
  if (!primeiraIniciacao()) return;
  // The data's own CR LF line ends, not one more CR from the text mode.
  sistema::saidaBinaria();
  preparaSaida(std::cout, descritorSaida);
  preparaSaida(std::cerr, descritorErros);
  preparaSaidaLocale(std::cerr, descritorErros);
  preparaEntrada();
}

bool consolaSaidaNoTerminal() { return eTerminal(descritorSaida); }

std::size_t consolaCaracteresSubstituidos() { return caracteresSubstituidos; }

void consolaRegistaAlteracoes(int* alteracoes) { flagAlteracoes = alteracoes; }

void consolaGravacaoFeita(const std::string& texto) {
  gravacaoPorAnunciar = 0;
  fimSinalGravacao = paraConsola("\n" + texto) + fimSinal;
  gravacaoPorAnunciar = 1;
  int* flag = flagAlteracoes;
  if (flag != nullptr) *flag = 0;
}

void consolaGravacaoAnunciada() { gravacaoPorAnunciar = 0; }

void consolaRegistaLimpeza(Limpeza limpeza) { limpezaRegistada = limpeza; }

void consolaTrataSinais() {
  const std::string fim = std::string(textoSair) + (consolaSaidaNoTerminal() ? "\n" : "");
  fimSinal = paraConsola(fim);
  fimSinalSemAlteracoes = paraConsola("\n" + fim);
  fimSinalComAlteracoes = paraConsola(std::string("\n") + textoInterrompido + "\n" + fim);
  sinalNoDialogo = true;
  sistema::instalaTerminacao(terminaPorSinal);
}

void consolaTrataSinaisModo() {
  sinalNoDialogo = false;
  sistema::instalaTerminacao(terminaPorSinal);
}

void consolaImprimeFimEntrada(std::ostream& saida, bool alteracoesPerdidas) {
  saida << std::endl;
  if (alteracoesPerdidas) saida << textoPerdidas << std::endl;
  saida << textoSair;
  if (consolaSaidaNoTerminal()) saida << '\n';
  saida << std::flush;
}
