// A course as the program holds it. One class, three roles, each object in
// one of them: the catalogue of courses found in the working directory, the
// units of the chosen course, or its students. Every operation on a
// student's unit goes through here by student number and unit code.
#ifndef PAUTA_LISTACURSO_H
#define PAUTA_LISTACURSO_H

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "Cmenu.h"
#include "ConsolaES.h"
#include "EscritaHistorico.h"
#include "Estudantes.h"
#include "Ficheiros.h"
#include "FormatoHistorico.h"
#include "RetratoEstudantes.h"
#include "UC.h"

class LeitorLinhas;

class Listacurso {
 public:
  Listacurso();
  virtual ~Listacurso();

  // --- Catalogue ---
  // Appends one entry per readable unit file ("<code>-UC.txt") of the
  // working directory, in the order the directory listing yields them.
  // Prints on `avisos` why each other such name is left out, and the
  // notice of a unit file read as UTF-8.
  void listaFicheiros(std::ostream& avisos);
  // The catalogue table, on `saida`.
  void imprimeCursosDisponiveis(std::ostream& saida) const;
  // The row of every entry whose code is `ncurso`, on `saida`.
  void imprimeCursoEscolhido(std::ostream& saida, int ncurso) const;
  // 1 if an entry has this code, otherwise 0.
  int checkCodigoCurso(int codigoCurso) const;
  const std::vector<Cmenu>& getMenu() const { return menu; }

  // --- Loading ---
  // Loads the units of a unit file: its first line (the course record) gives
  // only the course's total of ECTS, empty lines are skipped silently,
  // unreadable ones reported.
  void setUCsCurso(int nCurso, int nUCs, LeitorLinhas& ficheiro);
  // The course's total of ECTS, as the units' loading found it.
  TotalEctsCurso getTotalEctsCurso() const { return totalEcts; }
  // Loads the students of a student file. Every non-blank line that gives
  // no student or unit (unreadable, stray, after a block cut short, the
  // unit lines of a skipped record) is reported, and so is every number
  // followed by other text; after either, or a decimal comma, the next
  // successful save keeps a copy of the original file.
  void setListaEstudantes(int nCurso, int n, LeitorLinhas& ficheiro);
  // Remembers what the student file held when it was loaded: a save then
  // replaces it only while it still holds that.
  void setIdentidadeFicheiro(const IdentidadeFicheiro& identidade);
  // The student file was read as UTF-8: the first save keeps a copy of it.
  void setOrigemUtf8(bool utf8) { origemUtf8 = utf8; }
  // Drops every student loaded (a file that could not be read to its end).
  void esqueceEstudantes() {
    listaEstudantes.clear();
    retrato.inicia(0);
  }
  void setCurso(int c) { curso = c; }
  // The course's name as its unit file's record gives it (the catalogue's
  // rule), kept by the loading of the units; empty when it has none.
  void guardaNomeCurso(std::string nome) { nomeCurso = std::move(nome); }
  const std::string& getNomeCurso() const { return nomeCurso; }
  std::vector<UC> getCopiaListaUCsCurso() const { return listaUCsCurso; }
  std::vector<Estudantes> getCopialistaEstudantes() const { return listaEstudantes; }
  const std::vector<UC>& getListaUCsCurso() const { return listaUCsCurso; }
  const std::vector<Estudantes>& getListaEstudantes() const { return listaEstudantes; }
  // The students, to be changed in bulk (the import): every one is
  // pictured first for the grade history.
  std::vector<Estudantes>& alteraListaEstudantes() {
    retrato.guardaTodos(listaEstudantes);
    return listaEstudantes;
  }

  // --- Lookups ---
  // 1 if a student has this number, otherwise 0.
  int checkNumAluno(int numAluno) const;
  // 1 if a unit of the course has this code, otherwise 0.
  int checkCodigoUCcurso(int codigoUC) const;
  // The first such student's option in the unit (1, 0, -1), or 2 when he
  // does not take it or no student has the number.
  int checkOpcaoAvaliacaoUCEstudante(int nAluno, int codigoUC) const;
  // The e-folio check of the unit for the last student with the number
  // (1 or 0), its verdicts on `saida`; 0 when no student has it.
  int validaDadosEfoliosUCEstudantes(std::ostream& saida, int nAluno, int codigoUC) const;

  // --- Per-student operations: applied to every student with the number ---
  // The dialogues run on `consola`; the others print on `saida`.
  void userSetNotaEfolioUCEstudante(const Consola& consola, int nAluno, int codigoUC, char letra);
  void userSetNotaProvaFinalUCEstudante(const Consola& consola, int nAluno, int codigoUC);
  void userSetNotaExameRecursoUCEstudante(const Consola& consola, int nAluno, int codigoUC);
  void userSetOpcaoAvaliacaoUCEstudante(const Consola& consola, int nAluno, int codigoUC);
  void atualizaNotaFinalUCEstudante(std::ostream& saida, int nAluno, int codigoUC);
  void imprimeInfoEstudantes(std::ostream& saida, int n, TotalEctsCurso totalCurso);
  void imprimeInfoEstudantes(std::ostream& saida, int n, int codigoUC) const;

