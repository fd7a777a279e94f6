#include "BloqueioCurso.h"

#include <charconv>
#include <cstring>
#include <ctime>

#include "Ficheiros.h"
#include "Nomes.h"

namespace {

const char separadorCampos = ';';
const char* const fimLinhaBloqueio = "\r\n";
// Attempts to create the lock before a lock that keeps reappearing is
// taken as held.
const int tentativas = 3;

// The lock held: its file name and the start of its content (pid;host;),
// kept in fixed buffers that a signal handler may read.
const size_t tamanhoMaximo = 4096;
char nomeDetido[tamanhoMaximo];
char seccaoDetida_[tamanhoMaximo];
char prefixoDetido[tamanhoMaximo];
size_t tamanhoPrefixo = 0;
volatile bool detido = false;

// A field of the lock line cannot hold its separator or a line end.
std::string campoLimpo(std::string texto) {
  for (char& c : texto) {
    if (c == separadorCampos || c == '\r' || c == '\n') c = '_';
  }
  return texto.empty() ? "?" : texto;
}

std::string agora() {
  const std::time_t instante = std::time(nullptr);
  const std::tm* local = std::localtime(&instante);
  char texto[32] = "?";
  if (local != nullptr) std::strftime(texto, sizeof texto, "%Y-%m-%d %H:%M", local);
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

// Remembers `nome` as the lock held by this process.
void registaDetido(const std::string& nome, const DonoBloqueio& eu) {
  const std::string prefixo = prefixoDe(eu);
  const std::string seccao = estudantesDoBloqueio(nome) + sufixoSeccao;
  if (nome.size() >= tamanhoMaximo || prefixo.size() >= tamanhoMaximo ||
      seccao.size() >= tamanhoMaximo) {
    return;
  }
  detido = false;
  std::memcpy(nomeDetido, nome.c_str(), nome.size() + 1);
  std::memcpy(seccaoDetida_, seccao.c_str(), seccao.size() + 1);
  std::memcpy(prefixoDetido, prefixo.c_str(), prefixo.size() + 1);
  tamanhoPrefixo = prefixo.size();
  detido = true;
}

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

Bloqueio adquireBloqueio(const std::string& nome, DonoBloqueio* dono, std::string* razao) {
  registaLibertacaoBloqueio(libertaBloqueio);
  const DonoBloqueio eu = esteProcesso();
  const std::string linha = linhaBloqueio(eu) + fimLinhaBloqueio;
  // Reading the lock, deciding it is stale and replacing it are one step
  // for every other pauta process: they happen inside the course's
  // critical section. A folder where it cannot be entered (read-only...)
  // goes on without it: no lock can be created there either.
  pontoPausa("bloqueio-seccao");
  SeccaoCurso seccao;
  std::string erroSeccao;
  (void)seccao.entra(estudantesDoBloqueio(nome), &erroSeccao);
  for (int tentativa = 0; tentativa < tentativas; ++tentativa) {
    switch (criaFicheiroExclusivo(nome, linha, razao)) {
      case Criacao::criado:
        registaDetido(nome, eu);
        return Bloqueio::obtido;
      case Criacao::falhou:
        return Bloqueio::impossivel;
      case Criacao::jaExiste:
        break;
    }
    std::string conteudo;
    const Leitura lido = leFicheiroCurto(nome, maximoLeitura, &conteudo);
    if (lido == Leitura::inexistente) continue;  // released meanwhile: try again
    const DonoBloqueio encontrado =
        lido == Leitura::lido ? leLinhaBloqueio(conteudo) : DonoBloqueio();
    *dono = encontrado;
    if (lido != Leitura::lido || !abandonado(encontrado)) return Bloqueio::ocupado;
    pontoPausa("bloqueio-lido");
    // Stale: ours takes its place in one rename (never through a link).
    if (!substituiFicheiro(nome, linha, razao, Alvo::substituirNome)) return Bloqueio::ocupado;
    registaDetido(nome, eu);
    return Bloqueio::antigoRemovido;
  }
  return Bloqueio::ocupado;
}

bool tomaBloqueio(const std::string& nome, std::string* razao) {
  registaLibertacaoBloqueio(libertaBloqueio);
  const DonoBloqueio eu = esteProcesso();
  // Inside the section, so that no release (check, then removal) of the
  // previous holder can come between; a save in progress is waited for.
  pontoPausa("tomada-seccao");
  SeccaoCurso seccao;
  std::string erroSeccao;
  (void)seccao.entra(estudantesDoBloqueio(nome), &erroSeccao);
  // A private temporary file renamed over the lock's name: a link there is
  // replaced, never written through.
  if (!substituiFicheiro(nome, linhaBloqueio(eu) + fimLinhaBloqueio, razao, Alvo::substituirNome)) {
    return false;
  }
  registaDetido(nome, eu);
  return true;
}

void libertaBloqueio() {
  if (!detido) return;
  detido = false;
  removeSeComecaPor(nomeDetido, prefixoDetido, tamanhoPrefixo, seccaoDetida_);
}
