#include "Relatorio.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <iostream>

#include "CarregaCurso.h"
#include "Cp1252.h"
#include "DistribuicaoNotas.h"
#include "Execucao.h"
#include "Ficheiros.h"
#include "FormatoCsv.h"
#include "FormatoHistorico.h"
#include "Nomes.h"
#include "Numeros.h"
#include "Regras.h"
#include "Relogio.h"

namespace {

// The page is made in CP1252, like every text of the program, and handed
// out in UTF-8 pieces of about this size.
const size_t tamanhoPedaco = 1 << 20;

const int casasMedia = precisaoMedia;
const int casasPercentagem = precisaoPercentagemCurso;
const int percentagemTotal = 100;

// Layout of a unit's bar chart, in SVG user units.
const int graficoLargura = 660;
const int graficoAltura = 250;
const int graficoMargemEsquerda = 54;
const int graficoMargemTopo = 26;
const int graficoMargemBaixo = 46;
const int graficoPasso = 28;  // from one bar to the next
const int graficoBarra = 20;  // width of a bar
const int graficoEspacoRotulo = 5;
const int graficoLinhaEixoX = 17;
const int graficoLinhaTituloX = 38;
const int graficoTituloYX = 16;

// The style sheet: screen first, then print (A4, a page per part, no table
// or chart cut in two). Class names: "ap" passed, "rp" failed, "pe" not yet
// graded.
const char* const estilo =
    "*{box-sizing:border-box}"
    "body{font-family:system-ui,'Segoe UI',Roboto,'Helvetica Neue',Arial,sans-serif;"
    "color:#1d2329;background:#fff;margin:0 auto;max-width:1100px;padding:24px;"
    "line-height:1.4}"
    "h1{font-size:1.7em;margin:0 0 .2em}"
    "h2{font-size:1.35em;border-bottom:2px solid #2f5d8a;padding-bottom:.2em;margin-top:1.6em}"
    "h3{font-size:1.1em;margin:1.2em 0 .4em}"
    ".sub{color:#56606b;margin:0 0 1em}"
    "a{color:#2f5d8a}"
    "table{border-collapse:collapse;margin:.4em 0 1em}"
    "th,td{border:1px solid #c9d1d9;padding:3px 8px;text-align:left;vertical-align:top}"
    "th{background:#eef2f6;font-weight:600}"
    "td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}"
    ".totais td{text-align:right;font-size:1.15em;font-weight:600}"
    ".figuras td{text-align:right}"
    "ol.colunas{columns:16em;column-gap:2em;padding-left:1.4em;margin:.2em 0}"
    "ol.colunas li{break-inside:avoid}"
    ".uc,.aluno{border-top:1px solid #d8dee4;padding-top:.2em}"
    ".aluno{content-visibility:auto;contain-intrinsic-size:auto 320px}"
    ".ident{color:#56606b;margin:.1em 0 .4em}"
    ".grafico{display:block;max-width:100%;height:auto}"
    ".grafico text{font-size:12px;fill:#1d2329}"
    ".grafico .titulo{font-size:13px;fill:#56606b}"
    ".grafico .eixo{fill:none;stroke:#1d2329;stroke-width:1}"
    ".grafico .rp rect{fill:#c8553d}.grafico .ap rect{fill:#2a7f62}"
    ".legenda{font-size:.9em;color:#56606b;margin:0 0 1em}"
    ".amostra{display:inline-block;width:.9em;height:.9em;vertical-align:-.1em;margin:0 .3em 0 "
    "1em}"
    ".amostra.rp{background:#c8553d}.amostra.ap{background:#2a7f62}"
    ".registo{font-size:.92em}"
    ".registo td:nth-child(3),.registo td:nth-child(n+5){text-align:right;"
    "font-variant-numeric:tabular-nums}.registo td:last-child{text-align:left}"
    ".registo tr.ap td:last-child{color:#1f6b52;font-weight:600}"
    ".registo tr.rp td:last-child{color:#a8402b;font-weight:600}"
    ".registo tr.pe td{color:#6a737d}"
    "footer{margin-top:2em;color:#6a737d;font-size:.85em}"
    "@page{size:A4;margin:14mm}"
    "@media print{body{max-width:none;padding:0;font-size:10pt}"
    "#indice,#unidades,#estudantes{break-before:page}"
    "table,.grafico,.uc,.aluno{break-inside:avoid}"
    "h2,h3{break-after:avoid}thead{display:table-header-group}"
    ".aluno{content-visibility:visible}a{color:inherit;text-decoration:none}}";

// Added to the style sheet only when the course has a history, so that the
// page of a course without one stays as it was.
const char* const estiloHistorico =
    ".historico summary{cursor:pointer;color:#2f5d8a;margin:.2em 0 .6em}"
    ".historico table{font-size:.88em}";

void acrescentaEscapado(TextoPagina& pagina, std::string_view texto) {
  pagina.acrescentaEscapado(texto);
}

void acrescentaInteiro(TextoPagina& pagina, long long valor) {
  char texto[24];
  char* const fim = std::to_chars(texto, texto + sizeof texto, valor).ptr;
  pagina += std::string_view(texto, static_cast<size_t>(fim - texto));
}

// A real with a decimal comma, or an em dash when it is not a number.
std::string textoReal(float valor, int casas) {
  if (std::isnan(valor)) return TXT("—");
  return csv::comVirgula(textoFixo(valor, casas));
}

// A share of `total` as a percentage with one decimal; an em dash for none.
std::string textoTaxa(long long parte, long long total) {
  if (total == 0) return TXT("—");
  const float taxa = static_cast<float>(parte) / static_cast<float>(total) * percentagemTotal;
  return textoReal(taxa, casasPercentagem) + " %";
}

// A table cell with a number aligned to the right; `classe` names the
// figure for whoever reads the page back.
void acrescentaCelulaNumero(TextoPagina& pagina, const char* classe, const std::string& texto) {
  pagina += "<td class=\"n ";
  pagina += classe;
  pagina += "\">";
  pagina += texto;
  pagina += "</td>";
}

// --- Start of the page: head, course, totals, table of contents ---

void acrescentaCabecalho(TextoPagina& pagina, const IdentificacaoCurso& curso, bool comHistorico) {
  pagina += "<!DOCTYPE html>\n<html lang=\"pt\">\n<head>\n<meta charset=\"utf-8\">\n";
  pagina += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  pagina += R"(<meta name="generator" content=")";
  pagina += textoVersao();
  pagina += TXT("\">\n<title>Relatório do curso ");
  acrescentaInteiro(pagina, curso.codigo);
  if (!curso.nome.empty()) {
    pagina += TXT(" — ");
    acrescentaEscapado(pagina, curso.nome);
  }
  pagina += "</title>\n<style>";
  pagina += estilo;
  if (comHistorico) pagina += estiloHistorico;
  pagina += "</style>\n</head>\n<body>\n";
}

