#include "Importacao.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iostream>
#include <optional>
#include <unordered_map>

#include "AlteracaoCurso.h"
#include "Cp1252.h"
#include "Execucao.h"
#include "Ficheiros.h"
#include "FormatoCsv.h"
#include "FormatoHistorico.h"
#include "LeitorCsv.h"
#include "Nomes.h"
#include "Numeros.h"
#include "Regras.h"
#include "RetratoEstudantes.h"

namespace {

const char letras[] = {'A', 'B', 'C'};
const int numEfolios = 3;
// The most of a header cell a message echoes (a cell this long names no
// column either).
const size_t maximoCelulaMostrada = 200;
const char* const colunasNota[] = {csv::colunaEfolioA, csv::colunaEfolioB, csv::colunaEfolioC};
const char* const colunasPeso[] = {csv::colunaPesoA, csv::colunaPesoB, csv::colunaPesoC};

// Where each column the import uses is, by position in the header (-1: the
// file has no such column).
struct Colunas {
  int numero = -1;
  int nome = -1;
  int codigo = -1;
  int avaliacao = -1;
  int nota[numEfolios] = {-1, -1, -1};
  int peso[numEfolios] = {-1, -1, -1};
  int pfolio = -1;
  int recurso = -1;
  size_t total = 0;  // cells in the header
};

// Where each known column is to be written, by its name.
struct ColunaConhecida {
  const char* nome;
  int* coluna;
};
using ColunasConhecidas = std::array<ColunaConhecida, 12>;

ColunasConhecidas colunasConhecidas(Colunas& c) {
  return {{{csv::colunaNumero, &c.numero},
           {csv::colunaNome, &c.nome},
           {csv::colunaCodigoUC, &c.codigo},
           {csv::colunaAvaliacao, &c.avaliacao},
           {csv::colunaEfolioA, &c.nota[0]},
           {csv::colunaPesoA, &c.peso[0]},
           {csv::colunaEfolioB, &c.nota[1]},
           {csv::colunaPesoB, &c.peso[1]},
           {csv::colunaEfolioC, &c.nota[2]},
           {csv::colunaPesoC, &c.peso[2]},
           {csv::colunaPfolio, &c.pfolio},
           {csv::colunaRecurso, &c.recurso}}};
}

// Two values are the same when they are, or when the files write them with
// the same digits: a value read back from an export is not a change.
bool mesmoValor(float a, float b) { return a == b || textoGeral(a) == textoGeral(b); }

// Control bytes, line ends included.
bool temControlo(std::string_view texto) {
  for (char c : texto) {
    if (cp1252::byteDeControlo(static_cast<unsigned char>(c), cp1252::FinsDeLinha::controlo)) {
      return true;
    }
  }
  return false;
}

std::string entreAspas(std::string_view texto) { return "'" + std::string(texto) + "'"; }

// What a unit row changed.
struct Alteracao {
  long notas = 0;
  bool alterou = false;
};

// The students a row is about: their positions in the course, or the new
// student the row adds (his position is then the course's size).
struct AlvosDaLinha {
  bool eNovo = false;
  Estudantes novo;
  std::vector<size_t> indices;
};

// A student's unit changed on a copy, to replace his own once the whole row
// is sound.
struct Mudanca {
  size_t indice;  // in the course's students; their count for a new one
  size_t posicao;
  UC uc;
  bool alterou;
};

// The cells of a row that give a unit's values, each a bit of
// ValoresDados::celulas.
enum CelulaValor {
  cOpcao,
  cNotaA,
  cPesoA,
  cNotaB,
  cPesoB,
  cNotaC,
  cPesoC,
  cProva,
  cRecurso,
  nCelulas
};

// Which values of a unit the sound rows so far gave, and the row of the
// first: another row may repeat them, not change them.
struct ValoresDados {
  std::uint32_t linha = 0;
  std::uint16_t celulas = 0;
};

class Importador {
 public:
  Importador(std::string_view texto, const std::vector<UC>& unidades,
             std::vector<Estudantes>& estudantes, std::vector<std::string>& erros, Regime regime)
      : leitor_(texto),
        unidades_(unidades),
        estudantes_(estudantes),
        erros_(erros),
        corrige_(regime == Regime::correcao) {
    for (size_t i = 0; i < estudantes_.size(); ++i) {
      porNumero_[estudantes_[i].getNumAluno()].push_back(i);
    }
    for (const UC& uc : unidades_) codigosCurso_[uc.getCodigo()] = true;
  }

  void importa();
  const ResumoImportacao& resumo() const { return resumo_; }

 private:
  bool leCabecalho();
  void localizaColuna(size_t i, const ColunasConhecidas& conhecidas);
  void verificaColunasNecessarias();
  std::string cabecalhoLido() const;
  void processaLinha();
  bool linhaComConteudo();
  bool leNumeroAluno(int& numero);
  bool leNomeAluno(std::string_view& nome);
  bool converteCelulas();
  void processaAluno(int numero, std::string_view nome, std::string_view textoCodigo);
  bool procuraAlvos(int numero, std::string_view nome, AlvosDaLinha& alvos);
  bool preparaNovo(int numero, std::string_view nome, AlvosDaLinha& alvos);
  bool linhaTemNotas() const;
  bool aplicaNaUC(int numero, std::string_view textoCodigo, AlvosDaLinha& alvos, Alteracao& total);
  bool preparaMudancas(int numero, int codigo, const AlvosDaLinha& alvos, Alteracao& total,
                       std::vector<Mudanca>& mudancas);
  void erroSemUC(int numero, int codigo);
  void contaLinha(int numero, AlvosDaLinha& alvos, const Alteracao& total);
  bool procuraUC(const Estudantes& estudante, size_t indice, int codigo, size_t& posicao) const;
  static size_t contaUC(const Estudantes& estudante, int codigo);
  Alteracao aplicaNotas(UC& uc);
  bool aplicaOpcao(UC& uc, bool& alterou);
  bool leOpcaoCelula(int& opcao);
  static void trocaOpcao(UC& uc, int opcao);
  void revalidaProvas(const UC& uc);
  void fechaCorrecao();
  bool aplicaEfolio(UC& uc, int i);
  bool leCelulasEfolio(int i, float& nota, float& peso);
  Efolio* efolioAceite(const UC& uc, Efolio* efolio, int i, bool notaDada);
  bool validaEfolio(int i, float nota, float& peso, bool pesoDado);
  bool aplicaEfolios(UC& uc, long& notas);
  bool aplicaProva(UC& uc, long& notas);
  bool admitidoPfolio(const UC& uc);
  bool aplicaRecurso(UC& uc, long& notas);
  bool exigeOpcao(const UC& uc);
  bool leValor(int coluna, float& valor);
  int colunaValor(int celulaValor) const;
  std::uint16_t celulasDadas() const;
  bool outroValor(int celulaValor, const UC& uc) const;
  bool valoresRepetidosIguais(int numero, int codigo, size_t indice, size_t posicao, const UC& uc);
  long linhaDoValor(size_t indice, size_t posicao, int celulaValor,
                    const ValoresDados& dados) const;
  void registaValoresDados();
  bool dentroDoIntervalo(regras::Campo campo, float valor, const char* nome, int coluna);

