#include "Listacurso.h"

#include <optional>
#include <ostream>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "BloqueioCurso.h"
#include "Consola.h"
#include "Cp1252.h"
#include "EscritaHistorico.h"
#include "FormatoDados.h"
#include "FormatoHistorico.h"
#include "LeitorLinhas.h"
#include "Nomes.h"
#include "Numeros.h"
#include "Tabela.h"

namespace {

void imprimeCabecalho(std::ostream& saida, const char* coluna1, int largura1, const char* coluna2,
                      int largura2) {
  regua(saida, larguraLinha, linha);
  celula(saida, "", larguraInicial, separador);
  celula(saida, coluna1, largura1, separador);
  celula(saida, coluna2, largura2, separador);
}

}  // namespace

Listacurso::Listacurso()
    : curso(0),
      n(0),
      linhasIgnoradas(false),
      origemUtf8(false),
      numerosOutraForma(false),
      copiaFeita(false),
      identidadeConhecida(false) {}

Listacurso::~Listacurso() = default;

void Listacurso::listaFicheiros(std::ostream& avisos) {
  for (const std::string& nome : listaNomesPasta(".")) {
    if (!eNomeFicheiroUC(nome)) continue;
    Cmenu entrada(nome, avisos);
    avisaTextoUtf8(nome, entrada.analise(), avisos);
    if (entrada.valido()) {
      menu.push_back(entrada);
    } else if (!entrada.razaoNaoListado().empty()) {
      avisos << TXT("ATENÇÃO: O ficheiro ") << nome << TXT(" não foi listado (")
             << entrada.razaoNaoListado() << ")" << std::endl;
    }
  }
}

void Listacurso::imprimeCursosDisponiveis(std::ostream& saida) const {
  saida << std::endl;
  Cmenu layout;
  regua(saida, larguraLinha, layout.linha);
  celula(saida, "", layout.larguraInicial, layout.separador);
  celula(saida, TXT("Código"), layout.larguraCodigo, layout.separador);
  celula(saida, "Nome do Curso", layout.larguraNome, layout.separador);
  celula(saida, "Ficheiro", layout.larguraFicheiro, layout.separador);
  saida << std::endl;
  regua(saida, larguraLinha, layout.linha);
  for (const Cmenu& entrada : menu) entrada.imprimeCurso(saida);
  regua(saida, larguraLinha, layout.linha);
  saida << std::endl;
}

void Listacurso::imprimeCursoEscolhido(std::ostream& saida, int ncurso) const {
  for (const Cmenu& entrada : menu) {
    if (entrada.getCodigo() == ncurso) entrada.imprimeCurso(saida);
  }
}

int Listacurso::checkCodigoCurso(int codigoCurso) const {
  for (const Cmenu& entrada : menu) {
    if (entrada.getCodigo() == codigoCurso) return 1;
  }
  return 0;
}

void Listacurso::setUCsCurso(int nCurso, int /*nUCs*/, LeitorLinhas& ficheiro) {
  curso = nCurso;
  totalEcts = TotalEctsCurso();
  formato::leFicheiroUnidades(ficheiro, listaUCsCurso, totalEcts.ects);
}

void Listacurso::setListaEstudantes(int nCurso, int nEstudantes, LeitorLinhas& ficheiro) {
  curso = nCurso;
  n = nEstudantes;
  if (n > 0) listaEstudantes.reserve(static_cast<size_t>(n));
  // Every line is walked even without student records: a line that is not
  // used is reported, never dropped without a word at the next save.
  formato::leFicheiroEstudantes(ficheiro, listaEstudantes);
  linhasIgnoradas = linhasIgnoradas || ficheiro.houveLinhasIgnoradas();
  numerosOutraForma = numerosOutraForma || ficheiro.houveNumerosOutraForma();
  retrato.inicia(listaEstudantes.size());
}

void Listacurso::setIdentidadeFicheiro(const IdentidadeFicheiro& id) {
  identidade = id;
  identidadeConhecida = true;
}

int Listacurso::checkNumAluno(int numAluno) const {
  for (const Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == numAluno) return 1;
  }
  return 0;
}

int Listacurso::checkCodigoUCcurso(int codigoUC) const {
  for (const UC& uc : listaUCsCurso) {
    if (uc.getCodigo() == codigoUC) return 1;
  }
  return 0;
}

