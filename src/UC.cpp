#include "UC.h"

#include <climits>
#include <cmath>
#include <iomanip>
#include <ostream>

#include "Cp1252.h"
#include "Numeros.h"
#include "Regras.h"
#include "Tabela.h"

namespace {

// Walks the fields of one record the way a string stream read with ';' as
// delimiter does: a field is the text up to the next ';' (consumed) or up to
// the end of the text.
class Campos {
 public:
  explicit Campos(std::string_view texto) : texto_(texto), fim_(texto.empty()) {}

  // The next field; false when the text is exhausted.
  bool campo(std::string_view& resultado) {
    if (pos_ > texto_.size() || fim_) return false;
    size_t fim = procura(';');
    if (fim == std::string_view::npos) {
      resultado = texto_.substr(pos_);
      fim_ = true;
      pos_ = texto_.size();
    } else {
      resultado = texto_.substr(pos_, fim - pos_);
      pos_ = fim + 1;
      fim_ = pos_ == texto_.size();
    }
    return true;
  }

  bool inteiro(int& valor) {
    std::string_view c;
    return campo(c) && leInteiro(c, valor);
  }

  bool real(float& valor) {
    std::string_view c;
    return campo(c) && leRealOuTraco(c, valor);
  }

  // Consumes the text up to and including the next `letra`.
  bool saltaAte(char letra) {
    size_t p = procura(letra);
    if (p == std::string_view::npos) return false;
    pos_ = p + 1;
    fim_ = pos_ == texto_.size();
    return true;
  }

  // The text up to (not including) the next `letra`, consumed.
  bool textoAte(char letra, std::string_view& resultado) {
    size_t p = procura(letra);
    if (p == std::string_view::npos) return false;
    resultado = texto_.substr(pos_, p - pos_);
    pos_ = p;
    fim_ = false;
    return true;
  }

  // Skips up to `letra` and the field after it (the empty field of "F;").
  bool passaEtiqueta(char letra) {
    std::string_view ignorado;
    return saltaAte(letra) && campo(ignorado);
  }

  size_t posicao() const { return pos_; }
  void volta(size_t pos) {
    pos_ = pos;
    fim_ = pos_ >= texto_.size();
  }

 private:
  // The position of the next `c` from the current one, or npos. Fields are
  // a few bytes long: a plain loop beats a library search call per field.
  size_t procura(char c) const {
    for (size_t i = pos_; i < texto_.size(); ++i) {
      if (texto_[i] == c) return i;
    }
    return std::string_view::npos;
  }

  std::string_view texto_;
  size_t pos_ = 0;
  bool fim_;
};

// The e-folio groups of a continuous-assessment record, from just after the
// option field to just before the tag F: "A;g;w;B;g;w;C;g;w;".
bool leGruposEfolio(Campos& campos, NotasUC& notas) {
  const char letras[] = {'A', 'B', 'C'};
  const char seguinte[] = {'B', 'C', 'F'};
  if (!campos.saltaAte('A')) return false;
  for (int i = 0; i < 3; ++i) {
    std::string_view ignorado;
    std::string_view texto;
    if (!campos.campo(ignorado) || !campos.textoAte(seguinte[i], texto)) return false;
    Efolio efolio(letras[i]);
    if (!Efolio::interpreta(texto, letras[i], efolio)) return false;
    notas.setEfolios(efolio);
    if (i < 2) campos.saltaAte(seguinte[i]);
  }
  return true;
}

// A unit read from a file holds three e-folios (never more, unless a record
// with an invalid option lists more groups): room for them at once, rather
// than growing the list one e-folio at a time.
const size_t efoliosPorUC = 3;

void efoliosAusentes(NotasUC& notas) {
  notas.eFolios.clear();
  notas.setEfolios('A');
  notas.setEfolios('B');
  notas.setEfolios('C');
}

// Reads, in one pass, the fields of a unit record written in full with
// short numbers; each read answers false when the field is not what it
// should be there.
class RegistoCompleto {
 public:
  explicit RegistoCompleto(std::string_view linha)
      : p_(linha.data()), fim_(linha.data() + linha.size()) {}

