#include "GraficoNotas.h"

#include <algorithm>
#include <string>

#include "Cp1252.h"
#include "Regras.h"

namespace {

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
  pagina.acrescentaEscapado(unidade.nomeUC());
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

}  // namespace

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
