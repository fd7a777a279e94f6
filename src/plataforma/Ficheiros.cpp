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
// Numbered names tried before a series of new files gives up.
const int maximoNumerados = 100000;

// Pieces out of one whole text.
Pedacos umPedaco(std::string_view conteudo) {
  bool entregue = false;
  return [conteudo, entregue](std::string_view& pedaco) mutable {
    if (entregue) return false;
    pedaco = conteudo;
    entregue = true;
    return true;
  };
}

}  // namespace

std::string textoErroGravacao(const std::string& nome, const std::string& erro) {
  return TXT("ERRO: Não foi possivel gravar o ficheiro ") + nome + " (" + erro + ")";
}

bool mesmoConteudo(const IdentidadeFicheiro& a, const IdentidadeFicheiro& b) {
  if (a.existe != b.existe) return false;
  return !a.existe || (a.tamanho == b.tamanho && a.hash == b.hash);
}

bool substituiFicheiro(const std::string& nome, std::string_view conteudo, std::string* erro,
                       Alvo alvo) {
  return substituiFicheiro(nome, umPedaco(conteudo), erro, nullptr, alvo);
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

// Whether the observer, if any, lets the step go on.
bool observadorPermite(PassoEscrita passo, const std::string& nome,
                       const std::string& para = std::string()) {
  return observadorEscritas == nullptr || observadorEscritas->passo(passo, nome, para);
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
  for (Registado& r : registados) {
    if (!r.usado) continue;
    r.usado = 0;
#ifdef _WIN32
    DeleteFileA(r.nome);
#else
    unlink(r.nome);
#endif
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
void pontoPausa(const char* ponto) {
  static std::vector<std::string> feitos;
  const char* pedidos = std::getenv("PAUTA_PAUSA");
  const char* canal = std::getenv("PAUTA_PAUSA_CANAL");
  if (pedidos == nullptr || canal == nullptr) return;
  const std::string lista = std::string(",") + pedidos + ",";
  if (lista.find(std::string(",") + ponto + ",") == std::string::npos) return;
  for (const std::string& f : feitos) {
    if (f == ponto) return;
  }
  feitos.emplace_back(ponto);
#ifndef _WIN32
  const std::string base = std::string(canal) + "." + ponto;
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
  return gravaFicheiroNovo(base, umPedaco(conteudo), modelo, escrito, erro);
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

#ifndef _WIN32

// ----------------------------------------------------------------- POSIX

namespace {

std::string razaoErro(int codigo) {
  switch (codigo) {
    case EACCES:
    case EPERM:
      return TXT("sem permissão");
    case EROFS:
      return TXT("sistema de ficheiros só de leitura");
    case ENOENT:
      return TXT("não existe");
    case EEXIST:
      return TXT("já existe");
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

// The reason a file of mode `modo` is not a regular file.
const char* razaoTipo(mode_t modo) {
  if (S_ISDIR(modo)) return razaoPasta;
  if (S_ISLNK(modo)) return razaoLigacao;
  return razaoNaoNormal;
}

bool escreveTudo(int fd, const char* dados, size_t tamanho) {
  while (tamanho > 0) {
    const ssize_t n = write(fd, dados, tamanho);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    dados += n;
    tamanho -= static_cast<size_t>(n);
  }
  return true;
}

// The write steps of the temporary files, each shown to the test's observer
// first: a step it refuses fails with EIO.
bool permitido(PassoEscrita passo, const std::string& nome,
               const std::string& para = std::string()) {
  if (observadorPermite(passo, nome, para)) return true;
  errno = EIO;
  return false;
}
int criaTemporario(const std::string& nome, mode_t modo) {
  if (!permitido(PassoEscrita::criacao, nome)) return -1;
  return open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, modo);
}
bool escrevePedaco(int fd, const std::string& nome, std::string_view pedaco) {
  return permitido(PassoEscrita::escrita, nome) && escreveTudo(fd, pedaco.data(), pedaco.size());
}
bool descarrega(int fd, const std::string& nome) {
  return permitido(PassoEscrita::descarga, nome) && fsync(fd) == 0;
}
bool renomeia(const std::string& de, const std::string& para) {
  return permitido(PassoEscrita::renomeacao, de, para) && rename(de.c_str(), para.c_str()) == 0;
}
bool liga(const std::string& de, const std::string& para) {
  return permitido(PassoEscrita::ligacao, de, para) && link(de.c_str(), para.c_str()) == 0;
}
void removeNome(const std::string& nome) {
  if (permitido(PassoEscrita::remocao, nome)) unlink(nome.c_str());
}

// The directory part of `nome` ("." when it has none).
std::string pastaDe(const std::string& nome) {
  const size_t barra = nome.find_last_of("/\\");
  if (barra == std::string::npos) return ".";
  return barra == 0 ? nome.substr(0, 1) : nome.substr(0, barra);
}

// Flushes a directory's entries to disk; a file system that cannot do it
// is not an error.
void descarregaPasta(const std::string& pasta) {
  if (!permitido(PassoEscrita::descargaPasta, pasta)) return;
  const int fd = open(pasta.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

// The permission bits and owner a new file takes from `modelo`, if it exists.
struct Dono {
  bool copia = false;
  mode_t modo = 0;
  uid_t utilizador = 0;
  gid_t grupo = 0;
};

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

// Removes the leftover temporary files of `destino` whose names show a
// process of this machine that no longer runs: regular files of this user
// only; anything else is left alone.
void removeRestos(const std::string& destino) {
  const std::string pasta = pastaDoNome(destino);
  const std::string base = nomeBase(destino);
  DIR* dir = opendir(pasta.c_str());
  if (dir == nullptr) return;
  const std::string prefixo = pasta + "/";
  while (const dirent* entrada = readdir(dir)) {
    const std::string nome = entrada->d_name;
    const long long pid = processoDoTemporario(nome, base);
    if (pid <= 0 || pid == processoAtual() || processoVivo(pid)) continue;
    struct stat info;
    if (lstat((prefixo + nome).c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != geteuid()) {
      continue;
    }
    unlink((prefixo + nome).c_str());
  }
  closedir(dir);
}

// The file a save of `nome` replaces: `nome` itself, or with
// Alvo::seguirLigacao the target of the link `nome`. Fails when what is
// there may not be replaced.
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
    char* resolvido = realpath(nome.c_str(), nullptr);
    if (resolvido == nullptr) {
      *erro = naoPode(nome, razaoErro(errno));
      return false;
    }
    *destino = resolvido;
    std::free(resolvido);
    if (stat(destino->c_str(), &info) != 0) {
      *erro = naoPode(*destino, razaoErro(errno));
      return false;
    }
  }
  if (!S_ISREG(info.st_mode)) {
    *erro = naoPode(nome, razaoTipo(info.st_mode));
    return false;
  }
  return true;
}

}  // namespace

Leitura LeituraPorBlocos::abre(const std::string& nome, std::string* razao) {
  fecha();
  struct stat info;
  if (stat(nome.c_str(), &info) != 0) {
    if (errno == ENOENT) return Leitura::inexistente;
    *razao = razaoErro(errno);
    return Leitura::ilegivel;
  }
  if (!S_ISREG(info.st_mode)) {
    *razao = razaoTipo(info.st_mode);
    return Leitura::ilegivel;
  }
  // Non-blocking, so that a FIFO put there after the check cannot hang us.
  const int fd = open(nome.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return Leitura::inexistente;
    *razao = razaoErro(errno);
    return Leitura::ilegivel;
  }
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *razao = S_ISREG(info.st_mode) ? razaoErro(errno) : razaoTipo(info.st_mode);
    close(fd);
    return Leitura::ilegivel;
  }
  descritor_ = fd;
  aberto_ = true;
  tamanhoAoAbrir_ = static_cast<std::uint64_t>(info.st_size);
  modificacao_ = static_cast<std::int64_t>(info.st_mtime);
  return Leitura::lido;
}

bool LeituraPorBlocos::le(char* destino, std::size_t maximo, std::size_t* lidos,
                          std::string* razao) {
  *lidos = 0;
  if (!aberto_) return true;
  for (;;) {
    const ssize_t n = read(static_cast<int>(descritor_), destino, maximo);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *razao = razaoErro(errno);
      fecha();
      return false;
    }
    *lidos = static_cast<std::size_t>(n);
    break;
  }
  lidos_ += *lidos;
  XXH3_64bits_update(&hash_->estado, destino, *lidos);
  if (*lidos == 0) fecha();
  return true;
}

bool LeituraPorBlocos::posiciona(std::uint64_t deslocamento, std::string* razao) {
  if (!aberto_) return true;
  if (lseek(static_cast<int>(descritor_), static_cast<off_t>(deslocamento), SEEK_SET) < 0) {
    *razao = razaoErro(errno);
    fecha();
    return false;
  }
  return true;
}

void LeituraPorBlocos::fecha() {
  if (aberto_) close(static_cast<int>(descritor_));
  aberto_ = false;
}

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

bool FicheiroTemporario::escreve(const Pedacos& pedacos, const std::string& modelo,
                                 std::string* erro) {
  remove();
  removeRestos(destino_);
  const Dono dono = donoDe(modelo);
  int fd = -1;
  for (int tentativa = 0; fd < 0 && tentativa < 10; ++tentativa) {
    nome_ = nomeTemporarioPara(destino_);
    // Registered before it exists: a signal between the two finds nothing
    // to remove under a name no other process uses.
    registo_ = registaTemporario(nome_);
    fd = criaTemporario(nome_, dono.copia ? 0600 : 0666);
    if (fd < 0) {
      esqueceTemporario(registo_);
      registo_ = -1;
      if (errno != EEXIST) break;
    }
  }
  if (fd < 0) {
    *erro = naoPode(nome_, razaoErro(errno));
    return false;
  }
  existe_ = true;
  if (dono.copia) {
    // Owner first: changing it may clear the set-id bits that fchmod sets.
    (void)fchown(fd, dono.utilizador, dono.grupo);
    (void)fchmod(fd, dono.modo);
  }
  bool ok = true;
  std::string_view pedaco;
  for (bool primeiro = true; ok && pedacos(pedaco); primeiro = false) {
    ok = escrevePedaco(fd, nome_, pedaco);
    if (primeiro) pontoPausa("temporario-a-meio");
  }
  ok = ok && descarrega(fd, nome_);
  const int erroEscrita = errno;
  ok = close(fd) == 0 && ok;
  if (!ok) {
    *erro = naoPode(nome_, razaoErro(erroEscrita != 0 ? erroEscrita : errno));
    remove();
  }
  return ok;
}

bool FicheiroTemporario::substitui(std::string* erro) {
  if (!renomeia(nome_, destino_)) {
    *erro = naoPode(destino_, razaoErro(errno));
    remove();
    return false;
  }
  existe_ = false;
  esqueceTemporario(registo_);
  registo_ = -1;
  descarregaPasta(pastaDe(destino_));
  return true;
}

bool FicheiroTemporario::nomeiaSeLivre(const std::string& nome, bool* ocupado, std::string* erro) {
  *ocupado = false;
  struct stat info;
  if (lstat(nome.c_str(), &info) == 0) {
    *ocupado = true;
    return false;
  }
  // A hard link is made only under a free name: never replaces a file
  // that appeared since the check.
  int resultado = liga(nome_, nome) ? 0 : -1;
  if (resultado != 0 && errno == EEXIST) {
    *ocupado = true;
    return false;
  }
  if (resultado != 0) {
    // A file system without hard links: the name was free just now.
    resultado = renomeia(nome_, nome) ? 0 : -1;
    if (resultado == 0) {
      existe_ = false;
      esqueceTemporario(registo_);
      registo_ = -1;
    }
  }
  if (resultado != 0) {
    *erro = naoPode(nome, razaoErro(errno));
    remove();
    return false;
  }
  remove();
  descarregaPasta(pastaDe(nome));
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
  esqueceTemporario(registo_);
  registo_ = -1;
  if (errno == ENOENT) return false;
  return copiaDestino();
}

void FicheiroTemporario::repoeDestino() {
  if (!existe_) {
    removeNome(destino_);
    return;
  }
  if (renomeia(nome_, destino_)) existe_ = false;
  remove();
}

bool destinoPara(const std::string& nome, Alvo alvo, std::string* destino, std::string* erro) {
  return destinoDe(nome, alvo, destino, erro);
}

bool substituiFicheiro(const std::string& nome, const Pedacos& pedacos, std::string* erro,
                       IdentidadeFicheiro* escrito, Alvo alvo) {
  std::string destino;
  if (!destinoDe(nome, alvo, &destino, erro)) return false;
  PedacosMedidos medidos(pedacos);
  FicheiroTemporario temporario(destino);
  if (!temporario.escreve(medidos.pedacos(), destino, erro)) return false;
  pontoPausa(alvo == Alvo::substituirNome ? "bloqueio-escrito" : "temporario-escrito");
  if (!temporario.substitui(erro)) return false;
  if (escrito != nullptr) *escrito = medidos.identidade();
  return true;
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
  *erro = naoPode(base, razaoErro(EEXIST));
  return false;
}

Leitura leFicheiroCurto(const std::string& nome, std::size_t maximo, std::string* conteudo) {
  conteudo->clear();
  const int fd = open(nome.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? Leitura::inexistente : Leitura::ilegivel;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return Leitura::ilegivel;
  }
  std::string lido(maximo + 1, '\0');
  std::size_t total = 0;
  while (total < lido.size()) {
    const ssize_t n = read(fd, &lido[total], lido.size() - total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return Leitura::ilegivel;
    }
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
  }
  close(fd);
  if (total == 0 || total > maximo) return Leitura::ilegivel;
  lido.resize(total);
  *conteudo = std::move(lido);
  return Leitura::lido;
}

namespace {

// The companion descriptor of the critical section this process is in
// (-1: none), for a release run by a signal handler.
volatile std::sig_atomic_t descritorSeccao = -1;

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

}  // namespace

bool seccaoDetida() { return descritorSeccao >= 0; }

bool SeccaoCurso::entra(const std::string& ficheiroEstudantes, std::string* erro) {
  sai();
  const std::string nome = ficheiroEstudantes + sufixoSeccao;
  int fd =
      open(nome.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0 && (errno == EACCES || errno == EROFS)) {
    // Another user's companion, or a read-only folder: a shared lock needs
    // no write permission.
    fd = open(nome.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  }
  if (fd < 0) {
    *erro = naoPode(nome, errno == ELOOP ? razaoLigacao : razaoErro(errno));
    return false;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *erro = naoPode(nome, razaoTipo(info.st_mode));
    close(fd);
    return false;
  }
  if (trancaExclusivo(fd) != 0) {
    const int codigo = errno;
    close(fd);
    if (semTrancas(codigo)) return true;
    *erro = naoPode(nome, razaoErro(codigo));
    return false;
  }
  descritor_ = fd;
  dentro_ = true;
  descritorSeccao = fd;
  return true;
}

void SeccaoCurso::sai() {
  if (!dentro_) return;
  descritorSeccao = -1;
  close(static_cast<int>(descritor_));  // closing releases the lock
  descritor_ = -1;
  dentro_ = false;
}

SeccaoCurso::~SeccaoCurso() { sai(); }

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

Criacao criaFicheiroExclusivo(const std::string& nome, std::string_view conteudo,
                              std::string* razao) {
  const int fd = open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST) return Criacao::jaExiste;
    *razao = razaoErro(errno);
    return Criacao::falhou;
  }
  const bool ok = escreveTudo(fd, conteudo.data(), conteudo.size());
  const int erroEscrita = errno;
  close(fd);
  if (!ok) {
    unlink(nome.c_str());
    *razao = razaoErro(erroEscrita);
    return Criacao::falhou;
  }
  return Criacao::criado;
}

void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho,
                       const char* seccao) {
  const int erroAnterior = errno;
  // Inside the course's critical section, so that no take-over can come
  // between the check and the removal.
  int fdSeccao = -1;
  if (descritorSeccao < 0 && seccao != nullptr) {
    fdSeccao = open(seccao, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fdSeccao >= 0) {
      int r;
      do {
        r = flock(fdSeccao, LOCK_EX);
      } while (r != 0 && errno == EINTR);
    }
  }
  const int fd = open(nome, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    char lido[512];
    std::size_t total = 0;
    while (total < tamanho && total < sizeof lido) {
      const ssize_t n = read(fd, lido + total, sizeof lido - total);
      if (n <= 0) break;
      total += static_cast<std::size_t>(n);
    }
    close(fd);
    bool igual = total >= tamanho;
    for (std::size_t i = 0; igual && i < tamanho; ++i) igual = lido[i] == prefixo[i];
    if (igual) unlink(nome);
  }
  if (fdSeccao >= 0) close(fdSeccao);
  errno = erroAnterior;
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

bool FicheiroAcrescentado::abre(const std::string& nome, std::string_view inicio,
                                std::string* erro) {
  fecha();
  nome_ = nome;
  criado_ = false;
  struct stat info;
  // Never opened when it is no regular file: a FIFO or a device opened for
  // writing could block or act.
  if (lstat(nome.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    *erro = naoPode(nome, razaoTipo(info.st_mode));
    return false;
  }
  const int opcoes = O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd = open(nome.c_str(), opcoes);
  if (fd < 0 && errno == ENOENT) {
    fd = open(nome.c_str(), opcoes | O_CREAT | O_EXCL, 0666);
    criado_ = fd >= 0;
  }
  if (fd < 0) {
    *erro = naoPode(nome, razaoErro(errno));
    criado_ = false;
    return false;
  }
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *erro = naoPode(nome, razaoTipo(info.st_mode));
    close(fd);
    criado_ = false;
    return false;
  }
  descritor_ = fd;
  aberto_ = true;
  tamanho_ = static_cast<std::uint64_t>(info.st_size);
  if (criado_) {
    if (!acrescenta(inicio, erro) || !descarrega(erro)) {
      std::string ignorado;
      repoe(&ignorado);
      return false;
    }
    descarregaPasta(pastaDe(nome));
    tamanho_ = inicio.size();
  }
  return true;
}

bool FicheiroAcrescentado::le(std::uint64_t posicao, std::size_t maximo, std::string* texto,
                              std::string* erro) {
  texto->assign(maximo, '\0');
  std::size_t total = 0;
  while (total < maximo) {
    const ssize_t n = pread(static_cast<int>(descritor_), &(*texto)[total], maximo - total,
                            static_cast<off_t>(posicao + total));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *erro = naoPode(nome_, razaoErro(errno));
      return false;
    }
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
  }
  texto->resize(total);
  return true;
}

bool FicheiroAcrescentado::acrescenta(std::string_view texto, std::string* erro) {
  if (!escreveTudo(static_cast<int>(descritor_), texto.data(), texto.size())) {
    *erro = naoPode(nome_, razaoErro(errno));
    return false;
  }
  return true;
}

bool FicheiroAcrescentado::descarrega(std::string* erro) {
  if (fsync(static_cast<int>(descritor_)) != 0) {
    *erro = naoPode(nome_, razaoErro(errno));
    return false;
  }
  return true;
}

bool FicheiroAcrescentado::repoe(std::string* erro) {
  if (!aberto_) return true;
  bool ok = true;
  if (criado_) {
    ok = unlink(nome_.c_str()) == 0 || errno == ENOENT;
    if (ok) descarregaPasta(pastaDe(nome_));
  } else {
    ok = ftruncate(static_cast<int>(descritor_), static_cast<off_t>(tamanho_)) == 0 &&
         fsync(static_cast<int>(descritor_)) == 0;
  }
  if (!ok) *erro = naoPode(nome_, razaoErro(errno));
  fecha();
  return ok;
}

void FicheiroAcrescentado::fecha() {
  if (aberto_) close(static_cast<int>(descritor_));
  aberto_ = false;
  descritor_ = -1;
}

#else

// --------------------------------------------------------------- Windows

namespace {

std::string razaoErro(DWORD codigo) {
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
      return TXT("já existe");
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

bool naoExiste(DWORD codigo) {
  return codigo == ERROR_FILE_NOT_FOUND || codigo == ERROR_PATH_NOT_FOUND;
}

// The reason the file of attributes `atributos` cannot be used as a file.
const char* razaoAtributos(DWORD atributos) {
  if (atributos & FILE_ATTRIBUTE_REPARSE_POINT) return razaoLigacao;
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) return razaoPasta;
  return nullptr;
}

// Removes the leftover temporary files of `destino` whose names show a
// process of this machine that no longer runs (regular files only).
void removeRestos(const std::string& destino) {
  const std::string pasta = pastaDoNome(destino);
  const std::string base = nomeBase(destino);
  WIN32_FIND_DATAA dados;
  const std::string padrao = pasta + "\\" + base + sufixoTemporario + ".*";
  HANDLE busca = FindFirstFileA(padrao.c_str(), &dados);
  if (busca == INVALID_HANDLE_VALUE) return;
  do {
    const std::string nome = dados.cFileName;
    const long long pid = processoDoTemporario(nome, base);
    if (pid <= 0 || pid == processoAtual() || processoVivo(pid)) continue;
    if (razaoAtributos(dados.dwFileAttributes) != nullptr) continue;
    DeleteFileA((pasta + "\\" + nome).c_str());
  } while (FindNextFileA(busca, &dados));
  FindClose(busca);
}

bool verificaDestino(const std::string& nome, Alvo alvo, std::string* erro) {
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

Leitura LeituraPorBlocos::abre(const std::string& nome, std::string* razao) {
  fecha();
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) {
    if (naoExiste(GetLastError())) return Leitura::inexistente;
    *razao = razaoErro(GetLastError());
    return Leitura::ilegivel;
  }
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) {
    *razao = razaoPasta;
    return Leitura::ilegivel;
  }
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    if (naoExiste(GetLastError())) return Leitura::inexistente;
    *razao = razaoErro(GetLastError());
    return Leitura::ilegivel;
  }
  if (GetFileType(f) != FILE_TYPE_DISK) {
    *razao = razaoNaoNormal;
    CloseHandle(f);
    return Leitura::ilegivel;
  }
  descritor_ = reinterpret_cast<std::intptr_t>(f);
  aberto_ = true;
  LARGE_INTEGER tamanho;
  if (GetFileSizeEx(f, &tamanho)) tamanhoAoAbrir_ = static_cast<std::uint64_t>(tamanho.QuadPart);
  FILETIME escrita;
  if (GetFileTime(f, nullptr, nullptr, &escrita)) {
    const std::uint64_t intervalos =
        (static_cast<std::uint64_t>(escrita.dwHighDateTime) << 32) | escrita.dwLowDateTime;
    // 100 ns intervals since 1601 to seconds since 1970.
    modificacao_ = static_cast<std::int64_t>(intervalos / 10000000) - 11644473600LL;
  }
  return Leitura::lido;
}

bool LeituraPorBlocos::le(char* destino, std::size_t maximo, std::size_t* lidos,
                          std::string* razao) {
  *lidos = 0;
  if (!aberto_) return true;
  DWORD n = 0;
  const DWORD pedidos = static_cast<DWORD>(maximo < (1u << 30) ? maximo : (1u << 30));
  if (!ReadFile(reinterpret_cast<HANDLE>(descritor_), destino, pedidos, &n, nullptr)) {
    *razao = razaoErro(GetLastError());
    fecha();
    return false;
  }
  *lidos = n;
  lidos_ += n;
  XXH3_64bits_update(&hash_->estado, destino, n);
  if (n == 0) fecha();
  return true;
}

bool LeituraPorBlocos::posiciona(std::uint64_t deslocamento, std::string* razao) {
  if (!aberto_) return true;
  LARGE_INTEGER distancia;
  distancia.QuadPart = static_cast<LONGLONG>(deslocamento);
  if (!SetFilePointerEx(reinterpret_cast<HANDLE>(descritor_), distancia, nullptr, FILE_BEGIN)) {
    *razao = razaoErro(GetLastError());
    fecha();
    return false;
  }
  return true;
}

void LeituraPorBlocos::fecha() {
  if (aberto_) CloseHandle(reinterpret_cast<HANDLE>(descritor_));
  aberto_ = false;
}

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

namespace {

// The write steps of the temporary files, each shown to the test's observer
// first: a step it refuses fails with ERROR_IO_DEVICE.
bool permitido(PassoEscrita passo, const std::string& nome,
               const std::string& para = std::string()) {
  if (observadorPermite(passo, nome, para)) return true;
  SetLastError(ERROR_IO_DEVICE);
  return false;
}
HANDLE criaTemporario(const std::string& nome) {
  if (!permitido(PassoEscrita::criacao, nome)) return INVALID_HANDLE_VALUE;
  return CreateFileA(nome.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}
bool escrevePedaco(HANDLE f, const std::string& nome, std::string_view pedaco) {
  if (!permitido(PassoEscrita::escrita, nome)) return false;
  const char* dados = pedaco.data();
  size_t falta = pedaco.size();
  while (falta > 0) {
    const DWORD parte = static_cast<DWORD>(falta < (1u << 30) ? falta : (1u << 30));
    DWORD escritos = 0;
    if (!WriteFile(f, dados, parte, &escritos, nullptr) || escritos != parte) return false;
    dados += escritos;
    falta -= escritos;
  }
  return true;
}
bool descarrega(HANDLE f, const std::string& nome) {
  return permitido(PassoEscrita::descarga, nome) && FlushFileBuffers(f);
}
// A move of `de` to `para` that reaches the disk before it answers.
bool moveFicheiro(const std::string& de, const std::string& para, DWORD opcoes) {
  return permitido(PassoEscrita::renomeacao, de, para) &&
         MoveFileExA(de.c_str(), para.c_str(), opcoes | MOVEFILE_WRITE_THROUGH);
}
bool liga(const std::string& de, const std::string& para) {
  return permitido(PassoEscrita::ligacao, de, para) &&
         CreateHardLinkA(para.c_str(), de.c_str(), nullptr);
}
void removeNome(const std::string& nome) {
  if (permitido(PassoEscrita::remocao, nome)) DeleteFileA(nome.c_str());
}

}  // namespace

bool FicheiroTemporario::escreve(const Pedacos& pedacos, const std::string& /*modelo*/,
                                 std::string* erro) {
  remove();
  removeRestos(destino_);
  HANDLE f = INVALID_HANDLE_VALUE;
  DWORD codigo = 0;
  for (int tentativa = 0; f == INVALID_HANDLE_VALUE && tentativa < 10; ++tentativa) {
    nome_ = nomeTemporarioPara(destino_);
    registo_ = registaTemporario(nome_);
    f = criaTemporario(nome_);
    if (f == INVALID_HANDLE_VALUE) {
      codigo = GetLastError();
      esqueceTemporario(registo_);
      registo_ = -1;
      if (codigo != ERROR_FILE_EXISTS && codigo != ERROR_ALREADY_EXISTS) break;
    }
  }
  if (f == INVALID_HANDLE_VALUE) {
    *erro = naoPode(nome_, razaoErro(codigo));
    return false;
  }
  existe_ = true;
  bool ok = true;
  std::string_view pedaco;
  for (bool primeiro = true; ok && pedacos(pedaco); primeiro = false) {
    ok = escrevePedaco(f, nome_, pedaco);
    if (primeiro) pontoPausa("temporario-a-meio");
  }
  ok = ok && descarrega(f, nome_);
  codigo = GetLastError();
  ok = CloseHandle(f) && ok;
  if (!ok) {
    *erro = naoPode(nome_, razaoErro(codigo));
    remove();
  }
  return ok;
}

bool FicheiroTemporario::substitui(std::string* erro) {
  if (!moveFicheiro(nome_, destino_, MOVEFILE_REPLACE_EXISTING)) {
    *erro = naoPode(destino_, razaoErro(GetLastError()));
    remove();
    return false;
  }
  existe_ = false;
  esqueceTemporario(registo_);
  registo_ = -1;
  return true;
}

bool FicheiroTemporario::nomeiaSeLivre(const std::string& nome, bool* ocupado, std::string* erro) {
  *ocupado = false;
  if (GetFileAttributesA(nome.c_str()) != INVALID_FILE_ATTRIBUTES) {
    *ocupado = true;
    return false;
  }
  // Without MOVEFILE_REPLACE_EXISTING the move never replaces a file.
  if (moveFicheiro(nome_, nome, 0)) {
    existe_ = false;
    esqueceTemporario(registo_);
    registo_ = -1;
    return true;
  }
  const DWORD codigo = GetLastError();
  if (codigo == ERROR_ALREADY_EXISTS || codigo == ERROR_FILE_EXISTS) {
    *ocupado = true;
    return false;
  }
  *erro = naoPode(nome, razaoErro(codigo));
  remove();
  return false;
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
  const DWORD codigo = GetLastError();
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
  if (moveFicheiro(nome_, destino_, MOVEFILE_REPLACE_EXISTING)) {
    existe_ = false;
  }
  remove();
}

bool destinoPara(const std::string& nome, Alvo alvo, std::string* destino, std::string* erro) {
  *destino = nome;
  return verificaDestino(nome, alvo, erro);
}

bool substituiFicheiro(const std::string& nome, const Pedacos& pedacos, std::string* erro,
                       IdentidadeFicheiro* escrito, Alvo alvo) {
  if (!verificaDestino(nome, alvo, erro)) return false;
  PedacosMedidos medidos(pedacos);
  FicheiroTemporario temporario(nome);
  if (!temporario.escreve(medidos.pedacos(), nome, erro)) return false;
  pontoPausa(alvo == Alvo::substituirNome ? "bloqueio-escrito" : "temporario-escrito");
  if (!temporario.substitui(erro)) return false;
  if (escrito != nullptr) *escrito = medidos.identidade();
  return true;
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
  *erro = naoPode(base, razaoErro(ERROR_FILE_EXISTS));
  return false;
}

Leitura leFicheiroCurto(const std::string& nome, std::size_t maximo, std::string* conteudo) {
  conteudo->clear();
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) {
    return naoExiste(GetLastError()) ? Leitura::inexistente : Leitura::ilegivel;
  }
  if (razaoAtributos(atributos) != nullptr) return Leitura::ilegivel;
  HANDLE f = CreateFileA(
      nome.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    return naoExiste(GetLastError()) ? Leitura::inexistente : Leitura::ilegivel;
  }
  if (GetFileType(f) != FILE_TYPE_DISK) {
    CloseHandle(f);
    return Leitura::ilegivel;
  }
  std::string lido(maximo + 1, '\0');
  DWORD total = 0;
  const bool ok = ReadFile(f, lido.data(), static_cast<DWORD>(lido.size()), &total, nullptr);
  CloseHandle(f);
  if (!ok || total == 0 || total > maximo) return Leitura::ilegivel;
  lido.resize(total);
  *conteudo = std::move(lido);
  return Leitura::lido;
}

namespace {

volatile std::sig_atomic_t seccaoDentro = 0;
HANDLE handleSeccao = INVALID_HANDLE_VALUE;

}  // namespace

bool seccaoDetida() { return seccaoDentro != 0; }

bool SeccaoCurso::entra(const std::string& ficheiroEstudantes, std::string* erro) {
  sai();
  const std::string nome = ficheiroEstudantes + sufixoSeccao;
  HANDLE f =
      CreateFileA(nome.c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    f = CreateFileA(nome.c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  }
  if (f == INVALID_HANDLE_VALUE) {
    // A folder or link there refuses to open as "access denied": name it.
    const DWORD codigo = GetLastError();
    const DWORD atributos = GetFileAttributesA(nome.c_str());
    const char* razao = atributos == INVALID_FILE_ATTRIBUTES ? nullptr : razaoAtributos(atributos);
    *erro = naoPode(nome, razao != nullptr ? razao : razaoErro(codigo));
    return false;
  }
  if (GetFileType(f) != FILE_TYPE_DISK) {
    *erro = naoPode(nome, razaoNaoNormal);
    CloseHandle(f);
    return false;
  }
  OVERLAPPED inicio = {};
  if (!LockFileEx(f, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &inicio)) {
    const DWORD codigo = GetLastError();
    CloseHandle(f);
    if (codigo == ERROR_NOT_SUPPORTED || codigo == ERROR_INVALID_FUNCTION) return true;
    *erro = naoPode(nome, razaoErro(codigo));
    return false;
  }
  descritor_ = reinterpret_cast<std::intptr_t>(f);
  dentro_ = true;
  handleSeccao = f;
  seccaoDentro = 1;
  return true;
}

void SeccaoCurso::sai() {
  if (!dentro_) return;
  seccaoDentro = 0;
  handleSeccao = INVALID_HANDLE_VALUE;
  HANDLE f = reinterpret_cast<HANDLE>(descritor_);
  OVERLAPPED inicio = {};
  UnlockFileEx(f, 0, 1, 0, &inicio);
  CloseHandle(f);
  descritor_ = -1;
  dentro_ = false;
}

SeccaoCurso::~SeccaoCurso() { sai(); }

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

Criacao criaFicheiroExclusivo(const std::string& nome, std::string_view conteudo,
                              std::string* razao) {
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    const DWORD codigo = GetLastError();
    if (codigo == ERROR_FILE_EXISTS || codigo == ERROR_ALREADY_EXISTS) return Criacao::jaExiste;
    *razao = razaoErro(codigo);
    return Criacao::falhou;
  }
  DWORD escritos = 0;
  const bool ok =
      WriteFile(f, conteudo.data(), static_cast<DWORD>(conteudo.size()), &escritos, nullptr) &&
      escritos == conteudo.size();
  const DWORD codigo = GetLastError();
  CloseHandle(f);
  if (!ok) {
    DeleteFileA(nome.c_str());
    *razao = razaoErro(codigo);
    return Criacao::falhou;
  }
  return Criacao::criado;
}

void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho,
                       const char* seccao) {
  // Inside the course's critical section, so that no take-over can come
  // between the check and the removal.
  HANDLE trinco = INVALID_HANDLE_VALUE;
  if (!seccaoDentro && seccao != nullptr) {
    trinco =
        CreateFileA(seccao, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED inicio = {};
    if (trinco != INVALID_HANDLE_VALUE)
      LockFileEx(trinco, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &inicio);
  }
  HANDLE f = CreateFileA(nome, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    if (trinco != INVALID_HANDLE_VALUE) CloseHandle(trinco);
    return;
  }
  char lido[512];
  DWORD total = 0;
  const DWORD quer = static_cast<DWORD>(tamanho < sizeof lido ? tamanho : sizeof lido);
  ReadFile(f, lido, quer, &total, nullptr);
  CloseHandle(f);
  bool igual = total >= tamanho;
  for (std::size_t i = 0; igual && i < tamanho; ++i) igual = lido[i] == prefixo[i];
  if (igual) DeleteFileA(nome);
  if (trinco != INVALID_HANDLE_VALUE) CloseHandle(trinco);
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

bool FicheiroAcrescentado::abre(const std::string& nome, std::string_view inicio,
                                std::string* erro) {
  fecha();
  nome_ = nome;
  criado_ = false;
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos != INVALID_FILE_ATTRIBUTES && razaoAtributos(atributos) != nullptr) {
    *erro = naoPode(nome, razaoAtributos(atributos));
    return false;
  }
  const DWORD partilha = FILE_SHARE_READ | FILE_SHARE_DELETE;
  const DWORD marcas = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_READ | GENERIC_WRITE, partilha, nullptr,
                         OPEN_EXISTING, marcas, nullptr);
  if (f == INVALID_HANDLE_VALUE && naoExiste(GetLastError())) {
    f = CreateFileA(nome.c_str(), GENERIC_READ | GENERIC_WRITE, partilha, nullptr, CREATE_NEW,
                    marcas, nullptr);
    criado_ = f != INVALID_HANDLE_VALUE;
  }
  if (f == INVALID_HANDLE_VALUE) {
    *erro = naoPode(nome, razaoErro(GetLastError()));
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info = {};
  const char* razao = razaoNaoNormal;
  if (GetFileType(f) == FILE_TYPE_DISK && GetFileInformationByHandle(f, &info)) {
    razao = razaoAtributos(info.dwFileAttributes);
  }
  if (razao != nullptr) {
    *erro = naoPode(nome, razao);
    CloseHandle(f);
    if (criado_) DeleteFileA(nome.c_str());
    criado_ = false;
    return false;
  }
  descritor_ = reinterpret_cast<std::intptr_t>(f);
  aberto_ = true;
  tamanho_ = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (criado_) {
    if (!acrescenta(inicio, erro) || !descarrega(erro)) {
      std::string ignorado;
      repoe(&ignorado);
      return false;
    }
    tamanho_ = inicio.size();
  }
  return true;
}

bool FicheiroAcrescentado::le(std::uint64_t posicao, std::size_t maximo, std::string* texto,
                              std::string* erro) {
  HANDLE f = reinterpret_cast<HANDLE>(descritor_);
  texto->assign(maximo, '\0');
  std::size_t total = 0;
  while (total < maximo) {
    OVERLAPPED onde = {};
    const std::uint64_t de = posicao + total;
    onde.Offset = static_cast<DWORD>(de & 0xFFFFFFFFu);
    onde.OffsetHigh = static_cast<DWORD>(de >> 32);
    const std::size_t falta = maximo - total;
    const DWORD parte = static_cast<DWORD>(falta < (1u << 30) ? falta : (1u << 30));
    DWORD lidos = 0;
    if (!ReadFile(f, &(*texto)[total], parte, &lidos, &onde)) {
      const DWORD codigo = GetLastError();
      if (codigo == ERROR_HANDLE_EOF) break;
      *erro = naoPode(nome_, razaoErro(codigo));
      return false;
    }
    if (lidos == 0) break;
    total += lidos;
  }
  texto->resize(total);
  return true;
}

bool FicheiroAcrescentado::acrescenta(std::string_view texto, std::string* erro) {
  HANDLE f = reinterpret_cast<HANDLE>(descritor_);
  LARGE_INTEGER zero = {};
  bool ok = SetFilePointerEx(f, zero, nullptr, FILE_END) != 0;
  const char* dados = texto.data();
  std::size_t falta = texto.size();
  while (ok && falta > 0) {
    const DWORD parte = static_cast<DWORD>(falta < (1u << 30) ? falta : (1u << 30));
    DWORD escritos = 0;
    ok = WriteFile(f, dados, parte, &escritos, nullptr) && escritos == parte;
    dados += escritos;
    falta -= escritos;
  }
  if (!ok) *erro = naoPode(nome_, razaoErro(GetLastError()));
  return ok;
}

bool FicheiroAcrescentado::descarrega(std::string* erro) {
  if (!FlushFileBuffers(reinterpret_cast<HANDLE>(descritor_))) {
    *erro = naoPode(nome_, razaoErro(GetLastError()));
    return false;
  }
  return true;
}

bool FicheiroAcrescentado::repoe(std::string* erro) {
  if (!aberto_) return true;
  HANDLE f = reinterpret_cast<HANDLE>(descritor_);
  bool ok = true;
  if (criado_) {
    fecha();
    ok = DeleteFileA(nome_.c_str()) || naoExiste(GetLastError());
  } else {
    LARGE_INTEGER tamanho;
    tamanho.QuadPart = static_cast<LONGLONG>(tamanho_);
    ok =
        SetFilePointerEx(f, tamanho, nullptr, FILE_BEGIN) && SetEndOfFile(f) && FlushFileBuffers(f);
  }
  if (!ok) *erro = naoPode(nome_, razaoErro(GetLastError()));
  fecha();
  return ok;
}

void FicheiroAcrescentado::fecha() {
  if (aberto_) CloseHandle(reinterpret_cast<HANDLE>(descritor_));
  aberto_ = false;
  descritor_ = -1;
}

#endif

FicheiroAcrescentado::~FicheiroAcrescentado() { fecha(); }

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

bool substituiFicheiros(const std::vector<std::pair<std::string, Pedacos>>& ficheiros,
                        std::string* qual, std::string* erro) {
  std::vector<std::string> destinos(ficheiros.size());
  for (std::size_t i = 0; i < ficheiros.size(); ++i) {
    *qual = ficheiros[i].first;
    if (!destinoPara(ficheiros[i].first, Alvo::soNormal, &destinos[i], erro)) return false;
  }
  std::vector<std::unique_ptr<FicheiroTemporario>> novos;
  for (std::size_t i = 0; i < ficheiros.size(); ++i) {
    *qual = ficheiros[i].first;
    novos.push_back(std::make_unique<FicheiroTemporario>(destinos[i]));
    if (!novos.back()->escreve(ficheiros[i].second, destinos[i], erro)) return false;
  }
  // Every new content is on disk: now the renames, keeping each old file
  // until all are done.
  pontoPausa("temporarios-escritos");
  std::vector<std::unique_ptr<FicheiroTemporario>> antigos;
  for (std::size_t i = 0; i < ficheiros.size(); ++i) {
    *qual = ficheiros[i].first;
    antigos.push_back(std::make_unique<FicheiroTemporario>(destinos[i]));
    antigos.back()->guardaDestino();
    if (!novos[i]->substitui(erro)) {
      antigos.pop_back();
      while (!antigos.empty()) {
        antigos.back()->repoeDestino();
        antigos.pop_back();
      }
      return false;
    }
  }
  return true;
}