struct Totais {
  long long comNota = 0;
  long long aprovacoes = 0;
};

Totais somaTotais(const std::vector<Estudantes>& estudantes) {
  Totais totais;
  for (const Estudantes& estudante : estudantes) {
    for (const UC& uc : estudante.getListaUCs()) {
      if (uc.getNota() != -1) ++totais.comNota;
      if (uc.aprovado()) ++totais.aprovacoes;
    }
  }
  return totais;
}

void acrescentaResumo(TextoPagina& pagina, const IdentificacaoCurso& curso,
                      const std::vector<UC>& unidades, const std::vector<Estudantes>& estudantes) {
  pagina += "<header id=\"curso\">\n<h1>";
  if (curso.nome.empty()) {
    pagina += "Curso ";
    acrescentaInteiro(pagina, curso.codigo);
  } else {
    acrescentaEscapado(pagina, curso.nome);
  }
  pagina += "</h1>\n<p class=\"sub\">Curso <span class=\"codigo\">";
  acrescentaInteiro(pagina, curso.codigo);
  pagina += TXT("</span> · relatório gerado em <time>");
  acrescentaEscapado(pagina, curso.geradoEm);
  pagina += "</time></p>\n";
  const Totais totais = somaTotais(estudantes);
  pagina +=
      TXT("<table class=\"totais\">\n<tr><th>Estudantes</th><th>Unidades curriculares</th>"
          "<th>Registos com nota final</th><th>Aprovações</th><th>Taxa de aprovação global</th>"
          "</tr>\n<tr>");
  acrescentaCelulaNumero(pagina, "estudantes", std::to_string(estudantes.size()));
  acrescentaCelulaNumero(pagina, "unidades", std::to_string(unidades.size()));
  acrescentaCelulaNumero(pagina, "com-nota", std::to_string(totais.comNota));
  acrescentaCelulaNumero(pagina, "aprovacoes", std::to_string(totais.aprovacoes));
  acrescentaCelulaNumero(pagina, "taxa", textoTaxa(totais.aprovacoes, totais.comNota));
  pagina += "</tr>\n</table>\n</header>\n";
}