int Listacurso::checkOpcaoAvaliacaoUCEstudante(int nAluno, int codigoUC) const {
  for (const Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == nAluno) return e.checkOpcaoAvaliacaoUC(codigoUC);
  }
  return 2;
}

int Listacurso::validaDadosEfoliosUCEstudantes(std::ostream& saida, int nAluno,
                                               int codigoUC) const {
  int resposta = 0;
  for (const Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == nAluno) resposta = e.validaDadosEfoliosUC(saida, codigoUC) != 0 ? 1 : 0;
  }
  return resposta;
}

void Listacurso::alteraAlunos(int nAluno, const std::function<void(Estudantes&)>& muda) {
  for (size_t i = 0; i < listaEstudantes.size(); ++i) {
    if (listaEstudantes[i].getNumAluno() != nAluno) continue;
    retrato.guarda(i, listaEstudantes[i]);
    muda(listaEstudantes[i]);
  }
}

void Listacurso::userSetNotaEfolioUCEstudante(const Consola& consola, int nAluno, int codigoUC,
                                              char letra) {
  alteraAlunos(nAluno, [&](Estudantes& e) { e.userSetNotaEfolioUC(consola, codigoUC, letra); });
}

void Listacurso::userSetNotaProvaFinalUCEstudante(const Consola& consola, int nAluno,
                                                  int codigoUC) {
  alteraAlunos(nAluno, [&](Estudantes& e) { e.userSetNotaProvaFinalUC(consola, codigoUC); });
}

void Listacurso::userSetNotaExameRecursoUCEstudante(const Consola& consola, int nAluno,
                                                    int codigoUC) {
  alteraAlunos(nAluno, [&](Estudantes& e) { e.userSetExameRecursoUC(consola, codigoUC); });
}

void Listacurso::userSetOpcaoAvaliacaoUCEstudante(const Consola& consola, int nAluno,
                                                  int codigoUC) {
  alteraAlunos(nAluno, [&](Estudantes& e) { e.userSetOpcaoAvaliacaoUC(consola, codigoUC); });
}

void Listacurso::atualizaNotaFinalUCEstudante(std::ostream& saida, int nAluno, int codigoUC) {
  alteraAlunos(nAluno, [&](Estudantes& e) { e.atualizaNotaFinalUC(saida, codigoUC); });
}

size_t Listacurso::removeAlunos(int nAluno) {
  size_t removidos = 0;
  for (size_t i = 0; i < listaEstudantes.size();) {
    if (listaEstudantes[i].getNumAluno() != nAluno) {
      ++i;
      continue;
    }
    retrato.removeAluno(i, listaEstudantes[i]);
    listaEstudantes.erase(listaEstudantes.begin() + static_cast<std::ptrdiff_t>(i));
    ++removidos;
  }
  return removidos;
}

size_t Listacurso::removeUCAlunos(int nAluno, int codigoUC) {
  size_t removidas = 0;
  for (size_t i = 0; i < listaEstudantes.size(); ++i) {
    Estudantes& e = listaEstudantes[i];
    if (e.getNumAluno() != nAluno) continue;
    const std::vector<UC>& ucs = e.getListaUCs();
    for (size_t j = 0; j < ucs.size(); ++j) {
      if (ucs[j].getCodigo() != codigoUC) continue;
      retrato.removeUC(i, j, e);
      e.removeUC(j);
      ++removidas;
      break;
    }
  }
  return removidas;
}

void Listacurso::imprimeInfoEstudantes(std::ostream& saida, int numero, TotalEctsCurso totalCurso) {
  for (Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == numero) e.imprimeInfoEstudante(saida, totalCurso);
  }
}

void Listacurso::imprimeInfoEstudantes(std::ostream& saida, int numero, int codigoUC) const {
  for (const Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == numero) e.imprimeInfoEstudante(saida, codigoUC);
  }
}

void Listacurso::imprimeInfoUCcurso(std::ostream& saida, int codigo) const {
  for (const UC& uc : listaUCsCurso) {
    if (uc.getCodigo() == codigo) uc.imprimeInfoUCcurso(saida);
  }
}

void Listacurso::imprimeInfoTodasUCscurso(std::ostream& saida) const {
  for (const UC& uc : listaUCsCurso) uc.imprimeInfoUCcurso(saida);
}

