#include "Listacurso.h"

#include <iostream>
#include <string_view>
#include <unordered_map>

#include "Cp1252.h"
#include "LeitorLinhas.h"
#include "Nomes.h"
#include "Numeros.h"
#include "Tabela.h"

namespace {

// A unit file's name: after any leading '-', a piece up to a '-', then
// exactly "UC.txt".
bool nomeDeFicheiroUC(const std::string& nome) {
  size_t inicio = nome.find_first_not_of('-');
  if (inicio == std::string::npos) return false;
  size_t traco = nome.find('-', inicio);
  return traco != std::string::npos &&
         nome.compare(traco, std::string::npos, sufixoFicheiroUC) == 0;
}

// Appends a student's block of the student file.
void acrescentaBloco(std::string& destino, const Estudantes& e) {
  destino += inicioRegistoAluno;
  acrescentaInteiro(destino, e.getNumAluno());
  destino += ';';
  destino += e.nomeAluno();
  destino += "\r\n";
  e.gravaFicheiroEstudanteUC(destino);
  destino += "\r\n";
}

// The student file is saved in pieces of whole blocks of about this size: a
// large course without its whole file in memory, in few writes.
const size_t tamanhoPedaco = 1 << 20;

Pedacos pedacosFicheiroEstudantes(const std::vector<Estudantes>& estudantes) {
  size_t seguinte = 0;
  std::string texto;
  return [&estudantes, seguinte, texto](std::string_view& pedaco) mutable {
    texto.clear();
    while (seguinte < estudantes.size() && texto.size() < tamanhoPedaco) {
      acrescentaBloco(texto, estudantes[seguinte++]);
    }
    pedaco = texto;
    return !texto.empty();
  };
}

void imprimeCabecalho(const char* coluna1, int largura1, const char* coluna2, int largura2) {
  regua(std::cout, larguraLinha, linha);
  celula(std::cout, "", larguraInicial, separador);
  celula(std::cout, coluna1, largura1, separador);
  celula(std::cout, coluna2, largura2, separador);
}

}  // namespace

Listacurso::Listacurso()
    : curso(0),
      n(0),
      linhasIgnoradas(false),
      origemUtf8(false),
      copiaFeita(false),
      identidadeConhecida(false) {}

Listacurso::~Listacurso() = default;

void Listacurso::listaFicheiros() {
  for (const std::string& nome : listaNomesPasta(".")) {
    if (!nomeDeFicheiroUC(nome)) continue;
    Cmenu entrada(nome);
    avisaTextoUtf8(nome, entrada.analise(), std::cout);
    if (entrada.valido()) {
      menu.push_back(entrada);
    } else if (!entrada.razaoNaoListado().empty()) {
      std::cout << TXT("ATENÇÃO: O ficheiro ") << nome << TXT(" não foi listado (")
                << entrada.razaoNaoListado() << ")" << std::endl;
    }
  }
}

void Listacurso::imprimeCursosDisponiveis() const {
  std::cout << std::endl;
  Cmenu layout;
  regua(std::cout, larguraLinha, layout.linha);
  celula(std::cout, "", layout.larguraInicial, layout.separador);
  celula(std::cout, TXT("Código"), layout.larguraCodigo, layout.separador);
  celula(std::cout, "Nome do Curso", layout.larguraNome, layout.separador);
  celula(std::cout, "Ficheiro", layout.larguraFicheiro, layout.separador);
  std::cout << std::endl;
  regua(std::cout, larguraLinha, layout.linha);
  for (const Cmenu& entrada : menu) entrada.imprimeCurso();
  regua(std::cout, larguraLinha, layout.linha);
  std::cout << std::endl;
}