void acrescentaEntradaIndice(TextoPagina& pagina, const char* prefixo, size_t posicao,
                             long long numero, std::string_view nome) {
  pagina += "<li><a href=\"#";
  pagina += prefixo;
  acrescentaInteiro(pagina, static_cast<long long>(posicao) + 1);
  pagina += "\">";
  acrescentaInteiro(pagina, numero);
  pagina += ' ';
  acrescentaEscapado(pagina, nome);
  pagina += "</a></li>\n";
}

void acrescentaIndice(TextoPagina& pagina, const std::vector<UC>& unidades,
                      const std::vector<Estudantes>& estudantes) {
  pagina += TXT("<nav id=\"indice\">\n<h2>Índice</h2>\n");
  pagina += "<h3><a href=\"#unidades\">Unidades curriculares</a></h3>\n<ol class=\"colunas\">\n";
  for (size_t i = 0; i < unidades.size(); ++i) {
    acrescentaEntradaIndice(pagina, "uc-", i, unidades[i].getCodigo(), unidades[i].nomeUC());
  }
  pagina += "</ol>\n<h3><a href=\"#estudantes\">Estudantes</a></h3>\n<ol class=\"colunas\">\n";
  for (size_t i = 0; i < estudantes.size(); ++i) {
    const Estudantes& estudante = estudantes[i];
    acrescentaEntradaIndice(pagina, "al-", i, estudante.getNumAluno(), estudante.nomeAluno());
  }
  pagina += "</ol>\n</nav>\n";
}

// --- Units: figures and bar chart ---

void acrescentaAtributo(TextoPagina& pagina, const char* nome, long long valor) {
  pagina += ' ';
  pagina += nome;
  pagina += "=\"";
  acrescentaInteiro(pagina, valor);
  pagina += '"';
}

void acrescentaTextoSvg(TextoPagina& pagina, const char* classe, long long x, long long y,
                        const std::string& texto) {
  pagina += "<text";
  if (classe != nullptr) {
    pagina += " class=\"";
    pagina += classe;
    pagina += '"';
  }
  acrescentaAtributo(pagina, "x", x);
  acrescentaAtributo(pagina, "y", y);
  pagina += " text-anchor=\"middle\">";
  pagina += texto;
  pagina += "</text>";
}

// The chart's room: bars stand on `base`, at most `alturaUtil` high.
const int graficoAlturaUtil = graficoAltura - graficoMargemTopo - graficoMargemBaixo;
const int graficoBase = graficoAltura - graficoMargemBaixo;
const int graficoLarguraUtil = graficoPasso * (notaMaximaEscala + 1);

// The opening tag of the chart, named after the unit for screen readers.
void acrescentaInicioGrafico(TextoPagina& pagina, const UC& unidade) {
  pagina += R"(<svg class="grafico" xmlns="http://www.w3.org/2000/svg")";
  acrescentaAtributo(pagina, "width", graficoLargura);
  acrescentaAtributo(pagina, "height", graficoAltura);
  pagina += " viewBox=\"0 0 ";
  acrescentaInteiro(pagina, graficoLargura);
  pagina += ' ';
  acrescentaInteiro(pagina, graficoAltura);
  pagina += TXT("\" role=\"img\" aria-label=\"Distribuição das notas finais de ");
  acrescentaEscapado(pagina, unidade.nomeUC());
  pagina += "\">\n";
}