void Listacurso::imprimeInfoUCs(std::ostream& saida) const {
  imprimeCabecalho(saida, TXT("Código"), larguraCodigo, "Nome da Unidade Curricular",
                   larguraFicheiro);
  saida << std::endl;
  regua(saida, larguraLinha, linha);
  for (const UC& uc : listaUCsCurso) uc.imprimeUCcodigoNome(saida);
  regua(saida, larguraLinha, linha);
}

void Listacurso::imprimeEstudantesDisponiveis(std::ostream& saida) const {
  imprimeCabecalho(saida, TXT("Nº de Aluno"), larguraCodigo, "Nome do Aluno", larguraFicheiro);
  saida << std::endl;
  regua(saida, larguraLinha, linha);
  // Printed before every choice of a student: each row is built whole in
  // one reused text and printed as one line (still flushed line by line).
  std::string texto;
  for (const Estudantes& e : listaEstudantes) {
    texto.clear();
    e.acrescentaLinhaTabela(texto);
    imprimeLinha(saida, texto);
  }
  regua(saida, larguraLinha, linha);
  saida << std::endl;
}

void Listacurso::setInfoUCsCurso(const std::vector<Estudantes>& estudantes) {
  for (UC& uc : listaUCsCurso) uc.limpaEstatisticas();
  const IndiceUCs indice = indexaUCs(listaUCsCurso);
  for (const Estudantes& e : estudantes) e.setAprovados(listaUCsCurso, indice);
}

void Listacurso::userSetEstudante(const Consola& consola, const std::vector<UC>& listaUnidadesCurso,
                                  const std::vector<Estudantes>& listaEstComp) {
  // Asked for before he is added: `listaEstComp` may be this very list.
  Estudantes novo = Estudantes::pedeNovoEstudante(consola, listaUnidadesCurso, listaEstComp);
  listaEstudantes.push_back(std::move(novo));
}

std::string Listacurso::conteudoFicheiroEstudantes() const {
  return formato::conteudoFicheiroEstudantes(listaEstudantes);
}

namespace {

void imprimeErroGravacao(std::ostream& mensagens, const std::string& nome, const Estado& erro) {
  mensagens << textoErroGravacao(nome, erro) << std::endl;
}

// The grade history beside the student file `nomeFicheiro`.
std::string nomeHistoricoDe(const std::string& nomeFicheiro, int curso) {
  const size_t barra = nomeFicheiro.find_last_of("/\\");
  const std::string pasta =
      barra == std::string::npos ? std::string() : nomeFicheiro.substr(0, barra + 1);
  return pasta + historico::nomeFicheiroHistorico(curso);
}

// The DATA, UTILIZADOR and MAQUINA of every line of a save made now.
historico::LinhaHistorico quemGrava() {
  const DonoBloqueio eu = esteProcesso();
  historico::LinhaHistorico quem;
  quem.data = historico::dataAgora();
  quem.utilizador = eu.utilizador;
  quem.maquina = eu.maquina;
  return quem;
}

// Why a history was set aside, in the user's words.
const char* textoDano(historico::Dano dano) {
  if (dano == historico::Dano::cabecalho) return TXT("não começa pela linha HISTORICO;1");
  return TXT("a última linha não pode ser lida");
}

// The history of the save: mended and its last save closed, or set aside
// when damaged (said on `mensagens`). A history that cannot be opened fails
// only a save that has lines for it (EscritaHistorico::comeca says so).
Estado preparaHistorico(historico::EscritaHistorico& historico, const std::string& nome,
                        const IdentidadeFicheiro& atual, const std::string& origem,
                        std::ostream& mensagens) {
  historico::Dano dano = historico::Dano::nenhum;
  std::string posto;
  Estado preparado = historico.prepara(atual, origem, &dano, &posto);
  if (dano != historico::Dano::nenhum && !posto.empty()) {
    mensagens << TXT("ATENÇÃO: O histórico ") << nome << TXT(" está danificado (")
              << textoDano(dano) << TXT(") e foi guardado como ") << posto
              << TXT("; começa um histórico novo") << std::endl;
  }
  return preparado;
}

}  // namespace