void Listacurso::imprimeCursoEscolhido(int ncurso) const {
  for (const Cmenu& entrada : menu) {
    if (entrada.getCodigo() == ncurso) entrada.imprimeCurso();
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
  std::string_view texto;
  if (!ficheiro.proximaLinha(texto)) return;  // the course record
  UC uc;
  while (ficheiro.proximaLinha(texto)) {
    if (texto.empty()) continue;
    if (UC::interpreta(texto, uc, ficheiro.mensagens())) {
      listaUCsCurso.push_back(uc);
    } else {
      ficheiro.ignoraLinha();
    }
  }
}

void Listacurso::setListaEstudantes(int nCurso, int nEstudantes, LeitorLinhas& ficheiro) {
  curso = nCurso;
  n = nEstudantes;
  if (n > 0) listaEstudantes.reserve(static_cast<size_t>(n));
  // Every line is walked even without student records: a line that is not
  // used is reported, never dropped without a word at the next save.
  const std::string_view inicio = inicioRegistoAluno;
  std::string_view texto;
  // Students of a course mostly take as many units as the one before them.
  size_t unidadesPrevistas = 0;
  while (ficheiro.proximaLinha(texto)) {
    if (texto.size() <= inicio.size() || texto.compare(0, inicio.size(), inicio) != 0) {
      if (!linhaEmBranco(texto)) ficheiro.ignoraLinha();
      continue;
    }
    Estudantes& estudante = listaEstudantes.emplace_back();
    if (Estudantes::leBloco(texto.substr(inicio.size()), ficheiro, estudante, unidadesPrevistas)) {
      unidadesPrevistas = estudante.numeroUCs();
    } else {
      listaEstudantes.pop_back();
    }
  }
  linhasIgnoradas = linhasIgnoradas || ficheiro.houveLinhasIgnoradas();
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

int Listacurso::validaDadosEfoliosUCEstudantes(int nAluno, int codigoUC) const {
  int resposta = 0;
  for (const Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == nAluno) resposta = e.validaDadosEfoliosUC(codigoUC) != 0 ? 1 : 0;
  }
  return resposta;
}

void Listacurso::userSetNotaEfolioUCEstudante(int nAluno, int codigoUC, char letra) {
  for (Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == nAluno) e.userSetNotaEfolioUC(codigoUC, letra);
  }
}

void Listacurso::userSetNotaProvaFinalUCEstudante(int nAluno, int codigoUC) {
  for (Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == nAluno) e.userSetNotaProvaFinalUC(codigoUC);
  }
}

void Listacurso::userSetNotaExameRecursoUCEstudante(int nAluno, int codigoUC) {
  for (Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == nAluno) e.userSetExameRecursoUC(codigoUC);
  }
}

void Listacurso::userSetOpcaoAvaliacaoUCEstudante(int nAluno, int codigoUC) {
  for (Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == nAluno) e.userSetOpcaoAvaliacaoUC(codigoUC);
  }
}

void Listacurso::atualizaNotaFinalUCEstudante(int nAluno, int codigoUC) {
  for (Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == nAluno) e.atualizaNotaFinalUC(codigoUC);
  }
}

void Listacurso::imprimeInfoEstudantes(int numero) {
  for (Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == numero) e.imprimeInfoEstudante();
  }
}

void Listacurso::imprimeInfoEstudantes(int numero, int codigoUC) const {
  for (const Estudantes& e : listaEstudantes) {
    if (e.getNumAluno() == numero) e.imprimeInfoEstudante(codigoUC);
  }
}

void Listacurso::imprimeInfoUCcurso(int codigo) const {
  for (const UC& uc : listaUCsCurso) {
    if (uc.getCodigo() == codigo) uc.imprimeInfoUCcurso();
  }
}

void Listacurso::imprimeInfoTodasUCscurso() const {
  for (const UC& uc : listaUCsCurso) uc.imprimeInfoUCcurso();
}

void Listacurso::imprimeInfoUCs() const {
  imprimeCabecalho(TXT("Código"), larguraCodigo, "Nome da Unidade Curricular", larguraFicheiro);
  std::cout << std::endl;
  regua(std::cout, larguraLinha, linha);
  for (const UC& uc : listaUCsCurso) uc.imprimeUCcodigoNome();
  regua(std::cout, larguraLinha, linha);
}

void Listacurso::imprimeEstudantesDisponiveis() const {
  imprimeCabecalho(TXT("Nº de Aluno"), larguraCodigo, "Nome do Aluno", larguraFicheiro);
  std::cout << std::endl;
  regua(std::cout, larguraLinha, linha);
  // Printed before every choice of a student: each row is built whole in
  // one reused text and printed as one line (still flushed line by line).
  std::string texto;
  for (const Estudantes& e : listaEstudantes) {
    texto.clear();
    e.acrescentaLinhaTabela(texto);
    imprimeLinha(std::cout, texto);
  }
  regua(std::cout, larguraLinha, linha);
  std::cout << std::endl;
}

