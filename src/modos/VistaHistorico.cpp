#include "VistaHistorico.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <limits>
#include <set>

#include "Cp1252.h"
#include "Execucao.h"
#include "Ficheiros.h"
#include "FormatoCsv.h"
#include "FormatoHistorico.h"
#include "LeituraHistorico.h"
#include "Nomes.h"
#include "NotasUC.h"

using historico::LinhaHistorico;

namespace {

const char* const espacoColunas = "  ";
const long todas = std::numeric_limits<long>::max();

// The columns of the table and of the CSV.
enum Coluna { cData, cUtilizador, cOrigem, cAluno, cUc, cCampo, cAntes, cDepois, nColunas };
const char* const titulos[nColunas] = {"Data", "Utilizador", "Origem", "Aluno",
                                       "UC",   "Campo",      "Antes",  "Depois"};

std::string textoCurso(int nCurso) { return std::to_string(nCurso); }

bool inteiroIgual(const std::string& campo, long long valor) {
  return campo == std::to_string(valor);
}

bool selecionada(const LinhaHistorico& linha, const PedidoHistorico& pedido) {
  if (pedido.porAluno && !inteiroIgual(linha.numero, pedido.aluno)) return false;
  if (pedido.porUc && !inteiroIgual(linha.uc, pedido.uc)) return false;
  return pedido.desde.empty() || linha.data.compare(0, pedido.desde.size(), pedido.desde) >= 0;
}

// A cell of the table: the text on one line, control bytes as '?'.
std::string textoTabela(std::string_view texto) {
  std::string limpo(texto);
  for (char& c : limpo) {
    if (cp1252::byteDeControlo(static_cast<unsigned char>(c), cp1252::FinsDeLinha::controlo)) {
      c = '?';
    }
  }
  return limpo;
}

// A value of ANTES or DEPOIS in the table: "-" for none (-1), an option by
// its name; anything else as the history holds it.
std::string valorTabela(const LinhaHistorico& linha, const std::string& valor) {
  if (valor == "-1") return "-";
  if (linha.campo == historico::campoOpcao) {
    for (int opcao : {opcaoContinua, opcaoExameFinal}) {
      if (valor == historico::textoOpcao(opcao)) return csv::textoOpcao(opcao);
    }
  }
  return valor;
}

void celulasTabela(const LinhaHistorico& linha, std::string (&celulas)[nColunas]) {
  std::string data = linha.data;
  if (data.size() > 10 && data[10] == 'T') data[10] = ' ';
  const std::string antes = valorTabela(linha, linha.antes);
  const std::string depois = valorTabela(linha, linha.depois);
  const std::string* textos[nColunas] = {&data,     &linha.utilizador, &linha.origem, &linha.numero,
                                         &linha.uc, &linha.campo,      &antes,        &depois};
  for (int i = 0; i < nColunas; ++i) celulas[i] = textoTabela(*textos[i]);
}

// A value of ANTES or DEPOIS in the CSV: a number with a decimal comma, any
// other text (a name) as a guarded text cell.
std::string celulaValor(const std::string& valor) {
  float numero = 0;
  const bool eNumero = valor.find_first_not_of("0123456789.-+e") == std::string::npos &&
                       csv::leDecimal(valor, numero);
  return eNumero ? csv::comVirgula(valor) : csv::celula(valor);
}

void linhaCsv(std::ostream& saida, const std::string* celulas, size_t n) {
  std::string linha;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) linha += csv::separador;
    linha += celulas[i];
  }
  saida << linha << csv::fimLinha;
}

void cabecalhoCsv(std::ostream& saida) {
  const std::string celulas[] = {"Data",   "Utilizador",      TXT("Máquina"),
                                 "Origem", csv::colunaNumero, csv::colunaCodigoUC,
                                 "Campo",  "Antes",           "Depois"};
  linhaCsv(saida, celulas, std::size(celulas));
}

void linhaCsv(std::ostream& saida, const LinhaHistorico& linha) {
  const std::string celulas[] = {
      csv::celula(linha.data),   csv::celula(linha.utilizador), csv::celula(linha.maquina),
      csv::celula(linha.origem), csv::celula(linha.numero),     csv::celula(linha.uc),
      csv::celula(linha.campo),  celulaValor(linha.antes),      celulaValor(linha.depois)};
  linhaCsv(saida, celulas, std::size(celulas));
}

// The saves of the history that did not happen, found by a first reading
// (a failure to read is left to the reading that shows the lines).
struct Anuladas {
  historico::SeguimentoGravacoes gravacoes;
  std::set<long> vistas;  // those with a line the request selected
};