// The lines of the save, from the comparison with what the file held: the
// history gets them in pieces, never all held at once (an import may change
// millions of values), between "inicio" and "identidade" (the identities of
// the file before and after), flushed before the caller renames. A save
// that changes nothing writes nothing.
Estado Listacurso::escreveHistorico(historico::EscritaHistorico& historico,
                                    const std::string& origem, const IdentidadeFicheiro& antes,
                                    const IdentidadeFicheiro& depois) const {
  historico::LinhaHistorico linha;
  Estado erro;
  comparaEstudantes(retrato, listaEstudantes, linha, [&](historico::LinhaHistorico&) {
    if (!erro.ok()) return;
    if (!historico.comecada()) erro = historico.comeca(origem);
    if (erro.ok()) erro = historico.escreve(linha);
  });
  if (erro.ok() && historico.comecada()) erro = historico.identifica(antes, depois);
  return erro;
}

Listacurso::Gravacao Listacurso::gravaEstudantes(const std::string& nomeFicheiro,
                                                 std::ostream& mensagens, bool confirma,
                                                 const std::string& origem) {
  IdentidadeFicheiro atual;
  // From the identity check to the rename, one critical section for every
  // pauta process on this course: of N sessions that save at once, the first
  // replaces the file and each other one sees it changed.
  pontoPausa("gravacao-seccao");
  SeccaoCurso seccao;
  Estado erro = seccao.entra(nomeFicheiro, avisaEspera(curso, mensagens));
  if (!erro.ok()) {
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return Gravacao::falhou;
  }
  // Only the identity of what the file holds now: a large file is not read
  // into memory beside the course.
  erro = identificaFicheiro(nomeFicheiro, &atual);
  if (!erro.ok() && erro.causa() != Causa::naoExiste) {
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return Gravacao::falhou;
  }
  // Whatever a save interrupted before left in the history is told before
  // this one replaces anything (what it tells hangs on the file as it is).
  const std::string nomeHistorico = nomeHistoricoDe(nomeFicheiro, curso);
  historico::EscritaHistorico historico(nomeHistorico, nomeFicheiro, quemGrava());
  erro = preparaHistorico(historico, nomeHistorico, atual, origem, mensagens);
  if (!erro.ok()) {
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return Gravacao::falhou;
  }
  if (identidadeConhecida && !mesmoConteudo(atual, identidade)) {
    return gravaConflito(nomeFicheiro, historico, seccao, atual, mensagens, origem);
  }
  if (!guardaOriginal(nomeFicheiro, atual, mensagens)) return Gravacao::falhou;
  NovoConteudo novo;
  erro = substituiEstudantes(nomeFicheiro, historico, origem, atual, novo, confirma);
  if (!erro.ok()) {
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return Gravacao::falhou;
  }
  historico.conclui();
  seccao.sai();
  identidade = novo.identidade();
  identidadeConhecida = true;
  retrato.inicia(listaEstudantes.size());
  anunciaGravacao(nomeFicheiro, mensagens, confirma);
  return Gravacao::gravado;
}

// The new file written first, its identity in the history's lines, then the
// rename: a save interrupted before it is voided by the next writer, one
// interrupted after it is told as done. A rename that fails voids the
// lines at once.
Estado Listacurso::substituiEstudantes(const std::string& nomeFicheiro,
                                       historico::EscritaHistorico& historico,
                                       const std::string& origem, const IdentidadeFicheiro& atual,
                                       NovoConteudo& novo, bool confirma) {
  Estado erro = novo.escreve(nomeFicheiro, formato::pedacosFicheiroEstudantes(listaEstudantes),
                             Alvo::seguirLigacao);
  if (!erro.ok()) return erro;
  erro = escreveHistorico(historico, origem, atual, novo.identidade());
  if (!erro.ok()) {
    historico.anula();
    return erro;
  }
  // Once renamed, the changes are saved: a signal from then on says so.
  const std::string anuncio = textoGravacao(nomeFicheiro, confirma);
  erro = novo.substitui([&anuncio] { consolaGravacaoFeita(anuncio); });
  if (!erro.ok()) historico.anula();
  return erro;
}

