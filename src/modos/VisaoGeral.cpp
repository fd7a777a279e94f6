#include "VisaoGeral.h"

#include <string>

#include "Cp1252.h"
#include "Regras.h"

namespace {

// The sign of a unit below the course's pass rate (a down-pointing
// triangle, which CP1252 lacks: written as a reference).
const char* const sinalAbaixo = "&#9660;";

// A table cell with a number aligned to the right; `classe` names the
// figure for whoever reads the page back.
void acrescentaCelulaNumero(TextoPagina& pagina, const char* classe, const std::string& texto) {
  pagina += "<td class=\"n ";
  pagina += classe;
  pagina += "\">";
  pagina += texto;
  pagina += "</td>";
}

void acrescentaCelulaNumero(TextoPagina& pagina, const char* classe, long long valor) {
  acrescentaCelulaNumero(pagina, classe, std::to_string(valor));
}

// The average of the unit's passed grades, as the dialogue computes it.
std::string textoMedia(const UC& unidade) {
  if (unidade.getAlunosAprovados() == 0) return TXT("—");
  return textoReal(unidade.mediaAprovados(), precisaoMedia);
}

// The cells from enrolled to the average; the rate carries the sign when
// `abaixo`.
void acrescentaFiguras(TextoPagina& pagina, const UC& unidade, const DistribuicaoUC& dist,
                       bool abaixo) {
  const int aprovados = unidade.getAlunosAprovados();
  acrescentaCelulaNumero(pagina, "inscritos", dist.inscritos);
  acrescentaCelulaNumero(pagina, "com-resultado", dist.comResultado);
  acrescentaCelulaNumero(pagina, "em-avaliacao", dist.emAvaliacao);
  acrescentaCelulaNumero(pagina, "aprovados", aprovados);
  std::string taxa = textoTaxa(aprovados, dist.comResultado);
  if (abaixo) {
    taxa += TXT(" <abbr class=\"marca\" title=\"abaixo da taxa de aprovação do curso\">");
    taxa += sinalAbaixo;
    taxa += "</abbr>";
  }
  acrescentaCelulaNumero(pagina, "taxa", taxa);
  acrescentaCelulaNumero(pagina, "media", textoMedia(unidade));
}

const char* const cabecalhoFiguras =
    TXT("<th class=\"n\">Inscritos</th><th class=\"n\">Com resultado final</th>"
        "<th class=\"n\">Em avaliação</th><th class=\"n\">Aprovados</th>"
        "<th class=\"n\">Taxa de aprovação</th><th class=\"n\">Média dos aprovados</th>");

void acrescentaLinhaVisao(TextoPagina& pagina, size_t posicao, const UC& unidade,
                          const DistribuicaoUC& dist, const TotaisCurso& totais) {
  const bool abaixo = abaixoDoCurso(unidade.getAlunosAprovados(), dist.comResultado, totais);
  pagina += abaixo ? "<tr class=\"abaixo\">" : "<tr>";
  acrescentaCelulaNumero(pagina, "codigo", unidade.getCodigo());
  pagina += R"(<td class="nome"><a href="#uc-)";
  acrescentaInteiro(pagina, static_cast<long long>(posicao) + 1);
  pagina += "\">";
  pagina.acrescentaEscapado(unidade.nomeUC());
  pagina += "</a></td>";
  acrescentaCelulaNumero(pagina, "ano", unidade.getAno());
  acrescentaCelulaNumero(pagina, "semestre", unidade.getsemestre());
  acrescentaCelulaNumero(pagina, "ects", unidade.getEcts());
  acrescentaFiguras(pagina, unidade, dist, abaixo);
  pagina += "</tr>\n";
}

}  // namespace

TotaisCurso somaTotais(const std::vector<Estudantes>& estudantes) {
  TotaisCurso totais;
  for (const Estudantes& estudante : estudantes) {
    for (const UC& uc : estudante.getListaUCs()) {
      const regras::Situacao situacao = regras::situacao(uc, uc.getNota());
      totais.comResultado += regras::temResultadoFinal(situacao);
      totais.emAvaliacao += situacao == regras::Situacao::emAvaliacao;
      totais.aprovacoes += situacao == regras::Situacao::aprovado;
    }
  }
  return totais;
}

bool abaixoDoCurso(long long aprovados, long long comResultado, const TotaisCurso& curso) {
  if (comResultado == 0 || curso.comResultado == 0) return false;
  // aprovados / comResultado < aprovacoes / comResultado of the course, exactly.
  return aprovados * curso.comResultado < curso.aprovacoes * comResultado;
}

void acrescentaTotais(TextoPagina& pagina, size_t estudantes, size_t unidades,
                      const TotaisCurso& totais) {
  pagina +=
      TXT("<table class=\"totais\">\n<tr><th>Estudantes</th><th>Unidades curriculares</th>"
          "<th>Registos com resultado final</th><th>Em avaliação</th><th>Aprovações</th>"
          "<th>Taxa de aprovação global</th></tr>\n<tr>");
  acrescentaCelulaNumero(pagina, "estudantes", static_cast<long long>(estudantes));
  acrescentaCelulaNumero(pagina, "unidades", static_cast<long long>(unidades));
  acrescentaCelulaNumero(pagina, "com-resultado", totais.comResultado);
  acrescentaCelulaNumero(pagina, "em-avaliacao", totais.emAvaliacao);
  acrescentaCelulaNumero(pagina, "aprovacoes", totais.aprovacoes);
  acrescentaCelulaNumero(pagina, "taxa", textoTaxa(totais.aprovacoes, totais.comResultado));
  pagina += "</tr>\n</table>\n";
}

void acrescentaVisaoGeral(TextoPagina& pagina, const std::vector<UC>& unidades,
                          const std::vector<DistribuicaoUC>& distribuicoes,
                          const TotaisCurso& totais) {
  pagina += "<section id=\"visao\">\n<h2>Unidades curriculares</h2>\n";
  pagina +=
      TXT("<table class=\"visao\" id=\"tabela-ucs\">\n<thead><tr><th class=\"n\">Código</th>"
          "<th>Unidade curricular</th><th class=\"n\">Ano</th><th class=\"n\">Semestre</th>"
          "<th class=\"n\">ECTS</th>");
  pagina += cabecalhoFiguras;
  pagina += "</tr></thead>\n<tbody>\n";
  for (size_t i = 0; i < unidades.size(); ++i) {
    acrescentaLinhaVisao(pagina, i, unidades[i], distribuicoes[i], totais);
  }
  pagina += "</tbody>\n</table>\n<p class=\"legenda\">";
  pagina +=
      TXT("Taxa de aprovação: aprovados sobre os registos com resultado final. <span "
          "class=\"marca\">");
  pagina += sinalAbaixo;
  pagina += TXT("</span> abaixo da taxa de aprovação do curso (");
  pagina += textoTaxa(totais.aprovacoes, totais.comResultado);
  pagina += ").</p>\n</section>\n";
}

void acrescentaFigurasUnidade(TextoPagina& pagina, const UC& unidade, const DistribuicaoUC& dist) {
  pagina += "<table class=\"figuras\">\n<tr>";
  pagina += cabecalhoFiguras;
  pagina += "</tr>\n<tr>";
  acrescentaFiguras(pagina, unidade, dist, false);
  pagina += "</tr>\n</table>\n";
}
