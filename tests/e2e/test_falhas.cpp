// Faults from outside the dialogue: files vanishing after the course list, a kill while saving,
// 10 MB and NUL lines.
#include <signal.h>

#include "Apoio.h"
#include "Cp1252.h"
#include "ProcessoPausado.h"

const Texto semAvaliacaoCrlf = avaliacaoVazia + "\r\n";
const Texto sessao = "12\n3\n2001\nNovo\n4\n9\n9\n";  // adds student 2001, saves, leaves

// Runs sh: `antes`, the command starting pauta, `depois`, in the scenario; answers ../saida.
static Texto shell(const Cenario& c, const Texto& antes, const Texto& depois) {
  const Texto cmd = "cd '" + c.dir().string() + "' || exit 1; " + antes + comandoPauta() + depois;
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  return semCr(leFicheiro(c.dir().parent_path() / "saida"));
}

// A file removed between the listing and loading is named; nothing is written.
TEST(Falhas, FicheirosDesaparecemDepoisDaLista) {
  const Texto abrir = "\nA abrir o Ficheiro de estudantes 12-Estudantes.txt\n\n";
  const Texto nao = TXT("Não foi possivel abrir o ficheiro ");
  const struct {
    Texto some, fica, entrada, trecho, depois;
  } casos[] = {
      {"12-UC.txt", ficheiroEstudantes, "12\\n2\\n1001\\n9\\n0\\n9\\n",
       " \n\n" + nao + "12-UC.txt\n" + abrir + TXT("O número de Estudantes carregados é 8\n"),
       TXT("ATENÇÃO: O curso não tem Unidades Curriculares, não é possivel inserir notas\n\n\n   "
           " ")},
      {ficheiroEstudantes, "12-UC.txt", "12\\n9\\n9\\n",
       TXT("é: 30\n") + abrir + nao + ficheiroEstudantes + "\n", ""},
  };
  for (const auto& k : casos) {
    Cenario c;
    c.copiaExemplos();
    const Texto saida = shell(c,
                              "{ for i in $(seq 600); do grep -q 'Insira 0 para sair' ../saida &&"
                              " break; sleep 0.1; done 2>/dev/null; rm " +
                                  k.some + "; printf '" + k.entrada + "'; } | ",
                              " > ../saida 2>/dev/null");
    EXPECT_NE(saida.find(k.trecho), Texto::npos) << saida;
    EXPECT_NE(saida.find(k.depois), Texto::npos);
    EXPECT_EQ(c.ficheiros(), (std::map<Texto, Texto>{{k.fica, exemplo(k.fica)}}));
  }
}

// Whether a private temporary file of the student file is in the scenario's folder.
static bool haTemporario(const Cenario& c) {
  for (const auto& e : fs::directory_iterator(c.dir())) {
    if (e.path().filename().string().rfind(ficheiroEstudantes + ".tmp.", 0) == 0) return true;
  }
  return false;
}

// SIGKILL while saving 10,000 students, once its temporary file is half written and once it is
// whole but not renamed (the moments held by pause points): the old file, whole; a later save goes
// through and removes the killed process's leftover temporary file.
TEST(Falhas, MortoAMeioDaGravacao) {
  Texto ucs = "CURSO;12;Curso de Ensaio\r\n", bloco, novo, antigo;
  for (int u = 0; u < 30; ++u) {
    const Texto uc = std::to_string(21000 + u) + TXT(";Unidade nº ") + std::to_string(u) + ";1;2;6";
    ucs += uc + "\r\n";
    bloco += uc + ";AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;12;R;-1;N;12\r\n";
    novo += uc + semAvaliacaoCrlf;
  }
  for (int a = 100000; a < 110000; ++a)
    antigo += "ALUNO;" + std::to_string(a) + ";A\r\n" + bloco + "\r\n";
  novo = antigo + "ALUNO;2001;Novo\r\n" + novo + "\r\n";
  Cenario c;
  c.escreve("12-UC.txt", ucs);
  for (const Texto ponto : {"temporario-a-meio", "temporario-escrito"}) {
    SCOPED_TRACE(ponto);
    c.escreve(ficheiroEstudantes, antigo);
    ProcessoPausado p(c, ponto, sessao, {}, ponto);
    ASSERT_TRUE(p.chegou(ponto));
    ASSERT_TRUE(haTemporario(c));
    kill(p.pid(), SIGKILL);
    p.fim();
    EXPECT_TRUE(c.le(ficheiroEstudantes) == antigo);
    EXPECT_TRUE(haTemporario(c));
    EXPECT_NE(c.executa(sessao).saida.find(gravadas(ficheiroEstudantes)), Texto::npos);
    EXPECT_TRUE(c.le(ficheiroEstudantes) == novo);
    EXPECT_FALSE(haTemporario(c));
  }
}

// 10 MB names and NUL bytes kept through a save; unreadable such lines skipped and reported.
TEST(Falhas, LinhasEnormesEBytesNulos) {
  Texto longo, ucLonga;
  while (longo.size() < 10u << 20) longo += TXT("Nome Muito Comprido; Conceição ");
  while (ucLonga.size() < 10u << 20) ucLonga += TXT("Unidade Muito Comprida Ação ");
  const Texto nul(1, '\0'), ucNomeLongo = "21002;" + ucLonga + ";1;1;6",
                            ucComNul = "21037;E" + nul + "a;1;2;6";
  const Texto bom = "ALUNO;3001;" + longo + "\r\n" + ucNomeLongo + semAvaliacaoCrlf +
                    "\r\nALUNO;3002;A" + nul + "E;" + nul + "\r\n" + ucComNul +
                    ";AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14\r\n";
  const Texto antigo = bom + Texto(10u << 20, 'x') + "\r\n" + nul + nul + ";" + nul + "\r\n\r\n";
  Cenario c;
  c.escreve("12-UC.txt", "CURSO;12;Curso de Ensaio\r\n" + ucNomeLongo + "\r\n" + ucComNul + "\r\n");
  c.escreve(ficheiroEstudantes, antigo);
  const Texto saida = c.executa(sessao).saida;
  EXPECT_NE(saida.find(TXT("O número de Estudantes carregados é 2\n") +
                       erroLinha(6, ficheiroEstudantes) + erroLinha(7, ficheiroEstudantes) + "\n"),
            Texto::npos);
  EXPECT_NE(saida.find(gravadas(ficheiroEstudantes)), Texto::npos);
  EXPECT_TRUE(c.le(ficheiroEstudantes) == bom + "\r\nALUNO;2001;Novo\r\n" + ucNomeLongo +
                                              semAvaliacaoCrlf + ucComNul + semAvaliacaoCrlf +
                                              "\r\n");
  EXPECT_FALSE(haTemporario(c));
}
