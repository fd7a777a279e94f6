// The primitives of Sistema.h and the system's side of Identidades.h and
// Relogio.h on POSIX (Linux, macOS).
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>

#include "Identidades.h"
#include "Nomes.h"
#include "Relogio.h"
#include "Sistema.h"
#include "Substituicao.h"

namespace sistema {

namespace {

Causa causaDe(int codigo) {
  switch (codigo) {
    case 0:
      return Causa::nenhuma;
    case EACCES:
    case EPERM:
      return Causa::semPermissao;
    case EROFS:
      return Causa::soLeitura;
    case ENOENT:
      return Causa::naoExiste;
    case EEXIST:
      return Causa::jaExiste;
    case ENAMETOOLONG:
      return Causa::nomeLongo;
    case EBUSY:
    case ETXTBSY:
      return Causa::ocupado;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return Causa::discoCheio;
    case EFBIG:
      return Causa::demasiadoGrande;
    case EISDIR:
      return Causa::pasta;
    case ELOOP:
      return Causa::ligacao;
    case EIO:
      return Causa::entradaSaida;
    default:
      return Causa::outra;
  }
}

// The failure of the call that just failed (errno), or of `codigo`.
Estado falha(int codigo = errno) { return Estado(causaDe(codigo), "", codigo); }

// Why a file of mode `modo` is not a regular file.
Estado tipoErrado(mode_t modo) {
  if (S_ISDIR(modo)) return Estado(Causa::pasta, "");
  if (S_ISLNK(modo)) return Estado(Causa::ligacao, "");
  return Estado(Causa::naoNormal, "");
}

int fd(Descritor d) { return static_cast<int>(d); }

// Non-blocking, so that a FIFO put at a checked name cannot hang the open.
const int opcoesLeitura = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// Whether `f` is an open regular file (`info` set to what it is);
// otherwise closes it.
Estado normalAberto(int f, struct stat* info) {
  Estado r;
  if (fstat(f, info) != 0) {
    r = falha();
  } else if (!S_ISREG(info->st_mode)) {
    r = tipoErrado(info->st_mode);
  }
  if (!r.ok()) close(f);
  return r;
}

}  // namespace

Estado abreLeitura(const std::string& nome, Descritor* d, std::uint64_t* tamanho,
                   std::int64_t* modificacao) {
  struct stat info;
  if (stat(nome.c_str(), &info) != 0) return falha();
  if (!S_ISREG(info.st_mode)) return tipoErrado(info.st_mode);
  const int f = open(nome.c_str(), opcoesLeitura);
  if (f < 0) return falha();
  Estado normal = normalAberto(f, &info);
  if (!normal.ok()) return normal;
  *d = f;
  *tamanho = static_cast<std::uint64_t>(info.st_size);
  *modificacao = static_cast<std::int64_t>(info.st_mtime);
  return Estado();
}

Estado abreSemLigacao(const std::string& nome, Descritor* d) {
  const int f = open(nome.c_str(), opcoesLeitura | O_NOFOLLOW);
  if (f < 0) return falha();
  struct stat info;
  Estado normal = normalAberto(f, &info);
  if (!normal.ok()) return normal;
  *d = f;
  return Estado();
}

Estado leBloco(Descritor d, char* destino, std::size_t maximo, std::size_t* lidos) {
  for (;;) {
    const ssize_t n = read(fd(d), destino, maximo);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return falha();
    *lidos = static_cast<std::size_t>(n);
    return Estado();
  }
}

Estado leAte(Descritor d, char* destino, std::size_t maximo, std::size_t* total) {
  *total = 0;
  while (*total < maximo) {
    std::size_t lidos = 0;
    Estado r = leBloco(d, destino + *total, maximo - *total, &lidos);
    if (!r.ok()) return r;
    if (lidos == 0) break;
    *total += lidos;
  }
  return Estado();
}

Estado leEm(Descritor d, std::uint64_t posicao, char* destino, std::size_t maximo,
            std::size_t* total) {
  *total = 0;
  while (*total < maximo) {
    const ssize_t n =
        pread(fd(d), destino + *total, maximo - *total, static_cast<off_t>(posicao + *total));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return falha();
    if (n == 0) break;
    *total += static_cast<std::size_t>(n);
  }
  return Estado();
}

Estado vaiPara(Descritor d, std::uint64_t deslocamento) {
  if (lseek(fd(d), static_cast<off_t>(deslocamento), SEEK_SET) < 0) return falha();
  return Estado();
}

void fecha(Descritor d) { close(fd(d)); }

Estado criaNovo(const std::string& nome, const Dono& dono, Descritor* d) {
  const int f = open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     dono.copia ? 0600 : 0666);
  if (f < 0) return falha();
  *d = f;
  return Estado();
}