// Walks the history of the course: calls `linhaLida` for each selected value
// line of a save that stands, oldest first, at most `maximo` of them; with
// `avisos`, names each line that cannot be read on standard error. Answers
// 0, or prints an "ERRO:" line and answers estadoFalha; `existe` is false
// when there is no history.
int percorre(const PedidoHistorico& pedido, bool avisos, long maximo, bool& existe,
             Anuladas& anuladas, const std::function<void(const LinhaHistorico&)>& linhaLida) {
  const std::string nome = historico::nomeFicheiroHistorico(pedido.nCurso);
  historico::LeitorHistorico leitor;
  Estado razao = leitor.abre(nome);
  existe = razao.causa() != Causa::naoExiste;
  if (!existe) return 0;
  std::string_view texto;
  // An empty file holds no line yet (a writer died creating it).
  const bool primeira = razao.ok() && leitor.proxima(texto);
  if (primeira && !leitor.erroLeitura() && (texto != historico::cabecalho || !leitor.terminada())) {
    std::cerr << "ERRO: O ficheiro " << nome << TXT(" não começa pela linha ")
              << historico::cabecalho << std::endl;
    return estadoFalha;
  }
  LinhaHistorico linha;
  long contadas = 0;
  while (contadas < maximo && leitor.proxima(texto)) {
    if (!historico::leLinha(texto, linha)) {
      if (avisos) {
        std::cerr << TXT("ATENÇÃO: Linha ") << leitor.numeroLinha() << TXT(" do histórico de ")
                  << pedido.nCurso << TXT(" ignorada (não pode ser lida)") << std::endl;
      }
      continue;
    }
    if (historico::marcaDe(linha) != historico::Marca::valor || !selecionada(linha, pedido)) {
      continue;
    }
    const long anulada = anuladas.gravacoes.qualAnulada(leitor.posicao());
    if (anulada >= 0) {
      anuladas.vistas.insert(anulada);
      continue;
    }
    ++contadas;
    linhaLida(linha);
  }
  if (!razao.ok() || leitor.erroLeitura()) {
    if (leitor.erroLeitura()) razao = leitor.razaoErro();
    std::cerr << "ERRO: O ficheiro " << nome << TXT(" existe mas não pode ser lido (")
              << textoCausa(razao) << ")" << std::endl;
    return estadoFalha;
  }
  return 0;
}

// The saves of course nCurso's history that did not happen.
void procuraAnuladas(int nCurso, Anuladas& anuladas) {
  (void)historico::segueFicheiro(historico::nomeFicheiroHistorico(nCurso),
                                 nomeFicheiroEstudantes(nCurso), &anuladas.gravacoes);
}

// "1 gravação anulada", "N gravações anuladas".
std::string textoAnuladas(long n) {
  return std::to_string(n) + (n == 1 ? TXT(" gravação anulada") : TXT(" gravações anuladas"));
}

// Says on standard error how many saves that did not happen had lines the
// request would have shown.
void avisaAnuladas(const Anuladas& anuladas) {
  const long n = static_cast<long>(anuladas.vistas.size());
  if (n == 0) return;
  std::cerr << TXT("ATENÇÃO: ") << textoAnuladas(n)
            << (n == 1 ? TXT(" (interrompida antes de substituir o ficheiro) não é mostrada")
                       : TXT(" (interrompidas antes de substituir o ficheiro) não são mostradas"))
            << std::endl;
}

void semHistorico(std::ostream& saida, int nCurso) {
  saida << "O curso " << nCurso << TXT(" ainda não tem histórico") << std::endl;
}

// A history whose lines all fall outside the request says so.
void nenhumaSelecionada(long linhas) {
  if (linhas == 0) std::cerr << TXT("Nenhuma alteração corresponde ao pedido") << std::endl;
}

// Whether course nCurso has its unit file here; says it does not.
bool cursoExiste(int nCurso) {
  const std::string nome = nomeFicheiroUC(nCurso);
  IdentidadeFicheiro identidade;
  if (identificaFicheiro(nome, &identidade).causa() != Causa::naoExiste) return true;
  std::cerr << "ERRO: O curso " << nCurso << TXT(" não existe nesta pasta (falta ") << nome << ")"
            << std::endl;
  return false;
}