  // The cell of the current row in `coluna`, without blanks around it;
  // empty when the file has no such column or the row is shorter.
  std::string_view celula(int coluna) const {
    if (coluna < 0 || static_cast<size_t>(coluna) >= celulas_.size()) return {};
    return csv::semBrancos(celulas_[static_cast<size_t>(coluna)]);
  }
  // A correction's cell "-": the value back to none.
  bool limpa(int coluna) const { return corrige_ && celula(coluna) == "-"; }
  // The name of a column the file has.
  std::string nomeColuna(int coluna) const {
    return coluna >= 0 ? nomes_[static_cast<size_t>(coluna)] : std::string();
  }
  void erro(const std::string& razao) {
    erros_.push_back("Linha " + std::to_string(linha_) + ": " + razao);
    if (linha_ != ultimaLinhaComErro_) ++resumo_.linhasComErros;
    ultimaLinhaComErro_ = linha_;
  }
  void erro(int coluna, const std::string& razao) { erro(nomeColuna(coluna) + ": " + razao); }
  // The final grade of `uc` was not computed: its graded e-folios weigh
  // more than 8 (said once per row).
  void avisaPesos(const UC& uc) {
    if (pesosDitos_ == linha_) return;
    pesosDitos_ = linha_;
    resumo_.avisos.push_back("Linha " + std::to_string(linha_) + ": os pesos dos eFolios somam " +
                             csv::textoDecimal(regras::pesosAvaliados(uc.eFolios)) +
                             "; corrija-os para calcular a nota final");
  }

  // A record whose values (one edited into the file) would give a final
  // grade above 20 keeps its stored one.
  void avisaAcimaDeVinte(const UC& uc) {
    const regras::NotaFinal nova = regras::notaFinalCorrigida(uc);
    resumo_.avisos.push_back("Linha " + std::to_string(linha_) + ": as notas dariam a nota final " +
                             std::to_string(static_cast<int>(nova.nota)) +
                             ", acima de 20; corrija-as para calcular a nota final");
  }

