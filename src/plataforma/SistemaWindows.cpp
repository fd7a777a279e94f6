// The primitives of Sistema.h and the system's side of Identidades.h and
// Relogio.h on Windows.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <system_error>

#include "Identidades.h"
#include "Nomes.h"
#include "Relogio.h"
#include "Sistema.h"
#include "Substituicao.h"

namespace sistema {

namespace {

Causa causaDe(DWORD codigo) {
  switch (codigo) {
    case ERROR_SUCCESS:
      return Causa::nenhuma;
    case ERROR_ACCESS_DENIED:
      return Causa::semPermissao;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
      return Causa::ocupado;
    case ERROR_WRITE_PROTECT:
      return Causa::soLeitura;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return Causa::naoExiste;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return Causa::jaExiste;
    case ERROR_FILENAME_EXCED_RANGE:
      return Causa::nomeLongo;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Causa::discoCheio;
    case ERROR_FILE_TOO_LARGE:
      return Causa::demasiadoGrande;
    case ERROR_DIRECTORY:
      return Causa::pasta;
    case ERROR_CANT_ACCESS_FILE:
    case ERROR_CANT_RESOLVE_FILENAME:
      return Causa::ligacao;
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
      return Causa::entradaSaida;
    default:
      return Causa::outra;
  }
}

// The failure of the call that just failed (GetLastError), or of `codigo`.
Estado falha(DWORD codigo = GetLastError()) {
  return Estado(causaDe(codigo), "", static_cast<long long>(codigo));
}

// Why a file of attributes `atributos` cannot be used as a file (success
// when it can).
Estado atributosErrados(DWORD atributos) {
  if (atributos & FILE_ATTRIBUTE_REPARSE_POINT) return Estado(Causa::ligacao, "");
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) return Estado(Causa::pasta, "");
  return Estado();
}

HANDLE h(Descritor d) { return reinterpret_cast<HANDLE>(d); }
Descritor descritor(HANDLE f) { return reinterpret_cast<Descritor>(f); }

const DWORD partilhaTotal = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// At most 1 GiB in one call of ReadFile or WriteFile.
DWORD parte(std::size_t tamanho) {
  return static_cast<DWORD>(tamanho < (1u << 30) ? tamanho : (1u << 30));
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

// `f` when it is a file on a disk (no console, pipe or device); otherwise
// closes it.
Estado emDisco(HANDLE f, Descritor* d) {
  if (GetFileType(f) != FILE_TYPE_DISK) {
    CloseHandle(f);
    return Estado(Causa::naoNormal, "");
  }
  *d = descritor(f);
  return Estado();
}

}  // namespace

Estado abreLeitura(const std::string& nome, Descritor* d, std::uint64_t* tamanho,
                   std::int64_t* modificacao) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) return falha();
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) return Estado(Causa::pasta, "");
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_READ, partilhaTotal, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return falha();
  Estado r = emDisco(f, d);
  if (r.ok()) medeAberto(f, tamanho, modificacao);
  return r;
}

Estado abreSemLigacao(const std::string& nome, Descritor* d) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) return falha();
  Estado tipo = atributosErrados(atributos);
  if (!tipo.ok()) return tipo;
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_READ, partilhaTotal, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE) return falha();
  return emDisco(f, d);
}

Estado leBloco(Descritor d, char* destino, std::size_t maximo, std::size_t* lidos) {
  DWORD n = 0;
  if (!ReadFile(h(d), destino, parte(maximo), &n, nullptr)) return falha();
  *lidos = n;
  return Estado();
}

Estado leAte(Descritor d, char* destino, std::size_t maximo, std::size_t* total) {
  DWORD lidos = 0;
  const bool ok = ReadFile(h(d), destino, static_cast<DWORD>(maximo), &lidos, nullptr);
  *total = lidos;
  return ok ? Estado() : falha();
}

