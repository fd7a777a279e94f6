// Faults from outside the dialogue: a save that cannot be written, a process
// killed while saving, data files that vanish after the course list was
// shown, and data files with huge lines or NUL bytes. Every case must end
// with a clear message and lose no data.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "Cenario.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string est = "12-Estudantes.txt";
const std::string tmp = "12-Estudantes.txt.tmp";
const std::string erroGravar = "ERRO: Não foi possivel gravar o ficheiro 12-Estudantes.txt\n";
const std::string gravado =
    " ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO 12-Estudantes.txt ----------\n";
const std::string perguntaFinal =
    "ATENÇÃO: Existem alterações por gravar, deseja gravar antes de sair?\n";

// Adds student 2001 and saves (option 4), then leaves both menus.
const std::string adicionaEGrava = "12\n3\n2001\nNovo\n4\n9\n9\n";

size_t conta(const std::string& texto, const std::string& parte) {
  size_t n = 0;
  for (size_t p = texto.find(parte); p != std::string::npos; p = texto.find(parte, p + 1)) ++n;
  return n;
}

std::string semCr(const std::string& texto) {
  if (std::getenv("PAUTA_SAIDA_CRLF") == nullptr) return texto;
  std::string r;
  for (size_t i = 0; i < texto.size(); ++i) {
    if (texto[i] != '\r' || i + 1 >= texto.size() || texto[i + 1] != '\n') r += texto[i];
  }
  return r;
}

// The command that starts pauta: PAUTA_EXECUTAVEL, or the binary built
// beside the tests (the test executables live in the build's tests/).
std::string comandoPauta() {
  const char* env = std::getenv("PAUTA_EXECUTAVEL");
  if (env != nullptr && *env != '\0') return env;
  fs::path binario = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "pauta";
  return "'" + binario.string() + "'";
}