int mostraTabela(const PedidoHistorico& pedido) {
  size_t larguras[nColunas];
  for (int i = 0; i < nColunas; ++i) larguras[i] = std::string_view(titulos[i]).size();
  long linhas = 0;
  bool existe = false;
  std::string celulas[nColunas];
  Anuladas anuladas;
  procuraAnuladas(pedido.nCurso, anuladas);
  const int estado =
      percorre(pedido, true, todas, existe, anuladas, [&](const LinhaHistorico& linha) {
        celulasTabela(linha, celulas);
        for (int i = 0; i < nColunas; ++i) larguras[i] = std::max(larguras[i], celulas[i].size());
        ++linhas;
      });
  if (estado != 0) return estado;
  if (!existe) {
    semHistorico(std::cout, pedido.nCurso);
    return 0;
  }
  nenhumaSelecionada(linhas);
  avisaAnuladas(anuladas);
  auto imprime = [&](const std::string(&textos)[nColunas]) {
    std::string linha;
    for (int i = 0; i < nColunas; ++i) {
      linha += textos[i];
      if (i + 1 < nColunas) linha.append(larguras[i] - textos[i].size(), ' ') += espacoColunas;
    }
    std::cout << linha << '\n';
  };
  std::string cabecalho[nColunas];
  size_t total = 0;
  for (int i = 0; i < nColunas; ++i) {
    cabecalho[i] = titulos[i];
    total += larguras[i] + (i + 1 < nColunas ? 2 : 0);
  }
  imprime(cabecalho);
  std::cout << std::string(total, '-') << '\n';
  const int segunda =
      percorre(pedido, false, linhas, existe, anuladas, [&](const LinhaHistorico& linha) {
        celulasTabela(linha, celulas);
        imprime(celulas);
      });
  std::cout << std::flush;
  return segunda;
}

int mostraCsv(const PedidoHistorico& pedido) {
  bool existe = false;
  long linhas = 0;
  Anuladas anuladas;
  procuraAnuladas(pedido.nCurso, anuladas);
  cabecalhoCsv(std::cout);
  const int estado =
      percorre(pedido, true, todas, existe, anuladas, [&](const LinhaHistorico& linha) {
        linhaCsv(std::cout, linha);
        ++linhas;
      });
  std::cout << std::flush;
  if (estado == 0 && !existe) semHistorico(std::cerr, pedido.nCurso);
  if (estado == 0 && existe) {
    nenhumaSelecionada(linhas);
    avisaAnuladas(anuladas);
  }
  return estado;
}

// "; N gravações anuladas; N linhas cortadas reparadas" after the count of
// a check, for what there is of them.
std::string textoExtrasVerificacao(const historico::ResultadoVerificacao& resultado) {
  std::string texto;
  if (resultado.anuladas > 0) texto += "; " + textoAnuladas(resultado.anuladas);
  if (resultado.reparadas > 0) {
    texto += "; " + std::to_string(resultado.reparadas) +
             (resultado.reparadas == 1 ? " linha cortada reparada" : " linhas cortadas reparadas");
  }
  return texto;
}

int verificaHistorico(int nCurso) {
  const std::string nome = historico::nomeFicheiroHistorico(nCurso);
  const historico::ResultadoVerificacao resultado =
      historico::verificaFicheiro(nome, nomeFicheiroEstudantes(nCurso));
  const std::string deCurso = TXT(" do histórico de ") + textoCurso(nCurso);
  switch (resultado.estado) {
    case historico::EstadoVerificacao::inexistente:
      semHistorico(std::cout, nCurso);
      return 0;
    case historico::EstadoVerificacao::valido:
      std::cout << TXT("Histórico de ") << nCurso << ": " << resultado.linhas
                << " linhas verificadas" << textoExtrasVerificacao(resultado) << std::endl;
      return 0;
    case historico::EstadoVerificacao::ilegivel:
      std::cerr << "ERRO: O ficheiro " << nome << TXT(" existe mas não pode ser lido (")
                << textoCausa(resultado.razao) << ")" << std::endl;
      break;
    case historico::EstadoVerificacao::semCabecalho:
      std::cerr << "ERRO: O ficheiro " << nome << TXT(" não começa pela linha ")
                << historico::cabecalho << std::endl;
      break;
    case historico::EstadoVerificacao::alterada:
      std::cerr << "ERRO: Linha " << resultado.linha << deCurso << " foi alterada ou removida"
                << std::endl;
      break;
    case historico::EstadoVerificacao::cortada:
      std::cerr << "ERRO: Linha " << resultado.linha << deCurso
                << TXT(" está cortada (falta-lhe o fim de linha)") << std::endl;
      break;
  }
  return estadoFalha;
}

}  // namespace

bool eDataFiltro(std::string_view texto) {
  if (texto.size() != 10 || texto[4] != '-' || texto[7] != '-') return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (texto[i] < '0' || texto[i] > '9') return false;
  }
  const int mes = (texto[5] - '0') * 10 + (texto[6] - '0');
  const int dia = (texto[8] - '0') * 10 + (texto[9] - '0');
  return mes >= 1 && mes <= 12 && dia >= 1 && dia <= 31;
}

int executaHistorico(const PedidoHistorico& pedido) {
  if (!cursoExiste(pedido.nCurso)) return estadoFalha;
  if (pedido.verificar) return verificaHistorico(pedido.nCurso);
  return pedido.csv ? mostraCsv(pedido) : mostraTabela(pedido);
}
