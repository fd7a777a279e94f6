#include "Seccao.h"

#include <cerrno>
#include <charconv>
#include <csignal>

#include "Identidades.h"
#include "Leitura.h"
#include "Limpeza.h"
#include "Nomes.h"
#include "Passos.h"
#include "Pausas.h"
#include "Relogio.h"
#include "Sistema.h"
#include "Temporario.h"

namespace {

// Whether this process is inside a course's critical section now: the
// clean-up does not try to enter it again.
volatile std::sig_atomic_t dentroDeSeccao = 0;

// Added to the companion's name for the section's file where the file
// system takes no locks, and to that name for the file held while a stale
// one is removed.
const char* const sufixoTrinco = ".lock";
const char* const sufixoQuebra = ".quebra";

// The longest holder's line read.
const std::size_t maximoLinhaDono = 512;

// The pauses of a wait: short at first, then at most this long.
const long primeiraPausa = 10;
const long maiorPausa = 100;

// Whether the first `tamanho` bytes of `lido` (`total` were read) are
// those of `prefixo`.
bool comecaPor(const char* lido, std::size_t total, const char* prefixo, std::size_t tamanho) {
  bool igual = total >= tamanho;
  for (std::size_t i = 0; igual && i < tamanho; ++i) igual = lido[i] == prefixo[i];
  return igual;
}

// A field of the holder's line cannot hold its separator or a line end.
std::string campoLimpo(std::string texto) {
  for (char& c : texto) {
    if (c == ';' || c == '\r' || c == '\n') c = '_';
  }
  return texto.empty() ? "?" : texto;
}

// "PID;MACHINE;" of this process: how its holder's line starts.
std::string prefixoDesteProcesso() {
  return std::to_string(processoAtual()) + ";" + campoLimpo(nomeMaquina()) + ";";
}

// This process's holder's line: "PID;MACHINE;USER" and a line end.
std::string linhaDesteProcesso() {
  return prefixoDesteProcesso() + campoLimpo(nomeUtilizador()) + "\r\n";
}

bool soDigitos(std::string_view texto) {
  if (texto.empty()) return false;
  for (char c : texto) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The holder a line names ("?" for a field it lacks or a process id that is
// not a number).
DonoSeccao leDono(std::string_view linha) {
  linha = linha.substr(0, linha.find_first_of("\r\n"));
  DonoSeccao dono;
  const std::size_t fim = linha.find(';');
  const std::string_view processo = linha.substr(0, fim);
  if (soDigitos(processo)) dono.processo.assign(processo);
  if (fim == std::string_view::npos) return dono;
  const std::string_view maquina = linha.substr(fim + 1, linha.find(';', fim + 1) - fim - 1);
  if (!maquina.empty()) dono.maquina.assign(maquina);
  return dono;
}

// Whether `dono` is a process of this machine that no longer runs.
bool abandonado(const DonoSeccao& dono) {
  long long pid = 0;
  const char* fim = dono.processo.data() + dono.processo.size();
  const auto r = std::from_chars(dono.processo.data(), fim, pid);
  if (r.ec != std::errc() || r.ptr != fim || dono.maquina != campoLimpo(nomeMaquina())) {
    return false;
  }
  return pid > 0 && pid != processoAtual() && !processoVivo(pid);
}

// A wait for the section: measured on the clock of the waits, told once
// after the durations' `aviso`, given up after their `limite`.
class Espera {
 public:
  explicit Espera(const SeccaoCurso::Aviso& aviso)
      : aviso_(aviso), duracoes_(duracoesEspera()), inicio_(milissegundosDecorridos()) {}

  // One more turn of the wait, `dono` holding the section: tells the wait
  // when it is time, then pauses; false when it is time to give up.
  bool continua(const std::function<DonoSeccao()>& dono) {
    const std::int64_t decorrido = milissegundosDecorridos() - inicio_;
    if (!avisado_ && decorrido >= duracoes_.aviso) {
      avisado_ = true;
      if (aviso_) aviso_(dono());
      pontoPausa("seccao-aguarda");
    }
    if (duracoes_.limite >= 0 && decorrido >= duracoes_.limite) return false;
    pausaMilissegundos(pausa_);
    pausa_ = pausa_ * 2 > maiorPausa ? maiorPausa : pausa_ * 2;
    return true;
  }

 private:
  const SeccaoCurso::Aviso& aviso_;
  DuracoesEspera duracoes_;
  std::int64_t inicio_;
  long pausa_ = primeiraPausa;
  bool avisado_ = false;
};

// What the lock file `nome` holds now (empty when it cannot be read), and
// whether it is there at all.
bool leTrinco(const std::string& nome, std::string* conteudo) {
  const Estado lido = leFicheiroCurto(nome, maximoLinhaDono, conteudo);
  if (!lido.ok()) conteudo->clear();
  return lido.causa() != Causa::naoExiste;
}

// Removes the stale lock file `trinco`, which held `visto`: only while
// holding `trinco`.quebra, created exclusively, and only when it still
// holds `visto`, so that of several processes that found it stale one
// removes it and none removes the lock another took meanwhile. A `quebra`
// left by a dead process is removed in its turn.
void quebraTrinco(const std::string& trinco, const std::string& visto) {
  const std::string quebra = trinco + sufixoQuebra;
  const std::string linha = linhaDesteProcesso();
  const std::string prefixo = prefixoDesteProcesso();
  const int registo = registaRemocaoNaSaida(quebra, prefixo, "");
  Estado criada = criaFicheiroExclusivo(quebra, linha);
  if (!criada.ok()) {
    esqueceRemocaoNaSaida(registo);
    std::string dela;
    if (criada.causa() == Causa::jaExiste && leTrinco(quebra, &dela) && abandonado(leDono(dela))) {
      removeSeComecaPor(quebra.c_str(), dela.c_str(), dela.size(), "");
    }
    return;
  }
  std::string agora;
  if (leTrinco(trinco, &agora) && agora == visto) (void)escrita::remove(trinco);
  esqueceRemocaoNaSaida(registo);
  removeSeComecaPor(quebra.c_str(), prefixo.c_str(), prefixo.size(), "");
}

}  // namespace

std::string trincoSemTrancas(const std::string& ficheiroEstudantes) {
  return ficheiroEstudantes + sufixoSeccao + sufixoTrinco;
}

Estado SeccaoCurso::entra(const std::string& ficheiroEstudantes, const Aviso& aviso) {
  sai();
  const std::string nome = ficheiroEstudantes + sufixoSeccao;
  sistema::Descritor d = sistema::semDescritor;
  Estado aberto = sistema::abreCompanheira(nome, &d).sobre(nome);
  if (!aberto.ok()) return aberto;
  // The first try is a step of the seam; the tries of a wait are not.
  bool obtida = false;
  Estado trancado = escrita::tranca(d, nome, &obtida);
  Espera espera(aviso);
  while (trancado.ok() && !obtida) {
    const auto dono = [d] { return leDono(sistema::leDono(d, maximoLinhaDono)); };
    if (!espera.continua(dono)) trancado = Estado(Causa::ocupado, nome);
    if (trancado.ok()) trancado = sistema::tentaTrancar(d, &obtida).sobre(nome);
  }
  if (!trancado.ok()) {
    sistema::fecha(d);
    if (trancado.causa() == Causa::semTrancas) return entraSemTrancas(nome, aviso);
    return trancado;
  }
  descritor_ = d;
  dentro_ = true;
  dentroDeSeccao = 1;
  sistema::escreveDono(d, linhaDesteProcesso());
  return Estado();
}

// The section as a file created exclusively: taken when it is created,
// waited for while another process holds it, removed when stale.
Estado SeccaoCurso::entraSemTrancas(const std::string& companheira, const Aviso& aviso) {
  const std::string trinco = companheira + sufixoTrinco;
  const std::string linha = linhaDesteProcesso();
  prefixo_ = prefixoDesteProcesso();
  // Registered before it can exist: a signal from then on removes it (the
  // clean-up removes only a file that names this process).
  registo_ = registaRemocaoNaSaida(trinco, prefixo_, "");
  Espera espera(aviso);
  for (;;) {
    Estado criado = criaFicheiroExclusivo(trinco, linha);
    if (criado.ok()) break;
    std::string conteudo;
    if (criado.causa() != Causa::jaExiste) {
      esqueceRemocaoNaSaida(registo_);
      registo_ = -1;
      return criado;
    }
    if (!leTrinco(trinco, &conteudo)) continue;  // released meanwhile
    DonoSeccao dono = leDono(conteudo);
    if (abandonado(dono)) {
      quebraTrinco(trinco, conteudo);
      continue;
    }
    if (!espera.continua([&dono] { return dono; })) {
      esqueceRemocaoNaSaida(registo_);
      registo_ = -1;
      return Estado(Causa::ocupado, trinco);
    }
  }
  trinco_ = trinco;
  dentro_ = true;
  dentroDeSeccao = 1;
  return Estado();
}

void SeccaoCurso::sai() {
  if (!dentro_) return;
  dentroDeSeccao = 0;
  if (trinco_.empty()) {
    sistema::apagaDono(descritor_);
    sistema::largaCompanheira(descritor_);
    descritor_ = sistema::semDescritor;
  } else {
    std::string conteudo;
    if (leTrinco(trinco_, &conteudo) && conteudo.compare(0, prefixo_.size(), prefixo_) == 0) {
      (void)escrita::remove(trinco_);
    }
    esqueceRemocaoNaSaida(registo_);
    registo_ = -1;
    trinco_.clear();
  }
  dentro_ = false;
}

SeccaoCurso::~SeccaoCurso() { sai(); }

namespace {

// Creates `nome` exclusively and fills it, the termination signals held
// between (only a kill can leave it empty).
Estado criaEPreenche(const std::string& nome, std::string_view conteudo) {
  sistema::adiaSinais();
  sistema::Descritor d = sistema::semDescritor;
  Estado escrito = escrita::criaExclusivo(nome, &d);
  if (escrito.ok()) {
    escrito = escrita::escreve(d, nome, conteudo);
    sistema::fecha(d);
    if (!escrito.ok()) (void)escrita::remove(nome);
  }
  sistema::libertaSinais();
  return escrito;
}

}  // namespace

// The content goes to a private temporary file first, which then gets the
// name only while it is free: the name never holds less than the whole
// content, whatever ends the process. Where the file system has no hard
// links, the file is created exclusively and filled.
Estado criaFicheiroExclusivo(const std::string& nome, std::string_view conteudo) {
  FicheiroTemporario novo(nome);
  Estado escrito = novo.escreve(pedacoUnico(conteudo), "");
  if (!escrito.ok()) return escrito;
  Estado ligado = novo.ligaSeLivre(nome);
  if (ligado.ok() || ligado.causa() == Causa::jaExiste) return ligado;
  return criaEPreenche(nome, conteudo);
}

void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho,
                       const char* seccao) {
  const int erroAnterior = errno;
  // Inside the course's critical section when it is free, so that no
  // take-over can come between the check and the removal; never waited for.
  sistema::Descritor trinco = sistema::semDescritor;
  if (!dentroDeSeccao && seccao != nullptr && seccao[0] != '\0') {
    trinco = sistema::entraSeccaoNoSinal(seccao);
  }
  char lido[512];
  std::size_t total = 0;
  if (sistema::leInicio(nome, lido, sizeof lido, tamanho, &total) &&
      comecaPor(lido, total, prefixo, tamanho)) {
    sistema::apaga(nome);
  }
  if (trinco != sistema::semDescritor) sistema::fechaNoSinal(trinco);
  errno = erroAnterior;
}
