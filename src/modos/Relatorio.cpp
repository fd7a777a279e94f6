#include "Relatorio.h"

#include <ctime>
#include <iostream>

#include "CarregaCurso.h"
#include "Cp1252.h"
#include "DistribuicaoNotas.h"
#include "EstiloPagina.h"
#include "Execucao.h"
#include "Ficheiros.h"
#include "FormatoCsv.h"
#include "FormatoHistorico.h"
#include "GraficoNotas.h"
#include "Nomes.h"
#include "RegistosPagina.h"
#include "Relogio.h"
#include "VisaoGeral.h"

namespace {

// The page is made in CP1252, like every text of the program, and handed
// out in UTF-8 pieces of about this size.
const size_t tamanhoPedaco = 1 << 20;

// --- Start of the page: head, course, totals, overview ---

void acrescentaCabecalho(TextoPagina& pagina, const IdentificacaoCurso& curso, bool comHistorico) {
  pagina += "<!DOCTYPE html>\n<html lang=\"pt\">\n<head>\n<meta charset=\"utf-8\">\n";
  pagina += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  pagina += R"(<meta name="generator" content=")";
  pagina += textoVersao();
  pagina += TXT("\">\n<title>Relatório do curso ");
  acrescentaInteiro(pagina, curso.codigo);
  if (!curso.nome.empty()) {
    pagina += TXT(" — ");
    pagina.acrescentaEscapado(curso.nome);
  }
  pagina += "</title>\n<style>";
  pagina += estiloPagina;
  if (comHistorico) pagina += estiloHistorico;
  pagina += "</style>\n</head>\n<body>\n";
}

void acrescentaResumo(TextoPagina& pagina, const IdentificacaoCurso& curso, size_t unidades,
                      size_t estudantes, const TotaisCurso& totais) {
  pagina += "<header id=\"curso\">\n<h1>";
  if (curso.nome.empty()) {
    pagina += "Curso ";
    acrescentaInteiro(pagina, curso.codigo);
  } else {
    pagina.acrescentaEscapado(curso.nome);
  }
  pagina += "</h1>\n<p class=\"sub\">Curso <span class=\"codigo\">";
  acrescentaInteiro(pagina, curso.codigo);
  pagina += TXT("</span> · <span class=\"ects-curso\">");
  acrescentaInteiro(pagina, curso.totalEcts.ects);
  pagina += TXT("</span> ECTS · relatório gerado em <time>");
  pagina.acrescentaEscapado(curso.geradoEm);
  pagina += "</time></p>\n";
  acrescentaTotais(pagina, estudantes, unidades, totais);
  pagina +=
      TXT("<p class=\"saltos\"><a href=\"#unidades\">Distribuição das notas por unidade "
          "curricular</a> · <a href=\"#estudantes\">Estudantes</a></p>\n</header>\n");
}

// --- Units: figures and bar chart ---

void acrescentaUnidade(TextoPagina& pagina, size_t posicao, const UC& unidade,
                       const DistribuicaoUC& dist) {
  pagina += R"(<article class="uc" id="uc-)";
  acrescentaInteiro(pagina, static_cast<long long>(posicao) + 1);
  pagina += "\">\n<h3><span class=\"codigo\">";
  acrescentaInteiro(pagina, unidade.getCodigo());
  pagina += TXT("</span> — <span class=\"nome\">");
  pagina.acrescentaEscapado(unidade.nomeUC());
  pagina += "</span></h3>\n<p class=\"ident\">";
  acrescentaInteiro(pagina, unidade.getAno());
  pagina += TXT(".º ano · ");
  acrescentaInteiro(pagina, unidade.getsemestre());
  pagina += TXT(".º semestre · ");
  acrescentaInteiro(pagina, unidade.getEcts());
  pagina += " ECTS</p>\n";
  acrescentaFigurasUnidade(pagina, unidade, dist);
  acrescentaGrafico(pagina, unidade, dist);
  pagina += "</article>\n";
}

// --- Students: the index, then each one's totals and whole record ---

