// The report's overview table against the dialogue's own unit statistics and against what each
// record was made to be, on random courses.
#include <random>

#include "Apoio.h"
#include "Cp1252.h"
#include "FormatoCsv.h"
#include "LeituraRelatorio.h"
#include "Numeros.h"
#include "Relatorio.h"

namespace {

// What a random record is made to be: graded by exam or by e-folios and p-folio (a final result,
// passed when its grade is 10 or more), still in assessment, an exam never sat, no option.
enum class Tipo { exame, continua, emAvaliacao, exameSemNota, semOpcao };

struct Registo {
  Texto avaliacao;  // the record after "AVALIACAO;"
  Tipo tipo;
  int nota;  // its final grade, -1 for none
};

class Gerador {
 public:
  explicit Gerador(unsigned semente) : aleatorio_(semente) {}
  int entre(int minimo, int maximo) {
    return std::uniform_int_distribution<int>(minimo, maximo)(aleatorio_);
  }
  // E-folios of weights 3, 3 and 2 graded 50 to 100: always admitted to the p-folio.
  Registo continua(bool comPfolio) {
    const int a = 5 * entre(10, 20), b = 5 * entre(10, 20), c = 5 * entre(10, 20);
    const float total = 3.0f * a / 100 + 3.0f * b / 100 + 2.0f * c / 100;
    Texto texto = "1;A;" + std::to_string(a) + ";3;B;" + std::to_string(b) + ";3;C;" +
                  std::to_string(c) + ";2;F;";
    if (!comPfolio) {
      const int nota = static_cast<int>(std::lround(total));
      return {texto + "-1;R;-1;N;" + std::to_string(nota), Tipo::emAvaliacao, nota};
    }
    const float pfolio = static_cast<float>(entre(0, 48)) / 4;
    const int nota = pfolio < 5.5f ? 0 : static_cast<int>(std::lround(total + pfolio));
    return {texto + textoGeral(pfolio) + ";R;-1;N;" + std::to_string(nota), Tipo::continua, nota};
  }
  Registo qualquer() {
    switch (entre(0, 5)) {
      case 0:
      case 1: {
        const float exame = static_cast<float>(entre(0, 40)) / 2;
        const int nota = static_cast<int>(std::lround(exame));
        return {"0;F;" + textoGeral(exame) + ";R;-1;N;" + std::to_string(nota), Tipo::exame, nota};
      }
      case 2:
        return continua(true);
      case 3:
        return continua(false);
      case 4:
        return {"0;F;-1;R;-1;N;-1", Tipo::exameSemNota, -1};
      default:
        return {"-1;F;-1;R;-1;N;-1", Tipo::semOpcao, -1};
    }
  }

 private:
  std::mt19937 aleatorio_;
};

// What each unit's records were made to be.
struct Esperado {
  long long inscritos = 0, comResultado = 0, emAvaliacao = 0, aprovados = 0;
};

// The cells of each row of the overview table.
std::vector<Texto> linhasVisao(const Texto& pagina) {
  const size_t inicio = pagina.find("<tbody>", pagina.find("id=\"tabela-ucs\""));
  const size_t fim = pagina.find("</tbody>", inicio);
  std::vector<Texto> linhas;
  for (size_t p = pagina.find("<tr", inicio); p < fim; p = pagina.find("<tr", p + 1)) {
    linhas.push_back(pagina.substr(p, pagina.find("</tr>", p) - p));
  }
  return linhas;
}

// The passes and average of each unit as the dialogue's statistics print them ("" when none
// passed), with the page's decimal comma.
std::vector<std::pair<Texto, Texto>> estatisticasDoDialogo(const Listacurso& unidades) {
  std::ostringstream saida;
  unidades.imprimeInfoTodasUCscurso(saida);
  std::istringstream linhas(saida.str());
  std::vector<std::pair<Texto, Texto>> figuras;
  for (Texto linha; std::getline(linhas, linha);) {
    const Texto aprovados = "Total de Alunos Aprovados: ", media = TXT("Média: ");
    if (linha.rfind(aprovados, 0) == 0) figuras.push_back({linha.substr(aprovados.size()), ""});
    if (linha.rfind(media, 0) == 0) figuras.back().second = csv::comVirgula(linha.substr(7));
  }
  return figuras;
}

}  // namespace

