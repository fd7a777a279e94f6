#include "RegistosPagina.h"

#include <cstring>

#include "Cp1252.h"
#include "FormatoCsv.h"
#include "Numeros.h"
#include "Regras.h"

namespace {

const size_t nenhuma = static_cast<size_t>(-1);

// The record's result as its letter.
char letraResultado(regras::Situacao situacao) {
  switch (situacao) {
    case regras::Situacao::aprovado:
      return 'a';
    case regras::Situacao::reprovado:
      return 'r';
    case regras::Situacao::emAvaliacao:
      return 'v';
    case regras::Situacao::semNota:
      break;
  }
  return 's';
}

// The letter of a record's result, in the case of its option (followed by
// the option itself when it is neither).
void acrescentaResultado(std::string& destino, regras::Situacao situacao, int opcao) {
  const char letra = letraResultado(situacao);
  const char maiuscula = static_cast<char>(letra - 'a' + 'A');
  destino += opcao == opcaoContinua ? maiuscula : letra;
  if (opcao != opcaoContinua && opcao != opcaoExameFinal) acrescentaInteiro(destino, opcao);
}

// A comma, then a grade as the student file writes it (nothing for none).
void acrescentaValor(std::string& destino, float valor) {
  destino += ',';
  if (valor == -1) return;
  char texto[larguraNumero];
  destino.append(texto, static_cast<size_t>(escreveReal(texto, valor) - texto));
}

// An entry of a table in base 36 (digits, then lower-case letters).
void acrescentaEntrada(std::string& destino, size_t entrada) {
  const char* const algarismos = "0123456789abcdefghijklmnopqrstuvwxyz";
  const size_t base = 36;
  char texto[16];
  size_t n = 0;
  do {
    texto[n++] = algarismos[entrada % base];
    entrada /= base;
  } while (entrada != 0);
  while (n > 0) destino += texto[--n];
}

// A text as a JSON string: escaped for HTML first (so it holds no '<',
// '>', '"' and no control byte but TAB, LF and CR), then '\' and those
// three escaped for JSON.
void acrescentaJson(TextoPagina& pagina, std::string_view texto) {
  pagina += '"';
  for (char c : escapaHtml(texto)) {
    switch (c) {
      case '\\':
        pagina += "\\\\";
        break;
      case '\t':
        pagina += "\\t";
        break;
      case '\n':
        pagina += "\\n";
        break;
      case '\r':
        pagina += "\\r";
        break;
      default:
        pagina += c;
    }
  }
  pagina += '"';
}

// `"nome":` before a member of the JSON object.
void acrescentaNomeJson(TextoPagina& pagina, const char* nome) {
  pagina += '"';
  pagina += nome;
  pagina += "\":";
}

// The bit patterns of an e-folio's grade and weight, as one key.
std::uint64_t chaveValores(float nota, float peso) {
  std::uint32_t bitsNota = 0;
  std::uint32_t bitsPeso = 0;
  std::memcpy(&bitsNota, &nota, sizeof bitsNota);
  std::memcpy(&bitsPeso, &peso, sizeof bitsPeso);
  return (static_cast<std::uint64_t>(bitsNota) << 32U) | bitsPeso;
}

// What the e-folio cell shows: the grade entered, the weight and what it
// counts, "80 % × 3 = 2,40".
std::string textoEfolio(const Efolio& efolio) {
  return csv::comVirgula(textoGeral(efolio.getNota())) + TXT(" % × ") +
         csv::comVirgula(textoGeral(efolio.getPeso())) + " = " +
         csv::comVirgula(efolio.valorImpressaoNotaEfolio());
}

// The texts of the records' header, in the order of their cells.
const char* const cabecalhoRegisto[] = {
    TXT("Código"), "Unidade curricular", "ECTS",    TXT("Avaliação"), "eFolio A", "eFolio B",
    "eFolio C",    "pF/Exame",           "Recurso", "Nota final",     "Resultado"};

void acrescentaTextosOpcoes(TextoPagina& pagina) {
  acrescentaNomeJson(pagina, "o");
  pagina += '{';
  NotasUC notas;
  for (int opcao : {opcaoContinua, opcaoExameFinal, opcaoNaoEscolhida}) {
    if (opcao != opcaoContinua) pagina += ',';
    notas.setOpcaoAvaliacao(opcao);
    pagina += '"';
    acrescentaInteiro(pagina, opcao);
    pagina += "\":";
    acrescentaJson(pagina, notas.opcaoAvaliacaoToString());
  }
  pagina += '}';
}

void acrescentaTextosResultados(TextoPagina& pagina) {
  acrescentaNomeJson(pagina, "r");
  pagina += R"({"a":"Aprovado","r":"Reprovado","s":"sem nota",)";
  pagina += TXT("\"v\":\"em avaliação (# de 8 nos eFolios)\"}");
  pagina += R"(,"c":{"a":"ap","r":"rp","s":"pe","v":"av"})";
}

}  // namespace

