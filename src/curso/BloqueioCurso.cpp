#include "BloqueioCurso.h"

#include <charconv>
#include <ctime>
#include <ostream>

#include "Cp1252.h"
#include "Estado.h"
#include "Ficheiros.h"
#include "Nomes.h"
#include "Relogio.h"

namespace {

const char separadorCampos = ';';
const char* const fimLinhaBloqueio = "\r\n";
// Attempts to create the lock before a lock that keeps reappearing is
// taken as held.
const int tentativas = 3;

// A field of the lock line cannot hold its separator or a line end.
std::string campoLimpo(std::string texto) {
  for (char& c : texto) {
    if (c == separadorCampos || c == '\r' || c == '\n') c = '_';
  }
  return texto.empty() ? "?" : texto;
}

std::string agora() {
  std::tm local{};
  char texto[32] = "?";
  if (horaLocal(instanteAtual(), local))
    std::strftime(texto, sizeof texto, "%Y-%m-%d %H:%M", &local);
  return texto;
}

std::string prefixoDe(const DonoBloqueio& dono) {
  return dono.processo + separadorCampos + dono.maquina + separadorCampos;
}

// The student file whose lock is `nome`.
std::string estudantesDoBloqueio(const std::string& nome) {
  const std::string sufixo = sufixoBloqueio;
  if (nome.size() >= sufixo.size() &&
      nome.compare(nome.size() - sufixo.size(), sufixo.size(), sufixo) == 0) {
    return nome.substr(0, nome.size() - sufixo.size());
  }
  return nome;
}

// The longest lock file read: anything longer is not a lock line.
const std::size_t maximoLeitura = 4096;

// A process id written by a lock: digits only.
bool lePid(const std::string& texto, long long& pid) {
  const char* fim = texto.data() + texto.size();
  const auto r = std::from_chars(texto.data(), fim, pid);
  return r.ec == std::errc() && r.ptr == fim;
}

// Whether the lock of `dono` was left by a process of this machine that no
// longer runs.
bool abandonado(const DonoBloqueio& dono) {
  long long pid = 0;
  if (dono.maquina != nomeMaquina() || !lePid(dono.processo, pid)) return false;
  return pid > 0 && !processoVivo(pid);
}

}  // namespace

std::string linhaBloqueio(const DonoBloqueio& dono) {
  return dono.processo + separadorCampos + dono.maquina + separadorCampos + dono.utilizador +
         separadorCampos + dono.desde;
}

DonoBloqueio leLinhaBloqueio(std::string_view conteudo) {
  conteudo = conteudo.substr(0, conteudo.find_first_of("\r\n"));
  DonoBloqueio dono;
  std::string* campos[] = {&dono.processo, &dono.maquina, &dono.utilizador, &dono.desde};
  for (std::string* campo : campos) {
    const size_t fim = conteudo.find(separadorCampos);
    const std::string_view texto = conteudo.substr(0, fim);
    if (!texto.empty()) campo->assign(texto);
    if (fim == std::string_view::npos) break;
    conteudo.remove_prefix(fim + 1);
  }
  long long pid = 0;
  if (!lePid(dono.processo, pid)) dono.processo = "?";  // not a process id: unknown
  return dono;
}

DonoBloqueio esteProcesso() {
  DonoBloqueio eu;
  eu.processo = std::to_string(processoAtual());
  eu.maquina = campoLimpo(nomeMaquina());
  eu.utilizador = campoLimpo(nomeUtilizador());
  eu.desde = agora();
  return eu;
}

namespace {

// Creates the lock `nome` holding `linha`, or replaces a stale one; the
// caller is inside the course's critical section.
Bloqueio criaOuSubstitui(const std::string& nome, const std::string& linha, DonoBloqueio* dono,
                         Estado* razao) {
  for (int tentativa = 0; tentativa < tentativas; ++tentativa) {
    *razao = criaFicheiroExclusivo(nome, linha);
    if (razao->ok()) return Bloqueio::obtido;
    if (razao->causa() != Causa::jaExiste) return Bloqueio::impossivel;
    std::string conteudo;
    const Estado lido = leFicheiroCurto(nome, maximoLeitura, &conteudo);
    if (lido.causa() == Causa::naoExiste) continue;  // released meanwhile: try again
    const DonoBloqueio encontrado = lido.ok() ? leLinhaBloqueio(conteudo) : DonoBloqueio();
    *dono = encontrado;
    if (!lido.ok() || !abandonado(encontrado)) return Bloqueio::ocupado;
    pontoPausa("bloqueio-lido");
    // Stale: ours takes its place in one rename (never through a link).
    *razao = substituiFicheiro(nome, linha, Alvo::substituirNome);
    return razao->ok() ? Bloqueio::antigoRemovido : Bloqueio::ocupado;
  }
  return Bloqueio::ocupado;
}

}  // namespace

