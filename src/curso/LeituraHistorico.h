// A whole history of saved changes read (the layout is in
// FormatoHistorico.h): which saves it records stand and which did not
// happen, the check of its chain, and the per-student index the report
// reads.
//
// A save of this version is the mark "inicio", its value lines, the mark
// "identidade" (flushed before the student file is replaced) and the mark
// "concluida" (after). One closed by "anulada" did not happen, and neither
// did one left without "identidade" (the next "inicio" or the end of the
// file comes first): its value lines are left out. One left with
// "identidade" and no closing mark at the end of the file happened when
// the file it wrote holds its DEPOIS now. Value lines outside a save (a
// history of version 1.0.0) stand as they are.
#ifndef PAUTA_LEITURAHISTORICO_H
#define PAUTA_LEITURAHISTORICO_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Estado.h"
#include "FormatoHistorico.h"
#include "LeitorHistorico.h"
#include "Leitura.h"

namespace historico {

// The mark "identidade" of a save: who wrote it (ORIGEM, which names a
// conflict file) and the identities of the file before and after it.
struct IdentidadesGravacao {
  std::string origem, antes, depois;
};

// The file the save of `origem` wrote: the conflict file its ORIGEM names
// (in the folder of `ficheiroEstudantes`), or the student file.
std::string ficheiroDaGravacao(const std::string& origem, const std::string& ficheiroEstudantes);
// Whether the save of `identidades` happened: the file it wrote holds its
// DEPOIS now (`atual` that file's identity).
bool gravacaoFeita(const IdentidadesGravacao& identidades, const IdentidadeFicheiro& atual);
// The same, reading the identity of the file beside `ficheiroEstudantes`.
bool gravacaoFeitaNoFicheiro(const IdentidadesGravacao& identidades,
                             const std::string& ficheiroEstudantes);

// The saves of a history followed as its lines are read, each read line
// given in order with its offset; at the end, which value lines stand.
class SeguimentoGravacoes {
 public:
  // Asked, at the end, whether a save left with its identities happened
  // (none: it did).
  using Feita = std::function<bool(const IdentidadesGravacao&)>;

  void segue(const LinhaHistorico& linha, std::uint64_t posicao);
  // The end of the history.
  void termina(const Feita& feita);
  // Whether the line at `posicao` belongs to a save that did not happen;
  // which of them (from 0), or -1.
  bool anulada(std::uint64_t posicao) const { return qualAnulada(posicao) >= 0; }
  long qualAnulada(std::uint64_t posicao) const;
  // Saves that did not happen; last lines cut short that were cut off.
  long anuladas() const { return static_cast<long>(anuladas_.size()); }
  long reparadas() const { return reparadas_; }

 private:
  enum class Aberta { nenhuma, valores, identificada };
  void anula();

  Aberta aberta_ = Aberta::nenhuma;
  std::uint64_t inicio_ = 0;  // the open save's first line
  std::uint64_t ultima_ = 0;  // its last line so far
  IdentidadesGravacao identidades_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> anuladas_;  // first and last line
  long reparadas_ = 0;
};

// Follows every line of the history file `nome` beside the student file
// `ficheiroEstudantes` to its end (lines that cannot be read are passed
// over); fails as LeitorHistorico::abre or a read.
Estado segueFicheiro(const std::string& nome, const std::string& ficheiroEstudantes,
                     SeguimentoGravacoes* gravacoes);

// What a check of a whole history found.
enum class EstadoVerificacao {
  inexistente,   // there is no history file
  ilegivel,      // it cannot be read: see `razao`
  valido,        // every line chains: `linhas` lines after the header
  semCabecalho,  // the first line is not "HISTORICO;1"
  alterada,      // line `linha` was changed, or one before it removed or moved
  cortada,       // line `linha`, the last one, lacks its line end
};
struct ResultadoVerificacao {
  EstadoVerificacao estado = EstadoVerificacao::valido;
  long linhas = 0;     // lines checked after the header
  long linha = 0;      // the file line concerned (the header is line 1)
  long anuladas = 0;   // saves that did not happen (of a valid history)
  long reparadas = 0;  // lines cut short that were cut off
  Estado razao;        // why it cannot be read
};
// Checks the header and every VERIFICACAO of what `leitor` reads, and
// counts the saves that did not happen (`feita` as SeguimentoGravacoes).
ResultadoVerificacao verifica(LeitorHistorico& leitor,
                              const SeguimentoGravacoes::Feita& feita = {});
// The same for the file `nome`, beside the student file `ficheiroEstudantes`
// (a save left open is asked of the file it wrote).
ResultadoVerificacao verificaFicheiro(const std::string& nome,
                                      const std::string& ficheiroEstudantes = "");

// Where the value lines of each student lie in a history file, for a page
// that shows every student's changes: the file stays open and only this
// index (a few bytes a line) is held; a student's lines are read when asked
// for. Lines that cannot be read, marks and the lines of saves that did not
// happen are left out; the chain is not checked.
class IndiceHistorico {
 public:
  // Indexes the file `nome` beside the student file `ficheiroEstudantes`;
  // answers as LeituraPorBlocos::abre. A file whose first line is not the
  // header fails with Causa::historicoInvalido.
  Estado abre(const std::string& nome, const std::string& ficheiroEstudantes = "");
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

}  // namespace historico

#endif