  // --- Printing units and students, on `saida` ---
  void imprimeInfoUCcurso(std::ostream& saida, int codigo) const;
  void imprimeInfoTodasUCscurso(std::ostream& saida) const;
  void imprimeInfoUCs(std::ostream& saida) const;
  void imprimeEstudantesDisponiveis(std::ostream& saida) const;

  // --- Removing (each removal on the grade history at the next save) ---
  // Removes every student with the number; answers how many went.
  size_t removeAlunos(int nAluno);
  // Removes from every student with the number his first unit with the
  // code; answers how many units went.
  size_t removeUCAlunos(int nAluno, int codigoUC);

  // --- Statistics, adding, saving ---
  // Rebuilds from zero the pass statistics of every unit from `estudantes`.
  void setInfoUCsCurso(const std::vector<Estudantes>& estudantes);
  // Asks for a new student on `consola` (Estudantes::pedeNovoEstudante) and
  // appends him; he takes a copy of every unit of `listaUnidadesCurso`.
  void userSetEstudante(const Consola& consola, const std::vector<UC>& listaUnidadesCurso,
                        const std::vector<Estudantes>& listaEstComp);
  enum class Gravacao {
    gravado,   // the student file was replaced
    conflito,  // it had changed since loading: written beside it instead
    falhou,    // nothing written; the error was printed
  };
  // Saves the students to `nomeFicheiro` safely, with its messages on
  // `mensagens`: the confirmation, or the error with its reason. If the file
  // changed since it was loaded it is not replaced: the students go to the
  // first free `nomeFicheiro`.conflito[.N] and the error says so. The first
  // save after skipped lines, or of a file read as UTF-8 or with numbers
  // written another way, first keeps the original as the first free
  // `nomeFicheiro`.bak[.N].
  // With `confirma` false, a successful save prints nothing but the backup
  // notice (the modes beside the dialogue are quiet on success).
  // Before the file is replaced (or the conflict file named), every value
  // that differs from what the file held at loading or at the last save is
  // appended to the course's grade history beside it, with `origem` (who
  // changed it: "dialogo", "importacao:FILE", "correcao:FILE", "remocao";
  // removals first) and the identities of the file before and after, and
  // flushed; if the history cannot be written, nothing is saved. A
  // replacement that then fails voids the lines; one a kill interrupts is
  // voided by the next save (the history never records a save that did not
  // happen). A wait for another process's save says so on `mensagens` after
  // 2 s; a process that gives up waiting (a mode, after a minute) fails with
  // the reason "ocupado".
  Gravacao gravaEstudantes(const std::string& nomeFicheiro, std::ostream& mensagens,
                           bool confirma = true,
                           const std::string& origem = historico::origemDialogo);
  // gravaEstudantes with the confirmation. Returns 1 when the changes are
  // kept (saved, or written to a conflict file), 0 when not.
  int gravaFicheiro(const std::string& nomeFicheiro, std::ostream& mensagens);
  // The whole content of a student file holding the current students.
  std::string conteudoFicheiroEstudantes() const;

 private:
  Gravacao gravaConflito(const std::string& nomeFicheiro, historico::EscritaHistorico& historico,
                         SeccaoCurso& seccao, const IdentidadeFicheiro& atual,
                         std::ostream& mensagens, const std::string& origem);
  bool guardaOriginal(const std::string& nomeFicheiro, const IdentidadeFicheiro& atual,
                      std::ostream& mensagens);
  std::string textoGravacao(const std::string& nomeFicheiro, bool confirma) const;
  static std::string textoConflito(const std::string& nomeFicheiro, const std::string& conflito);
  void anunciaGravacao(const std::string& nomeFicheiro, std::ostream& mensagens, bool confirma);
  // Applies `muda` to every student with the number, each pictured first
  // for the grade history.
  void alteraAlunos(int nAluno, const std::function<void(Estudantes&)>& muda);
  Estado substituiEstudantes(const std::string& nomeFicheiro,
                             historico::EscritaHistorico& historico, const std::string& origem,
                             const IdentidadeFicheiro& atual, NovoConteudo& novo, bool confirma);
  Estado escreveHistorico(historico::EscritaHistorico& historico, const std::string& origem,
                          const IdentidadeFicheiro& antes, const IdentidadeFicheiro& depois) const;

  int curso;
  std::string nomeCurso;
  TotalEctsCurso totalEcts;
  int n;
  std::vector<Estudantes> listaEstudantes;
  std::vector<UC> listaUCsCurso;
  std::vector<Cmenu> menu;
  // Some lines of the loaded student file were skipped: the first save
  // keeps a copy of the original first.
  bool linhasIgnoradas;
  bool origemUtf8;
  // Numbers were read from the loaded file written another way than the
  // program writes them.
  bool numerosOutraForma;
  bool copiaFeita;
  // The copy made by a save that then failed, still to be announced.
  std::string copiaPorAnunciar;
  // What the student file held at loading or at the last save.
  bool identidadeConhecida;
  IdentidadeFicheiro identidade;
  // The values the student file held at loading or at the last save of
  // the students changed since, for the grade history.
  RetratoEstudantes retrato;
};

#endif
