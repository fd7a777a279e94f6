#include "Exportacao.h"

#include <iostream>
#include <optional>

#include "CarregaCurso.h"
#include "Cp1252.h"
#include "DistribuicaoNotas.h"
#include "Execucao.h"
#include "Ficheiros.h"
#include "FormatoCsv.h"
#include "Nomes.h"
#include "Numeros.h"
#include "Regras.h"

namespace {

const char* const fimLinha = csv::fimLinha;
const char separadorCsv = csv::separador;

const char* const colunasPauta[] = {csv::colunaNumero,  csv::colunaNome,      csv::colunaCodigoUC,
                                    csv::colunaUC,      csv::colunaAno,       csv::colunaSemestre,
                                    csv::colunaEcts,    csv::colunaAvaliacao, csv::colunaEfolioA,
                                    csv::colunaPesoA,   csv::colunaEfolioB,   csv::colunaPesoB,
                                    csv::colunaEfolioC, csv::colunaPesoC,     csv::colunaPfolio,
                                    csv::colunaRecurso, csv::colunaNotaFinal, csv::colunaAprovado};
const char* const cabecalhoEstatisticas =
    TXT("Código UC;Unidade Curricular;ECTS;Inscritos;Aprovados;Média dos aprovados");

void acrescentaCelula(std::string& linha, std::string_view texto) {
  linha += separadorCsv;
  linha += csv::celula(texto);
}

void acrescentaNumero(std::string& linha, long long valor) {
  linha += separadorCsv;
  acrescentaInteiro(linha, valor);
}

// A grade or weight: empty for -1 (no value), otherwise as the data files
// write it, with a decimal comma.
void acrescentaNota(std::string& linha, float valor) {
  linha += separadorCsv;
  if (valor != -1) linha += csv::textoDecimal(valor);
}

// The Aprovado cell: a record still in assessment is not failed yet.
const char* textoAprovado(regras::Situacao situacao) {
  if (situacao == regras::Situacao::aprovado) return "Sim";
  if (situacao == regras::Situacao::emAvaliacao) return TXT("Em avaliação");
  return TXT("Não");
}

// A grade-sheet row from the unit code on (after the student's name).
void acrescentaRestoLinhaPauta(std::string& conteudo, const UC& uc) {
  acrescentaNumero(conteudo, uc.getCodigo());
  acrescentaCelula(conteudo, uc.nomeUC());
  acrescentaNumero(conteudo, uc.getAno());
  acrescentaNumero(conteudo, uc.getsemestre());
  acrescentaNumero(conteudo, uc.getEcts());
  acrescentaCelula(conteudo, csv::textoOpcao(uc.getOpcaoAvaliacao()));
  // The e-folios by letter: a unit read with an invalid option may hold
  // none of them, and then its cells stay empty.
  for (char letra : {'A', 'B', 'C'}) {
    const Efolio* efolio = uc.procuraEfolio(letra);
    acrescentaNota(conteudo, efolio != nullptr ? efolio->getNota() : -1);
    acrescentaNota(conteudo, efolio != nullptr ? efolio->getPeso() : -1);
  }
  acrescentaNota(conteudo, uc.getProvaFinal());
  acrescentaNota(conteudo, uc.getProvaRecurso());
  conteudo += separadorCsv;
  if (uc.getNota() != -1) acrescentaInteiro(conteudo, uc.getNota());
  acrescentaCelula(conteudo, textoAprovado(regras::situacao(uc, uc.getNota())));
  conteudo += fimLinha;
}

void acrescentaLinhaEstatisticas(std::string& conteudo, const UC& unidade,
                                 const DistribuicaoUC& distribuicao) {
  acrescentaInteiro(conteudo, unidade.getCodigo());
  acrescentaCelula(conteudo, unidade.nomeUC());
  acrescentaNumero(conteudo, unidade.getEcts());
  acrescentaNumero(conteudo, distribuicao.inscritos);
  const int aprovados = unidade.getAlunosAprovados();
  acrescentaNumero(conteudo, aprovados);
  conteudo += separadorCsv;
  if (aprovados != 0) {
    // The same figure as the dialogue's "Média:", with 3 decimals.
    conteudo += csv::comVirgula(textoFixo(unidade.mediaAprovados(), precisaoMedia));
  }
  // How many passed with each final grade from 10 to 20.
  for (int nota = regras::notaMinimaAprovacao; nota <= notaMaximaEscala; ++nota) {
    acrescentaNumero(conteudo, distribuicao.porNota[static_cast<size_t>(nota)]);
  }
  acrescentaNumero(conteudo, distribuicao.emAvaliacao);
  conteudo += fimLinha;
}

std::string cabecalhoPauta() {
  std::string conteudo;
  for (const char* coluna : colunasPauta) {
    if (!conteudo.empty()) conteudo += separadorCsv;
    conteudo += coluna;
  }
  conteudo += fimLinha;
  return conteudo;
}

// Hands out the grade sheet one row at a time, in three pieces (number,
// name, the rest): a name that needs no quoting is handed out from the
// student itself, so a long name is never copied, let alone once per unit
// of the whole sheet.
class PedacosPauta {
 public:
  explicit PedacosPauta(const std::vector<Estudantes>& estudantes) : estudantes_(&estudantes) {}

