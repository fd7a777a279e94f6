// The real program's dialogue, transcripts byte for byte, then the files left.
#include <regex>

#include "Apoio.h"
#include "Cp1252.h"

namespace {
using Linhas = std::vector<std::pair<Texto, Texto>>;

const Texto fecho = TXT("\n        Introduza o número da opção que deseja.\n\n");
const Texto menuGeral = TXT("\n\n        #### Menu Estudantes ####\n        1    Consultar Alunos\n"
                            "        2    Inserir Notas  \n        3    Inserir Estudante\n"
                            "        4    Gravar Alterações\n        9    Sair para o menu UCs\n") +
                        fecho;
const Texto menuNotas =
    "\n\n        #### Menu Estudantes -> Inserir Notas ####\n"
    "        1    Inserir Nota de eFolio\n"
    "        2    Inserir Nota de pFolio ou Exame Final\n"
    "        3    Inserir Nota de Exame de Recurso\n"
    "        0    Voltar ao Menu Estudantes\n" +
    fecho;
const Texto menuEfolio =
    "\n        #### Menu Estudantes -> Inserir Nota -> Inserir Nota de eFolio ####\n"
    "        1    Inserir Nota de eFolio A\n        2    Inserir Nota de eFolio B\n"
    "        3    Inserir Nota de eFolio C\n        8    Validar dados de eFolios\n"
    "        9    Validar dados atualizar Nota Final e Voltar ao Menu Inserir Notas \n" +
    fecho;
Texto invalida(int o) {
  return std::to_string(o) + TXT(" é uma opção inválida por favor digite uma opção do menu\n");
}
Texto escolheu(int o) {
  static const char* const t[] = {"", "CONSULTAR ALUNOS", "INSERIR NOTAS", "INSERIR ESTUDANTE",
                                  TXT("GRAVAR ALTERAÇÕES NO FICHEIRO")};
  return TXT("Escolheu a opção ") + std::to_string(o) + " \n### " + t[o] + " ###\n";
}

Texto curso(Texto n = "Curso de Teste", Texto f = "5-UC.txt") {
  return margem + celula("5", 15) + celula(n, 50) + celula(f, 10) + "\n";
}
const Texto banner = TXT("\nQuivra - Dravelho - Aluno Olvarin Tesk nº4455302 \n");
Texto listagem(const Texto& linha) {
  return TXT("\nOs cursos atualmente disponíveis para serem carregados são:\n\n") + regua + margem +
         celula(TXT("Código"), 15) + celula("Nome do Curso", 50) + "Ficheiro  \n" + regua + linha +
         regua + TXT("\nInsira o código do curso que deseja consultar\nInsira 0 para sair\n");
}
Texto carregados(int n) {
  return TXT("O número de Estudantes carregados é ") + std::to_string(n) + "\n";
}
const Texto semFicheiro = TXT("Não foi possivel abrir o ficheiro 5-Estudantes.txt\n");
// Banner to first main menu; `desvio` comes between the first listing and the choice.
Texto inicio(const Texto& linha, const Texto& ucs, const Texto& est, const Texto& desvio = "") {
  return banner + listagem(linha) + desvio + "O curso escolhido foi:\n\n" + linha +
         TXT("\no número de UCs do curso é: ") + ucs +
         "\nA abrir o Ficheiro de estudantes 5-Estudantes.txt\n\n" + est + "\n";
}
Texto inicio5(const Texto& est = carregados(3)) { return inicio(curso(), "3\n", est); }

Texto tabela(const Texto& h1, const Texto& h2, const Linhas& l) {
  Texto t = regua + margem + celula(h1, 15) + h2 + "\n" + regua;
  for (const auto& [a, b] : l) t += margem + celula(a, 15) + celula(b, 50) + "\n";
  return t + regua;
}
Texto alunos(const Linhas& l) {
  return TXT("Digite o número do estudante pretendido.\nOu digite 0 para voltar ao menu "
             "anterior\n\n") +
         tabela(TXT("Nº de Aluno"), "Nome do Aluno", l) + "\n";
}
const Linhas alunos5 = {{"11", TXT("Ana Sá")}, {"22", "Rui Luz"}, {"7", "Bia Cruz"}};
const Texto tabUCs =
    tabela(TXT("Código"), "Nome da Unidade Curricular",
           {{"101", TXT("Álgebra")}, {"102", TXT("Física")}, {"103", TXT("Química")}});
const Texto pedidoUC = "Em que Unidade Curricular deseja inserir a nota?\n" + tabUCs;
const Texto ucInexistente =
    TXT("Não existe nenhuma UC com esse código no sistema, tente novamente \n");
Texto relUC(const Texto& aluno,
            const Texto& campos) {  // one unit's report, under the grade-entry menu
  return "ALUNO: " + aluno + "\n\n" + cabecalhoRelatorio + linhaRelatorio(campos);
}
const Texto exameFinal =
    TXT("\nATENÇÃO: O aluno optou pela avaliação por Exame Final nesta unidade "
        "curricular, logo não é possivel inserir notas de eFolio\n");
const Texto pedeNumero = TXT("\nInsira o número de Aluno do Estudante\n");
const Texto pedeNome = "\nInsira o Nome do Estudante\n";
const Texto insere = menuGeral + escolheu(3) + pedeNumero + pedeNome + "Inseriu o estudante \n";
const Texto consulta =
    TXT("\nPretende consultar a informação de todas as UC ou de alguma em particular?\n"
        "Para consultar todas pressione '0' para consultar a lista e seleccionar uma UC pressione "
        "'1'\nPara sair pressione '9'\n");
const Texto respostas = "Para gravar insira 1\nPara sair sem gravar insira 0\n\n";
const Texto pergunta =
    TXT("ATENÇÃO: Existem alterações por gravar, deseja gravar antes de sair?\n") + respostas;
const Texto gravado = gravadas("5-Estudantes.txt");
const Texto fim = "\nA sair ...", sair = menuGeral + consulta + fim;
const Texto sairPergunta = menuGeral + consulta + pergunta + fim;

const Texto alg = TXT("101;Álgebra;1;1;6;AVALIACAO;"), fis = TXT("102;Física;1;2;5;AVALIACAO;");
const Texto ucsCurso5 = crlf({"CURSO;5;Curso de Teste", TXT("101;Álgebra;1;1;6"),
                              TXT("102;Física;1;2;5"), TXT("103;Química;2;1;4")});
const Texto estudantesCurso5 =
    crlf({TXT("ALUNO;11;Ana Sá"), alg + "-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1",
          fis + "0;A;-1;-1;B;-1;-1;C;-1;-1;F;12;R;-1;N;12", "", "ALUNO;22;Rui Luz",
          alg + "1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14",
          fis + "1;A;40;3;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1", "", "ALUNO;7;Bia Cruz",
          alg + "0;A;-1;-1;B;-1;-1;C;-1;-1;F;13;R;-1;N;13", ""});
const Mapa curso5{{"5-UC.txt", ucsCurso5}, {"5-Estudantes.txt", estudantesCurso5}};
const Texto historico5 = "5-Historico.txt";

// What a student added at the console gets in the file: every unit, nothing assessed.
Texto blocoNovo(const Texto& aluno, const Texto& ucs) {
  static const std::regex uc("([^;\n]*;[^;\n]*;[^;\n]*;[^;\n]*;[^;\r\n]*)[^\r\n]*\r\n");
  const Texto corpo = ucs.substr(ucs.find('\n') + 1);
  return aluno + "\r\n" + std::regex_replace(corpo, uc, "$1" + avaliacaoVazia + "\r\n") + "\r\n";
}
Texto troca(Texto t, const Texto& de, const Texto& para) {
  EXPECT_TRUE(t.find(de) != Texto::npos && t.find(de) == t.rfind(de)) << de;
  return t.replace(std::min(t.find(de), t.size()), de.size(), para);
}

// A run: input, whole output, exit 0, files after (default: as before), before ("/": a folder).
// A grade history the files after name is compared as historicoLegivel reads it.
struct Caso {
  const char* guarda;
  Texto entrada, saida;
  Mapa depois = {}, antes = curso5;
};
void corre(const std::vector<Caso>& casos) {
  for (const Caso& k : casos) {
    SCOPED_TRACE(k.guarda);
    Cenario c;
    Mapa depois = k.depois;
    for (const auto& [nome, t] : k.antes) {
      t == "/" ? (void)std::filesystem::create_directory(c.dir() / nome) : c.escreve(nome, t);
      if (k.depois.empty() && t != "/") depois[nome] = t;
    }
    Resultado r = c.executa(k.entrada);
    EXPECT_EQ(r.saida, k.saida);
    EXPECT_EQ(r.estado, 0) << r.erros;
    Mapa ficheiros = c.ficheiros();
    if (k.depois.count(historico5) != 0 && ficheiros.count(historico5) != 0) {
      ficheiros[historico5] = historicoLegivel(ficheiros[historico5]);
    }
    EXPECT_EQ(ficheiros, depois);
  }
}

}  // namespace

