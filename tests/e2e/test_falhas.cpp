// Faults from outside the dialogue: files vanishing after the course list, a kill while saving,
// 10 MB and NUL lines.
#include "Apoio.h"

const S est = "12-Estudantes.txt", tmp = est + ".tmp", vaz = vazia + "\r\n";
const S sessao = "12\n3\n2001\nNovo\n4\n9\n9\n";  // adds student 2001, saves, leaves

// Runs sh: `antes`, the command starting pauta, `depois`, in the scenario; answers ../saida.
static S shell(const Cenario& c, const S& antes, const S& depois) {
  const S cmd = "cd '" + c.dir().string() + "' || exit 1; " + antes + comandoPauta() + depois;
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  return semCr(leFicheiro(c.dir().parent_path() / "saida"));
}

// A file removed between the listing and loading is named; nothing is written.
TEST(Falhas, FicheirosDesaparecemDepoisDaLista) {
  const S abrir = "\nA abrir o Ficheiro de estudantes 12-Estudantes.txt\n\n";
  const S nao = "Não foi possivel abrir o ficheiro ";
  const struct { S some, fica, entrada, trecho, depois; } casos[] = {
      {"12-UC.txt", est, "12\\n2\\n1001\\n9\\n0\\n9\\n",
       " \n\n" + nao + "12-UC.txt\n" + abrir + "O número de Estudantes carregados é 8\n",
       "ATENÇÃO: O curso não tem Unidades Curriculares, não é possivel inserir notas\n\n\n    "},
      {est, "12-UC.txt", "12\\n9\\n9\\n", "é: 30\n" + abrir + nao + est + "\n", ""},
  };
  for (const auto& k : casos) {
    Cenario c;
    c.copiaExemplos();
    const S saida = shell(c, "{ for i in $(seq 600); do grep -q 'Insira 0 para sair' ../saida &&"
                          " break; sleep 0.1; done 2>/dev/null; rm " + k.some + "; printf '" +
                          k.entrada + "'; } | ", " > ../saida 2>/dev/null");
    EXPECT_NE(saida.find(k.trecho), S::npos) << saida;
    EXPECT_NE(saida.find(k.depois), S::npos);
    EXPECT_EQ(c.ficheiros(), (std::map<S, S>{{k.fica, exemplo(k.fica)}}));
  }
}

// SIGKILL while saving 10,000 students: the old or new file, whole; a later save goes through.
TEST(Falhas, MortoAMeioDaGravacao) {
  S ucs = "CURSO;12;Curso de Ensaio\r\n", bloco, novo, antigo;
  for (int u = 0; u < 30; ++u) {
    const S uc = std::to_string(21000 + u) + ";Unidade nº " + std::to_string(u) + ";1;2;6";
    ucs += uc + "\r\n";
    bloco += uc + ";AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;12;R;-1;N;12\r\n";
    novo += uc + vaz;
  }
  for (int a = 100000; a < 110000; ++a)
    antigo += "ALUNO;" + std::to_string(a) + ";A\r\n" + bloco + "\r\n";
  novo = antigo + "ALUNO;2001;Novo\r\n" + novo + "\r\n";
  Cenario c;
  c.escreve("12-UC.txt", ucs);
  c.escreve("entrada", sessao);
  int aMeio = 0;
  for (const S espera : {"0", "0.02"}) {
    c.escreve(est, antigo);
    fs::remove(c.dir() / tmp);
    shell(c, "exec 2>/dev/null; ", " <entrada >../saida & p=$!; while [ ! -e " + tmp +
          " ] && kill -0 $p; do :; done; sleep " + espera + "; kill -9 $p; wait $p; true");
    const S depois = c.le(est);
    EXPECT_TRUE(depois == antigo || depois == novo) << espera << " s: " << depois.size();
    aMeio += c.existe(tmp);
  }
  EXPECT_GT(aMeio, 0) << "no kill landed while the temporary file was being written";
  c.escreve(est, antigo);
  EXPECT_NE(c.executa(sessao).saida.find(gravadas(est)), S::npos);
  EXPECT_TRUE(c.le(est) == novo);
  EXPECT_FALSE(c.existe(tmp));
}

// 10 MB names and NUL bytes kept through a save; unreadable such lines skipped, original kept.
TEST(Falhas, LinhasEnormesEBytesNulos) {
  S longo, ucLonga;
  while (longo.size() < 10u << 20) longo += "Nome Muito Comprido; Conceição ";
  while (ucLonga.size() < 10u << 20) ucLonga += "Unidade Muito Comprida Ação ";
  const S nul(1, '\0'), u1 = "21002;" + ucLonga + ";1;1;6", u2 = "21037;E" + nul + "a;1;2;6";
  const S bom = "ALUNO;3001;" + longo + "\r\n" + u1 + vaz + "\r\nALUNO;3002;A" + nul + "E;" +
                nul + "\r\n" + u2 + ";AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14\r\n";
  const S antigo = bom + S(10u << 20, 'x') + "\r\n" + nul + nul + ";" + nul + "\r\n\r\n";
  Cenario c;
  c.escreve("12-UC.txt", "CURSO;12;Curso de Ensaio\r\n" + u1 + "\r\n" + u2 + "\r\n");
  c.escreve(est, antigo);
  const S saida = c.executa(sessao).saida;
  EXPECT_NE(saida.find("O número de Estudantes carregados é 2\n" + erroLinha(6, est) +
                       erroLinha(7, est) + "\n"), S::npos);
  EXPECT_NE(saida.find("ATENÇÃO: Foram ignoradas linhas do ficheiro original, que foi copiado "
                       "para 12-Estudantes.txt.bak\n" + gravadas(est)), S::npos);
  EXPECT_TRUE(c.le(est) == bom + "\r\nALUNO;2001;Novo\r\n" + u1 + vaz + u2 + vaz +
                                       "\r\n");
  EXPECT_TRUE(c.le(est + ".bak") == antigo);
  EXPECT_FALSE(c.existe(tmp));
}
