#include "LinhaComandos.h"

#include <iostream>

#include "Consola.h"
#include "ConsolaES.h"
#include "Correcao.h"
#include "Cp1252.h"
#include "Execucao.h"
#include "Exportacao.h"
#include "Importacao.h"
#include "Numeros.h"
#include "Programa.h"
#include "Relatorio.h"
#include "Relogio.h"
#include "Remocao.h"
#include "VistaHistorico.h"

// A mode of the program: its spellings (none for the dialogue, run without
// arguments), the arguments it needs as the error about them names them,
// its lines of the usage text, the console set-up it runs first and its
// entry, which answers argumentosErrados when the arguments are wrong.
struct Modo {
  const char* nomes[3];
  const char* argumentos;
  const char* utilizacao;
  void (*preparaConsola)();
  int (*executa)(const Argumentos& argumentos);
};

namespace {

// The value an entry answers when its arguments are wrong.
const int argumentosErrados = -1;
// Exit status of a wrong command line.
const int estadoLinhaComandos = 2;

// The console of a mode beside the dialogue: its messages in the locale's
// character set, and a signal ends it silently after the clean-up. A mode
// waits for another process's save a minute at most (the dialogue, as long
// as its user lets it).
void preparaMensagens() {
  consolaIniciarMensagens();
  consolaTrataSinaisModo();
  desisteAoMinuto();
}

int modoDialogo(const Argumentos& /*argumentos*/) {
  const Consola consola(std::cin, std::cout, consolaCaracteresSubstituidos);
  return executaDialogo(consola);
}

// A mode whose one argument is a course code.
int comCodigo(const Argumentos& argumentos, int (*modo)(int nCurso)) {
  int nCurso = 0;
  if (argumentos.size() != 1 || !leCodigoCurso(argumentos[0], nCurso)) return argumentosErrados;
  return modo(nCurso);
}

int modoExportar(const Argumentos& argumentos) { return comCodigo(argumentos, executaExportacao); }

int modoImportar(const Argumentos& argumentos) {
  const bool verificar = !argumentos.empty() && argumentos[0] == "--verificar";
  const size_t codigo = verificar ? 1 : 0;
  int nCurso = 0;
  if (argumentos.size() != codigo + 2 || !leCodigoCurso(argumentos[codigo], nCurso)) {
    return argumentosErrados;
  }
  return executaImportacao(nCurso, argumentos[codigo + 1], verificar);
}

// The words after --corrigir or --remover: the arguments in order, and the
// options, in any place, each at most once: --verificar or --forcar (when
// the mode takes it), --motivo and its text (not empty).
struct PalavrasCorrecao {
  std::vector<std::string> argumentos;
  bool verificar = false;
  bool forcar = false;
  bool comMotivo = false;
  std::string motivo;
};

bool lePalavrasCorrecao(const Argumentos& palavras, const char* opcaoAceite,
                        PalavrasCorrecao& lidas) {
  for (size_t i = 0; i < palavras.size(); ++i) {
    const std::string& palavra = palavras[i];
    if (palavra == "--motivo") {
      if (lidas.comMotivo || ++i == palavras.size() || palavras[i].empty()) return false;
      lidas.comMotivo = true;
      lidas.motivo = palavras[i];
    } else if (palavra == opcaoAceite) {
      bool& dada = palavra == "--verificar" ? lidas.verificar : lidas.forcar;
      if (dada) return false;
      dada = true;
    } else {
      lidas.argumentos.push_back(palavra);
    }
  }
  return true;
}

int modoCorrigir(const Argumentos& argumentos) {
  PalavrasCorrecao lidas;
  PedidoCorrecao pedido;
  if (!lePalavrasCorrecao(argumentos, "--verificar", lidas) || lidas.argumentos.size() != 2 ||
      !leCodigoCurso(lidas.argumentos[0], pedido.nCurso)) {
    return argumentosErrados;
  }
  pedido.ficheiro = lidas.argumentos[1];
  pedido.motivo = lidas.motivo;
  pedido.verificar = lidas.verificar;
  return executaCorrecao(pedido);
}

int modoRemover(const Argumentos& argumentos) {
  PalavrasCorrecao lidas;
  PedidoRemocao pedido;
  if (!lePalavrasCorrecao(argumentos, "--forcar", lidas)) return argumentosErrados;
  const std::vector<std::string>& a = lidas.argumentos;
  pedido.porUc = a.size() == 3;
  if ((a.size() != 2 && !pedido.porUc) || !leCodigoCurso(a[0], pedido.nCurso) ||
      !leCodigoCurso(a[1], pedido.aluno) || (pedido.porUc && !leCodigoCurso(a[2], pedido.uc))) {
    return argumentosErrados;
  }
  pedido.motivo = lidas.motivo;
  pedido.forcar = lidas.forcar;
  return executaRemocao(pedido);
}

int modoRelatorio(const Argumentos& argumentos) { return comCodigo(argumentos, executaRelatorio); }

// The error about the value `recebido` given to an option of --historico:
// "--OPCAO precisa de WHAT (recebeu: VALUE)".
std::string valorErrado(const std::string& opcao, const char* precisa,
                        const std::string& recebido) {
  return opcao + " precisa de " + precisa + " (recebeu: " + cp1252::deLinhaDeComandos(recebido) +
         ")";
}

// A whole number given after an option of --historico, taken once; a value
// that is none sets `erro`.
bool leNumeroOpcao(const Argumentos& argumentos, size_t& i, bool& dado, long long& valor,
                   const char* precisa, std::string& erro) {
  int numero = 0;
  if (dado || i + 1 == argumentos.size()) return false;
  const std::string& opcao = argumentos[i++];
  if (!leCodigoCurso(argumentos[i], numero)) {
    erro = valorErrado(opcao, precisa, argumentos[i]);
    return false;
  }
  dado = true;
  valor = numero;
  return true;
}

// --historico CODIGO, then its options in any order, each at most once;
// --verificar goes alone. A value that an option cannot take sets `erro`.
bool lePedidoHistorico(const Argumentos& argumentos, PedidoHistorico& pedido, std::string& erro) {
  bool comCodigo = false;
  for (size_t i = 0; i < argumentos.size(); ++i) {
    const std::string& argumento = argumentos[i];
    bool certo = true;
    if (argumento == "--aluno") {
      certo = leNumeroOpcao(argumentos, i, pedido.porAluno, pedido.aluno, TXT("um número de aluno"),
                            erro);
    } else if (argumento == "--uc") {
      certo = leNumeroOpcao(argumentos, i, pedido.porUc, pedido.uc, TXT("um código de UC"), erro);
    } else if (argumento == "--desde") {
      certo = pedido.desde.empty() && ++i < argumentos.size();
      if (certo && !eDataFiltro(argumentos[i])) {
        erro = valorErrado(argumento, "uma data AAAA-MM-DD", argumentos[i]);
        certo = false;
      }
      if (certo) pedido.desde = argumentos[i];
    } else if (argumento == "--csv" || argumento == "--verificar") {
      bool& opcao = argumento == "--csv" ? pedido.csv : pedido.verificar;
      certo = !opcao;
      opcao = true;
    } else {
      certo = !comCodigo && leCodigoCurso(argumento, pedido.nCurso);
      comCodigo = true;
    }
    if (!certo) return false;
  }
  const bool filtros = pedido.csv || pedido.porAluno || pedido.porUc || !pedido.desde.empty();
  return comCodigo && !(pedido.verificar && filtros);
}

// The history's console: a CSV on standard output passes in CP1252; the
// table and the messages follow the locale. Set up once the arguments are
// known (the usage error has the messages' console).
void preparaHistorico() {}

int modoHistorico(const Argumentos& argumentos) {
  PedidoHistorico pedido;
  std::string erro;
  const bool certo = lePedidoHistorico(argumentos, pedido, erro);
  if (certo && pedido.csv) {
    consolaIniciarDados();
  } else {
    consolaIniciarMensagens();
  }
  consolaTrataSinaisModo();
  if (!erro.empty()) {
    // The value named is enough: no usage after it.
    std::cerr << "ERRO: " << erro << std::endl;
    return estadoLinhaComandos;
  }
  return certo ? executaHistorico(pedido) : argumentosErrados;
}

// Help and version take no arguments; any given are ignored.
int modoAjuda(const Argumentos& /*argumentos*/) {
  imprimeUtilizacao(std::cout);
  return 0;
}

int modoVersao(const Argumentos& /*argumentos*/) {
  std::cout << textoVersao() << std::endl;
  return 0;
}

const Modo modos[] = {
    {{nullptr, nullptr, nullptr},
     nullptr,
     TXT("  pauta                    diálogo com os cursos do diretório atual\n"),
     consolaIniciar,
     modoDialogo},
    {{"--exportar", nullptr, nullptr},
     "CODIGO",
     TXT("  pauta --exportar CODIGO  exporta a pauta e as estatísticas do curso CODIGO para\n"
         "                           CODIGO-Pauta.csv e CODIGO-Estatisticas.csv\n"),
     preparaMensagens,
     modoExportar},
    {{"--importar", nullptr, nullptr},
     "CODIGO e FICHEIRO",
     "  pauta --importar CODIGO FICHEIRO\n"
     "                           importa alunos e notas de FICHEIRO (CSV com as colunas de\n"
     "                           CODIGO-Pauta.csv) para o curso CODIGO\n"
     "  pauta --importar --verificar CODIGO FICHEIRO\n"
     "                           verifica FICHEIRO sem alterar nada\n",
     preparaMensagens,
     modoImportar},
    {{"--corrigir", nullptr, nullptr},
     "CODIGO e FICHEIRO",
     TXT("  pauta --corrigir CODIGO FICHEIRO [--motivo TEXTO]\n"
         "                           corrige os valores do curso CODIGO com os de FICHEIRO (CSV\n"
         "                           com as colunas de CODIGO-Pauta.csv; '-' apaga um valor)\n"
         "  pauta --corrigir --verificar CODIGO FICHEIRO\n"
         "                           verifica a correção sem alterar nada\n"),
     preparaMensagens,
     modoCorrigir},
    {{"--remover", nullptr, nullptr},
     "CODIGO e NUMERO",
     TXT("  pauta --remover CODIGO NUMERO [CODIGO_UC] [--motivo TEXTO] [--forcar]\n"
         "                           remove o aluno NUMERO do curso CODIGO, ou só a UC\n"
         "                           CODIGO_UC das suas; --forcar remove também notas\n"),
     preparaMensagens,
     modoRemover},
    {{"--relatorio", nullptr, nullptr},
     "CODIGO",
     TXT("  pauta --relatorio CODIGO grava o relatório do curso CODIGO, uma página HTML com\n"
         "                           as distribuições das notas e o registo de cada estudante,\n"
         "                           em CODIGO-Relatorio.html\n"),
     preparaMensagens,
     modoRelatorio},
    {{"--historico", nullptr, nullptr},
     "CODIGO [--aluno NUMERO] [--uc CODIGO] [--desde AAAA-MM-DD] [--csv], ou CODIGO --verificar",
     TXT("  pauta --historico CODIGO [--aluno NUMERO] [--uc CODIGO] [--desde AAAA-MM-DD] [--csv]\n"
         "                           mostra as alterações gravadas no curso CODIGO (de um\n"
         "                           aluno, de uma UC, desde uma data), em tabela ou em CSV\n"
         "  pauta --historico CODIGO --verificar\n"
         "                           verifica se alguma linha de CODIGO-Historico.txt foi\n"
         "                           alterada ou removida\n"),
     preparaHistorico,
     modoHistorico},
    {{"-V", "--versao", "--version"},
     nullptr,
     TXT("  pauta -V, --versao       mostra o nome e a versão do programa (ou --version)\n"),
     preparaMensagens,
     modoVersao},
    {{"-h", "--ajuda", "--help"},
     nullptr,
     "  pauta -h, --ajuda        mostra esta ajuda (ou --help)\n",
     preparaMensagens,
     modoAjuda},
};

int erroArgumentos(const std::string& linha) {
  std::cerr << "pauta: " << linha << std::endl;
  imprimeUtilizacao(std::cerr);
  return estadoLinhaComandos;
}

}  // namespace