  bool inteiro(int& valor) {
    if (traco()) {
      valor = -1;
      return true;
    }
    return !acabou_ && fimDoCampo(leInteiroCurto(p_, fim_, valor));
  }
  bool real(float& valor) {
    if (traco()) {
      valor = -1;
      return true;
    }
    return !acabou_ && fimDoCampo(leDecimalCurto(p_, fim_, valor));
  }
  bool texto(std::string_view& valor) {
    if (acabou_) return false;
    const char* q = p_;
    while (q != fim_ && *q != ';') ++q;
    valor = std::string_view(p_, static_cast<size_t>(q - p_));
    return fimDoCampo(q);
  }
  // The field is exactly `esperado`.
  bool etiqueta(std::string_view esperado) {
    std::string_view valor;
    return texto(valor) && valor == esperado;
  }
  // Every field was read: the last one ended the line.
  bool lido() const { return acabou_; }

 private:
  // The field is exactly "-".
  bool traco() {
    if (acabou_ || p_ == fim_ || *p_ != '-') return false;
    if (p_ + 1 != fim_ && p_[1] != ';') return false;
    return fimDoCampo(p_ + 1);
  }
  // The field read ended at `q`: at a ';' (passed) or at the end of the line.
  bool fimDoCampo(const char* q) {
    if (q == nullptr) return false;
    if (q == fim_) {
      acabou_ = true;
    } else if (*q != ';') {
      return false;
    }
    p_ = q + (acabou_ ? 0 : 1);
    return true;
  }

  const char* p_;
  const char* fim_;
  bool acabou_ = false;
};

// The record in one pass when it is written in full with short numbers, as
// code;name;year;semester;ects;AVALIACAO;option;A;g;w;B;g;w;C;g;w;F;g;R;g;N;g
// (every record that the program writes, save odd values such as 1e-05):
// every field then lies where the tag-by-tag reading finds it, and the
// values are those it gives. False, with `uc` half-filled, for any other
// record: the tag-by-tag reading decides then.
bool interpretaCompleto(std::string_view linha, UC& uc) {
  RegistoCompleto r(linha);
  int codigo = 0;
  int ano = 0;
  int semestre = 0;
  int ects = 0;
  int opcao = 0;
  std::string_view nome;
  if (!r.inteiro(codigo) || !r.texto(nome) || !r.inteiro(ano) || !r.inteiro(semestre) ||
      !r.inteiro(ects) || !r.etiqueta("AVALIACAO") || !r.inteiro(opcao)) {
    return false;
  }
  if (opcao != opcaoContinua && opcao != opcaoExameFinal && opcao != opcaoNaoEscolhida) {
    return false;
  }
  // A year, semester or ECTS of "-" is not a number: leave it to the
  // tag-by-tag reading, which refuses it.
  if (ano == -1 || semestre == -1 || ects == -1 || codigo == -1) return false;
  float notas[3];
  float pesos[3];
  const char* const letras[] = {"A", "B", "C"};
  for (int i = 0; i < 3; ++i) {
    if (!r.etiqueta(letras[i]) || !r.real(notas[i]) || !r.real(pesos[i])) {
      return false;
    }
  }
  float provaFinal = 0;
  float provaRecurso = 0;
  float nota = 0;
  if (!r.etiqueta("F") || !r.real(provaFinal) || !r.etiqueta("R") || !r.real(provaRecurso) ||
      !r.etiqueta("N") || !r.real(nota) || !r.lido()) {
    return false;
  }
  uc.setCodigo(codigo);
  uc.setNome(std::string(nome));
  uc.setAno(ano);
  uc.setSemestre(semestre);
  uc.setEcts(ects);
  uc.setOpcaoAvaliacao(opcao);
  uc.setProvaFinal(provaFinal);
  uc.setProvaRecurso(provaRecurso);
  uc.setNota(nota);
  uc.limpaEstatisticas();
  uc.eFolios.clear();
  uc.eFolios.reserve(efoliosPorUC);
  for (int i = 0; i < 3; ++i) {
    Efolio& e = uc.eFolios.emplace_back(letras[i][0]);
    // Only a continuous-assessment record keeps its e-folio values.
    if (opcao == opcaoContinua) {
      e.setNota(notas[i]);
      e.setPeso(pesos[i]);
    }
  }
  return true;
}

}  // namespace

