#include <fstream>
#include <regex>

#include "Apoio.h"
#include "FimHistorico.h"
#include "FormatoHistorico.h"
#include "LeituraHistorico.h"

using historico::LinhaHistorico;

namespace {

LinhaHistorico linhaDe(const Texto& numero, const Texto& campo, const Texto& antes,
                       const Texto& depois, const Texto& uc = "21002") {
  return {
      "2026-12-07T14:03:27+00:00", "ana", "pc1", "dialogo", numero, uc, campo, antes, depois, ""};
}

// A history file holding `linhas`, chained from the start.
Texto ficheiroCom(std::vector<LinhaHistorico> linhas) {
  Texto texto = historico::inicioFicheiro, anterior = historico::verificacaoInicial;
  historico::escreveLinhas(linhas, anterior, texto);
  return texto;
}

std::vector<Texto> linhasDe(const Texto& texto) {
  std::vector<Texto> linhas;
  for (size_t i = 0, fim; (fim = texto.find("\r\n", i)) != Texto::npos; i = fim + 2) {
    linhas.push_back(texto.substr(i, fim - i));
  }
  return linhas;
}

historico::ResultadoVerificacao verificaTexto(const Texto& texto) {
  historico::LeitorHistorico leitor(texto);
  return historico::verifica(leitor);
}

}  // namespace

