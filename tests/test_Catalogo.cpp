// The course catalogue: which files of the working directory are courses,
// what their course records give, and the catalogue table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "Captura.h"
#include "Listacurso.h"

namespace fs = std::filesystem;

namespace {

// A scratch directory made the working directory for the life of the
// object; the previous working directory is restored on destruction.
class DiretoriaDeTrabalho {
 public:
  DiretoriaDeTrabalho() : anterior_(fs::current_path()) {
    std::string modelo = (fs::temp_directory_path() / "pauta-catalogo-XXXXXX").string();
    if (mkdtemp(modelo.data()) == nullptr) throw std::runtime_error("mkdtemp");
    dir_ = modelo;
    fs::current_path(dir_);
  }
  ~DiretoriaDeTrabalho() {
    std::error_code e;
    fs::current_path(anterior_, e);
    fs::remove_all(dir_, e);
  }
  DiretoriaDeTrabalho(const DiretoriaDeTrabalho&) = delete;
  DiretoriaDeTrabalho& operator=(const DiretoriaDeTrabalho&) = delete;

  void escreve(const std::string& nome, const std::string& conteudo) const {
    std::ofstream(dir_ / nome, std::ios::binary) << conteudo;
  }

 private:
  fs::path anterior_;
  fs::path dir_;
};

std::string preenche(const std::string& texto, size_t largura) {
  return texto.size() >= largura ? texto : texto + std::string(largura - texto.size(), ' ');
}

std::string linhaCurso(const std::string& codigo, const std::string& nome, const std::string& ficheiro) {
  return std::string(8, ' ') + preenche(codigo, 15) + preenche(nome, 50) + preenche(ficheiro, 10) + "\n";
}

const std::string regua = std::string(155, '-') + "\n";
const std::string cabecalho =
    std::string(8, ' ') + "Código" + std::string(9, ' ') + "Nome do Curso" + std::string(37, ' ') + "Ficheiro  \n";

std::string tabela(const std::string& linhas) {
  return "\n" + regua + cabecalho + regua + linhas + regua + "\n";
}

// Builds the catalogue of the current directory; `saida` gets its table.
Listacurso catalogo(std::string& saida) {
  Listacurso lista;
  lista.listaFicheiros();
  Captura c;
  lista.imprimeCursosDisponiveis();
  saida = c.saida();
  return lista;
}

// The rows of a catalogue table, sorted (the listing order is the
// platform's); empty when the table's frame is not as expected.
std::vector<std::string> linhasOrdenadas(const std::string& t) {
  const std::string inicio = "\n" + regua + cabecalho + regua;
  const std::string fim = regua + "\n";
  if (t.size() < inicio.size() + fim.size() || t.compare(0, inicio.size(), inicio) != 0 ||
      t.compare(t.size() - fim.size(), fim.size(), fim) != 0) {
    ADD_FAILURE() << "frame of the table:\n" << t;
    return {};
  }
  std::string corpo = t.substr(inicio.size(), t.size() - inicio.size() - fim.size());
  std::vector<std::string> linhas;
  for (size_t p = 0; p < corpo.size();) {
    size_t q = corpo.find('\n', p);
    linhas.push_back(corpo.substr(p, q + 1 - p));
    p = q + 1;
  }
  std::sort(linhas.begin(), linhas.end());
  return linhas;
}

std::vector<std::string> ordena(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

}  // namespace

TEST(Catalogo, VazioMostraSoAMoldura) {
  DiretoriaDeTrabalho d;
  d.escreve("12-Estudantes.txt", crlf({"CURSO;12;Nada", "ALUNO;1;X", ""}));
  std::string saida;
  Listacurso lista = catalogo(saida);
  EXPECT_EQ(saida, "\n" + regua + cabecalho + regua + regua + "\n");
  EXPECT_EQ(lista.checkCodigoCurso(12), 0);
  EXPECT_EQ(lista.checkCodigoCurso(0), 0);
}

TEST(Catalogo, UmCursoTabelaExactaELinhaEscolhida) {
  DiretoriaDeTrabalho d;
  d.escreve("12-UC.txt", crlf({"CURSO;12;Licenciatura em Engenharia Informática", "21002;Álgebra Linear I;1;1;6"}));
  std::string saida;
  Listacurso lista = catalogo(saida);
  const std::string linha = std::string(8, ' ') + "12" + std::string(13, ' ') +
                            "Licenciatura em Engenharia Informática" + std::string(12, ' ') + "12-UC.txt \n";
  EXPECT_EQ(saida, tabela(linha));

  EXPECT_EQ(lista.checkCodigoCurso(12), 1);
  EXPECT_EQ(lista.checkCodigoCurso(13), 0);
  Captura c;
  lista.imprimeCursosDisponiveis();
  EXPECT_EQ(std::cout.fill(), '-');
  EXPECT_TRUE(std::cout.flags() & std::ios_base::left);
  lista.imprimeCursoEscolhido(13);
  EXPECT_EQ(c.saida(), tabela(linha));
  lista.imprimeCursoEscolhido(12);
  EXPECT_EQ(c.saida(), tabela(linha) + linha);
}

TEST(Catalogo, SoOsNomesDeFicheiroDeUCSaoCursos) {
  DiretoriaDeTrabalho d;
  d.escreve("12-UC.txt", crlf({"CURSO;12;Doze"}));
  d.escreve("-12-UC.txt", crlf({"CURSO;13;Treze"}));
  d.escreve("ENG-UC.txt", crlf({"CURSO;14;Catorze"}));
  // Not unit files, though each holds a course record.
  for (const char* nome : {"12-Estudantes.txt", "12-uc.txt", "12-UC.txt.bak", "Eng-Inf-UC.txt", "12--UC.txt",
                           "UC.txt", "-UC.txt", "12-UC.TXT", "12-UC.txt "}) {
    d.escreve(nome, crlf({"CURSO;90;Errado"}));
  }
  // Named like unit files but without a course record with a readable code.
  fs::create_directory("3-UC.txt");
  d.escreve("4-UC.txt", crlf({"21002;Álgebra Linear I;1;1;6"}));
  d.escreve("5-UC.txt", crlf({"CURSO;abc;Sem código"}));
  d.escreve("6-UC.txt", crlf({"curso;6;Minúsculas", " CURSO;6;Com espaço", "CURSO"}));
  d.escreve("7-UC.txt", "");

  std::string saida;
  Listacurso lista = catalogo(saida);
  EXPECT_EQ(linhasOrdenadas(saida), ordena({linhaCurso("12", "Doze", "12-UC.txt"),
                                            linhaCurso("13", "Treze", "-12-UC.txt"),
                                            linhaCurso("14", "Catorze", "ENG-UC.txt")}));
  EXPECT_EQ(lista.checkCodigoCurso(90), 0);
  EXPECT_EQ(lista.checkCodigoCurso(0), 0);
  EXPECT_EQ(lista.checkCodigoCurso(3), 0);
}

TEST(Catalogo, RegistosDeCursoECodigosRepetidos) {
  DiretoriaDeTrabalho d;
  // The last readable course record of a file gives code and name, wherever
  // it stands; extra fields are ignored; the line end is not in the name.
  d.escreve("20-UC.txt", crlf({"CURSO;20;Primeiro", "21002;Álgebra Linear I;1;1;6", "CURSO;21;Segundo;extra",
                               "CURSO;x;Ilegível"}));
  d.escreve("12-UC.txt", crlf({"CURSO;12;Engenharia;extra"}));
  d.escreve("8-UC.txt", "CURSO; 8;  Oito com blancos \n");
  // A file name that does not follow its code, and two courses with one code.
  d.escreve("30-UC.txt", crlf({"CURSO;30;Gestão"}));
  d.escreve("31-UC.txt", crlf({"CURSO;30;Gestão (pós-laboral)"}));
  // Longer than their columns: printed whole.
  const std::string nomeLongo = "Mestrado em Engenharia Informática e Tecnologia Web (regime a distância)";
  d.escreve("123456789-UC.txt", crlf({"CURSO;40;" + nomeLongo}));

  std::string saida;
  Listacurso lista = catalogo(saida);
  const std::string gestao = linhaCurso("30", "Gestão", "30-UC.txt");
  const std::string gestaoPL = linhaCurso("30", "Gestão (pós-laboral)", "31-UC.txt");
  const std::string longa = std::string(8, ' ') + "40" + std::string(13, ' ') + nomeLongo + "123456789-UC.txt\n";
  EXPECT_EQ(linhasOrdenadas(saida),
            ordena({linhaCurso("21", "Segundo", "20-UC.txt"), linhaCurso("12", "Engenharia", "12-UC.txt"),
                    linhaCurso("8", "  Oito com blancos ", "8-UC.txt"), gestao, gestaoPL, longa}));

  EXPECT_EQ(lista.checkCodigoCurso(21), 1);
  EXPECT_EQ(lista.checkCodigoCurso(20), 0);
  EXPECT_EQ(lista.checkCodigoCurso(30), 1);
  EXPECT_EQ(lista.checkCodigoCurso(31), 0);
  Captura c;
  lista.imprimeCursoEscolhido(30);
  std::string duas = c.saida();
  EXPECT_TRUE(duas == gestao + gestaoPL || duas == gestaoPL + gestao) << duas;
}