// Course prompt: 0, end of input, non-numeric and unknown codes; loading counts and errors.
TEST(Dialogo, ArranqueECarregamento) {
  const Texto linhaCursoCinco = curso("Curso Cinco"), e = "5-Estudantes.txt";
  corre({
      {"zero", "0\n", banner + listagem(curso()) + "\nA Sair ..."},
      {"fim da entrada", "", banner + listagem(curso()) + "\nA sair ..."},
      {TXT("não numérico, código errado"), "abc\n99\n5\n9\n9\n",
       inicio(curso(), "3\n", carregados(3),
              naoNumerico +
                  TXT("O curso seleccionado não existe, por "
                      "favor insira um curso da lista\n") +
                  listagem(curso())) +
           sair},
      {"unidades vazias, sem estudantes",
       "5\n9\n9\n",
       troca(inicio(curso("Curso Cinco", "6-UC.txt"), "-1\n", semFicheiro), banner,
             banner + TXT("ATENÇÃO: O ficheiro 5-UC.txt não foi listado (não tem a linha "
                          "CURSO;código;nome)\n")) +
           sair,
       {},
       {{"6-UC.txt", "CURSO;5;Curso Cinco\r\n"}, {"5-UC.txt", ""}}},
      {TXT("só linhas ALUNO exatas, erros depois da contagem"),
       "5\n9\n9\n",
       inicio(linhaCursoCinco, "3\n" + erroLinha(3, "5-UC.txt"),
              carregados(3) + erroLinha(2, e) + erroLinha(4, e) + erroLinha(6, e) +
                  erroLinha(7, e) + erroLinha(8, e)) +
           sair,
       {},
       {{"5-UC.txt", crlf({"CURSO;5;Curso Cinco", TXT("21002;Álgebra Linear;1;1;6"),
                           "21099;Incompleta;1", "21104;Arquitetura;1;2;6"})},
        {"5-Estudantes.txt",
         crlf({"ALUNO;1001;Um", "aluno;1002;x", linhaAlgebra, TXT("21037;Estatística"), "",
               TXT(" ALUNO;1003;espaço"), "ALUNOS;1004;plural", "ALUNO;um;Mau", "",
               TXT("ALUNO;1003;Três")})}}},
  });
}

