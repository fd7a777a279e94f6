#include "FimHistorico.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace historico {

namespace {

const std::string_view cabecalhoCrLf = "HISTORICO;1\r\n";
const std::string_view cabecalhoLf = "HISTORICO;1\n";
// The last bytes read: a few lines first, then room for a line cut short
// and a few whole lines of the longest.
const std::size_t janelas[] = {std::size_t{8} * 1024, 4 * (limiteLinha + 2)};
// Lines tried at most, so that no file, however it is made, takes long.
const int maximoTentativas = 5000;

// The last bytes of a history, from `desde`, and the line ends in them.
class Cauda {
 public:
  Cauda(std::string texto, std::uint64_t desde, std::uint64_t fimCabecalho)
      : texto_(std::move(texto)), desde_(desde), fimCabecalho_(fimCabecalho) {
    if (desde_ == fimCabecalho_) fronteiras_.push_back(desde_);
    for (std::size_t i = 0; i < texto_.size(); ++i) {
      if (texto_[i] == '\n') fronteiras_.push_back(desde_ + i + 1);
    }
  }

  // Whether the window reaches back to the header's end.
  bool completa() const { return desde_ == fimCabecalho_; }
  std::uint64_t fim() const { return desde_ + texto_.size(); }
  bool terminaEmFimDeLinha() const { return !texto_.empty() && texto_.back() == '\n'; }

  // The places right after a line end, from the last one back, down to the
  // header's end (when the window holds it).
  std::vector<std::uint64_t> fronteirasDoFim() const {
    return std::vector<std::uint64_t>(fronteiras_.rbegin(), fronteiras_.rend());
  }

  // The whole line that ends at `fim` (a place right after a line end):
  // the nearest start that leaves a readable line, within limiteLinha.
  bool linhaAte(std::uint64_t fim, LinhaHistorico& linha, std::uint64_t& inicio) {
    auto p = std::lower_bound(fronteiras_.begin(), fronteiras_.end(), fim);
    while (p != fronteiras_.begin()) {
      const std::uint64_t comeco = *--p;
      if (fim - comeco > limiteLinha + 2 || ++tentativas_ > maximoTentativas) return false;
      if (leLinha(textoDe(comeco, fim), linha)) {
        inicio = comeco;
        return true;
      }
    }
    return false;
  }

  // The line end of the line that ends at `fim`.
  const char* fimLinhaEm(std::uint64_t fim) const {
    const std::size_t i = static_cast<std::size_t>(fim - desde_);
    return i >= 2 && texto_[i - 2] == '\r' ? "\r\n" : "\n";
  }

 private:
  std::string_view textoDe(std::uint64_t comeco, std::uint64_t fim) const {
    const std::size_t a = static_cast<std::size_t>(comeco - desde_);
    std::size_t b = static_cast<std::size_t>(fim - desde_) - 1;
    if (b > a && texto_[b - 1] == '\r') --b;
    return std::string_view(texto_).substr(a, b - a);
  }

