// The bar chart of a unit's final results on the report page: one bar per
// grade of the scale, failing and passing grades in two colours, each bar
// with its count; an inline SVG with its legend.
#ifndef PAUTA_GRAFICONOTAS_H
#define PAUTA_GRAFICONOTAS_H

#include "DistribuicaoNotas.h"
#include "TextoPagina.h"
#include "UC.h"

// Appends the chart of `dist`, named after `unidade` for screen readers,
// and its legend.
void acrescentaGrafico(TextoPagina& pagina, const UC& unidade, const DistribuicaoUC& dist);

#endif