// Invalid main-menu answers, the student choice and its way back, empty and odd student lists.
TEST(Dialogo, MenuPrincipal) {
  Texto invalidas;
  for (int o : {0, -3, 5, 6, 7, 8, 10}) invalidas += menuGeral + invalida(o);
  const Linhas alunosComZero = {{"0", TXT("Zé Nulo")}, {"22", "Rui Luz"}};
  const Texto nada = alunos({}) + TXT("Esse número não existe na lista\n") + alunos({});
  corre({
      {TXT("inválidas, voltar, nada a gravar"), "5\n0\n-3\n5\n6\n7\n8\n10\n1\n0\n2\n0\n4\n9\n9\n",
       inicio5() + invalidas + menuGeral + escolheu(1) + alunos(alunos5) + menuGeral + escolheu(2) +
           alunos(alunos5) + menuGeral + escolheu(4) +
           TXT("\nNão foram detetadas alterações a serem Gravadas...\n") + sair},
      {"lista vazia",
       "5\n1\n11\n0\n2\n-4\n0\n9\n9\n",
       inicio5(semFicheiro) + menuGeral + escolheu(1) + nada + menuGeral + escolheu(2) + nada +
           sair,
       {},
       {{"5-UC.txt", ucsCurso5}}},
      {TXT("aluno número 0"),
       "5\n1\n0\n2\n0\n9\n9\n",
       inicio5(carregados(2)) + menuGeral + escolheu(1) + alunos(alunosComZero) + menuGeral +
           escolheu(2) + alunos(alunosComZero) + sair,
       {},
       {{"5-UC.txt", ucsCurso5},
        {"5-Estudantes.txt", crlf({TXT("ALUNO;0;Zé Nulo"), "", "ALUNO;22;Rui Luz", ""})}}},
  });
}

