// The layout of a course's history of saved changes, CODE-Historico.txt:
// CP1252, CR LF (or LF, when an editor changed them: lines appended follow
// the file's), a first line "HISTORICO;1", then one line per value a save
// changed:
//   DATA;UTILIZADOR;MAQUINA;ORIGEM;NUMERO;UC;CAMPO;ANTES;DEPOIS;VERIFICACAO
// A field holding ';', '"', CR or LF is written between '"' with its inner
// '"' doubled. VERIFICACAO is XXH3-64, in 16 lowercase hexadecimal digits,
// of the previous line's VERIFICACAO (16 zeros for the first line), ';' and
// the nine other fields as written: a line removed, moved or edited breaks
// the chain. It guards against accidents, not against someone who means to
// forge it (there is no secret).
// Besides the values, a save writes marks, lines of the same layout with
// NUMERO and UC empty and the mark in CAMPO (LeituraHistorico.h says what
// they make of the saves): "inicio" before its values; "identidade" after
// them, ANTES and DEPOIS the identities of the file it replaces and of the
// one it writes; "concluida" once the file was replaced. The next writer
// closes a save left without "concluida" by "concluida" (the file holds its
// DEPOIS) or "anulada" (it does not: ANTES the identity found), and records
// a last line cut short that it cut off by "reparada" (ANTES the bytes cut).
#ifndef PAUTA_FORMATOHISTORICO_H
#define PAUTA_FORMATOHISTORICO_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Leitura.h"
#include "Nomes.h"

namespace historico {

// One line, its fields unquoted.
struct LinhaHistorico {
  std::string data, utilizador, maquina, origem, numero, uc, campo, antes, depois;
  std::string verificacao;  // 16 hexadecimal digits (filled by the writer/reader)
};

// The first line of every history file, and how a new file starts.
const char* const cabecalho = "HISTORICO;1";
const char* const inicioFicheiro = "HISTORICO;1\r\n";
const char* const fimLinhaCrLf = "\r\n";
// The VERIFICACAO the first data line is chained from.
const char* const verificacaoInicial = "0000000000000000";
// The longest line read (without its line end); a longer one is invalid.
const std::size_t limiteLinha = 64 * 1024;
// The ORIGEM of a save from the dialogue; of an import, this prefix and the
// sheet's name; a save that ended in a conflict file adds a blank and
// prefixoConflito with the conflict file's name.
const char* const origemDialogo = "dialogo";
const char* const prefixoImportacao = "importacao:";
const char* const prefixoConflito = "conflito:";
// The ORIGEM of a correction: this prefix and the sheet's name; of a
// removal, origemRemocao. Either may add a blank, prefixoMotivo and the
// reason given.
const char* const prefixoCorrecao = "correcao:";
const char* const origemRemocao = "remocao";
const char* const prefixoMotivo = "motivo:";
// Whether an ORIGEM is a correction's or a removal's.
bool origemDeCorrecao(std::string_view origem);
// The CAMPO of a new student (ANTES empty, DEPOIS his name), and of each
// value of a unit record, in the order a record's values are compared.
const char* const campoAluno = "aluno";
// The CAMPO of a unit removed from a student's units (ANTES its line as the
// student file wrote it, DEPOIS empty); a student removed has an `aluno`
// line with ANTES his name and DEPOIS empty.
const char* const campoUc = "uc";
const char* const campoOpcao = "opcao";
// An e-folio's grade and weight, e-folio by e-folio (A, B, C).
const char* const camposEfolio[6] = {"eFolioA", "pesoA", "eFolioB", "pesoB", "eFolioC", "pesoC"};
const char* const campoProvaFinal = "pFolio/Exame";
const char* const campoRecurso = "Recurso";
const char* const campoNotaFinal = "NotaFinal";

// What a line is: a value, or one of the marks of the saves.
enum class Marca { valor, inicio, identidade, concluida, anulada, reparada, outra };
// The CAMPO of each mark.
const char* const marcaInicio = "inicio";
const char* const marcaIdentidade = "identidade";
const char* const marcaConcluida = "concluida";
const char* const marcaAnulada = "anulada";
const char* const marcaReparada = "reparada";
// The mark of `linha`: Marca::valor when it names a student (NUMERO),
// Marca::outra for a mark this version does not know (left alone).
Marca marcaDe(const LinhaHistorico& linha);
// The CAMPO of a mark (not of Marca::valor or Marca::outra).
const char* campoMarca(Marca marca);

// A file's identity as a mark writes it: "SIZE:HASH" (HASH the XXH3 in 16
// lowercase hexadecimal digits), "-" for no file.
std::string textoIdentidade(const IdentidadeFicheiro& identidade);

// "CODE-Historico.txt".
using ::nomeFicheiroHistorico;

// Now, as local time with its offset from UTC: "2026-12-07T14:03:27+00:00".
std::string dataAgora();

// A grade or weight and an option as the student file writes them (-1 for
// none), for ANTES and DEPOIS.
std::string textoValor(float valor);
std::string textoOpcao(int opcao);

// Appends `texto` as a field: as it is, or between '"' (inner '"' doubled)
// when it holds ';', '"', CR or LF.
void acrescentaCampo(std::string& destino, std::string_view texto);

// Appends each line (CR LF ended) to `destino`, chaining from `anterior`
// (the previous line's VERIFICACAO, or 16 zeros); sets each line's
// `verificacao` and leaves `anterior` at the last one.
void escreveLinhas(std::vector<LinhaHistorico>& linhas, std::string& anterior,
                   std::string& destino);

// Parses one data line (without its line end) into `linha`; false when it
// does not have the ten fields, a quoted field is malformed or needs no
// quotes, an unquoted one holds '"', VERIFICACAO is not 16 lowercase
// hexadecimal digits, or it is longer than limiteLinha.
bool leLinha(std::string_view texto, LinhaHistorico& linha);

// The VERIFICACAO a line must carry after `anterior`.
std::string verificacao(std::string_view anterior, const LinhaHistorico& linha);
// The VERIFICACAO of the line `texto` (as read, without its line end) after
// `anterior`: what a line that chains carries.
std::string verificacaoDoTexto(std::string_view anterior, std::string_view texto);

// Writes the lines of one save, which share DATA, UTILIZADOR, MAQUINA and
// ORIGEM, as escreveLinhas does (the same bytes, with the line end
// `fimLinha`), without its work per line on the shared fields: an import may
// write millions of lines.
class EscritorLinhas {
 public:
  // The shared fields are those of `comum`; the chain goes on from
  // `anterior`.
  EscritorLinhas(const LinhaHistorico& comum, std::string_view anterior,
                 std::string_view fimLinha = fimLinhaCrLf);
  // Appends the line of `linha`'s NUMERO, UC, CAMPO, ANTES and DEPOIS.
  void escreve(const LinhaHistorico& linha, std::string& destino);
  // Appends the mark `marca` with ANTES and DEPOIS.
  void escreveMarca(Marca marca, std::string_view antes, std::string_view depois,
                    std::string& destino);
  // The VERIFICACAO of the last line written (`anterior` before any).
  std::string_view ultima() const;

 private:
  std::string prefixo_;  // the four shared fields as written, each with its ';'
  std::string bytes_;    // what VERIFICACAO hashes: the previous one, ';', the fields
  std::string fimLinha_;
};

}  // namespace historico

#endif
