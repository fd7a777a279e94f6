#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Captura.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"

namespace {

void carregaEstudantes(Listacurso& curso, const std::string& conteudo) {
  Captura captura;
  LeitorLinhas leitor(conteudo, "12-Estudantes.txt");
  curso.setListaEstudantes(12, static_cast<int>(leitor.contaLinhasComPrimeiroCampo("ALUNO")), leitor);
}

void carregaUCs(Listacurso& curso, const std::string& conteudo) {
  Captura captura;
  LeitorLinhas leitor(conteudo, "12-UC.txt");
  curso.setUCsCurso(12, static_cast<int>(leitor.contaLinhas() - 1), leitor);
}

const std::string regua(155, '-');

std::string linhaTabela(const std::string& numero, const std::string& nome) {
  return std::string(8, ' ') + numero + std::string(15 - numero.size(), ' ') + nome +
         std::string(50 - nome.size(), ' ') + "\n";
}

const std::string cabecalhoEstudantes = regua + "\n" + std::string(8, ' ') + "Nº de Aluno    Nome do Aluno\n" + regua + "\n";
const std::string cabecalhoUCs = regua + "\n" + std::string(8, ' ') + "Código         Nome da Unidade Curricular\n" + regua + "\n";

// Two students with one number: their options in 21002 differ, and only
// the second one's e-folio weights in 21037 do not add up to 8.
const std::string ficheiroDuplicados = crlf({
    "ALUNO;1001;Primeiro",
    "21002;Álgebra Linear;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14",
    "21037;Estatística;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14",
    "",
    "ALUNO;1002;Outro",
    "21037;Estatística;1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;8;R;-1;N;8",
    "",
    "ALUNO;1001;Segundo",
    "21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14",
    "21037;Estatística;1;2;6;AVALIACAO;1;A;80;2;B;70;2;C;50;2;F;8;R;-1;N;13",
    "",
});

}  // namespace

TEST(Listacurso, DoisEstudantesComOMesmoNumero) {
  Listacurso curso;
  carregaEstudantes(curso, ficheiroDuplicados);
  ASSERT_EQ(curso.getListaEstudantes().size(), 3u);
  EXPECT_EQ(curso.checkNumAluno(1001), 1);
  EXPECT_EQ(curso.checkNumAluno(1003), 0);
  EXPECT_EQ(curso.checkOpcaoAvaliacaoUCEstudante(1001, 21002), 0);  // the first
  EXPECT_EQ(curso.checkOpcaoAvaliacaoUCEstudante(1001, 21053), 2);
  EXPECT_EQ(curso.checkOpcaoAvaliacaoUCEstudante(1003, 21037), 2);
  {
    Captura captura;
    EXPECT_EQ(curso.validaDadosEfoliosUCEstudantes(1001, 21037), 0);  // the last
    EXPECT_EQ(curso.validaDadosEfoliosUCEstudantes(1003, 21002), 0);
  }
  {
    Captura captura;
    curso.imprimeInfoEstudantes(1001);
    const std::string saida = captura.saida();
    size_t primeiro = saida.find("ALUNO: Primeiro\n");
    EXPECT_NE(primeiro, std::string::npos);
    EXPECT_NE(saida.find("ALUNO: Segundo\n", primeiro), std::string::npos);
    EXPECT_EQ(saida.find("ALUNO: Outro"), std::string::npos);
  }
  {
    Captura captura;
    curso.imprimeInfoEstudantes(1003);
    curso.imprimeInfoEstudantes(1003, 21037);
    EXPECT_EQ(captura.saida(), "");
  }
  EXPECT_EQ(curso.conteudoFicheiroEstudantes(), ficheiroDuplicados);

  Listacurso ucs;
  carregaUCs(ucs, crlf({"CURSO;12;Engenharia", "21002;Álgebra Linear;1;1;6", "21002;Repetida;1;1;6"}));
  EXPECT_EQ(ucs.checkCodigoUCcurso(21002), 1);
  EXPECT_EQ(ucs.checkCodigoUCcurso(21037), 0);
  Captura captura;
  ucs.imprimeInfoUCcurso(21002);
  const std::string saida = captura.saida();
  size_t primeira = saida.find("UNIDADE CURRICULAR: Álgebra Linear\n");
  EXPECT_NE(primeira, std::string::npos);
  EXPECT_NE(saida.find("UNIDADE CURRICULAR: Repetida\n", primeira), std::string::npos);
}

