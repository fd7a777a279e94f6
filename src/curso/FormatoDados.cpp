#include "FormatoDados.h"

#include <ostream>

#include "Cp1252.h"
#include "LeitorLinhas.h"
#include "Nomes.h"
#include "Numeros.h"

namespace formato {

namespace {

// Room on the stack for a unit's line of the student file; a line with a
// longer name is built on the heap.
const size_t larguraLinhaFicheiro = 1024;

}  // namespace

namespace {

// The final grade as the student file writes it: its whole part.
std::string textoNotaFinal(float nota) {
  UC uc;
  uc.setNota(nota);
  return std::to_string(uc.getNota());
}

// The numbers of one record read field by field, and those written another
// way than the program writes them, kept until the whole record is read: a
// line that is then skipped says nothing of its numbers.
class NumerosLidos {
 public:
  explicit NumerosLidos(bool virgulaDecimal) : virgulaDecimal_(virgulaDecimal) {}

  // A whole-number field; false when no number starts it.
  bool inteiro(std::string_view campo, int& valor) {
    const FormaNumero forma = leInteiroCampo(campo, valor);
    if (forma == FormaNumero::comResto) guarda(campo, std::to_string(valor));
    return forma != FormaNumero::nenhuma;
  }
  // A real field, "-" for -1; false when it is neither. The final grade
  // (`notaFinal`) is written back as its whole part.
  bool real(std::string_view campo, float& valor, bool notaFinal = false) {
    if (campo == "-") {
      valor = -1;
      return true;
    }
    const FormaNumero forma = leRealCampo(campo, valor, virgulaDecimal_);
    if (forma == FormaNumero::virgula) virgulas_ = true;
    if (forma == FormaNumero::comResto) {
      guarda(campo, notaFinal ? textoNotaFinal(valor) : textoGeral(valor));
    }
    return forma != FormaNumero::nenhuma;
  }
  // How many numbers read another way are kept; forgets those kept after
  // the first `guardados` (fields that will be read again).
  size_t guardados() const { return avisos_.size(); }
  void esquece(size_t guardados) {
    avisos_.erase(avisos_.begin() + static_cast<std::ptrdiff_t>(guardados), avisos_.end());
  }
  // Tells `ficheiro`, on its line last read, of the numbers read another
  // way, in field order.
  void conta(LeitorLinhas& ficheiro) const {
    if (virgulas_) ficheiro.notaNumeroLido();
    for (const auto& [texto, valor] : avisos_) ficheiro.avisaNumeroLido(texto, valor);
  }

 private:
  void guarda(std::string_view campo, std::string valor) {
    avisos_.emplace_back(std::string(campo), std::move(valor));
  }

