#include "LeitorLinhas.h"

#include <iostream>
#include <set>
#include <utility>

LeitorLinhas::LeitorLinhas(std::string conteudo, std::string nomeFicheiro)
    : LeitorLinhas(std::move(conteudo), std::move(nomeFicheiro), std::cout) {}

LeitorLinhas::LeitorLinhas(std::string conteudo, std::string nomeFicheiro, std::ostream& mensagens)
    : conteudo_(std::move(conteudo)),
      nomeFicheiro_(std::move(nomeFicheiro)),
      mensagens_(&mensagens) {}

LeitorLinhas::LeitorLinhas(FonteBlocos fonte, std::string nomeFicheiro, std::ostream& mensagens,
                           size_t tamanhoBloco)
    : nomeFicheiro_(std::move(nomeFicheiro)),
      mensagens_(&mensagens),
      fonte_(std::move(fonte)),
      tamanhoBloco_(tamanhoBloco) {
  // The text held is a block and the rest of a line, as a rule.
  conteudo_.reserve(2 * tamanhoBloco_);
}

LeitorLinhas::~LeitorLinhas() = default;

bool LeitorLinhas::leBloco() {
  if (!fonte_) return false;
  conteudo_.erase(0, posicaoAnterior_);  // devolveLinha may still ask for it
  posicao_ -= posicaoAnterior_;
  posicaoAnterior_ = 0;
  const size_t antes = conteudo_.size();
  conteudo_.resize(antes + tamanhoBloco_);
  size_t lidos = 0;
  erroLeitura_ = !fonte_(&conteudo_[antes], tamanhoBloco_, &lidos);
  if (erroLeitura_) lidos = 0;
  conteudo_.resize(antes + lidos);
  if (lidos == 0) fonte_ = nullptr;
  return lidos > 0;
}

namespace {

// The line of `texto` that starts at `posicao` and ends at `fim` (its LF,
// or npos for a last line without one), without its line end; advances
// `posicao` past that line end.
std::string_view linhaAte(const std::string& texto, size_t& posicao, size_t fim) {
  size_t inicio = posicao;
  size_t tamanho;
  if (fim == std::string::npos) {
    tamanho = texto.size() - inicio;
    posicao = texto.size();
  } else {
    tamanho = fim - inicio;
    if (tamanho > 0 && texto[fim - 1] == '\r') --tamanho;
    posicao = fim + 1;
  }
  return std::string_view(texto.data() + inicio, tamanho);
}

std::string_view linhaEm(const std::string& texto, size_t& posicao) {
  return linhaAte(texto, posicao, texto.find('\n', posicao));
}

// Whether the first field of `linha` is `campo` (which holds no ';'): the
// line starts with it, followed by a ';' or by the end of the line.
bool primeiroCampoE(std::string_view linha, std::string_view campo) {
  return linha.compare(0, campo.size(), campo) == 0 &&
         (linha.size() == campo.size() || linha[campo.size()] == ';');
}

}  // namespace

bool LeitorLinhas::proximaLinha(std::string_view& linha) {
  size_t fim = conteudo_.find('\n', posicao_);
  while (fim == std::string::npos && leBloco()) fim = conteudo_.find('\n', posicao_);
  if (posicao_ >= conteudo_.size()) return false;
  posicaoAnterior_ = posicao_;
  linha = linhaAte(conteudo_, posicao_, fim);
  ++numero_;
  if (numero_ == 1) {
    marca_ = cp1252::marcaInicial(linha);
    if (marca_ == cp1252::Marca::utf8) linha.remove_prefix(cp1252::kMarcaUtf8.size());
  }
  if (numero_ > analisadas_ && !converte_) {
    analise_.acrescenta(linha);
    analisadas_ = numero_;
  }
  if (converte_) {
    convertida_ = cp1252::deUtf8(linha);
    linha = convertida_;
  }
  return true;
}

void LeitorLinhas::recomeca(FonteBlocos fonte) {
  conteudo_.clear();
  posicao_ = 0;
  posicaoAnterior_ = 0;
  numero_ = 0;
  ignoradas_ = false;
  numerosOutraForma_ = false;
  avisosNumeros_ = 0;
  fonte_ = std::move(fonte);
  erroLeitura_ = false;
  marca_ = cp1252::Marca::nenhuma;
  analise_ = cp1252::AnaliseTexto();
  analisadas_ = 0;
  converte_ = false;
  convertida_.clear();
}

void LeitorLinhas::devolveLinha() {
  posicao_ = posicaoAnterior_;
  --numero_;
}

void LeitorLinhas::ignoraLinha() {
  ignoradas_ = true;
  *mensagens_ << "ERRO: Linha " << numero_ << " do ficheiro " << nomeFicheiro_ << " ignorada"
              << std::endl;
}

void LeitorLinhas::avisaNumeroLido(std::string_view texto, std::string_view valor) {
  numerosOutraForma_ = true;
  if (++avisosNumeros_ > maximoAvisosNumeros) return;
  *mensagens_ << TXT("ATENÇÃO: Linha ") << numero_ << " do ficheiro " << nomeFicheiro_ << ": '"
              << texto << "' foi lido como " << valor << std::endl;
}

void LeitorLinhas::avisaNumerosRestantes() {
  if (avisosNumeros_ <= maximoAvisosNumeros) return;
  *mensagens_ << TXT("ATENÇÃO: ... e mais ") << avisosNumeros_ - maximoAvisosNumeros
              << " valores do ficheiro " << nomeFicheiro_ << " lidos da mesma forma" << std::endl;
}

long LeitorLinhas::contaLinhas() const {
  long linhas = 0;
  for (char c : conteudo_) linhas += c == '\n';
  if (!conteudo_.empty() && conteudo_.back() != '\n') ++linhas;
  return linhas;
}

long LeitorLinhas::contaLinhasComPrimeiroCampo(std::string_view campo) const {
  long conta = 0;
  size_t posicao = 0;
  while (posicao < conteudo_.size()) conta += primeiroCampoE(linhaEm(conteudo_, posicao), campo);
  return conta;
}

long LeitorLinhas::contaRestantesComPrimeiroCampo(std::string_view campo) {
  long conta = 0;
  std::string_view linha;
  while (proximaLinha(linha)) conta += primeiroCampoE(linha, campo);
  return conta;
}

const char* const razaoUtf16 = TXT("está em UTF-16");

void avisaTextoUtf8(const std::string& nome, const cp1252::AnaliseTexto& analise,
                    std::ostream& saida) {
  static std::set<std::string> avisados;
  if (!analise.utf8() || !avisados.insert(nome).second) return;
  saida << TXT("ATENÇÃO: O ficheiro ") << nome
        << TXT(" está em UTF-8; o texto foi convertido para CP1252");
  if (analise.semRepresentacao() != 0) {
    saida << " e " << analise.semRepresentacao()
          << TXT(" caracteres sem representação foram substituídos por '?'");
  }
  saida << std::endl;
}

std::string_view primeiroCampo(std::string_view linha) { return linha.substr(0, linha.find(';')); }

bool linhaEmBranco(std::string_view linha) {
  return linha.find_first_not_of(" \t\r") == std::string_view::npos;
}
