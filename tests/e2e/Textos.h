// Expected console texts of the dialogue, assembled piece by piece so that
// the end-to-end transcripts read like the dialogue itself, plus the small
// course (code 5) that most transcripts run on.
#ifndef PAUTA_TESTES_TEXTOS_H
#define PAUTA_TESTES_TEXTOS_H

#include <string>
#include <utility>
#include <vector>

#include "Captura.h"
#include "Cenario.h"

namespace Textos {

// A left-aligned cell filled with blanks; longer text is kept whole.
inline std::string celula(const std::string& texto, size_t largura) {
  return texto.size() >= largura ? texto : texto + std::string(largura - texto.size(), ' ');
}
inline std::string margem() { return std::string(8, ' '); }
inline std::string regra() { return std::string(155, '-') + "\n"; }

// --- The three menus, byte for byte ---

inline std::string fechoMenu() {
  return "\n"
         "        Introduza o número da opção que deseja.\n"
         "\n";
}
inline std::string menuGeral() {
  return "\n\n"
         "        #### Menu Estudantes ####\n"
         "        1    Consultar Alunos\n"
         "        2    Inserir Notas  \n"
         "        3    Inserir Estudante\n"
         "        4    Gravar Alterações\n"
         "        9    Sair para o menu UCs\n" +
         fechoMenu();
}
inline std::string menuNotas() {
  return "\n\n"
         "        #### Menu Estudantes -> Inserir Notas ####\n"
         "        1    Inserir Nota de eFolio\n"
         "        2    Inserir Nota de pFolio ou Exame Final\n"
         "        3    Inserir Nota de Exame de Recurso\n"
         "        0    Voltar ao Menu Estudantes\n" +
         fechoMenu();
}
inline std::string menuEfolio() {
  return "\n"
         "        #### Menu Estudantes -> Inserir Nota -> Inserir Nota de eFolio ####\n"
         "        1    Inserir Nota de eFolio A\n"
         "        2    Inserir Nota de eFolio B\n"
         "        3    Inserir Nota de eFolio C\n"
         "        8    Validar dados de eFolios\n"
         "        9    Validar dados atualizar Nota Final e Voltar ao Menu Inserir Notas \n" +
         fechoMenu();
}

inline std::string invalida(int opcao) {
  return std::to_string(opcao) + " é uma opção inválida por favor digite uma opção do menu\n";
}

inline std::string escolheu(int opcao) {
  static const char* const titulos[] = {"", "### CONSULTAR ALUNOS ###", "### INSERIR NOTAS ###",
                                        "### INSERIR ESTUDANTE ###",
                                        "### GRAVAR ALTERAÇÕES NO FICHEIRO ###"};
  return "Escolheu a opção " + std::to_string(opcao) + " \n" + titulos[opcao] + "\n";
}

// --- Start-up and loading ---

// From the banner to the first main menu, for a working directory holding
// one course. numEstudantes < 0: the student file is missing.
inline std::string inicio(const std::string& codigo, const std::string& nomeCurso, int numUCs,
                          int numEstudantes) {
  const std::string ficheiro = codigo + "-Estudantes.txt";
  const std::string linhaCurso =
      margem() + celula(codigo, 15) + celula(nomeCurso, 50) + celula(codigo + "-UC.txt", 10) + "\n";
  std::string t = "\nQuivra - Dravelho - Aluno Olvarin Tesk nº4455302 \n";
  t += "\nOs cursos atualmente disponíveis para serem carregados são:\n";
  t += "\n" + regra() + margem() + celula("Código", 15) + celula("Nome do Curso", 50) +
       celula("Ficheiro", 10) + "\n" + regra() + linhaCurso + regra() + "\n";
  t += "Insira o código do curso que deseja consultar\nInsira 0 para sair\n";
  t += "O curso escolhido foi:\n\n" + linhaCurso + "\n";
  t += "o número de UCs do curso é: " + std::to_string(numUCs) + "\n";
  t += "\nA abrir o Ficheiro de estudantes " + ficheiro + "\n\n";
  t += numEstudantes < 0 ? "Não foi possivel abrir o ficheiro " + ficheiro + "\n"
                         : "O número de Estudantes carregados é " + std::to_string(numEstudantes) + "\n";
  return t + "\n";
}

// --- Tables and prompts ---

using Linhas = std::vector<std::pair<std::string, std::string>>;  // number/code, name

inline std::string tabelaAlunos(const Linhas& alunos) {
  std::string t = regra() + margem() + celula("Nº de Aluno", 15) + "Nome do Aluno\n" + regra();
  for (const auto& a : alunos) t += margem() + celula(a.first, 15) + celula(a.second, 50) + "\n";
  return t + regra() + "\n";
}
inline std::string tabelaUCs(const Linhas& ucs) {
  std::string t = regra() + margem() + celula("Código", 15) + "Nome da Unidade Curricular\n" + regra();
  for (const auto& u : ucs) t += margem() + celula(u.first, 15) + celula(u.second, 50) + "\n";
  return t + regra();
}
inline std::string escolhaAluno() {
  return "Digite o número do estudante pretendido.\n"
         "Ou digite 0 para voltar ao menu anterior\n\n";
}
inline std::string alunoInexistente() { return "Esse número não existe na lista\n"; }
inline std::string pedidoUC(const Linhas& ucs) {
  return "Em que Unidade Curricular deseja inserir a nota?\n" + tabelaUCs(ucs);
}
inline std::string ucInexistente() {
  return "Não existe nenhuma UC com esse código no sistema, tente novamente \n";
}

// --- Grade entry ---

inline std::string perguntaOpcao() {
  return "Por defeito a Opção de Avaliação definida para as Unidades Curriculares é avaliação "
         "continua, deseja continuar ou redefinir a opção para Exame Final?\n"
         " Continuar com Avaliação Continua - 1\n"
         " Redefinir para Exame Final - 0\n";
}
inline std::string semOpcao() {
  return "ATENÇÃO: O aluno ainda não tem opção de Avaliação definida para esta Unidade "
         "Curricular\n" +
         perguntaOpcao();
}
inline std::string exameFinalSemEfolios() {
  return "\nATENÇÃO: O aluno optou pela avaliação por Exame Final nesta unidade curricular, logo "
         "não é possivel inserir notas de eFolio\n";
}
inline std::string pesosInvalidos(const std::string& a, const std::string& b, const std::string& c,
                                  const std::string& total) {
  return "\nERRO: O peso total dos eFolios tem que ser 8, por favor corrija os valores\n"
         "Os pesos que estão definidos neste momento são:\n"
         "eFolio A - " + a + "\neFolio B - " + b + "\neFolio C - " + c +
         "\nTotal do peso neste momento é " + total + "\n";
}
inline std::string voltouMenuNotas() {
  return "Voltou ao menu #### Inserir Notas ####\n"
         "Aluno e Unidade Curricular Atualmente Seleccionados\n\n";
}
// The two line ends that close every final-grade update.
inline std::string notaAtualizada() { return "\n\n"; }

// --- Student reports ---

struct LinhaUC {
  std::string nome, ects, opcao, efA, efB, efC, prova, recurso, nota;
};

inline std::string linhaUC(const LinhaUC& u) {
  return margem() + celula(u.nome, 50) + celula(u.ects, 10) + celula(u.opcao, 18) +
         celula(u.efA, 10) + celula(u.efB, 10) + celula(u.efC, 10) + celula(u.prova, 12) +
         celula(u.recurso, 12) + celula(u.nota, 10) + "\n";
}
inline std::string cabecalhoRelatorio() {
  return regra() + margem() + celula("UC", 49) + celula("ECTS", 8) + celula("Opção Avaliação", 21) +
         celula("eFA", 10) + celula("eFB", 10) + celula("eFC", 7) + celula("pF/Ex.Final", 12) +
         celula("Ex.Recurso", 12) + celula("Nota Final", 10) + "\n" + regra();
}
// The report on one unit shown under the grade-entry menu.
inline std::string relatorioUC(const std::string& aluno, const LinhaUC& u) {
  return "ALUNO: " + aluno + "\n\n" + cabecalhoRelatorio() + linhaUC(u);
}
// The full report: passed units, then the totals.
inline std::string relatorio(const std::string& aluno, const std::vector<LinhaUC>& aprovadas,
                             const std::string& ucs, const std::string& ects,
                             const std::string& media, const std::string& percentagem) {
  std::string t = "ALUNO: " + aluno + "\nUnidades curriculares onde obteve aprovação\n\n" +
                  cabecalhoRelatorio();
  for (const auto& u : aprovadas) t += linhaUC(u);
  return t + regra() + "\nTotal de UC: " + ucs + "\n\nTotal de ECTS: " + ects +
         "\n\nMédia: " + media + "\n\nCompletou " + percentagem + "% dos ECTS do Curso \n";
}

// --- Adding a student ---

inline std::string pedeNumero() { return "\nInsira o número de Aluno do Estudante\n"; }
inline std::string pedeNome() { return "\nInsira o Nome do Estudante\n"; }
inline std::string inseriu() { return "Inseriu o estudante \n"; }

// --- Unit consultation, saving and the end ---

inline std::string consulta() {
  return "\nPretende consultar a informação de todas as UC ou de alguma em particular?\n"
         "Para consultar todas pressione '0' para consultar a lista e seleccionar uma UC "
         "pressione '1'\n"
         "Para sair pressione '9'\n";
}
inline std::string pedidoConsulta(const Linhas& ucs) {
  return "\nInsira o código da UC que Pretende Consultar\n\n" + tabelaUCs(ucs);
}
// media "": nobody passed.
inline std::string estatistica(const std::string& uc, int aprovados, const std::string& media) {
  return "\nUNIDADE CURRICULAR: " + uc + "\nTotal de Alunos Aprovados: " +
         std::to_string(aprovados) + "\n" +
         (media.empty() ? "Não existem alunos aprovados, logo não é possivel calcular a média\n"
                        : "Média: " + media + "\n");
}
inline std::string respostasGravar() { return "Para gravar insira 1\nPara sair sem gravar insira 0\n\n"; }
inline std::string perguntaGravar() {
  return "ATENÇÃO: Existem alterações por gravar, deseja gravar antes de sair?\n" + respostasGravar();
}
inline std::string gravado(const std::string& ficheiro) {
  return "\n ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO " + ficheiro + " ----------\n\n";
}
inline std::string erroGravar(const std::string& ficheiro) {
  return "ERRO: Não foi possivel gravar o ficheiro " + ficheiro + "\n";
}
inline std::string semAlteracoes() { return "\nNão foram detetadas alterações a serem Gravadas...\n"; }
inline std::string fim() { return "\nA sair ..."; }
inline std::string fimEntradaComAlteracoes() {
  return "\nATENÇÃO: A entrada de dados terminou, as alterações não gravadas foram perdidas\n"
         "A sair ...";
}

// --- The small course 5: three units, three students ---

inline std::string ucsCurso5() {
  return crlf({"CURSO;5;Curso de Teste", "101;Álgebra;1;1;6", "102;Física;1;2;5", "103;Química;2;1;4"});
}
inline std::string estudantesCurso5() {
  return crlf({"ALUNO;11;Ana Sá",
               "101;Álgebra;1;1;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1",
               "102;Física;1;2;5;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;12;R;-1;N;12", "",
               "ALUNO;22;Rui Luz",
               "101;Álgebra;1;1;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14",
               "102;Física;1;2;5;AVALIACAO;1;A;40;3;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1", "",
               "ALUNO;7;Bia Cruz",
               "101;Álgebra;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;13;R;-1;N;13", ""});
}
inline std::string inicioCurso5() { return inicio("5", "Curso de Teste", 3, 3); }
inline Linhas ucs5() { return {{"101", "Álgebra"}, {"102", "Física"}, {"103", "Química"}}; }
inline Linhas alunos5() { return {{"11", "Ana Sá"}, {"22", "Rui Luz"}, {"7", "Bia Cruz"}}; }
inline void preparaCurso5(const Cenario& c) {
  c.escreve("5-UC.txt", ucsCurso5());
  c.escreve("5-Estudantes.txt", estudantesCurso5());
}

}  // namespace Textos

#endif
