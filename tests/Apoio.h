// Test support: an in-process console (scripted input, captured output), scratch directories,
// units and files read from texts, and the texts the program prints in several places.
#ifndef PAUTA_TESTES_APOIO_H
#define PAUTA_TESTES_APOIO_H

#include <gtest/gtest.h>
#include <algorithm>
#include <iostream>
#include <set>
#include <sstream>
#include "Cenario.h"
#include "Consola.h"
#include "Estudantes.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"

namespace fs = std::filesystem;
using S = std::string;

struct FimEntradaTeste {};
// While alive, std::cin reads `entrada`, std::cout writes to saida() in the default format.
class Captura {
 public:
  explicit Captura(const S& entrada = "") : entrada_(entrada) {
    cin_ = std::cin.rdbuf(entrada_.rdbuf());
    cout_ = std::cout.rdbuf(saida_.rdbuf());
    std::cin.clear();
    formato_.copyfmt(std::cout);
    std::cout.copyfmt(std::ios(nullptr));
  }
  ~Captura() {
    std::cin.rdbuf(cin_);
    std::cin.clear();
    std::cout.rdbuf(cout_);
    std::cout.copyfmt(formato_);
    consolaRegistaAlteracoes(nullptr);
  }
  Captura(const Captura&) = delete;
  Captura& operator=(const Captura&) = delete;
  S saida() const { return saida_.str(); }
  S restoEntrada() {  // the scripted input left unread
    S resto;
    std::cin.clear();
    std::getline(std::cin, resto, '\0');
    return resto;
  }
  // Runs `f`: true if it ended because standard input ran out, false if it returned.
  template <class F>
  bool terminaPorFimEntrada(F f) try {
    consolaDefineAcaoFimEntrada([] { throw FimEntradaTeste{}; });
    return f(), false;
  } catch (const FimEntradaTeste&) {
    return true;
  }
 private:
  std::istringstream entrada_;
  std::ostringstream saida_;
  std::streambuf *cin_, *cout_;
  std::ios formato_{nullptr};
};

// Joins lines, each followed by CR LF, as the data files hold them.
inline S crlf(std::initializer_list<S> linhas) {
  S texto;
  for (const S& l : linhas) texto += l + "\r\n";
  return texto;
}
inline S col(const S& t, size_t n) { return t + S(n - std::min(n, t.size()), ' '); }
const S regua = S(155, '-') + "\n", margem(8, ' ');
const S vazia = ";AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1";
const S naoNumerico =
    "O valor que inseriu é inválido ( Não numérico )\nPor favor insira um valor válido\n";
const S perdidas = "\nATENÇÃO: A entrada de dados terminou, as alterações não gravadas foram "
                   "perdidas\nA sair ...";
inline S erroLinha(int n, const S& ficheiro) {
  return "ERRO: Linha " + std::to_string(n) + " do ficheiro " + ficheiro + " ignorada\n";
}
inline S gravadas(const S& ficheiro) {
  return "\n ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO " + ficheiro + " ----------\n\n";
}
inline S naoGravou(const S& f) { return "ERRO: Não foi possivel gravar o ficheiro " + f + "\n"; }

// Grading model: units read from record texts, and the texts of dialogues and reports.
inline UC le(const S& linha) {
  UC uc;
  EXPECT_TRUE(UC::interpreta(linha, uc)) << linha;
  return uc;
}
const S P = "1;U;1;1;6;AVALIACAO;";
inline UC reg(const S& avaliacao) { return le(P + avaliacao); }  // a unit "1;U;1;1;6"
inline S grava(const UC& uc, S t = "") { return uc.gravaFicheiroEstudanteUC(t), t; }
inline S fila(const S& campos) {  // a report row of '|'-separated cells
  const size_t w[] = {50, 10, 18, 10, 10, 10, 12, 12, 10};
  S s = margem, c;
  std::istringstream in(campos);
  for (size_t i = 0; std::getline(in, c, '|'); ++i) s += col(c, w[i]);
  return s + "\n";
}
const S topo = regua + "        UC" + S(47, ' ') +
               "ECTS    Opção Avaliação      eFA       eFB       eFC    pF/Ex.Final Ex.Recurso  "
               "Nota Final\n" + regua;
inline S estat(const S& uc, int n, const S& media) {
  return "\nUNIDADE CURRICULAR: " + uc + "\nTotal de Alunos Aprovados: " + std::to_string(n) +
         (n ? "\nMédia: " + media
            : "\nNão existem alunos aprovados, logo não é possivel calcular a média") + "\n";
}
inline S pesos(const S& a, const S& b, const S& c, const S& total) {
  return "\nERRO: O peso total dos eFolios tem que ser 8, por favor corrija os valores\n"
         "Os pesos que estão definidos neste momento são:\neFolio A - " + a + "\neFolio B - " +
         b + "\neFolio C - " + c + "\nTotal do peso neste momento é " + total + "\n";
}const S nota = "Insira a Nota em Percentagem do eFolio ";
inline S peso(char l) { return S("insira o Peso da Nota do Efolio ") + l + ":\n"; }
const S erroNota = "\nERRO: Valor de Nota inválido, insira um valor entre 0 e 100, ou -1 no caso "
                   "não haver eFolio ";
