// One unit record of the student file, read and written: the lenient
// reading that reports what it cannot take, the one-pass reading of a line
// written as pauta writes it, and the line written back (FormatoDados.h).
#include <ostream>

#include "Cp1252.h"
#include "FormatoDados.h"
#include "LeitorLinhas.h"
#include "Numeros.h"
#include "NumerosLidos.h"

namespace formato {

namespace {

// Room on the stack for a unit's line of the student file; a line with a
// longer name is built on the heap.
const size_t larguraLinhaFicheiro = 1024;

// Reads an e-folio's "grade;weight;" text (each "-" or a real) into
// `efolio`; false, leaving it alone, when a field is neither.
bool leEfolio(std::string_view texto, char letra, Efolio& efolio, NumerosLidos& numeros) {
  size_t fimNota = texto.find(';');
  if (fimNota == std::string_view::npos) return false;
  std::string_view resto = texto.substr(fimNota + 1);
  std::string_view campoPeso = resto.substr(0, resto.find(';'));
  float nota = 0;
  float peso = 0;
  if (!numeros.real(texto.substr(0, fimNota), nota)) return false;
  if (!numeros.real(campoPeso, peso)) return false;
  efolio.setLetra(letra);
  efolio.setNota(nota);
  efolio.setPeso(peso);
  return true;
}

// Walks the fields of one record the way a string stream read with ';' as
// delimiter does: a field is the text up to the next ';' (consumed) or up to
// the end of the text. Its numbers are read by `numeros`.
class Campos {
 public:
  Campos(std::string_view texto, NumerosLidos& numeros)
      : texto_(texto), fim_(texto.empty()), numeros_(numeros) {}

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
    return campo(c) && numeros_.inteiro(c, valor);
  }

  bool real(float& valor, bool notaFinal = false) {
    std::string_view c;
    return campo(c) && numeros_.real(c, valor, notaFinal);
  }

