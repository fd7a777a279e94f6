#include "RetratoEstudantes.h"

#include <cstring>
#include <string>

#include "Numeros.h"

namespace {

using Valores = RetratoEstudantes::Valores;

const char letras[3] = {'A', 'B', 'C'};

Valores valoresDe(const UC& uc) {
  Valores v;
  v.codigo = uc.getCodigo();
  v.opcao = uc.getOpcaoAvaliacao();
  v.efoliosPresentes = 0;
  for (int i = 0; i < 3; ++i) {
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
      char ta[larguraNumero], td[larguraNumero];
      const char* fa = escreveInteiro(ta, a);
      const char* fd = escreveInteiro(td, d);
      emite(campo, ta, static_cast<std::size_t>(fa - ta), td, static_cast<std::size_t>(fd - td));
    };
    // An e-folio the record lacks writes nothing.
    auto real = [&](const char* campo, float a, bool haA, float d, bool haD) {
      if (haA == haD && bits(a) == bits(d)) return;
      char ta[larguraNumero], td[larguraNumero];
      const char* fa = haA ? escreveReal(ta, a) : ta;
      const char* fd = haD ? escreveReal(td, d) : td;
      emite(campo, ta, static_cast<std::size_t>(fa - ta), td, static_cast<std::size_t>(fd - td));
    };
    static const char* const camposEfolio[6] = {"eFolioA", "pesoA", "eFolioB",
                                                "pesoB",   "eFolioC", "pesoC"};
    inteiro("opcao", antes.opcao, agora.opcao);
    for (int i = 0; i < 6; ++i) {
      const unsigned bit = 1u << (i / 2);
      real(camposEfolio[i], antes.efolios[i], (antes.efoliosPresentes & bit) != 0,
           agora.efolios[i], (agora.efoliosPresentes & bit) != 0);
    }
    real("pFolio/Exame", antes.provaFinal, true, agora.provaFinal, true);
    real("Recurso", antes.recurso, true, agora.recurso, true);
    inteiro("NotaFinal", antes.nota, agora.nota);
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

void RetratoEstudantes::tira(const std::vector<Estudantes>& estudantes) {
  std::size_t total = 0;
  for (const Estudantes& e : estudantes) total += e.numeroUCs();
  alunos_.clear();
  ucs_.clear();
  // Exactly the room needed: on a large course the picture is tens of MiB.
  if (alunos_.capacity() < estudantes.size()) alunos_.reserve(estudantes.size());
  if (ucs_.capacity() < total) ucs_.reserve(total);
  for (const Estudantes& e : estudantes) {
    alunos_.push_back({e.getNumAluno(), static_cast<std::uint32_t>(e.numeroUCs())});
    for (const UC& uc : e.getListaUCs()) ucs_.push_back(valoresDe(uc));
  }
}

void RetratoEstudantes::limpa() {
  alunos_.clear();
  ucs_.clear();
}

void comparaEstudantes(const RetratoEstudantes& antes, const std::vector<Estudantes>& agora,
                       historico::LinhaHistorico& linha,
                       const std::function<void(historico::LinhaHistorico&)>& recebe) {
  Comparacao comparacao(linha, recebe);
  const Valores nenhum;
  std::size_t seguinte = 0;  // the picture's first unit of the student
  for (std::size_t i = 0; i < agora.size(); ++i) {
    const Estudantes& e = agora[i];
    const bool conhecido = i < antes.alunos_.size();
    const std::size_t antigas = conhecido ? antes.alunos_[i].numeroUCs : 0;
    linha.numero.clear();
    acrescentaInteiro(linha.numero, e.getNumAluno());
    if (!conhecido) comparacao.aluno(e);
    const std::vector<UC>& ucs = e.getListaUCs();
    for (std::size_t j = 0; j < ucs.size(); ++j) {
      comparacao.unidade(j < antigas ? antes.ucs_[seguinte + j] : nenhum, valoresDe(ucs[j]));
    }
    seguinte += antigas;
  }
}