// Random courses: every unit's row shows what its records were made to be (students enrolled,
// final results, records in assessment, passes), the passes and the average are the dialogue's
// statistics, the totals add the rows up, and only the units whose pass rate is below the
// course's are marked.
TEST(VisaoGeral, IgualAsEstatisticasDoDialogo) {
  for (unsigned semente = 1; semente <= 40; ++semente) {
    SCOPED_TRACE(semente);
    Gerador gerador(semente);
    const int numUnidades = gerador.entre(1, 8);
    Texto ficheiroUnidades = crlf({"CURSO;3;Curso ao acaso"});
    std::vector<Texto> unidades;
    for (int u = 0; u < numUnidades; ++u) {
      unidades.push_back(std::to_string(100 + u) + ";UC " + std::to_string(u) + ";1;1;6");
      ficheiroUnidades += crlf({unidades.back()});
    }
    Listacurso curso = carregaCurso(ficheiroUnidades, nullptr, true);
    std::vector<Esperado> esperado(unidades.size());
    std::vector<Estudantes> estudantes;
    for (int a = gerador.entre(0, 40); a > 0; --a) {
      std::vector<Texto> linhas;
      for (size_t u = 0; u < unidades.size(); ++u) {
        if (gerador.entre(0, 3) == 0) continue;
        const Registo r = gerador.qualquer();
        linhas.push_back(unidades[u] + ";AVALIACAO;" + r.avaliacao);
        Esperado& e = esperado[u];
        ++e.inscritos;
        e.comResultado += r.tipo == Tipo::exame || r.tipo == Tipo::continua;
        e.emAvaliacao += r.tipo == Tipo::emAvaliacao;
        e.aprovados += r.nota >= 10;
      }
      estudantes.push_back(estudante("Aluno", linhas));
    }
    const Texto pagina = conteudoRelatorio(IdentificacaoCurso(), curso, estudantes);
    const auto linhas = linhasVisao(pagina);
    const auto dialogo = estatisticasDoDialogo(curso);
    ASSERT_EQ(linhas.size(), unidades.size());
    ASSERT_EQ(dialogo.size(), unidades.size());
    Esperado total;
    for (const Esperado& e : esperado) {
      total.comResultado += e.comResultado;
      total.emAvaliacao += e.emAvaliacao;
      total.aprovados += e.aprovados;
    }
    for (size_t u = 0; u < linhas.size(); ++u) {
      const Texto& l = linhas[u];
      const Esperado& e = esperado[u];
      EXPECT_EQ(textoApos(l, "class=\"n inscritos\"", 0), std::to_string(e.inscritos));
      EXPECT_EQ(textoApos(l, "class=\"n com-resultado\"", 0), std::to_string(e.comResultado));
      EXPECT_EQ(textoApos(l, "class=\"n em-avaliacao\"", 0), std::to_string(e.emAvaliacao));
      EXPECT_EQ(textoApos(l, "class=\"n aprovados\"", 0), std::to_string(e.aprovados));
      EXPECT_EQ(textoApos(l, "class=\"n aprovados\"", 0), dialogo[u].first);
      const Texto media = textoApos(l, "class=\"n media\"", 0);
      EXPECT_EQ(media == "\xE2\x80\x94" ? "" : media, dialogo[u].second);  // an em dash
      const bool abaixo =
          e.comResultado > 0 && total.comResultado > 0 &&
          static_cast<double>(e.aprovados) / static_cast<double>(e.comResultado) <
              static_cast<double>(total.aprovados) / static_cast<double>(total.comResultado);
      EXPECT_EQ(l.rfind("<tr class=\"abaixo\">", 0) == 0, abaixo) << l;
    }
    EXPECT_EQ(textoApos(pagina, "class=\"n com-resultado\"", 0),
              std::to_string(total.comResultado));
    EXPECT_EQ(textoApos(pagina, "class=\"n em-avaliacao\"", 0), std::to_string(total.emAvaliacao));
    EXPECT_EQ(textoApos(pagina, "class=\"n aprovacoes\"", 0), std::to_string(total.aprovados));
  }
}