  LeitorCsv leitor_;
  std::vector<std::string> celulas_;  // of the current row
  const std::vector<UC>& unidades_;
  std::vector<Estudantes>& estudantes_;
  std::vector<std::string>& erros_;
  std::unordered_map<int, std::vector<size_t>> porNumero_;
  std::unordered_map<int, bool> codigosCurso_;
  // Rows so far per student and unit code, for a student who has a code
  // twice: the n-th row goes to his n-th unit with it.
  std::unordered_map<size_t, std::unordered_map<int, size_t>> ocorrencias_;
  Colunas colunas_;
  std::vector<std::string> nomes_;  // header cells, CP1252
  std::vector<bool> usadas_;        // by position: a column the import reads
  long linha_ = 0;
  long ultimaLinhaComErro_ = 0;
  bool faltaOpcaoDita_ = false;
  long pesosDitos_ = 0;  // the row whose weights were last warned about
  // The units (student, position) the current row changes, and what the
  // sound rows gave each unit: per student, per unit position; the cells
  // given after a unit's first row, by chaveCelula.
  std::vector<std::pair<size_t, size_t>> unidadesDaLinha_;
  std::uint16_t celulasDadas_ = 0;  // the value cells of the current row
  std::vector<std::vector<ValoresDados>> valoresDados_;
  std::unordered_map<std::uint64_t, long> linhasPosteriores_;
  // A correction: the values of each unit (student, position) that sound
  // rows changed, as it was before each of them (the first one counts).
  const bool corrige_;
  struct Original {
    size_t indice, posicao;
    RetratoEstudantes::Valores valores;
  };
  std::vector<Original> originais_;
  ResumoImportacao resumo_;
};

void Importador::importa() {
  if (!leitor_.proximo(celulas_)) celulas_.clear();  // an empty file: a header without columns
  linha_ = 1;
  if (!leCabecalho()) return;
  while (leitor_.proximo(celulas_)) {
    linha_ = leitor_.linha();
    processaLinha();
  }
  if (corrige_) fechaCorrecao();
}

// What a correction changed, from each unit it changed as it was: the values
// and students for the summary, and a warning for each final grade that went
// down.
void Importador::fechaCorrecao() {
  // In file order, the first picture of each unit (a sheet in the file's
  // order, as the export writes it, is so already).
  const auto ordem = [](const Original& a, const Original& b) {
    return a.indice != b.indice ? a.indice < b.indice : a.posicao < b.posicao;
  };
  if (!std::is_sorted(originais_.begin(), originais_.end(), ordem)) {
    std::stable_sort(originais_.begin(), originais_.end(), ordem);
  }
  historico::LinhaHistorico linha;
  size_t ultimoAluno = estudantes_.size();
  const Original* anterior = nullptr;
  resumo_.alterado = false;
  for (const Original& original : originais_) {
    if (anterior != nullptr && anterior->indice == original.indice &&
        anterior->posicao == original.posicao) {
      continue;
    }
    anterior = &original;
    const RetratoEstudantes::Valores& antes = original.valores;
    const UC& agora = estudantes_[original.indice].getListaUCs()[original.posicao];
    long valores = 0;
    bool notaMudou = false;
    comparaUnidades(antes, valoresUnidade(agora), linha, [&](historico::LinhaHistorico& l) {
      if (l.campo == historico::campoNotaFinal) {
        notaMudou = true;
      } else {
        ++valores;
      }
    });
    if (valores == 0 && !notaMudou) continue;
    resumo_.alterado = true;
    resumo_.valoresCorrigidos += valores;
    if (original.indice != ultimoAluno) ++resumo_.alunosCorrigidos;
    ultimoAluno = original.indice;
    const int notaAntes = antes.nota;
    const int notaAgora = agora.getNota();
    if (notaAntes == -1 || (notaAgora != -1 && notaAgora >= notaAntes)) continue;
    ++resumo_.notasDesceram;
    resumo_.avisos.push_back("Aluno " + std::to_string(estudantes_[original.indice].getNumAluno()) +
                             ", UC " + std::to_string(agora.getCodigo()) + ": nota final " +
                             std::to_string(notaAntes) + " corrigida para " +
                             (notaAgora == -1 ? std::string("-") : std::to_string(notaAgora)));
  }
}

bool Importador::leCabecalho() {
  const ColunasConhecidas conhecidas = colunasConhecidas(colunas_);
  const size_t errosAntes = erros_.size();
  colunas_.total = celulas_.size();
  for (size_t i = 0; i < celulas_.size(); ++i) localizaColuna(i, conhecidas);
  usadas_.assign(colunas_.total, false);
  for (const ColunaConhecida& conhecida : conhecidas) {
    if (*conhecida.coluna >= 0) usadas_[static_cast<size_t>(*conhecida.coluna)] = true;
  }
  verificaColunasNecessarias();
  return erros_.size() == errosAntes;
}

// Keeps the header cell `i` and, when it names a known column, its position
// (a column named twice is an error).
void Importador::localizaColuna(size_t i, const ColunasConhecidas& conhecidas) {
  std::string& texto = celulas_[i];
  leitor_.converte(texto);  // a name that cannot be converted matches none
  const std::string_view nome = csv::semBrancos(csv::semProtecao(texto));
  const std::string chave =
      nome.size() <= maximoCelulaMostrada ? csv::chaveColuna(nome) : std::string();
  // Kept for the messages, which never echo more of a cell than this.
  nomes_.emplace_back(nome.substr(0, maximoCelulaMostrada));
  if (nome.size() > maximoCelulaMostrada) nomes_.back() += "...";
  for (const ColunaConhecida& conhecida : conhecidas) {
    if (chave.empty() || chave != csv::chaveColuna(conhecida.nome)) continue;
    if (*conhecida.coluna >= 0) {
      erro(std::string("a coluna ") + conhecida.nome + " aparece mais de uma vez");
    }
    *conhecida.coluna = static_cast<int>(i);
  }
}

// The student's number is always needed; the unit's code, when any column
// gives grades, weights or the option.
void Importador::verificaColunasNecessarias() {
  const Colunas& c = colunas_;
  if (c.numero < 0) erro(std::string("falta a coluna ") + csv::colunaNumero + cabecalhoLido());
  bool notas = c.avaliacao >= 0 || c.pfolio >= 0 || c.recurso >= 0;
  for (int i = 0; i < numEfolios; ++i) notas = notas || c.nota[i] >= 0 || c.peso[i] >= 0;
  if (notas && c.codigo < 0) {
    erro(std::string("falta a coluna ") + csv::colunaCodigoUC + " das notas" + cabecalhoLido());
  }
}

// The header as read, for the message about a missing column:
// " (cabeçalho lido: CELL | CELL | ...)".
std::string Importador::cabecalhoLido() const {
  std::string texto = TXT(" (cabeçalho lido: ");
  for (size_t i = 0; i < nomes_.size(); ++i) {
    if (i > 0) texto += " | ";
    texto += nomes_[i];
  }
  return texto + ")";
}

// Converts the cells the import uses from UTF-8; reports each that cannot be.
bool Importador::converteCelulas() {
  std::vector<std::string>& celulas = celulas_;
  bool ok = true;
  for (size_t i = 0; i < celulas.size() && i < colunas_.total; ++i) {
    if (celulas[i].empty()) continue;
    if (usadas_[i] && !leitor_.converte(celulas[i])) {
      erro(nomes_[i] + (cp1252::utf8Valido(celulas[i]) ? TXT(": caracteres que o CP1252 não tem")
                                                       : TXT(": texto UTF-8 inválido")));
      ok = false;
    }
  }
  return ok;
}

void Importador::processaLinha() {
  faltaOpcaoDita_ = false;
  unidadesDaLinha_.clear();
  celulasDadas_ = celulasDadas();
  if (!linhaComConteudo() || !converteCelulas()) return;
  int numero = 0;
  std::string_view nome;
  if (!leNumeroAluno(numero) || !leNomeAluno(nome)) return;
  processaAluno(numero, nome, celula(colunas_.codigo));
}

// Whether the row is one to process: an open quote or more cells than the
// header is an error; a row of empty cells, as spreadsheets leave, is
// passed over.
bool Importador::linhaComConteudo() {
  if (leitor_.aspasPorFechar()) {
    erro(TXT("aspas abertas que não fecham até ao fim do ficheiro"));
    return false;
  }
  bool vazia = true;
  for (size_t i = 0; i < celulas_.size(); ++i) {
    if (csv::semBrancos(celulas_[i]).empty()) continue;
    if (i >= colunas_.total) {
      erro(TXT("a linha tem mais células do que o cabeçalho"));
      return false;
    }
    vazia = false;
  }
  return !vazia;
}

bool Importador::leNumeroAluno(int& numero) {
  const std::string_view textoNumero = celula(colunas_.numero);
  if (textoNumero.empty()) {
    erro(colunas_.numero, TXT("falta o número do aluno"));
    return false;
  }
  if (!csv::leInteiroCelula(textoNumero, numero)) {
    erro(colunas_.numero, entreAspas(textoNumero) + TXT(" não é um número de aluno"));
    return false;
  }
  return true;
}

// The name cell (empty when there is none), refused when it is too long or
// holds control bytes.
bool Importador::leNomeAluno(std::string_view& nome) {
  if (colunas_.nome >= 0 && static_cast<size_t>(colunas_.nome) < celulas_.size()) {
    nome = csv::semBrancos(csv::semProtecao(celulas_[static_cast<size_t>(colunas_.nome)]));
  }
  if (nome.size() > regras::maximoCaracteresNome) {
    erro("o nome tem mais de 200 caracteres");
    return false;
  }
  if (temControlo(nome)) {
    // A line break in a name would split the student's record in the file.
    erro(colunas_.nome, "o nome tem quebras de linha ou outros caracteres de controlo");
    return false;
  }
  return true;
}

void Importador::processaAluno(int numero, std::string_view nome, std::string_view textoCodigo) {
  const size_t errosAntes = erros_.size();
  AlvosDaLinha alvos;
  if (!procuraAlvos(numero, nome, alvos)) return;
  Alteracao total;
  if (textoCodigo.empty()) {
    if (linhaTemNotas()) {
      erro(std::string(csv::colunaCodigoUC) + TXT(": falta o código da UC das notas"));
    }
  } else if (!aplicaNaUC(numero, textoCodigo, alvos, total)) {
    return;
  }
  if (erros_.size() != errosAntes) return;
  contaLinha(numero, alvos, total);
}

// Whether a row's name (not empty) is the student's own: the same text, or
// the same but for case, accents and runs of blanks.
bool mesmoNome(std::string_view nomeLinha, std::string_view nomeAluno) {
  return csv::semBrancos(nomeAluno) == nomeLinha ||
         csv::chaveTexto(nomeAluno) == csv::chaveTexto(nomeLinha);
}

// The students the row is about: every one with the number (and the name,
// when given), or a new one, made ready in `alvos.novo`.
bool Importador::procuraAlvos(int numero, std::string_view nome, AlvosDaLinha& alvos) {
  const auto encontrados = porNumero_.find(numero);
  alvos.eNovo = encontrados == porNumero_.end();
  if (alvos.eNovo && corrige_) {
    erro(colunas_.numero, "o aluno " + std::to_string(numero) + TXT(" não existe no curso"));
    return false;
  }
  if (alvos.eNovo) return preparaNovo(numero, nome, alvos);
  for (size_t i : encontrados->second) {
    if (nome.empty() || mesmoNome(nome, estudantes_[i].nomeAluno())) alvos.indices.push_back(i);
  }
  if (!alvos.indices.empty()) return true;
  erro(colunas_.nome, "o aluno " + std::to_string(numero) + " chama-se " +
                          entreAspas(estudantes_[encontrados->second.front()].getNome()) +
                          TXT(", não ") + entreAspas(nome));
  return false;
}

// A new student with the row's number and name, who takes every unit of
// the course.
bool Importador::preparaNovo(int numero, std::string_view nome, AlvosDaLinha& alvos) {
  const size_t errosAntes = erros_.size();
  if (!regras::numeroAlunoValido(numero)) {
    erro(colunas_.numero, TXT("o número 0 não pode ser usado como número de aluno"));
  }
  if (nome.empty()) erro(std::string(csv::colunaNome) + ": falta o nome do novo aluno");
  if (erros_.size() != errosAntes) return false;
  alvos.novo.setNumAluno(numero);
  alvos.novo.setNome(std::string(nome));
  for (const UC& uc : unidades_) alvos.novo.adicionaUC(uc);
  alvos.indices.push_back(estudantes_.size());
  return true;
}

// Whether the row gives any grade, weight or option.
bool Importador::linhaTemNotas() const {
  bool temNotas = !celula(colunas_.avaliacao).empty() || !celula(colunas_.pfolio).empty() ||
                  !celula(colunas_.recurso).empty();
  for (int i = 0; i < numEfolios; ++i) {
    temNotas = temNotas || !celula(colunas_.nota[i]).empty() || !celula(colunas_.peso[i]).empty();
  }
  return temNotas;
}

// Applies the row's grades to the unit `textoCodigo` of every student of
// `alvos`, each on a copy kept only if the whole row is sound. False when
// the row stops at an error.
bool Importador::aplicaNaUC(int numero, std::string_view textoCodigo, AlvosDaLinha& alvos,
                            Alteracao& total) {
  const size_t errosAntes = erros_.size();
  int codigo = 0;
  if (!csv::leInteiroCelula(textoCodigo, codigo)) {
    erro(colunas_.codigo, entreAspas(textoCodigo) + TXT(" não é um código de UC"));
    return false;
  }
  std::vector<Mudanca> mudancas;
  if (!preparaMudancas(numero, codigo, alvos, total, mudancas)) return false;
  if (erros_.size() != errosAntes) return false;
  for (Mudanca& m : mudancas) {
    Estudantes& estudante = alvos.eNovo ? alvos.novo : estudantes_[m.indice];
    if (contaUC(estudante, codigo) > 1) ++ocorrencias_[m.indice][codigo];
    if (corrige_ && m.alterou) {
      originais_.push_back(
          {m.indice, m.posicao, valoresUnidade(estudante.getListaUCs()[m.posicao])});
    }
    estudante.setUC(m.posicao, std::move(m.uc));
    unidadesDaLinha_.emplace_back(m.indice, m.posicao);
  }
  return true;
}

// The row applied to a copy of the unit `codigo` of each student of `alvos`;
// false when one does not take it.
bool Importador::preparaMudancas(int numero, int codigo, const AlvosDaLinha& alvos,
                                 Alteracao& total, std::vector<Mudanca>& mudancas) {
  for (size_t indice : alvos.indices) {
    const Estudantes& estudante = alvos.eNovo ? alvos.novo : estudantes_[indice];
    size_t posicao = 0;
    if (!procuraUC(estudante, indice, codigo, posicao)) {
      erroSemUC(numero, codigo);
      return false;
    }
    if (!valoresRepetidosIguais(numero, codigo, indice, posicao,
                                estudante.getListaUCs()[posicao])) {
      return false;
    }
    UC uc = estudante.getListaUCs()[posicao];
    const Alteracao a = aplicaNotas(uc);
    total.notas += a.notas;
    total.alterou = total.alterou || a.alterou;
    mudancas.push_back({indice, posicao, std::move(uc), a.alterou});
  }
  return true;
}

// The unit `codigo` is not in the course, or the student does not take it.
void Importador::erroSemUC(int numero, int codigo) {
  erro(colunas_.codigo, codigosCurso_.count(codigo) == 0
                            ? "a UC " + std::to_string(codigo) + TXT(" não existe no curso")
                            : "o aluno " + std::to_string(numero) +
                                  TXT(" não está inscrito na UC ") + std::to_string(codigo));
}

// Adds a sound row to the summary; a new student joins the course.
void Importador::contaLinha(int numero, AlvosDaLinha& alvos, const Alteracao& total) {
  if (alvos.eNovo) {
    porNumero_[numero].push_back(estudantes_.size());
    estudantes_.push_back(std::move(alvos.novo));
    ++resumo_.alunosNovos;
  }
  registaValoresDados();
  resumo_.notasAlteradas += total.notas;
  if (!alvos.eNovo && !total.alterou) ++resumo_.linhasSemAlteracoes;
  resumo_.alterado = resumo_.alterado || alvos.eNovo || total.alterou;
}

size_t Importador::contaUC(const Estudantes& estudante, int codigo) {
  size_t n = 0;
  for (const UC& uc : estudante.getListaUCs()) n += uc.getCodigo() == codigo;
  return n;
}

// The unit with the code that the student's next row for it goes to: the
// first, or for a student who has the code more than once, the n-th for his
// n-th row (the last one past them), as the export lists them.
bool Importador::procuraUC(const Estudantes& estudante, size_t indice, int codigo,
                           size_t& posicao) const {
  size_t anteriores = 0;
  const auto porAluno = ocorrencias_.find(indice);
  if (porAluno != ocorrencias_.end()) {
    const auto porCodigo = porAluno->second.find(codigo);
    if (porCodigo != porAluno->second.end()) anteriores = porCodigo->second;
  }
  const std::vector<UC>& ucs = estudante.getListaUCs();
  bool encontrada = false;
  for (size_t i = 0; i < ucs.size(); ++i) {
    if (ucs[i].getCodigo() != codigo) continue;
    posicao = i;
    encontrada = true;
    if (anteriores-- == 0) break;
  }
  return encontrada;
}

// The column of the file that holds the value cell `celulaValor` (-1: none).
int Importador::colunaValor(int celulaValor) const {
  if (celulaValor == cOpcao) return colunas_.avaliacao;
  if (celulaValor == cProva) return colunas_.pfolio;
  if (celulaValor == cRecurso) return colunas_.recurso;
  const int efolio = (celulaValor - cNotaA) / 2;
  return (celulaValor - cNotaA) % 2 == 0 ? colunas_.nota[efolio] : colunas_.peso[efolio];
}

// The value cells the current row gives, a bit each.
std::uint16_t Importador::celulasDadas() const {
  std::uint16_t dadas = 0;
  for (int i = 0; i < nCelulas; ++i) {
    if (!celula(colunaValor(i)).empty()) dadas = static_cast<std::uint16_t>(dadas | 1u << i);
  }
  return dadas;
}

// Whether the value cell `celulaValor` of the row gives `uc` another value
// than it holds, compared as the files write them. A cell that cannot be
// read is not (applying it reports it).
bool Importador::outroValor(int celulaValor, const UC& uc) const {
  const int coluna = colunaValor(celulaValor);
  const std::string_view texto = celula(coluna);
  if (celulaValor == cOpcao) {
    int opcao = opcaoNaoEscolhida;
    return (limpa(coluna) || csv::leOpcao(texto, opcao)) && opcao != uc.getOpcaoAvaliacao();
  }
  float valor = -1;
  if (!limpa(coluna) && !csv::leDecimal(texto, valor)) return false;
  if (celulaValor == cProva) return !mesmoValor(valor, uc.getProvaFinal());
  if (celulaValor == cRecurso) return !mesmoValor(valor, uc.getProvaRecurso());
  const Efolio* efolio = uc.procuraEfolio(letras[(celulaValor - cNotaA) / 2]);
  const bool nota = (celulaValor - cNotaA) % 2 == 0;
  const float atual = efolio == nullptr ? -1 : nota ? efolio->getNota() : efolio->getPeso();
  return !mesmoValor(valor, atual);
}

// The key of a value cell of one student's unit in linhasPosteriores_.
std::uint64_t chaveCelula(size_t indice, size_t posicao, int celulaValor) {
  return static_cast<std::uint64_t>(indice) << 32 | static_cast<std::uint64_t>(posicao) << 4 |
         static_cast<std::uint64_t>(celulaValor);
}

// The row that gave the value of `celulaValor` of the student's unit.
long Importador::linhaDoValor(size_t indice, size_t posicao, int celulaValor,
                              const ValoresDados& dados) const {
  const auto posterior = linhasPosteriores_.find(chaveCelula(indice, posicao, celulaValor));
  return posterior != linhasPosteriores_.end() ? posterior->second : dados.linha;
}

// A unit that earlier rows gave values: the row may repeat them, not give
// another ("o aluno N na UC C já tem outro valor de COLUNA na linha M").
bool Importador::valoresRepetidosIguais(int numero, int codigo, size_t indice, size_t posicao,
                                        const UC& uc) {
  if (indice >= valoresDados_.size() || posicao >= valoresDados_[indice].size()) return true;
  const ValoresDados& dados = valoresDados_[indice][posicao];
  const std::uint16_t repetidas = dados.celulas & celulasDadas_;
  bool iguais = true;
  for (int i = 0; i < nCelulas; ++i) {
    if ((repetidas & 1u << i) == 0 || !outroValor(i, uc)) continue;
    erro("o aluno " + std::to_string(numero) + " na UC " + std::to_string(codigo) +
         TXT(" já tem outro valor de ") + nomeColuna(colunaValor(i)) + " na linha " +
         std::to_string(linhaDoValor(indice, posicao, i, dados)));
    iguais = false;
  }
  return iguais;
}

// Remembers the values the sound row gave its units.
void Importador::registaValoresDados() {
  const std::uint16_t dadas = celulasDadas_;
  if (dadas == 0) return;
  for (const auto& [indice, posicao] : unidadesDaLinha_) {
    if (valoresDados_.size() <= indice) valoresDados_.resize(indice + 1);
    std::vector<ValoresDados>& doAluno = valoresDados_[indice];
    // Room for all his units at once.
    if (doAluno.size() <= posicao) {
      doAluno.resize(std::max(posicao + 1, estudantes_[indice].getListaUCs().size()));
    }
    ValoresDados& dados = doAluno[posicao];
    if (dados.celulas == 0) {
      dados.linha = static_cast<std::uint32_t>(linha_);
    } else {
      for (int i = 0; i < nCelulas; ++i) {
        if ((dadas & ~dados.celulas & 1u << i) != 0) {
          linhasPosteriores_[chaveCelula(indice, posicao, i)] = linha_;
        }
      }
    }
    dados.celulas = static_cast<std::uint16_t>(dados.celulas | dadas);
  }
}

bool Importador::leValor(int coluna, float& valor) {
  const std::string_view texto = celula(coluna);
  if (texto.empty()) return false;
  if (limpa(coluna)) {
    valor = -1;
    return true;
  }
  if (csv::leDecimal(texto, valor)) return true;
  erro(coluna, entreAspas(texto) + TXT(" não é um número"));
  return false;
}

// Reports a value out of the field's range; `coluna` (maybe -1) is the
// column `nome` of the file, whose cell shows the value unless the value is
// the stored one.
bool Importador::dentroDoIntervalo(regras::Campo campo, float valor, const char* nome, int coluna) {
  if (regras::valorValido(campo, valor)) return true;
  const std::string_view texto = celula(coluna);
  std::string razao = entreAspas(texto.empty() ? csv::textoDecimal(valor) : std::string(texto)) +
                      " fora do intervalo de 0 a " + textoGeral(regras::maximo(campo));
  if (campo == regras::Campo::notaEfolio) razao += " (-1: sem eFolio)";
  erro(std::string(nome) + ": " + razao);
  return false;
}

// A grade given for a unit whose option is not chosen: the option must come
// with it (said once per row).
bool Importador::exigeOpcao(const UC& uc) {
  if (uc.getOpcaoAvaliacao() != opcaoNaoEscolhida) return true;
  if (!faltaOpcaoDita_) {
    erro(std::string(csv::colunaAvaliacao) +
         TXT(": falta a opção de avaliação da UC (Contínua ou Exame Final)"));
  }
  faltaOpcaoDita_ = true;
  return false;
}

// Reads the option cell (empty: none); false, said, when it names none.
bool Importador::leOpcaoCelula(int& opcao) {
  const std::string_view textoOpcao = celula(colunas_.avaliacao);
  opcao = opcaoNaoEscolhida;
  if (limpa(colunas_.avaliacao) || csv::leOpcao(textoOpcao, opcao)) return true;
  erro(colunas_.avaliacao, entreAspas(textoOpcao) + TXT(" não é ") +
                               csv::textoOpcao(opcaoContinua) + " nem " +
                               csv::textoOpcao(opcaoExameFinal));
  return false;
}

// A correction's new option: the old one's grades go (every e-folio, the
// p-folio or exam, the resit); the row may give the new one's.
void Importador::trocaOpcao(UC& uc, int opcao) {
  uc.setOpcaoAvaliacao(opcao);
  for (Efolio& e : uc.eFolios) {
    e.setNota(-1);
    e.setPeso(-1);
  }
  uc.setProvaFinal(-1);
  uc.setProvaRecurso(-1);
}

// The option cell: it chooses the option of a unit that has none, and must
// agree with one already chosen; a correction's replaces it ("-": none).
// False on an error.
bool Importador::aplicaOpcao(UC& uc, bool& alterou) {
  int opcao = opcaoNaoEscolhida;
  if (!leOpcaoCelula(opcao)) return false;
  if (opcao == uc.getOpcaoAvaliacao()) return true;
  if (corrige_ && !celula(colunas_.avaliacao).empty()) {
    trocaOpcao(uc, opcao);
    alterou = true;
    return true;
  }
  if (opcao == opcaoNaoEscolhida) return true;
  if (uc.getOpcaoAvaliacao() != opcaoNaoEscolhida) {
    const char* atual = csv::textoOpcao(uc.getOpcaoAvaliacao());
    erro(colunas_.avaliacao, std::string(TXT("o aluno já tem a opção ")) +
                                 (*atual != '\0' ? atual : TXT("inválida")) + " nesta UC");
    return false;
  }
  uc.setOpcaoAvaliacao(opcao);
  alterou = true;
  return true;
}

Alteracao Importador::aplicaNotas(UC& uc) {
  Alteracao resultado;
  if (!aplicaOpcao(uc, resultado.alterou)) return resultado;
  const size_t errosAntes = erros_.size();
  long notas = 0;
  // The e-folios first: admission to the p-folio and the resit's range
  // depend on them.
  if (aplicaEfolios(uc, notas)) {
    const long efolios = notas;
    aplicaProva(uc, notas);
    aplicaRecurso(uc, notas);
    if (efolios > 0 && erros_.size() == errosAntes) revalidaProvas(uc);
  }
  if (erros_.size() != errosAntes || (notas == 0 && !(corrige_ && resultado.alterou))) {
    return resultado;
  }
  const regras::Decisao decisao = corrige_ ? uc.corrigeNotaFinal() : uc.recalculaNotaFinal();
  if (decisao == regras::Decisao::pesosExcedidos) avisaPesos(uc);
  if (decisao == regras::Decisao::acimaDeVinte) avisaAcimaDeVinte(uc);
  resultado.notas = notas;
  resultado.alterou = true;
  return resultado;
}

// The cells of the e-folio `i`; answers true when they changed it.
bool Importador::aplicaEfolio(UC& uc, int i) {
  const bool notaDada = !celula(colunas_.nota[i]).empty();
  const bool pesoDado = !celula(colunas_.peso[i]).empty();
  if (!notaDada && !pesoDado) return false;
  Efolio* efolio = uc.procuraEfolio(letras[i]);
  float nota = efolio != nullptr ? efolio->getNota() : -1;
  float peso = efolio != nullptr ? efolio->getPeso() : -1;
  if (!leCelulasEfolio(i, nota, peso)) return false;
  if (efolio != nullptr && mesmoValor(nota, efolio->getNota()) &&
      mesmoValor(peso, efolio->getPeso())) {
    return false;
  }
  Efolio* aceite = efolioAceite(uc, efolio, i, notaDada);
  if (aceite == nullptr || !validaEfolio(i, nota, peso, pesoDado)) return false;
  aceite->setNota(nota);
  aceite->setPeso(peso);
  return true;
}

// Reads the given cells of the e-folio `i` over `nota` and `peso`; false
// when one is not a number.
bool Importador::leCelulasEfolio(int i, float& nota, float& peso) {
  bool lidos = true;
  if (!celula(colunas_.nota[i]).empty()) lidos = leValor(colunas_.nota[i], nota) && lidos;
  if (!celula(colunas_.peso[i]).empty()) lidos = leValor(colunas_.peso[i], peso) && lidos;
  return lidos;
}

// The e-folio `i` of the unit (`efolio`) when the unit takes e-folio
// grades: its option is continuous assessment and it has the e-folio;
// otherwise nullptr, and why.
Efolio* Importador::efolioAceite(const UC& uc, Efolio* efolio, int i, bool notaDada) {
  if (!exigeOpcao(uc)) return nullptr;
  if (uc.getOpcaoAvaliacao() == opcaoContinua && efolio != nullptr) return efolio;
  erro(std::string(notaDada ? colunasNota[i] : colunasPeso[i]) + ": " +
       (uc.getOpcaoAvaliacao() == opcaoExameFinal
            ? "o aluno optou por Exame Final nesta UC"
            : TXT("a opção de avaliação desta UC é inválida")));
  return nullptr;
}

// Checks the e-folio's new grade and weight: an e-folio without a grade
// (-1) has no weight, and one with a grade needs one.
bool Importador::validaEfolio(int i, float nota, float& peso, bool pesoDado) {
  const int colunaNota = colunas_.nota[i];
  const int colunaPeso = colunas_.peso[i];
  if (!dentroDoIntervalo(regras::Campo::notaEfolio, nota, colunasNota[i], colunaNota)) return false;
  if (nota == -1) {
    if (pesoDado && peso != -1) {
      erro(colunaPeso, std::string("o eFolio ") + letras[i] + TXT(" sem nota não tem peso"));
      return false;
    }
    peso = -1;
    return true;
  }
  if (!pesoDado && peso == -1) {
    erro(std::string(colunasPeso[i]) + ": falta o peso do eFolio " + letras[i]);
    return false;
  }
  return dentroDoIntervalo(regras::Campo::pesoEfolio, peso, colunasPeso[i], colunaPeso);
}

// The e-folio cells; answers false when any is wrong. A change must leave
// weights that total 8, as leaving the dialogue's e-folio menu requires.
bool Importador::aplicaEfolios(UC& uc, long& notas) {
  const size_t errosAntes = erros_.size();
  bool mudou = false;
  for (int i = 0; i < numEfolios; ++i) {
    if (!aplicaEfolio(uc, i)) continue;
    ++notas;
    mudou = true;
  }
  if (erros_.size() != errosAntes) return false;
  const float total = regras::totalPesos(uc.eFolios);
  // A correction may take every e-folio back to none, as the record started.
  const bool vazios = corrige_ && regras::semEfolios(uc.eFolios);
  if (mudou && !regras::pesosTotalizamOito(total) && !vazios) {
    erro(std::string("Pesos: os pesos dos eFolios somam ") + csv::textoDecimal(total) +
         TXT(" e têm de somar 8"));
    return false;
  }
  return true;
}

// The p-folio (continuous assessment, admitted students, 0..12) or the
// exam (0..20).
bool Importador::aplicaProva(UC& uc, long& notas) {
  const int coluna = colunas_.pfolio;
  float valor = 0;
  if (!leValor(coluna, valor) || mesmoValor(valor, uc.getProvaFinal())) return true;
  if (limpa(coluna)) {
    uc.setProvaFinal(-1);
    ++notas;
    return true;
  }
  if (!exigeOpcao(uc)) return false;
  const std::optional<regras::Campo> campo = regras::campoProva(uc);
  if (!campo) {
    erro(coluna, TXT("a opção de avaliação desta UC é inválida"));
    return false;
  }
  if (*campo == regras::Campo::pfolio && !admitidoPfolio(uc)) return false;
  if (!dentroDoIntervalo(*campo, valor, csv::colunaPfolio, coluna)) return false;
  uc.setProvaFinal(valor);
  ++notas;
  return true;
}

// Whether the student was admitted to the p-folio; says why not.
bool Importador::admitidoPfolio(const UC& uc) {
  // A correction checks the p-folio the record keeps even when the sheet has
  // no such column.
  const int coluna = colunas_.pfolio;
  const std::string nome = coluna >= 0 ? nomeColuna(coluna) : csv::colunaPfolio;
  const regras::Admissao admissao = regras::admissaoPfolio(uc);
  if (admissao == regras::Admissao::totalInsuficiente) {
    erro(nome + TXT(": o aluno não foi admitido ao pFolio: os eFolios somam ") +
         csv::textoDecimal(uc.getNotaTotalEfolios()) + TXT(", o mínimo é ") +
         csv::textoDecimal(regras::minimoTotalEfolios));
    return false;
  }
  if (admissao == regras::Admissao::poucosEfolios) {
    erro(nome + TXT(": o aluno não foi admitido ao pFolio: tem de ser avaliado em pelo menos ") +
         std::to_string(regras::minimoEfoliosAvaliados) + " eFolios");
    return false;
  }
  return true;
}

// The resit: the p-folio resit (0..12) for an admitted continuous-assessment
// student, the resit exam (0..20) for anyone else.
bool Importador::aplicaRecurso(UC& uc, long& notas) {
  const int coluna = colunas_.recurso;
  float valor = 0;
  if (!leValor(coluna, valor) || mesmoValor(valor, uc.getProvaRecurso())) return true;
  if (limpa(coluna)) {
    uc.setProvaRecurso(-1);
    ++notas;
    return true;
  }
  if (!exigeOpcao(uc)) return false;
  if (!dentroDoIntervalo(regras::campoRecurso(uc), valor, csv::colunaRecurso, coluna)) {
    return false;
  }
  uc.setProvaRecurso(valor);
  ++notas;
  return true;
}

// After the e-folios changed, the resit the record keeps must be within the
// range its admission now gives: a resit exam (0..20) taken before the
// e-folios admitted the student would count as a p-folio resit and give a
// final grade above 20. A correction also keeps a p-folio only for an
// admitted student, as the dialogue stores one.
void Importador::revalidaProvas(const UC& uc) {
  if (corrige_ && regras::campoProva(uc) == regras::Campo::pfolio && uc.getProvaFinal() != -1 &&
      !admitidoPfolio(uc)) {
    return;
  }
  if (uc.getProvaRecurso() != -1) {
    dentroDoIntervalo(regras::campoRecurso(uc), uc.getProvaRecurso(), csv::colunaRecurso,
                      colunas_.recurso);
  }
}

// Row errors shown at most before "... e mais M erros".
const size_t maximoErrosMostrados = 20;

}  // namespace

