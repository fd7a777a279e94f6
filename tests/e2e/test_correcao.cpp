// The correction and removal modes of the real program: values replaced or taken back to none,
// final grades that go down, an option changed, rules that still hold, the course's lock, a
// conflicting save, removals with and without grades, the history after each, and the export's
// sheet corrected to itself on random courses.
#include <random>

#include "Apoio.h"
#include "ProcessoPausado.h"

namespace {

const Texto est = "12-Estudantes.txt", bloqueio = est + ".lock", hist = "12-Historico.txt";

bool contem(const Texto& texto, const Texto& parte) { return texto.find(parte) != Texto::npos; }

// The student file with its first line `antiga` after `depois` replaced by `nova` (removed when
// empty).
Texto trocaLinha(Texto ficheiro, const Texto& antiga, const Texto& nova, const Texto& depois = "") {
  const size_t onde = ficheiro.find(antiga + "\r\n", ficheiro.find(depois));
  EXPECT_NE(onde, Texto::npos) << antiga;
  if (onde != Texto::npos)
    ficheiro.replace(onde, antiga.size() + 2, nova.empty() ? "" : nova + "\r\n");
  return ficheiro;
}

// "intacto" when the history verifies with `valores` value lines written by `gravacoes` saves
// (each save adds its three marks: begun, the file's identities, concluded).
Texto verificado(const Cenario& c, int valores, int gravacoes = 1) {
  const Resultado r = c.executa("", {"--historico", "12", "--verificar"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  const int linhas = valores + 3 * gravacoes;
  return r.saida == TXT("Histórico de 12: ") + std::to_string(linhas) + " linhas verificadas\n"
             ? "intacto"
             : r.saida + r.erros;
}

const Texto avaliacaoNenhuma = "AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1";
const Texto alg1001 =
    TXT("21002;Álgebra Linear I;1;1;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14");
const Texto redes = TXT("21097;Redes de Comunicação;2;2;6;");

}  // namespace

// A p-folio typed too high, lowered: the final grade goes down with it, is said on standard error,
// and both values are on the history with the sheet's name and the reason (a ';' in it quotes
// the origin cell).
TEST(Corrigir, PfolioMaisBaixoBaixaANotaFinal) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("c.csv", crlf({TXT("Número;Código UC;pFolio/Exame"), "1001;21002;6"}));
  const Resultado r =
      c.executa("", {"--corrigir", "12", "c.csv", "--motivo", "ata 3; pauta errada"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.saida, "Corrigidos: 1 valores de 1 alunos (1 notas finais desceram)\n");
  EXPECT_EQ(r.erros, TXT("ATENÇÃO: Aluno 1001, UC 21002: nota final 14 corrigida para 12\n"));
  EXPECT_EQ(c.le(est), trocaLinha(exemplo(est), alg1001,
                                  TXT("21002;Álgebra Linear I;1;1;6;AVALIACAO;1;A;80;3;B;70;3;C;"
                                      "50;2;F;6;R;-1;N;12")));
  EXPECT_EQ(historicoLegivel(c.le(hist)),
            "correcao:c.csv motivo:ata 3; pauta errada;1001;21002;pFolio/Exame;8.5;6\n"
            "correcao:c.csv motivo:ata 3; pauta errada;1001;21002;NotaFinal;14;12\n");
  EXPECT_TRUE(contem(c.le(hist), ";\"correcao:c.csv motivo:ata 3; pauta errada\";1001;"));
  EXPECT_EQ(verificado(c, 2), "intacto");
  EXPECT_FALSE(c.existe(bloqueio));
  // The history mode shows the origin; the report marks the corrections.
  EXPECT_TRUE(contem(c.executa("", {"--historico", "12", "--aluno", "1001"}).saida,
                     "correcao:c.csv motivo:ata 3; pauta errada  1001   21002  NotaFinal     14"));
  ASSERT_EQ(c.executa("", {"--relatorio", "12"}).estado, 0);
  EXPECT_TRUE(contem(c.le("12-Relatorio.html"), u8"<tr class=correcao><td>"));
  EXPECT_TRUE(
      contem(c.le("12-Relatorio.html"),
             u8"<td><strong>Correção</strong> correcao:c.csv motivo:ata 3; pauta errada<td>"));
}

// "-" takes a value back to none, a new option clears the old one's grades; each final grade is
// what the corrected values give, up or down (to none).
TEST(Corrigir, LimparValoresETrocarOpcao) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("c.csv", crlf({TXT("Número;Nome;Código UC;Avaliação;pFolio/Exame;Recurso"),
                           TXT("1001;INES CONCEICAO ALMEIDA;21002;;-;"),
                           TXT("1007;;21097;Contínua;;"), "1006;;21097;Exame Final;13,5;"}));
  const Resultado r = c.executa("", {"--corrigir", "12", "c.csv"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_EQ(r.saida, "Corrigidos: 5 valores de 3 alunos (2 notas finais desceram)\n");
  EXPECT_EQ(r.erros, TXT("ATENÇÃO: Aluno 1001, UC 21002: nota final 14 corrigida para 6\n"
                         "ATENÇÃO: Aluno 1007, UC 21097: nota final 12 corrigida para -\n"));
  Texto esperado = trocaLinha(exemplo(est), alg1001,
                              TXT("21002;Álgebra Linear I;1;1;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;"
                                  "F;-1;R;-1;N;6"));
  esperado = trocaLinha(esperado, redes + "AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;12;R;-1;N;12",
                        redes + "AVALIACAO;1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1");
  esperado =
      trocaLinha(esperado, redes + avaliacaoNenhuma,
                 redes + "AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;13.5;R;-1;N;14", "ALUNO;1006;");
  EXPECT_EQ(c.le(est), esperado);
  EXPECT_EQ(historicoLegivel(c.le(hist)),
            "correcao:c.csv;1001;21002;pFolio/Exame;8.5;-1\n"
            "correcao:c.csv;1001;21002;NotaFinal;14;6\n"
            "correcao:c.csv;1006;21097;opcao;-1;0\n"
            "correcao:c.csv;1006;21097;pFolio/Exame;-1;13.5\n"
            "correcao:c.csv;1006;21097;NotaFinal;-1;14\n"
            "correcao:c.csv;1007;21097;opcao;0;1\n"
            "correcao:c.csv;1007;21097;pFolio/Exame;12;-1\n"
            "correcao:c.csv;1007;21097;NotaFinal;12;-1\n");
  EXPECT_EQ(verificado(c, 8), "intacto");
}

// A correction that breaks a rule, or names a student the course does not have, is refused whole:
// every error, exit 2, no file changed, no lock left. The check reports the same and, when all
// is well, what the correction would do, without writing or locking.
TEST(Corrigir, RegraQuebradaNadaEscrito) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("mau.csv", crlf({TXT("Número;Código UC;eFolio A;pFolio/Exame"), "1001;21002;-;",
                             "1001;21030;;6", "1099;21002;;"}));
  c.escreve("bom.csv", crlf({TXT("Número;Código UC;pFolio/Exame"), "1001;21002;6"}));
  const auto antes = c.ficheiros();
  const Texto erros =
      TXT("ERRO: Linha 2: Pesos: os pesos dos eFolios somam 5 e têm de somar 8\n"
          "ERRO: Linha 4: Número: o aluno 1099 não existe no curso\n"
          "ERRO: 2 linhas com erros");
  const Resultado r = c.executa("", {"--corrigir", "12", "mau.csv"});
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.saida, "");
  EXPECT_EQ(r.erros, erros + "; nada foi corrigido\n");
  EXPECT_EQ(c.ficheiros(), antes);
  const Resultado v = c.executa("", {"--corrigir", "--verificar", "12", "mau.csv"});
  EXPECT_EQ(v.estado, 2);
  EXPECT_EQ(v.erros, erros + "\n");
  c.escreve(bloqueio, "1;outra-maquina;x;2026-01-01 00:00\r\n");
  const auto bloqueado = c.ficheiros();
  const Resultado ok = c.executa("", {"--corrigir", "12", "--verificar", "bom.csv"});
  EXPECT_EQ(ok.estado, 0);
  EXPECT_EQ(ok.saida,
            "Verificado bom.csv: 1 valores de 1 alunos a corrigir (1 notas finais desceriam)\n");
  EXPECT_EQ(c.ficheiros(), bloqueado);
}

// A course another live session holds: both modes refuse with its holder and the hint, exit 2,
// nothing changed, the lock left to its owner.
TEST(Corrigir, CursoBloqueado) {
  Cenario c;
  c.copiaExemplos();
  c.escreve(bloqueio, "1;outra-maquina;x;2026-01-01 00:00\r\n");
  c.escreve("c.csv", crlf({TXT("Número;Código UC;pFolio/Exame"), "1001;21002;6"}));
  const auto antes = c.ficheiros();
  const Texto mensagem =
      TXT("ATENÇÃO: O curso 12 está a ser alterado noutra sessão (máquina outra-maquina, "
          "processo 1, desde 2026-01-01 00:00)\n"
          "Se nenhuma sessão tiver o curso aberto, apague o ficheiro 12-Estudantes.txt.lock\n");
  for (const std::vector<Texto>& args : std::vector<std::vector<Texto>>{
           {"--corrigir", "12", "c.csv"}, {"--remover", "12", "1002", "21097"}}) {
    const Resultado r = c.executa("", args);
    EXPECT_EQ(r.estado, 2) << args[0];
    EXPECT_EQ(r.saida, "");
    EXPECT_EQ(r.erros, mensagem);
    EXPECT_EQ(c.ficheiros(), antes);
  }
}

// Another program changes the student file while the correction waits for the save: the
// correction goes to a conflict file, named on the history's lines, and exits 2.
TEST(Corrigir, GravacaoEmConflito) {
  Cenario c;
  c.copiaExemplos();
  c.escreve("c.csv", crlf({TXT("Número;Código UC;pFolio/Exame"), "1001;21002;6"}));
  ProcessoPausado p(c, "p", "", {"--corrigir", "12", "c.csv"}, "gravacao-seccao");
  ASSERT_TRUE(p.chegou("gravacao-seccao"));
  const Texto outro = exemplo(est) + "ALUNO;3001;De outro programa\r\n\r\n";
  c.escreve(est, outro);
  p.liberta("gravacao-seccao");
  const Resultado r = p.fim();
  EXPECT_EQ(r.estado, 2);
  EXPECT_EQ(r.saida, "");
  EXPECT_TRUE(contem(r.erros, "ERRO: O ficheiro 12-Estudantes.txt foi alterado por outro programa"))
      << r.erros;
  EXPECT_EQ(c.le(est), outro);
  EXPECT_TRUE(contem(c.le(est + ".conflito"), "F;6;R;-1;N;12\r\n"));
  EXPECT_EQ(historicoLegivel(c.le(hist)),
            "correcao:c.csv conflito:12-Estudantes.txt.conflito;1001;21002;pFolio/Exame;8.5;6\n"
            "correcao:c.csv conflito:12-Estudantes.txt.conflito;1001;21002;NotaFinal;14;12\n");
}

// A unit without grades is removed at once; one with grades only when forced, or once corrected
// to none; what does not exist is named. Each removal is on the history with what the file held,
// the chain intact after each.
TEST(Remover, UnidadeComESemNotas) {
  Cenario c;
  c.copiaExemplos();
  const auto antes = c.ficheiros();
  const std::pair<std::vector<Texto>, Texto> recusas[] = {
      {{"1001", "21002"},
       "ERRO: O aluno 1001 tem notas na UC 21002; corrija-as primeiro para '-' ou use --forcar\n"},
      {{"1099"}, TXT("ERRO: O curso 12 não tem o aluno 1099\n")},
      {{"1001", "99"}, TXT("ERRO: O aluno 1001 não está inscrito na UC 99\n")},
      {{"1001"},
       "ERRO: O aluno 1001 tem notas na UC 21002; corrija-as primeiro para '-' ou use --forcar\n"},
  };
  for (const auto& [args, erro] : recusas) {
    std::vector<Texto> linha = {"--remover", "12"};
    linha.insert(linha.end(), args.begin(), args.end());
    const Resultado r = c.executa("", linha);
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.saida, "");
    EXPECT_EQ(r.erros, erro);
    EXPECT_EQ(c.ficheiros(), antes);
  }

