#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "Captura.h"
#include "Cenario.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"

namespace fs = std::filesystem;

namespace {

const std::string nome = "12-Estudantes.txt";
const std::string confirmacao =
    "\n ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO 12-Estudantes.txt ----------\n\n";
const std::string erro = "ERRO: Não foi possivel gravar o ficheiro 12-Estudantes.txt\n";
const std::string aviso =
    "ATENÇÃO: Foram ignoradas linhas do ficheiro original, que foi copiado para 12-Estudantes.txt.bak\n";

const std::string U1 = "21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;80;2;B;75;2;C;90;4;F;9.5;R;-1;N;16";
const std::string valido = crlf({"ALUNO;1001;Um", U1, "", "ALUNO;1002;Dois", ""});
// The same students with an unreadable unit line and a student record
// whose number is not a number.
const std::string comErros = crlf({"ALUNO;1001;Um", U1, "21037;Estatística;1;2", "", "ALUNO;x;Mau", "",
                                   "ALUNO;1002;Dois", ""});

void escreve(const std::string& caminho, const std::string& conteudo) {
  std::ofstream f(caminho, std::ios::binary);
  f << conteudo;
}

// Every test runs in its own empty working directory.
class Gravacao : public ::testing::Test {
 protected:
  void SetUp() override {
    anterior_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("pauta-gravacao-" + std::to_string(std::random_device()()));
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(anterior_);
    fs::remove_all(dir_);
  }

  // Loads the student file from the working directory, as course loading does.
  void carrega(Listacurso& curso) {
    Captura captura;
    std::string conteudo;
    ASSERT_TRUE(LeitorLinhas::leFicheiro(nome, conteudo));
    LeitorLinhas leitor(conteudo, nome);
    curso.setListaEstudantes(12, static_cast<int>(leitor.contaLinhasComPrimeiroCampo("ALUNO")), leitor);
  }

  // Saves, answering what was printed; `resultado` gets the answer.
  static std::string grava(Listacurso& curso, int& resultado) {
    Captura captura;
    resultado = curso.gravaFicheiro(nome);
    return captura.saida();
  }

  static std::set<std::string> ficheiros() {
    std::set<std::string> nomes;
    for (const auto& e : fs::directory_iterator(".")) nomes.insert(e.path().filename().string());
    return nomes;
  }

  fs::path anterior_;
  fs::path dir_;
};

}  // namespace

TEST_F(Gravacao, SucessoEscreveOsBytesSemTemporario) {
  escreve(nome, valido);
  Listacurso curso;
  carrega(curso);
  escreve(nome, "conteúdo antigo mais comprido do que o novo, que desaparece todo" + valido + valido);
  int resultado = -1;
  EXPECT_EQ(grava(curso, resultado), confirmacao);
  EXPECT_EQ(resultado, 1);
  EXPECT_EQ(leFicheiroBinario(nome), valido);
  EXPECT_EQ(ficheiros(), std::set<std::string>{nome});

  // No students: an empty file, created when missing, and the confirmation.
  fs::remove(nome);
  Listacurso vazio;
  EXPECT_EQ(grava(vazio, resultado), confirmacao);
  EXPECT_EQ(resultado, 1);
  EXPECT_TRUE(fs::is_regular_file(nome));
  EXPECT_EQ(fs::file_size(nome), 0u);
  EXPECT_EQ(ficheiros(), std::set<std::string>{nome});
}

TEST_F(Gravacao, FalhaDeixaOFicheiroAnteriorIntacto) {
  escreve(nome, valido);
  Listacurso curso;
  carrega(curso);
  {
    Captura captura("1003\nTrês\n");
    curso.userSetEstudante({}, curso.getCopialistaEstudantes());
  }
  int resultado = -1;

  // A directory where the temporary file must be created.
  fs::create_directory(nome + ".tmp");
  EXPECT_EQ(grava(curso, resultado), erro);
  EXPECT_EQ(resultado, 0);
  EXPECT_EQ(leFicheiroBinario(nome), valido);
  EXPECT_TRUE(fs::is_directory(nome + ".tmp"));
  fs::remove(nome + ".tmp");

  // The student file's path is a directory: nothing replaces it, no
  // temporary file is left.
  fs::rename(nome, "guardado");
  fs::create_directory(nome);
  EXPECT_EQ(grava(curso, resultado), erro);
  EXPECT_EQ(resultado, 0);
  EXPECT_TRUE(fs::is_directory(nome));
  EXPECT_EQ(ficheiros(), (std::set<std::string>{nome, "guardado"}));
  fs::remove(nome);
  fs::rename("guardado", nome);

  // The obstacle gone, the same course saves.
  EXPECT_EQ(grava(curso, resultado), confirmacao);
  EXPECT_EQ(resultado, 1);
  EXPECT_EQ(leFicheiroBinario(nome), valido + crlf({"ALUNO;1003;Três", ""}));
}

// After a load that skipped lines, the first successful save keeps the
// original file as NAME.bak and says so; later saves do not copy again.
TEST_F(Gravacao, CopiaDoOriginalQuandoHouveLinhasIgnoradas) {
  escreve(nome, comErros);
  Listacurso curso;
  carrega(curso);
  int resultado = -1;
  EXPECT_EQ(grava(curso, resultado), aviso + confirmacao);
  EXPECT_EQ(resultado, 1);
  EXPECT_EQ(leFicheiroBinario(nome + ".bak"), comErros);
  EXPECT_EQ(leFicheiroBinario(nome), valido);
  EXPECT_EQ(ficheiros(), (std::set<std::string>{nome, nome + ".bak"}));

  escreve(nome + ".bak", "mudado");
  EXPECT_EQ(grava(curso, resultado), confirmacao);
  EXPECT_EQ(resultado, 1);
  EXPECT_EQ(leFicheiroBinario(nome + ".bak"), "mudado");
}

// A copy that cannot be made is a failed save; the next successful save
// makes it.
TEST_F(Gravacao, CopiaFalhadaEGravacaoFalhada) {
  escreve(nome, comErros);
  Listacurso curso;
  carrega(curso);
  fs::create_directory(nome + ".bak");
  int resultado = -1;
  EXPECT_EQ(grava(curso, resultado), erro);
  EXPECT_EQ(resultado, 0);
  EXPECT_EQ(leFicheiroBinario(nome), comErros);
  EXPECT_FALSE(fs::exists(nome + ".tmp"));

  fs::remove(nome + ".bak");
  EXPECT_EQ(grava(curso, resultado), aviso + confirmacao);
  EXPECT_EQ(resultado, 1);
  EXPECT_EQ(leFicheiroBinario(nome + ".bak"), comErros);
  EXPECT_EQ(leFicheiroBinario(nome), valido);
}
