// The import's reading of a grade sheet: its header and columns, each row
// and the students it is about, the units it goes to, the values repeated
// by later rows, and a correction's summary of what went down.
#include "Importador.h"

#include <algorithm>

#include "FormatoHistorico.h"

namespace importacao {

void Importador::importa() {
  if (!leitor_.proximo(celulas_)) celulas_.clear();  // an empty file: a header without columns
  linha_ = 1;
  if (!leCabecalho()) return;
  while (leitor_.proximo(celulas_)) {
    linha_ = leitor_.linha();
    processaLinha();
  }
  if (corrige_) fechaCorrecao();
}

// What a correction changed, from each unit it changed as it was: the values
// and students for the summary, and a warning for each final grade that went
// down.
void Importador::fechaCorrecao() {
  // In file order, the first picture of each unit (a sheet in the file's
  // order, as the export writes it, is so already).
  const auto ordem = [](const Original& a, const Original& b) {
    return a.indice != b.indice ? a.indice < b.indice : a.posicao < b.posicao;
  };
  if (!std::is_sorted(originais_.begin(), originais_.end(), ordem)) {
    std::stable_sort(originais_.begin(), originais_.end(), ordem);
  }
  historico::LinhaHistorico linha;
  size_t ultimoAluno = estudantes_.size();
  const Original* anterior = nullptr;
  resumo_.alterado = false;
  for (const Original& original : originais_) {
    if (anterior != nullptr && anterior->indice == original.indice &&
        anterior->posicao == original.posicao) {
      continue;
    }
    anterior = &original;
    const RetratoEstudantes::Valores& antes = original.valores;
    const UC& agora = estudantes_[original.indice].getListaUCs()[original.posicao];
    long valores = 0;
    bool notaMudou = false;
    comparaUnidades(antes, valoresUnidade(agora), linha, [&](historico::LinhaHistorico& l) {
      if (l.campo == historico::campoNotaFinal) {
        notaMudou = true;
      } else {
        ++valores;
      }
    });
    if (valores == 0 && !notaMudou) continue;
    resumo_.alterado = true;
    resumo_.valoresCorrigidos += valores;
    if (original.indice != ultimoAluno) ++resumo_.alunosCorrigidos;
    ultimoAluno = original.indice;
    const int notaAntes = antes.nota;
    const int notaAgora = agora.getNota();
    if (notaAntes == -1 || (notaAgora != -1 && notaAgora >= notaAntes)) continue;
    ++resumo_.notasDesceram;
    resumo_.avisos.push_back("Aluno " + std::to_string(estudantes_[original.indice].getNumAluno()) +
                             ", UC " + std::to_string(agora.getCodigo()) + ": nota final " +
                             std::to_string(notaAntes) + " corrigida para " +
                             (notaAgora == -1 ? std::string("-") : std::to_string(notaAgora)));
  }
}

bool Importador::leCabecalho() {
  const ColunasConhecidas conhecidas = colunasConhecidas(colunas_);
  const size_t errosAntes = erros_.size();
  colunas_.total = celulas_.size();
  for (size_t i = 0; i < celulas_.size(); ++i) localizaColuna(i, conhecidas);
  usadas_.assign(colunas_.total, false);
  for (const ColunaConhecida& conhecida : conhecidas) {
    if (*conhecida.coluna >= 0) usadas_[static_cast<size_t>(*conhecida.coluna)] = true;
  }
  verificaColunasNecessarias();
  return erros_.size() == errosAntes;
}

// Keeps the header cell `i` and, when it names a known column, its position
// (a column named twice is an error).
void Importador::localizaColuna(size_t i, const ColunasConhecidas& conhecidas) {
  std::string& texto = celulas_[i];
  leitor_.converte(texto);  // a name that cannot be converted matches none
  const std::string_view nome = csv::semBrancos(csv::semProtecao(texto));
  const std::string chave =
      nome.size() <= maximoCelulaMostrada ? csv::chaveColuna(nome) : std::string();
  // Kept for the messages, which never echo more of a cell than this.
  nomes_.emplace_back(nome.substr(0, maximoCelulaMostrada));
  if (nome.size() > maximoCelulaMostrada) nomes_.back() += "...";
  for (const ColunaConhecida& conhecida : conhecidas) {
    if (chave.empty() || chave != csv::chaveColuna(conhecida.nome)) continue;
    if (*conhecida.coluna >= 0) {
      erro(std::string("a coluna ") + conhecida.nome + " aparece mais de uma vez");
    }
    *conhecida.coluna = static_cast<int>(i);
  }
}

// The student's number is always needed; the unit's code, when any column
// gives grades, weights or the option.
void Importador::verificaColunasNecessarias() {
  const Colunas& c = colunas_;
  if (c.numero < 0) erro(std::string("falta a coluna ") + csv::colunaNumero + cabecalhoLido());
  bool notas = c.avaliacao >= 0 || c.pfolio >= 0 || c.recurso >= 0;
  for (int i = 0; i < numEfolios; ++i) notas = notas || c.nota[i] >= 0 || c.peso[i] >= 0;
  if (notas && c.codigo < 0) {
    erro(std::string("falta a coluna ") + csv::colunaCodigoUC + " das notas" + cabecalhoLido());
  }
}

// The header as read, for the message about a missing column:
// " (cabeçalho lido: CELL | CELL | ...)".
std::string Importador::cabecalhoLido() const {
  std::string texto = TXT(" (cabeçalho lido: ");
  for (size_t i = 0; i < nomes_.size(); ++i) {
    if (i > 0) texto += " | ";
    texto += nomes_[i];
  }
  return texto + ")";
}

// Converts the cells the import uses from UTF-8; reports each that cannot be.
bool Importador::converteCelulas() {
  std::vector<std::string>& celulas = celulas_;
  bool ok = true;
  for (size_t i = 0; i < celulas.size() && i < colunas_.total; ++i) {
    if (celulas[i].empty()) continue;
    if (usadas_[i] && !leitor_.converte(celulas[i])) {
      erro(nomes_[i] + (cp1252::utf8Valido(celulas[i]) ? TXT(": caracteres que o CP1252 não tem")
                                                       : TXT(": texto UTF-8 inválido")));
      ok = false;
    }
  }
  return ok;
}

void Importador::processaLinha() {
  faltaOpcaoDita_ = false;
  unidadesDaLinha_.clear();
  celulasDadas_ = celulasDadas();
  if (!linhaComConteudo() || !converteCelulas()) return;
  int numero = 0;
  std::string_view nome;
  if (!leNumeroAluno(numero) || !leNomeAluno(nome)) return;
  processaAluno(numero, nome, celula(colunas_.codigo));
}

// Whether the row is one to process: an open quote or more cells than the
// header is an error; a row of empty cells, as spreadsheets leave, is
// passed over.
bool Importador::linhaComConteudo() {
  if (leitor_.aspasPorFechar()) {
    erro(TXT("aspas abertas que não fecham até ao fim do ficheiro"));
    return false;
  }
  bool vazia = true;
  for (size_t i = 0; i < celulas_.size(); ++i) {
    if (csv::semBrancos(celulas_[i]).empty()) continue;
    if (i >= colunas_.total) {
      erro(TXT("a linha tem mais células do que o cabeçalho"));
      return false;
    }
    vazia = false;
  }
  return !vazia;
}

bool Importador::leNumeroAluno(int& numero) {
  const std::string_view textoNumero = celula(colunas_.numero);
  if (textoNumero.empty()) {
    erro(colunas_.numero, TXT("falta o número do aluno"));
    return false;
  }
  if (!csv::leInteiroCelula(textoNumero, numero)) {
    erro(colunas_.numero, entreAspas(textoNumero) + TXT(" não é um número de aluno"));
    return false;
  }
  return true;
}

// The name cell (empty when there is none), refused when it is too long or
// holds control bytes.
bool Importador::leNomeAluno(std::string_view& nome) {
  if (colunas_.nome >= 0 && static_cast<size_t>(colunas_.nome) < celulas_.size()) {
    nome = csv::semBrancos(csv::semProtecao(celulas_[static_cast<size_t>(colunas_.nome)]));
  }
  if (nome.size() > regras::maximoCaracteresNome) {
    erro("o nome tem mais de 200 caracteres");
    return false;
  }
  if (temControlo(nome)) {
    // A line break in a name would split the student's record in the file.
    erro(colunas_.nome, "o nome tem quebras de linha ou outros caracteres de controlo");
    return false;
  }
  return true;
}

void Importador::processaAluno(int numero, std::string_view nome, std::string_view textoCodigo) {
  const size_t errosAntes = erros_.size();
  AlvosDaLinha alvos;
  if (!procuraAlvos(numero, nome, alvos)) return;
  Alteracao total;
  if (textoCodigo.empty()) {
    if (linhaTemNotas()) {
      erro(std::string(csv::colunaCodigoUC) + TXT(": falta o código da UC das notas"));
    }
  } else if (!aplicaNaUC(numero, textoCodigo, alvos, total)) {
    return;
  }
  if (erros_.size() != errosAntes) return;
  contaLinha(numero, alvos, total);
}

// Whether a row's name (not empty) is the student's own: the same text, or
// the same but for case, accents and runs of blanks.
bool mesmoNome(std::string_view nomeLinha, std::string_view nomeAluno) {
  return csv::semBrancos(nomeAluno) == nomeLinha ||
         csv::chaveTexto(nomeAluno) == csv::chaveTexto(nomeLinha);
}

// The students the row is about: every one with the number (and the name,
// when given), or a new one, made ready in `alvos.novo`.
bool Importador::procuraAlvos(int numero, std::string_view nome, AlvosDaLinha& alvos) {
  const auto encontrados = porNumero_.find(numero);
  alvos.eNovo = encontrados == porNumero_.end();
  if (alvos.eNovo && corrige_) {
    erro(colunas_.numero, "o aluno " + std::to_string(numero) + TXT(" não existe no curso"));
    return false;
  }
  if (alvos.eNovo) return preparaNovo(numero, nome, alvos);
  for (size_t i : encontrados->second) {
    if (nome.empty() || mesmoNome(nome, estudantes_[i].nomeAluno())) alvos.indices.push_back(i);
  }
  if (!alvos.indices.empty()) return true;
  erro(colunas_.nome, "o aluno " + std::to_string(numero) + " chama-se " +
                          entreAspas(estudantes_[encontrados->second.front()].getNome()) +
                          TXT(", não ") + entreAspas(nome));
  return false;
}

// A new student with the row's number and name, who takes every unit of
// the course.
bool Importador::preparaNovo(int numero, std::string_view nome, AlvosDaLinha& alvos) {
  const size_t errosAntes = erros_.size();
  if (!regras::numeroAlunoValido(numero)) {
    erro(colunas_.numero, TXT("o número 0 não pode ser usado como número de aluno"));
  }
  if (nome.empty()) erro(std::string(csv::colunaNome) + ": falta o nome do novo aluno");
  if (erros_.size() != errosAntes) return false;
  alvos.novo.setNumAluno(numero);
  alvos.novo.setNome(std::string(nome));
  for (const UC& uc : unidades_) alvos.novo.adicionaUC(uc);
  alvos.indices.push_back(estudantes_.size());
  return true;
}

// Whether the row gives any grade, weight or option.
bool Importador::linhaTemNotas() const {
  bool temNotas = !celula(colunas_.avaliacao).empty() || !celula(colunas_.pfolio).empty() ||
                  !celula(colunas_.recurso).empty();
  for (int i = 0; i < numEfolios; ++i) {
    temNotas = temNotas || !celula(colunas_.nota[i]).empty() || !celula(colunas_.peso[i]).empty();
  }
  return temNotas;
}

// Applies the row's grades to the unit `textoCodigo` of every student of
// `alvos`, each on a copy kept only if the whole row is sound. False when
// the row stops at an error.
bool Importador::aplicaNaUC(int numero, std::string_view textoCodigo, AlvosDaLinha& alvos,
                            Alteracao& total) {
  const size_t errosAntes = erros_.size();
  int codigo = 0;
  if (!csv::leInteiroCelula(textoCodigo, codigo)) {
    erro(colunas_.codigo, entreAspas(textoCodigo) + TXT(" não é um código de UC"));
    return false;
  }
  std::vector<Mudanca> mudancas;
  if (!preparaMudancas(numero, codigo, alvos, total, mudancas)) return false;
  if (erros_.size() != errosAntes) return false;
  for (Mudanca& m : mudancas) {
    Estudantes& estudante = alvos.eNovo ? alvos.novo : estudantes_[m.indice];
    if (contaUC(estudante, codigo) > 1) ++ocorrencias_[m.indice][codigo];
    if (corrige_ && m.alterou) {
      originais_.push_back(
          {m.indice, m.posicao, valoresUnidade(estudante.getListaUCs()[m.posicao])});
    }
    estudante.setUC(m.posicao, std::move(m.uc));
    unidadesDaLinha_.emplace_back(m.indice, m.posicao);
  }
  return true;
}

// The row applied to a copy of the unit `codigo` of each student of `alvos`;
// false when one does not take it.
bool Importador::preparaMudancas(int numero, int codigo, const AlvosDaLinha& alvos,
                                 Alteracao& total, std::vector<Mudanca>& mudancas) {
  for (size_t indice : alvos.indices) {
    const Estudantes& estudante = alvos.eNovo ? alvos.novo : estudantes_[indice];
    size_t posicao = 0;
    if (!procuraUC(estudante, indice, codigo, posicao)) {
      erroSemUC(numero, codigo);
      return false;
    }
    if (!valoresRepetidosIguais(numero, codigo, indice, posicao,
                                estudante.getListaUCs()[posicao])) {
      return false;
    }
    UC uc = estudante.getListaUCs()[posicao];
    const Alteracao a = aplicaNotas(uc);
    total.notas += a.notas;
    total.alterou = total.alterou || a.alterou;
    mudancas.push_back({indice, posicao, std::move(uc), a.alterou});
  }
  return true;
}

// The unit `codigo` is not in the course, or the student does not take it.
void Importador::erroSemUC(int numero, int codigo) {
  erro(colunas_.codigo, codigosCurso_.count(codigo) == 0
                            ? "a UC " + std::to_string(codigo) + TXT(" não existe no curso")
                            : "o aluno " + std::to_string(numero) +
                                  TXT(" não está inscrito na UC ") + std::to_string(codigo));
}

// Adds a sound row to the summary; a new student joins the course.
void Importador::contaLinha(int numero, AlvosDaLinha& alvos, const Alteracao& total) {
  if (alvos.eNovo) {
    porNumero_[numero].push_back(estudantes_.size());
    estudantes_.push_back(std::move(alvos.novo));
    ++resumo_.alunosNovos;
  }
  registaValoresDados();
  resumo_.notasAlteradas += total.notas;
  if (!alvos.eNovo && !total.alterou) ++resumo_.linhasSemAlteracoes;
  resumo_.alterado = resumo_.alterado || alvos.eNovo || total.alterou;
}

size_t Importador::contaUC(const Estudantes& estudante, int codigo) {
  size_t n = 0;
  for (const UC& uc : estudante.getListaUCs()) n += uc.getCodigo() == codigo;
  return n;
}

// The unit with the code that the student's next row for it goes to: the
// first, or for a student who has the code more than once, the n-th for his
// n-th row (the last one past them), as the export lists them.
bool Importador::procuraUC(const Estudantes& estudante, size_t indice, int codigo,
                           size_t& posicao) const {
  size_t anteriores = 0;
  const auto porAluno = ocorrencias_.find(indice);
  if (porAluno != ocorrencias_.end()) {
    const auto porCodigo = porAluno->second.find(codigo);
    if (porCodigo != porAluno->second.end()) anteriores = porCodigo->second;
  }
  const std::vector<UC>& ucs = estudante.getListaUCs();
  bool encontrada = false;
  for (size_t i = 0; i < ucs.size(); ++i) {
    if (ucs[i].getCodigo() != codigo) continue;
    posicao = i;
    encontrada = true;
    if (anteriores-- == 0) break;
  }
  return encontrada;
}

// The column of the file that holds the value cell `celulaValor` (-1: none).
int Importador::colunaValor(int celulaValor) const {
  if (celulaValor == cOpcao) return colunas_.avaliacao;
  if (celulaValor == cProva) return colunas_.pfolio;
  if (celulaValor == cRecurso) return colunas_.recurso;
  const int efolio = (celulaValor - cNotaA) / 2;
  return (celulaValor - cNotaA) % 2 == 0 ? colunas_.nota[efolio] : colunas_.peso[efolio];
}

// The value cells the current row gives, a bit each.
std::uint16_t Importador::celulasDadas() const {
  std::uint16_t dadas = 0;
  for (int i = 0; i < nCelulas; ++i) {
    if (!celula(colunaValor(i)).empty()) dadas = static_cast<std::uint16_t>(dadas | 1u << i);
  }
  return dadas;
}

// Whether the value cell `celulaValor` of the row gives `uc` another value
// than it holds, compared as the files write them. A cell that cannot be
// read is not (applying it reports it).
bool Importador::outroValor(int celulaValor, const UC& uc) const {
  const int coluna = colunaValor(celulaValor);
  const std::string_view texto = celula(coluna);
  if (celulaValor == cOpcao) {
    int opcao = opcaoNaoEscolhida;
    return (limpa(coluna) || csv::leOpcao(texto, opcao)) && opcao != uc.getOpcaoAvaliacao();
  }
  float valor = -1;
  if (!limpa(coluna) && !csv::leDecimal(texto, valor)) return false;
  if (celulaValor == cProva) return !mesmoValor(valor, uc.getProvaFinal());
  if (celulaValor == cRecurso) return !mesmoValor(valor, uc.getProvaRecurso());
  const Efolio* efolio = uc.procuraEfolio(letras[(celulaValor - cNotaA) / 2]);
  const bool nota = (celulaValor - cNotaA) % 2 == 0;
  const float atual = efolio == nullptr ? -1 : nota ? efolio->getNota() : efolio->getPeso();
  return !mesmoValor(valor, atual);
}

// The key of a value cell of one student's unit in linhasPosteriores_.
std::uint64_t chaveCelula(size_t indice, size_t posicao, int celulaValor) {
  return static_cast<std::uint64_t>(indice) << 32 | static_cast<std::uint64_t>(posicao) << 4 |
         static_cast<std::uint64_t>(celulaValor);
}

// The row that gave the value of `celulaValor` of the student's unit.
long Importador::linhaDoValor(size_t indice, size_t posicao, int celulaValor,
                              const ValoresDados& dados) const {
  const auto posterior = linhasPosteriores_.find(chaveCelula(indice, posicao, celulaValor));
  return posterior != linhasPosteriores_.end() ? posterior->second : dados.linha;
}

// A unit that earlier rows gave values: the row may repeat them, not give
// another ("o aluno N na UC C já tem outro valor de COLUNA na linha M").
bool Importador::valoresRepetidosIguais(int numero, int codigo, size_t indice, size_t posicao,
                                        const UC& uc) {
  if (indice >= valoresDados_.size() || posicao >= valoresDados_[indice].size()) return true;
  const ValoresDados& dados = valoresDados_[indice][posicao];
  const std::uint16_t repetidas = dados.celulas & celulasDadas_;
  bool iguais = true;
  for (int i = 0; i < nCelulas; ++i) {
    if ((repetidas & 1u << i) == 0 || !outroValor(i, uc)) continue;
    erro("o aluno " + std::to_string(numero) + " na UC " + std::to_string(codigo) +
         TXT(" já tem outro valor de ") + nomeColuna(colunaValor(i)) + " na linha " +
         std::to_string(linhaDoValor(indice, posicao, i, dados)));
    iguais = false;
  }
  return iguais;
}

// Remembers the values the sound row gave its units.
void Importador::registaValoresDados() {
  const std::uint16_t dadas = celulasDadas_;
  if (dadas == 0) return;
  for (const auto& [indice, posicao] : unidadesDaLinha_) {
    if (valoresDados_.size() <= indice) valoresDados_.resize(indice + 1);
    std::vector<ValoresDados>& doAluno = valoresDados_[indice];
    // Room for all his units at once.
    if (doAluno.size() <= posicao) {
      doAluno.resize(std::max(posicao + 1, estudantes_[indice].getListaUCs().size()));
    }
    ValoresDados& dados = doAluno[posicao];
    if (dados.celulas == 0) {
      dados.linha = static_cast<std::uint32_t>(linha_);
    } else {
      for (int i = 0; i < nCelulas; ++i) {
        if ((dadas & ~dados.celulas & 1u << i) != 0) {
          linhasPosteriores_[chaveCelula(indice, posicao, i)] = linha_;
        }
      }
    }
    dados.celulas = static_cast<std::uint16_t>(dados.celulas | dadas);
  }
}

}  // namespace importacao

ResumoImportacao importaPauta(std::string_view texto, const std::vector<UC>& unidades,
                              std::vector<Estudantes>& estudantes, std::vector<std::string>& erros,
                              Regime regime) {
  importacao::Importador importador(texto, unidades, estudantes, erros, regime);
  importador.importa();
  return importador.resumo();
}
