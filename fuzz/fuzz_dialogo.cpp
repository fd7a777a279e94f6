// Fuzz target of the whole dialogue: the input is standard input of a run
// against a small course in a temporary directory. Every run must end (at
// the latest when the input runs out) without a crash, and afterwards each
// student file is either untouched or a complete file as the program writes
// it: it reads back without any skipped line and writes back to the same
// bytes. No temporary file of a save and no course lock may be left behind.
//
// A finding aborts while the course directory is the working directory:
// give libFuzzer an absolute -artifact_prefix.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "ApoioFuzz.h"
#include "ConsolaES.h"
#include "Cp1252.h"
#include "Ficheiros.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"
#include "Programa.h"

namespace {

namespace fs = std::filesystem;

// Course 1 has students; course 2 has none and no student file yet. Small
// codes and numbers let the fuzzer find the answers that lead somewhere.
const char* const ucsCurso1 =
    TXT("CURSO;1;Curso Um\r\n"
        "1;Unidade Um;1;1;6\r\n"
        "2;Unidade Dois;1;2;6;AVALIACAO;-;F;-;R;-;N;-\r\n"
        "3;Unidade Três;2;1;6\r\n");
const char* const estudantesCurso1 =
    TXT("ALUNO;1;Aluno Um\r\n"
        "1;Unidade Um;1;1;6;AVALIACAO;1;A;80;2;B;75;2;C;90;4;F;9.5;R;-1;N;16\r\n"
        "2;Unidade Dois;1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;8;R;12;N;12\r\n"
        "3;Unidade Três;2;1;6;AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1\r\n"
        "\r\n"
        "ALUNO;2;Aluno Dois\r\n"
        "1;Unidade Um;1;1;6;AVALIACAO;1;A;40;3;B;-1;-1;C;55;5;F;-1;R;-1;N;-1\r\n"
        "\r\n");
const char* const ucsCurso2 = "CURSO;2;Curso Dois\n1;Unidade;1;1;6\n";

std::string diretorio;
int diretorioOriginal = -1;
SaidaNula saidaNula;
bool mostraDialogo = false;

void escreve(const std::string& nome, const std::string& conteudo) {
  std::FILE* f = std::fopen(nome.c_str(), "wb");
  VERIFICA(f != nullptr, TXT("não foi possível preparar o curso"));
  std::fwrite(conteudo.data(), 1, conteudo.size(), f);
  std::fclose(f);
}

// Empties the course directory and writes the course files again.
void reporCurso() {
  for (const fs::directory_entry& e : fs::directory_iterator(".")) fs::remove_all(e.path());
  escreve("1-UC.txt", ucsCurso1);
  escreve("1-Estudantes.txt", estudantesCurso1);
  escreve("2-UC.txt", ucsCurso2);
}

// A student file after the run: the original, or a complete file.
void verificaFicheiro(const std::string& nome, const char* original) {
  VERIFICA(!fs::exists(nome + ".tmp"), TXT("ficou um ficheiro temporário"));
  VERIFICA(!fs::exists(nome + ".lock"), "ficou o bloqueio do curso");
  std::string conteudo;
  if (!leFicheiroNormal(nome, &conteudo).ok()) {
    VERIFICA(original == nullptr && !fs::exists(nome), "o ficheiro de estudantes desapareceu");
    return;
  }
  if (original != nullptr && conteudo == original) return;
  LeitorLinhas leitor(conteudo, nome);
  Listacurso relido;
  relido.setListaEstudantes(1, static_cast<int>(leitor.contaLinhasComPrimeiroCampo("ALUNO")),
                            leitor);
  VERIFICA(!leitor.houveLinhasIgnoradas(), TXT("o ficheiro gravado tem linhas que não se lêem"));
  VERIFICA(relido.conteudoFicheiroEstudantes() == conteudo,
           TXT("o ficheiro gravado está incompleto"));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  // The course lives in memory when /dev/shm exists: saves flush to disk.
  std::string base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
  std::string modelo = base + "/pauta-fuzz-XXXXXX";
  VERIFICA(mkdtemp(modelo.data()) != nullptr, "mkdtemp");
  diretorio = modelo;
  diretorioOriginal = open(".", O_RDONLY | O_DIRECTORY);
  VERIFICA(diretorioOriginal >= 0, TXT("diretório de trabalho"));
  // PAUTA_FUZZ_ECO=1 shows the dialogue on standard error, to check what a
  // seed of the corpus does.
  const char* eco = std::getenv("PAUTA_FUZZ_ECO");
  mostraDialogo = eco != nullptr && std::string(eco) == "1";
  // The directory goes away with the process.
  std::atexit([] { fs::remove_all(diretorio); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
  // libFuzzer writes its files relative to its own working directory: the
  // course directory is the working directory only during the run.
  VERIFICA(chdir(diretorio.c_str()) == 0, "chdir");
  reporCurso();

  // A console of its own for every run, so each starts in the default
  // number format. The run ends, at the latest, when the input runs out.
  std::istringstream entrada(std::string(reinterpret_cast<const char*>(dados), tamanho));
  std::ostream saida(mostraDialogo ? std::cerr.rdbuf() : &saidaNula);
  executaDialogo(Consola(entrada, saida));

  verificaFicheiro("1-Estudantes.txt", estudantesCurso1);
  verificaFicheiro("2-Estudantes.txt", nullptr);
  VERIFICA(fchdir(diretorioOriginal) == 0, "fchdir");
  return 0;
}
