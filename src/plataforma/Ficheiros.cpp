#include "Ficheiros.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "Cp1252.h"
#include "Nomes.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <system_error>
#else
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace {

// A failing step on file `qual`: "qual: reason".
std::string naoPode(const std::string& qual, const std::string& razao) {
  return qual + ": " + razao;
}

const char* const razaoPasta = TXT("é uma pasta");
const char* const razaoLigacao = TXT("é uma ligação simbólica");
const char* const razaoNaoNormal = TXT("não é um ficheiro normal");
const char* const razaoJaExiste = TXT("já existe");
// Numbered names tried before a series of new files gives up.
const int maximoNumerados = 100000;

// --- What differs between POSIX and Windows: the types here and the calls
// declared below, defined on each side of the split at the end of the file.
// Every operation above that split is written once on top of them.

#ifdef _WIN32
using Descritor = HANDLE;
using CodigoErro = DWORD;
const Descritor semDescritor = INVALID_HANDLE_VALUE;
// A new file takes its folder's permissions: there is nothing to copy.
struct Dono {};
std::intptr_t comoInteiro(Descritor d) { return reinterpret_cast<std::intptr_t>(d); }
Descritor deInteiro(std::intptr_t d) { return reinterpret_cast<Descritor>(d); }
#else
using Descritor = int;
using CodigoErro = int;
const Descritor semDescritor = -1;
// The permission bits and owner a new file takes from its model, if it exists.
struct Dono {
  bool copia = false;
  mode_t modo = 0;
  uid_t utilizador = 0;
  gid_t grupo = 0;
};
std::intptr_t comoInteiro(Descritor d) { return d; }
Descritor deInteiro(std::intptr_t d) { return static_cast<Descritor>(d); }
#endif

// The error of the call that just failed (errno; GetLastError) and the
// user's words for it.
CodigoErro ultimoErro();
std::string razaoErro(CodigoErro codigo);
bool naoExiste(CodigoErro codigo);
bool jaExiste(CodigoErro codigo);
// Sets the error of a step the test's observer refused: input/output.
void erroRecusado();

void fechaDescritor(Descritor d);
bool escreveTudo(Descritor d, const char* dados, std::size_t tamanho);
// Opens the regular file `nome` for reading (never a directory, FIFO,
// device or socket); sets its size and modification time where known.
Leitura abreNormal(const std::string& nome, Descritor* d, std::uint64_t* tamanho,
                   std::int64_t* modificacao, std::string* razao);
// One read of at most `maximo` bytes; `lidos` is 0 at the end of the file.
bool leBloco(Descritor d, char* destino, std::size_t maximo, std::size_t* lidos);
// Moves to byte `deslocamento` from the start of the file.
bool vaiPara(Descritor d, std::uint64_t deslocamento);
// Opens the regular file `nome` for reading, never through a link.
Leitura abreCurto(const std::string& nome, Descritor* d);
// Reads up to `maximo` bytes, fewer only at the end of the file.
bool leAte(Descritor d, char* destino, std::size_t maximo, std::size_t* total);

// The file a save of `nome` replaces: `nome` itself, or with
// Alvo::seguirLigacao (POSIX) the target of the link `nome`. Fails when
// what is there may not be replaced.
bool destinoDe(const std::string& nome, Alvo alvo, std::string* destino, std::string* erro);
// Removes the leftover temporary files of `destino` (restoAbandonado) that
// are regular files (of this user, on POSIX); anything else is left alone.
void removeRestos(const std::string& destino);
Dono donoDe(const std::string& modelo);
void aplicaDono(Descritor d, const Dono& dono);
// Whether anything (a link included) has the name `nome`.
bool nomeExiste(const std::string& nome);

// The write steps, each shown to the test's observer first: a step it
// refuses fails, untaken, with an input/output error.
Descritor criaTemporario(const std::string& nome, const Dono& dono);
bool escrevePedaco(Descritor d, const std::string& nome, std::string_view pedaco);
bool descarrega(Descritor d, const std::string& nome);
// Renames `de` to `para`, replacing what is there, on disk before it answers.
bool substituiNome(const std::string& de, const std::string& para);
bool liga(const std::string& de, const std::string& para);
void removeNome(const std::string& nome);
// Flushes a directory's entries to disk where that is a separate step
// (POSIX); a file system that cannot do it is not an error.
void descarregaPasta(const std::string& pasta);
// Flushes (when `escrito`) and closes a written file; on failure sets
// `codigo` to the reason.
bool terminaEscrita(Descritor d, const std::string& nome, bool escrito, CodigoErro* codigo);
// Gives the file `de` the name `para` only while it is free: a hard link
// (the file keeps both names) or a move.
enum class NomeLivre { ligado, movido, ocupado, falhou };
NomeLivre daNomeLivre(const std::string& de, const std::string& para);

// The companion of a course's critical section, opened (created when
// missing) as a regular file, and its exclusive lock, waited for.
bool abreCompanheira(const std::string& nome, Descritor* d, std::string* razao);
enum class Tranca { feita, semTrancas, falhou };
// Closes `d` unless the lock is taken.
Tranca trancaCompanheira(Descritor d, CodigoErro* codigo);
void largaCompanheira(Descritor d);

// For the clean-up, safe in a signal handler: the section of the companion
// `seccao` entered (its descriptor, to close); the first bytes of `nome`
// (at least `tamanho` if it has them, at most `capacidade`), false when it
// cannot be opened; a removal.
Descritor entraSeccaoNoSinal(const char* seccao);
bool leInicio(const char* nome, char* lido, std::size_t capacidade, std::size_t tamanho,
              std::size_t* total);
void apaga(const char* nome);

// Creates `nome` for writing; fails when anything has that name.
Descritor criaExclusivo(const std::string& nome);

// For a file that only grows: opens the regular file `nome` for reading and
// appending, never through a link, or creates it when there is none
// (`criado`); sets its size. On failure sets `razao`.
bool abreParaAcrescentar(const std::string& nome, Descritor* d, bool* criado,
                         std::uint64_t* tamanho, std::string* razao);
// Writes `tamanho` bytes at the end of the file; reads at most `maximo`
// bytes from `posicao` (fewer only at the end); flushes the file to disk;
// cuts it to `tamanho` bytes.
bool escreveNoFim(Descritor d, const char* dados, std::size_t tamanho);
bool leEm(Descritor d, std::uint64_t posicao, char* destino, std::size_t maximo,
          std::size_t* total);
bool descarregaDescritor(Descritor d);
bool cortaEm(Descritor d, std::uint64_t tamanho);

// Holds SIGINT, SIGTERM and SIGHUP while it lives (POSIX): one that comes
// meanwhile is delivered when it goes. Nothing on Windows, whose console
// events come on a thread of their own.
class SinaisAdiados {
 public:
  SinaisAdiados();
  ~SinaisAdiados();
  SinaisAdiados(const SinaisAdiados&) = delete;
  SinaisAdiados& operator=(const SinaisAdiados&) = delete;

 private:
#ifndef _WIN32
  sigset_t antes_;
#endif
};

}  // namespace

Pedacos pedacoUnico(std::string_view conteudo) {
  bool entregue = false;
  return [conteudo, entregue](std::string_view& pedaco) mutable {
    if (entregue) return false;
    pedaco = conteudo;
    entregue = true;
    return true;
  };
}

std::string textoErroGravacao(const std::string& nome, const std::string& erro) {
  return TXT("ERRO: Não foi possivel gravar o ficheiro ") + nome + " (" + erro + ")";
}

bool mesmoConteudo(const IdentidadeFicheiro& a, const IdentidadeFicheiro& b) {
  if (a.existe != b.existe) return false;
  return !a.existe || (a.tamanho == b.tamanho && a.hash == b.hash);
}

bool substituiFicheiro(const std::string& nome, std::string_view conteudo, std::string* erro,
                       Alvo alvo) {
  return substituiFicheiro(nome, pedacoUnico(conteudo), erro, nullptr, alvo);
}