// The statistics are rebuilt from zero: computing them twice gives the same
// figures. A unit counts for every passed student (grade 10 or more).
TEST(Listacurso, EstatisticasCalculadasDuasVezes) {
  Listacurso ucs;
  carregaUCs(ucs, crlf({"CURSO;12;Engenharia", "21002;Álgebra Linear;1;1;6", "21037;Estatística;1;2;6",
                        "21053;Bases de Dados;2;1;6"}));
  Listacurso estudantes;
  carregaEstudantes(estudantes, ficheiroDuplicados);
  for (int vez = 0; vez < 2; ++vez) {
    ucs.setInfoUCsCurso(estudantes.getListaEstudantes());
    const std::vector<UC>& lista = ucs.getListaUCsCurso();
    ASSERT_EQ(lista.size(), 3u);
    EXPECT_EQ(lista[0].getAlunosAprovados(), 2);
    EXPECT_EQ(lista[0].getSomaNotas(), 28);
    EXPECT_EQ(lista[1].getAlunosAprovados(), 2);  // 14 and 13; 8 fails
    EXPECT_EQ(lista[1].getSomaNotas(), 27);
    EXPECT_EQ(lista[2].getAlunosAprovados(), 0);
    EXPECT_EQ(lista[2].getSomaNotas(), 0);
  }
  Captura captura;
  ucs.imprimeInfoUCcurso(21037);
  EXPECT_EQ(captura.saida(), "\nUNIDADE CURRICULAR: Estatística\nTotal de Alunos Aprovados: 2\nMédia: 13.500\n");
}

TEST(Listacurso, TabelasDeListasVazias) {
  Listacurso vazio;
  Captura captura;
  vazio.imprimeEstudantesDisponiveis();
  EXPECT_EQ(captura.saida(), cabecalhoEstudantes + regua + "\n\n");
  Captura outra;
  vazio.imprimeInfoUCs();
  vazio.imprimeInfoTodasUCscurso();
  EXPECT_EQ(outra.saida(), cabecalhoUCs + regua + "\n");
  EXPECT_EQ(vazio.checkNumAluno(0), 0);
  EXPECT_EQ(vazio.checkNumAluno(1001), 0);
}

// A new student is printed last in the table; numbers and codes are shown
// signed.
TEST(Listacurso, NovoEstudanteNoFimEComSinal) {
  Listacurso ucs;
  carregaUCs(ucs, crlf({"CURSO;12;Engenharia", "-7;Negativa;1;1;6", "21053;Bases de Dados;2;1;6"}));
  Listacurso estudantes;
  carregaEstudantes(estudantes, crlf({"ALUNO;1001;Primeiro", "", "ALUNO;1002;Outro", ""}));
  {
    Captura captura("-5\nNovo Aluno\n");
    estudantes.userSetEstudante(ucs.getCopiaListaUCsCurso(), estudantes.getCopialistaEstudantes());
  }
  Captura captura;
  estudantes.imprimeEstudantesDisponiveis();
  ucs.imprimeInfoUCs();
  EXPECT_EQ(captura.saida(), cabecalhoEstudantes + linhaTabela("1001", "Primeiro") + linhaTabela("1002", "Outro") +
                                 linhaTabela("-5", "Novo Aluno") + regua + "\n\n" + cabecalhoUCs +
                                 linhaTabela("-7", "Negativa") + linhaTabela("21053", "Bases de Dados") + regua +
                                 "\n");
  EXPECT_EQ(estudantes.checkNumAluno(-5), 1);
}