// The students' index, folded; the page's script adds its search field.
void acrescentaIndiceEstudantes(TextoPagina& pagina, const std::vector<Estudantes>& estudantes) {
  pagina += TXT("<details id=\"indice-estudantes\"><summary>Índice dos estudantes (");
  acrescentaInteiro(pagina, static_cast<long long>(estudantes.size()));
  pagina += ")</summary>\n<ol class=\"colunas\">\n";
  for (size_t i = 0; i < estudantes.size(); ++i) {
    pagina += "<li><a href=\"#al-";
    acrescentaInteiro(pagina, static_cast<long long>(i) + 1);
    pagina += "\">";
    acrescentaInteiro(pagina, estudantes[i].getNumAluno());
    pagina += ' ';
    pagina.acrescentaEscapado(estudantes[i].nomeAluno());
    pagina += "</a></li>\n";
  }
  pagina += "</ol>\n</details>\n";
  pagina +=
      TXT("<noscript><p class=\"legenda\">As notas de cada estudante por unidade curricular são "
          "mostradas pelo script da página: ative os scripts para as ver.</p></noscript>\n");
}

const char* const cabecalhoHistorico =
    TXT("<table>\n<thead><tr><th>Data</th><th>Utilizador</th><th>Origem</th><th>UC</th>"
        "<th>Campo</th><th>Antes</th><th>Depois</th></tr></thead>\n<tbody>\n");

// The changes saved to the student's record, newest first, folded.
void acrescentaHistoricoAluno(TextoPagina& pagina,
                              const std::vector<historico::LinhaHistorico>& linhas) {
  pagina += TXT("<details class=\"historico\"><summary>Alterações gravadas (");
  acrescentaInteiro(pagina, static_cast<long long>(linhas.size()));
  pagina += ")</summary>\n";
  pagina += cabecalhoHistorico;
  for (const historico::LinhaHistorico& linha : linhas) {
    // The date without its 'T', the values with the page's decimal comma.
    std::string data = linha.data;
    if (data.size() > 10 && data[10] == 'T') data[10] = ' ';
    const bool valores = linha.campo != historico::campoAluno && linha.campo != historico::campoUc;
    const std::string antes = valores ? csv::comVirgula(linha.antes) : linha.antes;
    const std::string depois = valores ? csv::comVirgula(linha.depois) : linha.depois;
    const std::string* celulas[] = {
        &data, &linha.utilizador, &linha.origem, &linha.uc, &linha.campo, &antes, &depois};
    // A correction or removal is marked, its origin led by the word.
    const bool correcao = historico::origemDeCorrecao(linha.origem);
    pagina += correcao ? "<tr class=correcao>" : "<tr>";
    for (const std::string* celula : celulas) {
      // Escaped now: the lines are read again for the next student.
      pagina += "<td>";
      if (correcao && celula == &linha.origem) pagina += TXT("<strong>Correção</strong> ");
      pagina += escapaHtml(*celula);
    }
    pagina += "\n";
  }
  pagina += "</tbody>\n</table>\n</details>\n";
}

// A student's number and name, his totals, then his records (a table the
// page's script fills from his line of RegistosPagina), then his saved
// changes. The articles are most of a large page: few elements (each one
// costs a browser more than its text), attributes unquoted, as HTML allows.
void acrescentaAluno(TextoPagina& pagina, size_t posicao, const Estudantes& estudante,
                     const TotalEctsCurso& totalCurso, historico::IndiceHistorico* historico,
                     std::vector<historico::LinhaHistorico>& linhas) {
  pagina += "<article class=aluno id=al-";
  acrescentaInteiro(pagina, static_cast<long long>(posicao) + 1);
  pagina += "><h3>";
  acrescentaInteiro(pagina, estudante.getNumAluno());
  pagina += TXT(" — ");
  pagina.acrescentaEscapado(estudante.nomeAluno());
  pagina += "</h3><p class=ident>ECTS aprovados: ";
  acrescentaInteiro(pagina, estudante.calculaTotalEcts());
  pagina += TXT(" · média ponderada: ");
  pagina += textoReal(estudante.mediaPonderada(), precisaoMedia);
  pagina += TXT(" · ");
  pagina += textoReal(estudante.calculaPercentagemCurso(totalCurso), precisaoPercentagemCurso);
  pagina += " % dos ";
  acrescentaInteiro(pagina, totalCurso.ects);
  pagina += " ECTS do curso</p>";
  pagina += estudante.getListaUCs().empty() ? "<p>Sem unidades curriculares.</p>"
                                            : "<table class=registo></table>";
  if (historico != nullptr && historico->linhasDoAluno(estudante.getNumAluno(), linhas)) {
    pagina += '\n';
    acrescentaHistoricoAluno(pagina, linhas);
  }
  pagina += "</article>\n";
}

