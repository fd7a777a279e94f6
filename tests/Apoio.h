// Test support: a console in memory (scripted input, captured output), scratch directories,
// units and files read from texts, and the texts the program prints in several places.
#ifndef PAUTA_TESTES_APOIO_H
#define PAUTA_TESTES_APOIO_H

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "BloqueioCurso.h"
#include "Cenario.h"
#include "ConsolaES.h"
#include "Cp1252.h"
#include "Estudantes.h"
#include "FormatoDados.h"
#include "FormatoHistorico.h"
#include "LeitorLinhas.h"
#include "LeituraHistorico.h"
#include "Listacurso.h"

namespace fs = std::filesystem;
using Texto = std::string;

// A console in memory: `entrada` holds the scripted answers, `saida` collects what is printed,
// in its own number format (the default until a test or the code changes it).
struct ConsolaTeste {
  explicit ConsolaTeste(const Texto& texto = "") : entrada(texto) {}
  ConsolaTeste(const ConsolaTeste&) = delete;
  ConsolaTeste& operator=(const ConsolaTeste&) = delete;
  Texto escrito() const { return saida.str(); }
  Texto restoEntrada() {  // the scripted input left unread
    Texto resto;
    entrada.clear();
    std::getline(entrada, resto, '\0');
    return resto;
  }
  std::istringstream entrada;
  std::ostringstream saida;
  Consola consola{entrada, saida};
};

// Joins lines, each followed by CR LF, as the data files hold them.
inline Texto crlf(std::initializer_list<Texto> linhas) {
  Texto texto;
  for (const Texto& l : linhas) texto += l + "\r\n";
  return texto;
}
inline Texto celula(const Texto& t, size_t n) { return t + Texto(n - std::min(n, t.size()), ' '); }
const Texto regua = Texto(155, '-') + "\n", margem(8, ' ');
const Texto avaliacaoVazia = ";AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1";
const Texto naoNumerico =
    TXT("O valor que inseriu é inválido ( Não numérico )\nPor favor insira um valor válido\n");
const Texto alteracoesPerdidas =
    TXT("\nATENÇÃO: A entrada de dados terminou, as alterações não gravadas foram "
        "perdidas\nA sair ...");
inline Texto erroLinha(int n, const Texto& ficheiro) {
  return "ERRO: Linha " + std::to_string(n) + " do ficheiro " + ficheiro + " ignorada\n";
}
inline Texto gravadas(const Texto& ficheiro) {
  return TXT("\n ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO ") + ficheiro +
         " ----------\n\n";
}
// A failed save of `f`, with the file and reason the failing step gave.
inline Texto naoGravou(const Texto& f, const Texto& porque) {
  return TXT("ERRO: Não foi possivel gravar o ficheiro ") + f + " (" + porque + ")\n";
}

// Grading model: units read from record texts, and the texts of dialogues and reports.
// The unit of a record line; the reader's warnings go to `avisos` when given.
inline UC leUC(const Texto& linha, std::ostream* avisos = nullptr) {
  std::ostringstream ignorados;
  UC uc;
  EXPECT_TRUE(formato::leUnidade(linha, uc, avisos != nullptr ? *avisos : ignorados)) << linha;
  return uc;
}
const Texto prefixoUC = "1;U;1;1;6;AVALIACAO;";
// The unit "1;U;1;1;6" with the given assessment part.
inline UC ucComAvaliacao(const Texto& avaliacao) { return leUC(prefixoUC + avaliacao); }
inline Texto linhaGravada(const UC& uc, Texto t = "") {
  return formato::gravaFicheiroEstudanteUC(uc, t), t;
}
inline Texto linhaRelatorio(const Texto& campos) {  // a report row of '|'-separated cells
  const size_t w[] = {50, 10, 18, 10, 10, 10, 12, 12, 10};
  Texto s = margem, c;
  std::istringstream in(campos);
  for (size_t i = 0; std::getline(in, c, '|'); ++i) s += celula(c, w[i]);
  return s + "\n";
}
const Texto cabecalhoRelatorio =
    regua + "        UC" + Texto(47, ' ') +
    TXT("ECTS    Opção Avaliação      eFA       eFB       eFC    pF/Ex.Final Ex.Recurso  "
        "Nota Final\n") +
    regua;
inline Texto estatisticaUC(const Texto& uc, int n, const Texto& media) {
  return "\nUNIDADE CURRICULAR: " + uc + "\nTotal de Alunos Aprovados: " + std::to_string(n) +
         (n ? TXT("\nMédia: ") + media
            : TXT("\nNão existem alunos aprovados, logo não é possivel calcular a média")) +
         "\n";
}
inline Texto erroPesos(const Texto& a, const Texto& b, const Texto& c, const Texto& total) {
  return TXT("\nERRO: O peso total dos eFolios tem que ser 8, por favor corrija os valores\n"
             "Os pesos que estão definidos neste momento são:\neFolio A - ") +
         a + "\neFolio B - " + b + "\neFolio C - " + c + TXT("\nTotal do peso neste momento é ") +
         total + "\n";
}
const Texto pedeNota = "Insira a Nota em Percentagem do eFolio ";
inline Texto pedePeso(char l) { return Texto("insira o Peso da Nota do Efolio ") + l + ":\n"; }
const Texto erroNota =
    TXT("\nERRO: Valor de Nota inválido, insira um valor entre 0 e 100, ou -1 no caso "
        "não haver eFolio ");
