#include "Ficheiros.h"

#include <cerrno>
#include <csignal>

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

bool mesmoConteudo(const IdentidadeFicheiro& a, const IdentidadeFicheiro& b) {
  if (a.existe != b.existe) return false;
  return !a.existe || (a.tamanho == b.tamanho && a.hash == b.hash);
}

std::uint64_t hashConteudo(std::string_view conteudo) {
  return XXH3_64bits(conteudo.data(), conteudo.size());
}

bool substituiFicheiro(const std::string& nome, std::string_view conteudo, std::string* erro) {
  return substituiFicheiro(nome, umPedaco(conteudo), erro, nullptr);
}

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
    case EROFS:
      return TXT("sem permissão");
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

// A file-size limit must not kill the program in the middle of a save: the
// write then fails with EFBIG like any other write error.
void ignoraLimiteTamanho() {
  static const bool feito = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)feito;
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

// The directory part of `nome` ("." when it has none).
std::string pastaDe(const std::string& nome) {
  const size_t barra = nome.find_last_of("/\\");
  if (barra == std::string::npos) return ".";
  return barra == 0 ? nome.substr(0, 1) : nome.substr(0, barra);
}

// Flushes a directory's entries to disk; a file system that cannot do it
// is not an error.
void descarregaPasta(const std::string& pasta) {
  const int fd = open(pasta.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

// Makes room for a temporary file at `nome`: removes a leftover regular
// file; refuses anything else.
bool preparaTemporario(const std::string& nome, std::string* erro) {
  struct stat info;
  if (lstat(nome.c_str(), &info) != 0) {
    if (errno == ENOENT) return true;
    *erro = naoPode(nome, razaoErro(errno));
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    *erro = naoPode(nome, razaoTipo(info.st_mode));
    return false;
  }
  if (unlink(nome.c_str()) != 0) {
    *erro = naoPode(nome, razaoErro(errno));
    return false;
  }
  return true;
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

// Writes the pieces to the new temporary file `nome` (exclusive, never
// through a link), with `dono`'s permissions, flushed to disk.
bool escreveTemporario(const std::string& nome, const Pedacos& pedacos, const Dono& dono,
                       std::string* erro) {
  ignoraLimiteTamanho();
  if (!preparaTemporario(nome, erro)) return false;
  const int fd = open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      dono.copia ? 0600 : 0666);
  if (fd < 0) {
    *erro = naoPode(nome, razaoErro(errno));
    return false;
  }
  if (dono.copia) {
    // Owner first: changing it may clear the set-id bits that fchmod sets.
    (void)fchown(fd, dono.utilizador, dono.grupo);
    (void)fchmod(fd, dono.modo);
  }
  bool ok = true;
  std::string_view pedaco;
  while (ok && pedacos(pedaco)) ok = escreveTudo(fd, pedaco.data(), pedaco.size());
  ok = ok && fsync(fd) == 0;
  const int erroEscrita = errno;
  ok = close(fd) == 0 && ok;
  if (!ok) {
    *erro = naoPode(nome, razaoErro(erroEscrita != 0 ? erroEscrita : errno));
    unlink(nome.c_str());
  }
  return ok;
}

// The file a save of `nome` replaces: `nome` itself, or the target of the
// link `nome`. Fails when that is something other than a regular file.
bool destinoDe(const std::string& nome, std::string* destino, std::string* erro) {
  *destino = nome;
  struct stat info;
  if (lstat(nome.c_str(), &info) != 0) {
    if (errno == ENOENT) return true;
    *erro = naoPode(nome, razaoErro(errno));
    return false;
  }
  if (S_ISLNK(info.st_mode)) {
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

bool substituiFicheiro(const std::string& nome, const Pedacos& pedacos, std::string* erro,
                       IdentidadeFicheiro* escrito) {
  std::string destino;
  if (!destinoDe(nome, &destino, erro)) return false;
  const std::string temporario = destino + sufixoTemporario;
  PedacosMedidos medidos(pedacos);
  if (!escreveTemporario(temporario, medidos.pedacos(), donoDe(destino), erro)) return false;
  if (rename(temporario.c_str(), destino.c_str()) != 0) {
    *erro = naoPode(destino, razaoErro(errno));
    unlink(temporario.c_str());
    return false;
  }
  descarregaPasta(pastaDe(destino));
  if (escrito != nullptr) *escrito = medidos.identidade();
  return true;
}

bool gravaFicheiroNovo(const std::string& base, const Pedacos& pedacos, const std::string& modelo,
                       std::string* escrito, std::string* erro) {
  const std::string temporario = base + sufixoTemporario;
  if (!escreveTemporario(temporario, pedacos, donoDe(modelo), erro)) return false;
  for (int n = 0; n < maximoNumerados; ++n) {
    const std::string candidato = nomeNumerado(base, n);
    struct stat info;
    if (lstat(candidato.c_str(), &info) == 0) continue;
    // A hard link is made only under a free name: never replaces a file
    // that appeared since the check.
    int resultado = link(temporario.c_str(), candidato.c_str());
    if (resultado != 0 && errno == EEXIST) continue;
    if (resultado != 0) {
      // A file system without hard links: the name was free just now.
      resultado = rename(temporario.c_str(), candidato.c_str());
    }
    if (resultado != 0) {
      *erro = naoPode(candidato, razaoErro(errno));
      unlink(temporario.c_str());
      return false;
    }
    unlink(temporario.c_str());
    descarregaPasta(pastaDe(candidato));
    *escrito = candidato;
    return true;
  }
  unlink(temporario.c_str());
  *erro = naoPode(base, razaoErro(EEXIST));
  return false;
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

void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho) {
  const int erroAnterior = errno;
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

#else

// --------------------------------------------------------------- Windows

namespace {

std::string razaoErro(DWORD codigo) {
  switch (codigo) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return TXT("sem permissão");
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

bool preparaTemporario(const std::string& nome, std::string* erro) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) {
    if (naoExiste(GetLastError())) return true;
    *erro = naoPode(nome, razaoErro(GetLastError()));
    return false;
  }
  if (const char* razao = razaoAtributos(atributos)) {
    *erro = naoPode(nome, razao);
    return false;
  }
  if (!DeleteFileA(nome.c_str())) {
    *erro = naoPode(nome, razaoErro(GetLastError()));
    return false;
  }
  return true;
}

bool escreveTemporario(const std::string& nome, const Pedacos& pedacos, std::string* erro) {
  if (!preparaTemporario(nome, erro)) return false;
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    *erro = naoPode(nome, razaoErro(GetLastError()));
    return false;
  }
  bool ok = true;
  std::string_view pedaco;
  while (ok && pedacos(pedaco)) {
    const char* dados = pedaco.data();
    size_t falta = pedaco.size();
    while (ok && falta > 0) {
      const DWORD parte = static_cast<DWORD>(falta < (1u << 30) ? falta : (1u << 30));
      DWORD escritos = 0;
      ok = WriteFile(f, dados, parte, &escritos, nullptr) && escritos == parte;
      dados += escritos;
      falta -= escritos;
    }
  }
  ok = ok && FlushFileBuffers(f);
  const DWORD codigo = GetLastError();
  ok = CloseHandle(f) && ok;
  if (!ok) {
    *erro = naoPode(nome, razaoErro(codigo));
    DeleteFileA(nome.c_str());
  }
  return ok;
}

bool verificaDestino(const std::string& nome, std::string* erro) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) return true;
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) {
    *erro = naoPode(nome, razaoPasta);
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

bool substituiFicheiro(const std::string& nome, const Pedacos& pedacos, std::string* erro,
                       IdentidadeFicheiro* escrito) {
  if (!verificaDestino(nome, erro)) return false;
  const std::string temporario = nome + sufixoTemporario;
  PedacosMedidos medidos(pedacos);
  if (!escreveTemporario(temporario, medidos.pedacos(), erro)) return false;
  if (!MoveFileExA(temporario.c_str(), nome.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    *erro = naoPode(nome, razaoErro(GetLastError()));
    DeleteFileA(temporario.c_str());
    return false;
  }
  if (escrito != nullptr) *escrito = medidos.identidade();
  return true;
}

bool gravaFicheiroNovo(const std::string& base, const Pedacos& pedacos,
                       const std::string& /*modelo*/, std::string* escrito, std::string* erro) {
  const std::string temporario = base + sufixoTemporario;
  if (!escreveTemporario(temporario, pedacos, erro)) return false;
  for (int n = 0; n < maximoNumerados; ++n) {
    const std::string candidato = nomeNumerado(base, n);
    if (GetFileAttributesA(candidato.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    // Without MOVEFILE_REPLACE_EXISTING the move never replaces a file.
    if (MoveFileExA(temporario.c_str(), candidato.c_str(), MOVEFILE_WRITE_THROUGH)) {
      *escrito = candidato;
      return true;
    }
    const DWORD codigo = GetLastError();
    if (codigo == ERROR_ALREADY_EXISTS || codigo == ERROR_FILE_EXISTS) continue;
    *erro = naoPode(candidato, razaoErro(codigo));
    DeleteFileA(temporario.c_str());
    return false;
  }
  DeleteFileA(temporario.c_str());
  *erro = naoPode(base, razaoErro(ERROR_FILE_EXISTS));
  return false;
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

void removeSeComecaPor(const char* nome, const char* prefixo, std::size_t tamanho) {
  HANDLE f = CreateFileA(nome, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  char lido[512];
  DWORD total = 0;
  const DWORD quer = static_cast<DWORD>(tamanho < sizeof lido ? tamanho : sizeof lido);
  ReadFile(f, lido, quer, &total, nullptr);
  CloseHandle(f);
  bool igual = total >= tamanho;
  for (std::size_t i = 0; igual && i < tamanho; ++i) igual = lido[i] == prefixo[i];
  if (igual) DeleteFileA(nome);
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
