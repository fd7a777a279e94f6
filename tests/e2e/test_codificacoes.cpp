// Data files written by other programs: UTF-8 with or without the byte-order mark is converted
// (with its notice, and a backup before the first save), UTF-16 is refused, numbers written
// another way are read with a word, and the catalogue says which unit files it left out and when
// the folder holds no course at all.
#include <sys/stat.h>
#include <unistd.h>

#include "Apoio.h"
#include "Terminal.h"

namespace {

const Texto marcaUtf8 = "\xEF\xBB\xBF";
const Texto ucs = "12-UC.txt", est = "12-Estudantes.txt";
const Texto guardaSessao = "12\n3\n2001\nNovo\n4\n9\n9\n";  // adds 2001, saves, leaves

Texto emUtf8(const Texto& nome) { return cp1252::paraUtf8(exemplo(nome)); }
// ASCII text as UTF-16 little-endian with its mark.
Texto emUtf16(const Texto& ascii) {
  Texto t = "\xFF\xFE";
  for (char c : ascii) t += Texto(1, c) + '\0';
  return t;
}
Texto convertido(const Texto& nome) {
  return TXT("ATENÇÃO: O ficheiro ") + nome +
         TXT(" está em UTF-8; o texto foi convertido para CP1252\n");
}
Texto naoListado(const Texto& nome, const Texto& porque) {
  return TXT("ATENÇÃO: O ficheiro ") + nome + TXT(" não foi listado (") + porque + ")\n";
}
size_t conta(const Texto& texto, const Texto& parte) {
  size_t n = 0;
  for (size_t p = texto.find(parte); p != Texto::npos; p = texto.find(parte, p + 1)) ++n;
  return n;
}
Texto troca(Texto t, const Texto& de, const Texto& para) {
  EXPECT_EQ(conta(t, de), 1u) << de;
  const size_t p = std::min(t.find(de), t.size());
  return t.replace(p, std::min(de.size(), t.size() - p), para);
}
const Texto banner = TXT("Tesk nº4455302 \n");
const Texto abreEstudantes = "A abrir o Ficheiro de estudantes 12-Estudantes.txt\n\n";

}  // namespace

// The example course saved as UTF-8 (the unit file with the mark, the student file without): the
// dialogue is the CP1252 one plus one notice per file, each shown once; the first save keeps the
// original bytes as a backup and writes CP1252.
TEST(Codificacoes, DialogoComFicheirosEmUtf8) {
  Cenario cp1252, utf8;
  cp1252.copiaExemplos();
  const Resultado normal = cp1252.executa(guardaSessao);
  const Texto original = emUtf8(est);
  utf8.escreve(ucs, marcaUtf8 + emUtf8(ucs));
  utf8.escreve(est, original);
  const Resultado r = utf8.executa(guardaSessao);
  Texto esperado = troca(normal.saida, banner, banner + convertido(ucs));
  esperado = troca(esperado, abreEstudantes, abreEstudantes + convertido(est));
  esperado = troca(esperado, gravadas(est),
                   TXT("ATENÇÃO: O ficheiro original estava em UTF-8 e foi copiado para ") + est +
                       ".bak\n" + gravadas(est));
  EXPECT_EQ(r.saida, esperado);
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(utf8.le(est), cp1252.le(est));
  EXPECT_EQ(utf8.le(est + ".bak"), original);
  // Saved in CP1252, the file is read as it is now: no notice, no new backup.
  const Resultado depois = utf8.executa(guardaSessao);
  EXPECT_EQ(conta(depois.saida, convertido(est)), 0u);
  EXPECT_FALSE(utf8.existe(est + ".bak.1"));
}

