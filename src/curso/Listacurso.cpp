#include "Listacurso.h"

#include <optional>
#include <ostream>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "BloqueioCurso.h"
#include "Cp1252.h"
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

// The history's lines are handed to the file in pieces of about this size.
const size_t tamanhoPedacoHistorico = 1 << 20;

// Opens the history `nome` for appending (a new one starts with its first
// line) and sets `anterior` to its last VERIFICACAO, read from its head and
// tail only: a save stays as fast however long the history grows.
Estado abreHistorico(FicheiroAcrescentado& ficheiro, const std::string& nome,
                     std::string* anterior) {
  Estado aberto = ficheiro.abre(nome, historico::inicioFicheiro);
  if (!aberto.ok()) return aberto;
  Estado razao;
  if (historico::ultimaVerificacao(nome, *anterior, &razao) != historico::EstadoFim::valido) {
    ficheiro.fecha();
    // A history missing at this point went while being read: not one to
    // append to either.
    if (razao.ok() || razao.causa() == Causa::naoExiste) {
      return Estado(Causa::historicoInvalido, nome);
    }
    return razao;
  }
  return Estado();
}

}  // namespace

// The history is opened at the first line, so a save that changes nothing
// neither writes nor creates it. Its lines go to the file in pieces, never
// all held at once (an import may change millions of values), and are
// flushed before the caller replaces the student file. On failure whatever
// was appended is taken back.
Estado Listacurso::escreveHistorico(const std::string& nomeFicheiro, const std::string& origem,
                                    FicheiroAcrescentado& ficheiro) const {
  const std::string nome = nomeHistoricoDe(nomeFicheiro, curso);
  // One line, filled in place by the comparison and written at once.
  historico::LinhaHistorico linha;
  linha.origem = origem;
  std::optional<historico::EscritorLinhas> escritor;
  std::string texto;
  Estado erro;
  const auto despeja = [&]() {
    if (erro.ok() && !texto.empty()) erro = ficheiro.acrescenta(texto);
    texto.clear();
  };
  comparaEstudantes(retrato, listaEstudantes, linha, [&](historico::LinhaHistorico&) {
    if (!erro.ok()) return;
    if (!escritor) {
      const DonoBloqueio eu = esteProcesso();
      linha.data = historico::dataAgora();
      linha.utilizador = eu.utilizador;
      linha.maquina = eu.maquina;
      std::string anterior;
      erro = abreHistorico(ficheiro, nome, &anterior);
      if (!erro.ok()) return;
      escritor.emplace(linha, anterior);
    }
    escritor->escreve(linha, texto);
    if (texto.size() >= tamanhoPedacoHistorico) despeja();
  });
  despeja();
  if (escritor && erro.ok()) erro = ficheiro.descarrega();
  if (!erro.ok()) (void)ficheiro.repoe();
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
  Estado erro = seccao.entra(nomeFicheiro);
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
  if (identidadeConhecida && !mesmoConteudo(atual, identidade)) {
    return gravaConflito(nomeFicheiro, atual, seccao, mensagens, origem);
  }
  if (!guardaOriginal(nomeFicheiro, atual, mensagens)) return Gravacao::falhou;
  IdentidadeFicheiro nova;
  erro = substituiEstudantes(nomeFicheiro, origem, &nova);
  if (!erro.ok()) {
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return Gravacao::falhou;
  }
  seccao.sai();
  identidade = nova;
  identidadeConhecida = true;
  retrato.inicia(listaEstudantes.size());
  anunciaGravacao(nomeFicheiro, mensagens, confirma);
  return Gravacao::gravado;
}

// The history's lines first, then the student file replaced; when the
// replacement fails or a signal ends the process before it, the lines are
// taken back: the history never records a save that did not happen.
Estado Listacurso::substituiEstudantes(const std::string& nomeFicheiro, const std::string& origem,
                                       IdentidadeFicheiro* nova) const {
  FicheiroAcrescentado ficheiroHistorico;
  Estado erro = escreveHistorico(nomeFicheiro, origem, ficheiroHistorico);
  if (!erro.ok()) return erro;
  // Kept in the same step as the rename: a signal before it takes the lines
  // back (the clean-up), one after it finds them kept.
  erro = substituiFicheiro(nomeFicheiro, formato::pedacosFicheiroEstudantes(listaEstudantes), nova,
                           Alvo::seguirLigacao, [&] { ficheiroHistorico.fecha(); });
  if (!erro.ok()) (void)ficheiroHistorico.repoe();
  return erro;
}

// Someone else changed the file: keep both versions, replace neither.
Listacurso::Gravacao Listacurso::gravaConflito(const std::string& nomeFicheiro,
                                               const IdentidadeFicheiro& atual, SeccaoCurso& seccao,
                                               std::ostream& mensagens, const std::string& origem) {
  std::string conflito;
  Estado erro = gravaFicheiroNovo(nomeFicheiro + sufixoConflito,
                                  formato::pedacosFicheiroEstudantes(listaEstudantes), nomeFicheiro,
                                  &conflito);
  if (!erro.ok()) {
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return Gravacao::falhou;
  }
  // The history names the conflict file, so it is written after it; if it
  // cannot be, the conflict file goes too and nothing was saved.
  FicheiroAcrescentado ficheiroHistorico;
  const std::string origemConflito = origem + " " + historico::prefixoConflito + conflito;
  erro = escreveHistorico(nomeFicheiro, origemConflito, ficheiroHistorico);
  if (!erro.ok()) {
    (void)removeFicheiro(conflito);
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return Gravacao::falhou;
  }
  ficheiroHistorico.fecha();
  seccao.sai();
  identidade = atual;
  retrato.inicia(listaEstudantes.size());
  mensagens << "ERRO: O ficheiro " << nomeFicheiro
            << TXT(" foi alterado por outro programa depois de ser carregado; as alterações "
                   "desta sessão foram gravadas em ")
            << conflito << std::endl;
  return Gravacao::conflito;
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
// confirmation.
void Listacurso::anunciaGravacao(const std::string& nomeFicheiro, std::ostream& mensagens,
                                 bool confirma) {
  if (!copiaPorAnunciar.empty()) {
    if (linhasIgnoradas) {
      mensagens
          << TXT("ATENÇÃO: Foram ignoradas linhas do ficheiro original, que foi copiado para ")
          << copiaPorAnunciar << std::endl;
    }
    if (origemUtf8) {
      mensagens << TXT("ATENÇÃO: O ficheiro original estava em UTF-8 e foi copiado para ")
                << copiaPorAnunciar << std::endl;
    }
    if (numerosOutraForma) {
      mensagens << TXT("ATENÇÃO: O ficheiro original tinha números escritos de outra forma e foi "
                       "copiado para ")
                << copiaPorAnunciar << std::endl;
    }
    copiaPorAnunciar.clear();
  }
  if (confirma) {
    mensagens << std::endl;
    mensagens << TXT(" ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO ") << nomeFicheiro
              << " ----------" << std::endl;
    mensagens << std::endl;
  }
}

int Listacurso::gravaFicheiro(const std::string& nomeFicheiro, std::ostream& mensagens) {
  return gravaEstudantes(nomeFicheiro, mensagens) != Gravacao::falhou ? 1 : 0;
}