// After the articles: the end of their section, then the block of the
// students' lines of records, one per student in the articles' order.
void acrescentaInicioRegistos(TextoPagina& pagina) {
  pagina += "</section>\n<footer>Gerado por ";
  pagina += textoVersao();
  pagina += ".</footer>\n<script type=\"text/plain\" id=\"registos\">";
}

// The end of the page: the tables the records refer to, and the script.
void acrescentaFim(TextoPagina& pagina, const RegistosPagina& registos) {
  pagina += "</script>\n<script type=\"application/json\" id=\"dados-registos\">";
  registos.acrescentaDados(pagina);
  pagina += "</script>\n<script>";
  pagina += scriptPagina;
  pagina += "</script>\n</body>\n</html>\n";
}

// --- The page in pieces ---

// Hands out the page: first the head, totals, overview and units, then the
// students a piece at a time, then the end; each piece made in CP1252 and
// given in UTF-8.
class GeradorRelatorio {
 public:
  GeradorRelatorio(const IdentificacaoCurso& curso, const std::vector<UC>& unidades,
                   const std::vector<Estudantes>& estudantes, historico::IndiceHistorico* historico)
      : curso_(&curso),
        unidades_(&unidades),
        estudantes_(&estudantes),
        historico_(historico),
        registos_(unidades) {}

  bool operator()(std::string_view& pedaco) {
    // Converted a slice at a time: a text made long by a long name is
    // never held twice.
    while (!texto_.proximaFatia(fatia_, tamanhoPedaco)) {
      if (acabou_) return false;
      geraTexto();
    }
    utf8_.clear();
    cp1252::acrescentaUtf8(utf8_, fatia_);
    pedaco = utf8_;
    return true;
  }

 private:
  // The next text of the page: the beginning, some students' articles,
  // some students' lines of records, the end. The students are walked
  // twice, so that no part of the page is held until its end.
  void geraTexto() {
    texto_.clear();
    if (!comecou_) {
      comecou_ = true;
      acrescentaInicio();
    }
    const std::vector<Estudantes>& estudantes = *estudantes_;
    while (artigo_ < estudantes.size() && texto_.size() < tamanhoPedaco) {
      acrescentaAluno(texto_, artigo_, estudantes[artigo_], curso_->totalEcts, historico_, linhas_);
      ++artigo_;
    }
    if (artigo_ == estudantes.size() && !comRegistos_) {
      comRegistos_ = true;
      acrescentaInicioRegistos(texto_);
    }
    while (comRegistos_ && registo_ < estudantes.size() && texto_.size() < tamanhoPedaco) {
      if (registo_ != 0) texto_ += '\n';
      registos_.acrescentaRegistos(texto_, estudantes[registo_]);
      ++registo_;
    }
    if (comRegistos_ && registo_ == estudantes.size() && !acabou_) {
      acabou_ = true;
      acrescentaFim(texto_, registos_);
    }
  }

  void acrescentaInicio() {
    acrescentaCabecalho(texto_, *curso_, historico_ != nullptr);
    const std::vector<DistribuicaoUC> distribuicoes = distribuiNotas(*unidades_, *estudantes_);
    const TotaisCurso totais = somaTotais(*estudantes_);
    acrescentaResumo(texto_, *curso_, unidades_->size(), estudantes_->size(), totais);
    acrescentaVisaoGeral(texto_, *unidades_, distribuicoes, totais);
    texto_ +=
        TXT("<section id=\"unidades\">\n<h2>Distribuição das notas por unidade curricular</h2>\n");
    for (size_t i = 0; i < unidades_->size(); ++i) {
      acrescentaUnidade(texto_, i, (*unidades_)[i], distribuicoes[i]);
    }
    texto_ += "</section>\n<section id=\"estudantes\">\n<h2>Estudantes</h2>\n";
    acrescentaIndiceEstudantes(texto_, *estudantes_);
  }