// Grade entry: unit choice, option question, the three menus' bytes, refusals, and which
// count as changes (the question on leaving).
TEST(Dialogo, InserirNotas) {
  const Texto ate = inicio5() + menuGeral + escolheu(2) + alunos(alunos5) + pedidoUC;
  const Texto fisAna = relUC(TXT("Ana Sá"), TXT("Física|5|Ex.Final|-|-|-|12.00|-|12")) + menuNotas;
  auto ana = [](const Texto& a, const Texto& b, const Texto& n) {
    return relUC(TXT("Ana Sá"), TXT("Álgebra|6|Contínua|") + a + "|" + b + "|-|-|-|" + n);
  };
  auto rui = [](const Texto& recurso, const Texto& n) {
    return relUC("Rui Luz", TXT("Física|5|Contínua|1.20|-|-|-|") + recurso + "|" + n) + menuNotas;
  };
  const Texto p = erroPesos("3", "0", "0", "3"),
              valida = "A validar os valores inseridos... \n" + p;
  const Texto corrigir =
      "Para corrigir os valores insira 1, para sair sem validar os eFolios insira 0\n";
  const Texto voltou =
      "Voltou ao menu #### Inserir Notas ####\nAluno e Unidade Curricular Atualmente "
      "Seleccionados\n\n";
  const Texto semOpcao = TXT(
      "ATENÇÃO: O aluno ainda não tem opção de Avaliação definida para esta Unidade Curricular\n");
  const Texto algebra = estatisticaUC(TXT("Álgebra"), 2, "13.500"),
              recusa = semMinimoEfolios + " de Recurso" + admitidoExameRecurso;
  corre({
      {"UC errada, exame final sem eFolios", "5\n2\n11\n999\n102\n1\n9\n0\n9\n9\n",
       ate + ucInexistente + pedidoUC + fisAna + exameFinal + fisAna + invalida(9) + fisAna + sair},
      {TXT("opção na primeira entrada, menu eFolio"),
       "5\n2\n11\n101\n2\n1\n1\n0\n4\n1\n80\n3\n8\n8\n9\n1\n2\n70\n5\n9\n0\n9\n9\n0\n",
       ate + semOpcao + perguntaOpcao + TXT("Opção inválida\n") + perguntaOpcao +
           ana("-", "-", "-") + menuNotas + menuEfolio + invalida(0) + menuEfolio + invalida(4) +
           menuEfolio + pedeNota + "A:\n" + pedePeso('A') + ana("2.40", "-", "-") + menuEfolio +
           valida + menuEfolio + valida + menuEfolio + p + corrigir + menuEfolio + pedeNota +
           "B:\n" + pedePeso('B') + ana("2.40", "3.50", "-") + menuEfolio +
           TXT("Valores dos eFolios são Válidos\n\n\n") + voltou + ana("2.40", "3.50", "6") +
           menuNotas + sairPergunta},
      {TXT("sair do menu eFolio sem validar: valores ficam, nota final não"),
       "5\n2\n11\n101\n1\n1\n1\n80\n3\n9\n5\n0\n0\n9\n9\n1\n",
       ate + semOpcao + perguntaOpcao + ana("-", "-", "-") + menuNotas + menuEfolio + pedeNota +
           "A:\n" + pedePeso('A') + ana("2.40", "-", "-") + menuEfolio + p + corrigir +
           TXT("Opção inválida\n") + corrigir + voltou + ana("2.40", "-", "-") + menuNotas +
           menuGeral + consulta + pergunta + gravado + fim,
       {{"5-UC.txt", ucsCurso5},
        {"5-Estudantes.txt", troca(estudantesCurso5, alg + "-1;A;-1;-1;", alg + "1;A;80;3;")},
        {historico5,
         "dialogo;11;101;opcao;-1;1\ndialogo;11;101;eFolioA;-1;80\n"
         "dialogo;11;101;pesoA;-1;3\n"}}},
      {TXT("menu eFolio aberto por engano: sair sem validar não é alteração"),
       "5\n2\n22\n102\n1\n9\n0\n0\n9\n9\n",
       ate + rui("-", "-") + menuEfolio + erroPesos("3", "0", "0", "3") + corrigir + voltou +
           rui("-", "-") + sair},
      {TXT("pFolio recusado é alteração"), "5\n2\n22\n102\n2\n0\n9\n9\n0\n",
       ate + rui("-", "-") + semMinimoEfolios +
           TXT(" \nNão é possivel inserir a nota do pFolio \n\n\n") + rui("-", "-") + sairPergunta},
      {TXT("recurso recusado, exame de recurso, estatísticas, gravar no fim"),
       "5\n2\n22\n102\n3\n25\n11\n0\n9\n1\n101\n0\n9\n1\n",
       ate + rui("-", "-") + recusa + erroIntervalo("Exame de Recurso", "20") + recusa +
           notaValida("Exame de Recurso") + "\n\n" + rui("11.00", "11") + menuGeral + consulta +
           TXT("\nInsira o código da UC que Pretende Consultar\n\n") + tabUCs + algebra + consulta +
           algebra + estatisticaUC(TXT("Física"), 2, "11.500") +
           estatisticaUC(TXT("Química"), 0, "") + consulta + pergunta + gravado + fim,
       {{"5-UC.txt", ucsCurso5},
        {"5-Estudantes.txt",
         troca(estudantesCurso5, "R;-1;N;-1\r\n\r\nALUNO;7", "R;11;N;11\r\n\r\nALUNO;7")},
        {historico5, "dialogo;22;102;Recurso;-1;11\ndialogo;22;102;NotaFinal;-1;11\n"}}},
  });
}