  bool virgulaDecimal_;
  bool virgulas_ = false;
  std::vector<std::pair<std::string, std::string>> avisos_;
};

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

namespace {

// A student's unit lines end at a blank line, a line of one character, or
// the next student record.
bool fimDoBloco(std::string_view texto) {
  return texto.size() <= 1 || linhaEmBranco(texto) || primeiroCampo(texto) == palavraAluno;
}

// Reads the unit lines that follow a student record into `ucs`, up to the
// end of the block; a line that cannot be read is reported and skipped.
void leUnidadesDoBloco(LeitorLinhas& ficheiro, std::vector<UC>& ucs) {
  std::string_view texto;
  while (ficheiro.proximaLinha(texto)) {
    if (fimDoBloco(texto)) {
      if (linhaEmBranco(texto)) break;
      if (texto.size() > 1) {
        ficheiro.devolveLinha();  // the next student's record
      } else {
        ficheiro.ignoraLinha();  // one character that ends the block is still dropped
      }
      break;
    }
    // Read in place: the unit is never copied, and its name and e-folios
    // are allocated once, at their final size.
    if (!leUnidade(texto, ucs.emplace_back(), ficheiro, true)) {
      ucs.pop_back();
      ficheiro.ignoraLinha();
    }
  }
}

}  // namespace

bool leBlocoAluno(std::string_view linha, LeitorLinhas& ficheiro, Estudantes& estudante,
                  size_t unidadesPrevistas) {
  size_t separa = linha.find(';');
  int numero = 0;
  NumerosLidos numeros(true);
  if (!numeros.inteiro(linha.substr(0, separa), numero)) {
    ficheiro.ignoraLinha();
    return false;
  }
  numeros.conta(ficheiro);
  estudante.setNumAluno(numero);
  estudante.setNome(std::string(separa == std::string_view::npos ? std::string_view()
                                                                 : linha.substr(separa + 1)));
  std::vector<UC>& ucs = estudante.alteraListaUCs();
  ucs.clear();
  ucs.reserve(unidadesPrevistas);
  leUnidadesDoBloco(ficheiro, ucs);
  if (ucs.capacity() != ucs.size()) ucs.shrink_to_fit();
  return true;
}

void leFicheiroEstudantes(LeitorLinhas& ficheiro, std::vector<Estudantes>& estudantes) {
  const std::string_view inicio = inicioRegistoAluno;
  std::string_view texto;
  // Students of a course mostly take as many units as the one before them.
  size_t unidadesPrevistas = 0;
  while (ficheiro.proximaLinha(texto)) {
    if (texto.size() <= inicio.size() || texto.compare(0, inicio.size(), inicio) != 0) {
      if (!linhaEmBranco(texto)) ficheiro.ignoraLinha();
      continue;
    }
    Estudantes& estudante = estudantes.emplace_back();
    if (leBlocoAluno(texto.substr(inicio.size()), ficheiro, estudante, unidadesPrevistas)) {
      unidadesPrevistas = estudante.numeroUCs();
    } else {
      estudantes.pop_back();
    }
  }
  ficheiro.avisaNumerosRestantes();
}

long contaRegistosAluno(LeitorLinhas& ficheiro) {
  return ficheiro.contaRestantesComPrimeiroCampo(palavraAluno);
}

void gravaFicheiroEstudanteUC(const Estudantes& estudante, std::string& destino) {
  for (const UC& uc : estudante.getListaUCs()) gravaFicheiroEstudanteUC(uc, destino);
}

void acrescentaBlocoAluno(std::string& destino, const Estudantes& estudante) {
  destino += inicioRegistoAluno;
  acrescentaInteiro(destino, estudante.getNumAluno());
  destino += ';';
  destino += estudante.nomeAluno();
  destino += "\r\n";
  gravaFicheiroEstudanteUC(estudante, destino);
  destino += "\r\n";
}

namespace {

// The student file is saved in pieces of whole blocks of about this size: a
// large course without its whole file in memory, in few writes.
const size_t tamanhoPedaco = 1 << 20;

}  // namespace

Pedacos pedacosFicheiroEstudantes(const std::vector<Estudantes>& estudantes) {
  size_t seguinte = 0;
  std::string texto;
  return [&estudantes, seguinte, texto](std::string_view& pedaco) mutable {
    texto.clear();
    while (seguinte < estudantes.size() && texto.size() < tamanhoPedaco) {
      acrescentaBlocoAluno(texto, estudantes[seguinte++]);
    }
    pedaco = texto;
    return !texto.empty();
  };
}

std::string conteudoFicheiroEstudantes(const std::vector<Estudantes>& estudantes) {
  std::string conteudo;
  for (const Estudantes& e : estudantes) acrescentaBlocoAluno(conteudo, e);
  return conteudo;
}

bool leRegistoCurso(std::string_view linha, RegistoCurso& registo) {
  size_t fimPalavra = linha.find(';');
  if (fimPalavra == std::string_view::npos || linha.substr(0, fimPalavra) != palavraCurso) {
    return false;
  }
  std::string_view resto = linha.substr(fimPalavra + 1);
  size_t fimCodigo = resto.find(';');
  int codigo = 0;
  if (!leInteiro(resto.substr(0, fimCodigo), codigo)) return false;
  std::string_view nome;
  if (fimCodigo != std::string_view::npos) {
    nome = resto.substr(fimCodigo + 1);
    nome = nome.substr(0, nome.find(';'));
  }
  registo.codigo = codigo;
  registo.nome.assign(nome);
  return true;
}

bool registoCursoDoCatalogo(LeitorLinhas& ficheiro, RegistoCurso& registo) {
  bool encontrado = false;
  std::string_view texto;
  while (ficheiro.proximaLinha(texto)) encontrado = leRegistoCurso(texto, registo) || encontrado;
  return encontrado;
}

namespace {

// The course's total of ECTS runs up to three digits.
const int maximoTotalEcts = 999;

// The field after the course's name, or none.
bool quartoCampo(std::string_view linha, std::string_view& campo) {
  size_t fim = 0;
  for (int campos = 0; campos < 3; ++campos) {
    fim = linha.find(';', fim);
    if (fim == std::string_view::npos) return false;
    ++fim;
  }
  campo = linha.substr(fim);
  campo = campo.substr(0, campo.find(';'));
  return true;
}

bool digito(char c) { return c >= '0' && c <= '9'; }

// The first line of a unit file, with the course's total of ECTS when it
// gives one; an invalid total is named, and the default is kept.
void leTotalDoRegisto(LeitorLinhas& ficheiro, std::string_view linha, int& totalEcts) {
  std::string_view texto;
  int total = 0;
  switch (leTotalEcts(linha, total, texto)) {
    case TotalEcts::valido:
      totalEcts = total;
      break;
    case TotalEcts::invalido:
      ficheiro.mensagens() << TXT("ATENÇÃO: Linha ") << ficheiro.numeroLinha() << " do ficheiro "
                           << ficheiro.nomeFicheiro() << ": total de ECTS '" << texto
                           << TXT("' inválido; usado ") << totalEcts << std::endl;
      break;
    case TotalEcts::ausente:
      break;
  }
}

}  // namespace

TotalEcts leTotalEcts(std::string_view linha, int& total, std::string_view& texto) {
  std::string_view campo;
  if (primeiroCampo(linha) != palavraCurso || !quartoCampo(linha, campo)) return TotalEcts::ausente;
  if (campo.empty() || !digito(campo.front())) return TotalEcts::ausente;
  texto = campo;
  int valor = 0;
  for (char c : campo) {
    if (!digito(c)) return TotalEcts::invalido;
    valor = valor * 10 + (c - '0');
    if (valor > maximoTotalEcts) return TotalEcts::invalido;
  }
  if (valor == 0) return TotalEcts::invalido;
  total = valor;
  return TotalEcts::valido;
}

void leFicheiroUnidades(LeitorLinhas& ficheiro, std::vector<UC>& unidades, int& totalEcts) {
  std::string_view texto;
  if (!ficheiro.proximaLinha(texto)) return;
  leTotalDoRegisto(ficheiro, texto, totalEcts);
  UC uc;
  while (ficheiro.proximaLinha(texto)) {
    if (texto.empty()) continue;
    // The unit file's reals keep the program's own decimal point: a comma
    // there is reported like any other text after a number.
    if (leUnidade(texto, uc, ficheiro, false)) {
      unidades.push_back(uc);
    } else {
      ficheiro.ignoraLinha();
    }
  }
  ficheiro.avisaNumerosRestantes();
}

}  // namespace formato
