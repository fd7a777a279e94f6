// The lock of a session on a course: a file `<student file>.lock` beside
// the data files, created exclusively, holding one line
// "pid;host;user;YYYY-MM-DD HH:MM". While a session holds it, other
// sessions are told who is changing the course. The lock held is an object,
// BloqueioCurso: every session that changes a course holds one, and it is
// released when the object goes, or by the clean-up of every way out
// (signals included) while it is held.
#ifndef PAUTA_BLOQUEIOCURSO_H
#define PAUTA_BLOQUEIOCURSO_H

#include <iosfwd>
#include <string>
#include <string_view>

#include "Estado.h"
#include "Seccao.h"

// Who holds a lock, as its file says ("?" for what it does not say).
struct DonoBloqueio {
  std::string processo = "?";
  std::string maquina = "?";
  std::string utilizador = "?";
  std::string desde = "?";
};

// The lock file's line for its holder (without its line end).
std::string linhaBloqueio(const DonoBloqueio& dono);
// Reads a lock file's content; fields it lacks, and a process id that is not
// a number, are "?".
DonoBloqueio leLinhaBloqueio(std::string_view conteudo);
// This session as the holder of a lock taken now.
DonoBloqueio esteProcesso();

enum class Bloqueio {
  obtido,          // the lock was free and is now ours
  antigoRemovido,  // a lock of a dead process of this machine was removed; ours now
  ocupado,         // another live session (or another machine) holds it: see `dono`
  impossivel,      // it could not be created (read-only folder...): see `razao`
  esperaEsgotada,  // the course's section was held by another process for
                   // longer than this process waits (a mode): see `razao`
};

// A course lock held by this process. While held it is registered for the
// clean-up of every way out (limpezaFinal); the destructor releases it. A
// second object asking for a lock this process already holds finds it
// `ocupado` by this process.
class BloqueioCurso {
 public:
  BloqueioCurso() = default;
  ~BloqueioCurso() { liberta(); }
  BloqueioCurso(const BloqueioCurso&) = delete;
  BloqueioCurso& operator=(const BloqueioCurso&) = delete;

  // Tries to take the lock `nome`, releasing first the one held. On
  // `antigoRemovido` and `ocupado` sets `dono` to the holder found; on
  // `impossivel` and `esperaEsgotada`, `razao` to why. A wait for the
  // course's section is told through `aviso`.
  Bloqueio adquire(const std::string& nome, DonoBloqueio* dono, Estado* razao,
                   const SeccaoCurso::Aviso& aviso = {});
  // Takes the lock `nome` over from whoever holds it: writes ours in its
  // place. A failure when it cannot.
  Estado toma(const std::string& nome, const SeccaoCurso::Aviso& aviso = {});
  // The result of the last adquire.
  Bloqueio resultado() const { return resultado_; }
  // Removes the lock file if it still names this process and machine (a
  // lock taken over by another session is left to it); nothing when none
  // is held.
  void liberta();
  bool detido() const { return detido_; }

 private:
  void regista(const std::string& nome, const DonoBloqueio& eu);
  // Drops the registration for the clean-up; the file is left alone.
  void esquece();

  std::string nome_;
  std::string prefixo_;  // "pid;host;", how the file starts while it is ours
  std::string seccao_;   // the companion of the course's critical section
  int registo_ = -1;     // the registration for the clean-up
  bool detido_ = false;
  Bloqueio resultado_ = Bloqueio::obtido;
};

// The lock file of course nCurso, beside its student file.
std::string nomeBloqueio(int nCurso);

// Takes the lock of course nCurso in `bloqueio`, saying on `saida` what was
// found: an old lock removed, or no lock possible (the session goes on
// without one); answers true. When another live session holds it, names
// that session on `saida` and answers false: the caller asks or refuses.
// When this process gave up waiting for the course's section, says so and
// answers false.
bool bloqueiaCurso(BloqueioCurso& bloqueio, int nCurso, std::ostream& saida);

// What a wait for course nCurso's section says on `saida`, once: "ATENÇÃO:
// Outra sessão está a gravar o curso N (MACHINE, processo PID); a
// aguardar...".
SeccaoCurso::Aviso avisaEspera(int nCurso, std::ostream& saida);

// Takes the lock of course nCurso over from the session that holds it; when
// that fails, warns on `saida` that the session goes on without a lock.
void tomaCurso(BloqueioCurso& bloqueio, int nCurso, std::ostream& saida);

#endif