// Someone else changed the file: keep both versions, replace neither. The
// history names the conflict file, so its lines are written once the name
// is chosen and before the file gets it; a name taken meanwhile voids them
// and the next one is tried.
Listacurso::Gravacao Listacurso::gravaConflito(const std::string& nomeFicheiro,
                                               historico::EscritaHistorico& historico,
                                               SeccaoCurso& seccao, const IdentidadeFicheiro& atual,
                                               std::ostream& mensagens, const std::string& origem) {
  NovoConteudo novo;
  const std::string base = nomeFicheiro + sufixoConflito;
  Estado erro =
      novo.escreveNovo(base, formato::pedacosFicheiroEstudantes(listaEstudantes), nomeFicheiro);
  std::string conflito;
  std::string anuncio;
  for (int n = 0; erro.ok(); ++n) {
    conflito = nomeNumerado(base, n);
    if (nomeOcupado(conflito)) continue;
    std::string origemConflito = origem;
    origemConflito.append(" ").append(historico::prefixoConflito).append(conflito);
    erro = escreveHistorico(historico, origemConflito, IdentidadeFicheiro(), novo.identidade());
    if (!erro.ok()) {
      historico.anula();
      break;
    }
    anuncio = textoConflito(nomeFicheiro, conflito);
    erro = novo.nomeia(conflito, [&anuncio] { consolaGravacaoFeita(anuncio); });
    if (erro.ok()) break;
    historico.anula();
    if (erro.causa() == Causa::jaExiste) erro = Estado();
  }
  if (!erro.ok()) {
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return Gravacao::falhou;
  }
  historico.conclui();
  seccao.sai();
  identidade = atual;
  retrato.inicia(listaEstudantes.size());
  mensagens << anuncio << std::flush;
  consolaGravacaoAnunciada();
  return Gravacao::conflito;
}

std::string Listacurso::textoConflito(const std::string& nomeFicheiro,
                                      const std::string& conflito) {
  return "ERRO: O ficheiro " + nomeFicheiro +
         TXT(" foi alterado por outro programa depois de ser carregado; as alterações desta "
             "sessão foram gravadas em ") +
         conflito + "\n";
}

// Before the first save of a file whose lines were skipped, that was UTF-8
// or that held numbers written another way, its original goes to the first
// free backup name.
bool Listacurso::guardaOriginal(const std::string& nomeFicheiro, const IdentidadeFicheiro& atual,
                                std::ostream& mensagens) {
  if (!(linhasIgnoradas || origemUtf8 || numerosOutraForma) || copiaFeita || !atual.existe) {
    return true;
  }
  std::string original;
  Estado erro = leFicheiroNormal(nomeFicheiro, &original);
  if (erro.ok()) {
    erro = gravaFicheiroNovo(nomeFicheiro + sufixoCopia, original, nomeFicheiro, &copiaPorAnunciar);
  }
  if (!erro.ok()) {
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return false;
  }
  copiaFeita = true;
  return true;
}

// The backup made (once it is kept by a save that succeeded) and the
// confirmation, as the save says them.
std::string Listacurso::textoGravacao(const std::string& nomeFicheiro, bool confirma) const {
  std::string texto;
  if (!copiaPorAnunciar.empty()) {
    if (linhasIgnoradas) {
      texto += TXT("ATENÇÃO: Foram ignoradas linhas do ficheiro original, que foi copiado para ") +
               copiaPorAnunciar + "\n";
    }
    if (origemUtf8) {
      texto += TXT("ATENÇÃO: O ficheiro original estava em UTF-8 e foi copiado para ") +
               copiaPorAnunciar + "\n";
    }
    if (numerosOutraForma) {
      texto += TXT("ATENÇÃO: O ficheiro original tinha números escritos de outra forma e foi "
                   "copiado para ") +
               copiaPorAnunciar + "\n";
    }
  }
  if (confirma) {
    texto += TXT("\n ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO ") + nomeFicheiro +
             " ----------\n\n";
  }
  return texto;
}

void Listacurso::anunciaGravacao(const std::string& nomeFicheiro, std::ostream& mensagens,
                                 bool confirma) {
  mensagens << textoGravacao(nomeFicheiro, confirma) << std::flush;
  copiaPorAnunciar.clear();
  consolaGravacaoAnunciada();
}

int Listacurso::gravaFicheiro(const std::string& nomeFicheiro, std::ostream& mensagens) {
  return gravaEstudantes(nomeFicheiro, mensagens) != Gravacao::falhou ? 1 : 0;
}
