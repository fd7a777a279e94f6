#include "FormatoCsv.h"

#include "Cp1252.h"
#include "NotasUC.h"
#include "Numeros.h"

namespace csv {

namespace {

const char* const textoContinua = TXT("Contínua");
const char* const textoExameFinal = "Exame Final";
const char apostrofo = '\'';

bool digito(char c) { return c >= '0' && c <= '9'; }

// Consumes a run of digits from `p`; answers how many.
size_t digitos(std::string_view texto, size_t& p) {
  const size_t inicio = p;
  while (p < texto.size() && digito(texto[p])) ++p;
  return p - inicio;
}

}  // namespace

const char* textoOpcao(int opcao) {
  if (opcao == opcaoContinua) return textoContinua;
  if (opcao == opcaoExameFinal) return textoExameFinal;
  return "";
}

bool leOpcao(std::string_view texto, int& opcao) {
  // As the export writes them, the common case, before their keys.
  const std::string_view exato = semBrancos(texto);
  if (exato == textoContinua || exato == textoExameFinal) {
    opcao = exato == textoContinua ? opcaoContinua : opcaoExameFinal;
    return true;
  }
  const std::string chave = chaveTexto(texto);
  if (chave.empty()) {
    opcao = opcaoNaoEscolhida;
  } else if (chave == chaveTexto(textoContinua)) {
    opcao = opcaoContinua;
  } else if (chave == chaveTexto(textoExameFinal)) {
    opcao = opcaoExameFinal;
  } else {
    return false;
  }
  return true;
}

namespace {

// A formula after any number of apostrophes: the guard is one apostrophe
// more, so that taking one away on import always gives the text back.
bool pedeProtecao(std::string_view texto) {
  const size_t inicio = texto.find_first_not_of(apostrofo);
  return inicio != std::string_view::npos && pareceFormula(texto.substr(inicio));
}

}  // namespace

bool celulaTalComo(std::string_view texto) {
  return !pedeProtecao(texto) && texto.find_first_of(";\"\r\n") == std::string_view::npos;
}

std::string celula(std::string_view texto) {
  if (celulaTalComo(texto)) return std::string(texto);
  std::string guardado;
  if (pedeProtecao(texto)) guardado = apostrofo;
  guardado += texto;
  if (guardado.find_first_of(";\"\r\n") == std::string::npos) return guardado;
  std::string resultado = "\"";
  for (char c : guardado) {
    if (c == '"') resultado += '"';
    resultado += c;
  }
  resultado += '"';
  return resultado;
}

FatiasCelula::FatiasCelula(std::string_view texto)
    : texto_(texto),
      aspas_(texto.find_first_of(";\"\r\n") != std::string_view::npos),
      protecao_(pedeProtecao(texto)) {}

std::string_view FatiasCelula::proxima() {
  const size_t tamanhoFatia = 1 << 16;
  fatia_.clear();
  if (!comecou_) {
    comecou_ = true;
    if (aspas_) fatia_ += '"';
    if (protecao_) fatia_ += apostrofo;
  }
  const std::string_view parte = texto_.substr(posicao_, tamanhoFatia);
  posicao_ += parte.size();
  for (char c : parte) {
    if (aspas_ && c == '"') fatia_ += '"';
    fatia_ += c;
  }
  if (posicao_ >= texto_.size()) {
    if (aspas_) fatia_ += '"';
    acabou_ = true;
  }
  return fatia_;
}

std::string comVirgula(std::string texto) {
  for (char& c : texto) {
    if (c == '.') c = ',';
  }
  return texto;
}

std::string textoDecimal(float valor) { return comVirgula(textoGeral(valor)); }

bool leDecimal(std::string_view texto, float& valor) {
  texto = semBrancos(texto);
  std::string numero(texto);
  size_t p = 0;
  if (p < numero.size() && (numero[p] == '-' || numero[p] == '+')) ++p;
  size_t inteiros = digitos(numero, p);
  size_t decimais = 0;
  if (p < numero.size() && (numero[p] == ',' || numero[p] == '.')) {
    numero[p++] = '.';
    decimais = digitos(numero, p);
  }
  if (inteiros + decimais == 0) return false;
  if (p < numero.size() && (numero[p] == 'e' || numero[p] == 'E')) {
    ++p;
    if (p < numero.size() && (numero[p] == '-' || numero[p] == '+')) ++p;
    if (digitos(numero, p) == 0) return false;
  }
  return p == numero.size() && leReal(numero, valor);
}

bool leInteiroCelula(std::string_view texto, int& valor) {
  texto = semBrancos(texto);
  size_t p = 0;
  if (p < texto.size() && (texto[p] == '-' || texto[p] == '+')) ++p;
  return digitos(texto, p) > 0 && p == texto.size() && leInteiro(texto, valor);
}

bool pareceFormula(std::string_view texto) {
  if (texto.empty()) return false;
  const char c = texto.front();
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

std::string_view semProtecao(std::string_view texto) {
  if (texto.size() >= 2 && texto.front() == apostrofo && pedeProtecao(texto.substr(1))) {
    texto.remove_prefix(1);
  }
  return texto;
}

std::string_view semBrancos(std::string_view texto) {
  const size_t inicio = texto.find_first_not_of(" \t");
  if (inicio == std::string_view::npos) return {};
  return texto.substr(inicio, texto.find_last_not_of(" \t") - inicio + 1);
}

namespace {

// The letter without its accent, in lower case, of the CP1252 letters from
// 0xC0 to 0xFF ('\0' for the signs among them: x, ÷, ß, Þ, Ð...).
const char letrasSemAcento[] =
    "aaaaaaaceeeeiiii"
    "\0nooooo\0ouuuuy\0\0"
    "aaaaaaaceeeeiiii"
    "\0nooooo\0ouuuuy\0y";

char letraChave(unsigned char byte) {
  if (byte >= 'A' && byte <= 'Z') return static_cast<char>(byte - 'A' + 'a');
  switch (byte) {
    case 0x8A:  // Š, š
    case 0x9A:
      return 's';
    case 0x8E:  // Ž, ž
    case 0x9E:
      return 'z';
    case 0x9F:  // Ÿ
      return 'y';
    case 0x8C:  // Œ as œ
      return '\x9C';
    default:
      break;
  }
  if (byte >= 0xC0) {
    const char sem = letrasSemAcento[byte - 0xC0];
    if (sem != '\0') return sem;
    // Ð and Þ as ð and þ; ×, ß, ÷ and the small ones as they are.
    if (byte == 0xD0 || byte == 0xDE) return static_cast<char>(byte + 0x20);
  }
  return static_cast<char>(byte);
}

bool brancoChave(char c) { return c == ' ' || c == '\t' || c == '\xA0'; }

// The other names of the number column, as the key they give.
const char* const outrosNomesNumero[] = {TXT("Nº"), TXT("N.º"), "No"};

}  // namespace

std::string chaveTexto(std::string_view texto) {
  while (!texto.empty() && brancoChave(texto.front())) texto.remove_prefix(1);
  while (!texto.empty() && brancoChave(texto.back())) texto.remove_suffix(1);
  std::string chave;
  chave.reserve(texto.size());
  bool branco = false;
  for (char c : texto) {
    if (brancoChave(c)) {
      branco = true;
      continue;
    }
    if (branco) chave += ' ';
    branco = false;
    chave += letraChave(static_cast<unsigned char>(c));
  }
  return chave;
}

std::string chaveColuna(std::string_view nome) {
  std::string chave = chaveTexto(nome);
  for (const char* outro : outrosNomesNumero) {
    if (chave == chaveTexto(outro)) return chaveTexto(colunaNumero);
  }
  return chave;
}

}  // namespace csv
