#include "Temporario.h"

#include <cctype>
#include <cstdio>
#include <random>
#include <utility>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "Identidades.h"
#include "Leitura.h"
#include "Limpeza.h"
#include "Nomes.h"
#include "Passos.h"
#include "Pausas.h"
#include "Sistema.h"

namespace {

using sistema::Descritor;
using sistema::semDescritor;

// The part of a temporary file's name that says which machine made it: 8
// hexadecimal digits of a hash of the machine's name.
const std::string& marcaMaquina() {
  static const std::string marca = [] {
    const std::string maquina = nomeMaquina();
    char texto[17];
    std::snprintf(texto, sizeof texto, "%08x",
                  static_cast<unsigned>(XXH3_64bits(maquina.data(), maquina.size()) & 0xffffffffu));
    return std::string(texto);
  }();
  return marca;
}

// "DESTINO.tmp.PID.HOST.RANDOM", new every call.
std::string nomeTemporarioDe(const std::string& destino, long long pid) {
  static std::mt19937_64 gerador(std::random_device{}() ^
                                 static_cast<std::uint64_t>(processoAtual()));
  char aleatorio[17];
  std::snprintf(aleatorio, sizeof aleatorio, "%016llx", static_cast<unsigned long long>(gerador()));
  return destino + sufixoTemporario + "." + std::to_string(pid) + "." + marcaMaquina() + "." +
         aleatorio;
}

bool soDigitos(const std::string& texto, bool hexadecimais) {
  for (char c : texto) {
    const auto byte = static_cast<unsigned char>(c);
    if (!(hexadecimais ? std::isxdigit(byte) : std::isdigit(byte))) return false;
  }
  return true;
}

// The process id of a temporary file name of `base` made on this machine
// ("BASE.tmp.PID.HOST.RANDOM"); 0 when the name is not one.
long long processoDoTemporario(const std::string& nome, const std::string& base) {
  const std::string inicio = base + sufixoTemporario + ".";
  if (nome.compare(0, inicio.size(), inicio) != 0) return 0;
  const std::string resto = nome.substr(inicio.size());
  const size_t ponto = resto.find('.');
  if (ponto == std::string::npos || ponto == 0 || ponto > 18) return 0;
  if (!soDigitos(resto.substr(0, ponto), false)) return 0;
  const std::string marca = marcaMaquina() + ".";
  if (resto.compare(ponto + 1, marca.size(), marca) != 0) return 0;
  const std::string aleatorio = resto.substr(ponto + 1 + marca.size());
  if (aleatorio.size() != 16 || !soDigitos(aleatorio, true)) return 0;
  return std::stoll(resto.substr(0, ponto));
}

// Removes the leftover temporary files of `destino`: those whose name shows
// a process of this machine that no longer runs.
void removeRestos(const std::string& destino) {
  const std::string base = nomeBase(destino);
  sistema::removeRestos(destino, [&base](const std::string& nome) {
    const long long pid = processoDoTemporario(nome, base);
    return pid > 0 && pid != processoAtual() && !processoVivo(pid);
  });
}

// Creates a new private temporary file of `destino`, sets `nome` and
// `registo` to it (a name taken meanwhile by another is tried again).
Estado criaPrivado(const std::string& destino, const sistema::Dono& dono, std::string& nome,
                   int& registo, Descritor* d) {
  Estado criado;
  for (int tentativa = 0; tentativa < 10; ++tentativa) {
    nome = nomeTemporarioDe(destino, processoAtual());
    // Registered before it exists: a signal between the two finds nothing
    // to remove under a name no other process uses.
    registo = registaTemporario(nome);
    criado = escrita::criaNovo(nome, dono, d);
    if (criado.ok()) break;
    esqueceTemporario(registo);
    registo = -1;
    if (criado.causa() != Causa::jaExiste) break;
  }
  return criado;
}

// Hands out the pieces of `pedacos` to the file `d`; pauses once the first
// is written when another follows (the file half written).
Estado escrevePedacos(Descritor d, const std::string& nome, const Pedacos& pedacos) {
  std::string_view pedaco;
  for (bool primeiro = true; pedacos(pedaco); primeiro = false) {
    if (!primeiro) pontoPausa("temporario-a-meio");
    Estado escrito = escrita::escreve(d, nome, pedaco);
    if (!escrito.ok()) return escrito;
  }
  return Estado();
}

// Flushes (when `escrito` succeeded) and closes a written file: the first
// failure of the three.
Estado terminaEscrita(Descritor d, const std::string& nome, Estado escrito) {
  if (escrito.ok()) escrito = escrita::descarrega(d, nome);
  Estado fechado = sistema::fechaEscrito(d).sobre(nome);
  return escrito.ok() ? std::move(fechado) : std::move(escrito);
}

}  // namespace

std::string nomeTemporario(const std::string& destino, long long pid) {
  return nomeTemporarioDe(destino, pid);
}

void removeTemporariosAbandonados(const std::string& destino) { removeRestos(destino); }

FicheiroTemporario::FicheiroTemporario(std::string destino) : destino_(std::move(destino)) {}