// The bar of one grade, its height proportional to its count (`maximo` the
// highest count), with the count above it and the grade below.
void acrescentaBarra(TextoPagina& pagina, int nota, long long contagem, long long maximo) {
  const long long altura = maximo == 0 ? 0 : contagem * graficoAlturaUtil / maximo;
  const long long x = graficoMargemEsquerda + static_cast<long long>(nota) * graficoPasso +
                      (graficoPasso - graficoBarra) / 2;
  const long long centro = x + graficoBarra / 2;
  pagina += regras::aprovada(nota) ? "<g class=\"barra ap\"" : "<g class=\"barra rp\"";
  acrescentaAtributo(pagina, "data-nota", nota);
  pagina += "><rect";
  acrescentaAtributo(pagina, "x", x);
  acrescentaAtributo(pagina, "y", graficoBase - altura);
  acrescentaAtributo(pagina, "width", graficoBarra);
  acrescentaAtributo(pagina, "height", altura);
  pagina += "><title>Nota ";
  acrescentaInteiro(pagina, nota);
  pagina += ": ";
  acrescentaInteiro(pagina, contagem);
  pagina += "</title></rect>";
  acrescentaTextoSvg(pagina, "contagem", centro, graficoBase - altura - graficoEspacoRotulo,
                     std::to_string(contagem));
  acrescentaTextoSvg(pagina, "nota", centro, graficoBase + graficoLinhaEixoX, std::to_string(nota));
  pagina += "</g>\n";
}

// The axes: the base line and the vertical line with its scale 0..maximo,
// both titled; then the end of the chart and its legend.
void acrescentaEixos(TextoPagina& pagina, long long maximo) {
  pagina += R"(<path class="eixo" fill="none" d="M)";
  acrescentaInteiro(pagina, graficoMargemEsquerda);
  pagina += ' ';
  acrescentaInteiro(pagina, graficoMargemTopo);
  pagina += "V";
  acrescentaInteiro(pagina, graficoBase);
  pagina += "H";
  acrescentaInteiro(pagina, graficoMargemEsquerda + graficoLarguraUtil);
  pagina += "\"/>\n";
  const int xEscala = graficoMargemEsquerda - graficoEspacoRotulo * 2;
  acrescentaTextoSvg(pagina, "escala", xEscala, graficoBase, "0");
  acrescentaTextoSvg(pagina, "escala", xEscala, graficoMargemTopo + graficoEspacoRotulo,
                     std::to_string(maximo));
  acrescentaTextoSvg(pagina, "titulo", graficoMargemEsquerda + graficoLarguraUtil / 2,
                     graficoBase + graficoLinhaTituloX, "Nota final (0 a 20)");
  pagina += R"(<text class="titulo" text-anchor="middle" transform="translate()";
  acrescentaInteiro(pagina, graficoTituloYX);
  pagina += ' ';
  acrescentaInteiro(pagina, graficoMargemTopo + graficoAlturaUtil / 2);
  pagina += ") rotate(-90)\">Estudantes</text>\n</svg>\n";
  pagina +=
      TXT("<p class=\"legenda\"><span class=\"amostra rp\"></span>reprovação (0 a 9)"
          "<span class=\"amostra ap\"></span>aprovação (10 a 20)</p>\n");
}

// One bar per grade from 0 to 20, failing grades and passing grades in two
// colours; both axes labelled.
void acrescentaGrafico(TextoPagina& pagina, const UC& unidade, const DistribuicaoUC& dist) {
  const long long maximo = *std::max_element(dist.porNota.begin(), dist.porNota.end());
  acrescentaInicioGrafico(pagina, unidade);
  for (int nota = notaMinimaEscala; nota <= notaMaximaEscala; ++nota) {
    acrescentaBarra(pagina, nota, dist.porNota[static_cast<size_t>(nota)], maximo);
  }
  acrescentaEixos(pagina, maximo);
}

void acrescentaUnidade(TextoPagina& pagina, size_t posicao, const UC& unidade,
                       const DistribuicaoUC& dist) {
  pagina += R"(<article class="uc" id="uc-)";
  acrescentaInteiro(pagina, static_cast<long long>(posicao) + 1);
  pagina += "\">\n<h3><span class=\"codigo\">";
  acrescentaInteiro(pagina, unidade.getCodigo());
  pagina += TXT("</span> — <span class=\"nome\">");
  acrescentaEscapado(pagina, unidade.nomeUC());
  pagina += "</span></h3>\n<p class=\"ident\">";
  acrescentaInteiro(pagina, unidade.getAno());
  pagina += TXT(".º ano · ");
  acrescentaInteiro(pagina, unidade.getsemestre());
  pagina += TXT(".º semestre · ");
  acrescentaInteiro(pagina, unidade.getEcts());
  pagina += " ECTS</p>\n";
  pagina +=
      TXT("<table class=\"figuras\">\n<tr><th>Inscritos</th><th>Com nota final</th>"
          "<th>Aprovados</th><th>Taxa de aprovação</th><th>Média dos aprovados</th></tr>\n<tr>");
  // Passes and their average: the unit's statistics, as the dialogue shows them.
  const int aprovados = unidade.getAlunosAprovados();
  acrescentaCelulaNumero(pagina, "inscritos", std::to_string(dist.inscritos));
  acrescentaCelulaNumero(pagina, "com-nota", std::to_string(dist.comNota));
  acrescentaCelulaNumero(pagina, "aprovados", std::to_string(aprovados));
  acrescentaCelulaNumero(pagina, "taxa", textoTaxa(aprovados, dist.comNota));
  const std::string media =
      aprovados == 0 ? TXT("—") : textoReal(unidade.mediaAprovados(), casasMedia);
  acrescentaCelulaNumero(pagina, "media", media);
  pagina += "</tr>\n</table>\n";
  acrescentaGrafico(pagina, unidade, dist);
  pagina += "</article>\n";
}