  Resultado r = c.executa("", {"--remover", "12", "1002", "21097"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_EQ(r.saida, "Removida a UC 21097 do aluno 1002\n");
  Texto esperado = trocaLinha(exemplo(est), redes + avaliacaoNenhuma, "");
  EXPECT_EQ(c.le(est), esperado);
  EXPECT_EQ(c.executa("", {"--remover", "12", "1002", "21097"}).erros,
            TXT("ERRO: O aluno 1002 não está inscrito na UC 21097\n"));

  // Corrected to none first, then removed without forcing.
  c.escreve("c.csv", crlf({TXT("Número;Código UC;pFolio/Exame"), "1004;21002;-"}));
  ASSERT_EQ(c.executa("", {"--corrigir", "12", "c.csv"}).estado, 0);
  r = c.executa("", {"--remover", "12", "1004", "21002", "--motivo", "anulou"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  esperado = trocaLinha(esperado,
                        TXT("21002;Álgebra Linear I;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;"
                            "13.5;R;-1;N;14"),
                        "");
  EXPECT_EQ(c.le(est), esperado);

  r = c.executa("", {"--remover", "12", "--forcar", "1001", "21002"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_EQ(c.le(est), trocaLinha(esperado, alg1001, ""));
  EXPECT_EQ(historicoLegivel(c.le(hist)),
            "remocao;1002;21097;uc;" + redes + avaliacaoNenhuma + ";\n" +
                "correcao:c.csv;1004;21002;pFolio/Exame;13.5;-1\n"
                "correcao:c.csv;1004;21002;NotaFinal;14;-1\n" +
                TXT("remocao motivo:anulou;1004;21002;uc;21002;Álgebra Linear I;1;1;6;AVALIACAO;0;"
                    "A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1;\n"
                    "remocao;1001;21002;uc;") +
                alg1001 + ";\n");
  EXPECT_EQ(verificado(c, 5, 4), "intacto");
}

// A student with grades is removed only when forced: his name, then each of his units as the file
// held it, on the history; the rest of the file as it was.
TEST(Remover, AlunoForcado) {
  Cenario c;
  c.copiaExemplos();
  const Resultado r =
      c.executa("", {"--remover", "12", "1001", "--forcar", "--motivo", "duplicado"});
  EXPECT_EQ(r.estado, 0) << r.erros;
  EXPECT_EQ(r.saida, "Removido o aluno 1001 do curso 12\n");
  const Texto original = exemplo(est);
  const size_t fimBloco = original.find("ALUNO;1002;");
  EXPECT_EQ(c.le(est), original.substr(fimBloco));
  // His block's unit lines, each an "uc" line after his name.
  Texto esperado = TXT("remocao motivo:duplicado;1001;;aluno;Inês Conceição Almeida;\n");
  const Texto bloco = original.substr(0, fimBloco);
  size_t linhas = 1;
  for (size_t i = bloco.find("\r\n") + 2; bloco.compare(i, 2, "\r\n") != 0; ++linhas) {
    const size_t fim = bloco.find("\r\n", i);
    const Texto linha = bloco.substr(i, fim - i);
    esperado += "remocao motivo:duplicado;1001;" + linha.substr(0, 5) + ";uc;" + linha + ";\n";
    i = fim + 2;
  }
  EXPECT_EQ(historicoLegivel(c.le(hist)), esperado);
  EXPECT_EQ(verificado(c, static_cast<int>(linhas)), "intacto");
}

TEST(Corrigir, LinhaDeComando) {
  Cenario c;
  c.copiaExemplos();
  const Texto uso = c.executa("", {"--help"}).saida;
  EXPECT_TRUE(contem(uso, "pauta --corrigir CODIGO FICHEIRO [--motivo TEXTO]\n"));
  EXPECT_TRUE(contem(uso, "pauta --corrigir --verificar CODIGO FICHEIRO\n"));
  EXPECT_TRUE(
      contem(uso, "pauta --remover CODIGO NUMERO [CODIGO_UC] [--motivo TEXTO] [--forcar]\n"));
  const std::vector<Texto> errados[] = {
      {"--corrigir", "12"},
      {"--corrigir", "12", "f.csv", "--motivo", ""},
      {"--corrigir", "--verificar", "--verificar", "12", "f.csv"},
      {"--corrigir", "12", "f.csv", "--forcar"},
      {"--remover", "12", "x"},
      {"--remover", "12", "1001", "21002", "3"},
      {"--remover", "12", "1001", "--verificar"},
  };
  for (const std::vector<Texto>& args : errados) {
    const Resultado r = c.executa("", args);
    const Texto falta = args[0] == "--corrigir" ? "CODIGO e FICHEIRO" : "CODIGO e NUMERO";
    EXPECT_EQ(r.estado, 2) << args.back();
    EXPECT_EQ(r.erros, "pauta: " + args[0] + " precisa de " + falta + "\n" + uso) << args.back();
  }
}

// For random courses (odd values, invalid options, units taken twice, names that need quoting
// or the formula guard), the export's grade sheet corrected back onto the course changes nothing:
// no save, no history line.
TEST(Corrigir, FolhaExportadaSobreSiMesma) {
  std::mt19937 gerador(20251207);
  auto um = [&](int n) { return static_cast<int>(gerador() % static_cast<unsigned>(n)); };
  const char* const reais[] = {"-1", "-", "0", "8.5", "66.66667", "12", "2.666667", "100", "3"};
  auto real = [&]() { return Texto(reais[um(9)]); };
  for (int curso = 0; curso < 12; ++curso) {
    SCOPED_TRACE(curso);
    Texto unidades = "CURSO;5;Curso ao acaso\r\n";
    const int nUnidades = 1 + um(4);
    for (int u = 0; u < nUnidades; ++u) {
      unidades += std::to_string(100 + u) + TXT(";Unidade \"") + std::to_string(u) + "\";1;1;6\r\n";
    }
    Texto alunos;
    const char* const nomes[] = {"Ana", "=Rui", "Eva; a \"Boa\"", "Luis", "Ana Duplicada"};
    const int nAlunos = 1 + um(5);
    for (int a = 0; a < nAlunos; ++a) {
      // The same number twice only with another name.
      alunos += "ALUNO;" + std::to_string(a == 4 ? 1 : 1 + a) + ";" + nomes[a] + "\r\n";
      for (int u = 0; u < nUnidades + um(2); ++u) {
        const char* const opcoes[] = {"1", "0", "-1", "2"};
        alunos += std::to_string(100 + u % nUnidades) + ";U;1;1;6;AVALIACAO;" + opcoes[um(4)];
        for (const char letra : {'A', 'B', 'C'})
          alunos += ";" + Texto(1, letra) + ";" + real() + ";" + real();
        alunos += ";F;" + real() + ";R;" + real() + ";N;" + std::to_string(um(22) - 1) + "\r\n";
      }
      alunos += "\r\n";
    }
    Cenario c;
    c.escreve("5-UC.txt", unidades);
    c.escreve("5-Estudantes.txt", alunos);
    const Resultado exportacao = c.executa("", {"--exportar", "5"});
    ASSERT_EQ(exportacao.estado, 0);
    const auto antes = c.ficheiros();
    const Resultado r = c.executa("", {"--corrigir", "5", "5-Pauta.csv"});
    EXPECT_EQ(r.estado, 0) << r.erros;
    EXPECT_EQ(r.saida, "Nada a corrigir\n") << alunos;
    EXPECT_EQ(r.erros, exportacao.erros);  // what loading says of invalid options, no more
    EXPECT_EQ(c.ficheiros(), antes);
  }
}