Estado leEm(Descritor d, std::uint64_t posicao, char* destino, std::size_t maximo,
            std::size_t* total) {
  *total = 0;
  while (*total < maximo) {
    OVERLAPPED onde = {};
    const std::uint64_t de = posicao + *total;
    onde.Offset = static_cast<DWORD>(de & 0xFFFFFFFFu);
    onde.OffsetHigh = static_cast<DWORD>(de >> 32);
    DWORD lidos = 0;
    if (!ReadFile(h(d), destino + *total, parte(maximo - *total), &lidos, &onde)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return falha();
    }
    if (lidos == 0) break;
    *total += lidos;
  }
  return Estado();
}

Estado vaiPara(Descritor d, std::uint64_t deslocamento) {
  LARGE_INTEGER distancia;
  distancia.QuadPart = static_cast<LONGLONG>(deslocamento);
  return SetFilePointerEx(h(d), distancia, nullptr, FILE_BEGIN) ? Estado() : falha();
}

void fecha(Descritor d) { CloseHandle(h(d)); }

Estado criaNovo(const std::string& nome, const Dono& /*dono*/, Descritor* d) {
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE) return falha();
  *d = descritor(f);
  return Estado();
}

Estado criaExclusivo(const std::string& nome, Descritor* d) {
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE) return falha();
  *d = descritor(f);
  return Estado();
}

Estado abreAcrescentar(const std::string& nome, bool criar, Descritor* d, std::uint64_t* tamanho) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (!criar && atributos != INVALID_FILE_ATTRIBUTES) {
    Estado tipo = atributosErrados(atributos);
    if (!tipo.ok()) return tipo;
  }
  const DWORD partilha = FILE_SHARE_READ | FILE_SHARE_DELETE;
  const DWORD marcas = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_READ | GENERIC_WRITE, partilha, nullptr,
                         criar ? CREATE_NEW : OPEN_EXISTING, marcas, nullptr);
  if (f == INVALID_HANDLE_VALUE) return falha();
  BY_HANDLE_FILE_INFORMATION info = {};
  Estado tipo(Causa::naoNormal, "");
  if (GetFileType(f) == FILE_TYPE_DISK && GetFileInformationByHandle(f, &info)) {
    tipo = atributosErrados(info.dwFileAttributes);
    // Another name of the same file: appending here would write there too.
    if (tipo.ok() && info.nNumberOfLinks > 1) tipo = Estado(Causa::ligacaoFisica, "");
  }
  if (!tipo.ok()) {
    CloseHandle(f);
    if (criar) DeleteFileA(nome.c_str());
    return tipo;
  }
  *d = descritor(f);
  *tamanho = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return Estado();
}

Estado escreveTudo(Descritor d, const char* dados, std::size_t tamanho) {
  while (tamanho > 0) {
    DWORD escritos = 0;
    if (!WriteFile(h(d), dados, parte(tamanho), &escritos, nullptr)) return falha();
    if (escritos != parte(tamanho)) return falha();
    dados += escritos;
    tamanho -= escritos;
  }
  return Estado();
}

Estado escreveNoFim(Descritor d, const char* dados, std::size_t tamanho) {
  LARGE_INTEGER zero = {};
  if (!SetFilePointerEx(h(d), zero, nullptr, FILE_END)) return falha();
  return escreveTudo(d, dados, tamanho);
}

Estado descarrega(Descritor d) { return FlushFileBuffers(h(d)) ? Estado() : falha(); }

Estado fechaEscrito(Descritor d) { return CloseHandle(h(d)) ? Estado() : falha(); }

Estado corta(Descritor d, std::uint64_t tamanho) {
  LARGE_INTEGER fim;
  fim.QuadPart = static_cast<LONGLONG>(tamanho);
  if (!SetFilePointerEx(h(d), fim, nullptr, FILE_BEGIN) || !SetEndOfFile(h(d))) return falha();
  return Estado();
}