RegistosPagina::RegistosPagina(const std::vector<UC>& unidades) {
  unidades_.reserve(unidades.size());
  for (const UC& uc : unidades) {
    porChave_.emplace(chave(uc.getCodigo(), uc.nomeUC(), uc.getEcts()), unidades_.size());
    unidades_.push_back({uc.getCodigo(), uc.nomeUC(), uc.getEcts()});
  }
}

std::string RegistosPagina::chave(int codigo, std::string_view nome, int ects) {
  std::string texto = std::to_string(codigo) + ';' + std::to_string(ects) + ';';
  texto += nome;
  return texto;
}

size_t RegistosPagina::entradaUnidade(const UC& uc) {
  // Most records follow the course's units in order: no lookup for them.
  const size_t seguinte = anterior_ + 1;
  if (seguinte < unidades_.size()) {
    const Unidade& esperada = unidades_[seguinte];
    if (esperada.codigo == uc.getCodigo() && esperada.ects == uc.getEcts() &&
        esperada.nome == uc.nomeUC()) {
      return seguinte;
    }
  }
  const auto [posicao, nova] =
      porChave_.emplace(chave(uc.getCodigo(), uc.nomeUC(), uc.getEcts()), unidades_.size());
  if (nova) unidades_.push_back({uc.getCodigo(), uc.nomeUC(), uc.getEcts()});
  return posicao->second;
}

size_t RegistosPagina::entradaEfolio(const Efolio& efolio) {
  const auto [posicao, nova] =
      porValores_.emplace(chaveValores(efolio.getNota(), efolio.getPeso()), efolios_.size());
  if (nova) efolios_.push_back(textoEfolio(efolio));
  return posicao->second;
}

void RegistosPagina::acrescentaRegisto(TextoPagina& pagina, const UC& uc) {
  const int nota = uc.getNota();
  const regras::Situacao situacao = regras::situacao(uc, nota);
  campos_.clear();
  acrescentaResultado(campos_, situacao, uc.getOpcaoAvaliacao());
  if (situacao == regras::Situacao::emAvaliacao) campos_ += textoFixo(uc.getNotaTotalEfolios(), 1);
  campos_ += ',';
  if (nota != -1) acrescentaInteiro(campos_, nota);
  acrescentaValor(campos_, uc.getProvaFinal());
  acrescentaValor(campos_, uc.getProvaRecurso());
  for (char letra : {'A', 'B', 'C'}) {
    campos_ += ',';
    const Efolio* efolio = uc.procuraEfolio(letra);
    if (efolio != nullptr && efolio->getNota() != -1) {
      acrescentaEntrada(campos_, entradaEfolio(*efolio));
    }
  }
  campos_ += ',';
  const size_t entrada = entradaUnidade(uc);
  if (entrada != anterior_ + 1) acrescentaEntrada(campos_, entrada);
  anterior_ = entrada;
  // The empty fields at the end go with their commas.
  while (campos_.back() == ',') campos_.pop_back();
  pagina += campos_;
}

void RegistosPagina::acrescentaRegistos(TextoPagina& pagina, const Estudantes& estudante) {
  anterior_ = nenhuma;
  bool primeiro = true;
  for (const UC& uc : estudante.getListaUCs()) {
    if (!primeiro) pagina += ';';
    primeiro = false;
    acrescentaRegisto(pagina, uc);
  }
}

void RegistosPagina::acrescentaDados(TextoPagina& pagina) const {
  pagina += '{';
  acrescentaNomeJson(pagina, "u");
  pagina += '[';
  for (size_t i = 0; i < unidades_.size(); ++i) {
    if (i != 0) pagina += ',';
    pagina += '[';
    acrescentaInteiro(pagina, unidades_[i].codigo);
    pagina += ',';
    acrescentaJson(pagina, unidades_[i].nome);
    pagina += ',';
    acrescentaInteiro(pagina, unidades_[i].ects);
    pagina += ']';
  }
  pagina += "],";
  acrescentaNomeJson(pagina, "e");
  pagina += '[';
  for (size_t i = 0; i < efolios_.size(); ++i) {
    if (i != 0) pagina += ',';
    acrescentaJson(pagina, efolios_[i]);
  }
  pagina += "],";
  acrescentaTextosOpcoes(pagina);
  pagina += ',';
  acrescentaTextosResultados(pagina);
  pagina += ',';
  acrescentaNomeJson(pagina, "h");
  pagina += '[';
  bool primeiro = true;
  for (const char* texto : cabecalhoRegisto) {
    if (!primeiro) pagina += ',';
    primeiro = false;
    acrescentaJson(pagina, texto);
  }
  pagina += "],";
  // The students' index search.
  acrescentaNomeJson(pagina, "t");
  pagina += TXT("{\"procura\":\"Procurar por número ou nome\",\"de\":\"de\",");
  pagina += R"("estudantes":"estudantes",)";
  pagina += TXT("\"ordena\":\"Um clique num cabeçalho ordena a tabela por essa coluna.\"}}");
}