  NumerosLidos& numeros() { return numeros_; }

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
  NumerosLidos& numeros_;
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
    if (!leEfolio(texto, letras[i], efolio, campos.numeros())) return false;
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

// The identity fields every unit record starts with; false when one of
// them cannot be read.
bool leIdentificacao(Campos& campos, UC& uc) {
  int codigo = 0;
  int ano = 0;
  int semestre = 0;
  int ects = 0;
  std::string_view nome;
  if (!campos.inteiro(codigo) || !campos.campo(nome) || !campos.inteiro(ano) ||
      !campos.inteiro(semestre) || !campos.inteiro(ects)) {
    return false;
  }
  uc.setCodigo(codigo);
  uc.setNome(std::string(nome));
  uc.setAno(ano);
  uc.setSemestre(semestre);
  uc.setEcts(ects);
  return true;
}

// The option field after AVALIACAO: "-" or a whole number.
bool leOpcao(Campos& campos, int& opcao) {
  std::string_view texto;
  if (!campos.campo(texto)) return false;
  if (texto == "-") {
    opcao = opcaoNaoEscolhida;
    return true;
  }
  return campos.numeros().inteiro(texto, opcao);
}

// The e-folio groups that follow the option. A record whose option is
// neither 0 nor 1 is reported, and keeps whatever groups it holds, so that
// saving does not lose them.
bool leEfoliosDaOpcao(Campos& campos, UC& uc, int opcao, std::ostream& avisos) {
  if (opcao == opcaoContinua) return leGruposEfolio(campos, uc);
  if (opcao == opcaoExameFinal || opcao == opcaoNaoEscolhida) {
    efoliosAusentes(uc);
    return true;
  }
  avisos << TXT("Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 para "
                "Exame Final ou 1 para Avaliação Contínua")
         << std::endl;
  size_t inicio = campos.posicao();
  const size_t numerosAntes = campos.numeros().guardados();
  if (!leGruposEfolio(campos, uc)) {
    efoliosAusentes(uc);
    campos.volta(inicio);
    campos.numeros().esquece(numerosAntes);  // the groups' numbers are not kept
  }
  return true;
}

// The tagged grades F, R and N that end an assessment part.
bool leProvasENota(Campos& campos, UC& uc) {
  float provaFinal = 0;
  float provaRecurso = 0;
  float nota = 0;
  if (!campos.passaEtiqueta(etiquetaProvaFinal[0]) || !campos.real(provaFinal)) return false;
  if (!campos.passaEtiqueta(etiquetaProvaRecurso[0]) || !campos.real(provaRecurso)) return false;
  if (!campos.passaEtiqueta(etiquetaNotaFinal[0]) || !campos.real(nota, true)) return false;
  uc.setProvaFinal(provaFinal);
  uc.setProvaRecurso(provaRecurso);
  uc.setNota(nota);
  return true;
}

}  // namespace

namespace {

// The values of a record written in full, as read in one pass.
struct ValoresCompletos {
  int codigo = 0;
  int ano = 0;
  int semestre = 0;
  int ects = 0;
  int opcao = 0;
  std::string_view nome;
  float notas[3] = {};
  float pesos[3] = {};
  float provaFinal = 0;
  float provaRecurso = 0;
  float nota = 0;
};

const char* const letrasEfolio[] = {"A", "B", "C"};

// The fields up to the option; false unless each is what it must be and the
// option is -1, 0 or 1. A year, semester or ECTS of "-" is not a number:
// it is left to the tag-by-tag reading, which refuses it.
bool leIdentificacaoCompleta(RegistoCompleto& r, ValoresCompletos& v) {
  if (!r.inteiro(v.codigo) || !r.texto(v.nome) || !r.inteiro(v.ano) || !r.inteiro(v.semestre) ||
      !r.inteiro(v.ects) || !r.etiqueta(etiquetaAvaliacao) || !r.inteiro(v.opcao)) {
    return false;
  }
  if (v.opcao != opcaoContinua && v.opcao != opcaoExameFinal && v.opcao != opcaoNaoEscolhida) {
    return false;
  }
  return v.ano != -1 && v.semestre != -1 && v.ects != -1 && v.codigo != -1;
}

// The three e-folio groups and the tagged grades, to the end of the line.
bool leAvaliacaoCompleta(RegistoCompleto& r, ValoresCompletos& v) {
  for (int i = 0; i < 3; ++i) {
    if (!r.etiqueta(letrasEfolio[i]) || !r.real(v.notas[i]) || !r.real(v.pesos[i])) {
      return false;
    }
  }
  return r.etiqueta(etiquetaProvaFinal) && r.real(v.provaFinal) &&
         r.etiqueta(etiquetaProvaRecurso) && r.real(v.provaRecurso) &&
         r.etiqueta(etiquetaNotaFinal) && r.real(v.nota) && r.lido();
}

void preencheUnidade(const ValoresCompletos& v, UC& uc) {
  uc.setCodigo(v.codigo);
  uc.setNome(std::string(v.nome));
  uc.setAno(v.ano);
  uc.setSemestre(v.semestre);
  uc.setEcts(v.ects);
  uc.setOpcaoAvaliacao(v.opcao);
  uc.setProvaFinal(v.provaFinal);
  uc.setProvaRecurso(v.provaRecurso);
  uc.setNota(v.nota);
  uc.limpaEstatisticas();
  uc.eFolios.clear();
  uc.eFolios.reserve(efoliosPorUC);
  for (int i = 0; i < 3; ++i) {
    Efolio& e = uc.eFolios.emplace_back(letrasEfolio[i][0]);
    // Only a continuous-assessment record keeps its e-folio values.
    if (v.opcao == opcaoContinua) {
      e.setNota(v.notas[i]);
      e.setPeso(v.pesos[i]);
    }
  }
}

}  // namespace

// The record in one pass when it is written in full with short numbers, as
// code;name;year;semester;ects;AVALIACAO;option;A;g;w;B;g;w;C;g;w;F;g;R;g;N;g
// (every record that the program writes, save odd values such as 1e-05):
// every field then lies where the tag-by-tag reading finds it, and the
// values are those it gives. False, with `uc` untouched, for any other
// record: the tag-by-tag reading decides then.
bool leUnidadeCompleta(std::string_view linha, UC& uc) {
  RegistoCompleto r(linha);
  ValoresCompletos valores;
  if (!leIdentificacaoCompleta(r, valores) || !leAvaliacaoCompleta(r, valores)) return false;
  preencheUnidade(valores, uc);
  return true;
}

namespace {

bool leUnidadeGeral(std::string_view linha, UC& uc, std::ostream& avisos, NumerosLidos& numeros) {
  Campos campos(linha, numeros);
  uc.limpaEstatisticas();
  uc.eFolios.clear();
  uc.eFolios.reserve(efoliosPorUC);
  if (!leIdentificacao(campos, uc)) return false;
  uc.setNota(-1);
  uc.setProvaFinal(-1);
  uc.setProvaRecurso(-1);
  uc.setOpcaoAvaliacao(opcaoNaoEscolhida);
  std::string_view palavra;
  if (!campos.campo(palavra) || palavra != etiquetaAvaliacao) {
    efoliosAusentes(uc);
    return true;
  }
  int opcao = 0;
  if (!leOpcao(campos, opcao)) return false;
  uc.setOpcaoAvaliacao(opcao);
  return leEfoliosDaOpcao(campos, uc, opcao, avisos) && leProvasENota(campos, uc);
}

}  // namespace

bool leUnidadeGeral(std::string_view linha, UC& uc, std::ostream& avisos) {
  NumerosLidos numeros(true);
  return leUnidadeGeral(linha, uc, avisos, numeros);
}

bool leUnidade(std::string_view linha, UC& uc, std::ostream& avisos) {
  return leUnidadeCompleta(linha, uc) || leUnidadeGeral(linha, uc, avisos);
}

bool leUnidade(std::string_view linha, UC& uc, LeitorLinhas& ficheiro, bool virgulaDecimal) {
  if (leUnidadeCompleta(linha, uc)) return true;
  NumerosLidos numeros(virgulaDecimal);
  if (!leUnidadeGeral(linha, uc, ficheiro.mensagens(), numeros)) return false;
  numeros.conta(ficheiro);
  return true;
}

size_t tamanhoEfolios(const NotasUC& notas) {
  // Letter and three ';', and two numbers, per e-folio.
  return notas.eFolios.size() * (4 + 2 * larguraNumero);
}

char* escreveEfolios(const NotasUC& notas, char* destino) {
  char* p = destino;
  for (const Efolio& e : notas.eFolios) {
    *p++ = e.getLetra();
    *p++ = ';';
    p = escreveReal(p, e.getNota());
    *p++ = ';';
    p = escreveReal(p, e.getPeso());
    *p++ = ';';
  }
  return p;
}

// A unit's fields from its code to its ECTS, from `p` on; answers their end.
char* escreveIdentificacaoUC(const UC& uc, char* p) {
  p = escreveInteiro(p, uc.getCodigo());
  *p++ = ';';
  p = escreveTexto(p, uc.nomeUC());
  *p++ = ';';
  p = escreveInteiro(p, uc.getAno());
  *p++ = ';';
  p = escreveInteiro(p, uc.getsemestre());
  *p++ = ';';
  return escreveInteiro(p, uc.getEcts());
}

// A unit's line from `p` on, with no check per field; answers its end.
char* escreveLinhaUC(const UC& uc, char* p) {
  p = escreveIdentificacaoUC(uc, p);
  p = escreveTexto(p, ";AVALIACAO;");
  p = escreveInteiro(p, uc.getOpcaoAvaliacao());
  *p++ = ';';
  p = escreveEfolios(uc, p);
  p = escreveTexto(p, "F;");
  p = escreveReal(p, uc.getProvaFinal());
  p = escreveTexto(p, ";R;");
  p = escreveReal(p, uc.getProvaRecurso());
  p = escreveTexto(p, ";N;");
  p = escreveInteiro(p, uc.getNota());
  return escreveTexto(p, "\r\n");
}

// A unit's line is built in a buffer on the stack (or, for a name too long
// for it, on the heap) and appended in one go.
void gravaFicheiroEstudanteUC(const UC& uc, std::string& destino) {
  // The fixed texts and the eight numbers outside the e-folio groups.
  const size_t maximo = uc.nomeUC().size() + tamanhoEfolios(uc) + 32 + 8 * larguraNumero;
  char local[larguraLinhaFicheiro];
  std::string grande;
  char* inicio = local;
  if (maximo > sizeof local) {
    grande.resize(maximo);
    inicio = grande.data();
  }
  const char* fim = escreveLinhaUC(uc, inicio);
  destino.append(inicio, static_cast<size_t>(fim - inicio));
}

}  // namespace formato