ResumoImportacao importaPauta(std::string_view texto, const std::vector<UC>& unidades,
                              std::vector<Estudantes>& estudantes, std::vector<std::string>& erros,
                              Regime regime) {
  Importador importador(texto, unidades, estudantes, erros, regime);
  importador.importa();
  return importador.resumo();
}

std::string textoResumo(bool verificar, std::string_view ficheiro, const ResumoImportacao& resumo) {
  std::string texto = verificar ? "Verificado " : "Importado ";
  texto += ficheiro;
  texto += ": " + std::to_string(resumo.alunosNovos) + " alunos novos, " +
           std::to_string(resumo.notasAlteradas) + " notas alteradas, " +
           std::to_string(resumo.linhasSemAlteracoes) + TXT(" linhas sem alterações");
  return texto;
}

namespace {

const char* recusaSemLinhas(std::string_view texto) {
  if (texto.empty()) return TXT(" está vazio");
  if (texto.substr(0, 2) == "PK") {
    return TXT(" é uma folha de cálculo (xlsx ou ods), não um ficheiro CSV; grave-a como CSV");
  }
  if (cp1252::marcaInicial(texto) == cp1252::Marca::utf16) {
    return TXT(" está em UTF-16; grave-o como CSV em UTF-8 ou CP1252");
  }
  return nullptr;
}

void imprimeErros(const std::vector<std::string>& erros, long linhasComErros,
                  const PedidoFolha& pedido) {
  const size_t mostrados = std::min(erros.size(), maximoErrosMostrados);
  for (size_t i = 0; i < mostrados; ++i) std::cerr << "ERRO: " << erros[i] << std::endl;
  if (erros.size() > mostrados) {
    std::cerr << "... e mais " << erros.size() - mostrados << " erros" << std::endl;
  }
  std::cerr << "ERRO: " << linhasComErros << " linhas com erros";
  if (!pedido.verificar) {
    std::cerr << (pedido.regime == Regime::correcao ? "; nada foi corrigido"
                                                    : "; nada foi importado");
  }
  std::cerr << std::endl;
}

// Reads the file to import, saying why it cannot be read or is no CSV text.
bool leFicheiroImportado(const std::string& ficheiro, std::string& texto) {
  const Estado lido = leFicheiroNormal(ficheiro, &texto);
  if (!lido.ok()) {
    std::cerr << TXT("ERRO: Não foi possivel ler o ficheiro ")
              << cp1252::deLinhaDeComandos(ficheiro) << " (" << textoCausa(lido) << ")"
              << std::endl;
    return false;
  }
  if (const char* recusa = recusaSemLinhas(texto)) {
    std::cerr << "ERRO: " << cp1252::deLinhaDeComandos(ficheiro) << recusa << std::endl;
    return false;
  }
  return true;
}

}  // namespace

