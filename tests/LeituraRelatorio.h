// Test support: the figures of a report page read back from its HTML, and the
// rows of a statistics CSV file, so that the two can be compared.
#ifndef PAUTA_TESTES_LEITURARELATORIO_H
#define PAUTA_TESTES_LEITURARELATORIO_H

#include <array>
#include <sstream>
#include <string>
#include <vector>

// What the page shows for one unit: code, figures and the count above each
// bar of grades 0 to 20.
struct FigurasUnidade {
  std::string codigo, inscritos, comResultado, emAvaliacao, aprovados, media;
  std::array<std::string, 21> barras;
};

// The text between `inicio` (searched from `posicao`) and the next '<'.
inline std::string textoApos(const std::string& html, const std::string& inicio, size_t posicao) {
  const size_t onde = html.find(inicio, posicao);
  if (onde == std::string::npos) return "?";
  const size_t comeco = html.find('>', onde + inicio.size() - 1) + 1;
  return html.substr(comeco, html.find('<', comeco) - comeco);
}

inline std::vector<FigurasUnidade> figurasDaPagina(const std::string& html) {
  std::vector<FigurasUnidade> figuras;
  const std::string marca = "<article class=\"uc\"";
  for (size_t inicio = html.find(marca); inicio != std::string::npos;) {
    const size_t fim = html.find(marca, inicio + 1);
    const std::string artigo = html.substr(inicio, fim - inicio);
    FigurasUnidade f;
    f.codigo = textoApos(artigo, "<span class=\"codigo\"", 0);
    f.inscritos = textoApos(artigo, "class=\"n inscritos\"", 0);
    f.comResultado = textoApos(artigo, "class=\"n com-resultado\"", 0);
    f.emAvaliacao = textoApos(artigo, "class=\"n em-avaliacao\"", 0);
    f.aprovados = textoApos(artigo, "class=\"n aprovados\"", 0);
    f.media = textoApos(artigo, "class=\"n media\"", 0);
    for (size_t nota = 0; nota < f.barras.size(); ++nota) {
      const size_t barra = artigo.find("data-nota=\"" + std::to_string(nota) + "\"");
      f.barras[nota] = textoApos(artigo, "class=\"contagem\"", barra);
    }
    figuras.push_back(f);
    inicio = fim;
  }
  return figuras;
}

// The students' lines of records, in the order of their articles.
inline std::vector<std::string> linhasRegistos(const std::string& html) {
  const std::string inicio = "<script type=\"text/plain\" id=\"registos\">";
  const size_t comeco = html.find(inicio);
  if (comeco == std::string::npos) return {};
  std::istringstream bloco(
      html.substr(comeco + inicio.size(), html.find("</script>", comeco) - comeco - inicio.size()));
  std::vector<std::string> linhas;
  for (std::string linha; std::getline(bloco, linha);) linhas.push_back(linha);
  return linhas;
}

// The cells of each CR LF row of a ';'-separated file without quoted cells.
inline std::vector<std::vector<std::string>> celulasCsv(const std::string& texto) {
  std::vector<std::vector<std::string>> linhas;
  std::istringstream entrada(texto);
  for (std::string linha; std::getline(entrada, linha);) {
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    std::vector<std::string> celulas(1);
    for (char c : linha) {
      if (c == ';') {
        celulas.emplace_back();
      } else {
        celulas.back() += c;
      }
    }
    linhas.push_back(celulas);
  }
  return linhas;
}

// Compares the page's figures with the statistics file's rows (code;name;
// ECTS;enrolled;passed;average;passes with 10..20;in assessment): true when every unit agrees.
inline ::testing::AssertionResult mesmasFiguras(const std::string& html,
                                                const std::string& estatisticas) {
  const auto figuras = figurasDaPagina(html);
  const auto linhas = celulasCsv(estatisticas);
  if (linhas.size() != figuras.size() + 1) {
    return ::testing::AssertionFailure()
           << figuras.size() << " units on the page, " << linhas.size() - 1 << " in the file";
  }
  const size_t primeiraNota = 6;
  const size_t notaMinimaAprovacao = 10;
  for (size_t i = 0; i < figuras.size(); ++i) {
    const auto& f = figuras[i];
    const auto& c = linhas[i + 1];
    std::vector<std::string> pagina = {f.codigo, f.inscritos, f.aprovados,
                                       f.media == "\xE2\x80\x94" ? "" : f.media, f.emAvaliacao};
    std::vector<std::string> ficheiro = {c[0], c[3], c[4], c[5], c.back()};
    for (size_t nota = notaMinimaAprovacao; nota < f.barras.size(); ++nota) {
      pagina.push_back(f.barras[nota]);
      ficheiro.push_back(c[primeiraNota + nota - notaMinimaAprovacao]);
    }
    if (pagina != ficheiro) {
      return ::testing::AssertionFailure() << "unit " << c[0] << " differs";
    }
  }
  return ::testing::AssertionSuccess() << figuras.size() << " units agree";
}

#endif