Bloqueio BloqueioCurso::adquire(const std::string& nome, DonoBloqueio* dono, Estado* razao,
                                const SeccaoCurso::Aviso& aviso) {
  liberta();
  const DonoBloqueio eu = esteProcesso();
  // Reading the lock, deciding it is stale and replacing it are one step
  // for every other pauta process: they happen inside the course's
  // critical section. A folder where it cannot be entered (read-only...)
  // goes on without it: no lock can be created there either.
  pontoPausa("bloqueio-seccao");
  SeccaoCurso seccao;
  const Estado dentro = seccao.entra(estudantesDoBloqueio(nome), aviso);
  if (dentro.causa() == Causa::ocupado) {
    *razao = dentro;
    return resultado_ = Bloqueio::esperaEsgotada;
  }
  // Registered before the file can appear: a signal from then on removes
  // it (the clean-up removes only a file that names this process).
  regista(nome, eu);
  resultado_ = criaOuSubstitui(nome, linhaBloqueio(eu) + fimLinhaBloqueio, dono, razao);
  if (resultado_ != Bloqueio::obtido && resultado_ != Bloqueio::antigoRemovido) esquece();
  return resultado_;
}

Estado BloqueioCurso::toma(const std::string& nome, const SeccaoCurso::Aviso& aviso) {
  liberta();
  const DonoBloqueio eu = esteProcesso();
  // Inside the section, so that no release (check, then removal) of the
  // previous holder can come between; a save in progress is waited for.
  pontoPausa("tomada-seccao");
  SeccaoCurso seccao;
  Estado dentro = seccao.entra(estudantesDoBloqueio(nome), aviso);
  if (dentro.causa() == Causa::ocupado) return dentro;
  // A private temporary file renamed over the lock's name: a link there is
  // replaced, never written through. Registered first, as in adquire.
  regista(nome, eu);
  Estado tomado =
      substituiFicheiro(nome, linhaBloqueio(eu) + fimLinhaBloqueio, Alvo::substituirNome);
  if (!tomado.ok()) esquece();
  return tomado;
}

void BloqueioCurso::regista(const std::string& nome, const DonoBloqueio& eu) {
  nome_ = nome;
  prefixo_ = prefixoDe(eu);
  seccao_ = estudantesDoBloqueio(nome) + sufixoSeccao;
  registo_ = registaRemocaoNaSaida(nome_, prefixo_, seccao_);
  detido_ = true;
}

void BloqueioCurso::esquece() {
  detido_ = false;
  esqueceRemocaoNaSaida(registo_);
  registo_ = -1;
}

void BloqueioCurso::liberta() {
  if (!detido_) return;
  // Forgotten first: a signal from here on leaves the removal to this call.
  esquece();
  removeSeComecaPor(nome_.c_str(), prefixo_.c_str(), prefixo_.size(), seccao_.c_str());
}

std::string nomeBloqueio(int nCurso) { return nomeFicheiroEstudantes(nCurso) + sufixoBloqueio; }

namespace {

void imprimeDono(const DonoBloqueio& dono, std::ostream& saida) {
  saida << TXT(" (máquina ") << dono.maquina << ", processo " << dono.processo << ", desde "
        << dono.desde << ")" << std::endl;
}

void avisaSemBloqueio(int nCurso, std::ostream& saida) {
  saida << TXT("ATENÇÃO: Não foi possivel bloquear o curso ") << nCurso
        << TXT("; outra sessão pode alterar os mesmos ficheiros") << std::endl;
}

}  // namespace

SeccaoCurso::Aviso avisaEspera(int nCurso, std::ostream& saida) {
  return [nCurso, &saida](const DonoSeccao& dono) {
    saida << TXT("ATENÇÃO: Outra sessão está a gravar o curso ") << nCurso << " (" << dono.maquina
          << ", processo " << dono.processo << "); a aguardar..." << std::endl;
  };
}

bool bloqueiaCurso(BloqueioCurso& bloqueio, int nCurso, std::ostream& saida) {
  DonoBloqueio dono;
  Estado razao;
  switch (bloqueio.adquire(nomeBloqueio(nCurso), &dono, &razao, avisaEspera(nCurso, saida))) {
    case Bloqueio::obtido:
      return true;
    case Bloqueio::antigoRemovido:
      saida << TXT("ATENÇÃO: Foi removido o bloqueio antigo do curso ") << nCurso;
      imprimeDono(dono, saida);
      return true;
    case Bloqueio::impossivel:
      avisaSemBloqueio(nCurso, saida);
      return true;
    case Bloqueio::esperaEsgotada:
      saida << TXT("ERRO: Não foi possivel bloquear o curso ") << nCurso << " ("
            << textoFalha(razao) << ")" << std::endl;
      return false;
    case Bloqueio::ocupado:
      break;
  }
  saida << TXT("ATENÇÃO: O curso ") << nCurso << TXT(" está a ser alterado noutra sessão");
  imprimeDono(dono, saida);
  return false;
}

void tomaCurso(BloqueioCurso& bloqueio, int nCurso, std::ostream& saida) {
  if (!bloqueio.toma(nomeBloqueio(nCurso), avisaEspera(nCurso, saida)).ok()) {
    avisaSemBloqueio(nCurso, saida);
  }
}