// --- Students: totals and whole record ---

const char* const cabecalhoRegisto = TXT(
    "<table class=\"registo\">\n<thead><tr><th>Código</th><th>Unidade curricular</th>"
    "<th class=\"n\">ECTS</th><th>Avaliação</th><th class=\"n\">eFA</th><th class=\"n\">eFB</th>"
    "<th class=\"n\">eFC</th><th class=\"n\">pF/Ex.Final</th><th class=\"n\">Ex.Recurso</th>"
    "<th class=\"n\">Nota final</th><th>Resultado</th></tr></thead>\n<tbody>\n");

// A cell of the record. The records are most of a large page: closing tags
// of cells and rows are left out and attributes unquoted, as HTML allows,
// and the style sheet aligns the columns.
void acrescentaCelulaRegisto(TextoPagina& pagina, const std::string& texto) {
  pagina += "<td>";
  pagina += csv::comVirgula(texto);
}

std::string textoEfolio(const UC& uc, char letra) {
  const Efolio* efolio = uc.procuraEfolio(letra);
  return efolio != nullptr ? efolio->valorImpressaoNotaEfolio() : "-";
}

void acrescentaLinhaRegisto(TextoPagina& pagina, const UC& uc) {
  const bool semNota = uc.getNota() == -1;
  pagina += semNota         ? "<tr class=pe><td>"
            : uc.aprovado() ? "<tr class=ap><td>"
                            : "<tr class=rp><td>";
  acrescentaInteiro(pagina, uc.getCodigo());
  pagina += "<td>";
  acrescentaEscapado(pagina, uc.nomeUC());
  pagina += "<td>";
  acrescentaInteiro(pagina, uc.getEcts());
  pagina += "<td>";
  pagina += uc.opcaoAvaliacaoToString();
  for (char letra : {'A', 'B', 'C'}) acrescentaCelulaRegisto(pagina, textoEfolio(uc, letra));
  acrescentaCelulaRegisto(pagina, NotasUC::getNotaToString(uc.getProvaFinal()));
  acrescentaCelulaRegisto(pagina, NotasUC::getNotaToString(uc.getProvaRecurso()));
  acrescentaCelulaRegisto(pagina, NotasUC::getNotaFinalToString(static_cast<float>(uc.getNota())));
  pagina += semNota ? "<td>Por avaliar\n" : uc.aprovado() ? "<td>Aprovado\n" : "<td>Reprovado\n";
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
    const bool valores = linha.campo != historico::campoAluno;
    const std::string antes = valores ? csv::comVirgula(linha.antes) : linha.antes;
    const std::string depois = valores ? csv::comVirgula(linha.depois) : linha.depois;
    const std::string* celulas[] = {
        &data, &linha.utilizador, &linha.origem, &linha.uc, &linha.campo, &antes, &depois};
    pagina += "<tr>";
    for (const std::string* celula : celulas) {
      // Escaped now: the lines are read again for the next student.
      pagina += "<td>";
      pagina += escapaHtml(*celula);
    }
    pagina += "\n";
  }
  pagina += "</tbody>\n</table>\n</details>\n";
}

