// What the grade-sheet export and the import share: the column names of the
// grade sheet, the texts of the assessment option, how a cell is quoted,
// how a decimal is written and read, and the guard against formulas.
#ifndef PAUTA_FORMATOCSV_H
#define PAUTA_FORMATOCSV_H

#include <string>
#include <string_view>

#include "Cp1252.h"

namespace csv {

// The columns of the grade sheet, in the order the export writes them.
const char* const colunaNumero = TXT("Número");
const char* const colunaNome = "Nome";
const char* const colunaCodigoUC = TXT("Código UC");
const char* const colunaUC = "Unidade Curricular";
const char* const colunaAno = "Ano";
const char* const colunaSemestre = "Semestre";
const char* const colunaEcts = "ECTS";
const char* const colunaAvaliacao = TXT("Avaliação");
const char* const colunaEfolioA = "eFolio A";
const char* const colunaPesoA = "Peso A";
const char* const colunaEfolioB = "eFolio B";
const char* const colunaPesoB = "Peso B";
const char* const colunaEfolioC = "eFolio C";
const char* const colunaPesoC = "Peso C";
const char* const colunaPfolio = "pFolio/Exame";
const char* const colunaRecurso = "Recurso";
const char* const colunaNotaFinal = "Nota Final";
const char* const colunaAprovado = "Aprovado";

// The cell separator the export writes; a file whose header has no ';'
// separates with TAB when its header has one, else with ','.
const char separador = ';';
const char separadorTab = '\t';
const char separadorAlternativo = ',';
const char* const fimLinha = "\r\n";

// The assessment option as a cell: "Contínua", "Exame Final", or empty for
// an option not chosen (or invalid).
const char* textoOpcao(int opcao);
// The option of a cell: "Contínua" 1, "Exame Final" 0, empty -1, compared
// by their keys (chaveTexto: "continua", " EXAME  final"). Returns false
// for any other text.
bool leOpcao(std::string_view texto, int& opcao);

// One text cell: the text as is, or between '"' with inner '"' doubled when
// it holds ';', '"', CR or LF. A text that a spreadsheet would evaluate as a
// formula (pareceFormula) first gets a leading apostrophe, so that it is
// shown instead; so does a formula behind apostrophes ("'=x"), so that
// removing one apostrophe on import gives it back whole. Numbers never pass
// through here.
std::string celula(std::string_view texto);
// Whether celula(texto) is `texto` itself: nothing to guard or quote.
bool celulaTalComo(std::string_view texto);

// The cell celula(texto) gives, handed out a slice at a time, so that a
// long text is never copied whole. `texto` must outlive it.
class FatiasCelula {
 public:
  explicit FatiasCelula(std::string_view texto);
  // The next slice of the cell (valid until the next call).
  std::string_view proxima();
  // Whether the whole cell was handed out.
  bool acabou() const { return acabou_; }

 private:
  std::string_view texto_;
  bool aspas_;
  bool protecao_;
  size_t posicao_ = 0;
  bool comecou_ = false;
  bool acabou_ = false;
  std::string fatia_;
};

// A number's text with its decimal point written as a comma.
std::string comVirgula(std::string texto);
// A grade or weight with a decimal comma, as a Portuguese spreadsheet reads
// it (8,5; 66,6667); the digits of the data files.
std::string textoDecimal(float valor);
// A cell holding a number with a decimal comma or point (optional sign,
// digits, one decimal mark, an exponent as the export may write: 1e-05),
// blanks around it allowed. Returns false for anything else.
bool leDecimal(std::string_view texto, float& valor);
// A cell holding a whole number (optional sign, digits), blanks around it
// allowed, fitting an int.
bool leInteiroCelula(std::string_view texto, int& valor);

// A text that begins with '=', '+', '-', '@', a TAB or a CR, which a
// spreadsheet would take for a formula.
bool pareceFormula(std::string_view texto);
// A text cell as it was before the guard: a leading apostrophe before a
// formula character (maybe behind more apostrophes) is removed; anything
// else is returned unchanged.
std::string_view semProtecao(std::string_view texto);

// `texto` without blanks (spaces, tabs) at either end.
std::string_view semBrancos(std::string_view texto);

// A text as the import compares it: without blanks around it (a no-break
// space included), each run of blanks inside as one space, letters in lower
// case and without accents ("JOÃO  Gonçalves" and "Joao Goncalves" give the
// same key). CP1252 in and out.
std::string chaveTexto(std::string_view texto);
// A column name as the import compares it: its chaveTexto, the number
// column's other names (Nº, N.º, No) giving the key of Número.
std::string chaveColuna(std::string_view nome);

}  // namespace csv

#endif
