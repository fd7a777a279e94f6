// Import sheets as spreadsheets write them: CR, LF or CR LF line ends, ';', TAB or ',' between
// cells, header names in any case, with or without accents; files that are no CSV text refused by
// name; at most 20 row errors and a closing line.
#include "Apoio.h"

namespace {

const Texto est = "12-Estudantes.txt";

Texto linhas(const std::vector<Texto>& l, const Texto& fim) {
  Texto t;
  for (const Texto& x : l) t += x + fim;
  return t;
}
bool tem(const Texto& texto, const Texto& parte) { return texto.find(parte) != Texto::npos; }

}  // namespace

// The same list of students in every layout enrols the same students.
TEST(Folhas, FinsDeLinhaSeparadoresECabecalhos) {
  const struct {
    const char* caso;
    Texto folha;
  } casos[] = {
      {"CR (CSV Macintosh)", linhas({TXT("Número;Nome"), "9;Nove", "10;Silva, Ana"}, "\r")},
      {"TAB", linhas({TXT("Número\tNome"), "9\tNove", "10\tSilva, Ana"}, "\r\n")},
      {"virgula", linhas({TXT("Número,Nome"), "9,Nove", "10,\"Silva, Ana\""}, "\n")},
      {"sem acentos nem maiusculas", linhas({"numero;nome", "9;Nove", "10;Silva, Ana"}, "\n")},
      {"maiusculas e brancos em UTF-8",
       linhas({"\xEF\xBB\xBF N\xC3\x9AMERO \t; NOME", "9;Nove", "10;Silva, Ana"}, "\r\n")},
  };
  for (const auto& k : casos) {
    SCOPED_TRACE(k.caso);
    Cenario c;
    c.copiaExemplos();
    c.escreve("lista.csv", k.folha);
    const Resultado r = c.executa("", {"--importar", "12", "lista.csv"});
    EXPECT_EQ(r.estado, 0) << r.erros;
    EXPECT_EQ(r.saida, TXT("Importado lista.csv: 2 alunos novos, 0 notas alteradas, 0 linhas sem "
                           "alterações\n"));
    EXPECT_TRUE(tem(c.le(est), "\r\nALUNO;9;Nove\r\n"));
    EXPECT_TRUE(tem(c.le(est), "\r\nALUNO;10;Silva, Ana\r\n"));
  }
}

// A missing column shows the header as it was read: a sheet of the wrong kind is told apart.
TEST(Folhas, ColunaEmFalta) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("outra.csv", linhas({"Aluno;Nome completo;Nota", "1001;X;12"}, "\r\n"));
  const auto antes = c.ficheiros();
  const Resultado r = c.executa("", {"--importar", "12", "outra.csv"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.erros, TXT("ERRO: Linha 1: falta a coluna Número (cabeçalho lido: Aluno | Nome "
                         "completo | Nota)\nERRO: 1 linhas com erros; nada foi importado\n"));
  EXPECT_EQ(c.ficheiros(), antes);
}

// Workbooks, UTF-16 text and empty files are named before any row; nothing changes.
TEST(Folhas, FicheirosQueNaoSaoCsv) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("notas.xlsx", Texto("PK\x03\x04\x14\0\x06\0", 8) + "[Content_Types].xml");
  c.escreve("notas.ods", Texto("PK\x03\x04", 4) + "mimetypeapplication/vnd.oasis");
  c.escreve("utf16.csv", Texto("\xFF\xFEN\0", 4));
  c.escreve("utf16be.csv", Texto("\xFE\xFF\0N", 4));
  c.escreve("vazio.csv", "");
  const auto antes = c.ficheiros();
  const Texto folha =
      TXT(" é uma folha de cálculo (xlsx ou ods), não um ficheiro CSV; grave-a como CSV\n");
  const Texto utf16 = TXT(" está em UTF-16; grave-o como CSV em UTF-8 ou CP1252\n");
  const std::pair<Texto, Texto> casos[] = {{"notas.xlsx", folha},
                                           {"notas.ods", folha},
                                           {"utf16.csv", utf16},
                                           {"utf16be.csv", utf16},
                                           {"vazio.csv", TXT(" está vazio\n")}};
  for (const auto& [nome, razao] : casos) {
    for (const bool verificar : {false, true}) {
      const Resultado r =
          c.executa("", verificar ? std::vector<Texto>{"--importar", "--verificar", "12", nome}
                                  : std::vector<Texto>{"--importar", "12", nome});
      EXPECT_EQ(r.estado, 2) << nome;
      EXPECT_EQ(r.saida, "") << nome;
      EXPECT_EQ(r.erros, "ERRO: " + nome + razao);
    }
  }
  EXPECT_EQ(c.ficheiros(), antes);
}

// 25 bad rows, one of them with two errors: 20 errors, the count of the rest, and the closing
// line counting rows; --verificar closes without "nada foi importado".
TEST(Folhas, LimiteDeErros) {
  Cenario c;
  c.copiaExemplos();
  std::vector<Texto> folha{TXT("Número;Nome;Código UC;eFolio A;Peso A;eFolio B;Peso B"),
                           "1001;;21010;50;3;50;3"};
  for (int i = 0; i < 24; ++i) folha.push_back("1002;Outro " + std::to_string(i));
  c.escreve("mau.csv", linhas(folha, "\r\n"));
  const auto antes = c.ficheiros();
  const Resultado r = c.executa("", {"--importar", "12", "mau.csv"});
  EXPECT_EQ(r.estado, 2);
  Texto esperado =
      "ERRO: Linha 2: eFolio A: o aluno optou por Exame Final nesta UC\n"
      "ERRO: Linha 2: eFolio B: o aluno optou por Exame Final nesta UC\n";
  for (int i = 0; i < 18; ++i) {
    esperado += "ERRO: Linha " + std::to_string(i + 3) +
                TXT(": Nome: o aluno 1002 chama-se 'João Gonçalves Pereira', não 'Outro ") +
                std::to_string(i) + "'\n";
  }
  esperado += "... e mais 6 erros\n";
  EXPECT_EQ(r.erros, esperado + "ERRO: 25 linhas com erros; nada foi importado\n");
  const Resultado v = c.executa("", {"--importar", "--verificar", "12", "mau.csv"});
  EXPECT_EQ(v.estado, 2);
  EXPECT_EQ(v.erros, esperado + "ERRO: 25 linhas com erros\n");
  EXPECT_EQ(c.ficheiros(), antes);
}