  std::string texto_;
  std::uint64_t desde_;
  std::uint64_t fimCabecalho_;
  std::vector<std::uint64_t> fronteiras_;
  int tentativas_ = 0;
};

// Finds the end of the last whole line (or the header's end): the file's
// end when it ends in a line end (that line must read), otherwise the
// nearest line end before the piece cut short whose line reads. Sets
// `ultima` and its start; false when there is none in the window.
bool achaCorte(Cauda& cauda, std::uint64_t fimCabecalho, FimHistorico* fim, LinhaHistorico& ultima,
               std::uint64_t& inicio, bool& cabecalhoApenas) {
  cabecalhoApenas = false;
  for (const std::uint64_t fronteira : cauda.fronteirasDoFim()) {
    if (cauda.fim() - fronteira > limiteLinha + 2) return false;
    if (fronteira == fimCabecalho) {
      cabecalhoApenas = true;
    } else if (!cauda.linhaAte(fronteira, ultima, inicio)) {
      // A whole last line that cannot be read is no line cut short.
      if (fronteira == cauda.fim()) return false;
      continue;
    }
    fim->corte = fronteira;
    return true;
  }
  return false;
}

// Walks back from the last whole line `ultima` (which starts at `inicio`)
// over value lines and repairs to the mark that tells the last save's
// state. False when the window ends first.
bool achaPendente(Cauda& cauda, std::uint64_t fimCabecalho, LinhaHistorico ultima,
                  std::uint64_t inicio, FimHistorico* fim) {
  bool valores = false;
  for (;;) {
    const Marca marca = marcaDe(ultima);
    if (marca == Marca::valor) valores = true;
    if (marca == Marca::identidade) {
      // Values after the identities are none of this version's saves.
      if (!valores) {
        fim->pendente = Pendente::identificada;
        fim->identidades = {ultima.origem, ultima.antes, ultima.depois};
      }
      return true;
    }
    if (marca == Marca::inicio) {
      fim->pendente = Pendente::semIdentidade;
      return true;
    }
    if (marca != Marca::valor && marca != Marca::reparada) return true;
    // Value lines that reach the header belong to no save of this version.
    if (inicio == fimCabecalho) return true;
    if (!cauda.linhaAte(inicio, ultima, inicio)) {
      if (valores) fim->pendente = Pendente::talvez;
      return false;
    }
  }
}

// Examines the window `cauda`; false when a wider window may tell more.
bool analisa(Cauda cauda, std::uint64_t fimCabecalho, FimHistorico* fim) {
  LinhaHistorico ultima;
  std::uint64_t inicio = 0;
  bool cabecalhoApenas = false;
  fim->pendente = Pendente::nenhuma;
  if (!achaCorte(cauda, fimCabecalho, fim, ultima, inicio, cabecalhoApenas)) {
    fim->dano = Dano::ultimaLinha;
    return cauda.completa();
  }
  fim->dano = Dano::nenhum;
  if (cabecalhoApenas) {
    fim->anterior = verificacaoInicial;
    return true;
  }
  fim->anterior = ultima.verificacao;
  fim->fimLinha = cauda.fimLinhaEm(fim->corte);
  return achaPendente(cauda, fimCabecalho, ultima, inicio, fim) || cauda.completa();
}

}  // namespace

Estado examinaFim(std::uint64_t tamanho, const LeBytes& le, FimHistorico* fim) {
  *fim = FimHistorico();
  fim->tamanho = tamanho;
  std::string inicio;
  Estado lido = le(0, cabecalhoCrLf.size(), &inicio);
  if (!lido.ok()) return lido;
  // Nothing but a piece of the header: a writer that died creating it.
  const bool pedaco =
      inicio.size() == tamanho && (cabecalhoCrLf.substr(0, inicio.size()) == inicio ||
                                   cabecalhoLf.substr(0, inicio.size()) == inicio);
  const bool crlf = inicio.compare(0, cabecalhoCrLf.size(), cabecalhoCrLf) == 0;
  const bool lf = inicio.compare(0, cabecalhoLf.size(), cabecalhoLf) == 0;
  if (pedaco && !crlf && !lf) {
    fim->semCabecalho = true;
    fim->fimLinha = fimLinhaCrLf;
    return Estado();
  }
  if (!crlf && !lf) {
    fim->dano = Dano::cabecalho;
    return Estado();
  }
  const std::uint64_t fimCabecalho = crlf ? cabecalhoCrLf.size() : cabecalhoLf.size();
  fim->fimLinha = crlf ? "\r\n" : "\n";
  for (const std::size_t janela : janelas) {
    const std::uint64_t desde = tamanho - fimCabecalho > janela ? tamanho - janela : fimCabecalho;
    std::string cauda;
    lido = le(desde, static_cast<std::size_t>(tamanho - desde), &cauda);
    if (!lido.ok()) return lido;
    if (analisa(Cauda(std::move(cauda), desde, fimCabecalho), fimCabecalho, fim)) break;
  }
  return Estado();
}

}  // namespace historico