inline Texto erroIntervalo(const Texto& prova, const char* maximo) {
  return "ERRO: A nota do " + prova + TXT(" deverá estar entre 0 e ") + maximo +
         ", por favor corrija o valor\n";
}
inline Texto notaValida(const Texto& p) { return "Nota do " + p + TXT(" inserida é válida\n"); }
inline Texto avisoMinimo(const Texto& p) {
  return notaValida("pFolio") +
         TXT("\nATENÇÃO: Infelizmente o aluno não atingiu a nota mínima no ") + p +
         ", desta forma a nota do " + p + TXT(" não será considerada para a nota final\n");
}
const Texto erroPeso =
    TXT("\nERRO: Valor do peso inválido, insira um valor entre 0 e 8,\n"
        " tenha em conta que a soma dos pesos de todos os eFolios não pode ultrapassar 8\n");
const Texto perguntaOpcao =
    TXT("Por defeito a Opção de Avaliação definida para as Unidades Curriculares é avaliação "
        "continua, deseja continuar ou redefinir a opção para Exame Final?\n"
        " Continuar com Avaliação Continua - 1\n Redefinir para Exame Final - 0\n");
const Texto pedePfolio =
    TXT("O aluno optou pela avaliação contínua por favor insira o valor da nota do pFolio\n");
const Texto pedeExame = TXT(
    "\nO aluno optou pela avaliação por Exame Final por favor insira o valor da nota do Exame\n");
const Texto pedeRecurso = "Por favor insira a nota do Exame de Recurso \n";
const Texto semMinimoEfolios =
    TXT("\nATENÇÃO Infelizmente o aluno não atingiu a nota mínima nos eFolios para "
        "poder ser admitido ao pFolio");
const Texto poucosEfolios =
    TXT("\nATENÇÃO: O aluno tem que ser avaliado em pelo menos 2 efolios para poder "
        "ser admitido no pFolio");
const Texto admitidoExameRecurso =
    "\nDesta forma fica admitido a Exame de Recurso \n" + pedeRecurso;
const Texto pedePfolioRecurso =
    TXT("O aluno optou pela avaliação contínua e obteve os requisitos para ser admitido a "
        "pFolio de Recurso, por favor insira o valor da nota do pFolio de Recurso\n");
const Texto avisoIncompativel = TXT(
    "Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 para Exame Final ou "
    "1 para Avaliação Contínua\n");
// A student's unit lines for the report tests: a pass by final exam (14), a continuous-assessment
// fail (9), a continuous-assessment pass (16, 12 ECTS), a unit without assessment.
const Texto ucExame14 = TXT("21002;Álgebra Linear I;1;1;6;AVALIACAO;0;F;14;R;-1;N;14");
const Texto ucContinua9 =
    TXT("21037;Estatística;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;5;R;-1;N;9");
const Texto ucContinua16 = "21053;BD;2;1;12;AVALIACAO;1;A;75;2;B;33.3;3;C;0;3;F;8.5;R;-;N;16";
const Texto ucSemAvaliacao = "21071;Sistemas;2;2;6";
inline Estudantes estudante(const Texto& nome, std::vector<Texto> linhasUC) {
  Estudantes e;
  e.setNome(nome);
  for (const Texto& l : linhasUC) e.adicionaUC(leUC(l));
  return e;
}
inline Texto ucComEctsENota(int ects, const Texto& nota) {  // only ECTS and grade matter
  return "1;U;1;1;" + std::to_string(ects) + ";AVALIACAO;0;F;-1;R;-1;N;" + nota;
}

// Data files: a scratch working directory, loading and saving student and unit files.
struct PastaTemporaria {
  Cenario c;
  fs::path antes = fs::current_path();
  PastaTemporaria() { fs::current_path(c.dir()); }
  ~PastaTemporaria() { fs::current_path(antes); }
};
// Loads a student file (or a unit file), as course loading does.
inline Listacurso carregaCurso(const Texto& conteudo, Texto* saida = nullptr, bool ucs = false) {
  std::ostringstream mensagens;
  LeitorLinhas f(conteudo, ucs ? "12-UC.txt" : "12-Estudantes.txt", mensagens);
  Listacurso k;
  if (ucs)
    k.setUCsCurso(12, static_cast<int>(f.contaLinhas() - 1), f);
  else
    k.setListaEstudantes(12, static_cast<int>(f.contaLinhasComPrimeiroCampo("ALUNO")), f);
  if (saida != nullptr) *saida = mensagens.str();
  return k;
}
inline Texto linhaTabela(const Texto& a, const Texto& b, const Texto& c = "") {
  return margem + celula(a, 15) + celula(b, 50) + (c.empty() ? "" : celula(c, 10)) + "\n";
}
inline std::multiset<Texto> linhasSemOrdem(const Texto& texto) {
  std::istringstream s(texto);
  std::multiset<Texto> r;
  for (Texto l; std::getline(s, l);) r.insert(l);
  return r;
}
// Unit lines of the student-file tests: continuous assessment (16), final exam (14), none yet.
const Texto linhaAlgebra =
    TXT("21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;80;2;B;75;2;C;90;4;F;9.5;R;-1;N;16");