bool aplicaFolha(const PedidoFolha& pedido, int nCurso, const Listacurso& unidades,
                 Listacurso& estudantes, ResumoImportacao& resumo) {
  std::string texto;
  if (!leFicheiroImportado(pedido.ficheiro, texto)) return false;
  std::vector<std::string> erros;
  resumo = importaPauta(texto, unidades.getListaUCsCurso(), estudantes.alteraListaEstudantes(),
                        erros, pedido.regime);
  if (!erros.empty()) {
    imprimeErros(erros, resumo.linhasComErros, pedido);
    return false;
  }
  // One write for them all: a correction of a whole course may warn of
  // every final grade.
  std::string avisos;
  for (const std::string& aviso : resumo.avisos) avisos.append(TXT("ATENÇÃO: ")) += aviso + "\n";
  std::cerr << avisos << std::flush;
  return pedido.verificar || !resumo.alterado || gravaAlteracoes(estudantes, nCurso, pedido.origem);
}

int executaImportacao(int nCurso, const std::string& ficheiro, bool verificar) {
  const std::string nome = cp1252::deLinhaDeComandos(ficheiro);
  const PedidoFolha pedido{ficheiro, verificar, Regime::importacao,
                           historico::prefixoImportacao + nome};
  return alteraCurso(nCurso, verificar, [&](const Listacurso& unidades, Listacurso& estudantes) {
    ResumoImportacao resumo;
    if (!aplicaFolha(pedido, nCurso, unidades, estudantes, resumo)) return estadoFalha;
    std::cout << textoResumo(verificar, nome, resumo) << std::endl;
    return 0;
  });
}
