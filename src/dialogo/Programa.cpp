#include "Programa.h"

#include <memory>
#include <ostream>
#include <string>

#include "Auxiliar.h"
#include "BloqueioCurso.h"
#include "CarregaCurso.h"
#include "Consola.h"
#include "ConsolaES.h"
#include "Cp1252.h"
#include "Emenu.h"
#include "Listacurso.h"
#include "Nomes.h"

namespace {

// Answers of the menus.
const int opcaoSair = 9;
const int opcaoVoltar = 0;
const int opcaoTodasUCs = 0;
const int opcaoUmaUC = 1;

const char* const textoOpcaoInvalida =
    TXT(" é uma opção inválida por favor digite uma opção do menu");

// The state of one run, alive until the program ends.
struct Sessao {
  explicit Sessao(const Consola& c) : consola(c) {}
  Consola consola;
  int alteracoes = 0;
  Emenu menuEstudantes;
  Listacurso listaUnidadesCurso;
  Listacurso listaEstudantesCurso;
  std::string nomefEstudantes;
};

// Keeps the session of a finished dialogue (ended normally or at the end of
// input) alive until the process ends: the system takes a large course's
// memory back at once, where freeing it object by object (over a million
// blocks) takes a noticeable time. The session kept by an earlier call (only
// harnesses run the dialogue twice in one process) is freed then. The static
// pointer keeps the session reachable, so leak checkers do not report it.
void deixaParaOFim(std::unique_ptr<Sessao> sessao) {
  static Sessao* deixada = nullptr;
  delete deixada;
  deixada = sessao.release();
}

// --- Start-up and course choice ---

// Says, once per run and after the first table, that the folder holds no
// course at all.
void avisaCatalogoVazio(std::ostream& saida, const Listacurso& listaCursosDisponiveis) {
  static bool avisado = false;
  if (avisado || !listaCursosDisponiveis.getMenu().empty()) return;
  avisado = true;
  saida << TXT("ATENÇÃO: Não há cursos nesta pasta; cada curso é um ficheiro CÓDIGO-UC.txt "
               "(veja o README)")
        << std::endl;
}

// Asks for a course until a listed code or 0; answers it.
int escolheCurso(const Consola& consola, const Listacurso& listaCursosDisponiveis) {
  std::ostream& saida = consola.saida();
  for (;;) {
    saida << std::endl;
    saida << TXT("Os cursos atualmente disponíveis para serem carregados são:") << std::endl;
    listaCursosDisponiveis.imprimeCursosDisponiveis(saida);
    avisaCatalogoVazio(saida, listaCursosDisponiveis);
    saida << TXT("Insira o código do curso que deseja consultar") << std::endl;
    saida << "Insira 0 para sair" << std::endl;
    int nCurso = getIntFromUser(consola);
    if (listaCursosDisponiveis.checkCodigoCurso(nCurso) != 0 || nCurso == 0) return nCurso;
    saida << TXT("O curso seleccionado não existe, por favor insira um curso da lista")
          << std::endl;
  }
}

// --- The course lock ---

const int respostaAbrirMesmoAssim = 1;
const int respostaOutroCurso = 0;

// Takes the lock of course nCurso for this session in `bloqueio`; when
// another session holds it, the user may open the course all the same or
// choose another. Answers false when the user chose another course.
bool bloqueiaOuPergunta(const Consola& consola, BloqueioCurso& bloqueio, int nCurso) {
  std::ostream& saida = consola.saida();
  if (bloqueiaCurso(bloqueio, nCurso, saida)) return true;
  for (;;) {
    saida << "Para abrir o curso mesmo assim insira 1, para escolher outro curso insira 0"
          << std::endl;
    const int resposta = getIntFromUser(consola);
    if (resposta == respostaOutroCurso) return false;
    if (resposta == respostaAbrirMesmoAssim) {
      tomaCurso(bloqueio, nCurso, saida);
      return true;
    }
    saida << TXT("Opção inválida") << std::endl;
  }
}

// --- Main menu ---

// Shows the prompt and the table of students until a listed number or 0;
// answers it (0: the user went back).
int escolheAluno(Sessao& sessao) {
  std::ostream& saida = sessao.consola.saida();
  for (;;) {
    sessao.menuEstudantes.imprimeEscolhaAluno(saida);
    sessao.listaEstudantesCurso.imprimeEstudantesDisponiveis(saida);
    int numAluno = getIntFromUser(sessao.consola);
    if (numAluno == opcaoVoltar) return numAluno;
    if (sessao.listaEstudantesCurso.checkNumAluno(numAluno) != 0) return numAluno;
    sessao.menuEstudantes.imprimeNumAlunoInvalido(saida);
  }
}

void imprimeOpcaoInvalida(std::ostream& saida, int opcao) {
  saida << opcao << textoOpcaoInvalida << std::endl;
}

// Saves the student file; answers whether it was written.
bool grava(Sessao& sessao) {
  return sessao.listaEstudantesCurso.gravaFicheiro(sessao.nomefEstudantes,
                                                   sessao.consola.saida()) != 0;
}

// --- Grade entry ---

// Asks for a unit code of the course until one is given.
int escolheUC(const Sessao& sessao) {
  std::ostream& saida = sessao.consola.saida();
  for (;;) {
    saida << "Em que Unidade Curricular deseja inserir a nota?" << std::endl;
    sessao.listaUnidadesCurso.imprimeInfoUCs(saida);
    int codigoUC = getIntFromUser(sessao.consola);
    if (sessao.listaUnidadesCurso.checkCodigoUCcurso(codigoUC) != 0) return codigoUC;
    saida << TXT("Não existe nenhuma UC com esse código no sistema, tente novamente ") << std::endl;
  }
}

// After a failed check at 9: answers true when the user leaves the e-folio
// menu without validating (0), false when he goes back to correct (1).
bool saiSemValidarEfolios(const Consola& consola) {
  std::ostream& saida = consola.saida();
  for (;;) {
    saida << "Para corrigir os valores insira 1, para sair sem validar os eFolios insira 0"
          << std::endl;
    const int resposta = getIntFromUser(consola);
    if (resposta == 0) return true;
    if (resposta == 1) return false;
    saida << TXT("Opção inválida") << std::endl;
  }
}

void imprimeVoltouInserirNotas(std::ostream& saida) {
  saida << "Voltou ao menu #### Inserir Notas ####" << std::endl;
  saida << "Aluno e Unidade Curricular Atualmente Seleccionados" << std::endl;
  saida << std::endl;
}

void insereEfolio(Sessao& sessao, int numAluno, int codigoUC, int opcao) {
  const char letras[] = {'A', 'B', 'C'};
  Listacurso& estudantes = sessao.listaEstudantesCurso;
  estudantes.userSetNotaEfolioUCEstudante(sessao.consola, numAluno, codigoUC, letras[opcao - 1]);
  estudantes.imprimeInfoEstudantes(sessao.consola.saida(), numAluno, codigoUC);
}

// Answer 9 of the e-folio menu: with valid e-folio data the final grade is
// recomputed; otherwise the user may still leave without validating, and
// the e-folio values entered stay in the record unsaved. Answers whether
// the menu is left.
bool saiMenuEfolio(Sessao& sessao, int numAluno, int codigoUC, bool inseriuEfolios) {
  std::ostream& saida = sessao.consola.saida();
  Listacurso& estudantes = sessao.listaEstudantesCurso;
  if (estudantes.validaDadosEfoliosUCEstudantes(saida, numAluno, codigoUC) != 0) {
    estudantes.atualizaNotaFinalUCEstudante(saida, numAluno, codigoUC);
    sessao.alteracoes = 1;
  } else if (!saiSemValidarEfolios(sessao.consola)) {
    return false;
  } else if (inseriuEfolios) {
    sessao.alteracoes = 1;
  }
  imprimeVoltouInserirNotas(saida);
  return true;
}

// The e-folio menu, until it is left through 9.
void menuEfolio(Sessao& sessao, int numAluno, int codigoUC) {
  std::ostream& saida = sessao.consola.saida();
  bool inseriuEfolios = false;
  for (;;) {
    sessao.menuEstudantes.imprimeOpcoesEfolio(saida);
    const int opcao = getIntFromUser(sessao.consola);
    if (opcao >= 1 && opcao <= 3) {
      insereEfolio(sessao, numAluno, codigoUC, opcao);
      inseriuEfolios = true;
    } else if (opcao == 8) {
      saida << "A validar os valores inseridos... " << std::endl;
      sessao.listaEstudantesCurso.validaDadosEfoliosUCEstudantes(saida, numAluno, codigoUC);
    } else if (opcao == opcaoSair) {
      if (saiMenuEfolio(sessao, numAluno, codigoUC, inseriuEfolios)) return;
    } else {
      imprimeOpcaoInvalida(saida, opcao);
    }
  }
}

// The option question, when the student has not chosen one in the unit yet.
void pedeOpcaoSeFalta(Sessao& sessao, int numAluno, int codigoUC) {
  Listacurso& estudantes = sessao.listaEstudantesCurso;
  if (estudantes.checkOpcaoAvaliacaoUCEstudante(numAluno, codigoUC) != opcaoNaoEscolhida) return;
  sessao.consola.saida()
      << TXT("ATENÇÃO: O aluno ainda não tem opção de Avaliação definida para esta Unidade "
             "Curricular")
      << std::endl;
  estudantes.userSetOpcaoAvaliacaoUCEstudante(sessao.consola, numAluno, codigoUC);
}

// Says so when the course has no unit, whose code could ever be accepted:
// the grade entry goes back instead of asking forever.
bool cursoSemUCs(const Sessao& sessao) {
  if (!sessao.listaUnidadesCurso.getListaUCsCurso().empty()) return false;
  sessao.consola.saida()
      << TXT("ATENÇÃO: O curso não tem Unidades Curriculares, não é possivel inserir notas")
      << std::endl;
  return true;
}

// Answer 1 of the grade-entry menu: the e-folio menu, unless the student
// chose the final exam in the unit.
void opcaoEfolios(Sessao& sessao, int numAluno, int codigoUC) {
  std::ostream& saida = sessao.consola.saida();
  if (sessao.listaEstudantesCurso.checkOpcaoAvaliacaoUCEstudante(numAluno, codigoUC) !=
      opcaoExameFinal) {
    menuEfolio(sessao, numAluno, codigoUC);
    return;
  }
  saida << std::endl;
  saida << TXT("ATENÇÃO: O aluno optou pela avaliação por Exame Final nesta unidade "
               "curricular, logo não é possivel inserir notas de eFolio")
        << std::endl;
}

// Answers 2 (p-folio or exam) and 3 (resit) of the grade-entry menu: the
// grade, then the final grade recomputed.
void opcaoProva(Sessao& sessao, int numAluno, int codigoUC, int opcao) {
  Listacurso& estudantes = sessao.listaEstudantesCurso;
  if (opcao == 2) {
    estudantes.userSetNotaProvaFinalUCEstudante(sessao.consola, numAluno, codigoUC);
  } else {
    estudantes.userSetNotaExameRecursoUCEstudante(sessao.consola, numAluno, codigoUC);
  }
  estudantes.atualizaNotaFinalUCEstudante(sessao.consola.saida(), numAluno, codigoUC);
  sessao.alteracoes = 1;
}

// Unit choice, option question, then the grade-entry menu until 0.
void inserirNotas(Sessao& sessao, int numAluno) {
  if (cursoSemUCs(sessao)) return;
  const int codigoUC = escolheUC(sessao);
  pedeOpcaoSeFalta(sessao, numAluno, codigoUC);
  std::ostream& saida = sessao.consola.saida();
  for (;;) {
    sessao.listaEstudantesCurso.imprimeInfoEstudantes(saida, numAluno, codigoUC);
    sessao.menuEstudantes.imprimeOpcoesInserirNota(saida);
    const int opcao = getIntFromUser(sessao.consola);
    if (opcao == opcaoVoltar) return;
    if (opcao == 1) {
      opcaoEfolios(sessao, numAluno, codigoUC);
    } else if (opcao == 2 || opcao == 3) {
      opcaoProva(sessao, numAluno, codigoUC, opcao);
    } else {
      imprimeOpcaoInvalida(saida, opcao);
    }
  }
}

// --- Main menu loop ---

void consultarAluno(Sessao& sessao) {
  std::ostream& saida = sessao.consola.saida();
  saida << TXT("Escolheu a opção 1 ") << std::endl;
  saida << "### CONSULTAR ALUNOS ###" << std::endl;
  int numAluno = escolheAluno(sessao);
  if (numAluno != opcaoVoltar) {
    sessao.listaEstudantesCurso.imprimeInfoEstudantes(
        saida, numAluno, sessao.listaUnidadesCurso.getTotalEctsCurso());
  }
}

void opcaoInserirNotas(Sessao& sessao) {
  std::ostream& saida = sessao.consola.saida();
  saida << TXT("Escolheu a opção 2 ") << std::endl;
  saida << "### INSERIR NOTAS ###" << std::endl;
  int numAluno = escolheAluno(sessao);
  if (numAluno != opcaoVoltar) inserirNotas(sessao, numAluno);
}

void inserirEstudante(Sessao& sessao) {
  std::ostream& saida = sessao.consola.saida();
  saida << TXT("Escolheu a opção 3 ") << std::endl;
  saida << "### INSERIR ESTUDANTE ###" << std::endl;
  sessao.listaEstudantesCurso.userSetEstudante(sessao.consola,
                                               sessao.listaUnidadesCurso.getListaUCsCurso(),
                                               sessao.listaEstudantesCurso.getListaEstudantes());
  saida << "Inseriu o estudante " << std::endl;
  sessao.alteracoes = 1;
}

void gravarAlteracoes(Sessao& sessao) {
  std::ostream& saida = sessao.consola.saida();
  saida << TXT("Escolheu a opção 4 ") << std::endl;
  saida << TXT("### GRAVAR ALTERAÇÕES NO FICHEIRO ###") << std::endl;
  if (sessao.alteracoes != 0) {
    if (grava(sessao)) sessao.alteracoes = 0;
  } else {
    saida << std::endl;
    saida << TXT("Não foram detetadas alterações a serem Gravadas...") << std::endl;
  }
}

void executaOpcaoPrincipal(Sessao& sessao, int opcao) {
  switch (opcao) {
    case 1:
      consultarAluno(sessao);
      break;
    case 2:
      opcaoInserirNotas(sessao);
      break;
    case 3:
      inserirEstudante(sessao);
      break;
    case 4:
      gravarAlteracoes(sessao);
      break;
    default:
      imprimeOpcaoInvalida(sessao.consola.saida(), opcao);
  }
}

void menuPrincipal(Sessao& sessao) {
  for (;;) {
    sessao.menuEstudantes.imprimeOpcoesGerais(sessao.consola.saida());
    const int opcao = getIntFromUser(sessao.consola);
    if (opcao == opcaoSair) return;
    executaOpcaoPrincipal(sessao, opcao);
  }
}

// --- Unit consultation and the last save question ---

void perguntaGravar(Sessao& sessao) {
  std::ostream& saida = sessao.consola.saida();
  saida << TXT("ATENÇÃO: Existem alterações por gravar, deseja gravar antes de sair?") << std::endl;
  for (;;) {
    saida << "Para gravar insira 1" << std::endl;
    saida << "Para sair sem gravar insira 0" << std::endl;
    saida << std::endl;
    int resposta = getIntFromUser(sessao.consola);
    if (resposta == 0) return;
    if (resposta == 1) {
      if (grava(sessao)) {
        sessao.alteracoes = 0;
        return;
      }
    } else {
      saida << TXT("A Opção que inseriu é inválida") << std::endl;
    }
  }
}

void consultaUC(const Sessao& sessao) {
  std::ostream& saida = sessao.consola.saida();
  saida << std::endl;
  saida << TXT("Insira o código da UC que Pretende Consultar") << std::endl;
  saida << std::endl;
  sessao.listaUnidadesCurso.imprimeInfoUCs(saida);
  int codigoUC = getIntFromUser(sessao.consola);
  if (sessao.listaUnidadesCurso.checkCodigoUCcurso(codigoUC) != 0) {
    sessao.listaUnidadesCurso.imprimeInfoUCcurso(saida, codigoUC);
  } else {
    saida << TXT("Não existe nenhuma UC com esse código no sistema, tente novamente ") << std::endl;
  }
}

void imprimePerguntaConsulta(std::ostream& saida) {
  saida << std::endl;
  saida << TXT("Pretende consultar a informação de todas as UC ou de alguma em particular?")
        << std::endl;
  saida << "Para consultar todas pressione '0' para consultar a lista e seleccionar uma UC "
           "pressione '1'"
        << std::endl;
  saida << "Para sair pressione '9'" << std::endl;
}

void consultaUCs(Sessao& sessao) {
  std::ostream& saida = sessao.consola.saida();
  int opcao = 0;
  while (opcao != opcaoSair) {
    imprimePerguntaConsulta(saida);
    opcao = getIntFromUser(sessao.consola);
    sessao.listaUnidadesCurso.setInfoUCsCurso(sessao.listaEstudantesCurso.getListaEstudantes());
    if (opcao == opcaoUmaUC) {
      consultaUC(sessao);
    } else if (opcao == opcaoTodasUCs) {
      sessao.listaUnidadesCurso.imprimeInfoTodasUCscurso(saida);
    } else if (opcao == opcaoSair && sessao.alteracoes == 1) {
      perguntaGravar(sessao);
    }
  }
}

}  // namespace