namespace {

// --- The registry of this process's temporary files, read by the clean-up
// of every way out (a signal handler included): fixed buffers, no
// allocation when read.
const std::size_t maximoRegistados = 16;
const std::size_t tamanhoNomeRegistado = 4096;
struct Registado {
  char nome[tamanhoNomeRegistado];
  volatile std::sig_atomic_t usado;
};
Registado registados[maximoRegistados];

int registaTemporario(const std::string& nome) {
  if (nome.size() >= tamanhoNomeRegistado) return -1;
  for (std::size_t i = 0; i < maximoRegistados; ++i) {
    if (registados[i].usado) continue;
    std::memcpy(registados[i].nome, nome.c_str(), nome.size() + 1);
    // The name is complete before a signal handler can see the slot used.
    std::atomic_signal_fence(std::memory_order_seq_cst);
    registados[i].usado = 1;
    return static_cast<int>(i);
  }
  return -1;  // full: the file is still private, only not removed on a signal
}

void esqueceTemporario(int registo) {
  if (registo >= 0) registados[static_cast<std::size_t>(registo)].usado = 0;
}

// --- The registry of the files removed on every way out while they still
// start with given bytes (the course locks this process holds), read by the
// same clean-up: fixed buffers too.
const std::size_t maximoCondicionais = 4;
struct RemocaoCondicional {
  char nome[tamanhoNomeRegistado];
  char prefixo[tamanhoNomeRegistado];
  char seccao[tamanhoNomeRegistado];
  std::size_t tamanhoPrefixo;
  volatile std::sig_atomic_t usado;
};
RemocaoCondicional condicionais[maximoCondicionais];

// Copies `texto` with its NUL into `destino` (tamanhoNomeRegistado bytes).
void copiaRegistado(char* destino, const std::string& texto) {
  std::memcpy(destino, texto.c_str(), texto.size() + 1);
}

// The part of a temporary file's name that says which machine made it: 8
// hexadecimal digits of a hash of the machine's name.
std::string marcaMaquina() {
  static const std::string marca = [] {
    char texto[17];
    std::snprintf(texto, sizeof texto, "%08x",
                  static_cast<unsigned>(XXH3_64bits(nomeMaquina().data(), nomeMaquina().size()) &
                                        0xffffffffu));
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
std::string nomeTemporarioPara(const std::string& destino) {
  return nomeTemporarioDe(destino, processoAtual());
}

// The process id of a temporary file name of `base` made on this machine
// ("BASE.tmp.PID.HOST.RANDOM"); 0 when the name is not one.
long long processoDoTemporario(const std::string& nome, const std::string& base) {
  const std::string inicio = base + sufixoTemporario + ".";
  if (nome.compare(0, inicio.size(), inicio) != 0) return 0;
  const std::string resto = nome.substr(inicio.size());
  const size_t ponto = resto.find('.');
  if (ponto == std::string::npos || ponto == 0 || ponto > 18) return 0;
  long long pid = 0;
  for (size_t i = 0; i < ponto; ++i) {
    if (resto[i] < '0' || resto[i] > '9') return 0;
    pid = pid * 10 + (resto[i] - '0');
  }
  const std::string marca = marcaMaquina() + ".";
  if (resto.compare(ponto + 1, marca.size(), marca) != 0) return 0;
  const std::string aleatorio = resto.substr(ponto + 1 + marca.size());
  if (aleatorio.size() != 16) return 0;
  for (char c : aleatorio) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
  }
  return pid;
}

// The last part of a path, and its folder ("." when it has none).
std::string nomeBase(const std::string& nome) {
  const size_t barra = nome.find_last_of("/\\");
  return barra == std::string::npos ? nome : nome.substr(barra + 1);
}
std::string pastaDoNome(const std::string& nome) {
  const size_t barra = nome.find_last_of("/\\");
  if (barra == std::string::npos) return ".";
  return barra == 0 ? nome.substr(0, 1) : nome.substr(0, barra);
}

// The observer a test installed for the write steps (none in the program).
ObservadorEscritas* observadorEscritas = nullptr;

// The write steps of the temporary files, each shown to the test's observer
// (if any) first: a step it refuses fails with an input/output error.
bool permitido(PassoEscrita passo, const std::string& nome,
               const std::string& para = std::string()) {
  if (observadorEscritas == nullptr || observadorEscritas->passo(passo, nome, para)) return true;
  erroRecusado();
  return false;
}

bool escrevePedaco(Descritor d, const std::string& nome, std::string_view pedaco) {
  return permitido(PassoEscrita::escrita, nome) && escreveTudo(d, pedaco.data(), pedaco.size());
}

}  // namespace

namespace {

// --- Files that only grow, open for a save: on a way out before the save
// was done, cut back to their size (or removed when the save created them).
const std::size_t maximoCortes = 4;
struct Corte {
  char nome[tamanhoNomeRegistado];
  std::intptr_t descritor;
  std::uint64_t tamanho;
  bool remover;
  volatile std::sig_atomic_t usado;
};
Corte cortes[maximoCortes];

int registaCorte(const std::string& nome, std::intptr_t descritor, std::uint64_t tamanho,
                 bool remover) {
  if (nome.size() >= tamanhoNomeRegistado) return -1;
  for (std::size_t i = 0; i < maximoCortes; ++i) {
    Corte& c = cortes[i];
    if (c.usado) continue;
    copiaRegistado(c.nome, nome);
    c.descritor = descritor;
    c.tamanho = tamanho;
    c.remover = remover;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    c.usado = 1;
    return static_cast<int>(i);
  }
  return -1;
}

void esqueceCorte(int registo) {
  if (registo >= 0) cortes[static_cast<std::size_t>(registo)].usado = 0;
}

// Async-signal-safe.
void fazCortes() {
  for (Corte& c : cortes) {
    if (!c.usado) continue;
    c.usado = 0;
    if (c.remover) {
      apaga(c.nome);
    } else if (cortaEm(deInteiro(c.descritor), c.tamanho)) {
      (void)descarregaDescritor(deInteiro(c.descritor));
    }
  }
}

}  // namespace

int registaRemocaoNaSaida(const std::string& nome, const std::string& prefixo,
                          const std::string& seccao) {
  for (const std::string* texto : {&nome, &prefixo, &seccao}) {
    if (texto->size() >= tamanhoNomeRegistado) return -1;
  }
  for (std::size_t i = 0; i < maximoCondicionais; ++i) {
    RemocaoCondicional& r = condicionais[i];
    if (r.usado) continue;
    copiaRegistado(r.nome, nome);
    copiaRegistado(r.prefixo, prefixo);
    copiaRegistado(r.seccao, seccao);
    r.tamanhoPrefixo = prefixo.size();
    std::atomic_signal_fence(std::memory_order_seq_cst);
    r.usado = 1;
    return static_cast<int>(i);
  }
  return -1;
}

void esqueceRemocaoNaSaida(int registo) {
  if (registo >= 0) condicionais[static_cast<std::size_t>(registo)].usado = 0;
}

void observaEscritas(ObservadorEscritas* observador) { observadorEscritas = observador; }

std::string nomeTemporario(const std::string& destino, long long pid) {
  return nomeTemporarioDe(destino, pid);
}

void limpezaFinal() {
  const int erroAnterior = errno;
  fazCortes();
  for (Registado& r : registados) {
    if (!r.usado) continue;
    r.usado = 0;
    apaga(r.nome);
  }
  for (RemocaoCondicional& r : condicionais) {
    if (!r.usado) continue;
    r.usado = 0;
    removeSeComecaPor(r.nome, r.prefixo, r.tamanhoPrefixo, r.seccao);
  }
  errno = erroAnterior;
}

void ignoraLimiteTamanho() {
#ifndef _WIN32
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

FicheiroTemporario::FicheiroTemporario(std::string destino) : destino_(std::move(destino)) {}

FicheiroTemporario::~FicheiroTemporario() { remove(); }

#ifdef PAUTA_PONTOS_PAUSA
namespace {

// Whether the environment asks for a pause at `ponto`, not taken before;
// sets `canal` to the prefix of its FIFOs.
bool pausaPedida(const char* ponto, std::string* canal) {
  static std::vector<std::string> feitos;
  const char* pedidos = std::getenv("PAUTA_PAUSA");
  const char* prefixo = std::getenv("PAUTA_PAUSA_CANAL");
  if (pedidos == nullptr || prefixo == nullptr) return false;
  const std::string lista = std::string(",") + pedidos + ",";
  if (lista.find(std::string(",") + ponto + ",") == std::string::npos) return false;
  for (const std::string& f : feitos) {
    if (f == ponto) return false;
  }
  feitos.emplace_back(ponto);
  *canal = prefixo;
  return true;
}

}  // namespace

void pontoPausa(const char* ponto) {
  std::string canal;
  if (!pausaPedida(ponto, &canal)) return;
#ifndef _WIN32
  const std::string base = canal + "." + ponto;
  const int chegou = open((base + ".chegou").c_str(), O_WRONLY | O_CLOEXEC);
  if (chegou >= 0) {
    (void)!write(chegou, "1", 1);
    close(chegou);
  }
  const int continua = open((base + ".continua").c_str(), O_RDONLY | O_CLOEXEC);
  if (continua >= 0) {
    char c;
    while (read(continua, &c, 1) > 0) {
    }
    close(continua);
  }
#endif
}
#else
void pontoPausa(const char* /*ponto*/) {}
#endif

namespace {

// Hands out the pieces of `pedacos` unchanged while taking the identity of
// the whole text they make.
class PedacosMedidos {
 public:
  explicit PedacosMedidos(const Pedacos& pedacos) : pedacos_(pedacos) {
    XXH3_64bits_reset(&estado_);
  }
  Pedacos pedacos() {
    return [this](std::string_view& pedaco) {
      if (!pedacos_(pedaco)) return false;
      tamanho_ += pedaco.size();
      XXH3_64bits_update(&estado_, pedaco.data(), pedaco.size());
      return true;
    };
  }
  IdentidadeFicheiro identidade() const {
    IdentidadeFicheiro id;
    id.existe = true;
    id.tamanho = tamanho_;
    id.hash = XXH3_64bits_digest(&estado_);
    return id;
  }

 private:
  XXH3_state_t estado_;
  const Pedacos& pedacos_;
  std::uint64_t tamanho_ = 0;
};

}  // namespace

bool gravaFicheiroNovo(const std::string& base, std::string_view conteudo,
                       const std::string& modelo, std::string* escrito, std::string* erro) {
  return gravaFicheiroNovo(base, pedacoUnico(conteudo), modelo, escrito, erro);
}

struct EstadoHash {
  XXH3_state_t estado;
};

LeituraPorBlocos::LeituraPorBlocos() : hash_(new EstadoHash) { XXH3_64bits_reset(&hash_->estado); }

LeituraPorBlocos::~LeituraPorBlocos() {
  fecha();
  delete hash_;
}

IdentidadeFicheiro LeituraPorBlocos::identidade() const {
  IdentidadeFicheiro id;
  id.existe = true;
  id.tamanho = lidos_;
  id.modificacao = modificacao_;
  id.hash = XXH3_64bits_digest(&hash_->estado);
  return id;
}

namespace {

// Size of the blocks of a whole read.
const std::size_t blocoLeitura = 1 << 16;

}  // namespace

Leitura leFicheiroNormal(const std::string& nome, std::string* conteudo,
                         IdentidadeFicheiro* identidade, std::string* razao) {
  if (identidade != nullptr) *identidade = IdentidadeFicheiro();
  LeituraPorBlocos ficheiro;
  const Leitura aberto = ficheiro.abre(nome, razao);
  if (aberto != Leitura::lido) return aberto;
  conteudo->clear();
  conteudo->reserve(static_cast<std::size_t>(ficheiro.tamanhoAoAbrir()));
  char bloco[blocoLeitura];
  std::size_t lidos = 0;
  do {
    if (!ficheiro.le(bloco, sizeof bloco, &lidos, razao)) return Leitura::ilegivel;
    conteudo->append(bloco, lidos);
  } while (lidos > 0);
  if (identidade != nullptr) *identidade = ficheiro.identidade();
  return Leitura::lido;
}

Leitura identificaFicheiro(const std::string& nome, IdentidadeFicheiro* identidade,
                           std::string* razao) {
  *identidade = IdentidadeFicheiro();
  LeituraPorBlocos ficheiro;
  const Leitura aberto = ficheiro.abre(nome, razao);
  if (aberto != Leitura::lido) return aberto;
  char bloco[blocoLeitura];
  std::size_t lidos = 0;
  do {
    if (!ficheiro.le(bloco, sizeof bloco, &lidos, razao)) return Leitura::ilegivel;
  } while (lidos > 0);
  *identidade = ficheiro.identidade();
  return Leitura::lido;
}

namespace {

// A read that failed with `codigo`: no such file, or why it cannot be read.
Leitura falhaLeitura(CodigoErro codigo, std::string* razao) {
  if (naoExiste(codigo)) return Leitura::inexistente;
  *razao = razaoErro(codigo);
  return Leitura::ilegivel;
}

// Whether the file `nome` is a leftover temporary file of `base` made on
// this machine by a process that no longer runs.
bool restoAbandonado(const std::string& nome, const std::string& base) {
  const long long pid = processoDoTemporario(nome, base);
  return pid > 0 && pid != processoAtual() && !processoVivo(pid);
}

// Hands out the pieces of `pedacos` to the file `d`; pauses once the first
// is written.
bool escrevePedacos(Descritor d, const std::string& nome, const Pedacos& pedacos) {
  bool ok = true;
  std::string_view pedaco;
  for (bool primeiro = true; ok && pedacos(pedaco); primeiro = false) {
    ok = escrevePedaco(d, nome, pedaco);
    if (primeiro) pontoPausa("temporario-a-meio");
  }
  return ok;
}

// Creates a new private temporary file of `destino`, sets `nome` and
// `registo` to it (a name taken meanwhile by another is tried again);
// on failure sets `codigo`.
Descritor criaPrivado(const std::string& destino, const Dono& dono, std::string& nome, int& registo,
                      CodigoErro* codigo) {
  Descritor d = semDescritor;
  for (int tentativa = 0; d == semDescritor && tentativa < 10; ++tentativa) {
    nome = nomeTemporarioPara(destino);
    // Registered before it exists: a signal between the two finds nothing
    // to remove under a name no other process uses.
    registo = registaTemporario(nome);
    d = criaTemporario(nome, dono);
    if (d == semDescritor) {
      *codigo = ultimoErro();
      esqueceTemporario(registo);
      registo = -1;
      if (!jaExiste(*codigo)) break;
    }
  }
  return d;
}

// Whether the first `tamanho` bytes of `lido` (`total` were read) are
// those of `prefixo`.
bool comecaPor(const char* lido, std::size_t total, const char* prefixo, std::size_t tamanho) {
  bool igual = total >= tamanho;
  for (std::size_t i = 0; igual && i < tamanho; ++i) igual = lido[i] == prefixo[i];
  return igual;
}

// Whether this process is inside a course's critical section now: the
// clean-up must not enter it again (a second lock of the companion by the
// same process would wait for itself).
volatile std::sig_atomic_t dentroDeSeccao = 0;

}  // namespace

Leitura LeituraPorBlocos::abre(const std::string& nome, std::string* razao) {
  fecha();
  Descritor d = semDescritor;
  const Leitura leitura = abreNormal(nome, &d, &tamanhoAoAbrir_, &modificacao_, razao);
  if (leitura != Leitura::lido) return leitura;
  descritor_ = comoInteiro(d);
  aberto_ = true;
  return Leitura::lido;
}

bool LeituraPorBlocos::le(char* destino, std::size_t maximo, std::size_t* lidos,
                          std::string* razao) {
  *lidos = 0;
  if (!aberto_) return true;
  if (!leBloco(deInteiro(descritor_), destino, maximo, lidos)) {
    *razao = razaoErro(ultimoErro());
    fecha();
    return false;
  }
  lidos_ += *lidos;
  XXH3_64bits_update(&hash_->estado, destino, *lidos);
  if (*lidos == 0) fecha();
  return true;
}

bool LeituraPorBlocos::posiciona(std::uint64_t deslocamento, std::string* razao) {
  if (!aberto_) return true;
  if (!vaiPara(deInteiro(descritor_), deslocamento)) {
    *razao = razaoErro(ultimoErro());
    fecha();
    return false;
  }
  return true;
}

void LeituraPorBlocos::fecha() {
  if (aberto_) fechaDescritor(deInteiro(descritor_));
  aberto_ = false;
}

FicheiroAcrescentado::~FicheiroAcrescentado() { fecha(); }

bool FicheiroAcrescentado::abre(const std::string& nome, std::string_view inicio,
                                std::string* erro) {
  fecha();
  nome_ = nome;
  Descritor d = semDescritor;
  std::string razao;
  if (!abreParaAcrescentar(nome, &d, &criado_, &tamanho_, &razao)) {
    *erro = naoPode(nome, razao);
    return false;
  }
  descritor_ = comoInteiro(d);
  aberto_ = true;
  registo_ = registaCorte(nome, descritor_, tamanho_, criado_);
  if (!criado_) return true;
  // A new file holds its first line before anything is appended.
  if (!acrescenta(inicio, erro) || !descarrega(erro)) {
    std::string ignorado;
    repoe(&ignorado);
    return false;
  }
  descarregaPasta(pastaDoNome(nome));
  tamanho_ = inicio.size();
  return true;
}

bool FicheiroAcrescentado::le(std::uint64_t posicao, std::size_t maximo, std::string* texto,
                              std::string* erro) {
  texto->assign(maximo, '\0');
  std::size_t total = 0;
  if (!leEm(deInteiro(descritor_), posicao, &(*texto)[0], maximo, &total)) {
    *erro = naoPode(nome_, razaoErro(ultimoErro()));
    return false;
  }
  texto->resize(total);
  return true;
}

bool FicheiroAcrescentado::acrescenta(std::string_view texto, std::string* erro) {
  if (!escreveNoFim(deInteiro(descritor_), texto.data(), texto.size())) {
    *erro = naoPode(nome_, razaoErro(ultimoErro()));
    return false;
  }
  return true;
}

bool FicheiroAcrescentado::descarrega(std::string* erro) {
  if (!descarregaDescritor(deInteiro(descritor_))) {
    *erro = naoPode(nome_, razaoErro(ultimoErro()));
    return false;
  }
  return true;
}

bool FicheiroAcrescentado::repoe(std::string* erro) {
  if (!aberto_) return true;
  esqueceCorte(registo_);
  registo_ = -1;
  bool ok = true;
  if (criado_) {
    fecha();  // Windows removes no open file
    ok = removeFicheiro(nome_, erro);
    if (ok) descarregaPasta(pastaDoNome(nome_));
    return ok;
  }
  const Descritor d = deInteiro(descritor_);
  ok = cortaEm(d, tamanho_) && descarregaDescritor(d);
  if (!ok) *erro = naoPode(nome_, razaoErro(ultimoErro()));
  fecha();
  return ok;
}

void FicheiroAcrescentado::fecha() {
  // Forgotten before the descriptor is closed: the clean-up never cuts
  // through a closed (or reused) descriptor.
  esqueceCorte(registo_);
  registo_ = -1;
  if (aberto_) fechaDescritor(deInteiro(descritor_));
  aberto_ = false;
}

bool FicheiroTemporario::escreve(const Pedacos& pedacos, const std::string& modelo,
                                 std::string* erro) {
  remove();
  removeRestos(destino_);
  const Dono dono = donoDe(modelo);
  CodigoErro codigo = 0;
  const Descritor d = criaPrivado(destino_, dono, nome_, registo_, &codigo);
  if (d == semDescritor) {
    *erro = naoPode(nome_, razaoErro(codigo));
    return false;
  }
  existe_ = true;
  aplicaDono(d, dono);
  if (!terminaEscrita(d, nome_, escrevePedacos(d, nome_, pedacos), &codigo)) {
    *erro = naoPode(nome_, razaoErro(codigo));
    remove();
    return false;
  }
  return true;
}

bool FicheiroTemporario::substitui(std::string* erro, const std::function<void()>& aoSubstituir) {
  {
    const SinaisAdiados adiados;
    if (!substituiNome(nome_, destino_)) {
      *erro = naoPode(destino_, razaoErro(ultimoErro()));
      remove();
      return false;
    }
    existe_ = false;
    esqueceTemporario(registo_);
    registo_ = -1;
    if (aoSubstituir) aoSubstituir();
  }
  descarregaPasta(pastaDoNome(destino_));
  return true;
}

bool FicheiroTemporario::nomeiaSeLivre(const std::string& nome, bool* ocupado, std::string* erro) {
  *ocupado = nomeExiste(nome);
  if (*ocupado) return false;
  const NomeLivre resultado = daNomeLivre(nome_, nome);
  if (resultado == NomeLivre::ocupado) {
    *ocupado = true;
    return false;
  }
  if (resultado == NomeLivre::falhou) {
    *erro = naoPode(nome, razaoErro(ultimoErro()));
    remove();
    return false;
  }
  if (resultado == NomeLivre::movido) existe_ = false;
  remove();  // the temporary name, when the file got a second one
  descarregaPasta(pastaDoNome(nome));
  return true;
}

void FicheiroTemporario::remove() {
  if (existe_) removeNome(nome_);
  existe_ = false;
  esqueceTemporario(registo_);
  registo_ = -1;
}

bool FicheiroTemporario::guardaDestino() {
  remove();
  nome_ = nomeTemporarioPara(destino_);
  registo_ = registaTemporario(nome_);
  if (liga(destino_, nome_)) {
    existe_ = true;
    return true;
  }
  const CodigoErro codigo = ultimoErro();
  esqueceTemporario(registo_);
  registo_ = -1;
  if (naoExiste(codigo)) return false;
  return copiaDestino();
}

void FicheiroTemporario::repoeDestino() {
  if (!existe_) {
    removeNome(destino_);
    return;
  }
  if (substituiNome(nome_, destino_)) existe_ = false;
  remove();
}

bool FicheiroTemporario::copiaDestino() {
  LeituraPorBlocos leitura;
  std::string razao;
  if (leitura.abre(destino_, &razao) != Leitura::lido) return false;
  std::string bloco(1 << 16, '\0');
  bool falhou = false;
  const Pedacos pedacos = [&](std::string_view& pedaco) {
    std::size_t lidos = 0;
    if (!leitura.le(&bloco[0], bloco.size(), &lidos, &razao)) falhou = true;
    if (falhou || lidos == 0) return false;
    pedaco = std::string_view(bloco.data(), lidos);
    return true;
  };
  std::string erro;
  if (!escreve(pedacos, destino_, &erro) || falhou) {
    remove();
    return false;
  }
  return true;
}

bool substituiFicheiro(const std::string& nome, const Pedacos& pedacos, std::string* erro,
                       IdentidadeFicheiro* escrito, Alvo alvo) {
  return substituiFicheiro(nome, pedacos, erro, escrito, alvo, {});
}

bool substituiFicheiro(const std::string& nome, const Pedacos& pedacos, std::string* erro,
                       IdentidadeFicheiro* escrito, Alvo alvo,
                       const std::function<void()>& aoSubstituir) {
  std::string destino;
  if (!destinoDe(nome, alvo, &destino, erro)) return false;
  PedacosMedidos medidos(pedacos);
  FicheiroTemporario temporario(destino);
  if (!temporario.escreve(medidos.pedacos(), destino, erro)) return false;
  pontoPausa(alvo == Alvo::substituirNome ? "bloqueio-escrito" : "temporario-escrito");
  if (!temporario.substitui(erro, aoSubstituir)) return false;
  if (escrito != nullptr) *escrito = medidos.identidade();
  return true;
}

namespace {

// The new contents of `ficheiros` written to their temporary files, beside
// the files each replaces (`destinos`).
bool escreveTodos(const std::vector<std::pair<std::string, Pedacos>>& ficheiros,
                  const std::vector<std::string>& destinos,
                  std::vector<std::unique_ptr<FicheiroTemporario>>& novos, std::string* qual,
                  std::string* erro) {
  for (std::size_t i = 0; i < ficheiros.size(); ++i) {
    *qual = ficheiros[i].first;
    novos.push_back(std::make_unique<FicheiroTemporario>(destinos[i]));
    if (!novos.back()->escreve(ficheiros[i].second, destinos[i], erro)) return false;
  }
  return true;
}

// Renames every new content into place, keeping each old file until all
// are done; when a rename fails, puts back those already renamed.
bool substituiTodos(const std::vector<std::string>& destinos,
                    std::vector<std::unique_ptr<FicheiroTemporario>>& novos,
                    const std::vector<std::pair<std::string, Pedacos>>& ficheiros,
                    std::string* qual, std::string* erro) {
  std::vector<std::unique_ptr<FicheiroTemporario>> antigos;
  for (std::size_t i = 0; i < destinos.size(); ++i) {
    *qual = ficheiros[i].first;
    antigos.push_back(std::make_unique<FicheiroTemporario>(destinos[i]));
    antigos.back()->guardaDestino();
    if (novos[i]->substitui(erro)) continue;
    antigos.pop_back();
    while (!antigos.empty()) {
      antigos.back()->repoeDestino();
      antigos.pop_back();
    }
    return false;
  }
  return true;
}

}  // namespace

bool substituiFicheiros(const std::vector<std::pair<std::string, Pedacos>>& ficheiros,
                        std::string* qual, std::string* erro) {
  std::vector<std::string> destinos(ficheiros.size());
  for (std::size_t i = 0; i < ficheiros.size(); ++i) {
    *qual = ficheiros[i].first;
    if (!destinoDe(ficheiros[i].first, Alvo::soNormal, &destinos[i], erro)) return false;
  }
  std::vector<std::unique_ptr<FicheiroTemporario>> novos;
  if (!escreveTodos(ficheiros, destinos, novos, qual, erro)) return false;
  // Every new content is on disk: now the renames.
  pontoPausa("temporarios-escritos");
  return substituiTodos(destinos, novos, ficheiros, qual, erro);
}

bool gravaFicheiroNovo(const std::string& base, const Pedacos& pedacos, const std::string& modelo,
                       std::string* escrito, std::string* erro) {
  FicheiroTemporario temporario(base);
  if (!temporario.escreve(pedacos, modelo, erro)) return false;
  for (int n = 0; n < maximoNumerados; ++n) {
    const std::string candidato = nomeNumerado(base, n);
    bool ocupado = false;
    if (temporario.nomeiaSeLivre(candidato, &ocupado, erro)) {
      *escrito = candidato;
      return true;
    }
    if (!ocupado) return false;
  }
  *erro = naoPode(base, razaoJaExiste);
  return false;
}

Leitura leFicheiroCurto(const std::string& nome, std::size_t maximo, std::string* conteudo) {
  conteudo->clear();
  Descritor d = semDescritor;
  const Leitura aberto = abreCurto(nome, &d);
  if (aberto != Leitura::lido) return aberto;
  std::string lido(maximo + 1, '\0');
  std::size_t total = 0;
  const bool ok = leAte(d, &lido[0], lido.size(), &total);
  fechaDescritor(d);
  if (!ok || total == 0 || total > maximo) return Leitura::ilegivel;
  lido.resize(total);
  *conteudo = std::move(lido);
  return Leitura::lido;
}

bool SeccaoCurso::entra(const std::string& ficheiroEstudantes, std::string* erro) {
  sai();
  const std::string nome = ficheiroEstudantes + sufixoSeccao;
  Descritor d = semDescritor;
  std::string razao;
  if (!abreCompanheira(nome, &d, &razao)) {
    *erro = naoPode(nome, razao);
    return false;
  }
  CodigoErro codigo = 0;
  const Tranca tranca = trancaCompanheira(d, &codigo);
  if (tranca == Tranca::semTrancas) return true;  // a file system without locks
  if (tranca == Tranca::falhou) {
    *erro = naoPode(nome, razaoErro(codigo));
    return false;
  }
  descritor_ = comoInteiro(d);
  dentro_ = true;
  dentroDeSeccao = 1;
  return true;
}

void SeccaoCurso::sai() {
  if (!dentro_) return;
  dentroDeSeccao = 0;
  largaCompanheira(deInteiro(descritor_));
  descritor_ = -1;
  dentro_ = false;
}

SeccaoCurso::~SeccaoCurso() { sai(); }

Criacao criaFicheiroExclusivo(const std::string& nome, std::string_view conteudo,
                              std::string* razao) {
  const Descritor d = criaExclusivo(nome);
  if (d == semDescritor) {
    const CodigoErro codigo = ultimoErro();
    if (jaExiste(codigo)) return Criacao::jaExiste;
    *razao = razaoErro(codigo);
    return Criacao::falhou;
  }
  const bool ok = escreveTudo(d, conteudo.data(), conteudo.size());
  const CodigoErro codigo = ultimoErro();
  fechaDescritor(d);
  if (!ok) {
    apaga(nome.c_str());
    *razao = razaoErro(codigo);
    return Criacao::falhou;
  }
  return Criacao::criado;
}

void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho,
                       const char* seccao) {
  const int erroAnterior = errno;
  // Inside the course's critical section, so that no take-over can come
  // between the check and the removal.
  Descritor trinco = semDescritor;
  if (!dentroDeSeccao && seccao != nullptr) trinco = entraSeccaoNoSinal(seccao);
  char lido[512];
  std::size_t total = 0;
  if (leInicio(nome, lido, sizeof lido, tamanho, &total) &&
      comecaPor(lido, total, prefixo, tamanho)) {
    apaga(nome);
  }
  if (trinco != semDescritor) fechaDescritor(trinco);
  errno = erroAnterior;
}

#ifndef _WIN32

// ----------------------------------------------------------------- POSIX

namespace {

CodigoErro ultimoErro() { return errno; }

std::string razaoErro(CodigoErro codigo) {
  switch (codigo) {
    case EACCES:
    case EPERM:
      return TXT("sem permissão");
    case EROFS:
      return TXT("sistema de ficheiros só de leitura");
    case ENOENT:
      return TXT("não existe");
    case EEXIST:
      return razaoJaExiste;
    case ENAMETOOLONG:
      return "nome demasiado longo";
    case EBUSY:
    case ETXTBSY:
      return "ocupado";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return "disco cheio";
    case EFBIG:
      return "ficheiro demasiado grande";
    case EISDIR:
      return razaoPasta;
    case ELOOP:
      return razaoLigacao;
    case EIO:
      return TXT("erro de entrada/saída");
    default:
      return "erro " + std::to_string(codigo);
  }
}

bool naoExiste(CodigoErro codigo) { return codigo == ENOENT; }
bool jaExiste(CodigoErro codigo) { return codigo == EEXIST; }
void erroRecusado() { errno = EIO; }

// The reason a file of mode `modo` is not a regular file.
const char* razaoTipo(mode_t modo) {
  if (S_ISDIR(modo)) return razaoPasta;
  if (S_ISLNK(modo)) return razaoLigacao;
  return razaoNaoNormal;
}

void fechaDescritor(Descritor d) { close(d); }

bool escreveTudo(Descritor d, const char* dados, std::size_t tamanho) {
  while (tamanho > 0) {
    const ssize_t n = write(d, dados, tamanho);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    dados += n;
    tamanho -= static_cast<size_t>(n);
  }
  return true;
}

// What stat says of `nome` before it is opened: a regular file, or why not.
Leitura verificaNormal(const std::string& nome, std::string* razao) {
  struct stat info;
  if (stat(nome.c_str(), &info) != 0) return falhaLeitura(errno, razao);
  if (!S_ISREG(info.st_mode)) {
    *razao = razaoTipo(info.st_mode);
    return Leitura::ilegivel;
  }
  return Leitura::lido;
}

Leitura abreNormal(const std::string& nome, Descritor* d, std::uint64_t* tamanho,
                   std::int64_t* modificacao, std::string* razao) {
  const Leitura antes = verificaNormal(nome, razao);
  if (antes != Leitura::lido) return antes;
  // Non-blocking, so that a FIFO put there after the check cannot hang us.
  const int fd = open(nome.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return falhaLeitura(errno, razao);
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *razao = S_ISREG(info.st_mode) ? razaoErro(errno) : razaoTipo(info.st_mode);
    close(fd);
    return Leitura::ilegivel;
  }
  *d = fd;
  *tamanho = static_cast<std::uint64_t>(info.st_size);
  *modificacao = static_cast<std::int64_t>(info.st_mtime);
  return Leitura::lido;
}

bool leBloco(Descritor d, char* destino, std::size_t maximo, std::size_t* lidos) {
  for (;;) {
    const ssize_t n = read(d, destino, maximo);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    *lidos = static_cast<std::size_t>(n);
    return true;
  }
}

bool vaiPara(Descritor d, std::uint64_t deslocamento) {
  return lseek(d, static_cast<off_t>(deslocamento), SEEK_SET) >= 0;
}

bool abreParaAcrescentar(const std::string& nome, Descritor* d, bool* criado,
                         std::uint64_t* tamanho, std::string* razao) {
  struct stat info;
  // Never opened when it is no regular file: a FIFO or a device opened for
  // writing could block or act.
  if (lstat(nome.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    *razao = razaoTipo(info.st_mode);
    return false;
  }
  const int opcoes = O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd = open(nome.c_str(), opcoes);
  *criado = false;
  if (fd < 0 && errno == ENOENT) {
    fd = open(nome.c_str(), opcoes | O_CREAT | O_EXCL, 0666);
    *criado = fd >= 0;
  }
  if (fd < 0) {
    *razao = razaoErro(errno);
    return false;
  }
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *razao = razaoTipo(info.st_mode);
    close(fd);
    if (*criado) unlink(nome.c_str());
    *criado = false;
    return false;
  }
  *d = fd;
  *tamanho = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool escreveNoFim(Descritor d, const char* dados, std::size_t tamanho) {
  return escreveTudo(d, dados, tamanho);  // opened with O_APPEND
}

bool leEm(Descritor d, std::uint64_t posicao, char* destino, std::size_t maximo,
          std::size_t* total) {
  *total = 0;
  while (*total < maximo) {
    const ssize_t n =
        pread(d, destino + *total, maximo - *total, static_cast<off_t>(posicao + *total));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    *total += static_cast<std::size_t>(n);
  }
  return true;
}

bool descarregaDescritor(Descritor d) { return fsync(d) == 0; }

SinaisAdiados::SinaisAdiados() {
  sigset_t terminacao;
  sigemptyset(&terminacao);
  for (int sinal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&terminacao, sinal);
  sigprocmask(SIG_BLOCK, &terminacao, &antes_);
}

SinaisAdiados::~SinaisAdiados() { sigprocmask(SIG_SETMASK, &antes_, nullptr); }

bool cortaEm(Descritor d, std::uint64_t tamanho) {
  return ftruncate(d, static_cast<off_t>(tamanho)) == 0;
}

Leitura abreCurto(const std::string& nome, Descritor* d) {
  const int fd = open(nome.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? Leitura::inexistente : Leitura::ilegivel;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return Leitura::ilegivel;
  }
  *d = fd;
  return Leitura::lido;
}

bool leAte(Descritor d, char* destino, std::size_t maximo, std::size_t* total) {
  *total = 0;
  while (*total < maximo) {
    const ssize_t n = read(d, destino + *total, maximo - *total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    *total += static_cast<std::size_t>(n);
  }
  return true;
}

// The target of the link `nome`, which must be a regular file; `info` is
// set to what it is.
bool resolveLigacao(const std::string& nome, std::string* destino, struct stat* info,
                    std::string* erro) {
  char* resolvido = realpath(nome.c_str(), nullptr);
  if (resolvido == nullptr) {
    *erro = naoPode(nome, razaoErro(errno));
    return false;
  }
  *destino = resolvido;
  std::free(resolvido);
  if (stat(destino->c_str(), info) != 0) {
    *erro = naoPode(*destino, razaoErro(errno));
    return false;
  }
  return true;
}

bool destinoDe(const std::string& nome, Alvo alvo, std::string* destino, std::string* erro) {
  *destino = nome;
  struct stat info;
  if (lstat(nome.c_str(), &info) != 0) {
    if (errno == ENOENT) return true;
    *erro = naoPode(nome, razaoErro(errno));
    return false;
  }
  if (S_ISLNK(info.st_mode)) {
    if (alvo == Alvo::substituirNome) return true;  // the rename replaces the link itself
    if (alvo == Alvo::soNormal) {
      *erro = naoPode(nome, razaoLigacao);
      return false;
    }
    if (!resolveLigacao(nome, destino, &info, erro)) return false;
  }
  if (!S_ISREG(info.st_mode)) {
    *erro = naoPode(nome, razaoTipo(info.st_mode));
    return false;
  }
  return true;
}

void removeRestos(const std::string& destino) {
  const std::string pasta = pastaDoNome(destino);
  const std::string base = nomeBase(destino);
  DIR* dir = opendir(pasta.c_str());
  if (dir == nullptr) return;
  const std::string prefixo = pasta + "/";
  while (const dirent* entrada = readdir(dir)) {
    const std::string nome = entrada->d_name;
    if (!restoAbandonado(nome, base)) continue;
    struct stat info;
    if (lstat((prefixo + nome).c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != geteuid()) {
      continue;
    }
    unlink((prefixo + nome).c_str());
  }
  closedir(dir);
}

Dono donoDe(const std::string& modelo) {
  Dono dono;
  struct stat info;
  if (!modelo.empty() && stat(modelo.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    dono.copia = true;
    dono.modo = info.st_mode & 07777;
    dono.utilizador = info.st_uid;
    dono.grupo = info.st_gid;
  }
  return dono;
}

void aplicaDono(Descritor d, const Dono& dono) {
  if (!dono.copia) return;
  // Owner first: changing it may clear the set-id bits that fchmod sets.
  (void)fchown(d, dono.utilizador, dono.grupo);
  (void)fchmod(d, dono.modo);
}

bool nomeExiste(const std::string& nome) {
  struct stat info;
  return lstat(nome.c_str(), &info) == 0;
}

Descritor criaTemporario(const std::string& nome, const Dono& dono) {
  if (!permitido(PassoEscrita::criacao, nome)) return -1;
  return open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
              dono.copia ? 0600 : 0666);
}
bool descarrega(Descritor d, const std::string& nome) {
  return permitido(PassoEscrita::descarga, nome) && fsync(d) == 0;
}
bool substituiNome(const std::string& de, const std::string& para) {
  return permitido(PassoEscrita::renomeacao, de, para) && rename(de.c_str(), para.c_str()) == 0;
}
bool liga(const std::string& de, const std::string& para) {
  return permitido(PassoEscrita::ligacao, de, para) && link(de.c_str(), para.c_str()) == 0;
}
void removeNome(const std::string& nome) {
  if (permitido(PassoEscrita::remocao, nome)) unlink(nome.c_str());
}

void descarregaPasta(const std::string& pasta) {
  if (!permitido(PassoEscrita::descargaPasta, pasta)) return;
  const int fd = open(pasta.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

bool terminaEscrita(Descritor d, const std::string& nome, bool escrito, CodigoErro* codigo) {
  const bool ok = escrito && descarrega(d, nome);
  const int erroEscrita = errno;
  const bool fechado = close(d) == 0;
  *codigo = erroEscrita != 0 ? erroEscrita : errno;
  return fechado && ok;
}

NomeLivre daNomeLivre(const std::string& de, const std::string& para) {
  // A hard link is made only under a free name: never replaces a file
  // that appeared since the check.
  if (liga(de, para)) return NomeLivre::ligado;
  if (errno == EEXIST) return NomeLivre::ocupado;
  // A file system without hard links: the name was free just now.
  return substituiNome(de, para) ? NomeLivre::movido : NomeLivre::falhou;
}

// flock, retried when a signal interrupts the wait.
int trancaExclusivo(int fd) {
  int r;
  do {
    r = flock(fd, LOCK_EX);
  } while (r != 0 && errno == EINTR);
  return r;
}

bool semTrancas(int codigo) {
#if ENOTSUP != EOPNOTSUPP
  if (codigo == ENOTSUP) return true;
#endif
  return codigo == ENOLCK || codigo == EOPNOTSUPP || codigo == EINVAL;
}

// The companion, created when missing; another user's, or one in a
// read-only folder, for reading only: a lock needs no write permission.
int abreParaTrancar(const std::string& nome) {
  const int fd =
      open(nome.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd >= 0 || (errno != EACCES && errno != EROFS)) return fd;
  return open(nome.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool abreCompanheira(const std::string& nome, Descritor* d, std::string* razao) {
  const int fd = abreParaTrancar(nome);
  if (fd < 0) {
    *razao = razaoErro(errno);
    return false;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *razao = razaoTipo(info.st_mode);
    close(fd);
    return false;
  }
  *d = fd;
  return true;
}

Tranca trancaCompanheira(Descritor d, CodigoErro* codigo) {
  if (trancaExclusivo(d) == 0) return Tranca::feita;
  *codigo = errno;
  close(d);
  return semTrancas(*codigo) ? Tranca::semTrancas : Tranca::falhou;
}

void largaCompanheira(Descritor d) {
  close(d);  // closing releases the lock
}

Descritor entraSeccaoNoSinal(const char* seccao) {
  const int fd = open(seccao, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd >= 0) trancaExclusivo(fd);
  return fd;
}

bool leInicio(const char* nome, char* lido, std::size_t capacidade, std::size_t tamanho,
              std::size_t* total) {
  const int fd = open(nome, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  *total = 0;
  while (*total < tamanho && *total < capacidade) {
    const ssize_t n = read(fd, lido + *total, capacidade - *total);
    if (n <= 0) break;
    *total += static_cast<std::size_t>(n);
  }
  close(fd);
  return true;
}

void apaga(const char* nome) { unlink(nome); }

Descritor criaExclusivo(const std::string& nome) {
  return open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

}  // namespace

std::vector<std::string> listaFicheirosNormais(const std::string& pasta) {
  std::vector<std::string> nomes;
  DIR* dir = opendir(pasta.c_str());
  if (dir == nullptr) return nomes;
  const std::string prefixo = pasta == "." ? "" : pasta + "/";
  while (const dirent* entrada = readdir(dir)) {
    const std::string nome = entrada->d_name;
    struct stat info;
    if (stat((prefixo + nome).c_str(), &info) == 0 && S_ISREG(info.st_mode)) nomes.push_back(nome);
  }
  closedir(dir);
  return nomes;
}

std::vector<std::string> listaNomesPasta(const std::string& pasta) {
  std::vector<std::string> nomes;
  DIR* dir = opendir(pasta.c_str());
  if (dir == nullptr) return nomes;
  while (const dirent* entrada = readdir(dir)) {
    const std::string nome = entrada->d_name;
    if (nome != "." && nome != "..") nomes.push_back(nome);
  }
  closedir(dir);
  return nomes;
}

bool removeFicheiro(const std::string& nome, std::string* erro) {
  struct stat info;
  if (lstat(nome.c_str(), &info) != 0) return errno == ENOENT;
  if (S_ISDIR(info.st_mode)) {
    *erro = naoPode(nome, razaoPasta);
    return false;
  }
  if (unlink(nome.c_str()) != 0 && errno != ENOENT) {
    *erro = naoPode(nome, razaoErro(errno));
    return false;
  }
  return true;
}

long long processoAtual() { return static_cast<long long>(getpid()); }

bool processoVivo(long long pid) {
  if (pid <= 0 || pid > INT_MAX) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string nomeMaquina() {
  char nome[256] = {};
  if (gethostname(nome, sizeof nome - 1) != 0 || nome[0] == '\0') return "?";
  return nome;
}

std::string nomeUtilizador() {
  const passwd* conta = getpwuid(geteuid());
  if (conta == nullptr || conta->pw_name == nullptr) return "?";
  return conta->pw_name;
}

#else

// --------------------------------------------------------------- Windows

namespace {

CodigoErro ultimoErro() { return GetLastError(); }

std::string razaoErro(CodigoErro codigo) {
  switch (codigo) {
    case ERROR_ACCESS_DENIED:
      return TXT("sem permissão");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
      return "ocupado";
    case ERROR_WRITE_PROTECT:
      return TXT("sistema de ficheiros só de leitura");
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return TXT("não existe");
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return razaoJaExiste;
    case ERROR_FILENAME_EXCED_RANGE:
      return "nome demasiado longo";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "disco cheio";
    case ERROR_FILE_TOO_LARGE:
      return "ficheiro demasiado grande";
    case ERROR_DIRECTORY:
      return razaoPasta;
    case ERROR_CANT_ACCESS_FILE:
    case ERROR_CANT_RESOLVE_FILENAME:
      return razaoLigacao;
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
      return TXT("erro de entrada/saída");
    default:
      return "erro " + std::to_string(codigo);
  }
}

bool naoExiste(CodigoErro codigo) {
  return codigo == ERROR_FILE_NOT_FOUND || codigo == ERROR_PATH_NOT_FOUND;
}
bool jaExiste(CodigoErro codigo) {
  return codigo == ERROR_FILE_EXISTS || codigo == ERROR_ALREADY_EXISTS;
}
void erroRecusado() { SetLastError(ERROR_IO_DEVICE); }

// The reason the file of attributes `atributos` cannot be used as a file.
const char* razaoAtributos(DWORD atributos) {
  if (atributos & FILE_ATTRIBUTE_REPARSE_POINT) return razaoLigacao;
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) return razaoPasta;
  return nullptr;
}

const DWORD partilhaTotal = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

void fechaDescritor(Descritor d) { CloseHandle(d); }

bool escreveTudo(Descritor d, const char* dados, std::size_t tamanho) {
  while (tamanho > 0) {
    const DWORD parte = static_cast<DWORD>(tamanho < (1u << 30) ? tamanho : (1u << 30));
    DWORD escritos = 0;
    if (!WriteFile(d, dados, parte, &escritos, nullptr) || escritos != parte) return false;
    dados += escritos;
    tamanho -= escritos;
  }
  return true;
}

// The size and the last write (seconds since 1970) of the open file `f`,
// each set only where it can be had.
void medeAberto(HANDLE f, std::uint64_t* tamanho, std::int64_t* modificacao) {
  LARGE_INTEGER bytes;
  if (GetFileSizeEx(f, &bytes)) *tamanho = static_cast<std::uint64_t>(bytes.QuadPart);
  FILETIME escrita;
  if (GetFileTime(f, nullptr, nullptr, &escrita)) {
    const std::uint64_t intervalos =
        (static_cast<std::uint64_t>(escrita.dwHighDateTime) << 32) | escrita.dwLowDateTime;
    // 100 ns intervals since 1601 to seconds since 1970.
    *modificacao = static_cast<std::int64_t>(intervalos / 10000000) - 11644473600LL;
  }
}

Leitura abreNormal(const std::string& nome, Descritor* d, std::uint64_t* tamanho,
                   std::int64_t* modificacao, std::string* razao) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) return falhaLeitura(GetLastError(), razao);
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) {
    *razao = razaoPasta;
    return Leitura::ilegivel;
  }
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_READ, partilhaTotal, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return falhaLeitura(GetLastError(), razao);
  if (GetFileType(f) != FILE_TYPE_DISK) {
    *razao = razaoNaoNormal;
    CloseHandle(f);
    return Leitura::ilegivel;
  }
  *d = f;
  medeAberto(f, tamanho, modificacao);
  return Leitura::lido;
}

bool leBloco(Descritor d, char* destino, std::size_t maximo, std::size_t* lidos) {
  DWORD n = 0;
  const DWORD pedidos = static_cast<DWORD>(maximo < (1u << 30) ? maximo : (1u << 30));
  if (!ReadFile(d, destino, pedidos, &n, nullptr)) return false;
  *lidos = n;
  return true;
}

bool vaiPara(Descritor d, std::uint64_t deslocamento) {
  LARGE_INTEGER distancia;
  distancia.QuadPart = static_cast<LONGLONG>(deslocamento);
  return SetFilePointerEx(d, distancia, nullptr, FILE_BEGIN) != 0;
}

bool abreParaAcrescentar(const std::string& nome, Descritor* d, bool* criado,
                         std::uint64_t* tamanho, std::string* razao) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos != INVALID_FILE_ATTRIBUTES && razaoAtributos(atributos) != nullptr) {
    *razao = razaoAtributos(atributos);
    return false;
  }
  const DWORD partilha = FILE_SHARE_READ | FILE_SHARE_DELETE;
  const DWORD marcas = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  const DWORD acesso = GENERIC_READ | GENERIC_WRITE;
  HANDLE f = CreateFileA(nome.c_str(), acesso, partilha, nullptr, OPEN_EXISTING, marcas, nullptr);
  *criado = false;
  if (f == INVALID_HANDLE_VALUE && naoExiste(GetLastError())) {
    f = CreateFileA(nome.c_str(), acesso, partilha, nullptr, CREATE_NEW, marcas, nullptr);
    *criado = f != INVALID_HANDLE_VALUE;
  }
  if (f == INVALID_HANDLE_VALUE) {
    *razao = razaoErro(GetLastError());
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info = {};
  const char* impedimento = razaoNaoNormal;
  if (GetFileType(f) == FILE_TYPE_DISK && GetFileInformationByHandle(f, &info)) {
    impedimento = razaoAtributos(info.dwFileAttributes);
  }
  if (impedimento != nullptr) {
    *razao = impedimento;
    CloseHandle(f);
    if (*criado) DeleteFileA(nome.c_str());
    *criado = false;
    return false;
  }
  *d = f;
  *tamanho = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

bool escreveNoFim(Descritor d, const char* dados, std::size_t tamanho) {
  LARGE_INTEGER zero = {};
  return SetFilePointerEx(d, zero, nullptr, FILE_END) != 0 && escreveTudo(d, dados, tamanho);
}

bool leEm(Descritor d, std::uint64_t posicao, char* destino, std::size_t maximo,
          std::size_t* total) {
  *total = 0;
  while (*total < maximo) {
    OVERLAPPED onde = {};
    const std::uint64_t de = posicao + *total;
    onde.Offset = static_cast<DWORD>(de & 0xFFFFFFFFu);
    onde.OffsetHigh = static_cast<DWORD>(de >> 32);
    const std::size_t falta = maximo - *total;
    const DWORD parte = static_cast<DWORD>(falta < (1u << 30) ? falta : (1u << 30));
    DWORD lidos = 0;
    if (!ReadFile(d, destino + *total, parte, &lidos, &onde)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return false;
    }
    if (lidos == 0) break;
    *total += lidos;
  }
  return true;
}

bool descarregaDescritor(Descritor d) { return FlushFileBuffers(d) != 0; }

SinaisAdiados::SinaisAdiados() = default;
SinaisAdiados::~SinaisAdiados() = default;

bool cortaEm(Descritor d, std::uint64_t tamanho) {
  LARGE_INTEGER fim;
  fim.QuadPart = static_cast<LONGLONG>(tamanho);
  return SetFilePointerEx(d, fim, nullptr, FILE_BEGIN) != 0 && SetEndOfFile(d) != 0;
}

Leitura abreCurto(const std::string& nome, Descritor* d) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) {
    return naoExiste(GetLastError()) ? Leitura::inexistente : Leitura::ilegivel;
  }
  if (razaoAtributos(atributos) != nullptr) return Leitura::ilegivel;
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_READ, partilhaTotal, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    return naoExiste(GetLastError()) ? Leitura::inexistente : Leitura::ilegivel;
  }
  if (GetFileType(f) != FILE_TYPE_DISK) {
    CloseHandle(f);
    return Leitura::ilegivel;
  }
  *d = f;
  return Leitura::lido;
}

bool leAte(Descritor d, char* destino, std::size_t maximo, std::size_t* total) {
  DWORD lidos = 0;
  const bool ok = ReadFile(d, destino, static_cast<DWORD>(maximo), &lidos, nullptr);
  *total = lidos;
  return ok;
}

// Windows follows no link for a save: whatever is at `nome` is replaced as
// a name, and only a folder, or a link where a regular file is wanted, is
// refused.
bool destinoDe(const std::string& nome, Alvo alvo, std::string* destino, std::string* erro) {
  *destino = nome;
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) return true;
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) {
    *erro = naoPode(nome, razaoPasta);
    return false;
  }
  if ((atributos & FILE_ATTRIBUTE_REPARSE_POINT) && alvo == Alvo::soNormal) {
    *erro = naoPode(nome, razaoLigacao);
    return false;
  }
  return true;
}

void removeRestos(const std::string& destino) {
  const std::string pasta = pastaDoNome(destino);
  const std::string base = nomeBase(destino);
  WIN32_FIND_DATAA dados;
  const std::string padrao = pasta + "\\" + base + sufixoTemporario + ".*";
  HANDLE busca = FindFirstFileA(padrao.c_str(), &dados);
  if (busca == INVALID_HANDLE_VALUE) return;
  do {
    const std::string nome = dados.cFileName;
    if (!restoAbandonado(nome, base)) continue;
    if (razaoAtributos(dados.dwFileAttributes) != nullptr) continue;
    DeleteFileA((pasta + "\\" + nome).c_str());
  } while (FindNextFileA(busca, &dados));
  FindClose(busca);
}

Dono donoDe(const std::string& /*modelo*/) { return Dono(); }
void aplicaDono(Descritor /*d*/, const Dono& /*dono*/) {}

bool nomeExiste(const std::string& nome) {
  return GetFileAttributesA(nome.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Descritor criaTemporario(const std::string& nome, const Dono& /*dono*/) {
  if (!permitido(PassoEscrita::criacao, nome)) return INVALID_HANDLE_VALUE;
  return CreateFileA(nome.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}
bool descarrega(Descritor d, const std::string& nome) {
  return permitido(PassoEscrita::descarga, nome) && FlushFileBuffers(d);
}
// A move of `de` to `para` that reaches the disk before it answers.
bool moveFicheiro(const std::string& de, const std::string& para, DWORD opcoes) {
  return permitido(PassoEscrita::renomeacao, de, para) &&
         MoveFileExA(de.c_str(), para.c_str(), opcoes | MOVEFILE_WRITE_THROUGH);
}
bool substituiNome(const std::string& de, const std::string& para) {
  return moveFicheiro(de, para, MOVEFILE_REPLACE_EXISTING);
}
bool liga(const std::string& de, const std::string& para) {
  return permitido(PassoEscrita::ligacao, de, para) &&
         CreateHardLinkA(para.c_str(), de.c_str(), nullptr);
}
void removeNome(const std::string& nome) {
  if (permitido(PassoEscrita::remocao, nome)) DeleteFileA(nome.c_str());
}

// The moves are written through to the disk: no separate step.
void descarregaPasta(const std::string& /*pasta*/) {}

bool terminaEscrita(Descritor d, const std::string& nome, bool escrito, CodigoErro* codigo) {
  const bool ok = escrito && descarrega(d, nome);
  *codigo = GetLastError();
  return CloseHandle(d) && ok;
}

NomeLivre daNomeLivre(const std::string& de, const std::string& para) {
  // Without MOVEFILE_REPLACE_EXISTING the move never replaces a file.
  if (moveFicheiro(de, para, 0)) return NomeLivre::movido;
  return jaExiste(GetLastError()) ? NomeLivre::ocupado : NomeLivre::falhou;
}

// The companion, created when missing; one the user may not write, for
// reading only: a lock needs no write permission.
HANDLE abreParaTrancar(const std::string& nome) {
  const DWORD opcoes = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_READ | GENERIC_WRITE, partilhaTotal, nullptr,
                         OPEN_ALWAYS, opcoes, nullptr);
  if (f != INVALID_HANDLE_VALUE || GetLastError() != ERROR_ACCESS_DENIED) return f;
  return CreateFileA(nome.c_str(), GENERIC_READ, partilhaTotal, nullptr, OPEN_EXISTING, opcoes,
                     nullptr);
}

bool abreCompanheira(const std::string& nome, Descritor* d, std::string* razao) {
  HANDLE f = abreParaTrancar(nome);
  if (f == INVALID_HANDLE_VALUE) {
    // A folder or link there refuses to open as "access denied": name it.
    const DWORD codigo = GetLastError();
    const DWORD atributos = GetFileAttributesA(nome.c_str());
    const char* tipo = atributos == INVALID_FILE_ATTRIBUTES ? nullptr : razaoAtributos(atributos);
    *razao = tipo != nullptr ? tipo : razaoErro(codigo);
    return false;
  }
  if (GetFileType(f) != FILE_TYPE_DISK) {
    *razao = razaoNaoNormal;
    CloseHandle(f);
    return false;
  }
  *d = f;
  return true;
}

Tranca trancaCompanheira(Descritor d, CodigoErro* codigo) {
  OVERLAPPED inicio = {};
  if (LockFileEx(d, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &inicio)) return Tranca::feita;
  *codigo = GetLastError();
  CloseHandle(d);
  const bool semTrancas = *codigo == ERROR_NOT_SUPPORTED || *codigo == ERROR_INVALID_FUNCTION;
  return semTrancas ? Tranca::semTrancas : Tranca::falhou;
}

void largaCompanheira(Descritor d) {
  OVERLAPPED inicio = {};
  UnlockFileEx(d, 0, 1, 0, &inicio);
  CloseHandle(d);
}

Descritor entraSeccaoNoSinal(const char* seccao) {
  HANDLE trinco = CreateFileA(seccao, GENERIC_READ, partilhaTotal, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  OVERLAPPED inicio = {};
  if (trinco != INVALID_HANDLE_VALUE) {
    LockFileEx(trinco, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &inicio);
  }
  return trinco;
}

bool leInicio(const char* nome, char* lido, std::size_t capacidade, std::size_t tamanho,
              std::size_t* total) {
  HANDLE f = CreateFileA(nome, GENERIC_READ, partilhaTotal, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD lidos = 0;
  const DWORD quer = static_cast<DWORD>(tamanho < capacidade ? tamanho : capacidade);
  ReadFile(f, lido, quer, &lidos, nullptr);
  CloseHandle(f);
  *total = lidos;
  return true;
}

void apaga(const char* nome) { DeleteFileA(nome); }

Descritor criaExclusivo(const std::string& nome) {
  return CreateFileA(nome.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// A directory entry's name as the narrow file functions take it and the
// console shows it: in the ANSI code page (the library would give UTF-8).
std::string nomeNaListagem(const std::filesystem::path& nome) {
  const std::wstring largo = nome.wstring();
  const int tamanho = static_cast<int>(largo.size());
  int n = WideCharToMultiByte(CP_ACP, 0, largo.data(), tamanho, nullptr, 0, nullptr, nullptr);
  std::string estreito(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_ACP, 0, largo.data(), tamanho, estreito.data(), n, nullptr, nullptr);
  }
  return estreito;
}

}  // namespace

std::vector<std::string> listaFicheirosNormais(const std::string& pasta) {
  std::vector<std::string> nomes;
  std::error_code erro;
  std::filesystem::directory_iterator it(pasta, erro);
  if (erro) return nomes;
  for (; it != std::filesystem::directory_iterator(); it.increment(erro)) {
    std::error_code erroTipo;
    if (it->is_regular_file(erroTipo)) nomes.push_back(nomeNaListagem(it->path().filename()));
  }
  return nomes;
}

std::vector<std::string> listaNomesPasta(const std::string& pasta) {
  std::vector<std::string> nomes;
  std::error_code erro;
  std::filesystem::directory_iterator it(pasta, erro);
  if (erro) return nomes;
  for (; it != std::filesystem::directory_iterator(); it.increment(erro)) {
    nomes.push_back(nomeNaListagem(it->path().filename()));
  }
  return nomes;
}

bool removeFicheiro(const std::string& nome, std::string* erro) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) return naoExiste(GetLastError());
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) {
    *erro = naoPode(nome, razaoPasta);
    return false;
  }
  if (!DeleteFileA(nome.c_str()) && !naoExiste(GetLastError())) {
    *erro = naoPode(nome, razaoErro(GetLastError()));
    return false;
  }
  return true;
}

long long processoAtual() { return static_cast<long long>(GetCurrentProcessId()); }

bool processoVivo(long long pid) {
  if (pid <= 0 || pid > 0xFFFFFFFFLL) return false;
  HANDLE processo = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (processo == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD estado = 0;
  const bool vivo = GetExitCodeProcess(processo, &estado) && estado == STILL_ACTIVE;
  CloseHandle(processo);
  return vivo;
}

std::string nomeMaquina() {
  char nome[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD tamanho = sizeof nome;
  if (!GetComputerNameA(nome, &tamanho) || tamanho == 0) return "?";
  return std::string(nome, tamanho);
}

std::string nomeUtilizador() {
  char nome[257] = {};
  DWORD tamanho = sizeof nome;
  if (!GetUserNameA(nome, &tamanho) || nome[0] == '\0') return "?";
  return nome;
}

#endif