const Texto linhaEstatistica =
    TXT("21037;Estatística;1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14");
const Texto linhaBases = "21053;Bases de Dados;2;1;6" + avaliacaoVazia;
using Mapa = std::map<Texto, Texto>;
const Texto ficheiroEstudantes = "12-Estudantes.txt";
const auto gravouBem = std::make_pair(1, gravadas(ficheiroEstudantes));
inline std::pair<int, Texto> falhouGravar(const Texto& porque) {
  return {0, naoGravou(ficheiroEstudantes, porque)};
}
inline Texto copiado(const Texto& copia) {
  return TXT("ATENÇÃO: Foram ignoradas linhas do ficheiro original, que foi copiado para ") +
         copia + "\n";
}
const Texto ficheiroValido = crlf({"ALUNO;1001;Um", linhaAlgebra, "", "ALUNO;1002;Dois", ""});
// A text with each private temporary file name "NAME.tmp.PID.HOST.RANDOM" written "NAME.tmp.*".
inline Texto semAleatorio(const Texto& texto) {
  static const std::regex temporario("\\.tmp\\.[0-9]+\\.[0-9a-f]{8}\\.[0-9a-f]{16}");
  return std::regex_replace(texto, temporario, ".tmp.*");
}
inline std::pair<int, Texto> gravaCurso(Listacurso& k) {
  std::ostringstream mensagens;
  const int r = k.gravaFicheiro(ficheiroEstudantes, mensagens);
  return {r, semAleatorio(mensagens.str())};
}
#ifndef _WIN32
// While alive, this process may write no file beyond `bytes` (the write fails with EFBIG; the
// program ignores SIGXFSZ): a write failure that holds for root too.
struct LimiteTamanho {
  rlimit antes{};
  explicit LimiteTamanho(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &antes);
    rlimit novo = antes;
    novo.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &novo);
  }
  ~LimiteTamanho() { setrlimit(RLIMIT_FSIZE, &antes); }
};
#endif

// A grade history as the tests compare it: "ORIGEM;NUMERO;UC;CAMPO;ANTES;DEPOIS" per value line
// (LF) of the saves that stand (the marks of the saves and the lines of saves that did not happen
// left out; a save left open with its identities counts as done, or is asked of the files beside
// the student file `estudantes` when it is given), once its chain of VERIFICACAO
// is whole, its user and host are this process's (given, for another command run as pauta, such
// as a Windows build under an emulator) and each DATA is a local time with its offset; otherwise
// what is wrong.
inline Texto historicoLegivel(const Texto& conteudo, const fs::path& estudantes = {}) {
  historico::LeitorHistorico verificar(conteudo);
  const historico::ResultadoVerificacao r = historico::verifica(verificar);
  if (r.estado != historico::EstadoVerificacao::valido) {
    return "cadeia quebrada na linha " + std::to_string(r.linha);
  }
  static const std::regex data(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)");
  const DonoBloqueio eu = esteProcesso();
  std::string_view linha;
  historico::SeguimentoGravacoes gravacoes;
  {
    historico::LeitorHistorico leitor(conteudo);
    historico::LinhaHistorico h;
    leitor.proxima(linha);  // the header, checked above
    while (leitor.proxima(linha)) {
      if (historico::leLinha(linha, h)) gravacoes.segue(h, leitor.posicao());
    }
    historico::SeguimentoGravacoes::Feita feita;
    if (!estudantes.empty()) {
      feita = [&estudantes](const historico::IdentidadesGravacao& i) {
        return historico::gravacaoFeitaNoFicheiro(i, estudantes.string());
      };
    }
    gravacoes.termina(feita);
  }
  historico::LeitorHistorico leitor(conteudo);
  leitor.proxima(linha);
  Texto legivel;
  while (leitor.proxima(linha)) {
    historico::LinhaHistorico h;
    if (!historico::leLinha(linha, h)) return "linha estranha: " + Texto(linha);
    const bool outro = std::getenv("PAUTA_EXECUTAVEL") != nullptr;
    const bool quem = outro ? !h.utilizador.empty() && !h.maquina.empty()
                            : h.utilizador == eu.utilizador && h.maquina == eu.maquina;
    if (!std::regex_match(h.data, data) || !quem) {
      return "linha estranha: " + Texto(linha);
    }
    if (historico::marcaDe(h) != historico::Marca::valor || gravacoes.anulada(leitor.posicao())) {
      continue;
    }
    legivel += h.origem + ";" + h.numero + ";" + h.uc + ";" + h.campo + ";" + h.antes + ";" +
               h.depois + "\n";
  }
  return legivel;
}

#endif