namespace {

// The dialogue's last text ends with a line end on a terminal, so that the
// shell's prompt starts on a line of its own; redirected, it ends as it
// always has.
void terminaUltimaLinha(std::ostream& saida) {
  if (consolaSaidaNoTerminal()) saida << '\n';
  saida << std::flush;
}

void imprimeCursoEscolhido(std::ostream& saida, const Listacurso& listaCursosDisponiveis,
                           int nCurso) {
  saida << "O curso escolhido foi:" << std::endl;
  saida << std::endl;
  listaCursosDisponiveis.imprimeCursoEscolhido(saida, nCurso);
  saida << std::endl;
}

// Loads course nCurso into a new session, with the loading texts and the
// problems met on the console; nullptr when its student file cannot be read.
std::unique_ptr<Sessao> carregaSessao(const Consola& consola, int nCurso) {
  std::ostream& saida = consola.saida();
  const RelatoCarregamento relato{&saida, &saida};
  auto sessao = std::make_unique<Sessao>(consola);
  if (!carregaUnidadesCurso(nCurso, sessao->listaUnidadesCurso, relato)) {
    // The listed unit file has gone since start-up: say why the course
    // has no units rather than showing an empty course without a word.
    saida << TXT("Não foi possivel abrir o ficheiro ") << nomeFicheiroUC(nCurso) << std::endl;
  }
  if (carregaEstudantesCurso(nCurso, sessao->listaEstudantesCurso, relato) ==
      FicheiroEstudantes::ilegivel) {
    return nullptr;
  }
  sessao->nomefEstudantes = nomeFicheiroEstudantes(nCurso);
  return sessao;
}

// The dialogue's last text, after an empty line.
void despede(std::ostream& saida, const char* texto) {
  saida << std::endl;
  saida << texto;
  terminaUltimaLinha(saida);
}

// Chooses, locks (in `bloqueio`) and loads a course; answers its session,
// or nullptr when the user typed 0 at the course prompt. A course whose lock
// the user left to another session, or whose student file cannot be read,
// sends him back to the course choice.
std::unique_ptr<Sessao> abreCurso(const Consola& consola, BloqueioCurso& bloqueio,
                                  const Listacurso& listaCursosDisponiveis) {
  for (;;) {
    const int nCurso = escolheCurso(consola, listaCursosDisponiveis);
    if (nCurso == 0) return nullptr;
    imprimeCursoEscolhido(consola.saida(), listaCursosDisponiveis, nCurso);
    if (!bloqueiaOuPergunta(consola, bloqueio, nCurso)) continue;
    if (auto sessao = carregaSessao(consola, nCurso)) return sessao;
    bloqueio.liberta();
  }
}

// The dialogue from the banner to its last text. The session opened is left
// in `sessao`, where it still is when input ends at one of its prompts; it
// stays empty when the user typed 0 at the course prompt. The lock of the
// course opened is held in `bloqueio`.
void dialoga(const Consola& consola, BloqueioCurso& bloqueio, std::unique_ptr<Sessao>& sessao) {
  std::ostream& saida = consola.saida();
  saida << std::endl;
  saida << TXT("Quivra - Dravelho - Aluno Olvarin Tesk nº4455302 ") << std::endl;
  Listacurso listaCursosDisponiveis;
  listaCursosDisponiveis.listaFicheiros(saida);
  sessao = abreCurso(consola, bloqueio, listaCursosDisponiveis);
  if (sessao == nullptr) {
    despede(saida, "A Sair ...");
    return;
  }
  consolaRegistaAlteracoes(&sessao->alteracoes);
  saida << std::endl;

  menuPrincipal(*sessao);
  consultaUCs(*sessao);
  despede(saida, "A sair ...");
}

}  // namespace

int executaDialogo(const Consola& consola) {
  consolaTrataSinais();
  // The course lock, released when the dialogue ends however it ends; a
  // signal releases it through the clean-up of every way out.
  BloqueioCurso bloqueio;
  std::unique_ptr<Sessao> sessao;
  try {
    dialoga(consola, bloqueio, sessao);
  } catch (const FimEntrada&) {
    // Nothing more can be asked, so nothing more is saved: say what is lost.
    consolaImprimeFimEntrada(consola.saida(), sessao != nullptr && sessao->alteracoes != 0);
  }
  consolaRegistaAlteracoes(nullptr);
  deixaParaOFim(std::move(sessao));
  return 0;
}