IndiceUCs indexaUCs(const std::vector<UC>& ucs) {
  IndiceUCs indice;
  for (size_t i = 0; i < ucs.size(); ++i) indice[ucs[i].getCodigo()].push_back(i);
  return indice;
}

UC::UC()
    : codigo(0), ano(0), semestre(0), ects(0), nota(-1), somaAlunosAprovados(0), somaNotas(0) {}

UC::~UC() = default;

bool UC::interpreta(std::string_view linha, UC& uc, std::ostream& avisos) {
  if (interpretaCompleto(linha, uc)) return true;
  Campos campos(linha);
  std::string_view nome;
  uc.somaAlunosAprovados = 0;
  uc.somaNotas = 0;
  uc.eFolios.clear();
  uc.eFolios.reserve(efoliosPorUC);
  if (!campos.inteiro(uc.codigo) || !campos.campo(nome) || !campos.inteiro(uc.ano) ||
      !campos.inteiro(uc.semestre) || !campos.inteiro(uc.ects)) {
    return false;
  }
  uc.nome.assign(nome);
  uc.nota = -1;
  uc.setProvaFinal(-1);
  uc.setProvaRecurso(-1);
  uc.setOpcaoAvaliacao(opcaoNaoEscolhida);

  std::string_view palavra;
  if (!campos.campo(palavra) || palavra != "AVALIACAO") {
    efoliosAusentes(uc);
    return true;
  }
  std::string_view textoOpcao;
  int opcao = 0;
  if (!campos.campo(textoOpcao)) return false;
  if (textoOpcao == "-") {
    opcao = opcaoNaoEscolhida;
  } else if (!leInteiro(textoOpcao, opcao)) {
    return false;
  }
  uc.setOpcaoAvaliacao(opcao);

  if (opcao == opcaoContinua) {
    if (!leGruposEfolio(campos, uc)) return false;
  } else {
    if (opcao != opcaoExameFinal && opcao != opcaoNaoEscolhida) {
      avisos << TXT("Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 para "
                    "Exame Final ou 1 para Avaliação Contínua")
             << std::endl;
      // Keep whatever e-folio groups the record holds, so that saving does
      // not lose them.
      size_t inicio = campos.posicao();
      if (!leGruposEfolio(campos, uc)) {
        efoliosAusentes(uc);
        campos.volta(inicio);
      }
    } else {
      efoliosAusentes(uc);
    }
  }

  float provaFinal = 0;
  float provaRecurso = 0;
  if (!campos.passaEtiqueta('F') || !campos.real(provaFinal)) return false;
  if (!campos.passaEtiqueta('R') || !campos.real(provaRecurso)) return false;
  if (!campos.passaEtiqueta('N') || !campos.real(uc.nota)) return false;
  uc.setProvaFinal(provaFinal);
  uc.setProvaRecurso(provaRecurso);
  return true;
}

int UC::getNota() const {
  if (std::isnan(nota)) return 0;
  if (nota >= 2147483648.0f) return INT_MAX;
  if (nota < -2147483648.0f) return INT_MIN;
  return static_cast<int>(nota);
}

void UC::limpaEstatisticas() {
  somaAlunosAprovados = 0;
  somaNotas = 0;
}