void Listacurso::setInfoUCsCurso(const std::vector<Estudantes>& estudantes) {
  for (UC& uc : listaUCsCurso) uc.limpaEstatisticas();
  const IndiceUCs indice = indexaUCs(listaUCsCurso);
  for (const Estudantes& e : estudantes) e.setAprovados(listaUCsCurso, indice);
}

void Listacurso::userSetEstudante(const std::vector<UC>& listaUnidadesCurso,
                                  const std::vector<Estudantes>& listaEstComp) {
  listaEstudantes.emplace_back(listaUnidadesCurso, listaEstComp);
}

std::string Listacurso::conteudoFicheiroEstudantes() const {
  std::string conteudo;
  for (const Estudantes& e : listaEstudantes) acrescentaBloco(conteudo, e);
  return conteudo;
}

namespace {

void imprimeErroGravacao(std::ostream& mensagens, const std::string& nome,
                         const std::string& erro) {
  mensagens << TXT("ERRO: Não foi possivel gravar o ficheiro ") << nome << " (" << erro << ")"
            << std::endl;
}

}  // namespace

Listacurso::Gravacao Listacurso::gravaEstudantes(const std::string& nomeFicheiro,
                                                 std::ostream& mensagens, bool confirma) {
  IdentidadeFicheiro atual;
  std::string erro;
  // Only the identity of what the file holds now: a large file is not read
  // into memory beside the course.
  if (identificaFicheiro(nomeFicheiro, &atual, &erro) == Leitura::ilegivel) {
    imprimeErroGravacao(mensagens, nomeFicheiro, nomeFicheiro + ": " + erro);
    return Gravacao::falhou;
  }
  if (identidadeConhecida && !mesmoConteudo(atual, identidade)) {
    // Someone else changed the file: keep both versions, replace neither.
    std::string conflito;
    if (!gravaFicheiroNovo(nomeFicheiro + sufixoConflito,
                           pedacosFicheiroEstudantes(listaEstudantes), nomeFicheiro, &conflito,
                           &erro)) {
      imprimeErroGravacao(mensagens, nomeFicheiro, erro);
      return Gravacao::falhou;
    }
    identidade = atual;
    mensagens
        << "ERRO: O ficheiro " << nomeFicheiro
        << TXT(" foi alterado por outro programa depois de ser carregado; as alterações desta "
               "sessão foram gravadas em ")
        << conflito << std::endl;
    return Gravacao::conflito;
  }
  if ((linhasIgnoradas || origemUtf8) && !copiaFeita && atual.existe) {
    std::string original;
    if (leFicheiroNormal(nomeFicheiro, &original, nullptr, &erro) != Leitura::lido ||
        !gravaFicheiroNovo(nomeFicheiro + sufixoCopia, original, nomeFicheiro, &copiaPorAnunciar,
                           &erro)) {
      imprimeErroGravacao(mensagens, nomeFicheiro, erro);
      return Gravacao::falhou;
    }
    copiaFeita = true;
  }
  IdentidadeFicheiro nova;
  if (!substituiFicheiro(nomeFicheiro, pedacosFicheiroEstudantes(listaEstudantes), &erro, &nova)) {
    imprimeErroGravacao(mensagens, nomeFicheiro, erro);
    return Gravacao::falhou;
  }
  identidade = nova;
  identidadeConhecida = true;
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
    copiaPorAnunciar.clear();
  }
  if (confirma) {
    mensagens << std::endl;
    mensagens << TXT(" ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO ") << nomeFicheiro
              << " ----------" << std::endl;
    mensagens << std::endl;
  }
  return Gravacao::gravado;
}

int Listacurso::gravaFicheiro(const std::string& nomeFicheiro) {
  return gravaEstudantes(nomeFicheiro, std::cout) != Gravacao::falhou ? 1 : 0;
}
