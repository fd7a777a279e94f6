// A course's history of saved changes as one save appends to it, inside the
// course's critical section (the layout is in FormatoHistorico.h, the marks
// of the saves in LeituraHistorico.h). Nothing written is ever rewritten or
// removed: a save that did not happen is voided by a line appended after
// it, and the one thing ever cut off is a last line cut short (a writer
// that died), which a line records.
#ifndef PAUTA_ESCRITAHISTORICO_H
#define PAUTA_ESCRITAHISTORICO_H

#include <optional>
#include <string>

#include "Acrescentado.h"
#include "Estado.h"
#include "FimHistorico.h"
#include "FormatoHistorico.h"
#include "Leitura.h"

namespace historico {

class EscritaHistorico {
 public:
  // The history `nome` beside the student file `ficheiroEstudantes`; its
  // lines carry the DATA, UTILIZADOR and MAQUINA of `quem`.
  EscritaHistorico(std::string nome, std::string ficheiroEstudantes, const LinhaHistorico& quem);

  // Before the save replaces anything, when there is a history: cuts off a
  // last line cut short (recorded by "reparada"), closes the last save left
  // open ("concluida" when the file it wrote holds its DEPOIS, `atual`
  // being the student file's identity now, "anulada" otherwise) and
  // flushes. A file that is no history (Dano) is set aside unchanged under
  // the first free name of NAME.danificado, set in `posto` with the `dano`,
  // and a new history starts. Lines it writes carry `origem`. Fails when
  // what it writes cannot be; a history that cannot be opened (a folder, a
  // FIFO, a link...) or set aside fails comeca instead, so that a save
  // without lines for it goes on.
  Estado prepara(const IdentidadeFicheiro& atual, const std::string& origem, Dano* dano,
                 std::string* posto);
  // Starts the lines of the save from `origem` with "inicio", creating the
  // history when there is none.
  Estado comeca(const std::string& origem);
  bool comecada() const { return comecada_; }
  // A value line of the save (handed to the file in pieces).
  Estado escreve(const LinhaHistorico& linha);
  // Ends the save's lines with "identidade" (the identities of the file
  // before and after) and flushes them all: the file may be replaced now.
  Estado identifica(const IdentidadeFicheiro& antes, const IdentidadeFicheiro& depois);
  // After the replacement: "concluida" (not flushed: one lost is told by
  // the file's identity). Its failure is no failure of the save.
  void conclui();
  // The replacement failed: "anulada", flushed (when it cannot be, the next
  // writer finds the file never reached DEPOIS).
  void anula();

 private:
  Estado abre(const IdentidadeFicheiro& atual, const std::string& origem, Dano* dano,
              std::string* posto, Estado* adiado);
  Estado repara(const FimHistorico& fim);
  void novoEscritor(const std::string& origem);
  void marca(Marca qual, const std::string& antes = "", const std::string& depois = "");
  Estado despeja();

  std::string nome_;
  std::string ficheiroEstudantes_;
  LinhaHistorico quem_;
  FicheiroAcrescentado ficheiro_;
  std::string anterior_;  // the chain's last VERIFICACAO
  std::string fimLinha_ = fimLinhaCrLf;
  std::optional<EscritorLinhas> escritor_;
  std::string texto_;  // lines not yet handed to the file
  Estado erro_;
  bool comecada_ = false;
};

}  // namespace historico

#endif
