// The layout of a course's history of saved changes, CODE-Historico.txt:
// CP1252, CR LF, a first line "HISTORICO;1", then one line per value a save
// changed:
//   DATA;UTILIZADOR;MAQUINA;ORIGEM;NUMERO;UC;CAMPO;ANTES;DEPOIS;VERIFICACAO
// A field holding ';', '"', CR or LF is written between '"' with its inner
// '"' doubled. VERIFICACAO is XXH3-64, in 16 lowercase hexadecimal digits,
// of the previous line's VERIFICACAO (16 zeros for the first line), ';' and
// the nine other fields as written: a line removed, moved or edited breaks
// the chain. It guards against accidents, not against someone who means to
// forge it (there is no secret). Writing, reading a file whole and reading
// only its head and tail (to append) are all here.
#ifndef PAUTA_FORMATOHISTORICO_H
#define PAUTA_FORMATOHISTORICO_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Estado.h"
#include "Leitura.h"
#include "Nomes.h"

namespace historico {

// One data line, its fields unquoted.
struct LinhaHistorico {
  std::string data, utilizador, maquina, origem, numero, uc, campo, antes, depois;
  std::string verificacao;  // 16 hexadecimal digits (filled by the writer/reader)
};

// The first line of every history file, and how a new file starts.
const char* const cabecalho = "HISTORICO;1";
const char* const inicioFicheiro = "HISTORICO;1\r\n";
// The VERIFICACAO the first data line is chained from.
const char* const verificacaoInicial = "0000000000000000";
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
// quotes, an unquoted one holds '"', or VERIFICACAO is not 16 lowercase
// hexadecimal digits.
bool leLinha(std::string_view texto, LinhaHistorico& linha);

// The VERIFICACAO a line must carry after `anterior`.
std::string verificacao(std::string_view anterior, const LinhaHistorico& linha);

// --- Reading a whole file, line by line ---

// A history read line by line, from its content in memory or from a file
// read by blocks (a large history is never held whole). A line ends at a CR
// LF outside '"' (a quoted field may hold line ends); a lone LF or CR ends
// none, so a file whose line ends were changed no longer reads as lines.
class LeitorHistorico {
 public:
  // A reader over `conteudo`, which must outlive it.
  explicit LeitorHistorico(std::string_view conteudo);
  // A reader of no content until abre() is called.
  LeitorHistorico();
  LeitorHistorico(const LeitorHistorico&) = delete;
  LeitorHistorico& operator=(const LeitorHistorico&) = delete;

  // Opens the file `nome` (as LeituraPorBlocos::abre).
  Estado abre(const std::string& nome);

  // Sets `linha` to the next line without its line end (valid until the
  // next call); false at the end, or on a read error (erroLeitura).
  bool proxima(std::string_view& linha);
  // Of the line last returned: the number of its first line in the file
  // (from 1), its offset in bytes, and whether it ended in CR LF (false for
  // a last line cut short).
  long numeroLinha() const { return numero_; }
  std::uint64_t posicao() const { return posicao_; }
  bool terminadaCrLf() const { return crlf_; }
  // Whether reading the file failed, and why.
  bool erroLeitura() const { return erro_; }
  const Estado& razaoErro() const { return razao_; }

 private:
  // Appends the next block of the file to the buffer; false at its end.
  bool leBloco();

  std::string_view dados_;  // the content, or the buffer of a file
  std::string buffer_;
  size_t inicio_ = 0;              // where the next line starts in dados_
  std::uint64_t descartados_ = 0;  // bytes of the file dropped from the buffer
  LeituraPorBlocos ficheiro_;
  bool deFicheiro_ = false;
  bool esgotado_ = true;  // no more bytes to read into the buffer
  long numero_ = 0;
  long proximoNumero_ = 1;
  std::uint64_t posicao_ = 0;
  bool crlf_ = false;
  bool erro_ = false;
  Estado razao_;
};

// What a check of a whole history found.
enum class EstadoVerificacao {
  inexistente,   // there is no history file
  ilegivel,      // it cannot be read: see `razao`
  valido,        // every line chains: `linhas` data lines
  semCabecalho,  // the first line is not "HISTORICO;1"
  alterada,      // line `linha` was changed, or one before it removed or moved
  cortada,       // line `linha`, the last one, lacks its CR LF
};
struct ResultadoVerificacao {
  EstadoVerificacao estado = EstadoVerificacao::valido;
  long linhas = 0;  // data lines checked
  long linha = 0;   // the file line concerned (the header is line 1)
  Estado razao;     // why it cannot be read
};
// Checks the header and every VERIFICACAO of what `leitor` reads.
ResultadoVerificacao verifica(LeitorHistorico& leitor);
// The same for the file `nome`.
ResultadoVerificacao verificaFicheiro(const std::string& nome);

// --- The lines of each student ---

// Where the lines of each student lie in a history file, for a page that
// shows every student's changes: the file stays open and only this index
// (a few bytes a line) is held; a student's lines are read when asked for.
// Lines that cannot be read are left out; the chain is not checked.
class IndiceHistorico {
 public:
  // Indexes the file `nome`; answers as LeituraPorBlocos::abre. A file
  // whose first line is not the header fails with Causa::historicoInvalido.
  Estado abre(const std::string& nome);
  // The lines of student `numero`, newest first; false when he has none.
  bool linhasDoAluno(long long numero, std::vector<LinhaHistorico>& linhas);

 private:
  struct Entrada {
    long long numero;
    std::uint64_t posicao;
    std::size_t tamanho;
  };
  std::string nome_;
  std::vector<Entrada> entradas_;  // by student, then newest first
  LeituraPorBlocos ficheiro_;
  std::string texto_;
};

// --- Appending ---

enum class EstadoFim {
  inexistente,  // no history file yet: start one with inicioFicheiro
  valido,       // `anterior` holds the last VERIFICACAO (16 zeros: no data line)
  invalido,     // not to be appended to: see `razao`
};
// The last VERIFICACAO of the history file `nome`, reading only its first
// line and its last: it must start with "HISTORICO;1" CR LF and end in CR LF
// after a readable data line (or the header alone). Otherwise `razao` is
// Causa::historicoInvalido, or why it cannot be read.
EstadoFim ultimaVerificacao(const std::string& nome, std::string& anterior, Estado* razao);

// Writes the lines of one save, which share DATA, UTILIZADOR, MAQUINA and
// ORIGEM, as escreveLinhas does (the same bytes), without its work per line
// on the shared fields: an import may write millions of lines.
class EscritorLinhas {
 public:
  // The shared fields are those of `comum`; the chain goes on from
  // `anterior`.
  EscritorLinhas(const LinhaHistorico& comum, std::string_view anterior);
  // Appends the line of `linha`'s NUMERO, UC, CAMPO, ANTES and DEPOIS.
  void escreve(const LinhaHistorico& linha, std::string& destino);

 private:
  std::string prefixo_;  // the four shared fields as written, each with its ';'
  std::string bytes_;    // what VERIFICACAO hashes: the previous one, ';', the fields
};

}  // namespace historico

#endif
