#include "BloqueioCurso.h"

#include <charconv>
#include <cstring>
#include <ctime>

#include "Ficheiros.h"

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

// Remembers `nome` as the lock held by this process.
void registaDetido(const std::string& nome, const DonoBloqueio& eu) {
  const std::string prefixo = prefixoDe(eu);
  if (nome.size() >= tamanhoMaximo || prefixo.size() >= tamanhoMaximo) return;
  detido = false;
  std::memcpy(nomeDetido, nome.c_str(), nome.size() + 1);
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
  const DonoBloqueio eu = esteProcesso();
  const std::string linha = linhaBloqueio(eu) + fimLinhaBloqueio;
  bool removido = false;
  for (int tentativa = 0; tentativa < tentativas; ++tentativa) {
    switch (criaFicheiroExclusivo(nome, linha, razao)) {
      case Criacao::criado:
        registaDetido(nome, eu);
        return removido ? Bloqueio::antigoRemovido : Bloqueio::obtido;
      case Criacao::falhou:
        return Bloqueio::impossivel;
      case Criacao::jaExiste:
        break;
    }
    std::string conteudo;
    std::string razaoLeitura;
    const Leitura lido = leFicheiroNormal(nome, &conteudo, nullptr, &razaoLeitura);
    if (lido == Leitura::inexistente) continue;  // released meanwhile: try again
    const DonoBloqueio encontrado =
        lido == Leitura::lido ? leLinhaBloqueio(conteudo) : DonoBloqueio();
    if (lido != Leitura::lido || !abandonado(encontrado)) {
      *dono = encontrado;
      return Bloqueio::ocupado;
    }
    std::string erro;
    if (!removeFicheiro(nome, &erro)) {
      *dono = encontrado;
      return Bloqueio::ocupado;
    }
    *dono = encontrado;
    removido = true;
  }
  return Bloqueio::ocupado;
}

bool tomaBloqueio(const std::string& nome, std::string* razao) {
  const DonoBloqueio eu = esteProcesso();
  if (!substituiFicheiro(nome, linhaBloqueio(eu) + fimLinhaBloqueio, razao)) return false;
  registaDetido(nome, eu);
  return true;
}

void libertaBloqueio() {
  if (!detido) return;
  detido = false;
  removeSeComecaPor(nomeDetido, prefixoDetido, tamanhoPrefixo);
}