// Whole sessions: saving, the last question, failed saves, end of input with changes.
TEST(Dialogo, Sessoes) {
  const Texto erroGravar =
      naoGravou("5-Estudantes.txt", TXT("5-Estudantes.txt.seccao: é uma pasta"));
  const Texto naoLido =
      TXT("ERRO: O ficheiro 5-Estudantes.txt existe mas não pode ser lido (é uma pasta); "
          "o curso 5 não foi aberto\n");
  // A save that fails twice keeps the changes unsaved: the question on leaving still comes.
  auto falha = [](const Texto& erro) {
    return insere + menuGeral + escolheu(4) + erro + menuGeral + consulta + pergunta + erro +
           respostas + fim;
  };
  const Texto falhada = falha(erroGravar);
  const Texto cortado = TXT("HISTORICO;1\r\n2026-12-07T14:03:27+00:00;ana;pc;dialogo;11;101;o");
  corre({
      {"inserir, gravar, sair sem pergunta",
       "5\n3\n22\n0\n33\nEva Reis\n4\n9\n9\n",
       inicio5() + menuGeral + escolheu(3) + pedeNumero +
           TXT("Já Existe um aluno com esse número de Aluno, por favor insira um número diferente\n"
               "ERRO: O número 0 não pode ser usado como número de Aluno, por favor insira um "
               "número "
               "diferente\n") +
           pedeNome + "Inseriu o estudante \n" + menuGeral + escolheu(4) + gravado + sair,
       {{"5-UC.txt", ucsCurso5},
        {"5-Estudantes.txt", estudantesCurso5 + blocoNovo("ALUNO;33;Eva Reis", ucsCurso5)},
        {historico5, "dialogo;33;;aluno;;Eva Reis\n"}}},
      {"inserir e sair sem gravar", "5\n3\n33\nEva Reis\n9\n9\n5\n0\n",
       inicio5() + insere + menuGeral + consulta + pergunta +
           TXT("A Opção que inseriu é inválida\n") + respostas + fim},
      {TXT("pasta no lugar do companheiro da secção crítica"),
       "5\n3\n33\nEva Reis\n4\n9\n9\n1\n0\n",
       inicio5() + falhada,
       {},
       {{"5-UC.txt", ucsCurso5},
        {"5-Estudantes.txt", estudantesCurso5},
        {"5-Estudantes.txt.seccao", "/"}}},
      {TXT("pasta no lugar do histórico: nada gravado"),
       "5\n3\n33\nEva Reis\n4\n9\n9\n1\n0\n",
       inicio5() + falha(naoGravou("5-Estudantes.txt", TXT("5-Historico.txt: é uma pasta"))),
       {},
       {{"5-UC.txt", ucsCurso5}, {"5-Estudantes.txt", estudantesCurso5}, {historico5, "/"}}},
      {TXT("histórico com a última linha cortada: cortada e registada, gravado"),
       "5\n3\n33\nEva Reis\n4\n9\n9\n",
       inicio5() + insere + menuGeral + escolheu(4) + gravado + sair,
       {{"5-UC.txt", ucsCurso5},
        {"5-Estudantes.txt", estudantesCurso5 + blocoNovo("ALUNO;33;Eva Reis", ucsCurso5)},
        {historico5, "dialogo;33;;aluno;;Eva Reis\n"}},
       {{"5-UC.txt", ucsCurso5}, {"5-Estudantes.txt", estudantesCurso5}, {historico5, cortado}}},
      {TXT("ficheiro de estudantes é uma pasta: de volta à escolha do curso"),
       "5\n0\n",
       inicio5(naoLido) + listagem(curso()).substr(1) + "\nA Sair ...",
       {},
       {{"5-UC.txt", ucsCurso5}, {"5-Estudantes.txt", "/"}}},
      {"fim da entrada no menu", "5\n3\n33\nEva Reis\n",
       inicio5() + insere + menuGeral + alteracoesPerdidas},
      {"fim da entrada no nome", "5\n3\n33\nEva Reis\n3\n44\n",
       inicio5() + insere + menuGeral + escolheu(3) + pedeNumero + pedeNome + alteracoesPerdidas},
  });
}