// The marks the other way round, in a mode: the notices on standard error, the export as from the
// CP1252 files. At a terminal the converted names read right.
TEST(Codificacoes, ModosETerminalComFicheirosEmUtf8) {
  Cenario cp1252, utf8;
  cp1252.copiaExemplos();
  utf8.escreve(ucs, emUtf8(ucs));
  utf8.escreve(est, marcaUtf8 + emUtf8(est));
  ASSERT_EQ(cp1252.executa("", {"--exportar", "12"}).estado, 0);
  const Resultado r = utf8.executa("", {"--exportar", "12"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.erros, convertido(ucs) + convertido(est));
  EXPECT_EQ(utf8.le("12-Pauta.csv"), cp1252.le("12-Pauta.csv"));
  EXPECT_EQ(utf8.le(est), marcaUtf8 + emUtf8(est));  // only read
  if (haTerminais()) {
    const Texto tela = executaEmTerminal(utf8, "12\n1\n1001\n9\n0\n9\n", {}, false).saida;
    EXPECT_EQ(conta(tela, "1001           In\xC3\xAAs Concei\xC3\xA7\xC3\xA3o Almeida"), 1u);
    EXPECT_EQ(conta(tela, "Licenciatura em Engenharia Inform\xC3\xA1tica"), 2u);
    EXPECT_EQ(conta(tela, "\xC3\x83\xC2"), 0u);  // no UTF-8 read as CP1252 ("Ãª", "Ã§"...)
  }
}

// Characters CP1252 lacks become '?', and the notice counts them; a file that is not valid UTF-8
// throughout (one CP1252 byte among UTF-8 names) is CP1252, as it always was.
TEST(Codificacoes, CaracteresSemRepresentacao) {
  Cenario c;
  c.escreve("7-UC.txt", crlf({"CURSO;7;Sete", "100;Unidade;1;1;6"}));
  const Texto uc = "100;Unidade;1;1;6" + avaliacaoVazia;
  c.escreve("7-Estudantes.txt", crlf({"ALUNO;1;\xC5\x81ukasz \xF0\x9F\x98\x80 S\xC3\xA1", uc, "",
                                      "ALUNO;2;\xE2\x82\xAC", uc, ""}));
  const Resultado r = c.executa("", {"--exportar", "7"});
  EXPECT_EQ(r.erros, TXT("ATENÇÃO: O ficheiro 7-Estudantes.txt está em UTF-8; o texto foi "
                         "convertido para CP1252 e 2 caracteres sem representação foram "
                         "substituídos por '?'\n"));
  EXPECT_NE(c.le("7-Pauta.csv").find("1;?ukasz ? S\xE1;100"), Texto::npos);
  EXPECT_NE(c.le("7-Pauta.csv").find("2;\x80;100"), Texto::npos);

  const Texto misto = crlf({"ALUNO;1;S\xC3\xA1", uc, "", "ALUNO;2;Jo\xE3o", uc, ""});
  c.escreve("7-Estudantes.txt", misto);
  const Resultado m = c.executa("", {"--exportar", "7"});
  EXPECT_EQ(m.erros, "");
  EXPECT_NE(c.le("7-Pauta.csv").find("1;S\xC3\xA1;100"), Texto::npos);
}

// Numbers edited by hand: a decimal comma in the student file is read as meant; a number with
// text after it is read as its leading number and said where the dialogue loads the file. The
// first save keeps the original and writes every number in the program's form, so the next run
// is silent about the student file; the unit file is never written, and says it on every run.
// A mode says the same on standard error.
TEST(Codificacoes, NumerosEscritosDeOutraForma) {
  Cenario normal, editado;
  normal.copiaExemplos();
  const Texto original =
      troca(troca(exemplo(est), "C;50;2;F;8.5;R;-1;N;14", "C;50;2;F;8,5;R;-1;N;14"),
            TXT("ALUNO;1002;João"), TXT("ALUNO;1002 .;João"));
  editado.escreve(est, original);
  editado.escreve(
      ucs, troca(exemplo(ucs), TXT("Álgebra Linear I;1;1;6"), TXT("Álgebra Linear I;1;1;6,0")));
  const Texto linhaAluno = std::to_string(
      std::count(original.begin(), original.begin() + original.find("ALUNO;1002 ."), '\n') + 1);
  const Texto numeroAluno = TXT("ATENÇÃO: Linha ") + linhaAluno +
                            " do ficheiro 12-Estudantes.txt: '1002 .' foi lido como 1002\n";
  const Texto ects = TXT("ATENÇÃO: Linha 2 do ficheiro 12-UC.txt: '6,0' foi lido como 6\n");
  const Texto carregados = TXT("O número de Estudantes carregados é 8\n");
  const Texto unidades = TXT("o número de UCs do curso é: 30\n");

  ASSERT_EQ(normal.executa("", {"--exportar", "12"}).estado, 0);
  const Resultado modo = editado.executa("", {"--exportar", "12"});
  EXPECT_EQ(modo.estado, 0);
  EXPECT_EQ(modo.erros, ects + numeroAluno);
  EXPECT_EQ(editado.le("12-Pauta.csv"), normal.le("12-Pauta.csv"));
  EXPECT_EQ(editado.le(est), original);

  const Resultado r = editado.executa(guardaSessao);
  Texto esperado = troca(normal.executa(guardaSessao).saida, carregados, carregados + numeroAluno);
  esperado = troca(esperado, unidades, unidades + ects);
  esperado = troca(esperado, gravadas(est),
                   TXT("ATENÇÃO: O ficheiro original tinha números escritos de outra forma e foi "
                       "copiado para ") +
                       est + ".bak\n" + gravadas(est));
  EXPECT_EQ(r.saida, esperado);
  EXPECT_EQ(editado.le(est), normal.le(est));
  EXPECT_EQ(editado.le(est + ".bak"), original);
  const Resultado depois = editado.executa(guardaSessao);
  EXPECT_EQ(conta(depois.saida, TXT("ATENÇÃO: Linha")), 1u);
  EXPECT_EQ(conta(depois.saida, ects), 1u);
  EXPECT_FALSE(editado.existe(est + ".bak.1"));
}

// UTF-16 files are not read: a student file does not open the course, a unit file is not listed
// and a mode says why.
TEST(Codificacoes, Utf16Recusado) {
  Cenario c;
  c.copiaExemplos();
  c.escreve(est, emUtf16("ALUNO;1;Um\r\n"));
  c.escreve("7-UC.txt", emUtf16("CURSO;7;Sete\r\n100;Unidade;1;1;6\r\n"));
  const Resultado r = c.executa("12\n0\n");
  EXPECT_EQ(conta(r.saida, naoListado("7-UC.txt", TXT("está em UTF-16"))), 1u) << r.saida;
  EXPECT_EQ(conta(r.saida,
                  abreEstudantes + TXT("ERRO: O ficheiro 12-Estudantes.txt existe mas não pode ser "
                                       "lido (está em UTF-16); o curso 12 não foi aberto\n")),
            1u)
      << r.saida;
  EXPECT_EQ(conta(r.saida, "Inserir Notas"), 0u);
  const Resultado modo = c.executa("", {"--exportar", "7"});
  EXPECT_EQ(modo.estado, 2);
  EXPECT_EQ(modo.erros, TXT("ERRO: O ficheiro 7-UC.txt existe mas não pode ser lido (está em "
                            "UTF-16); o curso 7 não foi aberto\n"));
  EXPECT_FALSE(c.existe("7-Pauta.csv"));
}

// Every name that looks like a unit file but is not listed is named once, right after the banner,
// however often the table is shown again.
TEST(Catalogo, FicheirosNaoListados) {
  Cenario c;
  c.copiaExemplos();
  fs::create_directory(c.dir() / "8-UC.txt");
  c.escreve("9-UC.txt", "21002;Sem curso;1;1;6\r\n");
  c.escreve("10-UC.txt", "CURSO;10;Dez\r\n");
  const bool semPermissao = getuid() != 0 && chmod((c.dir() / "10-UC.txt").c_str(), 0) == 0;
  const Resultado r = c.executa("77\n0\n");
  const Texto avisos = r.saida.substr(0, r.saida.find(TXT("\nOs cursos atualmente")));
  EXPECT_EQ(conta(avisos, naoListado("8-UC.txt", TXT("é uma pasta"))), 1u) << avisos;
  EXPECT_EQ(conta(avisos, naoListado("9-UC.txt", TXT("não tem a linha CURSO;código;nome"))), 1u);
  if (semPermissao) {
    EXPECT_EQ(conta(avisos, naoListado("10-UC.txt", TXT("sem permissão"))), 1u);
  }
  EXPECT_EQ(conta(r.saida, TXT("não foi listado")), semPermissao ? 3u : 2u);
  EXPECT_EQ(conta(r.saida, TXT("Os cursos atualmente disponíveis")), 2u);
}

// An empty folder: the table, one hint, and the same table again without it.
TEST(Catalogo, PastaSemCursos) {
  Cenario c;
  const Texto aviso =
      TXT("ATENÇÃO: Não há cursos nesta pasta; cada curso é um ficheiro "
          "CÓDIGO-UC.txt (veja o README)\n");
  const Resultado r = c.executa("5\n0\n");
  EXPECT_EQ(conta(r.saida, regua + regua + "\n" + aviso + TXT("Insira o código do curso")), 1u)
      << r.saida;
  EXPECT_EQ(conta(r.saida, aviso), 1u);
  EXPECT_EQ(conta(r.saida, TXT("Os cursos atualmente disponíveis")), 2u);
  c.copiaExemplos();
  EXPECT_EQ(conta(c.executa("0\n").saida, aviso), 0u);
}