const Modo* procuraModo(const char* opcao) {
  for (const Modo& modo : modos) {
    if (opcao == nullptr && modo.nomes[0] == nullptr) return &modo;
    for (const char* grafia : modo.nomes) {
      if (opcao != nullptr && grafia != nullptr && std::string_view(opcao) == grafia) return &modo;
    }
  }
  return nullptr;
}

int executaModo(const Modo& modo, const char* opcao, const Argumentos& argumentos) {
  modo.preparaConsola();
  const int estado = modo.executa(argumentos);
  if (estado != argumentosErrados) return estado;
  return erroArgumentos(std::string(opcao) + " precisa de " + modo.argumentos);
}

int opcaoDesconhecida(const char* opcao) {
  preparaMensagens();
  return erroArgumentos(TXT("opção desconhecida: ") + cp1252::deLinhaDeComandos(opcao));
}

void imprimeUtilizacao(std::ostream& saida) {
  saida << TXT("Utilização:") << std::endl;
  for (const Modo& modo : modos) saida << modo.utilizacao;
  saida << std::flush;
}

bool leCodigoCurso(std::string_view texto, int& codigo) {
  std::string_view digitos = texto;
  if (!digitos.empty() && digitos.front() == '-') digitos.remove_prefix(1);
  if (digitos.empty()) return false;
  for (char c : digitos) {
    if (c < '0' || c > '9') return false;
  }
  return leInteiro(texto, codigo);
}
