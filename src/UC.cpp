#include "UC.h"

#include <climits>
#include <cmath>
#include <iomanip>
#include <iostream>

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

}  // namespace

IndiceUCs indexaUCs(const std::vector<UC>& ucs) {
  IndiceUCs indice;
  for (size_t i = 0; i < ucs.size(); ++i) indice[ucs[i].getCodigo()].push_back(i);
  return indice;
}

UC::UC()
    : codigo(0), ano(0), semestre(0), ects(0), nota(-1), somaAlunosAprovados(0), somaNotas(0) {}

UC::~UC() = default;

bool UC::interpreta(std::string_view linha, UC& uc) { return interpreta(linha, uc, std::cout); }

bool UC::interpreta(std::string_view linha, UC& uc, std::ostream& avisos) {
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
      avisos << "Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 para "
                "Exame Final ou 1 para Avaliação Contínua"
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

void UC::atualizaNotaFinal() {
  const regras::NotaFinal nova =
      regras::decideNotaFinal(static_cast<float>(getNota()), regras::notaCalculada(*this));
  if (nova.decisao == regras::Decisao::melhoria) {
    std::cout << std::endl;
    std::cout << "ATENÇÂO: A nova nota é superior a nota existente, trata-se de uma melhoria de "
                 "nota?"
              << std::endl;
    std::cout << "A Atualizar Nota ..." << std::endl;
  } else if (nova.decisao == regras::Decisao::naoAtualizada) {
    std::cout << std::endl;
    std::cout << "Nota final não atualizada" << std::endl;
  }
  if (nova.guarda) setNota(nova.nota);
  std::cout << std::endl;
  std::cout << std::endl;
}

void UC::imprimeInfoUC() const {
  if (aprovado()) imprimeInfoUC(1);
}

void UC::imprimeInfoUC(int /*flag*/) const {
  celula(std::cout, "", larguraInicial, separador);
  celula(std::cout, nome, larguraNome, separador);
  celula(std::cout, ects, larguraEcts, separador);
  celula(std::cout, opcaoAvaliacaoToString(), larguraOpcaoAv, separador);
  for (const Efolio& e : eFolios) {
    celula(std::cout, e.valorImpressaoNotaEfolio(), larguraEfolio, separador);
  }
  celula(std::cout, getNotaToString(getProvaFinal()), larguraExame, separador);
  celula(std::cout, getNotaToString(getProvaRecurso()), larguraExame, separador);
  celula(std::cout, getNotaFinalToString(static_cast<float>(getNota())), larguraNota, separador);
  std::cout << std::endl;
}

void UC::imprimeUCcodigoNome() const {
  celula(std::cout, "", larguraInicial, separador);
  celula(std::cout, codigo, larguraCodigo, separador);
  celula(std::cout, nome, larguraNome, separador);
  std::cout << std::endl;
}

void UC::imprimeInfoUCcurso() const {
  std::cout << std::endl;
  std::cout << "UNIDADE CURRICULAR: " << nome << std::endl;
  std::cout << "Total de Alunos Aprovados: " << somaAlunosAprovados << std::endl;
  if (somaAlunosAprovados != 0) {
    std::cout << "Média: " << std::fixed << std::setprecision(precisaoMedia)
              << somaNotas / static_cast<float>(somaAlunosAprovados) << std::endl;
  } else {
    std::cout << "Não existem alunos aprovados, logo não é possivel calcular a média" << std::endl;
  }
}

void UC::gravaFicheiroEstudanteUC(std::string& destino) const {
  Acumulador linha(destino);
  linha.inteiro(codigo);
  linha.caracter(';');
  linha.texto(nome);
  linha.caracter(';');
  linha.inteiro(ano);
  linha.caracter(';');
  linha.inteiro(semestre);
  linha.caracter(';');
  linha.inteiro(ects);
  linha.texto(";AVALIACAO;");
  linha.inteiro(getOpcaoAvaliacao());
  linha.caracter(';');
  gravaFicheiroEstudanteUCEfolios(linha);
  linha.texto("F;");
  linha.real(getProvaFinal());
  linha.texto(";R;");
  linha.real(getProvaRecurso());
  linha.texto(";N;");
  linha.inteiro(getNota());
  linha.texto("\r\n");
}