void acrescentaAluno(TextoPagina& pagina, size_t posicao, const Estudantes& estudante,
                     historico::IndiceHistorico* historico,
                     std::vector<historico::LinhaHistorico>& linhas) {
  pagina += R"(<article class="aluno" id="al-)";
  acrescentaInteiro(pagina, static_cast<long long>(posicao) + 1);
  pagina += "\">\n<h3><span class=\"numero\">";
  acrescentaInteiro(pagina, estudante.getNumAluno());
  pagina += TXT("</span> — <span class=\"nome\">");
  acrescentaEscapado(pagina, estudante.nomeAluno());
  pagina += "</span></h3>\n<p class=\"ident\">ECTS aprovados: <b class=\"ects\">";
  acrescentaInteiro(pagina, estudante.calculaTotalEcts());
  pagina += TXT("</b> · média ponderada: <b class=\"media\">");
  pagina += textoReal(estudante.mediaPonderada(), casasMedia);
  pagina += TXT("</b> · <b class=\"percentagem\">");
  pagina += textoReal(estudante.calculaPercentagemCurso(), casasPercentagem);
  pagina += " %</b> dos ";
  acrescentaInteiro(pagina, totalEctsCurso);
  pagina += " ECTS do curso</p>\n";
  if (estudante.getListaUCs().empty()) {
    pagina += "<p>Sem unidades curriculares.</p>\n";
  } else {
    pagina += cabecalhoRegisto;
    for (const UC& uc : estudante.getListaUCs()) acrescentaLinhaRegisto(pagina, uc);
    pagina += "</tbody>\n</table>\n";
  }
  if (historico != nullptr && historico->linhasDoAluno(estudante.getNumAluno(), linhas)) {
    acrescentaHistoricoAluno(pagina, linhas);
  }
  pagina += "</article>\n";
}

// --- The page in pieces ---

// Hands out the page: first the head, totals, contents and units, then the
// students a piece at a time, then the end; each piece made in CP1252 and
// given in UTF-8.
class GeradorRelatorio {
 public:
  GeradorRelatorio(const IdentificacaoCurso& curso, const std::vector<UC>& unidades,
                   const std::vector<Estudantes>& estudantes, historico::IndiceHistorico* historico)
      : curso_(&curso), unidades_(&unidades), estudantes_(&estudantes), historico_(historico) {}

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
  // The next text of the page: the beginning, some students, the end.
  void geraTexto() {
    texto_.clear();
    if (!comecou_) {
      comecou_ = true;
      acrescentaInicio();
    }
    while (seguinte_ < estudantes_->size() && texto_.size() < tamanhoPedaco) {
      acrescentaAluno(texto_, seguinte_, (*estudantes_)[seguinte_], historico_, linhas_);
      ++seguinte_;
    }
    if (seguinte_ == estudantes_->size() && !acabou_) {
      acabou_ = true;
      texto_ += "</section>\n<footer>Gerado por ";
      texto_ += textoVersao();
      texto_ += ".</footer>\n</body>\n</html>\n";
    }
  }

  void acrescentaInicio() {
    acrescentaCabecalho(texto_, *curso_, historico_ != nullptr);
    acrescentaResumo(texto_, *curso_, *unidades_, *estudantes_);
    acrescentaIndice(texto_, *unidades_, *estudantes_);
    texto_ += "<section id=\"unidades\">\n<h2>Unidades curriculares</h2>\n";
    const std::vector<DistribuicaoUC> distribuicoes = distribuiNotas(*unidades_, *estudantes_);
    for (size_t i = 0; i < unidades_->size(); ++i) {
      acrescentaUnidade(texto_, i, (*unidades_)[i], distribuicoes[i]);
    }
    texto_ += "</section>\n<section id=\"estudantes\">\n<h2>Estudantes</h2>\n";
  }

  const IdentificacaoCurso* curso_;
  const std::vector<UC>* unidades_;
  const std::vector<Estudantes>* estudantes_;
  historico::IndiceHistorico* historico_;
  std::vector<historico::LinhaHistorico> linhas_;  // of one student at a time
  size_t seguinte_ = 0;
  bool comecou_ = false;
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
  curso.geradoEm = dataHoraAtual();
  unidades.setInfoUCsCurso(estudantes);
  const std::string nome = nomeFicheiroRelatorio(nCurso);
  // The changes of each student, when the course has a history; one that
  // cannot be read is named and left out of the page.
  historico::IndiceHistorico indice;
  const std::string nomeHistorico = historico::nomeFicheiroHistorico(nCurso);
  const Estado historia = indice.abre(nomeHistorico);
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