namespace {

// A move of `de` to `para` that reaches the disk before it answers.
Estado moveFicheiro(const std::string& de, const std::string& para, DWORD opcoes) {
  if (MoveFileExA(de.c_str(), para.c_str(), opcoes | MOVEFILE_WRITE_THROUGH)) return Estado();
  return falha();
}

}  // namespace

Estado renomeia(const std::string& de, const std::string& para) {
  return moveFicheiro(de, para, MOVEFILE_REPLACE_EXISTING);
}

// Without MOVEFILE_REPLACE_EXISTING the move never replaces a file.
Estado moveSeLivre(const std::string& de, const std::string& para) {
  return moveFicheiro(de, para, 0);
}

Estado liga(const std::string& de, const std::string& para) {
  return CreateHardLinkA(para.c_str(), de.c_str(), nullptr) ? Estado() : falha();
}

const bool ligacaoSoSeLivre = false;

Estado apagaNome(const std::string& nome) { return DeleteFileA(nome.c_str()) ? Estado() : falha(); }

// The moves are written through to the disk: no separate step.
void descarregaPasta(const std::string& /*pasta*/) {}

// Windows follows no link for a save: whatever is at `nome` is replaced as
// a name, and only a folder, or a link where a regular file is wanted, is
// refused.
Estado destinoDe(const std::string& nome, Alvo alvo, std::string* destino) {
  *destino = nome;
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) return Estado();
  if (atributos & FILE_ATTRIBUTE_DIRECTORY) return Estado(Causa::pasta, nome);
  if ((atributos & FILE_ATTRIBUTE_REPARSE_POINT) && alvo == Alvo::soNormal) {
    return Estado(Causa::ligacao, nome);
  }
  return Estado();
}

void removeRestos(const std::string& destino,
                  const std::function<bool(const std::string&)>& abandonado) {
  const std::string pasta = pastaDoNome(destino);
  const std::string base = nomeBase(destino);
  WIN32_FIND_DATAA dados;
  const std::string padrao = pasta + "\\" + base + sufixoTemporario + ".*";
  HANDLE busca = FindFirstFileA(padrao.c_str(), &dados);
  if (busca == INVALID_HANDLE_VALUE) return;
  do {
    const std::string nome = dados.cFileName;
    if (!abandonado(nome)) continue;
    if (!atributosErrados(dados.dwFileAttributes).ok()) continue;
    DeleteFileA((pasta + "\\" + nome).c_str());
  } while (FindNextFileA(busca, &dados));
  FindClose(busca);
}

Dono donoDe(const std::string& /*modelo*/) { return Dono(); }
void aplicaDono(Descritor /*d*/, const Dono& /*dono*/) {}