  bool operator()(std::string_view& pedaco) {
    if (parte_ < 0) {
      pedaco = cabecalho();
      return true;
    }
    if (!procuraUnidade()) return false;
    linha_.clear();
    const Estudantes& estudante = (*estudantes_)[aluno_];
    switch (parte_) {
      case 0:
        pedaco = numero(estudante);
        return true;
      case 1:
        pedaco = nome(estudante);
        return true;
      default:
        pedaco = restoLinha(estudante);
        return true;
    }
  }

 private:
  std::string_view cabecalho() {
    parte_ = 0;
    linha_ = cabecalhoPauta();
    return linha_;
  }
  // Moves past the students with no unit left; false after the last.
  bool procuraUnidade() {
    const std::vector<Estudantes>& estudantes = *estudantes_;
    while (aluno_ < estudantes.size() && unidade_ >= estudantes[aluno_].getListaUCs().size()) {
      ++aluno_;
      unidade_ = 0;
    }
    return aluno_ < estudantes.size();
  }
  std::string_view numero(const Estudantes& estudante) {
    acrescentaInteiro(linha_, estudante.getNumAluno());
    linha_ += separadorCsv;
    parte_ = 1;
    return linha_;
  }
  // The name's cell; one that needs quotes or the guard is handed out by
  // slices, over as many calls, so that a long name is not copied either.
  std::string_view nome(const Estudantes& estudante) {
    const std::string& nome = estudante.nomeSemCopia();
    const bool aMeio = celulaNome_ && !celulaNome_->acabou();
    if (!aMeio && csv::celulaTalComo(nome)) {
      parte_ = 2;
      return nome;
    }
    if (!aMeio) celulaNome_.emplace(nome);
    const std::string_view fatia = celulaNome_->proxima();
    if (celulaNome_->acabou()) parte_ = 2;
    return fatia;
  }
  std::string_view restoLinha(const Estudantes& estudante) {
    acrescentaRestoLinhaPauta(linha_, estudante.getListaUCs()[unidade_]);
    ++unidade_;
    parte_ = 0;
    return linha_;
  }

  const std::vector<Estudantes>* estudantes_;
  size_t aluno_ = 0;
  size_t unidade_ = 0;
  int parte_ = -1;  // -1: the header; then 0, 1, 2: the pieces of a row
  std::string linha_;
  std::optional<csv::FatiasCelula> celulaNome_;
};

}  // namespace

Pedacos pedacosPauta(const std::vector<Estudantes>& estudantes) { return PedacosPauta(estudantes); }

std::string conteudoPauta(const std::vector<Estudantes>& estudantes) {
  std::string conteudo;
  Pedacos pedacos = pedacosPauta(estudantes);
  std::string_view pedaco;
  while (pedacos(pedaco)) conteudo += pedaco;
  return conteudo;
}

std::string conteudoEstatisticas(Listacurso& unidades, const std::vector<Estudantes>& estudantes) {
  unidades.setInfoUCsCurso(estudantes);
  const std::vector<UC>& ucs = unidades.getListaUCsCurso();
  const std::vector<DistribuicaoUC> distribuicoes = distribuiNotas(ucs, estudantes);
  std::string conteudo = cabecalhoEstatisticas;
  for (int nota = regras::notaMinimaAprovacao; nota <= notaMaximaEscala; ++nota) {
    acrescentaNumero(conteudo, nota);
  }
  // Added after the columns a sheet may read by position.
  acrescentaCelula(conteudo, TXT("Em avaliação"));
  conteudo += fimLinha;
  for (size_t i = 0; i < ucs.size(); ++i) {
    acrescentaLinhaEstatisticas(conteudo, ucs[i], distribuicoes[i]);
  }
  return conteudo;
}

int exportaCurso(int nCurso, Listacurso& unidades, const std::vector<Estudantes>& estudantes) {
  const std::string codigo = std::to_string(nCurso);
  const std::string nomePauta = codigo + sufixoPautaCsv;
  const std::string nomeEstatisticas = codigo + sufixoEstatisticasCsv;
  const std::string estatisticas = conteudoEstatisticas(unidades, estudantes);

  // The two files go together: both are written to private temporary files
  // and flushed before either is renamed into place, so a failed export
  // never leaves a new grade sheet beside old statistics.
  std::string qual;
  const Estado erro = substituiFicheiros(
      {{nomePauta, pedacosPauta(estudantes)}, {nomeEstatisticas, pedacoUnico(estatisticas)}},
      &qual);
  if (!erro.ok()) {
    std::cerr << textoErroGravacao(qual, erro) << std::endl;
    return estadoFalha;
  }
  std::cout << "Exportados " << nomePauta << " e " << nomeEstatisticas << std::endl;
  return 0;
}

int executaExportacao(int nCurso) {
  Listacurso unidades;
  Listacurso estudantes;
  if (!carregaCursoSemDialogo(nCurso, unidades, estudantes, std::cerr)) return estadoFalha;
  return exportaCurso(nCurso, unidades, estudantes.getListaEstudantes());
}