// The example course through every option; the saved file byte for byte.
TEST(Dialogo, SessaoExemplo) {
  Cenario c;
  c.copiaExemplos();
  const Texto s =
      c.executa(TXT("12\n1\n1002\n"                 // consult
                    "2\n1001\n21002\n2\n11.5\n0\n"  // p-folio raising a passed grade
                    "2\n1003\n21048\n1\n1\n"        // option question, e-folio menu
                    "1\n75\n3\n2\n90\n2.5\n3\n60\n3\n8\n3\n60\n2.5\n8\n9\n"  // A, B, C,
                                                                             // weights 8.5, then 8
                    "2\n8.5\n0\n"                                            // p-folio
                    "2\n1002\n21097\n0\n2\n8\n3\n12.5\n0\n"  // final exam, then resit
                    "2\n1004\n21104\n3\n12\n0\n"             // resit for want of e-folios
                    "2\n1007\n21002\n1\n0\n"                 // e-folios refused: final exam
                    "3\n1001\n1009\nMónica Ribeiro\n1\n1009\n4\n9\n"  // added, consulted, saved
                    "1\n21002\n0\n0\n9\n"))
          .saida;  // statistics, out
  const Texto uc48 = TXT("N;5\r\n21048;Ética e Práticas de Engenharia;1;1;6");
  const Texto uc97 = TXT("N;15\r\n21097;Redes de Comunicação;2;2;6");
  Texto f =
      troca(exemplo("12-Estudantes.txt"), "C;50;2;F;8.5;R;-1;N;14", "C;50;2;F;11.5;R;-1;N;17");
  f = troca(f, uc48 + avaliacaoVazia,
            uc48 + ";AVALIACAO;1;A;75;3;B;90;2.5;C;60;2.5;F;8.5;R;-1;N;15");
  f = troca(f, uc97 + avaliacaoVazia,
            uc97 + ";AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;8;R;12.5;N;13");
  f = troca(f, "C;25;2;F;-1;R;7.5;N;8", "C;25;2;F;-1;R;12;N;12");
  f += blocoNovo(TXT("ALUNO;1009;Mónica Ribeiro"), exemplo("12-UC.txt"));
  Mapa ficheiros = c.ficheiros();
  const Texto historico = historicoLegivel(ficheiros["12-Historico.txt"]);
  ficheiros.erase("12-Historico.txt");
  EXPECT_EQ(ficheiros, (Mapa{{"12-UC.txt", exemplo("12-UC.txt")}, {"12-Estudantes.txt", f}}));
  // Every value changed, in file order; the e-folios refused to 1007 changed nothing, and the
  // student added starts with nothing assessed.
  const Texto primeira =
      Texto(
          "dialogo;1001;21002;pFolio/Exame;8.5;11.5\ndialogo;1001;21002;NotaFinal;14;17\n"
          "dialogo;1002;21097;opcao;-1;0\ndialogo;1002;21097;pFolio/Exame;-1;8\n"
          "dialogo;1002;21097;Recurso;-1;12.5\ndialogo;1002;21097;NotaFinal;-1;13\n"
          "dialogo;1003;21048;opcao;-1;1\ndialogo;1003;21048;eFolioA;-1;75\n"
          "dialogo;1003;21048;pesoA;-1;3\ndialogo;1003;21048;eFolioB;-1;90\n"
          "dialogo;1003;21048;pesoB;-1;2.5\ndialogo;1003;21048;eFolioC;-1;60\n"
          "dialogo;1003;21048;pesoC;-1;2.5\ndialogo;1003;21048;pFolio/Exame;-1;8.5\n"
          "dialogo;1003;21048;NotaFinal;-1;15\ndialogo;1004;21104;Recurso;7.5;12\n"
          "dialogo;1004;21104;NotaFinal;8;12\n") +
      TXT("dialogo;1009;;aluno;;Mónica Ribeiro\n");
  EXPECT_EQ(historico, primeira);
  // A second session appends to the same chain.
  c.executa("12\n2\n1009\n21002\n0\n2\n15\n0\n4\n9\n9\n");
  EXPECT_EQ(historicoLegivel(c.le("12-Historico.txt")),
            primeira +
                "dialogo;1009;21002;opcao;-1;0\ndialogo;1009;21002;pFolio/Exame;-1;15\n"
                "dialogo;1009;21002;NotaFinal;-1;15\n");
  EXPECT_NE(
      s.find(TXT("\nTotal de UC: 14\n\nTotal de ECTS: 82\n\nMédia: 13.671\n\nCompletou 45.6%")),
      Texto::npos);
  EXPECT_NE(s.find(erroPesos("3.0", "2.5", "3.0", "8.5")), Texto::npos);
  EXPECT_NE(s.find(TXT("ALUNO: Mónica Ribeiro\nUnidades curriculares onde obteve aprovação\n\n") +
                   cabecalhoRelatorio + regua +
                   TXT("\nTotal de UC: 0\n\nTotal de ECTS: 0\n\nMédia: -\n\n")),
            Texto::npos);
  const Texto algebra = estatisticaUC(TXT("Álgebra Linear I"), 8, "15.375");
  int n = 0;
  for (size_t i = s.find(algebra); i != Texto::npos; i = s.find(algebra, i + 1)) ++n;
  EXPECT_EQ(n, 3);  // one unit, then all units twice: the same figures
}