Estado criaExclusivo(const std::string& nome, Descritor* d) {
  const int f = open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (f < 0) return falha();
  *d = f;
  return Estado();
}

Estado abreAcrescentar(const std::string& nome, bool criar, Descritor* d, std::uint64_t* tamanho) {
  struct stat info;
  // Never opened when it is no regular file: a FIFO or a device opened for
  // writing could block or act.
  if (!criar && lstat(nome.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    return tipoErrado(info.st_mode);
  }
  const int opcoes = O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int f =
      criar ? open(nome.c_str(), opcoes | O_CREAT | O_EXCL, 0666) : open(nome.c_str(), opcoes);
  if (f < 0) return falha();
  Estado normal = normalAberto(f, &info);
  if (normal.ok() && info.st_nlink > 1) {
    // Another name of the same file, maybe outside the folder: appending
    // here would write there too.
    close(f);
    normal = Estado(Causa::ligacaoFisica, "");
  }
  if (!normal.ok()) {
    if (criar) unlink(nome.c_str());
    return normal;
  }
  *d = f;
  *tamanho = static_cast<std::uint64_t>(info.st_size);
  return Estado();
}

Estado escreveTudo(Descritor d, const char* dados, std::size_t tamanho) {
  while (tamanho > 0) {
    const ssize_t n = write(fd(d), dados, tamanho);
    if (n < 0) {
      if (errno == EINTR) continue;
      return falha();
    }
    dados += n;
    tamanho -= static_cast<size_t>(n);
  }
  return Estado();
}

Estado escreveNoFim(Descritor d, const char* dados, std::size_t tamanho) {
  return escreveTudo(d, dados, tamanho);  // opened with O_APPEND
}

Estado descarrega(Descritor d) { return fsync(fd(d)) == 0 ? Estado() : falha(); }

Estado fechaEscrito(Descritor d) { return close(fd(d)) == 0 ? Estado() : falha(); }

Estado corta(Descritor d, std::uint64_t tamanho) {
  return ftruncate(fd(d), static_cast<off_t>(tamanho)) == 0 ? Estado() : falha();
}

Estado renomeia(const std::string& de, const std::string& para) {
  return rename(de.c_str(), para.c_str()) == 0 ? Estado() : falha();
}

Estado moveSeLivre(const std::string& de, const std::string& para) { return renomeia(de, para); }

Estado liga(const std::string& de, const std::string& para) {
  return link(de.c_str(), para.c_str()) == 0 ? Estado() : falha();
}

const bool ligacaoSoSeLivre = true;

Estado apagaNome(const std::string& nome) { return unlink(nome.c_str()) == 0 ? Estado() : falha(); }

void descarregaPasta(const std::string& pasta) {
  const int f = open(pasta.c_str(), O_RDONLY | O_CLOEXEC);
  if (f < 0) return;
  (void)fsync(f);
  close(f);
}

namespace {

// The target of the link `nome`, which must be a regular file; `info` is
// set to what it is.
Estado resolveLigacao(const std::string& nome, std::string* destino, struct stat* info) {
  char* resolvido = realpath(nome.c_str(), nullptr);
  if (resolvido == nullptr) return falha().sobre(nome);
  *destino = resolvido;
  std::free(resolvido);
  if (stat(destino->c_str(), info) != 0) return falha().sobre(*destino);
  return Estado();
}

}  // namespace

Estado destinoDe(const std::string& nome, Alvo alvo, std::string* destino) {
  *destino = nome;
  struct stat info;
  if (lstat(nome.c_str(), &info) != 0) {
    if (errno == ENOENT) return Estado();
    return falha().sobre(nome);
  }
  if (S_ISLNK(info.st_mode)) {
    if (alvo == Alvo::substituirNome) return Estado();  // the rename replaces the link itself
    if (alvo == Alvo::soNormal) return Estado(Causa::ligacao, nome);
    Estado r = resolveLigacao(nome, destino, &info);
    if (!r.ok()) return r;
  }
  if (!S_ISREG(info.st_mode)) return tipoErrado(info.st_mode).sobre(nome);
  return Estado();
}

void removeRestos(const std::string& destino,
                  const std::function<bool(const std::string&)>& abandonado) {
  const std::string pasta = pastaDoNome(destino);
  DIR* dir = opendir(pasta.c_str());
  if (dir == nullptr) return;
  const std::string prefixo = pasta + "/";
  while (const dirent* entrada = readdir(dir)) {
    const std::string nome = entrada->d_name;
    if (!abandonado(nome)) continue;
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
  (void)fchown(fd(d), static_cast<uid_t>(dono.utilizador), static_cast<gid_t>(dono.grupo));
  (void)fchmod(fd(d), static_cast<mode_t>(dono.modo));
}

bool nomeExiste(const std::string& nome) {
  struct stat info;
  return lstat(nome.c_str(), &info) == 0;
}

bool ePasta(const std::string& nome) {
  struct stat info;
  return lstat(nome.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

namespace {

// The permission bits of the folder of `nome` for a file in it (read and
// write only), or 0666 when it cannot be known.
mode_t modoDaPasta(const std::string& nome) {
  struct stat pasta;
  if (stat(pastaDoNome(nome).c_str(), &pasta) != 0) return 0666;
  return pasta.st_mode & 0666;
}

const int opcoesCompanheira = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

}  // namespace

Estado abreCompanheira(const std::string& nome, Descritor* d) {
  bool criada = false;
  int f = open(nome.c_str(), opcoesCompanheira);
  if (f < 0 && errno == ENOENT) {
    f = open(nome.c_str(), opcoesCompanheira | O_CREAT | O_EXCL, 0666);
    criada = f >= 0;
    // Created meanwhile by another process: open that one.
    if (f < 0 && errno == EEXIST) f = open(nome.c_str(), opcoesCompanheira);
  }
  if (f < 0) return falha();
  struct stat info;
  Estado normal = normalAberto(f, &info);
  if (!normal.ok()) return normal;
  if (criada) (void)fchmod(f, modoDaPasta(nome));
  *d = f;
  return Estado();
}

namespace {

// A lock of the companion's first byte (l_type F_WRLCK to take it, F_UNLCK
// to release it).
struct flock primeiroByte(short tipo) {
  struct flock trinco = {};
  trinco.l_type = tipo;
  trinco.l_whence = SEEK_SET;
  trinco.l_start = 0;
  trinco.l_len = 1;
  return trinco;
}

// fcntl with the open-file-description lock where the system has it, the
// process's own lock (F_SETLK) where it has not (an older kernel answers
// EINVAL, macOS has no such command).
int fcntlTrinco(int f, short tipo) {
  struct flock trinco = primeiroByte(tipo);
#ifdef F_OFD_SETLK
  const int r = fcntl(f, F_OFD_SETLK, &trinco);
  if (r == 0 || errno != EINVAL) return r;
  trinco = primeiroByte(tipo);
#endif
  return fcntl(f, F_SETLK, &trinco);
}

bool semTrancas(int codigo) {
#if ENOTSUP != EOPNOTSUPP
  if (codigo == ENOTSUP) return true;
#endif
  return codigo == ENOLCK || codigo == EOPNOTSUPP || codigo == ENOSYS || codigo == EINVAL;
}

// The lock of `f` tried once, retried only when a signal interrupts it:
// 0 taken, 1 held by another, -1 failed (errno).
int tentaTrinco(int f) {
  for (;;) {
    if (fcntlTrinco(f, F_WRLCK) == 0) return 0;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EACCES) return 1;
    return -1;
  }
}

sigset_t sinaisAntes;
bool adiados = false;

// Where the holder's line lies in the companion: after its locked byte.
const off_t inicioDono = 1;

}  // namespace

Estado tentaTrancar(Descritor d, bool* obtida) {
  *obtida = false;
  const int r = tentaTrinco(fd(d));
  if (r == 0) *obtida = true;
  if (r >= 0) return Estado();
  if (semTrancas(errno)) return Estado(Causa::semTrancas, "", errno);
  // A companion open for reading only takes no write lock.
  if (errno == EBADF) return Estado(Causa::semPermissao, "", errno);
  return falha();
}

void largaCompanheira(Descritor d) {
  (void)fcntlTrinco(fd(d), F_UNLCK);
  close(fd(d));  // closing releases the lock anyway
}

void escreveDono(Descritor d, const std::string& linha) {
  const off_t fim = inicioDono + static_cast<off_t>(linha.size());
  if (pwrite(fd(d), linha.data(), linha.size(), inicioDono) == static_cast<ssize_t>(linha.size())) {
    (void)!ftruncate(fd(d), fim);
  }
}

void apagaDono(Descritor d) { (void)!ftruncate(fd(d), 0); }

std::string leDono(Descritor d, std::size_t maximo) {
  std::string linha(maximo, '\0');
  std::size_t total = 0;
  if (!leEm(d, static_cast<std::uint64_t>(inicioDono), &linha[0], maximo, &total).ok()) total = 0;
  linha.resize(total);
  return linha;
}

void dorme(long ms) {
  timespec pausa{};
  pausa.tv_sec = ms / 1000;
  pausa.tv_nsec = (ms % 1000) * 1000000L;
  while (nanosleep(&pausa, &pausa) != 0 && errno == EINTR) {
  }
}

void adiaSinais() {
  sigset_t terminacao;
  sigemptyset(&terminacao);
  for (int sinal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&terminacao, sinal);
  sigprocmask(SIG_BLOCK, &terminacao, &sinaisAntes);
  adiados = true;
}

void libertaSinais() {
  adiados = false;
  sigprocmask(SIG_SETMASK, &sinaisAntes, nullptr);
}

bool sinaisAdiados() { return adiados; }

Descritor entraSeccaoNoSinal(const char* seccao) {
  const int f = open(seccao, opcoesCompanheira);
  if (f < 0) return semDescritor;
  if (tentaTrinco(f) == 0) return f;
  close(f);
  return semDescritor;
}

bool leInicio(const char* nome, char* lido, std::size_t capacidade, std::size_t tamanho,
              std::size_t* total) {
  const int f = open(nome, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (f < 0) return false;
  *total = 0;
  while (*total < tamanho && *total < capacidade) {
    const ssize_t n = read(f, lido + *total, capacidade - *total);
    if (n <= 0) break;
    *total += static_cast<std::size_t>(n);
  }
  close(f);
  return true;
}

void apaga(const char* nome) { unlink(nome); }

void fechaNoSinal(Descritor d) { close(fd(d)); }

}  // namespace sistema

// --- Identidades.h ---

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

void ignoraLimiteTamanho() { std::signal(SIGXFSZ, SIG_IGN); }

// --- Relogio.h ---

bool horaLocal(std::time_t instante, std::tm& local) {
  return localtime_r(&instante, &local) != nullptr;
}