// Lines written and read back give the same fields, quoting what needs it and only that; the
// chain starts at 16 zeros and each line's VERIFICACAO covers the previous one.
TEST(FormatoHistorico, EscritaELeitura) {
  std::vector<LinhaHistorico> linhas = {
      linhaDe("1001", "aluno", "", TXT("Zé \"Tó\"; Sá"), ""),
      linhaDe("1001", "eFolioA", "-1", historico::textoValor(66.6667f)),
      linhaDe("1001", "opcao", historico::textoOpcao(-1), historico::textoOpcao(1)),
  };
  linhas[1].utilizador = "a\r\nb";
  Texto destino = "x", anterior = historico::verificacaoInicial;
  historico::escreveLinhas(linhas, anterior, destino);
  EXPECT_EQ(anterior, linhas[2].verificacao);
  EXPECT_EQ(linhas[0].verificacao,
            historico::verificacao(historico::verificacaoInicial, linhas[0]));
  EXPECT_EQ(linhas[1].verificacao, historico::verificacao(linhas[0].verificacao, linhas[1]));
  EXPECT_NE(linhas[1].verificacao,
            historico::verificacao(historico::verificacaoInicial, linhas[1]));
  EXPECT_EQ(
      destino.rfind(
          TXT("x2026-12-07T14:03:27+00:00;ana;pc1;dialogo;1001;;aluno;;\"Zé \"\"Tó\"\"; Sá\";"), 0),
      0u);
  EXPECT_NE(destino.find(";\"a\r\nb\";pc1;dialogo;1001;21002;eFolioA;-1;66.6667;"), Texto::npos);
  EXPECT_NE(destino.find(";opcao;-1;1;" + linhas[2].verificacao + "\r\n"), Texto::npos);
  EXPECT_TRUE(std::regex_match(linhas[0].verificacao, std::regex("[0-9a-f]{16}")));

  historico::LeitorHistorico leitor(std::string_view(destino).substr(1));
  std::string_view texto;
  for (const LinhaHistorico& esperada : linhas) {
    ASSERT_TRUE(leitor.proxima(texto));
    LinhaHistorico lida;
    ASSERT_TRUE(historico::leLinha(texto, lida)) << texto;
    for (auto campo : {&LinhaHistorico::data, &LinhaHistorico::utilizador, &LinhaHistorico::maquina,
                       &LinhaHistorico::origem, &LinhaHistorico::numero, &LinhaHistorico::uc,
                       &LinhaHistorico::campo, &LinhaHistorico::antes, &LinhaHistorico::depois,
                       &LinhaHistorico::verificacao}) {
      EXPECT_EQ(lida.*campo, esperada.*campo);
    }
  }
  EXPECT_EQ(leitor.numeroLinha(), 4);  // the CR LF inside quotes ends a line of the file
  EXPECT_FALSE(leitor.proxima(texto));

  EXPECT_TRUE(std::regex_match(historico::dataAgora(),
                               std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")));
}

// What is not a data line: wrong field counts, bad quoting, quotes around a field that needs
// none (the line would not be the one written), a quote in a bare field, a VERIFICACAO that is
// not 16 lowercase hexadecimal digits.
TEST(FormatoHistorico, LinhasInvalidas) {
  const Texto boa = "d;u;m;o;1;;aluno;;\"a;b\";0123456789abcdef";
  LinhaHistorico linha;
  ASSERT_TRUE(historico::leLinha(boa, linha));
  EXPECT_EQ(linha.depois, "a;b");
  EXPECT_EQ(linha.uc, "");
  for (const Texto& ma : {Texto(""), Texto("d;u;m;o;1;;aluno;;x"), boa + ";", "d;" + boa,
                          Texto("d;u;m;o;1;;aluno;;\"a;b;0123456789abcdef"),
                          Texto("d;u;m;o;1;;aluno;;\"a\"b;0123456789abcdef"),
                          Texto("d;u;m;o;1;;aluno;;\"ab\";0123456789abcdef"),
                          Texto("d;u;m;o;1;;aluno;;a\"b;0123456789abcdef"),
                          Texto("d;u;m;o;1;;aluno;;x;0123456789ABCDEF"),
                          Texto("d;u;m;o;1;;aluno;;x;0123456789abcde")}) {
    EXPECT_FALSE(historico::leLinha(ma, linha)) << ma;
  }
}

// The check of a whole file: intact, a line edited, removed or moved, the last line cut, the
// header wrong or cut short, an empty file (a writer died creating it: no line yet); the line
// named counts the header as line 1.
TEST(FormatoHistorico, Verificacao) {
  const Texto intacto =
      ficheiroCom({linhaDe("1", "aluno", "", "A\r\nB"), linhaDe("1", "pesoA", "-1", "2"),
                   linhaDe("2", "pesoB", "3", "2.5"), linhaDe("2", "pesoC", "3", "1")});
  auto v = verificaTexto(intacto);
  EXPECT_EQ(v.estado, historico::EstadoVerificacao::valido);
  EXPECT_EQ(v.linhas, 4);
  EXPECT_EQ(verificaTexto(historico::inicioFicheiro).linhas, 0);

  const std::vector<Texto> l = linhasDe(intacto);  // l[1] and l[2] are the first line, quoted
  auto junta = [](std::vector<Texto> partes) {
    Texto texto;
    for (const Texto& parte : partes) texto += parte + "\r\n";
    return texto;
  };
  Texto editado = intacto;
  editado.replace(editado.find(";2.5;"), 5, ";2.6;");
  const struct {
    Texto texto;
    historico::EstadoVerificacao estado;
    long linha;
  } casos[] = {
      {editado, historico::EstadoVerificacao::alterada, 5},
      {junta({l[0], l[1], l[2], l[3], l[5]}), historico::EstadoVerificacao::alterada, 5},
      {junta({l[0], l[1], l[2], l[4], l[3], l[5]}), historico::EstadoVerificacao::alterada, 4},
      {junta({l[0], l[3], l[4], l[5]}), historico::EstadoVerificacao::alterada, 2},
      {intacto.substr(0, intacto.size() - 2), historico::EstadoVerificacao::cortada, 6},
      {intacto + "\r\n", historico::EstadoVerificacao::alterada, 7},
      {intacto.substr(1), historico::EstadoVerificacao::semCabecalho, 1},
      {"", historico::EstadoVerificacao::valido, 0},
      {historico::cabecalho, historico::EstadoVerificacao::cortada, 1},
      {"HISTO", historico::EstadoVerificacao::cortada, 1},
      {"HISTORIA\r\n", historico::EstadoVerificacao::semCabecalho, 1},
  };
  for (const auto& caso : casos) {
    v = verificaTexto(caso.texto);
    EXPECT_EQ(v.estado, caso.estado) << caso.texto;
    EXPECT_EQ(v.linha, caso.linha) << caso.texto;
  }
}

// A history written by the writer of the saves: lines given as "NUMERO;CAMPO" for a value
// ("1001;pesoA") or a mark's CAMPO alone ("inicio"); an "identidade" carries "1:a" and "2:b".
Texto historicoDe(const std::vector<Texto>& linhas, const char* fimLinha = "\r\n") {
  LinhaHistorico comum = linhaDe("", "", "", "");
  historico::EscritorLinhas escritor(comum, historico::verificacaoInicial, fimLinha);
  Texto texto = Texto("HISTORICO;1") + fimLinha;
  for (const Texto& l : linhas) {
    const size_t ponto = l.find(';');
    if (ponto == Texto::npos) {
      historico::LinhaHistorico marca;
      marca.campo = l;
      if (l == "identidade") marca.antes = "1:a", marca.depois = "2:b";
      escritor.escreve(marca, texto);
    } else {
      escritor.escreve(linhaDe(l.substr(0, ponto), l.substr(ponto + 1), "-1", "2"), texto);
    }
  }
  return texto;
}

historico::FimHistorico fimDe(const Texto& conteudo) {
  historico::FimHistorico fim;
  const Estado lido = historico::examinaFim(
      conteudo.size(),
      [&conteudo](std::uint64_t posicao, size_t maximo, Texto* texto) {
        *texto = posicao < conteudo.size() ? conteudo.substr(posicao, maximo) : Texto();
        return Estado();
      },
      &fim);
  EXPECT_TRUE(lido.ok());
  return fim;
}

// The next writer's reading of head and tail: where the last whole line ends (what follows it was
// cut short), the last VERIFICACAO and line end, the state of the last save (closed, open without
// or with its identities, value lines of version 1.0.0, repairs passed over), and what is no
// history: a wrong header, a last whole line that cannot be read (garbled, blank, a stray quote).
TEST(FormatoHistorico, FimParaAcrescentar) {
  using historico::Dano;
  using historico::Pendente;
  const Texto fechada = historicoDe({"inicio", "1001;pesoA", "identidade", "concluida"});
  const Texto ultima = fechada.substr(fechada.size() - 18, 16);
  const struct {
    Texto conteudo;
    Dano dano;
    Pendente pendente;
    uint64_t corte;  // 0: the whole file
  } casos[] = {
      {historico::inicioFicheiro, Dano::nenhum, Pendente::nenhuma, 0},
      {fechada, Dano::nenhum, Pendente::nenhuma, 0},
      {fechada + "2026-12-07T14:03:27+00:00;ana;pc1;dia", Dano::nenhum, Pendente::nenhuma,
       fechada.size()},
      {historicoDe({"1001;pesoA", "1002;pesoB"}), Dano::nenhum, Pendente::nenhuma, 0},
      {historicoDe({"inicio", "1001;pesoA", "1002;pesoB"}), Dano::nenhum, Pendente::semIdentidade,
       0},
      {historicoDe({"inicio"}), Dano::nenhum, Pendente::semIdentidade, 0},
      {historicoDe({"inicio", "1001;pesoA", "identidade"}), Dano::nenhum, Pendente::identificada,
       0},
      {historicoDe({"inicio", "1001;pesoA", "reparada", "reparada"}), Dano::nenhum,
       Pendente::semIdentidade, 0},
      {historicoDe({"inicio", "1001;pesoA", "identidade", "reparada"}), Dano::nenhum,
       Pendente::identificada, 0},
      {historicoDe({"inicio", "1001;pesoA", "anulada", "1002;pesoB"}), Dano::nenhum,
       Pendente::nenhuma, 0},
      {historicoDe({"1001;pesoA"}, "\n"), Dano::nenhum, Pendente::nenhuma, 0},
      {"HISTORICO;2\r\n", Dano::cabecalho, Pendente::nenhuma, 0},
      {"xHISTORICO;1\r\n", Dano::cabecalho, Pendente::nenhuma, 0},
      {fechada + "lixo\r\n", Dano::ultimaLinha, Pendente::nenhuma, 0},
      {fechada + "\r\n", Dano::ultimaLinha, Pendente::nenhuma, 0},
      {fechada + "d;u;m;o;1;;aluno;;\"a\r\n", Dano::ultimaLinha, Pendente::nenhuma, 0},
      {fechada + "\"" + Texto(300000, 'x') + "\r\n", Dano::ultimaLinha, Pendente::nenhuma, 0},
      {fechada + Texto(300000, 'x'), Dano::ultimaLinha, Pendente::nenhuma, 0},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.conteudo.substr(caso.conteudo.size() > 200 ? caso.conteudo.size() - 200 : 0));
    const historico::FimHistorico fim = fimDe(caso.conteudo);
    EXPECT_EQ(fim.dano, caso.dano);
    EXPECT_FALSE(fim.semCabecalho);
    if (caso.dano != Dano::nenhum) continue;
    EXPECT_EQ(fim.pendente, caso.pendente);
    EXPECT_EQ(fim.corte, caso.corte == 0 ? caso.conteudo.size() : caso.corte);
  }
  historico::FimHistorico fim = fimDe(fechada + "2026-12-07;x");
  EXPECT_EQ(fim.anterior, ultima);
  EXPECT_EQ(fim.fimLinha, "\r\n");
  fim = fimDe(historicoDe({"inicio", "1001;pesoA", "identidade"}));
  EXPECT_EQ(fim.identidades.antes, "1:a");
  EXPECT_EQ(fim.identidades.depois, "2:b");
  EXPECT_EQ(fim.identidades.origem, "dialogo");
  EXPECT_EQ(fimDe(historico::inicioFicheiro).anterior, historico::verificacaoInicial);
  EXPECT_EQ(fimDe(historicoDe({"1001;pesoA"}, "\n")).fimLinha, "\n");
  // Nothing, or a piece of the header: written anew.
  for (const Texto& pedaco : {Texto(""), Texto("HISTO"), Texto("HISTORICO;1\r")}) {
    EXPECT_TRUE(fimDe(pedaco).semCabecalho) << pedaco;
  }
  // A last line longer than the first window, with a CR LF in quotes, and a save of 1.0.0 lines
  // after this version's; a save too long to see its start is voided only if it is one.
  std::vector<LinhaHistorico> longas = {linhaDe("1", "aluno", "", "A"),
                                        linhaDe("1", "aluno", "", Texto(9000, 'n') + "\r\n;x")};
  Texto longo = historicoDe({"inicio", "1001;pesoA", "identidade", "concluida"});
  Texto anterior = fimDe(longo).anterior;
  historico::escreveLinhas(longas, anterior, longo);
  fim = fimDe(longo);
  EXPECT_EQ(fim.anterior, longas[1].verificacao);
  EXPECT_EQ(fim.pendente, Pendente::nenhuma);
  std::vector<Texto> enorme = {"inicio"};
  enorme.resize(5000, "1001;pesoA");
  EXPECT_EQ(fimDe(historicoDe(enorme)).pendente, Pendente::talvez);
}

// The reader: lines ended by CR LF or by LF alone (an editor's), a CR LF inside quotes, a line cut
// short, and a line over the limit handed out empty (ending at the next line end, quotes or not)
// without being held.
TEST(FormatoHistorico, LeitorDeLinhas) {
  const Texto longa = "\"" + Texto(historico::limiteLinha + 10, 'x');
  const Texto conteudo = "a\r\nb\n\"c\r\nd\"\n" + longa + "\"\ne\nf";
  historico::LeitorHistorico leitor(conteudo);
  std::string_view linha;
  const struct {
    Texto texto;
    long numero;
    bool terminada;
    Texto fim;
    bool longa;
  } esperadas[] = {{"a", 1, true, "\r\n", false},        {"b", 2, true, "\n", false},
                   {"\"c\r\nd\"", 3, true, "\n", false}, {"", 5, true, "\n", true},
                   {"e", 6, true, "\n", false},          {"f", 7, false, "\n", false}};
  for (const auto& e : esperadas) {
    ASSERT_TRUE(leitor.proxima(linha));
    EXPECT_EQ(linha, e.texto);
    EXPECT_EQ(leitor.numeroLinha(), e.numero);
    EXPECT_EQ(leitor.terminada(), e.terminada);
    if (e.terminada) {
      EXPECT_EQ(Texto(leitor.fimLinha()), e.fim);
    }
    EXPECT_EQ(leitor.demasiadoLonga(), e.longa);
  }
  EXPECT_FALSE(leitor.proxima(linha));
  // From a file read by blocks, the same lines at the same offsets.
  PastaTemporaria pasta;
  std::ofstream("h", std::ios::binary) << conteudo;
  historico::LeitorHistorico doFicheiro;
  ASSERT_TRUE(doFicheiro.abre("h").ok());
  historico::LeitorHistorico emMemoria(conteudo);
  std::string_view outra;
  while (emMemoria.proxima(linha)) {
    ASSERT_TRUE(doFicheiro.proxima(outra));
    EXPECT_EQ(linha, outra);
    EXPECT_EQ(emMemoria.posicao(), doFicheiro.posicao());
  }
  EXPECT_FALSE(doFicheiro.proxima(outra));
}

// The saves as a reader follows them: a closed save stands; one voided, one left without its
// identities (the next save starts, or the file ends) and one left with them whose file does not
// hold its DEPOIS are voided; a voiding mark with no save open voids nothing; 1.0.0 lines stand.
// The check of the whole file counts the voided saves and the repairs.
TEST(FormatoHistorico, GravacoesAnuladas) {
  const Texto texto = historicoDe(
      {"1;pesoA", "inicio", "2;pesoA", "identidade", "concluida", "inicio", "3;pesoA", "identidade",
       "anulada", "anulada", "inicio", "4;pesoA", "reparada", "inicio", "5;pesoA", "identidade"});
  const auto seguidas = [&texto](bool ultimaFeita) {
    historico::SeguimentoGravacoes gravacoes;
    historico::LeitorHistorico leitor(texto);
    std::string_view linha;
    leitor.proxima(linha);
    Texto de;
    std::vector<std::uint64_t> posicoes;
    while (leitor.proxima(linha)) {
      LinhaHistorico h;
      EXPECT_TRUE(historico::leLinha(linha, h));
      gravacoes.segue(h, leitor.posicao());
      if (historico::marcaDe(h) == historico::Marca::valor) posicoes.push_back(leitor.posicao());
    }
    gravacoes.termina([ultimaFeita](const historico::IdentidadesGravacao& i) {
      EXPECT_EQ(i.depois, "2:b");
      return ultimaFeita;
    });
    for (size_t i = 0; i < posicoes.size(); ++i) {
      if (!gravacoes.anulada(posicoes[i])) de += std::to_string(i + 1);
    }
    EXPECT_EQ(gravacoes.reparadas(), 1);
    return std::make_pair(de, gravacoes.anuladas());
  };
  EXPECT_EQ(seguidas(true), std::make_pair(Texto("125"), 2L));
  EXPECT_EQ(seguidas(false), std::make_pair(Texto("12"), 3L));
  historico::LeitorHistorico leitor(texto);
  const auto v =
      historico::verifica(leitor, [](const historico::IdentidadesGravacao&) { return false; });
  EXPECT_EQ(v.estado, historico::EstadoVerificacao::valido);
  EXPECT_EQ(v.linhas, 16);
  EXPECT_EQ(v.anuladas, 3);
  EXPECT_EQ(v.reparadas, 1);
  // A history whose line ends became LF checks as it did.
  Texto lf = texto;
  for (size_t p = 0; (p = lf.find("\r\n", p)) != Texto::npos;) lf.erase(p, 1);
  historico::LeitorHistorico leitorLf(lf);
  EXPECT_EQ(historico::verifica(leitorLf).estado, historico::EstadoVerificacao::valido);
}