FicheiroTemporario::~FicheiroTemporario() { remove(); }

Estado FicheiroTemporario::escreve(const Pedacos& pedacos, const std::string& modelo) {
  remove();
  removeRestos(destino_);
  const sistema::Dono dono = sistema::donoDe(modelo);
  Descritor d = semDescritor;
  Estado criado = criaPrivado(destino_, dono, nome_, registo_, &d);
  if (!criado.ok()) return std::move(criado).sobre(destino_);
  existe_ = true;
  sistema::aplicaDono(d, dono);
  Estado escrito = terminaEscrita(d, nome_, escrevePedacos(d, nome_, pedacos));
  if (!escrito.ok()) {
    remove();
    return std::move(escrito).sobre(destino_);
  }
  return Estado();
}

Estado FicheiroTemporario::substitui(const std::function<void()>& aoSubstituir) {
  sistema::adiaSinais();
  Estado renomeado = escrita::renomeia(nome_, destino_);
  if (renomeado.ok()) {
    existe_ = false;
    esqueceTemporario(registo_);
    registo_ = -1;
    if (aoSubstituir) aoSubstituir();
  }
  sistema::libertaSinais();
  if (!renomeado.ok()) {
    remove();
    return renomeado;
  }
  escrita::descarregaPasta(pastaDoNome(destino_));
  return Estado();
}

Estado FicheiroTemporario::nomeiaSeLivre(const std::string& nome,
                                         const std::function<void()>& aoNomear) {
  if (sistema::nomeExiste(nome)) return Estado(Causa::jaExiste, nome);
  // A hard link is made only under a free name (POSIX): it never replaces
  // a file that appeared since the check. Where it is not the way, or the
  // file system has no hard links, a move (that never replaces, on Windows).
  bool ligado = false;
  Estado nomeado;
  sistema::adiaSinais();
  if (sistema::ligacaoSoSeLivre) {
    nomeado = escrita::liga(nome_, nome);
    ligado = nomeado.ok();
  }
  if (!ligado && nomeado.causa() != Causa::jaExiste) {
    nomeado = escrita::moveSeLivre(nome_, nome);
    if (nomeado.ok()) {
      existe_ = false;
      esqueceTemporario(registo_);
      registo_ = -1;
    }
  }
  if (nomeado.ok() && aoNomear) aoNomear();
  sistema::libertaSinais();
  if (nomeado.causa() == Causa::jaExiste) return nomeado;
  if (!nomeado.ok()) {
    remove();
    return nomeado;
  }
  remove();  // the temporary name, when the file got a second one
  escrita::descarregaPasta(pastaDoNome(nome));
  return Estado();
}

Estado FicheiroTemporario::ligaSeLivre(const std::string& nome) {
  if (sistema::nomeExiste(nome)) return Estado(Causa::jaExiste, nome);
  if (!sistema::ligacaoSoSeLivre) {
    Estado movido = escrita::moveSeLivre(nome_, nome);
    if (movido.ok()) existe_ = false;
    remove();
    return movido;
  }
  Estado ligado = escrita::liga(nome_, nome);
  if (!ligado.ok()) {
    remove();
    return ligado;
  }
  // The file must keep one name: when the temporary one cannot go, neither
  // does the new one stay.
  Estado removido = escrita::remove(nome_);
  if (!removido.ok()) {
    (void)escrita::remove(nome);
    remove();
    return std::move(removido).sobre(nome);
  }
  existe_ = false;
  remove();
  escrita::descarregaPasta(pastaDoNome(nome));
  return Estado();
}

void FicheiroTemporario::remove() {
  if (existe_) (void)escrita::remove(nome_);
  existe_ = false;
  esqueceTemporario(registo_);
  registo_ = -1;
}

bool FicheiroTemporario::guardaDestino() {
  remove();
  nome_ = nomeTemporarioDe(destino_, processoAtual());
  registo_ = registaTemporario(nome_);
  const Estado ligado = escrita::liga(destino_, nome_);
  if (ligado.ok()) {
    existe_ = true;
    return true;
  }
  esqueceTemporario(registo_);
  registo_ = -1;
  if (ligado.causa() == Causa::naoExiste) return false;
  return copiaDestino();
}

void FicheiroTemporario::repoeDestino() {
  if (!existe_) {
    (void)escrita::remove(destino_);
    return;
  }
  if (escrita::renomeia(nome_, destino_).ok()) existe_ = false;
  remove();
}

bool FicheiroTemporario::copiaDestino() {
  LeituraPorBlocos leitura;
  if (!leitura.abre(destino_).ok()) return false;
  std::string bloco(1 << 16, '\0');
  bool falhou = false;
  const Pedacos pedacos = [&](std::string_view& pedaco) {
    std::size_t lidos = 0;
    if (!leitura.le(&bloco[0], bloco.size(), &lidos).ok()) falhou = true;
    if (falhou || lidos == 0) return false;
    pedaco = std::string_view(bloco.data(), lidos);
    return true;
  };
  if (!escreve(pedacos, destino_).ok() || falhou) {
    remove();
    return false;
  }
  return true;
}
