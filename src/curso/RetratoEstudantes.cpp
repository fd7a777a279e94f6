#include "RetratoEstudantes.h"

#include <cstring>
#include <string>

#include "FormatoDados.h"
#include "Numeros.h"

namespace {

using Valores = RetratoEstudantes::Valores;

const char letras[3] = {'A', 'B', 'C'};

Valores valoresDe(const UC& uc) {
  Valores v;
  v.codigo = uc.getCodigo();
  v.opcao = uc.getOpcaoAvaliacao();
  v.efoliosPresentes = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    const Efolio* e = uc.procuraEfolio(letras[i]);
    if (e == nullptr) continue;
    v.efoliosPresentes = static_cast<std::uint8_t>(v.efoliosPresentes | (1u << i));
    v.efolios[2 * i] = e->getNota();
    v.efolios[2 * i + 1] = e->getPeso();
  }
  v.provaFinal = uc.getProvaFinal();
  v.recurso = uc.getProvaRecurso();
  v.nota = uc.getNota();
  return v;
}

// The line of `uc` in the student file, without its line end, with the
// values `valores` when given (what the file held) instead of its own.
std::string textoUnidade(const UC& uc, const Valores* valores) {
  UC escrita = uc;
  if (valores != nullptr) {
    escrita.setOpcaoAvaliacao(valores->opcao);
    for (std::size_t i = 0; i < 3; ++i) {
      Efolio* e = escrita.procuraEfolio(letras[i]);
      if (e == nullptr || (valores->efoliosPresentes & (1u << i)) == 0) continue;
      e->setNota(valores->efolios[2 * i]);
      e->setPeso(valores->efolios[2 * i + 1]);
    }
    escrita.setProvaFinal(valores->provaFinal);
    escrita.setProvaRecurso(valores->recurso);
    escrita.setNota(static_cast<float>(valores->nota));
  }
  std::string texto;
  formato::gravaFicheiroEstudanteUC(escrita, texto);
  texto.resize(texto.size() - 2);  // CR LF
  return texto;
}

std::uint32_t bits(float valor) {
  std::uint32_t b;
  std::memcpy(&b, &valor, sizeof b);
  return b;
}

// One unit compared: the texts are made only for values whose bits differ
// (most are equal), and a line only when the texts differ too.
class Comparacao {
 public:
  Comparacao(historico::LinhaHistorico& linha,
             const std::function<void(historico::LinhaHistorico&)>& recebe)
      : linha_(linha), recebe_(recebe) {}

  void unidade(const Valores& antes, const Valores& agora) {
    bool codigoPosto = false;
    auto emite = [&](const char* campo, const char* a, std::size_t na, const char* d,
                     std::size_t nd) {
      if (std::string_view(a, na) == std::string_view(d, nd)) return;
      if (!codigoPosto) {
        linha_.uc.clear();
        acrescentaInteiro(linha_.uc, agora.codigo);
        codigoPosto = true;
      }
      linha_.campo = campo;
      linha_.antes.assign(a, na);
      linha_.depois.assign(d, nd);
      recebe_(linha_);
    };
    auto inteiro = [&](const char* campo, std::int32_t a, std::int32_t d) {
      if (a == d) return;
      char ta[larguraNumero];
      char td[larguraNumero];
      const char* fa = escreveInteiro(ta, a);
      const char* fd = escreveInteiro(td, d);
      emite(campo, ta, static_cast<std::size_t>(fa - ta), td, static_cast<std::size_t>(fd - td));
    };
    // An e-folio the record lacks writes nothing.
    auto real = [&](const char* campo, float a, bool haA, float d, bool haD) {
      if (haA == haD && bits(a) == bits(d)) return;
      char ta[larguraNumero];
      char td[larguraNumero];
      const char* fa = haA ? escreveReal(ta, a) : ta;
      const char* fd = haD ? escreveReal(td, d) : td;
      emite(campo, ta, static_cast<std::size_t>(fa - ta), td, static_cast<std::size_t>(fd - td));
    };
    inteiro(historico::campoOpcao, antes.opcao, agora.opcao);
    for (int i = 0; i < 6; ++i) {
      const unsigned bit = 1u << (i / 2);
      real(historico::camposEfolio[i], antes.efolios[i], (antes.efoliosPresentes & bit) != 0,
           agora.efolios[i], (agora.efoliosPresentes & bit) != 0);
    }
    real(historico::campoProvaFinal, antes.provaFinal, true, agora.provaFinal, true);
    real(historico::campoRecurso, antes.recurso, true, agora.recurso, true);
    inteiro(historico::campoNotaFinal, antes.nota, agora.nota);
  }

  void removido(const std::string& antes) {
    linha_.depois.clear();
    linha_.antes = antes;
    recebe_(linha_);
  }

  void aluno(const Estudantes& e) {
    linha_.uc.clear();
    linha_.campo = historico::campoAluno;
    linha_.antes.clear();
    linha_.depois = e.nomeSemCopia();
    recebe_(linha_);
  }

 private:
  historico::LinhaHistorico& linha_;
  const std::function<void(historico::LinhaHistorico&)>& recebe_;
};

}  // namespace

void RetratoEstudantes::inicia(std::size_t n) {
  conhecidos_ = n;
  guardados_ = 0;
  posicoes_.assign(n, semRetrato);
  alunos_.clear();
  ucs_.clear();
  removidos_.clear();
}

const Valores* RetratoEstudantes::valoresGuardados(std::size_t i, std::size_t posicao) const {
  if (posicoes_[i] == semRetrato) return nullptr;
  const Aluno& a = alunos_[posicoes_[i]];
  return posicao < a.numeroUCs ? &ucs_[a.primeiraUC + posicao] : nullptr;
}