inline S erro(const S& prova, const char* maximo) {
  return "ERRO: A nota do " + prova + " deverá estar entre 0 e " + maximo +
         ", por favor corrija o valor\n";
}
inline S ok(const S& p) { return "Nota do " + p + " inserida é válida\n"; }
inline S aviso(const S& p) {
  return ok("pFolio") + "\nATENÇÃO: Infelizmente o aluno não atingiu a nota mínima no " + p +
         ", desta forma a nota do " + p + " não será considerada para a nota final\n";
}
const S erroPeso =
    "\nERRO: Valor do peso inválido, insira um valor entre 0 e 8,\n"
    " tenha em conta que a soma dos pesos de todos os eFolios não pode ultrapassar 8\n";
const S opcao =
    "Por defeito a Opção de Avaliação definida para as Unidades Curriculares é avaliação "
    "continua, deseja continuar ou redefinir a opção para Exame Final?\n"
    " Continuar com Avaliação Continua - 1\n Redefinir para Exame Final - 0\n";
const S pF = "O aluno optou pela avaliação contínua por favor insira o valor da nota do pFolio\n";
const S exF =
    "\nO aluno optou pela avaliação por Exame Final por favor insira o valor da nota do Exame\n";
const S rec = "Por favor insira a nota do Exame de Recurso \n";
const S minimo = "\nATENÇÃO Infelizmente o aluno não atingiu a nota mínima nos eFolios para "
                 "poder ser admitido ao pFolio";
const S contagem = "\nATENÇÃO: O aluno tem que ser avaliado em pelo menos 2 efolios para poder "
                   "ser admitido no pFolio";
const S aExame = "\nDesta forma fica admitido a Exame de Recurso \n" + rec;
const S pR = "O aluno optou pela avaliação contínua e obteve os requisitos para ser admitido a "
             "pFolio de Recurso, por favor insira o valor da nota do pFolio de Recurso\n";
const S incompativel =
    "Ficheiro apresenta dados incompatíveis, opção de avaliação deverá ser 0 para Exame Final ou "
    "1 para Avaliação Contínua\n";
const S u1 = "21002;Álgebra Linear I;1;1;6;AVALIACAO;0;F;14;R;-1;N;14";
const S u2 = "21037;Estatística;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;5;R;-1;N;9";
const S u3 = "21053;BD;2;1;12;AVALIACAO;1;A;75;2;B;33.3;3;C;0;3;F;8.5;R;-;N;16";
const S u4 = "21071;Sistemas;2;2;6";
inline Estudantes estudante(const S& nome, std::vector<S> linhas) {
  Estudantes e;
  e.setNome(nome);
  for (const S& l : linhas) e.adicionaUC(le(l));
  return e;
}
inline S unidade(int ects, const S& nota) {  // only ECTS and grade matter
  return "1;U;1;1;" + std::to_string(ects) + ";AVALIACAO;0;F;-1;R;-1;N;" + nota;
}

// Data files: a scratch working directory, loading and saving student and unit files.
struct Pasta {
  Cenario c;
  fs::path antes = fs::current_path();
  Pasta() { fs::current_path(c.dir()); }
  ~Pasta() { fs::current_path(antes); }
};
// Loads a student file (or a unit file), as course loading does.
inline Listacurso carrega(const S& conteudo, S* saida = nullptr, bool ucs = false) {
  Captura c;
  LeitorLinhas f(conteudo, ucs ? "12-UC.txt" : "12-Estudantes.txt");
  Listacurso k;
  if (ucs) k.setUCsCurso(12, static_cast<int>(f.contaLinhas() - 1), f);
  else k.setListaEstudantes(12, static_cast<int>(f.contaLinhasComPrimeiroCampo("ALUNO")), f);
  if (saida != nullptr) *saida = c.saida();
  return k;
}
inline S fila(const S& a, const S& b, const S& c = "") {
  return margem + col(a, 15) + col(b, 50) + (c.empty() ? "" : col(c, 10)) + "\n";
}
inline std::multiset<S> linhas(const S& texto) {
  std::istringstream s(texto);
  std::multiset<S> r;
  for (S l; std::getline(s, l);) r.insert(l);
  return r;
}
const S U1 = "21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;80;2;B;75;2;C;90;4;F;9.5;R;-1;N;16";
const S U2 = "21037;Estatística;1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14";
const S U3 = "21053;Bases de Dados;2;1;6" + vazia;
using Mapa = std::map<S, S>;
const S nome = "12-Estudantes.txt";
const auto OK = std::make_pair(1, gravadas(nome)), FALHA = std::make_pair(0, naoGravou(nome));
const S valido = crlf({"ALUNO;1001;Um", U1, "", "ALUNO;1002;Dois", ""});
inline std::pair<int, S> grava(Listacurso& k) {
  Captura c;
  const int r = k.gravaFicheiro(nome);
  return {r, c.saida()};
}

#endif