// pauta running in the background in a scenario's directory; the test feeds
// its standard input at its own pace and can kill it.
class Processo {
 public:
  explicit Processo(const Cenario& c) : saida_(c.dir().parent_path() / "saida-processo") {
    std::signal(SIGPIPE, SIG_IGN);
    const std::string comando = "exec " + comandoPauta();
    const std::string dir = c.dir().string();
    const std::string saida = saida_.string();
    int tubo[2];
    if (pipe(tubo) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      int fdSaida = open(saida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int fdNulo = open("/dev/null", O_WRONLY);
      if (fdSaida < 0 || fdNulo < 0 || chdir(dir.c_str()) != 0) _exit(127);
      dup2(tubo[0], 0);
      dup2(fdSaida, 1);
      dup2(fdNulo, 2);
      close(tubo[0]);
      close(tubo[1]);
      execl("/bin/sh", "sh", "-c", comando.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(tubo[0]);
    entrada_ = tubo[1];
  }
  ~Processo() {
    if (pid_ > 0) mata();
    if (entrada_ >= 0) close(entrada_);
  }
  Processo(const Processo&) = delete;
  Processo& operator=(const Processo&) = delete;

  void escreve(const std::string& texto) const {
    if (write(entrada_, texto.data(), texto.size()) != static_cast<ssize_t>(texto.size())) {
      ADD_FAILURE() << "stdin write failed";
    }
  }
  std::string saida() const { return semCr(leFicheiroBinario(saida_)); }

  // Waits (up to a minute) until `texto` has been printed `vezes` times.
  bool esperaSaida(const std::string& texto, size_t vezes = 1) const {
    for (auto fim = std::chrono::steady_clock::now() + 60s; std::chrono::steady_clock::now() < fim;) {
      if (conta(saida(), texto) >= vezes) return true;
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }

  // Waits (up to two minutes) until `caminho` exists; false if it never
  // does or the process ended first.
  bool esperaFicheiro(const fs::path& caminho) {
    for (auto fim = std::chrono::steady_clock::now() + 120s; std::chrono::steady_clock::now() < fim;) {
      if (fs::exists(caminho)) return true;
      int estado = 0;
      if (waitpid(pid_, &estado, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
      }
      std::this_thread::sleep_for(100us);
    }
    return false;
  }

  // Closes standard input and waits for the end; answers the exit status.
  int termina() {
    close(entrada_);
    entrada_ = -1;
    int estado = 0;
    if (pid_ <= 0) return -1;
    waitpid(pid_, &estado, 0);
    pid_ = -1;
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
  }

  void mata() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int estado = 0;
    waitpid(pid_, &estado, 0);
    pid_ = -1;
  }

 private:
  fs::path saida_;
  pid_t pid_ = -1;
  int entrada_ = -1;
};

// Reads a whole (large) file in one go.
std::string leDepressa(const fs::path& caminho) {
  std::ifstream f(caminho, std::ios::binary | std::ios::ate);
  std::string conteudo(static_cast<size_t>(std::max<std::streamoff>(f.tellg(), 0)), '\0');
  f.seekg(0);
  f.read(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
  return conteudo;
}

// A course of `alunos` students each taking all 30 units, in the layout the
// program writes, with a mix of options and grades.
std::string unidadesGrandes() {
  std::string f = "CURSO;12;Curso de Ensaio\r\n";
  for (int u = 0; u < 30; ++u) {
    f += std::to_string(21000 + u) + ";Unidade Curricular nº " + std::to_string(u) + ";" +
         std::to_string(u / 10 + 1) + ";" + std::to_string(u % 2 + 1) + ";6\r\n";
  }
  return f;
}

std::string estudantesGrandes(int alunos) {
  std::string f;
  f.reserve(static_cast<size_t>(alunos) * 31 * 100);
  for (int a = 0; a < alunos; ++a) {
    f += "ALUNO;" + std::to_string(100000 + a) + ";Estudante Número " + std::to_string(a) + "\r\n";
    for (int u = 0; u < 30; ++u) {
      f += std::to_string(21000 + u) + ";Unidade Curricular nº " + std::to_string(u) + ";" +
           std::to_string(u / 10 + 1) + ";" + std::to_string(u % 2 + 1) + ";6;AVALIACAO;";
      const int nota = (a + u) % 21;
      switch ((a + u) % 3) {
        case 0:
          f += "1;A;80;2;B;65.5;3;C;90;3;F;" + std::to_string(nota % 13) + ";R;-1;N;" +
               std::to_string(nota) + "\r\n";
          break;
        case 1:
          f += "0;A;-1;-1;B;-1;-1;C;-1;-1;F;" + std::to_string(nota) + ";R;-1;N;" +
               std::to_string(nota) + "\r\n";
          break;
        default:
          f += "-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1\r\n";
      }
    }
    f += "\r\n";
  }
  return f;
}

const std::string ucsPequenas = "CURSO;12;Curso de Ensaio\r\n21002;Álgebra Linear I;1;1;6\r\n";
// Student 2001 as option 3 adds him to a course of `ucsPequenas`.
const std::string blocoNovo =
    "ALUNO;2001;Novo\r\n"
    "21002;Álgebra Linear I;1;1;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1\r\n\r\n";

}  // namespace

// A directory where the temporary file must go: every save fails with the
// message, the old file stays, the changes stay unsaved (the last question
// is asked again) and are saved once the obstacle is gone.
TEST(Falhas, TemporarioImpossivelDeCriar) {
  Cenario c;
  c.copiaExemplos();
  fs::create_directory(c.dir() / tmp);
  Processo p(c);
  p.escreve(adicionaEGrava + "1\n");
  ASSERT_TRUE(p.esperaSaida(erroGravar, 2)) << p.saida();
  EXPECT_EQ(c.le(est), exemplo(est));
  EXPECT_TRUE(fs::is_directory(c.dir() / tmp));
  fs::remove(c.dir() / tmp);
  p.escreve("1\n");
  EXPECT_EQ(p.termina(), 0);

  const std::string saida = p.saida();
  EXPECT_EQ(conta(saida, erroGravar), 2u);
  EXPECT_EQ(conta(saida, perguntaFinal), 1u);
  EXPECT_EQ(conta(saida, gravado), 1u);
  EXPECT_NE(saida.find(erroGravar + "Para gravar insira 1\n"), std::string::npos);

  // What a save without the obstacle writes.
  Cenario referencia;
  referencia.copiaExemplos();
  Resultado r = referencia.executa(adicionaEGrava);
  ASSERT_NE(r.saida.find(gravado), std::string::npos) << r.erros;
  EXPECT_TRUE(c.ficheiros() == referencia.ficheiros());
}

// The student file's path is a directory: loading says it cannot open it,
// saving fails and the directory is left as it was.
TEST(Falhas, FicheiroDeEstudantesEUmaPasta) {
  Cenario c;
  c.escreve("12-UC.txt", ucsPequenas);
  fs::create_directory(c.dir() / est);
  Resultado r = c.executa(adicionaEGrava + "1\n0\n");
  EXPECT_EQ(r.estado, 0);
  EXPECT_NE(r.saida.find("\nNão foi possivel abrir o ficheiro 12-Estudantes.txt\n"),
            std::string::npos);
  EXPECT_EQ(conta(r.saida, erroGravar), 2u);
  EXPECT_EQ(conta(r.saida, perguntaFinal), 1u);
  EXPECT_EQ(conta(r.saida, "AS ALTERAÇÕES FORAM GRAVADAS"), 0u);
  EXPECT_TRUE(fs::is_directory(c.dir() / est));
  EXPECT_TRUE(fs::is_empty(c.dir() / est));
  EXPECT_EQ(c.ficheiros(), (std::map<std::string, std::string>{{"12-UC.txt", ucsPequenas}}));
}

// Files removed after the course list was shown, before the course is
// chosen: each missing file is named in a message, the course goes on
// without it, and nothing is written.
TEST(Falhas, FicheirosDesaparecemDepoisDaLista) {
  const std::string escolheLista = "Insira 0 para sair\n";
  {
    Cenario c;
    c.copiaExemplos();
    Processo p(c);
    ASSERT_TRUE(p.esperaSaida(escolheLista));
    fs::remove(c.dir() / "12-UC.txt");
    p.escreve("12\n2\n1001\n9\n0\n9\n");
    EXPECT_EQ(p.termina(), 0);
    const std::string saida = p.saida();
    EXPECT_EQ(saida.find("o número de UCs do curso é:"), std::string::npos);
    EXPECT_NE(saida.find("12-UC.txt \n\nNão foi possivel abrir o ficheiro 12-UC.txt\n"
                         "\nA abrir o Ficheiro de estudantes 12-Estudantes.txt\n\n"
                         "O número de Estudantes carregados é 8\n"),
              std::string::npos);
    // Grade entry has no unit to offer and goes back to the main menu.
    EXPECT_NE(saida.find("ATENÇÃO: O curso não tem Unidades Curriculares, não é possivel "
                         "inserir notas\n\n\n        #### Menu Estudantes ####"),
              std::string::npos);
    EXPECT_EQ(c.ficheiros(), (std::map<std::string, std::string>{{est, exemplo(est)}}));
  }
  {
    Cenario c;
    c.copiaExemplos();
    Processo p(c);
    ASSERT_TRUE(p.esperaSaida(escolheLista));
    fs::remove(c.dir() / est);
    p.escreve("12\n9\n9\n");
    EXPECT_EQ(p.termina(), 0);
    const std::string saida = p.saida();
    EXPECT_NE(saida.find("o número de UCs do curso é: 30\n\nA abrir o Ficheiro de estudantes "
                         "12-Estudantes.txt\n\nNão foi possivel abrir o ficheiro "
                         "12-Estudantes.txt\n"),
              std::string::npos);
    EXPECT_EQ(saida.find(perguntaFinal), std::string::npos);
    EXPECT_EQ(c.ficheiros(),
              (std::map<std::string, std::string>{{"12-UC.txt", exemplo("12-UC.txt")}}));
  }
}

// pauta killed (SIGKILL) at different moments of saving a large course
// (20,000 students × 30 units, about 55 MB): the student file is always the
// old one or the new one, complete, and a later run saves over the leftover
// temporary file.
TEST(Falhas, MortoAMeioDaGravacao) {
  const std::string ucs = unidadesGrandes();
  const std::string antigo = estudantesGrandes(20000);
  // The new student takes every unit of the course, nothing assessed yet.
  std::string novo = antigo + "ALUNO;2001;Novo\r\n";
  for (int u = 0; u < 30; ++u) {
    novo += std::to_string(21000 + u) + ";Unidade Curricular nº " + std::to_string(u) + ";" +
            std::to_string(u / 10 + 1) + ";" + std::to_string(u % 2 + 1) +
            ";6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1\r\n";
  }
  novo += "\r\n";

  Cenario c;
  c.escreve("12-UC.txt", ucs);
  // Milliseconds after the temporary file appears; -1: while still loading.
  const int esperas[] = {-1, 0, 1, 5, 20, 1500};
  int aMeio = 0;
  for (int espera : esperas) {
    c.escreve(est, antigo);
    fs::remove(c.dir() / tmp);
    Processo p(c);
    p.escreve(adicionaEGrava);
    if (espera < 0) {
      std::this_thread::sleep_for(20ms);
    } else {
      ASSERT_TRUE(p.esperaFicheiro(c.dir() / tmp)) << p.saida();
      std::this_thread::sleep_for(std::chrono::milliseconds(espera));
    }
    p.mata();
    const std::string depois = leDepressa(c.dir() / est);
    EXPECT_TRUE(depois == antigo || depois == novo)
        << "killed " << espera << " ms in: " << depois.size() << " bytes";
    if (c.existe(tmp)) {
      ++aMeio;
      EXPECT_EQ(depois.size(), antigo.size()) << "killed " << espera << " ms in";
    }
  }
  EXPECT_GT(aMeio, 0) << "no kill landed while the temporary file was being written";

  c.escreve(est, antigo);
  Resultado r = c.executa(adicionaEGrava);
  EXPECT_NE(r.saida.find(gravado), std::string::npos);
  EXPECT_TRUE(leDepressa(c.dir() / est) == novo);
  EXPECT_FALSE(c.existe(tmp));
}

// A 10 MB student name and unit name, and NUL bytes inside names: loaded,
// saved and loaded again without losing a byte.
TEST(Falhas, LinhasEnormesEBytesNulos) {
  // A student name may hold ';', a unit name cannot.
  std::string longo;
  while (longo.size() < 10u * 1024 * 1024) longo += "Nome Muito Comprido; Conceição ";
  std::string ucLonga;
  while (ucLonga.size() < 10u * 1024 * 1024) ucLonga += "Unidade Muito Comprida Ação ";
  const std::string nul(1, '\0');
  const std::string ucs = "CURSO;12;Curso de Ensaio\r\n21002;" + ucLonga + ";1;1;6\r\n21037;Esta" +
                          nul + "tística;1;2;6\r\n";
  const std::string antigo =
      "ALUNO;3001;" + longo + "\r\n"
      "21002;" + ucLonga + ";1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14\r\n\r\n"
      "ALUNO;3002;Ana" + nul + "Maria;" + nul + "\r\n"
      "21037;Esta" + nul + "tística;1;2;6;AVALIACAO;1;A;80;3;B;70;3;C;50;2;F;8.5;R;-1;N;14\r\n\r\n";
  const std::string bloco2001 =
      "ALUNO;2001;Novo\r\n"
      "21002;" + ucLonga + ";1;1;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1\r\n"
      "21037;Esta" + nul + "tística;1;2;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1\r\n\r\n";

  Cenario c;
  c.escreve("12-UC.txt", ucs);
  c.escreve(est, antigo);
  Resultado r = c.executa(adicionaEGrava);
  EXPECT_NE(r.saida.find("O número de Estudantes carregados é 2\n"), std::string::npos);
  EXPECT_NE(r.saida.find(gravado), std::string::npos);
  EXPECT_EQ(r.saida.find("ERRO"), std::string::npos);
  EXPECT_TRUE(leDepressa(c.dir() / est) == antigo + bloco2001);

  // Read back: a second student added and saved after the first ones.
  r = c.executa("12\n3\n2002\nOutro\n4\n9\n9\n");
  EXPECT_NE(r.saida.find("O número de Estudantes carregados é 3\n"), std::string::npos);
  EXPECT_EQ(r.saida.find("ERRO"), std::string::npos);
  const std::string depois = leDepressa(c.dir() / est);
  EXPECT_TRUE(depois.compare(0, antigo.size() + bloco2001.size(), antigo + bloco2001) == 0);
  EXPECT_TRUE(depois.find("ALUNO;2002;Outro\r\n", antigo.size()) != std::string::npos);
  EXPECT_FALSE(c.existe(tmp));
  EXPECT_FALSE(c.existe(est + ".bak"));
}

// Unreadable lines, one of 10 MB and some with NUL bytes, are skipped with
// their line numbers; everything else is kept and the original is backed up
// before the first save.
TEST(Falhas, LinhasIlegiveisEnormesOuComNulos) {
  const std::string nul(1, '\0');
  const std::string uc = "21002;Álgebra Linear I;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;12;R;-1;N;12\r\n";
  const std::string antigo = "ALUNO;3001;Ana\r\n" + uc +        // 1, 2
                             std::string(10u * 1024 * 1024, 'x') + "\r\n" +  // 3
                             nul + nul + ";" + nul + "\r\n" +  // 4
                             "\r\n"                            // 5
                             "ALUNO;" + nul + "3002;Rui\r\n" +  // 6
                             uc + "\r\n" +                     // 7, 8
                             "ALUNO;3003;Eva\r\n" + uc + "\r\n";
  Cenario c;
  c.escreve("12-UC.txt", ucsPequenas);
  c.escreve(est, antigo);
  Resultado r = c.executa(adicionaEGrava);
  EXPECT_NE(r.saida.find("O número de Estudantes carregados é 3\n"
                         "ERRO: Linha 3 do ficheiro 12-Estudantes.txt ignorada\n"
                         "ERRO: Linha 4 do ficheiro 12-Estudantes.txt ignorada\n"
                         "ERRO: Linha 6 do ficheiro 12-Estudantes.txt ignorada\n\n"),
            std::string::npos)
      << r.saida.substr(0, 2000);
  EXPECT_NE(r.saida.find("ATENÇÃO: Foram ignoradas linhas do ficheiro original, que foi copiado "
                         "para 12-Estudantes.txt.bak\n\n" + gravado),
            std::string::npos);
  EXPECT_TRUE(leDepressa(c.dir() / (est + ".bak")) == antigo);
  EXPECT_EQ(c.le(est), "ALUNO;3001;Ana\r\n" + uc + "\r\nALUNO;3003;Eva\r\n" + uc + "\r\n" + blocoNovo);
  EXPECT_FALSE(c.existe(tmp));
}