bool nomeExiste(const std::string& nome) {
  return GetFileAttributesA(nome.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ePasta(const std::string& nome) {
  const DWORD atributos = GetFileAttributesA(nome.c_str());
  return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Estado abreCompanheira(const std::string& nome, Descritor* d) {
  // One the user may not write is opened for reading only: a lock needs no
  // write permission here. When there is none to open, the reason is the
  // creation's.
  const DWORD opcoes = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE f = CreateFileA(nome.c_str(), GENERIC_READ | GENERIC_WRITE, partilhaTotal, nullptr,
                         OPEN_ALWAYS, opcoes, nullptr);
  DWORD codigo = f == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  if (codigo == ERROR_ACCESS_DENIED) {
    f = CreateFileA(nome.c_str(), GENERIC_READ, partilhaTotal, nullptr, OPEN_EXISTING, opcoes,
                    nullptr);
    if (f == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND) {
      codigo = GetLastError();
    }
  }
  if (f == INVALID_HANDLE_VALUE) {
    // A folder or link there refuses to open as "access denied": name it.
    const DWORD atributos = GetFileAttributesA(nome.c_str());
    Estado tipo = atributos == INVALID_FILE_ATTRIBUTES ? Estado() : atributosErrados(atributos);
    return tipo.ok() ? falha(codigo) : tipo;
  }
  return emDisco(f, d);
}

namespace {

// The companion's first byte locked once without waiting: 0 taken, 1 held
// by another, -1 failed (GetLastError).
int tentaTrinco(HANDLE f) {
  OVERLAPPED inicio = {};
  if (LockFileEx(f, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &inicio)) {
    return 0;
  }
  const DWORD codigo = GetLastError();
  if (codigo == ERROR_LOCK_VIOLATION || codigo == ERROR_IO_PENDING) return 1;
  return -1;
}

// Where the holder's line lies in the companion: after its locked byte,
// which another process may not read while it is locked.
const std::uint64_t inicioDono = 1;

}  // namespace

Estado tentaTrancar(Descritor d, bool* obtida) {
  *obtida = false;
  const int r = tentaTrinco(h(d));
  if (r == 0) *obtida = true;
  if (r >= 0) return Estado();
  const DWORD codigo = GetLastError();
  if (codigo == ERROR_NOT_SUPPORTED || codigo == ERROR_INVALID_FUNCTION) {
    return Estado(Causa::semTrancas, "", static_cast<long long>(codigo));
  }
  return falha(codigo);
}

void largaCompanheira(Descritor d) {
  OVERLAPPED inicio = {};
  UnlockFileEx(h(d), 0, 1, 0, &inicio);
  CloseHandle(h(d));
}

void escreveDono(Descritor d, const std::string& linha) {
  OVERLAPPED onde = {};
  onde.Offset = static_cast<DWORD>(inicioDono);
  DWORD escritos = 0;
  if (!WriteFile(h(d), linha.data(), static_cast<DWORD>(linha.size()), &escritos, &onde) ||
      escritos != linha.size()) {
    return;
  }
  (void)corta(d, inicioDono + linha.size());
}

void apagaDono(Descritor d) { (void)corta(d, 0); }

std::string leDono(Descritor d, std::size_t maximo) {
  std::string linha(maximo, '\0');
  std::size_t total = 0;
  if (!leEm(d, inicioDono, &linha[0], maximo, &total).ok()) total = 0;
  linha.resize(total);
  return linha;
}

void dorme(long ms) { Sleep(static_cast<DWORD>(ms)); }

void adiaSinais() {}
void libertaSinais() {}
bool sinaisAdiados() { return false; }

Descritor entraSeccaoNoSinal(const char* seccao) {
  HANDLE trinco = CreateFileA(seccao, GENERIC_READ, partilhaTotal, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (trinco == INVALID_HANDLE_VALUE) return semDescritor;
  if (tentaTrinco(trinco) == 0) return descritor(trinco);
  CloseHandle(trinco);
  return semDescritor;
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

void fechaNoSinal(Descritor d) { CloseHandle(h(d)); }

}  // namespace sistema

// --- Identidades.h ---

namespace {

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

// The names of the entries of `pasta` that `aceita` takes.
template <typename Aceita>
std::vector<std::string> listaPasta(const std::string& pasta, Aceita aceita) {
  std::vector<std::string> nomes;
  std::error_code erro;
  std::filesystem::directory_iterator it(pasta, erro);
  if (erro) return nomes;
  for (; it != std::filesystem::directory_iterator(); it.increment(erro)) {
    if (aceita(*it)) nomes.push_back(nomeNaListagem(it->path().filename()));
  }
  return nomes;
}

}  // namespace

std::vector<std::string> listaFicheirosNormais(const std::string& pasta) {
  return listaPasta(pasta, [](const std::filesystem::directory_entry& e) {
    std::error_code erroTipo;
    return e.is_regular_file(erroTipo);
  });
}

std::vector<std::string> listaNomesPasta(const std::string& pasta) {
  return listaPasta(pasta, [](const std::filesystem::directory_entry&) { return true; });
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

// A write beyond a size limit fails by itself on Windows: nothing to do.
void ignoraLimiteTamanho() {}

// --- Relogio.h ---

bool horaLocal(std::time_t instante, std::tm& local) { return localtime_s(&local, &instante) == 0; }
