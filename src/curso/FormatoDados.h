// The layouts of the two data files, read and written in one place: the
// course record ("CURSO;code;name"), the unit records of the unit file, and
// the student file's blocks (an "ALUNO;number;name" record, one unit line
// per unit he takes with his assessment, an empty line). Nothing else in
// the program splits a data line or knows a tag.
#ifndef PAUTA_FORMATODADOS_H
#define PAUTA_FORMATODADOS_H

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "Estudantes.h"
#include "Ficheiros.h"
#include "UC.h"

class LeitorLinhas;

namespace formato {

// The tags of a unit record's assessment part:
// code;name;year;semester;ects;AVALIACAO;option;A;g;w;B;g;w;C;g;w;F;g;R;g;N;g
const char* const etiquetaAvaliacao = "AVALIACAO";
// The keyword of a course record; of a student record, and that record's
// start as written.
const char* const palavraCurso = "CURSO";
const char* const palavraAluno = "ALUNO";
const char* const inicioRegistoAluno = "ALUNO;";
const char* const etiquetaProvaFinal = "F";
const char* const etiquetaProvaRecurso = "R";
const char* const etiquetaNotaFinal = "N";

// --- Unit records (either file) ---

// Reads one unit record (the line without its line end) into `uc`. A record
// without an assessment part gets option -1, three absent e-folios and
// grades -1; an option other than -1, 0 or 1 is reported on `avisos` and
// kept. Numbers are read as in the student file (a real's decimal comma is
// its point), text after one is left out without a word. False, with `uc`
// in an unspecified state, when the line is no unit record.
bool leUnidade(std::string_view linha, UC& uc, std::ostream& avisos);
// The same for the line `ficheiro` returned last, its reports on the
// file's messages. A number followed by other text (12abc, 7.5 in a whole
// number) is read as its leading number and, when the record is read, told
// to `ficheiro` (LeitorLinhas::avisaNumeroLido); with `virgulaDecimal` (the
// student file) a real's decimal comma is its point (14,5 is 14.5).
bool leUnidade(std::string_view linha, UC& uc, LeitorLinhas& ficheiro, bool virgulaDecimal);
// The two ways leUnidade reads: in one pass, only for a record written in
// full with short numbers (false for any other, `uc` half-filled), and field
// by field for any record. Where both read a record, they give the same unit.
bool leUnidadeCompleta(std::string_view linha, UC& uc);
bool leUnidadeGeral(std::string_view linha, UC& uc, std::ostream& avisos);

// Appends the unit's line of the student file, with CR LF.
void gravaFicheiroEstudanteUC(const UC& uc, std::string& destino);
// The e-folio groups of that line ("A;g;w;" per e-folio) written at
// `destino`, which has room for tamanhoEfolios(notas) characters; returns
// the end.
char* escreveEfolios(const NotasUC& notas, char* destino);
size_t tamanhoEfolios(const NotasUC& notas);

// --- The unit file ---

// The course record of a unit file.
struct RegistoCurso {
  int codigo = 0;
  std::string nome;
};
// Reads a "CURSO;code;name" line (the name ends at a further ';'); false
// when the line is not one or its code is no number.
bool leRegistoCurso(std::string_view linha, RegistoCurso& registo);
// The catalogue's rule: the last course record of the file whose code can
// be read; false when there is none.
bool registoCursoDoCatalogo(LeitorLinhas& ficheiro, RegistoCurso& registo);
// The course's total of ECTS, the optional fourth field of a course record
// ("CURSO;12;name;120"): absent when the line is no course record or has
// no such field, or the field does not begin with a digit (ignored, as
// fields after the third always were); valid when the field is a whole
// number from 1 to 999, which goes to `total`; invalid for any other text
// that begins with a digit, left in `texto`.
enum class TotalEcts { ausente, valido, invalido };
TotalEcts leTotalEcts(std::string_view linha, int& total, std::string_view& texto);
// The loader's rule: the first line is the course record, whatever it
// holds; it gives only the course's total of ECTS (`totalEcts`, left alone
// when the record gives none; an invalid one is reported and left alone
// too). Every other non-empty line is a unit record, appended to
// `unidades`, or reported as skipped. Its reals take no decimal comma: one
// is told as text after the number.
void leFicheiroUnidades(LeitorLinhas& ficheiro, std::vector<UC>& unidades, int& totalEcts);

// --- The student file ---

// Reads a student block: `linha` is the record after "ALUNO;" (number, ';',
// name), `ficheiro` stands just after it. Unit lines follow until a blank
// line or a line of one character (consumed; a non-blank one is reported),
// the end of the file, or the next student record (left for the caller). A
// unit line that cannot be read is reported and skipped. False, reporting
// the record, when its number is not a number; a number followed by other
// text is told as leUnidade tells one. `unidadesPrevistas` is a
// guess of his number of units: room for them is made at once.
bool leBlocoAluno(std::string_view linha, LeitorLinhas& ficheiro, Estudantes& estudante,
                  size_t unidadesPrevistas = 0);
// Appends the students of the whole file to `estudantes`. Every non-blank
// line that gives no student or unit is reported; the notices of numbers
// read another way that were left out are counted at the end.
void leFicheiroEstudantes(LeitorLinhas& ficheiro, std::vector<Estudantes>& estudantes);
// Counts the student records of the lines not yet read, reading them.
long contaRegistosAluno(LeitorLinhas& ficheiro);

// Appends one student-file line per unit of the student, each with CR LF.
void gravaFicheiroEstudanteUC(const Estudantes& estudante, std::string& destino);
// Appends the student's whole block.
void acrescentaBlocoAluno(std::string& destino, const Estudantes& estudante);
// The student file holding `estudantes`, in pieces of whole blocks (for a
// safe replacement; `estudantes` must outlive the pieces) or whole.
Pedacos pedacosFicheiroEstudantes(const std::vector<Estudantes>& estudantes);
std::string conteudoFicheiroEstudantes(const std::vector<Estudantes>& estudantes);

}  // namespace formato

#endif