void UC::atualizaNotaFinal(std::ostream& saida) {
  const regras::NotaFinal nova =
      regras::decideNotaFinal(static_cast<float>(getNota()), regras::notaCalculada(*this));
  if (nova.decisao == regras::Decisao::melhoria) {
    saida << std::endl;
    saida << TXT("ATENÇÂO: A nova nota é superior a nota existente, trata-se de uma melhoria de "
                 "nota?")
          << std::endl;
    saida << "A Atualizar Nota ..." << std::endl;
  } else if (nova.decisao == regras::Decisao::naoAtualizada) {
    saida << std::endl;
    saida << TXT("Nota final não atualizada") << std::endl;
  }
  if (nova.guarda) setNota(nova.nota);
  saida << std::endl;
  saida << std::endl;
}

void UC::imprimeInfoUC(std::ostream& saida) const {
  if (aprovado()) imprimeInfoUC(saida, 1);
}

void UC::imprimeInfoUC(std::ostream& saida, int /*flag*/) const {
  celula(saida, "", larguraInicial, separador);
  celula(saida, nome, larguraNome, separador);
  celula(saida, ects, larguraEcts, separador);
  celula(saida, opcaoAvaliacaoToString(), larguraOpcaoAv, separador);
  for (const Efolio& e : eFolios) {
    celula(saida, e.valorImpressaoNotaEfolio(), larguraEfolio, separador);
  }
  celula(saida, getNotaToString(getProvaFinal()), larguraExame, separador);
  celula(saida, getNotaToString(getProvaRecurso()), larguraExame, separador);
  celula(saida, getNotaFinalToString(static_cast<float>(getNota())), larguraNota, separador);
  saida << std::endl;
}

void UC::imprimeUCcodigoNome(std::ostream& saida) const {
  std::string texto;
  celula(texto, "", larguraInicial, separador);
  celula(texto, codigo, larguraCodigo, separador);
  celula(texto, nome, larguraNome, separador);
  imprimeLinha(saida, texto);
}

void UC::imprimeInfoUCcurso(std::ostream& saida) const {
  saida << std::endl;
  saida << "UNIDADE CURRICULAR: " << nome << std::endl;
  saida << "Total de Alunos Aprovados: " << somaAlunosAprovados << std::endl;
  if (somaAlunosAprovados != 0) {
    saida << TXT("Média: ") << std::fixed << std::setprecision(precisaoMedia)
          << somaNotas / static_cast<float>(somaAlunosAprovados) << std::endl;
  } else {
    saida << TXT("Não existem alunos aprovados, logo não é possivel calcular a média") << std::endl;
  }
}

// A unit's line is built in a buffer on the stack (or, for a name too long
// for it, on the heap) with no check per field, and appended in one go.
void UC::gravaFicheiroEstudanteUC(std::string& destino) const {
  // The fixed texts and the eight numbers outside the e-folio groups.
  const size_t maximo = nome.size() + tamanhoEfolios() + 32 + 8 * larguraNumero;
  char local[larguraLinhaFicheiro];
  std::string grande;
  char* inicio = local;
  if (maximo > sizeof local) {
    grande.resize(maximo);
    inicio = grande.data();
  }
  char* p = escreveInteiro(inicio, codigo);
  *p++ = ';';
  p = escreveTexto(p, nome);
  *p++ = ';';
  p = escreveInteiro(p, ano);
  *p++ = ';';
  p = escreveInteiro(p, semestre);
  *p++ = ';';
  p = escreveInteiro(p, ects);
  p = escreveTexto(p, ";AVALIACAO;");
  p = escreveInteiro(p, getOpcaoAvaliacao());
  *p++ = ';';
  p = escreveEfolios(p);
  p = escreveTexto(p, "F;");
  p = escreveReal(p, getProvaFinal());
  p = escreveTexto(p, ";R;");
  p = escreveReal(p, getProvaRecurso());
  p = escreveTexto(p, ";N;");
  p = escreveInteiro(p, getNota());
  p = escreveTexto(p, "\r\n");
  destino.append(inicio, static_cast<size_t>(p - inicio));
}
