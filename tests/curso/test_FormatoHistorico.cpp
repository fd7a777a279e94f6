#include <fstream>
#include <regex>

#include "Apoio.h"
#include "FormatoHistorico.h"

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
// header wrong; the line named counts the header as line 1.
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
      {"", historico::EstadoVerificacao::semCabecalho, 1},
      {historico::cabecalho, historico::EstadoVerificacao::semCabecalho, 1},
  };
  for (const auto& caso : casos) {
    v = verificaTexto(caso.texto);
    EXPECT_EQ(v.estado, caso.estado) << caso.texto;
    EXPECT_EQ(v.linha, caso.linha) << caso.texto;
  }
}

// The writer's reading of head and tail: no file, the header alone, the last VERIFICACAO of a
// short file and of one whose last line is longer than the first window or holds a CR LF in
// quotes; a wrong header, a cut or blank last line and a folder are refused with their reason.
TEST(FormatoHistorico, UltimaVerificacao) {
  PastaTemporaria pasta;
  const Texto nome = historico::nomeFicheiroHistorico(12);
  EXPECT_EQ(nome, "12-Historico.txt");
  Texto anterior;
  Estado razao;
  EXPECT_EQ(historico::ultimaVerificacao(nome, anterior, &razao),
            historico::EstadoFim::inexistente);

  std::vector<LinhaHistorico> linhas = {linhaDe("1", "aluno", "", "A"),
                                        linhaDe("1", "aluno", "", Texto(9000, 'n') + "\r\n;x")};
  const Texto longo = ficheiroCom(linhas);
  const Texto curto = ficheiroCom({linhas[0]});
  const struct {
    Texto conteudo;
    Texto ultima;  // empty: refused
  } casos[] = {
      {historico::inicioFicheiro, historico::verificacaoInicial},
      {curto, linhasDe(curto)[1].substr(linhasDe(curto)[1].size() - 16)},
      {longo, longo.substr(longo.size() - 18, 16)},
      {longo.substr(0, longo.size() - 1), ""},
      {longo + "\r\n", ""},
      {"HISTORICO;2\r\n" + curto.substr(13), ""},
      {"HISTORICO;1\n", ""},
      {curto + "d;u;m;o;1;;aluno;;\"a\r\n", ""},
  };
  for (const auto& caso : casos) {
    std::ofstream(nome, std::ios::binary | std::ios::trunc) << caso.conteudo;
    anterior = "";
    const auto estado = historico::ultimaVerificacao(nome, anterior, &razao);
    if (caso.ultima.empty()) {
      EXPECT_EQ(estado, historico::EstadoFim::invalido) << caso.conteudo;
      EXPECT_EQ(textoFalha(razao), nome + TXT(": histórico inválido"));
    } else {
      EXPECT_EQ(estado, historico::EstadoFim::valido) << caso.conteudo;
      EXPECT_EQ(anterior, caso.ultima);
    }
  }
  // A file read by blocks: lines across the blocks' edges, every one checked.
  std::vector<LinhaHistorico> muitas(3000, linhas[0]);
  muitas[1500] = linhas[1];
  std::ofstream(nome, std::ios::binary | std::ios::trunc) << ficheiroCom(muitas);
  const auto v = historico::verificaFicheiro(nome);
  EXPECT_EQ(v.estado, historico::EstadoVerificacao::valido);
  EXPECT_EQ(v.linhas, 3000);
  EXPECT_EQ(v.linha, 0) << textoCausa(v.razao);
  EXPECT_EQ(historico::verificaFicheiro("13-Historico.txt").estado,
            historico::EstadoVerificacao::inexistente);

  fs::remove(nome);
  fs::create_directory(nome);
  EXPECT_EQ(historico::ultimaVerificacao(nome, anterior, &razao), historico::EstadoFim::invalido);
  EXPECT_EQ(textoFalha(razao), nome + TXT(": é uma pasta"));
}
