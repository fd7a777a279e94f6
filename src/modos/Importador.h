// The import's reader of a grade sheet, shared by the files that make it:
// the sheet's columns, the rows and the students they are about
// (Importador.cpp), and the values each row gives a student's unit, checked
// with the dialogue's rules (ImportadorValores.cpp). Importacao.h is its
// entry; nothing outside the import includes this.
#ifndef PAUTA_IMPORTADOR_H
#define PAUTA_IMPORTADOR_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Cp1252.h"
#include "Estudantes.h"
#include "FormatoCsv.h"
#include "Importacao.h"
#include "LeitorCsv.h"
#include "Numeros.h"
#include "Regras.h"
#include "RetratoEstudantes.h"
#include "UC.h"

namespace importacao {

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

inline ColunasConhecidas colunasConhecidas(Colunas& c) {
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
inline bool mesmoValor(float a, float b) { return a == b || textoGeral(a) == textoGeral(b); }

// Control bytes, line ends included.
inline bool temControlo(std::string_view texto) {
  for (char c : texto) {
    if (cp1252::byteDeControlo(static_cast<unsigned char>(c), cp1252::FinsDeLinha::controlo)) {
      return true;
    }
  }
  return false;
}

inline std::string entreAspas(std::string_view texto) { return "'" + std::string(texto) + "'"; }

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

}  // namespace importacao

#endif