void RetratoEstudantes::removeAluno(std::size_t i, const Estudantes& estudante) {
  if (i >= conhecidos_) return;
  removidos_.push_back({estudante.getNumAluno(), 0, historico::campoAluno, estudante.nomeAluno()});
  const std::vector<UC>& ucs = estudante.getListaUCs();
  for (std::size_t j = 0; j < ucs.size(); ++j) {
    removidos_.push_back({estudante.getNumAluno(), ucs[j].getCodigo(), historico::campoUc,
                          textoUnidade(ucs[j], valoresGuardados(i, j))});
  }
  if (posicoes_[i] != semRetrato) --guardados_;
  posicoes_.erase(posicoes_.begin() + static_cast<std::ptrdiff_t>(i));
  --conhecidos_;
}

void RetratoEstudantes::removeUC(std::size_t i, std::size_t posicao, const Estudantes& estudante) {
  if (i >= conhecidos_) return;
  guarda(i, estudante);
  const UC& uc = estudante.getListaUCs()[posicao];
  removidos_.push_back({estudante.getNumAluno(), uc.getCodigo(), historico::campoUc,
                        textoUnidade(uc, valoresGuardados(i, posicao))});
  // His picture again, at the end, without that unit.
  Aluno& a = alunos_[posicoes_[i]];
  const std::size_t inicio = ucs_.size();
  for (std::size_t j = 0; j < a.numeroUCs; ++j) {
    if (j == posicao) continue;
    const Valores v = ucs_[a.primeiraUC + j];  // a copy: the vector may grow
    ucs_.push_back(v);
  }
  a.primeiraUC = static_cast<std::uint32_t>(inicio);
  a.numeroUCs = static_cast<std::uint32_t>(ucs_.size() - inicio);
}

void RetratoEstudantes::guarda(std::size_t i, const Estudantes& estudante) {
  if (i >= conhecidos_ || posicoes_[i] != semRetrato) return;
  posicoes_[i] = static_cast<std::uint32_t>(alunos_.size());
  alunos_.push_back(
      {static_cast<std::uint32_t>(ucs_.size()), static_cast<std::uint32_t>(estudante.numeroUCs())});
  for (const UC& uc : estudante.getListaUCs()) ucs_.push_back(valoresDe(uc));
  ++guardados_;
}

void RetratoEstudantes::guardaTodos(const std::vector<Estudantes>& estudantes) {
  if (guardados_ == conhecidos_) return;
  // Exactly the room needed: on a large course the picture is tens of MiB.
  std::size_t total = ucs_.size();
  for (std::size_t i = 0; i < conhecidos_ && i < estudantes.size(); ++i) {
    if (posicoes_[i] == semRetrato) total += estudantes[i].numeroUCs();
  }
  alunos_.reserve(conhecidos_);
  ucs_.reserve(total);
  for (std::size_t i = 0; i < conhecidos_ && i < estudantes.size(); ++i) {
    guarda(i, estudantes[i]);
  }
}

void comparaEstudantes(const RetratoEstudantes& antes, const std::vector<Estudantes>& agora,
                       historico::LinhaHistorico& linha,
                       const std::function<void(historico::LinhaHistorico&)>& recebe) {
  Comparacao comparacao(linha, recebe);
  for (const RetratoEstudantes::Removido& r : antes.removidos_) {
    linha.numero.clear();
    acrescentaInteiro(linha.numero, r.numero);
    linha.uc.clear();
    if (r.campo == historico::campoUc) acrescentaInteiro(linha.uc, r.codigo);
    linha.campo = r.campo;
    comparacao.removido(r.antes);
  }
  const Valores nenhum;
  // The students pictured, in list order (all of them after a change in
  // bulk), then the new ones.
  std::vector<std::size_t> quais;
  if (antes.guardados_ < antes.conhecidos_) {
    for (std::size_t i = 0; i < antes.conhecidos_; ++i) {
      if (antes.posicoes_[i] != RetratoEstudantes::semRetrato) quais.push_back(i);
    }
  }
  const bool todos = antes.guardados_ == antes.conhecidos_;
  const std::size_t nQuais = todos ? antes.conhecidos_ : quais.size();
  auto compara = [&](std::size_t i) {
    if (i >= agora.size()) return;
    const Estudantes& e = agora[i];
    linha.numero.clear();
    acrescentaInteiro(linha.numero, e.getNumAluno());
    const bool conhecido = i < antes.conhecidos_;
    const RetratoEstudantes::Aluno* a = conhecido ? &antes.alunos_[antes.posicoes_[i]] : nullptr;
    if (!conhecido) comparacao.aluno(e);
    const std::vector<UC>& ucs = e.getListaUCs();
    for (std::size_t j = 0; j < ucs.size(); ++j) {
      const bool tinha = a != nullptr && j < a->numeroUCs;
      comparacao.unidade(tinha ? antes.ucs_[a->primeiraUC + j] : nenhum, valoresDe(ucs[j]));
    }
  };
  for (std::size_t k = 0; k < nQuais; ++k) compara(todos ? k : quais[k]);
  for (std::size_t i = antes.conhecidos_; i < agora.size(); ++i) compara(i);
}

Valores valoresUnidade(const UC& uc) { return valoresDe(uc); }

void comparaUnidades(const Valores& antes, const Valores& agora, historico::LinhaHistorico& linha,
                     const std::function<void(historico::LinhaHistorico&)>& recebe) {
  Comparacao(linha, recebe).unidade(antes, agora);
}