  const IdentificacaoCurso* curso_;
  const std::vector<UC>* unidades_;
  const std::vector<Estudantes>* estudantes_;
  historico::IndiceHistorico* historico_;
  RegistosPagina registos_;
  std::vector<historico::LinhaHistorico> linhas_;  // of one student at a time
  // The students next written: their articles, then their records.
  size_t artigo_ = 0;
  size_t registo_ = 0;
  bool comecou_ = false;
  bool comRegistos_ = false;
  bool acabou_ = false;
  TextoPagina texto_;
  std::string_view fatia_;
  std::string utf8_;
};

}  // namespace

std::string nomeFicheiroRelatorio(int nCurso) { return std::to_string(nCurso) + sufixoRelatorio; }

Pedacos pedacosRelatorio(const IdentificacaoCurso& curso, const std::vector<UC>& unidades,
                         const std::vector<Estudantes>& estudantes,
                         historico::IndiceHistorico* historico) {
  return GeradorRelatorio(curso, unidades, estudantes, historico);
}

std::string conteudoRelatorio(const IdentificacaoCurso& curso, Listacurso& unidades,
                              const std::vector<Estudantes>& estudantes) {
  unidades.setInfoUCsCurso(estudantes);
  const Pedacos pedacos = pedacosRelatorio(curso, unidades.getListaUCsCurso(), estudantes);
  std::string pagina;
  std::string_view pedaco;
  while (pedacos(pedaco)) pagina += pedaco;
  return pagina;
}

std::string dataHoraAtual() {
  std::tm local{};
  horaLocal(instanteAtual(), local);
  char texto[sizeof "dd/mm/aaaa hh:mm"] = "";
  std::strftime(texto, sizeof texto, "%d/%m/%Y %H:%M", &local);
  return texto;
}

int gravaRelatorio(int nCurso, Listacurso& unidades, const std::vector<Estudantes>& estudantes) {
  IdentificacaoCurso curso;
  curso.codigo = nCurso;
  curso.nome = unidades.getNomeCurso();
  curso.totalEcts = unidades.getTotalEctsCurso();
  curso.geradoEm = dataHoraAtual();
  unidades.setInfoUCsCurso(estudantes);
  const std::string nome = nomeFicheiroRelatorio(nCurso);
  // The changes of each student, when the course has a history; one that
  // cannot be read is named and left out of the page.
  historico::IndiceHistorico indice;
  const std::string nomeHistorico = historico::nomeFicheiroHistorico(nCurso);
  const Estado historia = indice.abre(nomeHistorico, nomeFicheiroEstudantes(nCurso));
  if (!historia.ok() && historia.causa() != Causa::naoExiste) {
    std::cerr << TXT("ATENÇÃO: O ficheiro ") << nomeHistorico << TXT(" não pode ser lido (")
              << textoCausa(historia) << TXT("); o relatório não mostra as alterações")
              << std::endl;
  }
  historico::IndiceHistorico* comHistorico = historia.ok() ? &indice : nullptr;
  const Estado erro = substituiFicheiro(
      nome, pedacosRelatorio(curso, unidades.getListaUCsCurso(), estudantes, comHistorico));
  if (!erro.ok()) {
    std::cerr << textoErroGravacao(nome, erro) << std::endl;
    return estadoFalha;
  }
  std::cout << TXT("Relatório gravado em ") << nome << std::endl;
  return 0;
}

int executaRelatorio(int nCurso) {
  Listacurso unidades;
  Listacurso estudantes;
  if (!carregaCursoSemDialogo(nCurso, unidades, estudantes, std::cerr)) return estadoFalha;
  return gravaRelatorio(nCurso, unidades, estudantes.getListaEstudantes());
}
